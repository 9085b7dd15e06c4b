// digestor_run_bench: times one run of the real Digestor.exe under Wine, from the press of the
// start button to the end of the run, as a user would see it.
//
//   digestor_run_bench PROGRAM PATH ENTRIES
//
// Starts PROGRAM without arguments, drops PATH (a file or a folder) on its list, waits until the
// drop has been walked into ENTRIES entries, keeps MD5, presses start and waits until the progress
// dialog is gone.  Prints "seconds=<run time>" and "entries=<result lines>", then the first entry,
// and closes the program.  Exit code 0 when every entry became an MD5 result line, 1 otherwise.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "res/resource.h"
#include "tests/e2e/command_line.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/remote_drop.h"

namespace {

const DWORD kWindowTimeoutMs = 30000;
const DWORD kWalkTimeoutMs = 10 * 60 * 1000;
const DWORD kRunTimeoutMs = 30 * 60 * 1000;
const DWORD kExitTimeoutMs = 30000;

// The progress dialog: a top-level dialog of the process with the whole-list bar.
HWND FindProgressDialog(DWORD processId) {
    for (HWND window : TopLevelWindows(processId)) {
        if (GetDlgItem(window, IDC_TOTAL_PROGRESS) && GetDlgItem(window, IDC_CANCEL))
            return window;
    }
    return nullptr;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Fail(const char* what, HANDLE process) {
    fprintf(stderr, "digestor_run_bench: %s\n", what);
    TerminateProcess(process, 1);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: digestor_run_bench PROGRAM PATH ENTRIES\n");
        return 2;
    }
    const std::string program = argv[1];
    const std::string path = argv[2];
    const LRESULT entries = atol(argv[3]);

    std::string commandLine = BuildCommandLine(program, {});
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        fprintf(stderr, "digestor_run_bench: cannot start %s\n", program.c_str());
        return 2;
    }
    CloseHandle(process.hThread);
    DWORD id = process.dwProcessId;

    HWND window = nullptr;
    if (!PollUntil([&] { return (window = FindMainWindow(id)) != nullptr; }, kWindowTimeoutMs))
        return Fail("no main window", process.hProcess);
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    HWND start = GetDlgItem(window, IDC_START);
    SendPlainMessage(GetDlgItem(window, IDC_ALGORITHM), CB_SETCURSEL, 2, 0); // MD5

    std::string error;
    if (!DropFiles(process.hProcess, id, list, {path}, &error))
        return Fail(("drop failed: " + error).c_str(), process.hProcess);
    bool walked = PollUntil(
        [&] { return IsWindowEnabled(start) && SendPlainMessage(list, LB_GETCOUNT, 0, 0) == entries; },
        kWalkTimeoutMs, 50);
    if (!walked)
        return Fail("the drop was not listed as expected", process.hProcess);

    // The button's click creates the progress dialog before the sent message returns.
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    SendPlainMessage(start, BM_CLICK, 0, 0);
    HWND dialog = FindProgressDialog(id);
    bool ended = !dialog || PollUntil([&] { return !IsWindow(dialog); }, kRunTimeoutMs, 1);
    QueryPerformanceCounter(&end);
    if (!ended)
        return Fail("the run did not end", process.hProcess);

    LRESULT count = SendPlainMessage(list, LB_GETCOUNT, 0, 0);
    LRESULT results = 0;
    for (LRESULT i = 0; i < count; ++i) {
        if (ListItemText(list, static_cast<int>(i)).find(" <- MD5 -> ") != std::string::npos)
            ++results;
    }
    printf("seconds=%.3f\nentries=%ld\n", Seconds(begin, end), static_cast<long>(results));
    if (count > 0)
        printf("first=%s\n", ListItemText(list, 0).c_str());
    fflush(stdout);

    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return results == entries ? 0 : 1;
}
