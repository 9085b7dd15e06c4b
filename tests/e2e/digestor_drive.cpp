// digestor_drive: starts Digestor, waits until its main window is up and idle, optionally saves a
// screenshot of that window and closes it, then waits for the program to end and reports its
// exit code.  `make run` uses it to show (or photograph) the program.
//
//   digestor_drive [--screenshot FILE.png] [--close] -- PROGRAM [ARGS...]
//
// Without --close it waits until the user closes the program.  With --close nobody is there to
// answer: every Yes/No question of the program is answered Yes (and printed), a run started by
// ARGS is waited for, and the lines of the file list are printed before the screenshot.
//
// Exit code: the program's; 2 for a usage error; 3 when the program cannot be started, its main
// window does not come up in time (with --close), the screenshot cannot be written, a run does
// not end in time, or the program does not end after --close.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "res/resource.h"
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
// A run over big folders may take long; the progress dialog normally exists before the main
// window shows, so the short wait only matters when there was nothing to digest.
const DWORD kRunTimeoutMs = 10 * 60 * 1000;
const DWORD kRunAppearTimeoutMs = 5000;
const DWORD kRunPollMs = 50;

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

// The progress dialog is told apart by its two progress bars, not by its caption, which
// depends on the language.
bool IsProgressDialog(HWND window) {
    if (ClassNameOf(window) != "#32770")
        return false;
    HWND file = GetDlgItem(window, IDC_FILE_PROGRESS);
    HWND total = GetDlgItem(window, IDC_TOTAL_PROGRESS);
    return file && total && ClassNameOf(file) == "msctls_progress32" &&
           ClassNameOf(total) == "msctls_progress32";
}

bool ProgressDialogExists(DWORD processId) {
    for (HWND window : TopLevelWindows(processId)) {
        if (IsProgressDialog(window))
            return true;
    }
    return false;
}

// The question on one line: the program breaks it around the path it asks about.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    std::string result;
    for (char c : text) {
        if (c != ' ' || result.empty() || result.back() != ' ')
            result += c;
    }
    return result;
}

// Answers Yes to every Yes/No dialog of the program not answered before.  answered keeps the
// boxes already pressed, since a box stays until the program has handled the posted click.
void AnswerQuestions(DWORD processId, std::vector<HWND>& answered) {
    for (HWND window : VisibleTopLevelWindows(processId)) {
        if (ClassNameOf(window) != "#32770" || IsProgressDialog(window))
            continue;
        HWND yes = GetDlgItem(window, IDYES);
        if (!yes || ClassNameOf(yes) != "Button")
            continue;
        bool seen = false;
        for (HWND old : answered)
            seen = seen || old == window;
        if (seen)
            continue;
        printf("question: %s -> Yes\n", OneLine(WindowText(GetDlgItem(window, 0xFFFF))).c_str());
        fflush(stdout);
        // Posted, as a click does: the box ends its modal loop on it.
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(yes));
        answered.push_back(window);
    }
}

// Waits until the run the arguments started is over: its progress dialog was seen and is gone,
// or none came within kRunAppearTimeoutMs (nothing to digest, or a run too short to be seen).
bool WaitForRunEnd(const PROCESS_INFORMATION& process, std::vector<HWND>& answered) {
    const ULONGLONG start = GetTickCount64();
    bool seen = false;
    return PollUntil(
        [&] {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
                return true;
            AnswerQuestions(process.dwProcessId, answered);
            if (ProgressDialogExists(process.dwProcessId)) {
                seen = true;
                return false;
            }
            return seen || GetTickCount64() - start >= kRunAppearTimeoutMs;
        },
        kRunTimeoutMs, kRunPollMs);
}

void PrintListLines(HWND window) {
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    LRESULT count = list ? SendPlainMessage(list, LB_GETCOUNT, 0, 0) : -1;
    if (count < 0) {
        fprintf(stderr, "digestor_drive: could not read the file list\n");
        return;
    }
    printf("digestor_drive: the list holds %ld lines\n", static_cast<long>(count));
    for (LRESULT i = 0; i < count; ++i)
        printf("  %s\n", ListItemText(list, static_cast<int>(i)).c_str());
    fflush(stdout);
}

// The main window once it exists and its thread has gone idle; null when the program ended
// first or the time ran out.  With answer, questions asked before the window shows get Yes.
HWND WaitForMainWindow(const PROCESS_INFORMATION& process, bool answer, std::vector<HWND>& answered) {
    HWND window = nullptr;
    PollUntil(
        [&] {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
                return true;
            if (answer)
                AnswerQuestions(process.dwProcessId, answered);
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
        std::vector<HWND> answered;
        HWND window = WaitForMainWindow(process, options.close, answered);
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
        if (window && options.close && !options.arguments.empty()) {
            if (!WaitForRunEnd(process, answered)) {
                fprintf(stderr, "digestor_drive: the run did not end within %lu s\n", kRunTimeoutMs / 1000);
                failed = true;
            }
            SyncWithWindow(window);
        }
        if (window && options.close)
            PrintListLines(window);
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
