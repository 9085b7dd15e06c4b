// Hash runs started by the main window's start command: the lines they write,
// the window they give back, and how they stop.
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <memory>
#include <fstream>
#include <random>
#include <regex>
#include <windows.h>

#include <commctrl.h>
#include <shobjidl.h>
#include <string.h>

#include "base/list_reading.h"
#include "base/run_progress.h"
#include "res/resource.h"
#include "run/compare_job.h"
#include "run/hash_job.h"
#include "base/hash_stop.h"
#include "gather/new_files.h"
#include "tests/win/fixture.h"
#include "tools/check_list.h"
#include "tools/record_folder.h"
#include "tools/save_list.h"
#include "window/app_state.h"
#include "window/folder_picker.h"
#include "window/gui_listbox.h"
#include "window/palette.h"
#include "window/taskbar.h"

// Where the job is held, on its own thread: before the first block of `entry` at byte `after` or
// later. It posts `message` to the progress dialog there and, with `wait`, waits for the stop
// request (unless it ignores it) or the release. Set before a run starts, whose thread reads it.
static struct HoldPoint {
    LRESULT entry;
    ULONGLONG after;
    UINT message;
    WPARAM wParam;
    bool wait, ignoresStop;
} Hold;
static std::atomic<bool> Reached, Released, ListEnabled;
static std::atomic<ULONGLONG> Posted;      // when the hook posted its message
static std::atomic<ULONGLONG> Digested[8]; // the bytes of each entry the hook has seen

// Every block also checks that the list is disabled.
static void HoldHook(LRESULT entry, ULONGLONG done) {
    ListEnabled = ListEnabled || IsWindowEnabled(GetDlgItem(MainWindow, IDC_FILE_LIST));
    if (entry < 8)
        Digested[entry] = done;
    if (entry == Hold.entry && done >= Hold.after) {
        Hold.entry = -1;
        // Other workers may still digest the entries before: they are replaced first.
        char before[PathBufferSize];
        WaitFor([entry, &before] {
            return !entry || (FileList->GetEntry(entry - 1, before) && strstr(before, " <- "));
        });
        Posted = GetTickCount64();
        PostMessageA(ProgressWindow, Hold.message, Hold.wParam, 0);
        Reached = true;
        WaitFor([] { return !Hold.wait || (HashStopRequested() && !Hold.ignoresStop) || Released; });
    }
}

// Whether entry of list shows text in tone near its start, once painted.
static bool Painted(HWND list, int entry, COLORREF tone) {
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, entry, reinterpret_cast<LPARAM>(&item));
    return WaitFor([&] {
        HDC dc = GetDC(list);
        bool seen = false;
        for (int x = item.left + 5; x < item.left + 40 && !seen; ++x)
            for (int y = item.top; y < item.bottom && !seen; ++y)
                seen = GetPixel(dc, x, y) == tone;
        ReleaseDC(list, dc);
        return seen;
    });
}

class Run : public WinTest {
protected:
    void SetUp() override {
        Hold = {-1, 0, 0, 0, false, false};
        Reached = Released = ListEnabled = false;
        for (auto& bytes : Digested)
            bytes = 0;
        SetHashBlockHook(HoldHook);
        WinTest::SetUp();
    }
    void TearDown() override {
        Released = true;
        WinTest::TearDown();
        SetHashBlockHook(NULL);
        EXPECT_FALSE(ListEnabled) << "the list was enabled during a run";
    }
    void Select(int index) { SendMessageA(Item(IDC_ALGORITHM), CB_SETCURSEL, index, 0); }
    bool Enabled(UINT item) { return !(GetMenuState(GetMenu(m_window), item, MF_BYCOMMAND) & MF_GRAYED); }
};

TEST_F(Run, EveryAlgorithmWritesTheEnginesDigestOfEachFile) {
    // An empty entry, an earlier result, a missing file, one whose failure line is longer than an
    // entry may be (it is cut to 519 characters, not lost), then files around the block sizes.
    std::string missing = Path("missing.bin"), earlier = "0b9a2c4d <- CRC32 -> " + missing;
    std::string longer = "C:\\" + std::string(505, 'p'), wide = "C:\\x";
    for (int i = 0; i < 250; ++i)
        wide += "\xC3\xA9"; // é: its failure line is cut before a character, not inside one
    std::vector<std::string> entries = {"", earlier, missing, longer, wide};
    for (size_t size : {0, 1, 1023, 1024, 1025, 64 * 1024 + 1, 300 * 1024 + 7})
        entries.push_back(File("f" + std::to_string(size), size));
    for (int place = 0; place < 12; ++place) {
        const DigestKind kind = BoxOrder[place];
        SCOPED_TRACE(DigestNames[kind]);
        std::vector<std::string> expected = {"", earlier, Text(IDS_OPEN_FAILED, DigestNames[kind], missing),
                                             Text(IDS_OPEN_FAILED, DigestNames[kind], longer).substr(0, 519)};
        const std::string wideLine = Text(IDS_OPEN_FAILED, DigestNames[kind], wide);
        expected.push_back(wideLine.substr(0, wideLine.find_last_of('\xC3', 519)));
        for (size_t i = expected.size(); i < entries.size(); ++i)
            expected.push_back(ResultLine(kind, entries[i]));
        SetEntries(entries);
        OnWindowThread([] { FileList->AddEntry(std::string(520, 'x').c_str()); }); // refused: too long
        ASSERT_EQ(SendMessageA(Item(IDC_FILE_LIST), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(entries.size()));
        Select(place);
        CloseHandle(Start());
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(Entries(), expected);
    }
}

// Each run is held in its first file: the dialog shows the module's texts, then it ends.
TEST_F(Run, FinishedCancelledAndClosedRunsGiveTheWindowBack) {
    const struct {
        UINT message;
        WPARAM wParam;
        bool startEnabled;
    } endings[] = {{0, 0, false}, {WM_COMMAND, IDC_CANCEL, true}, {WM_SYSCOMMAND, SC_CLOSE, false}};
    std::string file = File("big.bin", 200000);
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.message);
        SetEntries({file});
        EnableWindow(Item(IDC_START), TRUE);
        Hold = {0, 4096, WM_NULL, 0, true, false};
        Reached = Released = false;
        CloseHandle(Start());
        ASSERT_TRUE(WaitFor([] { return Reached.load(); }));
        ExpectTexts(
            ProgressWindow, IDS_PROGRESS_CAPTION,
            {{IDC_CANCEL, IDS_CANCEL}, {IDC_FILE_GROUP, IDS_FILE_GROUP}, {IDC_TOTAL_GROUP, IDS_TOTAL_GROUP}});
        if (ending.message)
            PostMessageA(ProgressWindow, ending.message, ending.wParam, 0);
        Released = !ending.message;
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(IsWindowEnabled(Item(IDC_START)) != FALSE, ending.startEnabled);
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_FILE_LIST)));
        EXPECT_TRUE(Enabled(IDM_SAVE_LIST) && Enabled(IDM_CLEAR_LIST));
        EXPECT_EQ(Entries()[0], ending.message ? file : ResultLine(DigestMD5, file));
    }
}

TEST_F(Run, CancelAtRandomMomentsLeavesResultsThenUntouchedPaths) {
    const char* fixed = getenv("DIGESTOR_CANCEL_SEED");
    unsigned seed =
        fixed && *fixed ? static_cast<unsigned>(strtoul(fixed, NULL, 10)) : std::random_device()();
    printf("cancel seed %u (DIGESTOR_CANCEL_SEED=%u repeats it)\n", seed, seed);
    std::mt19937 random(seed);
    std::vector<std::string> paths;
    std::vector<size_t> sizes;
    for (int i = 0; i < 5; ++i) {
        sizes.push_back(random() % 100000);
        paths.push_back(File("c" + std::to_string(i), sizes.back()));
    }
    for (int round = 0; round < 12 && !HasFailure(); ++round) {
        DigestKind kind = static_cast<DigestKind>(random() % 4);
        size_t entry = random() % paths.size(), after = random() % (sizes[entry] + 1);
        bool wait = random() % 2 == 0;
        SCOPED_TRACE("round " + std::to_string(round) + ": " + DigestNames[kind] + ", entry " +
                     std::to_string(entry) + " at " + std::to_string(after) + (wait ? ", held" : ""));
        SetEntries(paths);
        Select(kind);
        Hold = {static_cast<LRESULT>(entry), after, WM_COMMAND, IDC_CANCEL, wait, false};
        CloseHandle(Start());
        ASSERT_TRUE(WaitIdle());
        std::vector<std::string> lines = Entries();
        ASSERT_EQ(lines.size(), paths.size());
        size_t done = 0;
        while (done < paths.size() && lines[done] == ResultLine(kind, paths[done]))
            ++done;
        EXPECT_TRUE(std::equal(lines.begin() + done, lines.end(), paths.begin() + done)) << "half replaced";
        EXPECT_TRUE(wait ? done == entry : done >= entry) << done << " done";
        for (const std::string& path : paths) {
            HANDLE alone = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
            EXPECT_NE(alone, INVALID_HANDLE_VALUE) << path << " is still open";
            CloseHandle(alone);
        }
    }
}

// Whatever the worker left behind finishes later never reaches the list, now another one's.
TEST_F(Run, WorkerThatDoesNotStopIsReportedAndNothingStartsBesideIt) {
    std::string done = File("done.bin", 10), file = File("a.bin", 5000);
    m_allowedBoxes.insert(Text(IDS_CANNOT_STOP));
    SetEntries({done, file});
    Hold = {1, 1024, WM_COMMAND, IDC_CANCEL, true, true};
    HANDLE worker = Start();
    ASSERT_TRUE(WaitFor([this] { return !Boxes().empty(); }));
    EXPECT_EQ(Boxes()[0].text, Text(IDS_CANNOT_STOP));
    EXPECT_EQ(Boxes()[0].owner, nullptr);
    EXPECT_EQ(Boxes()[0].flags, static_cast<UINT>(MB_ICONERROR));
    ASSERT_TRUE(WaitFor([] { return ProgressWindow == NULL; }));
    CloseHandle(Start());
    EXPECT_EQ(ProgressWindow, nullptr) << "a run started beside the worker";
    SetEntries({file});
    Released = true;
    EXPECT_EQ(WaitForSingleObject(worker, 20000), WAIT_OBJECT_0);
    CloseHandle(worker);
    EXPECT_EQ(Entries(), std::vector<std::string>{file}) << "a late line was written";
    CloseHandle(Start());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Entries(), std::vector<std::string>{ResultLine(DigestMD5, file)});
}

// The run of dialog, whose job is worker, has ended within a second of a cancel posted at cancelled:
// the dialog gone and the job's thread over. The time is printed: typically tens of milliseconds.
static void ExpectEndsWithinASecond(HWND dialog, HANDLE worker, ULONGLONG cancelled) {
    const ULONGLONG spent = GetTickCount64() - cancelled;
    const bool ended =
        spent < 1000 &&
        WaitFor([=] { return !IsWindow(dialog) && WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; },
                static_cast<DWORD>(1000 - spent));
    printf("the run ended %llu ms after the cancel\n", GetTickCount64() - cancelled);
    EXPECT_TRUE(ended) << "still running 1 s after the cancel";
}

// The readouts of a run held 4 KiB into the last of three files: the files and bytes done of all
// (the held file sized meanwhile), the speed and the time left each a value or the words for none.
TEST_F(Run, ReadoutsTellFilesAndBytesDoneOfAllDuringARun) {
    SetEntries({File("r0", 10240), File("r1", 30000), File("r2", 200000)});
    Hold = {2, 4096, WM_NULL, 0, true, false};
    CloseHandle(Start());
    ASSERT_TRUE(WaitFor([] { return Reached.load(); }));
    const char mark = Text(IDS_DECIMAL_MARK)[0];
    const std::string files = Text(IDS_PROGRESS_FILES, "2", "3"),
                      bytes = Text(IDS_PROGRESS_BYTES, AmountText(44336, mark), AmountText(240240, mark));
    auto line = [](int id) { return WindowText(GetDlgItem(ProgressWindow, id)); };
    auto counted = [&] { return line(IDC_PROGRESS_FILES) == files && line(IDC_PROGRESS_BYTES) == bytes; };
    EXPECT_TRUE(WaitFor(counted)) << line(IDC_PROGRESS_FILES) << " | " << line(IDC_PROGRESS_BYTES);
    auto valueOrNone = [&](int id, UINT format, UINT none, const std::string& value) {
        const std::string shown = line(id), around = Text(format, "\x01");
        const size_t at = around.find('\x01'), tail = around.size() - at - 1;
        return shown == Text(none) ||
               (shown.size() > around.size() && shown.compare(0, at, around, 0, at) == 0 &&
                shown.compare(shown.size() - tail, tail, around, at + 1, tail) == 0 &&
                std::regex_match(shown.substr(at, shown.size() - at - tail), std::regex(value)));
    };
    EXPECT_TRUE(valueOrNone(IDC_PROGRESS_SPEED, IDS_PROGRESS_SPEED, IDS_PROGRESS_SPEED_UNKNOWN,
                            std::string("[0-9]+( bytes|[") + mark + "][0-9] [KMGT]B)"))
        << line(IDC_PROGRESS_SPEED);
    EXPECT_TRUE(valueOrNone(IDC_PROGRESS_TIME_LEFT, IDS_PROGRESS_TIME_LEFT, IDS_PROGRESS_TIME_UNKNOWN,
                            "[0-9]+(:[0-9]{2}){1,2}"))
        << line(IDC_PROGRESS_TIME_LEFT);
    Released = true;
    ASSERT_TRUE(WaitIdle());
}

// A named pipe that nobody writes to, between two files: a cancel while the
// job waits in it, then a run in which its writer goes away while the job is
// held before its read, which then fails (ERROR_BROKEN_PIPE).
TEST_F(Run, PipeEntryIsLeftByACancelAtOnceAndGetsTheFailureLineWhenItsReadFails) {
    std::string pipe = "\\\\.\\pipe\\digestor-win-" + std::to_string(GetCurrentProcessId());
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> server(NULL, CloseHandle);
    std::string first = File("1.bin", 3000), last = File("2.bin", 5000);
    std::vector<std::string> expected = {ResultLine(DigestMD5, first), pipe, last};
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancelled" : "failing read");
        SetEntries({first, pipe, last});
        server.reset(CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, 0, 1, 0, 0, 0, NULL));
        Reached = Released = false;
        Hold = {1, 0, cancel ? WM_COMMAND : 0u, IDC_CANCEL, !cancel, false};
        HANDLE worker = Start();
        HWND dialog = ProgressWindow;
        ASSERT_TRUE(WaitFor([] { return Reached.load(); }));
        if (cancel) {
            ExpectEndsWithinASecond(dialog, worker, Posted);
            EXPECT_TRUE(Boxes().empty());
            EXPECT_EQ(Entries(), expected);
        }
        server.reset();
        Released = true;
        EXPECT_EQ(WaitForSingleObject(worker, 20000), WAIT_OBJECT_0);
        CloseHandle(worker);
        ASSERT_TRUE(WaitIdle());
        if (!cancel)
            expected = {expected[0], Text(IDS_OPEN_FAILED, "MD5", pipe), ResultLine(DigestMD5, last)};
        EXPECT_EQ(Entries(), expected);
    }
}

// A sha256sum file of four files, one changed and one removed, and a line of no known form: each
// file its verdict line, painted green or red, then the tally; a cancel keeps the later paths.
TEST_F(Run, CheckGivesEveryFileOfAListItsVerdict) {
    const std::vector<std::string> names = {"a.bin", "sub\\d.bin", "b.bin", "c.bin"};
    std::string sums;
    for (size_t i = 0; i < names.size(); ++i)
        sums += DigestOf(DigestSHA256, ReadBytes(File(names[i], 1000 * i + 5))) + (i ? "  " : " *") +
                names[i] + "\n";
    std::ofstream(Path("SHA256SUMS").c_str(), std::ios::binary) << sums << "no checksum here\n";
    File("b.bin", 77); // changed
    DeleteFileA(Path("c.bin").c_str());
    const std::string verdicts[] = {Text(IDS_VERDICT_OK), Text(IDS_VERDICT_OK), Text(IDS_VERDICT_FAILED),
                                    Text(IDS_VERDICT_MISSING)};
    m_allowedBoxes = {Text(IDS_CHECK_REPLACE), Tally(4, 2, 1, 1, 1)};
    for (bool cancel : {false, true}) {
        SetEntries({"an entry the check replaces"});
        Hold = {2, 0, cancel ? WM_COMMAND : 0u, IDC_CANCEL, cancel, false};
        OnWindowThread([this] { CheckList(m_window, Path("SHA256SUMS").c_str()); });
        // The question, then the tally, which a cancel leaves out.
        ASSERT_TRUE(WaitFor([&] { return Boxes().size() == (cancel ? 3u : 2u); }));
        ASSERT_TRUE(WaitIdle());
        std::vector<std::string> expected;
        for (size_t i = 0; i < names.size(); ++i)
            expected.push_back(cancel && i >= 2 ? Path(names[i])
                                                : verdicts[i] + " <- SHA256 -> " + Path(names[i]));
        EXPECT_EQ(Entries(), expected);
    }
    EXPECT_EQ(Boxes()[1].text, Tally(4, 2, 1, 1, 1));
    // Painted: green text on the OK entry, red on the FAILED one (the cancelled run left 0 and 1).
    OnWindowThread([this] { CheckList(m_window, Path("SHA256SUMS").c_str()); });
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == 5u; }));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Boxes().size(), 5u) << "a tally after a cancel";
    for (int entry : {0, 2})
        EXPECT_TRUE(Painted(Item(IDC_FILE_LIST), entry, entry == 0 ? PassedGreen : FailedRed)) << entry;
}

static std::string FolderToRecord;
static bool ChooseFolderToRecord(HWND, UINT, std::string& folder) { return folder = FolderToRecord, true; }

static FileRecord RecordOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return {(ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime};
}

static void SetWritten(const std::string& path, ULONGLONG ticks) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    FILETIME time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    EXPECT_TRUE(SetFileTime(file, NULL, NULL, &time)) << path;
    CloseHandle(file);
}

// A recorded list's entries as "path digest size written", in its order.
static std::vector<std::string> RecordedEntries(const std::string& list) {
    std::vector<std::string> entries;
    for (const ListEntry& e : ReadListText(ReadBytes(list)))
        entries.push_back(e.path + " " + e.digest + " " + std::to_string(e.record.size) + " " +
                          std::to_string(e.hasRecord ? e.record.written : 0));
    return entries;
}

// The run's own search for a recorded list's new files stalls in a read that never returns, as on a
// share that does not answer: a cancel ends the run within a second all the same.
static std::string StallPipe;
static std::atomic<bool> StallSearch;
static void StalledSearch() {
    if (StallSearch.exchange(false)) {
        HANDLE pipe = CreateFileA(StallPipe.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        char byte;
        DWORD read;
        Posted = GetTickCount64(); // no earlier cancel: the test posts its own once this is set
        Reached = true;
        ReadFile(pipe, &byte, 1, &read, NULL); // until a cancel breaks it
        CloseHandle(pipe);
    }
}

TEST_F(Run, CancelEndsARunWhoseSearchForNewFilesStalls) {
    StallPipe = "\\\\.\\pipe\\digestor-stall-" + std::to_string(GetCurrentProcessId());
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> server(
        CreateNamedPipeA(StallPipe.c_str(), PIPE_ACCESS_OUTBOUND, 0, 1, 0, 0, 0, NULL), CloseHandle);
    const std::string listed = File("share\\a.bin", 100), list = Path("share.md5");
    File("share\\new.bin", 10);
    std::ofstream(list.c_str(), std::ios::binary)
        << RecordHeadingText({DigestMD5, RecordOf(listed).written, {"share"}})
        << RecordedEntryText(DigestOf(DigestMD5, ReadBytes(listed)), "share/a.bin", RecordOf(listed));
    m_allowedBoxes = {Text(IDS_CHECK_REPLACE)};
    StallSearch = true;
    SetSearchHook(StalledSearch);
    OnWindowThread([&] { CheckList(m_window, list.c_str()); });
    EXPECT_TRUE(WaitFor([] { return Reached.load(); }));
    HWND dialog = ProgressWindow;
    HANDLE worker = NULL;
    DuplicateHandle(GetCurrentProcess(), HashThread, GetCurrentProcess(), &worker, SYNCHRONIZE, FALSE, 0);
    const ULONGLONG cancelled = GetTickCount64();
    PostMessageA(dialog, WM_COMMAND, IDC_CANCEL, 0);
    ExpectEndsWithinASecond(dialog, worker, cancelled);
    ASSERT_TRUE(WaitIdle());
    SetSearchHook(NULL);
    CloseHandle(worker);
    EXPECT_TRUE(Boxes().empty() || Boxes().back().text == Text(IDS_CHECK_REPLACE));
}

// The per-file bar while a file is read and when it is done. Large files held halfway each show a
// partly filled bar; each file the dialog names has its bar full before the next name replaces it,
// though the run reports about 30 times a second; the last file leaves it full.
static const size_t BarLarge = 200000, BarGroup = 3; // a large file, then two small ones
static std::atomic<bool> BarHeld[15];
static std::atomic<LRESULT> BarGo;
static std::mutex BarLock;
static std::vector<LRESULT> BarAtName; // the bar's position less its end when a new name came
static LRESULT BarAtEnd = -1;          // the same when the dialog went
static WNDPROC NameProc, BarProc;
static HWND Bar;
static LRESULT BarShort() {
    return SendMessageA(Bar, PBM_GETRANGE, FALSE, 0) - SendMessageA(Bar, PBM_GETPOS, 0, 0);
}
static LRESULT CALLBACK NameWatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) {
        std::lock_guard<std::mutex> lock(BarLock);
        BarAtName.push_back(BarShort());
    }
    return CallWindowProcA(NameProc, window, message, wParam, lParam);
}
static LRESULT CALLBACK BarWatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        std::lock_guard<std::mutex> lock(BarLock);
        BarAtEnd = BarShort();
    }
    return CallWindowProcA(BarProc, window, message, wParam, lParam);
}
static void BarHook(LRESULT entry, ULONGLONG done) {
    if (entry % BarGroup == 0 && done >= BarLarge / 2 && BarGo < entry) {
        BarHeld[entry] = true;
        WaitFor([entry] { return BarGo >= entry; });
    }
}

TEST_F(Run, FileBarMovesWhileAFileIsReadAndEndsFullForEveryFileItNamed) {
    std::vector<std::string> paths;
    for (size_t i = 0; i < 15; ++i) {
        paths.push_back(File("bar" + std::to_string(i), i % BarGroup ? 3000 + i : BarLarge));
        BarHeld[i] = false;
    }
    BarGo = -1;
    BarAtName.clear();
    SetEntries(paths);
    SetHashBlockHook(BarHook);
    CloseHandle(Start());
    for (size_t k = 0; k < paths.size(); k += BarGroup) {
        SCOPED_TRACE("held in " + paths[k]);
        const std::string name = "bar" + std::to_string(k);
        ASSERT_TRUE(WaitFor([&] { return BarHeld[k] && ProgressWindow; }));
        Bar = GetDlgItem(ProgressWindow, IDC_FILE_PROGRESS);
        EXPECT_TRUE(WaitFor([&] {
            const std::string shown = WindowText(GetDlgItem(ProgressWindow, IDC_PROGRESS_FILE_NAME));
            const LRESULT rest = BarShort();
            return shown.size() > name.size() &&
                   shown.compare(shown.size() - name.size(), name.size(), name) == 0 && rest > 0 &&
                   rest < SendMessageA(Bar, PBM_GETRANGE, FALSE, 0);
        })) << "the bar does not show the held file partly read";
        if (k == 0) { // the names after the first one: the dialog may name it a little after its read began
            NameProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(GetDlgItem(ProgressWindow, IDC_PROGRESS_FILE_NAME), GWLP_WNDPROC,
                                  reinterpret_cast<LONG_PTR>(NameWatch)));
            BarProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(Bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BarWatch)));
        }
        BarGo = static_cast<LRESULT>(k);
    }
    ASSERT_TRUE(WaitIdle());
    std::lock_guard<std::mutex> lock(BarLock);
    EXPECT_GE(BarAtName.size(), paths.size() / BarGroup - 1) << "a held file was never named";
    EXPECT_EQ(BarAtName, std::vector<LRESULT>(BarAtName.size(), 0)) << "a file's bar was short of its end";
    EXPECT_EQ(BarAtEnd, 0) << "the run's end left the bar short";
    std::vector<std::string> expected;
    for (const std::string& path : paths)
        expected.push_back(ResultLine(DigestMD5, path));
    EXPECT_EQ(Entries(), expected);
}

// A folder recorded through the window, then checked: one file decays (a byte changed, its time put
// back), one is edited, one goes and one comes; the update keeps the decayed file's record, so the
// check after it finds that one alone.
TEST_F(Run, RecordedFolderTellsDecayFromEditsAndIsUpdated) {
    // Each file's name in the list, and its verdicts after the changes: the word and the tone.
    const struct {
        const char* name;
        UINT verdict;
        COLORREF tone;
    } files[] = {{"a.bin", IDS_VERDICT_CORRUPTED, FailedRed}, {"b.bin", IDS_VERDICT_MODIFIED, ChangedBlue},
                 {"c.bin", IDS_VERDICT_MISSING, FailedRed},   {"d.bin", IDS_VERDICT_OK, PassedGreen},
                 {"sub/e.bin", IDS_VERDICT_OK, PassedGreen},  {"f.bin", IDS_VERDICT_NEW, ChangedBlue}};
    auto relative = [](std::string name) {
        std::replace(name.begin(), name.end(), '/', '\\');
        return "photos\\" + name;
    };
    auto file = [&](const std::string& name) { return Path(relative(name)); };
    auto entryOf = [&](const std::string& name) { // as the list should record the file now
        const FileRecord record = RecordOf(file(name));
        return "photos/" + name + " " + DigestOf(DigestSHA256, ReadBytes(file(name))) + " " +
               std::to_string(record.size) + " " + std::to_string(record.written);
    };
    std::vector<std::string> expected;
    for (int i = 0; i < 5; ++i) {
        File(relative(files[i].name), 1000 * i + 7);
        expected.push_back(entryOf(files[i].name));
    }
    const std::string list = Path("photos.sha256");
    char format[1024] = "", ask[2048], text[2048];
    auto tally = [&](std::vector<int> n) {
        LoadStringA(LanguageModule, IDS_CHECK_TALLY_RECORDED, format, sizeof format);
        n.resize(9);
        snprintf(text, sizeof text, format, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8]);
        return std::string(text);
    };
    LoadStringA(LanguageModule, IDS_UPDATE_ASK, format, sizeof format);
    snprintf(ask, sizeof ask, format, list.c_str(), 1, 1, 1, 1); // modified, new, missing, corrupted
    const std::string saved = Text(IDS_RECORD_SAVED, list), updated = Text(IDS_UPDATE_DONE, list);
    const std::string allOk = tally({5, 5}), changed = tally({5, 2, 1, 1, 0, 1, 0, 1}),
                      afterUpdate = tally({5, 4, 1});
    m_allowedBoxes = {saved, Text(IDS_CHECK_REPLACE), allOk, changed, ask, updated, afterUpdate};
    // A menu command, or a check of the list: the text of the last box once boxes have shown.
    auto command = [&](UINT id, size_t boxes) {
        if (id == IDM_CHECK_LIST)
            OnWindowThread([&] { CheckList(m_window, list.c_str()); });
        else
            PostMessageA(m_window, WM_COMMAND, id, 0);
        EXPECT_TRUE(WaitFor([&] { return Boxes().size() == boxes; }) && WaitIdle()) << Boxes().size();
        return Boxes().back().text;
    };

    Select(DigestSHA256);
    FolderToRecord = Path("photos");
    SetFolderChoice(ChooseFolderToRecord);
    EXPECT_EQ(command(IDM_RECORD_FOLDER, 1), saved);
    SetFolderChoice(nullptr);
    RecordHeading heading = {};
    ASSERT_TRUE(ReadRecordHeading(ReadBytes(list), heading));
    EXPECT_TRUE(heading.algorithm == DigestSHA256 && heading.folders == std::vector<std::string>{"photos"});
    const std::vector<std::string> recorded = RecordedEntries(list); // in the walk's order
    std::vector<std::string> sorted = recorded;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, expected);
    EXPECT_FALSE(Enabled(IDM_UPDATE_LIST));
    EXPECT_EQ(command(IDM_CHECK_LIST, 3), allOk);
    EXPECT_TRUE(Enabled(IDM_UPDATE_LIST));

    const FileRecord aWas = RecordOf(file("a.bin"));
    std::string bytes = ReadBytes(file("a.bin"));
    bytes[bytes.size() / 2] ^= 1;
    std::ofstream(file("a.bin").c_str(), std::ios::binary) << bytes;
    SetWritten(file("a.bin"), aWas.written);
    std::ofstream(file("b.bin").c_str(), std::ios::binary | std::ios::app) << "edited";
    SetWritten(file("b.bin"), RecordOf(file("b.bin")).written + 3600 * 10000000ULL);
    DeleteFileA(file("c.bin").c_str());
    File("photos\\f.bin", 99);
    EXPECT_EQ(command(IDM_CHECK_LIST, 5), changed);
    // The list's order, the NEW file last, each line in its tone.
    std::vector<decltype(&files[0])> order;
    for (const std::string& entry : recorded)
        for (const auto& f : files)
            if (entry.rfind(std::string("photos/") + f.name + " ", 0) == 0)
                order.push_back(&f);
    order.push_back(&files[5]);
    std::vector<std::string> lines;
    for (const auto* f : order)
        lines.push_back(Text(f->verdict) + " <- SHA256 -> " + file(f->name));
    EXPECT_EQ(Entries(), lines);
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_TRUE(Painted(Item(IDC_FILE_LIST), static_cast<int>(i), order[i]->tone)) << lines[i];

    EXPECT_EQ(command(IDM_UPDATE_LIST, 7), updated);
    EXPECT_EQ(Boxes()[5].text, ask);
    EXPECT_FALSE(Enabled(IDM_UPDATE_LIST));
    expected.clear();
    for (size_t i = 0; i < recorded.size(); ++i)
        if (order[i]->verdict != IDS_VERDICT_MISSING) // the decayed file keeps its recorded digest and time
            expected.push_back(order[i]->verdict == IDS_VERDICT_MODIFIED ? entryOf(order[i]->name)
                                                                         : recorded[i]);
    expected.push_back(entryOf("f.bin"));
    EXPECT_EQ(RecordedEntries(list), expected);
    EXPECT_EQ(command(IDM_CHECK_LIST, 9), afterUpdate);
}

// Where Wine has no taskbar: records the state and value calls of a run, ignores the rest.
struct TaskbarRecord : ITaskbarList3 {
    std::mutex mutex;
    std::vector<ULONGLONG> calls; // a state, or 1000 + value * 100 + total
    void Add(ULONGLONG call) {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back(call);
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG state) override { return Add(state), S_OK; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG value, ULONGLONG total) override {
        return Add(1000 + value * 100 + total), S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
#define OK_(name, ...)                                                                                       \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return S_OK; }
    OK_(HrInit)
    OK_(AddTab, HWND)
    OK_(DeleteTab, HWND)
    OK_(ActivateTab, HWND)
    OK_(SetActiveAlt, HWND)
    OK_(MarkFullscreenWindow, HWND, BOOL) OK_(RegisterTab, HWND, HWND) OK_(UnregisterTab, HWND)
        OK_(SetTabOrder, HWND, HWND) OK_(SetTabActive, HWND, HWND, DWORD)
            OK_(ThumbBarAddButtons, HWND, UINT, LPTHUMBBUTTON)
                OK_(ThumbBarUpdateButtons, HWND, UINT, LPTHUMBBUTTON)
                    OK_(ThumbBarSetImageList, HWND, HIMAGELIST) OK_(SetOverlayIcon, HWND, HICON, LPCWSTR)
                        OK_(SetThumbnailTooltip, HWND, LPCWSTR) OK_(SetThumbnailClip, HWND, RECT*)
#undef OK_
};

// Four workers; a large early entry held while the small ones after it are digested: none of
// them is replaced before it, the dialog and the taskbar stay on it, and a cancel leaves them.
TEST_F(Run, EntriesFinishedAheadWaitForTheOnesBeforeThem) {
    SetEnvironmentVariableA("DIGESTOR_WORKERS", "4");
    TaskbarRecord taskbar;
    UseTaskbarObject(&taskbar);
    std::vector<std::string> paths = {File("a.bin", 10), File("big.bin", 300000)};
    for (int i = 2; i < 8; ++i)
        paths.push_back(File("s" + std::to_string(i), 100 * i));
    std::vector<std::string> expected = {ResultLine(DigestMD5, paths[0])};
    expected.insert(expected.end(), paths.begin() + 1, paths.end());
    SetEntries(paths);
    Hold = {1, 2048, WM_NULL, 0, true, false};
    CloseHandle(Start());
    ASSERT_TRUE(
        WaitFor([] { return Reached && Digested[7] == 700 && Digested[6] == 600 && Digested[5] == 500; }));
    EXPECT_FALSE(WaitFor([&] { return Entries() != expected; }, 300)) << "replaced ahead of the held entry";
    EXPECT_TRUE(WaitFor(
        [] {
            return WindowText(GetDlgItem(ProgressWindow, IDC_PROGRESS_FILE_NAME)).find("big.bin") !=
                   std::string::npos;
        },
        2000));
    PostMessageA(ProgressWindow, WM_COMMAND, IDC_CANCEL, 0);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Entries(), expected);
    CloseHandle(Start()); // a whole run: every value up to the count
    ASSERT_TRUE(WaitIdle());
    UseTaskbarObject(NULL);
    SetEnvironmentVariableA("DIGESTOR_WORKERS",
                            getenv("DIGESTOR_WORKERS")); // the C runtime's copy kept the old

    std::vector<ULONGLONG> calls = taskbar.calls,
                           held(calls.begin(), std::find(calls.begin() + 1, calls.end(), TBPF_NORMAL));
    ASSERT_EQ(held, (std::vector<ULONGLONG>{TBPF_NORMAL, 1008, 1108, TBPF_NOPROGRESS})) << "cancelled run";
    EXPECT_EQ(calls[held.size() + 1], 1008u);
    for (size_t k = held.size() + 2; k + 1 < calls.size(); ++k)
        EXPECT_TRUE(calls[k] > calls[k - 1] && calls[k] <= 1808) << calls[k];
    EXPECT_EQ(std::vector<ULONGLONG>(calls.end() - 2, calls.end()),
              (std::vector<ULONGLONG>{1808, TBPF_NOPROGRESS}));
}

// Entries in the order the workers' blocks came: on a disk that seeks, one file after another.
static std::atomic<LRESULT> LatestEntry;
static std::atomic<bool> Interleaved;
static void OrderHook(LRESULT entry, ULONGLONG done) {
    Interleaved = Interleaved || entry < LatestEntry;
    LatestEntry = LatestEntry > entry ? LatestEntry.load() : entry;
    if (entry == 0 && done == 0) // room for another worker to start beside it, as it would without the rule
        WaitFor([] { return LatestEntry > 0; }, 1000);
}

TEST_F(Run, FilesOfADiskThatSeeksAreReadOneAtATime) {
    SetEnvironmentVariableA("DIGESTOR_WORKERS", "4");
    SetEnvironmentVariableA("DIGESTOR_SEEK_PENALTY", "1");
    std::vector<std::string> paths, expected;
    for (int i = 0; i < 4; ++i) {
        paths.push_back(File("seek" + std::to_string(i), 20000 + i));
        expected.push_back(ResultLine(DigestMD5, paths.back()));
    }
    SetEntries(paths);
    LatestEntry = -1;
    Interleaved = false;
    SetHashBlockHook(OrderHook);
    CloseHandle(Start());
    ASSERT_TRUE(WaitIdle());
    SetEnvironmentVariableA("DIGESTOR_SEEK_PENALTY", NULL);
    SetEnvironmentVariableA("DIGESTOR_WORKERS", getenv("DIGESTOR_WORKERS"));
    EXPECT_EQ(Entries(), expected);
    EXPECT_FALSE(Interleaved) << "two files of a disk that seeks were read at once";
}

// A recorded list is never written over behind the user's back: not by an update after the list
// changed on disk since its check, not by a recording answered No to the replace question.
TEST_F(Run, RecordedListChangedOnDiskOrRefusedStaysAsItIs) {
    File("keep\\a.bin", 10);
    File("keep\\b.bin", 20);
    const std::string list = Path("keep.md5");
    char format[1024] = "", text[1024], ask[2048];
    LoadStringA(LanguageModule, IDS_CHECK_TALLY_RECORDED, format, sizeof format);
    snprintf(text, sizeof text, format, 2, 2, 0, 0, 0, 0, 0, 0, 0);
    LoadStringA(LanguageModule, IDS_UPDATE_ASK, format, sizeof format);
    snprintf(ask, sizeof ask, format, list.c_str(), 0, 0, 0, 0);
    m_allowedBoxes = {Text(IDS_RECORD_SAVED, list),   Text(IDS_CHECK_REPLACE),       text, ask,
                      Text(IDS_UPDATE_CHANGED, list), Text(IDS_RECORD_REPLACE, list)};
    Select(DigestMD5);
    FolderToRecord = Path("keep");
    SetFolderChoice(ChooseFolderToRecord);
    PostMessageA(m_window, WM_COMMAND, IDM_RECORD_FOLDER, 0);
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == 1; }) && WaitIdle());
    OnWindowThread([&] { CheckList(m_window, list.c_str()); });
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == 3; }) && WaitIdle());
    EXPECT_EQ(Boxes().back().text, text);

    std::ofstream(list.c_str(), std::ios::binary | std::ios::app) << "# a note added meanwhile\r\n";
    const std::string edited = ReadBytes(list);
    PostMessageA(m_window, WM_COMMAND, IDM_UPDATE_LIST, 0);
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == 5; }) && WaitIdle());
    EXPECT_EQ(Boxes().back().text, Text(IDS_UPDATE_CHANGED, list));
    EXPECT_EQ(ReadBytes(list), edited);

    m_answer = IDNO;
    PostMessageA(m_window, WM_COMMAND, IDM_RECORD_FOLDER, 0);
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == 6; }) && WaitIdle());
    SetFolderChoice(nullptr);
    EXPECT_EQ(Boxes().back().text, Text(IDS_RECORD_REPLACE, list));
    EXPECT_EQ(ReadBytes(list), edited);
}

static UINT PickedTitle;
static bool PickCopy(HWND, UINT title, std::string& folder) {
    return PickedTitle = title, folder = FolderToRecord, true;
}

// File > Compare folders...: the original typed, the copy picked, its list recorded; every finding
// its line (the original's path, the copy's for what the copy alone has, both for a move) in its
// tone, the tally naming both sides, the lines saved as they show.
TEST_F(Run, ComparisonListsEveryFindingInItsToneAndTalliesIt) {
    const std::string original = Path("orig"), copy = Path("copy");
    File("orig\\a.bin", 100), File("copy\\a.bin", 100), File("orig\\b.bin", 200), File("copy\\b.bin", 200);
    std::ofstream(Path("copy\\b.bin").c_str(), std::ios::binary) << std::string(200, 'b'); // other bytes
    File("orig\\c.bin", 300), File("orig\\e.bin", 500), File("copy\\f.bin", 500), File("copy\\x.bin", 600);
    CreateDirectoryA(Path("orig\\d").c_str(), NULL);
    const struct {
        UINT verdict;
        std::string path;
        COLORREF tone;
    } lines[] = {{IDS_VERDICT_SAME, original + "\\a.bin", PassedGreen},
                 {IDS_VERDICT_DIFFERENT, original + "\\b.bin", FailedRed},
                 {IDS_VERDICT_MISSING, original + "\\c.bin", FailedRed},
                 {IDS_VERDICT_MISSING, original + "\\d\\", FailedRed},
                 {IDS_VERDICT_MOVED, original + "\\e.bin -> " + copy + "\\f.bin", ChangedBlue},
                 {IDS_VERDICT_EXTRA, copy + "\\x.bin", ChangedBlue}};
    const std::string tally = CompareTally(original, copy, {1, 1, 2, 1, 1});
    m_allowedBoxes = {Text(IDS_COMPARE_REPLACE), tally};
    SetEntries({"an entry the comparison replaces"});
    PostMessageA(m_window, WM_COMMAND, IDM_COMPARE_FOLDERS, 0);
    HWND dialog = NULL;
    ASSERT_TRUE(WaitFor([&] {
        for (dialog = FindWindowExA(NULL, NULL, "#32770", NULL);
             dialog && !GetDlgItem(dialog, IDC_COMPARE_COPY);)
            dialog = FindWindowExA(NULL, dialog, "#32770", NULL);
        return dialog != NULL;
    }));
    ExpectTexts(dialog, IDS_COMPARE_CAPTION,
                {{IDC_COMPARE_ORIGINAL_LABEL, IDS_COMPARE_ORIGINAL_LABEL},
                 {IDC_COMPARE_COPY_BROWSE, IDS_COMPARE_BROWSE},
                 {IDC_COMPARE_RECORD, IDS_COMPARE_RECORD},
                 {IDC_START, IDS_COMPARE_START}});
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_ALGORITHM)), "XXH128");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_START)))
        << "Compare offered before the sides are named";
    FolderToRecord = copy;
    SetFolderChoice(PickCopy);
    SendMessageA(dialog, WM_COMMAND, IDC_COMPARE_COPY_BROWSE, 0);
    SetFolderChoice(nullptr);
    EXPECT_EQ(PickedTitle, static_cast<UINT>(IDS_COMPARE_COPY_TITLE));
    SetDlgItemTextA(dialog, IDC_COMPARE_ORIGINAL, original.c_str());
    CheckDlgButton(dialog, IDC_COMPARE_RECORD, BST_CHECKED);
    PostMessageA(dialog, WM_COMMAND, IDC_START, 0);
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == 2; }) && WaitIdle()) << Boxes().size();
    std::vector<std::string> expected;
    std::string joined;
    for (const auto& line : lines)
        joined += expected.emplace_back(Text(line.verdict) + " <- XXH128 -> " + line.path) + "\r\n";
    EXPECT_EQ(Entries(), expected);
    EXPECT_TRUE(Boxes()[1].text == tally && Boxes()[1].flags == MB_ICONWARNING &&
                Boxes()[1].owner == m_window)
        << Boxes()[1].text;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(Painted(Item(IDC_FILE_LIST), static_cast<int>(i), lines[i].tone)) << expected[i];
    std::string aside;
    EXPECT_TRUE(Enabled(IDM_SAVE_LIST));
    OnWindowThread([&] { WriteListFile(Path("saved.txt").c_str(), aside); });
    const std::string saved = ReadBytes(Path("saved.txt"));
    EXPECT_EQ(saved.substr(saved.size() - std::min(saved.size(), joined.size())), joined);
    std::vector<std::string> recorded = RecordedEntries(Path("orig.xxh128")), wanted;
    for (const char* name : {"a.bin", "b.bin", "c.bin", "e.bin"}) { // as Record folder... writes them
        const FileRecord record = RecordOf(original + "\\" + name);
        wanted.push_back(std::string("orig/") + name + " " +
                         DigestOf(DigestXXH128, ReadBytes(original + "\\" + name)) + " " +
                         std::to_string(record.size) + " " + std::to_string(record.written));
    }
    std::sort(recorded.begin(), recorded.end());
    EXPECT_EQ(recorded, wanted);
}

// A cancel while the comparison reads a file keeps the lines found before it, and shows no tally.
TEST_F(Run, CancelledComparisonKeepsTheLinesFoundSoFar) {
    File("orig\\a.bin", 10), File("orig\\b.bin", 20), File("copy\\b.bin", 21);
    File("orig\\c.bin", 200000), File("copy\\c.bin", 200000);
    Hold = {0, 4096, WM_COMMAND, IDC_CANCEL, true, false};
    OnWindowThread([&] { StartComparison(m_window, {Path("orig"), Path("copy"), DigestXXH128, ""}); });
    ASSERT_TRUE(WaitFor([] { return Reached.load(); }));
    EXPECT_FALSE(Enabled(IDM_COMPARE_FOLDERS) || Enabled(IDM_RECORD_FOLDER))
        << "offered during the comparison";
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Entries(), (std::vector<std::string>{
                             Text(IDS_VERDICT_MISSING) + " <- XXH128 -> " + Path("orig\\a.bin"),
                             Text(IDS_VERDICT_DIFFERENT) + " <- XXH128 -> " + Path("orig\\b.bin")}));
    EXPECT_TRUE(Enabled(IDM_COMPARE_FOLDERS));
}
