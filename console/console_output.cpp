#include "console/console_output.h"

#include <shlwapi.h>
#include <stdio.h>

namespace {

const ULONGLONG ProgressInterval = 250; // milliseconds
const int ProgressWidth = 79;           // fits a console of 80 columns
const UINT ProgressPathSize = 72;       // compacted path, terminator included

// Asked once: a console mode query per line costs a server call under Wine.
const DWORD StreamIds[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
int Consoles[] = {-1, -1}; // -1 not asked yet

bool ProgressShown = false;
ULONGLONG LastProgress = GetTickCount64(); // a short run shows none

bool IsConsole(OutputStream stream) {
    if (Consoles[stream] < 0) {
        DWORD mode = 0;
        Consoles[stream] = GetConsoleMode(GetStdHandle(StreamIds[stream]), &mode) ? 1 : 0;
    }
    return Consoles[stream] == 1;
}

void Write(OutputStream stream, const std::string& text) {
    HANDLE handle = GetStdHandle(StreamIds[stream]);
    DWORD written = 0;
    if (!IsConsole(stream)) {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
        return;
    }
    // No code page makes more UTF-16 units than bytes.
    std::wstring wide(text.size(), L' ');
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                     static_cast<int>(wide.size()));
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(length), &written, NULL);
}

} // namespace

void ClearProgress() {
    if (ProgressShown) {
        Write(StandardError, "\r" + std::string(ProgressWidth, ' ') + "\r");
        ProgressShown = false;
    }
}

void PutLine(OutputStream stream, const std::string& line) {
    ClearProgress();
    Write(stream, line + "\r\n");
}

void Complain(const std::string& message) { PutLine(StandardError, "DigestorCmd: " + message); }

void ShowProgress(const char* path, ULONGLONG done, ULONGLONG size) {
    ULONGLONG now = GetTickCount64();
    if (now - LastProgress < ProgressInterval || !IsConsole(StandardError)) {
        return;
    }
    LastProgress = now;
    char shown[ProgressPathSize];
    PathCompactPathExA(shown, path, ProgressPathSize, 0);
    char line[ProgressWidth + 2];
    snprintf(line, sizeof line, "\r%3u%% %s", static_cast<unsigned>(size ? done * 100 / size : 100), shown);
    Write(StandardError, line);
    ProgressShown = true;
}
