// digestor_drive: starts Digestor, waits until its main window is up and idle, optionally saves a
// screenshot of that window and closes it, then waits for the program to end and reports its
// exit code.  `make run` uses it to show (or photograph) the program.
//
//   digestor_drive [--screenshot FILE.png] [--close] -- PROGRAM [ARGS...]
//
// Without --close it waits until the user closes the program.  Exit code: the program's; 2 for
// a usage error; 3 when the program cannot be started, its main window does not come up in time
// (with --close), the screenshot cannot be written, or the program does not end after --close.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/e2e/command_line.h"
#include "tests/e2e/png_writer.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/window_capture.h"

namespace {

const int kUsageError = 2;
const int kDriveFailed = 3;
const DWORD kWindowTimeoutMs = 30000;
const DWORD kCaptureTimeoutMs = 10000;
const DWORD kExitTimeoutMs = 30000;

struct Options {
    std::string screenshot;
    bool close = false;
    std::string program;
    std::vector<std::string> arguments;
};

void PrintUsage() {
    fprintf(stderr, "usage: digestor_drive [--screenshot FILE.png] [--close] -- PROGRAM [ARGS...]\n");
}

bool ParseOptions(int argc, char** argv, Options& options) {
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        if (strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            options.screenshot = argv[++i];
        else if (strcmp(argv[i], "--close") == 0)
            options.close = true;
        else
            return false;
    }
    if (i + 1 >= argc) // no "--" or no program after it
        return false;
    options.program = argv[i + 1];
    for (int k = i + 2; k < argc; ++k)
        options.arguments.push_back(argv[k]);
    return true;
}

// What the program shows instead of its main window, for the report when it never comes.
void DescribeWindows(DWORD processId) {
    std::vector<HWND> windows = VisibleTopLevelWindows(processId);
    if (windows.empty())
        fprintf(stderr, "digestor_drive: the program shows no window\n");
    for (HWND window : windows) {
        fprintf(stderr, "digestor_drive: the program shows \"%s\" (%s)", CaptionOf(window).c_str(),
                ClassNameOf(window).c_str());
        if (IsMessageBox(window))
            fprintf(stderr, ": %s", WindowText(GetDlgItem(window, 0xFFFF)).c_str());
        fprintf(stderr, "\n");
    }
}

// The main window once it exists and its thread has gone idle; null when the program ended
// first or the time ran out.
HWND WaitForMainWindow(const PROCESS_INFORMATION& process) {
    HWND window = nullptr;
    PollUntil(
        [&] {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
                return true;
            window = FindMainWindow(process.dwProcessId);
            return window != nullptr;
        },
        kWindowTimeoutMs, 20);
    if (window) {
        WaitForInputIdle(process.hProcess, kWindowTimeoutMs);
        SyncWithWindow(window);
    }
    return window;
}

bool SaveScreenshot(HWND window, const std::string& path) {
    RgbImage image;
    if (!CaptureWindow(window, kCaptureTimeoutMs, image)) {
        fprintf(stderr, "digestor_drive: could not capture the main window\n");
        return false;
    }
    if (!WritePngFile(path.c_str(), image.width, image.height, image.rgb.data())) {
        fprintf(stderr, "digestor_drive: could not write %s (error %lu)\n", path.c_str(), GetLastError());
        return false;
    }
    printf("digestor_drive: screenshot %dx%d written to %s\n", image.width, image.height, path.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        PrintUsage();
        return kUsageError;
    }

    std::string commandLine = BuildCommandLine(options.program, options.arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        fprintf(stderr, "digestor_drive: cannot start %s (error %lu)\n", options.program.c_str(),
                GetLastError());
        return kDriveFailed;
    }
    CloseHandle(process.hThread);

    bool failed = false;
    if (!options.screenshot.empty() || options.close) {
        HWND window = WaitForMainWindow(process);
        if (!window && WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
            fprintf(stderr, "digestor_drive: no main window within %lu s\n", kWindowTimeoutMs / 1000);
            DescribeWindows(process.dwProcessId);
            if (options.close) {
                TerminateProcess(process.hProcess, 1);
                WaitForSingleObject(process.hProcess, kExitTimeoutMs);
                CloseHandle(process.hProcess);
                return kDriveFailed;
            }
        }
        if (!window && !options.screenshot.empty()) {
            fprintf(stderr, "digestor_drive: no screenshot: the main window never came up\n");
            failed = true;
        }
        if (window && !options.screenshot.empty() && !SaveScreenshot(window, options.screenshot))
            failed = true;
        // The close box and the system menu's Close item both send this.
        if (window && options.close)
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }

    DWORD wait = WaitForSingleObject(process.hProcess, options.close ? kExitTimeoutMs : INFINITE);
    if (wait != WAIT_OBJECT_0) {
        fprintf(stderr, "digestor_drive: the program did not end within %lu s of closing it\n",
                kExitTimeoutMs / 1000);
        DescribeWindows(process.dwProcessId);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kExitTimeoutMs);
        CloseHandle(process.hProcess);
        return kDriveFailed;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    printf("Digestor exited with code %ld\n", static_cast<long>(code));
    fflush(stdout);
    return failed ? kDriveFailed : static_cast<int>(code);
}
