#include "tests/e2e/process_harness.h"

#include "tests/e2e/command_line.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_windows.h"

#include <initializer_list>

std::string BinDirectory() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t separator = folder.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : folder.substr(0, separator);
}

std::string JoinPath(const std::string& path, const std::string& name) { return path + "\\" + name; }

// --- DigestorProcess ---------------------------------------------------------------------------

DigestorProcess::~DigestorProcess() { Kill(); }

bool DigestorProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& workingDirectory) {
    std::string commandLine = BuildCommandLine(program, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &process_)) {
        process_ = PROCESS_INFORMATION();
        return false;
    }
    CloseHandle(process_.hThread);
    process_.hThread = nullptr;
    return true;
}

HWND DigestorProcess::WaitForMainWindow(DWORD timeoutMs) {
    HWND window = nullptr;
    PollUntil(
        [&] {
            if (!IsRunning() || FindMessageBox(Id()))
                return true;
            window = FindMainWindow(Id());
            return window != nullptr;
        },
        timeoutMs);
    if (!window)
        return nullptr;
    WaitForInputIdle(process_.hProcess, timeoutMs);
    return SyncWithWindow(window) ? window : nullptr;
}

bool DigestorProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) {
    if (!process_.hProcess || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process_.hProcess, &exitCode) != 0;
}

bool DigestorProcess::IsRunning() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

void DigestorProcess::Kill() {
    if (!process_.hProcess)
        return;
    if (IsRunning()) {
        TerminateProcess(process_.hProcess, 0xDEAD);
        WaitForSingleObject(process_.hProcess, kExitTimeoutMs);
    }
    CloseHandle(process_.hProcess);
    process_ = PROCESS_INFORMATION();
}

std::string DigestorProcess::Describe() const {
    if (!process_.hProcess)
        return "the program was not started";
    if (!IsRunning()) {
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return "the program ended with exit code " + std::to_string(static_cast<long>(code));
    }
    std::string description;
    for (HWND window : VisibleTopLevelWindows(Id())) {
        description += "window \"" + CaptionOf(window) + "\" (" + ClassNameOf(window) + ")";
        if (IsMessageBox(window))
            description += ", a message box saying \"" + ReadMessageBox(window).text + "\"";
        description += "\n";
    }
    return description.empty() ? "the program shows no window" : description;
}

// --- message boxes -----------------------------------------------------------------------------

HWND FindMessageBox(DWORD processId) {
    for (HWND window : VisibleTopLevelWindows(processId)) {
        if (IsMessageBox(window))
            return window;
    }
    return nullptr;
}

SeenMessageBox ReadMessageBox(HWND box) {
    SeenMessageBox seen;
    seen.title = CaptionOf(box);
    seen.text = WindowText(GetDlgItem(box, 0xFFFF));
    return seen;
}

bool PressMessageBoxButton(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (!button)
        return false;
    // Posted: the box ends its modal loop on it, and the sender need not wait for the program.
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != 0;
}

MessageBoxWatcher::MessageBoxWatcher(DWORD processId) : processId_(processId), thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<SeenMessageBox> MessageBoxWatcher::Seen() const {
    std::lock_guard<std::mutex> guard(lock_);
    return seen_;
}

std::string MessageBoxWatcher::SeenAsText() const {
    std::string text;
    for (const SeenMessageBox& box : Seen())
        text += box.title + ": " + box.text + "\n";
    return text;
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        for (HWND window : VisibleTopLevelWindows(processId_)) {
            if (!IsMessageBox(window))
                continue;
            {
                std::lock_guard<std::mutex> guard(lock_);
                bool known = false;
                for (HWND answered : answered_)
                    known = known || answered == window;
                if (known)
                    continue;
                seen_.push_back(ReadMessageBox(window));
                answered_.push_back(window);
            }
            for (int button : {IDNO, IDCANCEL, IDOK}) {
                if (PressMessageBoxButton(window, button))
                    break;
            }
        }
        Sleep(20);
    }
}

// --- Test files ------------------------------------------------------------------------------

bool WriteTestFile(const std::string& path, const std::string& content) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = content.empty() ||
              (WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
               written == content.size());
    return CloseHandle(file) && ok;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = JoinPath(folder, name);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                // A program that just ended may hold its image a moment longer.
                PollUntil([&] { return DeleteFileA(path.c_str()) != 0; }, 5000, 20);
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// --- TempFolder --------------------------------------------------------------------------------

TempFolder::TempFolder() {
    char temp[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, temp);
    std::string base(temp, length);
    if (!base.empty() && (base.back() == '\\' || base.back() == '/'))
        base.pop_back();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate =
            JoinPath(base, "digestor-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount64()) + "-" + std::to_string(attempt));
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty())
        RemoveTree(path_);
}

bool TempFolder::CopyIn(const std::string& source, const std::string& name) {
    if (path_.empty())
        return false;
    std::string target = JoinPath(path_, name);
    size_t separator = name.find_last_of('\\');
    if (separator != std::string::npos)
        CreateDirectoryA(JoinPath(path_, name.substr(0, separator)).c_str(), nullptr);
    return CopyFileA(source.c_str(), target.c_str(), TRUE) != 0;
}

// --- RunToEnd ----------------------------------------------------------------------------------

bool RunToEnd(const std::string& commandLine, DWORD timeoutMs, DWORD& exitCode, std::string& output) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    BOOL started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd); // the child holds the only write end now: reading ends when it ends
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(process.hThread);

    std::thread reader([&] {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            output.append(buffer, read);
    });
    bool ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, 0xDEAD);
        WaitForSingleObject(process.hProcess, kExitTimeoutMs);
    }
    GetExitCodeProcess(process.hProcess, &exitCode);
    reader.join();
    CloseHandle(readEnd);
    CloseHandle(process.hProcess);
    return ended;
}
