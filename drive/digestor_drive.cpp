// digestor_drive: starts Digestor.exe, works it from outside as a user would, and reports its exit
// code.  `make run`, `make screenshots`, `make bench` and the end-to-end tests all go through it.
//
//   digestor_drive [ACTION...] -- PROGRAM [ARGS...]
//
// Without actions it only waits until someone closes the program.  With actions it waits for the
// main window, answering every Yes/No question with Yes and, before the main window, every other
// message box with OK (printing them all), then does the actions in the order given:
//
//   run            wait until the run the arguments started is over; prints its time, the
//                  time from the first folder question's Yes (the walk and the run together),
//                  and the longest the main window took to answer a message meanwhile
//   check          wait until the check `/check LIST` started, or the comparison, shows its tally,
//                  which stays up
//   list           print the file list's lines, in the ANSI code page as the program has them
//   select N       select line N of the list, as a click does
//   progress FILE  PNG picture of the progress dialog once the file bar (a comparison's total bar)
//                  is a third of the way
//   quicksum TEXT  open the quick sum, type TEXT and compute it
//   about          open the about box
//   compare SIDES  open File > Compare folders... and type ORIGINAL and COPY (SIDES: ORIGINAL|COPY)
//   start          press the open dialog's start button (Compare)
//   save FILE      save the list through the program's save dialog; the notice stays up
//   shot FILE      PNG picture of the window the last action opened, else of the main window
//   size WxH       give the main window that size in pixels (720x400), so that long lines show whole
//   dismiss        close that window: its OK button, else WM_CLOSE
//   dir PATTERN    append the names of the files PATTERN (Z:\data\*) matches to the list, painting
//                  held: the list box lists them itself, so a big list takes seconds, not minutes
//   clear          clear the list; prints its time
//   memory         print the program's working set and its peak so far
//   words          print the main menu's first title (where the system lets another process read
//                  it), the start button's text and whether the main window flows from the right
//   exit, close    the menu's Exit, the close box; the program must then end within 30 s;
//                  close prints the time until the main window is gone
//
// Every wait is a bounded poll.  A message box no action expects fails the action.
// Exit code: the program's; 2 for a usage error; 3 when an action fails or the program does not end.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drive/png_picture.h"
#include "res/resource.h"

namespace {

const int UsageError = 2;
const int DriveFailed = 3;
const DWORD PollMs = 10;
const DWORD StepTimeoutMs = 30000;
const DWORD RunTimeoutMs = 30 * 60 * 1000;
const DWORD MessageTimeoutMs = 5000;
// The save dialog keeps the file name in this edit (old style) or in the edit inside this
// extended combo box (Explorer style): dlgs.h's edt1 and cmb13.
const int FileNameEdit = 0x480;
const int FileNameCombo = 0x47C;
const int MessageText = 0xFFFF; // a message box's text

PROCESS_INFORMATION Program;
HWND Main;        // the program's main window, once it shows
HWND Current;     // the window the last action opened
bool BoxExpected; // an action waits for a message box: leave boxes alone
std::vector<HWND> Answered;
LARGE_INTEGER ProgressSeen; // when a progress dialog was first seen; zero before
LARGE_INTEGER FirstYes;     // when the first question was answered; zero before

// Texts of another process's windows come back intact only through the W messages; they are
// printed as UTF-8, which is what the program holds them in. A UTF-16 unit takes at most three
// bytes in UTF-8.
std::string Utf8(const std::wstring& text) {
    std::string result(text.size() * 3 + 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], static_cast<int>(result.size()), NULL,
                        NULL);
    return result.c_str();
}

std::wstring Wide(const char* text) {
    std::wstring result(strlen(text) + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &result[0], static_cast<int>(result.size()));
    return result.c_str();
}

// Sent with a time limit, so a hung program fails the read instead of hanging the driver.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, MessageTimeoutMs, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

std::string ReadText(HWND window, UINT lengthMessage, UINT textMessage, WPARAM index) {
    LRESULT length = Send(window, lengthMessage, index, 0);
    std::wstring text(length > 0 ? length + 1 : 1, L'\0');
    WPARAM first = textMessage == WM_GETTEXT ? text.size() : index;
    if (length < 0 || Send(window, textMessage, first, reinterpret_cast<LPARAM>(&text[0])) < 0)
        return std::string();
    return Utf8(text);
}

std::string WindowText(HWND window) { return ReadText(window, WM_GETTEXTLENGTH, WM_GETTEXT, 0); }
std::string ListLine(HWND list, int index) { return ReadText(list, LB_GETTEXTLEN, LB_GETTEXT, index); }

// The stored caption, read without a message, so it answers while the window is busy.
std::string Caption(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return Utf8(text);
}

// A message box's text on one line: the program breaks its questions around the path.
std::string OneLine(HWND box) {
    std::string text;
    for (char c : WindowText(GetDlgItem(box, MessageText))) {
        c = c == '\r' || c == '\n' ? ' ' : c;
        if (c != ' ' || text.empty() || text[text.size() - 1] != ' ')
            text += c;
    }
    return text;
}

bool HasChild(HWND window, int id, const char* className) {
    HWND child = GetDlgItem(window, id);
    char name[64] = "";
    return child && GetClassNameA(child, name, sizeof name) && lstrcmpiA(name, className) == 0;
}

bool IsMessageBox(HWND window) {
    return IsWindowVisible(window) && HasChild(window, MessageText, "Static") &&
           (HasChild(window, IDOK, "Button") || HasChild(window, IDYES, "Button"));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == Program.dwProcessId)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The program's top-level windows, hidden ones too, in Z order.
std::vector<HWND> Windows() {
    std::vector<HWND> found;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The first of them that passes test; null while none does.
template <typename Test> HWND Find(Test test) {
    for (HWND window : Windows()) {
        if (test(window))
            return window;
    }
    return NULL;
}

// A visible window other than the main window with that child.  Windows are told apart by their
// controls, not by their captions, which depend on the language.
HWND FindDialog(int id, const char* className) {
    return Find([&](HWND w) { return w != Main && IsWindowVisible(w) && HasChild(w, id, className); });
}

HWND FindProgress() {
    return Find([](HWND w) { return HasChild(w, IDC_TOTAL_PROGRESS, PROGRESS_CLASSA); });
}

bool Ended() { return WaitForSingleObject(Program.hProcess, 0) == WAIT_OBJECT_0; }

void DescribeWindows() {
    for (HWND window : Windows()) {
        if (IsWindowVisible(window))
            fprintf(stderr, "digestor_drive: the program shows \"%s\" %s\n", Caption(window).c_str(),
                    IsMessageBox(window) ? OneLine(window).c_str() : "");
    }
}

// Posted, as a click is.  The box stays until the program has handled it, hence Answered.
void Press(HWND window, int button) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
    Answered.push_back(window);
}

// Questions get Yes; other boxes get OK before the main window shows, and fail an action that
// does not expect them.
bool AnswerBoxes() {
    for (HWND box : Windows()) {
        if (box == Current || std::count(Answered.begin(), Answered.end(), box) || !IsMessageBox(box)) {
            continue;
        } else if (HasChild(box, IDYES, "Button")) {
            printf("question: %s -> Yes\n", OneLine(box).c_str());
            Press(box, IDYES);
            if (!FirstYes.QuadPart)
                QueryPerformanceCounter(&FirstYes);
        } else if (!Main) {
            printf("message: %s: %s -> OK\n", Caption(box).c_str(), OneLine(box).c_str());
            Press(box, IDOK);
        } else if (!BoxExpected) {
            fprintf(stderr, "digestor_drive: unexpected message %s: %s\n", Caption(box).c_str(),
                    OneLine(box).c_str());
            return false;
        }
        fflush(stdout);
    }
    return true;
}

// Polls condition until it holds (true), or the time is up, the program ends or shows an
// unexpected box (false, said on stderr).  Notes when a progress dialog first shows.
LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double SecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(Now().QuadPart - start.QuadPart) / frequency.QuadPart;
}

// The longest the main window took to answer WM_NULL, asked every AnswerInterval while waiting.
const ULONGLONG AnswerInterval = 100;
double SlowestAnswer = 0;
ULONGLONG LastAsked = 0;

void TimeAnswer() {
    if (!Main || GetTickCount64() - LastAsked < AnswerInterval)
        return;
    const LARGE_INTEGER start = Now();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(Main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, RunTimeoutMs, &ignored);
    SlowestAnswer = std::max(SlowestAnswer, SecondsSince(start));
    LastAsked = GetTickCount64();
}

template <typename Condition> bool WaitFor(const char* what, DWORD timeoutMs, Condition condition) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        TimeAnswer();
        if (!ProgressSeen.QuadPart && FindProgress())
            QueryPerformanceCounter(&ProgressSeen);
        if (!AnswerBoxes())
            return false;
        if (condition())
            return true;
        if (Ended() || GetTickCount64() >= deadline) {
            fprintf(stderr, "digestor_drive: no %s %s\n", what,
                    Ended() ? "before the program ended" : "in time");
            DescribeWindows();
            return false;
        }
        Sleep(PollMs);
    }
}

void Command(int id) { PostMessageW(Main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// The window in front and on top while it is copied, until two copies in a row are the same: its
// drawing reaches the screen some time after it painted.  Without a window manager Wine leaves the
// caption of a window it has just activated drawn inactive, so the window is told again.
bool Picture(HWND window, const char* path) {
    SetForegroundWindow(window);
    Send(window, WM_NCACTIVATE, TRUE, 0);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ScreenPicture previous, picture;
    bool steady = WaitFor("steady picture", StepTimeoutMs, [&] {
        previous.pixels.swap(picture.pixels);
        return CopyWindow(window, picture) && picture.pixels == previous.pixels;
    });
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!steady || !WritePng(Wide(path), picture)) {
        fprintf(stderr, "digestor_drive: no picture written to %s\n", path);
        return false;
    }
    printf("picture: %s (%ux%u)\n", path, picture.width, picture.height);
    return true;
}

// Every thread of the program but the kept one, suspended.
std::vector<HANDLE> HoldThreads(DWORD kept) {
    std::vector<HANDLE> held;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != Program.dwProcessId || entry.th32ThreadID == kept)
            continue;
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
        if (thread && SuspendThread(thread) != static_cast<DWORD>(-1))
            held.push_back(thread);
    }
    CloseHandle(snapshot);
    return held;
}

bool Run(const char*) {
    // The program walks its arguments' folders once its window shows and starts the run after the
    // walk, which replaces the entries in order: the run is over when its dialog is gone and the
    // last entry is a result (or failure) line.
    // The list is asked only once no dialog shows: every message to it costs the program's window
    // thread time that the run's own figure includes.
    if (!WaitFor("end of the run", RunTimeoutMs, [] {
            if (FindProgress())
                return false;
            HWND list = GetDlgItem(Main, IDC_FILE_LIST);
            LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
            return count > 0 && ListLine(list, static_cast<int>(count) - 1).find(" <- ") != std::string::npos;
        }))
        return false;
    const double seconds = ProgressSeen.QuadPart ? SecondsSince(ProgressSeen) : 0;
    const double walkAndRun = FirstYes.QuadPart ? SecondsSince(FirstYes) : 0;
    Send(Main, WM_NULL, 0, 0);
    if (ProgressSeen.QuadPart)
        printf("run: %.3f s with the progress dialog up\n", seconds);
    // A folder's walk starts with the Yes to its question.
    if (FirstYes.QuadPart)
        printf("walk and run: %.3f s from the first Yes\n", walkAndRun);
    printf("slowest answer: %.0f ms\n", SlowestAnswer * 1000);
    return true;
}

// The check `/check LIST` started ends with its tally, which stays up as the current window.
bool Check(const char*) {
    BoxExpected = true;
    bool tallied = WaitFor("tally of the check", RunTimeoutMs, [] {
        Current = Find([](HWND w) { return IsMessageBox(w) && !HasChild(w, IDYES, "Button"); });
        return !FindProgress() && Current;
    });
    BoxExpected = false;
    if (tallied)
        printf("tally: %s\n", OneLine(Current).c_str());
    return tallied;
}

bool List(const char*) {
    HWND list = GetDlgItem(Main, IDC_FILE_LIST);
    LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    printf("list: %ld lines\n", static_cast<long>(count));
    for (int i = 0; i < count; ++i)
        printf("  %s\n", ListLine(list, i).c_str());
    return count >= 0;
}

bool Select(const char* line) {
    HWND list = GetDlgItem(Main, IDC_FILE_LIST);
    const std::string text = ListLine(list, atoi(line));
    Send(list, LB_SETCURSEL, atoi(line), 0);
    Send(Main, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return !text.empty() && WaitFor("selected line in the path field", StepTimeoutMs,
                                    [&] { return WindowText(GetDlgItem(Main, IDC_SELECTED_PATH)) == text; });
}

bool Progress(const char* path) {
    HWND dialog = NULL;
    if (!WaitFor("progress dialog a third through", RunTimeoutMs, [&] {
            HWND bar = GetDlgItem(dialog = FindProgress(), IDC_FILE_PROGRESS);
            bar = IsWindowVisible(bar) ? bar : GetDlgItem(dialog, IDC_TOTAL_PROGRESS);
            LRESULT high = Send(bar, PBM_GETRANGE, FALSE, 0);
            return IsWindowVisible(dialog) && high > 0 && Send(bar, PBM_GETPOS, 0, 0) * 3 >= high;
        }))
        return false;
    // The worker held still, or the bars never stay the same for a picture.
    std::vector<HANDLE> held = HoldThreads(GetWindowThreadProcessId(dialog, NULL));
    bool taken = IsWindow(dialog) && Picture(dialog, path);
    for (HANDLE thread : held) {
        ResumeThread(thread);
        CloseHandle(thread);
    }
    return taken;
}

bool QuickSum(const char* text) {
    Command(IDM_QUICKSUM);
    if (!WaitFor("quick-sum dialog", StepTimeoutMs,
                 [] { return (Current = FindDialog(IDC_TEXT_INPUT, "Edit")); }))
        return false;
    Send(GetDlgItem(Current, IDC_TEXT_INPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    Send(GetDlgItem(Current, IDC_START), BM_CLICK, 0, 0);
    std::string digest;
    if (!WaitFor("quick sum", StepTimeoutMs,
                 [&] { return !(digest = WindowText(GetDlgItem(Current, IDC_DIGEST_OUTPUT))).empty(); }))
        return false;
    printf("quick sum: %s -> %s\n", text, digest.c_str());
    return true;
}

bool About(const char*) {
    BoxExpected = true;
    Command(IDM_ABOUT);
    bool shown = WaitFor("about box", StepTimeoutMs, [] { return (Current = FindDialog(IDOK, "Button")); });
    BoxExpected = false;
    if (shown)
        printf("about box: %s\n", Caption(Current).c_str());
    return shown;
}

bool Compare(const char* sides) {
    const char* copy = strchr(sides, '|');
    if (!copy) {
        fprintf(stderr, "digestor_drive: compare wants ORIGINAL|COPY, not %s\n", sides);
        return false;
    }
    Command(IDM_COMPARE_FOLDERS);
    if (!WaitFor("compare dialog", StepTimeoutMs,
                 [] { return (Current = FindDialog(IDC_COMPARE_COPY, "Edit")); }))
        return false;
    const std::string original(sides, copy);
    Send(GetDlgItem(Current, IDC_COMPARE_ORIGINAL), WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>(Wide(original.c_str()).c_str()));
    Send(GetDlgItem(Current, IDC_COMPARE_COPY), WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>(Wide(copy + 1).c_str()));
    return WaitFor("compare offered", StepTimeoutMs,
                   [] { return IsWindowEnabled(GetDlgItem(Current, IDC_START)); });
}

bool Start(const char*) {
    HWND dialog = Current;
    Current = NULL;
    Press(dialog, IDC_START);
    return WaitFor("dialog closed", StepTimeoutMs, [&] { return !IsWindow(dialog); });
}

// The save dialog's file name field, in either style; null when window has none.
HWND FileNameField(HWND window) {
    HWND edit = GetDlgItem(window, FileNameEdit);
    HWND combo = FindWindowExA(GetDlgItem(window, FileNameCombo), NULL, "ComboBox", NULL);
    return edit ? edit : FindWindowExA(combo, NULL, "Edit", NULL);
}

bool Save(const char* path) {
    Command(IDM_SAVE_LIST);
    HWND dialog = NULL;
    if (!WaitFor("save dialog", StepTimeoutMs, [&] {
            return (dialog =
                        Find([](HWND w) { return w != Main && IsWindowVisible(w) && FileNameField(w); }));
        }))
        return false;
    Send(FileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(path).c_str()));
    Press(dialog, IDOK);
    BoxExpected = true;
    bool noticed = WaitFor("notice after saving", StepTimeoutMs, [&] {
        Current = Find([](HWND w) { return IsMessageBox(w) && !HasChild(w, IDYES, "Button"); });
        return !IsWindow(dialog) && Current;
    });
    BoxExpected = false;
    if (noticed)
        printf("message: %s: %s\n", Caption(Current).c_str(), OneLine(Current).c_str());
    return noticed;
}

bool Shot(const char* path) { return Picture(Current ? Current : Main, path); }

bool Size(const char* size) {
    int width = 0, height = 0;
    if (sscanf(size, "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        fprintf(stderr, "digestor_drive: size wants WxH, not %s\n", size);
        return false;
    }
    SetWindowPos(Main, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return WaitFor("main window resized", StepTimeoutMs, [&] {
        RECT frame = {};
        return GetWindowRect(Main, &frame) && frame.right - frame.left == width &&
               frame.bottom - frame.top == height;
    });
}

bool Dismiss(const char*) {
    HWND window = Current;
    if (HasChild(window, IDOK, "Button"))
        Press(window, IDOK);
    else
        PostMessageW(window, WM_CLOSE, 0, 0);
    Current = NULL;
    return WaitFor("window closed", StepTimeoutMs,
                   [&] { return !IsWindow(window) && IsWindowEnabled(Main); });
}

// One LB_DIR, done inside the program: a message from outside per line costs up to a millisecond
// under Wine.  The listing may outlast Send's limit.  Prints the list's length after it.
bool Dir(const char* pattern) {
    HWND list = GetDlgItem(Main, IDC_FILE_LIST);
    Send(list, WM_SETREDRAW, FALSE, 0);
    DWORD_PTR last = 0;
    const bool added =
        SendMessageTimeoutW(list, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(Wide(pattern).c_str()),
                            SMTO_ABORTIFHUNG, StepTimeoutMs, &last) &&
        static_cast<LRESULT>(last) >= 0;
    Send(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
    if (!added) {
        fprintf(stderr, "digestor_drive: the list took no names of %s\n", pattern);
        return false;
    }
    printf("dir: %ld lines\n", static_cast<long>(Send(list, LB_GETCOUNT, 0, 0)));
    return true;
}

// The window thread is busy for the whole of the clear; a count of zero is its first answer after.
bool Clear(const char*) {
    const LARGE_INTEGER start = Now();
    Command(IDM_CLEAR_LIST);
    if (!WaitFor("empty list", StepTimeoutMs,
                 [] { return Send(GetDlgItem(Main, IDC_FILE_LIST), LB_GETCOUNT, 0, 0) == 0; }))
        return false;
    printf("clear: %.3f s\n", SecondsSince(start));
    return true;
}

bool Memory(const char*) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(Program.hProcess, &counters, sizeof counters)) {
        fprintf(stderr, "digestor_drive: no memory figures (error %lu)\n", GetLastError());
        return false;
    }
    printf("memory: %.1f MiB working set, %.1f MiB at its peak\n", counters.WorkingSetSize / 1048576.0,
           counters.PeakWorkingSetSize / 1048576.0);
    return true;
}

bool Words(const char*) {
    wchar_t title[256] = L"";
    if (GetMenuStringW(GetMenu(Main), 0, title, static_cast<int>(std::size(title)), MF_BYPOSITION) > 0)
        printf("menu: %s\n", Utf8(title).c_str());
    printf("start: %s\n", WindowText(GetDlgItem(Main, IDC_START)).c_str());
    const bool mirrored = (GetWindowLongPtrW(Main, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    printf("layout: %s\n", mirrored ? "right-to-left" : "left-to-right");
    return true;
}

bool Exit(const char*) { return PostMessageW(Main, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0) != 0; }

bool Close(const char*) {
    const LARGE_INTEGER start = Now();
    if (!PostMessageW(Main, WM_SYSCOMMAND, SC_CLOSE, 0) ||
        !WaitFor("main window gone", StepTimeoutMs, [] { return !IsWindow(Main); }))
        return false;
    printf("close: %.3f s until the main window is gone\n", SecondsSince(start));
    return true;
}

struct Action {
    const char* name;
    bool takesArgument;
    bool ends; // the program must end after it
    bool (*perform)(const char* argument);
};

const Action Actions[] = {
    {"run", false, false, Run},          {"list", false, false, List},
    {"select", true, false, Select},     {"progress", true, false, Progress},
    {"quicksum", true, false, QuickSum}, {"about", false, false, About},
    {"save", true, false, Save},         {"shot", true, false, Shot},
    {"dismiss", false, false, Dismiss},  {"dir", true, false, Dir},
    {"clear", false, false, Clear},      {"exit", false, true, Exit},
    {"close", false, true, Close},       {"check", false, false, Check},
    {"memory", false, false, Memory},    {"compare", true, false, Compare},
    {"start", false, false, Start},      {"size", true, false, Size},
    {"words", false, false, Words},
};

// A path holds no quotes; inside quotes only the backslashes before the closing one need doubling.
void AppendArgument(std::string& line, const std::string& argument) {
    size_t backslashes = argument.size() - 1 - argument.find_last_not_of('\\'); // npos + 1 is 0
    line += " \"" + argument + std::string(backslashes, '\\') + "\"";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::pair<const Action*, const char*>> steps;
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        const Action* found = NULL;
        for (const Action& action : Actions)
            found = strcmp(argv[i], action.name) == 0 ? &action : found;
        if (!found || (found->takesArgument && i + 1 >= argc))
            break;
        steps.push_back(std::make_pair(found, found->takesArgument ? argv[++i] : ""));
    }
    if (i + 1 >= argc || strcmp(argv[i], "--") != 0) {
        fprintf(stderr,
                "usage: digestor_drive [run|list|select N|progress FILE|quicksum TEXT|about|save FILE|"
                "shot FILE|size WxH|dismiss|dir PATTERN|clear|memory|compare ORIGINAL|COPY|start|exit|close]"
                "... -- PROGRAM [ARGS...]\n");
        return UsageError;
    }
    std::string line = std::string("\"") + argv[i + 1] + "\"";
    for (int k = i + 2; k < argc; ++k)
        AppendArgument(line, argv[k]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &Program)) {
        fprintf(stderr, "digestor_drive: cannot start %s (error %lu)\n", argv[i + 1], GetLastError());
        return DriveFailed;
    }
    CloseHandle(Program.hThread);
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);

    // A program that ends before its main window (a refused start) has done nothing wrong here.
    bool failed = false, ends = false;
    if (!steps.empty() && WaitFor("main window", StepTimeoutMs, [] {
            return (Main = Find(
                        [](HWND w) { return IsWindowVisible(w) && HasChild(w, IDC_FILE_LIST, "ListBox"); }));
        })) {
        WaitForInputIdle(Program.hProcess, StepTimeoutMs);
        for (size_t s = 0; s < steps.size() && !failed; ++s) {
            failed = !steps[s].first->perform(steps[s].second);
            ends = ends || steps[s].first->ends;
            fflush(stdout);
        }
    } else if (!steps.empty() && !Ended()) {
        failed = true;
    }
    if (!failed && ends && WaitForSingleObject(Program.hProcess, StepTimeoutMs) != WAIT_OBJECT_0) {
        fprintf(stderr, "digestor_drive: the program did not end within %lu s\n", StepTimeoutMs / 1000);
        DescribeWindows();
        failed = true;
    }
    if (failed) {
        fprintf(stderr, "digestor_drive: failed\n");
        TerminateProcess(Program.hProcess, DriveFailed);
        return DriveFailed;
    }
    WaitForSingleObject(Program.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(Program.hProcess, &code);
    printf("Digestor exited with code %lu\n", code);
    return static_cast<int>(code);
}
