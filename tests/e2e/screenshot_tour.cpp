// screenshot_tour: takes the README's pictures of the real Digestor, one menu command after
// another, and checks on the way that each command did its job.
//
//   screenshot_tour OUTDIR PROGRAM LANGUAGE
//
// PROGRAM is started without arguments in the system's default language; the pictures go to
// OUTDIR as main-LANGUAGE.png (a dropped folder digested), progress-LANGUAGE.png (a run over a
// large file, cancelled part way), quicksum-LANGUAGE.png, about-LANGUAGE.png and saved-LANGUAGE.png
// (the notice after the list was saved).  The list is then cleared and the program ended through
// its menu.  A LANGUAGE of "en" or "de" must match the language module the program will load;
// any other is only a name.
//
// The demo files live in %TEMP%\digestor-tour, made anew at the start and removed at the end.
// Every step waits for its state with a bounded poll and says what it did; a message box that no
// step expects fails the tour.
//
// Exit code: 0 when every step reached its state and every picture was written; 2 for a usage
// error; 3 otherwise.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include <tlhelp32.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/png_writer.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_harness.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/remote_drop.h"
#include "tests/e2e/window_capture.h"

namespace {

const int kUsageError = 2;
const int kTourFailed = 3;

// Bounds of the waits on a loaded machine; a tour that works never waits them out.
const DWORD kStepTimeoutMs = 20000;
const DWORD kCaptureTimeoutMs = 10000;
// Retaking a picture while other programs' windows lie over it.
const DWORD kPhotographTimeoutMs = 60000;
// The large file's run must get a third of the way; MD2 under Wine may be slow.
const DWORD kPartwayTimeoutMs = 120000;

// Large enough for MD2 to keep the progress dialog up for seconds; sparse, so it costs no disk.
const LONGLONG kLargeFileSize = 256LL * 1024 * 1024;

// The demo folder's files hold RFC 1321's test texts, so the run's result lines can be checked
// against the published MD5 values.
struct DemoFile {
    const char* name; // below the demo folder
    const char* content;
    const char* md5;
};
const DemoFile kDemoFiles[] = {
    {"empty.txt", "", "d41d8cd98f00b204e9800998ecf8427e"},
    {"abc.txt", "abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message.txt", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"letters\\a.txt", "a", "0cc175b9c0f1b6a831c399e269772661"},
    {"letters\\alphabet.txt", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
};
const char* const kDemoSubfolder = "letters";
const size_t kDemoCount = sizeof(kDemoFiles) / sizeof(kDemoFiles[0]);

// What the quick-sum dialog is given, and its MD5 (RFC 1321).
const wchar_t* const kQuickSumInput = L"abc";
const char* const kQuickSumDigest = "900150983cd24fb0d6963f7d28e17f72";

// Old-style and Explorer-style save dialogs keep the file name in these controls (dlgs.h).
const int kFileNameEdit = 0x480;  // edt1
const int kFileNameCombo = 0x47C; // cmb13

// The program's texts are in the ANSI code page; the terminal reading this output wants UTF-8.
std::string ForTerminal(const std::string& text) {
    int wideSize = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (wideSize <= 0)
        return text;
    std::wstring wide(static_cast<size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], wideSize);
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return text;
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size) - 1);
    return result;
}

void Say(const std::string& text) {
    printf("%s\n", ForTerminal(text).c_str());
    fflush(stdout);
}

void Complain(const std::string& text) {
    fprintf(stderr, "screenshot_tour: %s\n", ForTerminal(text).c_str());
    fflush(stderr);
}

std::string FolderOf(const std::string& path) {
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

// A file of size bytes that reads as zeros; only its length is written, so the file system may
// keep it sparse.
bool WriteLargeFile(const std::string& path, LONGLONG size) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = size;
    bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    return CloseHandle(file) && ok;
}

// %TEMP%\digestor-tour with the demo folder and the large file; removed again by the destructor.
// A fixed name keeps the paths in the pictures the same from one tour to the next.
class TourFolder {
public:
    TourFolder() {
        char temp[MAX_PATH] = {};
        DWORD length = GetTempPathA(MAX_PATH, temp);
        std::string base(temp, length);
        if (!base.empty() && (base.back() == '\\' || base.back() == '/'))
            base.pop_back();
        path_ = JoinPath(base, "digestor-tour");
    }
    ~TourFolder() { RemoveTree(path_); }
    TourFolder(const TourFolder&) = delete;
    TourFolder& operator=(const TourFolder&) = delete;

    // Leftovers of an interrupted tour go first.
    bool Make() {
        RemoveTree(path_);
        if (!CreateDirectoryA(path_.c_str(), nullptr) || !CreateDirectoryA(Demo().c_str(), nullptr) ||
            !CreateDirectoryA(JoinPath(Demo(), kDemoSubfolder).c_str(), nullptr))
            return false;
        for (const DemoFile& file : kDemoFiles) {
            if (!WriteTestFile(JoinPath(Demo(), file.name), file.content))
                return false;
        }
        return WriteLargeFile(LargeFile(), kLargeFileSize);
    }

    std::string Demo() const { return JoinPath(path_, "demo"); }
    std::string LargeFile() const { return JoinPath(path_, "large.bin"); }
    std::string SavedList() const { return JoinPath(path_, "checksums.txt"); }

private:
    std::string path_;
};

// The language module the program picks for this system, read as data: the captions and texts to
// look for in its windows.
class Wording {
public:
    explicit Wording(const std::string& programFolder) {
        german_ = PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN;
        path_ = programFolder + (german_ ? "\\lang\\1031.dll" : "\\lang\\1033.dll");
        module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~Wording() {
        if (module_)
            FreeLibrary(module_);
    }
    Wording(const Wording&) = delete;
    Wording& operator=(const Wording&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    bool German() const { return german_; }
    const std::string& Path() const { return path_; }

    std::string Text(UINT id) const {
        char text[1024] = {};
        LoadStringA(module_, id, text, sizeof(text));
        return text;
    }

    // A secondary dialog's caption: the program's caption, then the dialog's own string.
    std::string DialogCaption(UINT id) const { return std::string(kMainCaption) + ": " + Text(id); }

private:
    bool german_ = false;
    std::string path_;
    HMODULE module_ = nullptr;
};

// Every thread of a process but one held still while this lives.  The run reports to its progress
// dialog every few dozen milliseconds, and a picture is only taken of a window that stays the same
// between two looks; with the worker held, the window thread still paints.
class HeldThreads {
public:
    HeldThreads(DWORD processId, DWORD keptThreadId) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return;
        THREADENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
            if (entry.th32OwnerProcessID != processId || entry.th32ThreadID == keptThreadId)
                continue;
            HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
            if (thread && SuspendThread(thread) != static_cast<DWORD>(-1))
                held_.push_back(thread);
            else if (thread)
                CloseHandle(thread);
        }
        CloseHandle(snapshot);
    }
    ~HeldThreads() {
        for (HANDLE thread : held_) {
            ResumeThread(thread);
            CloseHandle(thread);
        }
    }
    HeldThreads(const HeldThreads&) = delete;
    HeldThreads& operator=(const HeldThreads&) = delete;

    size_t Count() const { return held_.size(); }

private:
    std::vector<HANDLE> held_;
};

bool IsDialog(HWND window) { return ClassNameOf(window) == "#32770"; }

// A visible dialog of the process with exactly this caption, or null.
HWND FindDialog(DWORD processId, const std::string& caption) {
    for (HWND window : VisibleTopLevelWindows(processId)) {
        if (IsDialog(window) && CaptionOf(window) == caption)
            return window;
    }
    return nullptr;
}

// A visible dialog of the process that is not among before, or null.
HWND FindNewDialog(DWORD processId, const std::vector<HWND>& before) {
    for (HWND window : VisibleTopLevelWindows(processId)) {
        bool old = false;
        for (HWND seen : before)
            old = old || seen == window;
        if (!old && IsDialog(window))
            return window;
    }
    return nullptr;
}

// The progress dialog, told apart by its bars and cancel button.
HWND FindProgressDialog(DWORD processId) {
    for (HWND window : TopLevelWindows(processId)) {
        HWND file = GetDlgItem(window, IDC_FILE_PROGRESS);
        HWND cancel = GetDlgItem(window, IDC_CANCEL);
        if (IsDialog(window) && file && cancel && ClassNameOf(file) == "msctls_progress32")
            return window;
    }
    return nullptr;
}

std::wstring Widen(const std::string& text) {
    int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size) - 1);
    return wide;
}

// The pictures are committed, so they are written compressed through the system's PNG encoder:
// about 2 % of what WritePngFile's uncompressed data takes.  False when the encoder is missing or
// fails; the caller then falls back to WritePngFile.
bool WriteCompressedPng(const std::string& path, const RgbImage& image) {
    using Microsoft::WRL::ComPtr;
    // The encoder takes blue, green, red.
    std::vector<BYTE> bgr(image.rgb.begin(), image.rgb.end());
    for (size_t i = 0; i + 2 < bgr.size(); i += 3)
        std::swap(bgr[i], bgr[i + 2]);
    const UINT stride = static_cast<UINT>(image.width) * 3;

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.GetAddressOf()))) ||
        FAILED(factory->CreateStream(stream.GetAddressOf())) ||
        FAILED(stream->InitializeFromFilename(Widen(path).c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.GetAddressOf())) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.GetAddressOf(), options.GetAddressOf())) ||
        FAILED(frame->Initialize(options.Get())) ||
        FAILED(frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height))) ||
        FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR ||
        FAILED(frame->WritePixels(static_cast<UINT>(image.height), stride, static_cast<UINT>(bgr.size()),
                                  bgr.data())) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit()))
        return false;
    return true;
}

// The first visible window above window in the Z order that overlaps it, whoever owns it, as
// "window CAPTION (CLASS)"; empty when none does.
std::string CoveringWindow(HWND window) {
    RECT area;
    if (!GetWindowRect(window, &area))
        return std::string();
    for (HWND other = GetTopWindow(nullptr); other && other != window;
         other = GetWindow(other, GW_HWNDNEXT)) {
        RECT rect;
        RECT overlap;
        if (IsWindowVisible(other) && GetWindowRect(other, &rect) && IntersectRect(&overlap, &area, &rect))
            return "window \"" + CaptionOf(other) + "\" (" + ClassNameOf(other) + ")";
    }
    return std::string();
}

// EnumChildWindows callback: stops at the first edit control and stores it in *found.
BOOL CALLBACK FindEdit(HWND window, LPARAM found) {
    if (ClassNameOf(window) != "Edit")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Sets a control's text in another process; the wide message carries it across intact.
bool SetRemoteText(HWND control, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result) &&
           result == TRUE;
}

// A message box's text on one line.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

std::string ResultLine(const char* digest, const char* algorithm, const std::string& path) {
    return std::string(digest) + " <- " + algorithm + " -> " + path;
}

class Tour {
public:
    Tour(const std::string& outFolder, const std::string& program, const std::string& language)
        : outFolder_(outFolder), program_(program), language_(language), wording_(FolderOf(program)) {}

    bool Run() {
        return CheckLanguage() && Prepare() && Start() && MainWindowAfterRun() && ProgressDuringRun() &&
               QuickSum() && About() && SaveList() && ClearList() && Exit();
    }

private:
    // The pictures are named after a language; the program must be about to speak it.
    bool CheckLanguage() {
        if (!wording_.Loaded()) {
            Complain("cannot read the language module " + wording_.Path());
            return false;
        }
        if ((language_ == "de" && !wording_.German()) || (language_ == "en" && wording_.German())) {
            Complain("the pictures are to be in \"" + language_ + "\", but this system's language gets " +
                     wording_.Path() + " (see WINE_RUN_LOCALE)");
            return false;
        }
        Say("language module: " + wording_.Path());
        return true;
    }

    bool Prepare() {
        if (!folder_.Make()) {
            Complain("cannot make the demo files (error " + std::to_string(GetLastError()) + ")");
            return false;
        }
        Say("demo folder " + folder_.Demo() + " (" + std::to_string(kDemoCount) + " files), large file " +
            folder_.LargeFile());
        return true;
    }

    bool Start() {
        if (!digestor_.Start(program_)) {
            Complain("cannot start " + program_ + " (error " + std::to_string(GetLastError()) + ")");
            return false;
        }
        main_ = digestor_.WaitForMainWindow();
        if (!main_) {
            Complain("no main window: " + digestor_.Describe());
            return false;
        }
        Say("started " + program_ + ", main window up");
        return true;
    }

    // Polls condition until it holds.  Fails early when the program ends or, unless dialogs are
    // expected, shows a message box.
    template <typename Condition>
    bool WaitFor(const std::string& what, Condition condition, DWORD timeoutMs = kStepTimeoutMs,
                 bool dialogsExpected = false) {
        bool broken = false;
        bool reached = PollUntil(
            [&] {
                if (!digestor_.IsRunning() || (!dialogsExpected && FindMessageBox(digestor_.Id()))) {
                    broken = true;
                    return true;
                }
                return condition();
            },
            timeoutMs, 15);
        if (reached && !broken)
            return true;
        Complain(what + (broken ? " was interrupted: " : " did not happen in time: ") + digestor_.Describe());
        return false;
    }

    HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

    LRESULT ListCount() { return SendPlainMessage(Control(main_, IDC_FILE_LIST), LB_GETCOUNT, 0, 0); }

    std::vector<std::string> ListEntries() {
        std::vector<std::string> entries;
        HWND list = Control(main_, IDC_FILE_LIST);
        for (LRESULT i = 0, n = ListCount(); i < n; ++i)
            entries.push_back(ListItemText(list, static_cast<int>(i)));
        return entries;
    }

    // A drop has been taken in once count entries are listed and the window is idle again.
    bool WaitForDropTaken(LRESULT count) {
        HWND list = Control(main_, IDC_FILE_LIST);
        HWND start = Control(main_, IDC_START);
        HWND marquee = Control(main_, IDC_MAIN_PROGRESS);
        return WaitFor("taking in the drop", [&] {
            return ListCount() == count && IsWindowEnabled(list) && IsWindowEnabled(start) &&
                   !IsWindowVisible(marquee);
        });
    }

    bool Drop(const std::string& path) {
        std::string error;
        if (!DropFiles(digestor_.Handle(), digestor_.Id(), Control(main_, IDC_FILE_LIST), {path}, &error)) {
            Complain("cannot drop " + path + ": " + error);
            return false;
        }
        Say("dropped " + path);
        return true;
    }

    // Chooses an algorithm in the main window's box by its name.
    bool ChooseAlgorithm(const char* name) {
        HWND box = Control(main_, IDC_ALGORITHM);
        for (int i = 0; i < 4; ++i) {
            if (ComboItemText(box, i) == name) {
                SendPlainMessage(box, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
                if (SendPlainMessage(box, CB_GETCURSEL, 0, 0) == i)
                    return true;
            }
        }
        Complain(std::string("cannot choose ") + name + " in the algorithm box");
        return false;
    }

    // The display may be shared with other programs, and a picture is read from the screen: it
    // counts only when no other window lay over the window and the window was the active one,
    // with its caption drawn so.  Otherwise it is taken again.
    bool Photograph(HWND window, const char* name) {
        RgbImage image;
        bool taken = PollUntil(
            [&] {
                if (!CaptureWindow(window, kCaptureTimeoutMs, image))
                    return false;
                std::string cover = CoveringWindow(window);
                if (cover.empty() && GetForegroundWindow() == window)
                    return true;
                Say("  " + (cover.empty() ? std::string("the window lost the focus") : cover) +
                    " during the picture: once more");
                return false;
            },
            kPhotographTimeoutMs, 200);
        if (!taken) {
            Complain(std::string("cannot take an unobstructed picture for ") + name + ": " +
                     CoveringWindow(window));
            return false;
        }
        std::string path = JoinPath(outFolder_, std::string(name) + "-" + language_ + ".png");
        const char* kind = "";
        if (!WriteCompressedPng(path, image)) {
            kind = ", uncompressed";
            if (!WritePngFile(path.c_str(), image.width, image.height, image.rgb.data())) {
                Complain("cannot write " + path + " (error " + std::to_string(GetLastError()) + ")");
                return false;
            }
        }
        Say("  picture " + path + " (" + std::to_string(image.width) + "x" + std::to_string(image.height) +
            kind + ")");
        return true;
    }

    // Tells the main window a menu command, as choosing the menu item does.
    void Command(int id) { PostMessageA(main_, WM_COMMAND, static_cast<WPARAM>(id), 0); }

    bool ExpectDemoResults() {
        std::vector<std::string> entries = ListEntries();
        bool ok = entries.size() == kDemoCount;
        for (const DemoFile& file : kDemoFiles) {
            std::string expected = ResultLine(file.md5, "MD5", JoinPath(folder_.Demo(), file.name));
            bool found = false;
            for (const std::string& entry : entries)
                found = found || entry == expected;
            ok = ok && found;
        }
        if (!ok) {
            Complain("the list does not hold the demo files' MD5 result lines:");
            for (const std::string& entry : entries)
                Complain("  " + entry);
        }
        return ok;
    }

    // a) The demo folder dropped, walked and digested with MD5; one result line selected, so the
    // path field shows it whole.
    bool MainWindowAfterRun() {
        Say("main window: drop the demo folder and run MD5 over it");
        if (!Drop(folder_.Demo()) || !WaitForDropTaken(static_cast<LRESULT>(kDemoCount)) ||
            !ChooseAlgorithm("MD5"))
            return false;
        SendPlainMessage(Control(main_, IDC_START), BM_CLICK, 0, 0);
        if (!WaitFor("the MD5 run",
                     [&] {
                         if (FindProgressDialog(digestor_.Id()))
                             return false;
                         for (const std::string& entry : ListEntries()) {
                             if (entry.find(" <- ") == std::string::npos)
                                 return false;
                         }
                         return true;
                     }) ||
            !ExpectDemoResults())
            return false;
        Say("  " + std::to_string(kDemoCount) + " result lines, each the published MD5");

        const std::string chosen =
            ResultLine(kDemoFiles[1].md5, "MD5", JoinPath(folder_.Demo(), kDemoFiles[1].name));
        std::vector<std::string> entries = ListEntries();
        HWND list = Control(main_, IDC_FILE_LIST);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i] == chosen) {
                // A click selects and then notifies the window.
                SendPlainMessage(list, LB_SETCURSEL, i, 0);
                SendPlainMessage(main_, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(list));
            }
        }
        if (!WaitFor("showing the selected line",
                     [&] { return WindowText(Control(main_, IDC_SELECTED_PATH)) == chosen; }))
            return false;
        return Photograph(main_, "main");
    }

    // b) A run with MD2 over the large file, photographed with its per-file bar partway, then
    // cancelled: the file keeps its path and the start button is usable again.
    bool ProgressDuringRun() {
        Say("progress dialog: drop the large file and run MD2 over the list");
        const LRESULT count = static_cast<LRESULT>(kDemoCount) + 1;
        if (!Drop(folder_.LargeFile()) || !WaitForDropTaken(count) || !ChooseAlgorithm("MD2"))
            return false;
        SendPlainMessage(Control(main_, IDC_START), BM_CLICK, 0, 0);

        const std::string caption = wording_.DialogCaption(IDS_PROGRESS_CAPTION);
        HWND dialog = nullptr;
        if (!WaitFor("the progress dialog \"" + caption + "\"", [&] {
                dialog = FindProgressDialog(digestor_.Id());
                return dialog && IsWindowVisible(dialog) && CaptionOf(dialog) == caption;
            }))
            return false;

        HWND bar = Control(dialog, IDC_FILE_PROGRESS);
        auto percent = [&] {
            LRESULT high = SendPlainMessage(bar, PBM_GETRANGE, FALSE, 0, 0);
            LRESULT position = SendPlainMessage(bar, PBM_GETPOS, 0, 0, 0);
            return high > 0 ? static_cast<int>(position * 100 / high) : 0;
        };
        if (!WaitFor(
                "the per-file bar getting a third of the way", [&] { return percent() >= 33; },
                kPartwayTimeoutMs))
            return false;
        {
            HeldThreads held(digestor_.Id(), GetWindowThreadProcessId(dialog, nullptr));
            if (!IsWindow(dialog) || percent() >= 100) {
                Complain("the run over the large file ended before its picture: make the file larger");
                return false;
            }
            Say("  per-file bar at " + std::to_string(percent()) + "%, " + std::to_string(held.Count()) +
                " other threads held");
            if (!Photograph(dialog, "progress"))
                return false;
        }

        SendPlainMessage(Control(dialog, IDC_CANCEL), BM_CLICK, 0, 0);
        HWND start = Control(main_, IDC_START);
        if (!WaitFor("cancelling the run", [&] {
                return !IsWindow(dialog) && !FindProgressDialog(digestor_.Id()) && IsWindowEnabled(start);
            }))
            return false;
        std::vector<std::string> entries = ListEntries();
        bool largeKept = false;
        for (const std::string& entry : entries)
            largeKept = largeKept || entry == folder_.LargeFile();
        if (entries.size() != static_cast<size_t>(count) || !largeKept) {
            Complain("after the cancel the large file should still be listed under its path");
            return false;
        }
        Say("  cancelled: the large file is still listed as a path, start is enabled");
        return true;
    }

    // c) The quick-sum dialog with "abc" typed and its MD5 computed.
    bool QuickSum() {
        Say("quick sum: type \"abc\" and compute");
        Command(IDM_QUICKSUM);
        const std::string caption = wording_.DialogCaption(IDS_QUICKSUM_CAPTION);
        HWND dialog = nullptr;
        if (!WaitFor("the quick-sum dialog \"" + caption + "\"", [&] {
                dialog = FindDialog(digestor_.Id(), caption);
                return dialog != nullptr;
            }))
            return false;
        SyncWithWindow(dialog);
        if (!SetRemoteText(Control(dialog, IDC_TEXT_INPUT), kQuickSumInput)) {
            Complain("cannot type into the quick-sum dialog");
            return false;
        }
        SendPlainMessage(Control(dialog, IDC_START), BM_CLICK, 0, 0);
        if (!WaitFor("the digest of \"abc\"",
                     [&] { return WindowText(Control(dialog, IDC_DIGEST_OUTPUT)) == kQuickSumDigest; }))
            return false;
        Say(std::string("  MD5 shown: ") + kQuickSumDigest);
        if (!Photograph(dialog, "quicksum"))
            return false;
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return WaitFor("closing the quick-sum dialog",
                       [&] { return !IsWindow(dialog) && IsWindowEnabled(main_); });
    }

    // d) The companion library's about box, which shows the language module's about text.
    bool About() {
        Say("about box");
        const std::vector<HWND> before = VisibleTopLevelWindows(digestor_.Id());
        Command(IDM_ABOUT);
        HWND box = nullptr;
        if (!WaitFor(
                "the about box",
                [&] {
                    box = FindNewDialog(digestor_.Id(), before);
                    return box != nullptr;
                },
                kStepTimeoutMs, true))
            return false;
        SyncWithWindow(box);
        const std::string aboutText = wording_.Text(IDS_ABOUT_TEXT);
        bool textShown = false;
        for (HWND child : ChildWindows(box))
            textShown = textShown || WindowText(child) == aboutText;
        if (CaptionOf(box).compare(0, strlen(kMainCaption), kMainCaption) != 0 || !textShown ||
            !GetDlgItem(box, IDOK)) {
            Complain("the new window \"" + CaptionOf(box) + "\" is not the about box with \"" + aboutText +
                     "\"");
            return false;
        }
        Say("  \"" + CaptionOf(box) + "\" shows \"" + aboutText + "\"");
        if (!Photograph(box, "about"))
            return false;
        PressMessageBoxButton(box, IDOK);
        return WaitFor(
            "closing the about box", [&] { return !IsWindow(box) && IsWindowEnabled(main_); }, kStepTimeoutMs,
            true);
    }

    // The save dialog's file name field: an edit of its own (old style) or the edit inside the
    // combo box of the Explorer style.
    static HWND FileNameField(HWND dialog) {
        HWND edit = GetDlgItem(dialog, kFileNameEdit);
        if (edit && ClassNameOf(edit) == "Edit")
            return edit;
        HWND combo = GetDlgItem(dialog, kFileNameCombo);
        edit = nullptr;
        if (combo)
            EnumChildWindows(combo, FindEdit, reinterpret_cast<LPARAM>(&edit));
        return edit;
    }

    // Prints the saved file's first lines; true when it starts with the separator and the heading.
    bool ShowSavedFile() {
        FILE* file = fopen(folder_.SavedList().c_str(), "rb");
        if (!file) {
            Complain("the saved list " + folder_.SavedList() + " does not exist");
            return false;
        }
        std::vector<std::string> lines;
        char line[1024];
        while (lines.size() < 8 && fgets(line, sizeof(line), file)) {
            std::string text = line;
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            lines.push_back(text);
        }
        fclose(file);
        Say("  " + folder_.SavedList() + " begins:");
        for (const std::string& text : lines)
            Say("    " + text);
        const std::string heading = wording_.Text(IDS_SAVE_HEADING);
        bool ok = lines.size() >= 5 && lines[0] == std::string(80, '-') && lines[1].size() > heading.size() &&
                  lines[1].compare(lines[1].size() - heading.size(), heading.size(), heading) == 0;
        if (!ok)
            Complain("the saved list does not begin with the separator and the heading \"" + heading + "\"");
        return ok;
    }

    // e) The list saved under %TEMP%: the save dialog is filled in and confirmed, and the notice
    // that follows is photographed.
    bool SaveList() {
        Say("save list: save to " + folder_.SavedList());
        const std::string title = wording_.Text(IDS_SAVE_TITLE);
        Command(IDM_SAVE_LIST);
        HWND dialog = nullptr;
        HWND field = nullptr;
        if (!WaitFor(
                "the save dialog \"" + title + "\"",
                [&] {
                    dialog = FindDialog(digestor_.Id(), title);
                    field = dialog ? FileNameField(dialog) : nullptr;
                    return field != nullptr;
                },
                kStepTimeoutMs, true)) {
            // What the dialog holds instead, for the report.
            if (dialog) {
                for (HWND child : ChildWindows(dialog))
                    Complain("  child " + std::to_string(GetDlgCtrlID(child)) + " " + ClassNameOf(child) +
                             " \"" + WindowText(child) + "\"");
            }
            return false;
        }
        SyncWithWindow(dialog);
        if (!SetRemoteText(field, Widen(folder_.SavedList()))) {
            Complain("cannot type the file name into the save dialog");
            return false;
        }
        PressMessageBoxButton(dialog, IDOK);

        const std::string notice = wording_.Text(IDS_SAVED);
        HWND box = nullptr;
        if (!WaitFor(
                "the notice \"" + notice + "\"",
                [&] {
                    box = FindMessageBox(digestor_.Id());
                    return box && box != dialog && !IsWindow(dialog);
                },
                kStepTimeoutMs, true))
            return false;
        SeenMessageBox seen = ReadMessageBox(box);
        if (seen.text != notice || seen.title != kMainCaption) {
            Complain("the program said \"" + seen.title + ": " + OneLine(seen.text) + "\" instead of \"" +
                     notice + "\"");
            PressMessageBoxButton(box, IDOK);
            return false;
        }
        Say("  \"" + seen.title + ": " + seen.text + "\"");
        if (!Photograph(box, "saved"))
            return false;
        PressMessageBoxButton(box, IDOK);
        if (!WaitFor(
                "answering the notice", [&] { return !IsWindow(box) && IsWindowEnabled(main_); },
                kStepTimeoutMs, true))
            return false;
        return ShowSavedFile();
    }

    // The list emptied: no entries, an empty path field, start disabled.
    bool ClearList() {
        Say("clear list");
        Command(IDM_CLEAR_LIST);
        if (!WaitFor("clearing the list", [&] {
                return ListCount() == 0 && WindowText(Control(main_, IDC_SELECTED_PATH)).empty() &&
                       !IsWindowEnabled(Control(main_, IDC_START));
            }))
            return false;
        Say("  the list is empty, start is disabled");
        return true;
    }

    // f) Exit from the menu ends the program with exit code 1.
    bool Exit() {
        Say("exit");
        Command(IDM_EXIT);
        DWORD code = 0;
        if (!digestor_.WaitForExit(kExitTimeoutMs, code)) {
            Complain("the program did not end after Exit: " + digestor_.Describe());
            return false;
        }
        Say("  Digestor exited with code " + std::to_string(static_cast<long>(code)));
        if (code != 1) {
            Complain("the exit code after Exit should be 1");
            return false;
        }
        return true;
    }

    const std::string outFolder_;
    const std::string program_;
    const std::string language_;
    Wording wording_;
    // Declared before the program, so that the program is ended before its files are removed.
    TourFolder folder_;
    DigestorProcess digestor_;
    HWND main_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 || argv[3][0] == '\0') {
        fprintf(stderr, "usage: screenshot_tour OUTDIR PROGRAM LANGUAGE\n");
        return kUsageError;
    }
    DWORD attributes = GetFileAttributesA(argv[1]);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Complain(std::string("no folder ") + argv[1]);
        return kUsageError;
    }
    // For the PNG encoder.
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        Complain("COM is not available: the pictures are written uncompressed");
    Tour tour(argv[1], argv[2], argv[3]);
    if (!tour.Run()) {
        Complain("the tour failed");
        return kTourFailed;
    }
    Say("tour complete");
    return 0;
}
