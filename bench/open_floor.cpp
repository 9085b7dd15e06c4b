// bench_open_floor FOLDER THREADS: the most files a second any run under Wine can digest here.
// THREADS threads open, read to the end and close the files of FOLDER as a digest run does (long
// path, shared for reading, writing and deleting; the type and size asked; 64 KiB reads), with no
// digest, list or display. Under Wine every open and close is a call to the one wineserver, which
// the threads share, so the figure says what the program's own runs are measured against.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

const int MostThreads = 8;
const DWORD ChunkSize = 64 * 1024;

std::vector<std::wstring> Files;
volatile LONG NextFile = 0;

DWORD WINAPI ReadFiles(LPVOID) {
    std::vector<BYTE> chunk(ChunkSize);
    for (LONG k = InterlockedIncrement(&NextFile) - 1; k < static_cast<LONG>(Files.size());
         k = InterlockedIncrement(&NextFile) - 1) {
        HANDLE file = CreateFileW(Files[k].c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) {
            continue;
        }
        LARGE_INTEGER size;
        if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size)) {
            DWORD got = 0;
            while (ReadFile(file, chunk.data(), ChunkSize, &got, NULL) && got > 0) {
            }
        }
        CloseHandle(file);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int threads = argc == 3 ? atoi(argv[2]) : 0;
    if (threads < 1 || threads > MostThreads) {
        fprintf(stderr, "usage: bench_open_floor FOLDER THREADS (1 to %d)\n", MostThreads);
        return 2;
    }
    wchar_t folder[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, folder, MAX_PATH);
    const std::wstring root = std::wstring(L"\\\\?\\") + folder + L"\\";
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((root + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "bench_open_floor: cannot list %s\n", argv[1]);
        return 1;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            Files.push_back(root + entry.cFileName);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);

    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HANDLE started[MostThreads];
    int count = 0;
    while (count < threads && (started[count] = CreateThread(NULL, 0, ReadFiles, NULL, 0, NULL)) != NULL) {
        ++count;
    }
    WaitForMultipleObjects(static_cast<DWORD>(count), started, TRUE, INFINITE);
    QueryPerformanceCounter(&end);
    for (int k = 0; k < count; ++k) {
        CloseHandle(started[k]);
    }
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    printf("%d threads, %u files: %.3f s, %.0f files a second\n", count, static_cast<unsigned>(Files.size()),
           seconds, Files.size() / seconds);
    return 0;
}
