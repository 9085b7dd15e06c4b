// Files and folders taken in from the command line and from drops, and the
// walk of the folders.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <memory>

#include "app/main_dialog.h"
#include "base/language_choice.h"
#include "base/list_reading.h"
#include "gather/folder_scan.h"
#include "res/resource.h"
#include "run/entry_batches.h"
#include "run/progress_dialog.h"
#include "tests/win/fixture.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/private_messages.h"

// Run in bin\ as `win_tests VarnoLib64.dll missing.txt lang lang/1033.dll`, once
// in English answering Yes, once in German answering No (CMakeLists.txt).
class CommandLine : public WinTest {};

TEST_F(CommandLine, FilesAreListedAFolderIsWalkedOnYesAndARunStarts) {
    m_allowedBoxes.insert(Text(IDS_ASK_FOLDER, "lang"));
    m_allowedBoxes.insert(Text(IDS_BAD_ARGUMENTS, "missing.txt"));
    ASSERT_TRUE(WaitIdle());
    // Files at once, then the folders' files.
    std::vector<std::string> expected = {"VarnoLib64.dll", "lang/1033.dll"};
    for (int k = 0; k < LanguageModuleCount && m_answer == IDYES; ++k)
        expected.push_back("lang\\" + std::to_string(LanguageModules[k]) + ".dll");
    for (std::string& file : expected)
        file = ResultLine(DigestMD5, file);
    EXPECT_EQ(Entries(), expected);
    // The questions and the message wait until the window shows; the walk is its worker's.
    const SeenBox boxes[] = {
        {"Digestor", Text(IDS_ASK_FOLDER, "lang"), m_window, MB_ICONQUESTION | MB_YESNO, true},
        {"Digestor", Text(IDS_BAD_ARGUMENTS, "missing.txt"), m_window, MB_ICONERROR, true}};
    ASSERT_EQ(Boxes().size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const SeenBox seen = Boxes()[i];
        EXPECT_TRUE(seen.caption == boxes[i].caption && seen.text == boxes[i].text &&
                    seen.owner == m_window && seen.flags == boxes[i].flags && seen.ownerShown)
            << seen.text;
    }
}

// Run in bin\\ as `win_tests /check checks/SHA256SUMS` (CMakeLists.txt): a.txt as listed, b.txt changed.
class CheckLine : public WinTest {};

TEST_F(CheckLine, ChecksTheListNamedAfterSlashCheck) {
    m_allowedBoxes = {Tally(2, 1, 1, 0, 0)};
    ASSERT_TRUE(WaitFor([this] { return Boxes().size() == 1; })) << "no tally";
    ASSERT_TRUE(WaitIdle());
    char folder[MAX_PATH] = "";
    GetFullPathNameA("checks", MAX_PATH, folder, NULL);
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{Text(IDS_VERDICT_OK) + " <- SHA256 -> " + folder + "\\a.txt",
                                        Text(IDS_VERDICT_FAILED) + " <- SHA256 -> " + folder + "\\b.txt"}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, Tally(2, 1, 1, 0, 0));
}

// Run in bin/ by the tests win_form_* with the arguments of a row (CMakeLists.txt), over the files
// command_line_files.sh made in bin/cmd: after the run, the list holds the digests of a *sum file made
// there in its order, the algorithm box shows the row's algorithm, and the row's message alone showed.
class CommandLineForm : public WinTest {
protected:
    static std::string Full(const std::string& path) {
        char full[MAX_PATH * 2] = "";
        GetFullPathNameA(path.c_str(), sizeof full, full, NULL);
        return full;
    }
    // Each line as "ALG digest full-path".
    static std::vector<std::string> Listed(const std::vector<std::string>& entries) {
        std::vector<std::string> listed;
        for (const std::string& entry : entries) {
            const ListEntry e = ReadOwnLine(entry);
            listed.push_back(e.isResult ? DigestNames[e.algorithm] + (" " + e.digest + " " + Full(e.path))
                                        : "no result: " + entry);
        }
        return listed;
    }
    static std::vector<std::string> Summed(const std::string& sums) {
        std::vector<std::string> listed;
        for (const ListEntry& e : ReadListText(ReadBytes(sums), sums))
            listed.push_back(DigestNames[e.algorithm] +
                             (" " + e.digest + " " + Full(ResolveEntryPath(sums, e.path))));
        return listed;
    }
};

TEST_F(CommandLineForm, ListsRunsAndTellsAsItsRowSays) {
    const struct {
        const char* arguments;
        const char* sums;  // the list after the run, null for an empty one
        const char* shown; // in the algorithm box
        UINT message;      // the one message box, 0 for none, naming...
        const char* named; // ...this, or the recorded list
        const char* gone;  // a file the start deleted
        const char* recorded;
    } forms[] = {
        {"/alg sha-256 cmd/a.txt", "cmd\\a.sha256", "SHA256", 0, "", nullptr, nullptr},
        {"/alg blake3 cmd/a.txt", "cmd\\a.b3", "BLAKE3", 0, "", nullptr, nullptr},
        {"/alg Whirlpool cmd/a.txt", nullptr, "MD5", IDS_UNKNOWN_ALGORITHM, "Whirlpool", nullptr, nullptr},
        {"/alg MD5 /items cmd/handover.txt", "cmd\\items.md5", "MD5", IDS_BAD_ARGUMENTS, "cmd/gone.txt",
         "cmd\\handover.txt", nullptr},
        {"/alg md5 /items cmd/none.txt", nullptr, "MD5", IDS_ITEMS_UNREADABLE, "cmd/none.txt", nullptr,
         nullptr},
        {"/alg sha1 /items", nullptr, "SHA1", IDS_COMMAND_LINE_FORMS, "/items", nullptr, nullptr},
        {"/record cmd/rec", "cmd\\rec.sums", "SHA256", IDS_RECORD_SAVED, nullptr, nullptr, "cmd\\rec.sha256"},
        {"/record cmd/a.txt", nullptr, "SHA256", IDS_NOT_A_FOLDER, "cmd/a.txt", nullptr, nullptr},
        {"/compare cmd/orig", nullptr, "MD5", IDS_COMMAND_LINE_FORMS, "/compare", nullptr, nullptr},
        {"/compare cmd/none cmd/orig", nullptr, "XXH128", IDS_COMPARE_UNREADABLE, "cmd/none", nullptr,
         nullptr},
    };
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string given;
    for (int i = 1; i < count; ++i) {
        given += i > 1 ? " " : "";
        for (const wchar_t* c = arguments[i]; *c; ++c)
            given += static_cast<char>(*c); // the rows are ASCII
    }
    LocalFree(arguments);
    const auto* form = std::find_if(std::begin(forms), std::end(forms),
                                    [&given](const auto& f) { return given == f.arguments; });
    ASSERT_NE(form, std::end(forms)) << "no row for: " << given;
    const std::string message =
        form->message ? Text(form->message, form->recorded ? Full(form->recorded) : form->named) : "";
    m_allowedBoxes = {message};
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == (form->message ? 1u : 0u); }) && WaitIdle());
    EXPECT_EQ(Listed(Entries()), form->sums ? Summed(form->sums) : std::vector<std::string>());
    EXPECT_EQ(WindowText(Item(IDC_ALGORITHM)), form->shown);
    ASSERT_EQ(Boxes().size(), form->message ? 1u : 0u);
    EXPECT_TRUE(!form->message || Boxes()[0].text == message) << Boxes()[0].text;
    EXPECT_TRUE(!form->gone || GetFileAttributesA(form->gone) == INVALID_FILE_ATTRIBUTES) << form->gone;
    if (form->recorded) { // beside the folder, with what sha256sum gives, in walk order
        RecordHeading heading = {};
        ASSERT_TRUE(ReadRecordHeading(ReadBytes(form->recorded), heading));
        EXPECT_TRUE(heading.algorithm == DigestSHA256 && heading.folders == std::vector<std::string>{"rec"});
        EXPECT_EQ(Summed(form->recorded), Summed(form->sums));
    }
}

// Run in bin/ by win_form_compare and win_form_compare_de with `[/alg sha256] /compare cmd/orig cmd/copy`
// (command_line_files.sh): the comparison's lines in the module's words, its tally, the algorithm.
class CompareLine : public CommandLineForm {};

TEST_F(CompareLine, ComparesTheFoldersNamedAfterSlashCompare) {
    const std::string alg = strstr(GetCommandLineA(), "/alg") ? "SHA256" : "XXH128";
    const std::string original = Full("cmd\\orig"), copy = Full("cmd\\copy");
    const std::string tally = CompareTally(original, copy, {1, 1, 0, 1});
    m_allowedBoxes = {tally};
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == 1; }) && WaitIdle());
    EXPECT_EQ(Entries(), (std::vector<std::string>{
                             Text(IDS_VERDICT_SAME) + " <- " + alg + " -> " + original + "\\a.txt",
                             Text(IDS_VERDICT_DIFFERENT) + " <- " + alg + " -> " + original + "\\b.txt",
                             Text(IDS_VERDICT_EXTRA) + " <- " + alg + " -> " + copy + "\\c.txt"}));
    EXPECT_EQ(WindowText(Item(IDC_ALGORITHM)), alg);
    EXPECT_TRUE(Boxes()[0].text == tally && Boxes()[0].flags == MB_ICONWARNING) << Boxes()[0].text;
}

class Intake : public WinTest {};

TEST_F(Intake, DropListsFilesAtOnceThenFoldersDepthFirstInDropOrder) {
    // Walk order: depth first, each folder in name order as Wine lists it.
    const std::vector<std::string> walked = {File("second\\c.txt"), File("first\\a.txt"),
                                             File("first\\sub\\b.txt"), File("first\\z.txt")};
    std::string one = File("one.txt"), two = File("two.txt");
    std::vector<std::string> atOnce;
    OnWindowThread([&] {
        Drop({Path("second"), one, Path("gone.txt"), Path("first"), two});
        atOnce = Entries();
    });
    EXPECT_EQ(atOnce, (std::vector<std::string>{one, two}));
    ASSERT_TRUE(WaitIdle());
    atOnce.insert(atOnce.end(), walked.begin(), walked.end());
    EXPECT_EQ(Entries(), atOnce);
    // The idle look is back.
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_FILE_LIST)) && IsWindowEnabled(Item(IDC_START)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_SELECTED_PATH)) && !IsWindowVisible(Item(IDC_MAIN_PROGRESS)));
    ExpectTexts(m_window, 0, {{IDC_START, IDS_START}});
}

TEST_F(Intake, StartsAndDropsWaitUntilTheWorkerHasEnded) {
    std::vector<std::string> folders, files;
    for (int i = 0; i < 30; ++i) {
        files.push_back(File("f" + std::to_string(i) + "\\x.txt"));
        folders.push_back(Path("f" + std::to_string(i)));
    }
    std::string late = File("late.txt");
    bool opened = true;
    OnWindowThread([&] {
        Drop(folders);
        CloseHandle(Start());
        opened = ProgressWindow != NULL;
        Drop({late});
    });
    EXPECT_FALSE(opened) << "a run started during the walk";
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Entries(), files);
    OnWindowThread([&] {
        CloseHandle(Start());
        Drop({late});
    });
    ASSERT_TRUE(WaitIdle());
    for (std::string& file : files)
        file = ResultLine(DigestMD5, file);
    EXPECT_EQ(Entries(), files);
}

// Names that are devices elsewhere, names in other scripts, a folder ending in a dot, a path
// beyond 260 characters: each file under its own name with its own digest. A path too long for
// a list line is a failure line, never left out.
TEST_F(Intake, EveryFileOfAWalkIsListedUnderItsOwnNameAndDigested) {
    const std::string deep = std::string(120, 'd') + "\\" + std::string(120, 'e') + "\\";
    std::vector<std::string> files;
    size_t size = 1;
    for (const char* name : {"nul.txt", "aux.h", "com1.log", "Abc.txt",
                             "\xC4\x80"
                             "bc.txt",
                             "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.txt",
                             "\xE6\x97\xA5\xE6\x9C\xAC.txt", "apache.\\x.txt"})
        files.push_back(File(std::string("t\\") + name, size++));
    files.push_back(File("t\\" + deep + std::string(60, 'f'), size++)); // about 300 characters
    const std::string tooLong = File("t\\" + deep + std::string(200, 'g') + "\\" + std::string(100, 'h'), 7);
    Drop({Path("t")});
    ASSERT_TRUE(WaitIdle());
    std::vector<std::string> expected;
    for (const std::string& file : files)
        expected.push_back(ResultLine(DigestMD5, file));
    expected.push_back(Text(IDS_PATH_TOO_LONG, tooLong.substr(0, 519 - Text(IDS_PATH_TOO_LONG).size())));
    CloseHandle(Start());
    ASSERT_TRUE(WaitIdle());
    std::vector<std::string> entries = Entries();
    std::sort(entries.begin(), entries.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries, expected);
}

// A device, a file another program writes (sharing reads and writes, as loggers do).
TEST_F(Intake, OnlyDiskFilesAreReadAFileInUseIsReadAsItStands) {
    const std::string log = File("log.txt", 3000);
    HANDLE writer = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    SetEntries({"\\\\.\\nul", log});
    CloseHandle(Start());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Entries(), (std::vector<std::string>{Text(IDS_OPEN_FAILED, "MD5", "\\\\.\\nul"),
                                                   ResultLine(DigestMD5, log)}));
    CloseHandle(writer);
}

TEST_F(Intake, LinkToAnOwnParentIsNotEnteredOtherLinksAreFollowed) {
    char top[MAX_PATH] = "";
    GetFullPathNameA("links\\top", MAX_PATH, top, NULL);
    if (GetFileAttributesA(top) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no link tree: the test win_link_tree makes it";
    std::string root = top;
    Drop({root});
    ASSERT_TRUE(WaitIdle());
    std::vector<std::string> entries = Entries();
    std::sort(entries.begin(), entries.end());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries, (std::vector<std::string>{root + "\\a\\f1", root + "\\a\\side\\s1", root + "\\t1"}));
    // Five folders, each with a file and a link to each of the others: each folder walked once.
    Drop({root.substr(0, root.size() - 3) + "web"});
    ASSERT_TRUE(WaitIdle());
    entries = Entries();
    ASSERT_EQ(entries.size(), 3u + 5u);
    for (char folder = 'a'; folder <= 'e'; ++folder)
        EXPECT_EQ(std::count_if(entries.begin() + 3, entries.end(),
                                [folder](const std::string& e) {
                                    return e.substr(e.size() - 3) == std::string("\\f") + folder;
                                }),
                  1)
            << folder;
}

namespace {

int HandedOver = 0; // entries that came in MSG_ADD_ENTRIES; the window thread's alone

// A batch counts once, when the message that took its last entry has been handled.
LRESULT CALLBACK CountHandedOver(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    const FoundEntries* found = reinterpret_cast<const FoundEntries*>(sent->lParam);
    if (code == HC_ACTION && sent->message == MSG_ADD_ENTRIES && found->taken == found->count)
        HandedOver += found->count;
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

// The walk hands its finds to the window thread in batches, which it lists in walk order.
TEST_F(Intake, AWalkHandsItsFindsOverInBatchesInWalkOrder) {
    std::vector<std::string> files;
    for (int i = 0; i < 300; ++i) {
        char name[32];
        sprintf(name, "many\\f%03d.txt", i);
        files.push_back(File(name, 1));
    }
    HandedOver = 0;
    HHOOK hook = NULL;
    OnWindowThread([&] {
        hook = SetWindowsHookExA(WH_CALLWNDPROCRET, CountHandedOver, NULL, GetCurrentThreadId());
        Drop({Path("many")});
    });
    ASSERT_TRUE(hook != NULL);
    ASSERT_TRUE(WaitIdle());
    int handedOver = -1;
    OnWindowThread([&] {
        UnhookWindowsHookEx(hook);
        handedOver = HandedOver;
    });
    // In walk order: Wine lists a folder in name order.
    EXPECT_EQ(Entries(), files);
    EXPECT_EQ(handedOver, 300);
}

// The walk's own thread, at find ShowAt and StopAt: what the line under the list shows then,
// and a stop sent as the menu or Esc sends it, once the window has taken it.
static struct {
    long long showAt, stopAt;
    UINT command;
    std::string line;
    LRESULT listed;
} Walk;

static void AtFind(long long find) {
    if (find == Walk.showAt) {
        Walk.listed = SendMessageA(GetDlgItem(MainWindow, IDC_FILE_LIST), LB_GETCOUNT, 0, 0);
        Walk.line = WindowText(GetDlgItem(MainWindow, IDC_SELECTED_PATH));
    }
    if (find == Walk.stopAt) {
        PostMessageA(MainWindow, WM_COMMAND, Walk.command, 0);
        WaitFor([] { return ScanStopped(); });
    }
}

// A long walk shows how many files it has listed and where; Edit > Stop search and Esc end it,
// the files found before staying listed in walk order, and the line under the list says that
// the list is incomplete.
TEST_F(Intake, AWalkShowsItsProgressAndStopsKeepingWhatItFound) {
    // The walk hands its finds over when a batch is full (FoundEntries): one batch and a few more.
    const long long perBatch =
        static_cast<long long>(sizeof(FoundEntries::text) / (Path("many\\f0000.txt").size() + 1));
    std::vector<std::string> files;
    for (long long i = 0; i < perBatch + 300; ++i) {
        char name[32];
        sprintf(name, "many\\f%04lld.txt", i);
        files.push_back(File(name));
    }
    SetWalkFindHook(AtFind);
    for (UINT command : {IDM_STOP_SEARCH, IDCANCEL}) {
        SCOPED_TRACE(command);
        // The window shows the first batch at once.
        Walk = {perBatch + 2, perBatch + 201, command, "", 0};
        OnWindowThread([&] {
            FileList->ClearEntries();
            Drop({Path("many")});
        });
        ASSERT_TRUE(WaitIdle());
        EXPECT_GT(Walk.listed, 0);
        EXPECT_NE(Walk.line.find(Path("many")), std::string::npos) << Walk.line;
        const long long shown = atoll(Walk.line.c_str());
        EXPECT_TRUE(shown > 0 && shown <= Walk.listed) << Walk.line;
        EXPECT_EQ(Entries(), std::vector<std::string>(files.begin(), files.begin() + perBatch + 200));
        EXPECT_EQ(WindowText(Item(IDC_SELECTED_PATH)),
                  Text(IDS_WALK_STOPPED, std::to_string(perBatch + 200)));
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_FILE_LIST)) && IsWindowEnabled(Item(IDC_START)));
    }
    SetWalkFindHook(NULL);
}

// The window thread takes a batch of the walk's finds or of a run's lines in slices, each message
// at least one entry, and goes on after what it took before: sent again and again until all of it
// is taken, a batch lists each find once and replaces each entry once, in order.
TEST_F(Intake, BatchesAreTakenInSlicesEachEntryOnce) {
    const std::vector<std::string> before = {"a", "b", "c", "d", "e"};
    const struct {
        const char* name;
        int taken; // of the batch before the first message
    } cases[] = {{"whole", 0}, {"resumed", 2}, {"last entry left", 4}, {"all taken", 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<FoundEntries> found(new FoundEntries());
        std::unique_ptr<LineBatch> lines(new LineBatch());
        for (const std::string& entry : before) {
            memcpy(found->text + found->used, entry.c_str(), entry.size() + 1);
            found->used += entry.size() + 1;
            ++found->count;
        }
        found->taken = c.taken;
        found->takenBytes = static_cast<size_t>(c.taken) * 2;
        int messages = 0;
        OnWindowThread([&] {
            FileList->ClearEntries();
            for (int before = -1; found->taken < found->count && found->taken != before; ++messages) {
                before = found->taken;
                MainDialogProc(m_window, MSG_ADD_ENTRIES, 0, reinterpret_cast<LPARAM>(found.get()));
            }
        });
        EXPECT_EQ(found->taken, found->count);
        EXPECT_LE(messages, 5 - c.taken);
        EXPECT_EQ(Entries(), std::vector<std::string>(before.begin() + c.taken, before.end()));

        // The same entries replaced, in reverse, by a run: those applied before keep their text.
        const int listed = 5 - c.taken;
        for (int k = 0; k < listed; ++k) {
            lines->index[k] = listed - 1 - k;
            sprintf(lines->lines[k], "line %d", k);
        }
        lines->count = listed;
        lines->applied = c.taken < listed ? c.taken : 0;
        std::vector<std::string> expected = Entries();
        for (int k = lines->applied; k < listed; ++k)
            expected[static_cast<size_t>(listed - 1 - k)] = lines->lines[k];
        HWND standIn = NULL;
        OnWindowThread([&] {
            standIn = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
            ProgressWindow = standIn; // the run's, which owns the list
            for (int before = -1; lines->applied < lines->count && lines->applied != before;) {
                before = lines->applied;
                MainDialogProc(m_window, MSG_REPLACE_ENTRIES, 0, reinterpret_cast<LPARAM>(lines.get()));
            }
            ProgressWindow = NULL;
            DestroyWindow(standIn);
        });
        EXPECT_EQ(lines->applied, lines->count);
        EXPECT_EQ(Entries(), expected);
    }
}

// TRUE keeps the dialog manager from taking them for DM_SETDEFID or DM_REPOSITION.
TEST_F(Intake, PrivateMessagesAreReportedAsHandled) {
    EntryBatch reads = {};
    LineBatch lines = {};
    OnWindowThread([&] {
        HWND standIn = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
        EXPECT_TRUE(MainDialogProc(m_window, MSG_SCAN_DONE, 0, 0));
        EXPECT_TRUE(MainDialogProc(m_window, MSG_READ_ENTRIES, 0, reinterpret_cast<LPARAM>(&reads)));
        EXPECT_TRUE(MainDialogProc(m_window, MSG_REPLACE_ENTRIES, 0, reinterpret_cast<LPARAM>(&lines)));
        EXPECT_TRUE(ProgressDialogProc(standIn, MSG_HASH_DONE, 0, 0));
        DestroyWindow(standIn);
    });
}
