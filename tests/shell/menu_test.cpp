// The Digestor menu as Explorer meets it: its items for each kind of selection, its command strings,
// and what its commands start: a stand-in Digestor.exe beside a copy of the DLL records what it was
// given, and the real program beside the real DLL digests two files end to end.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <set>
#include <string>
#include <vector>

#include "base/algorithm_names.h"
#include "res/resource.h"
#include "shell/shell_ids.h"
#include "drive/explorer_host.h"
#include "drive/wide_text.h"

namespace {

const UINT FirstId = 100;
const UINT LastId = 0x7FFF;
const DWORD PollMs = 20;
const ULONGLONG WaitMs = 60000;

struct Words {
    std::wstring digestWith, record, check, digestHelp, compare, compareWith;
};

// The wording of the language the extension picks: German on a German system, else English.
Words MenuWords() {
    if (PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN) {
        return {L"Pr\u00fcfsummen berechnen mit",
                L"Als SHA-256-Liste aufzeichnen",
                L"Mit Digestor pr\u00fcfen",
                L"\u00d6ffnet Digestor mit den gew\u00e4hlten Elementen und berechnet ihre Pr\u00fcfsummen.",
                L"Inhalte vergleichen",
                L"Vergleichen mit..."};
    }
    return {L"Digest with",         L"Record as SHA-256 list",
            L"Check with Digestor", L"Opens Digestor with the selected items and computes their checksums.",
            L"Compare contents",    L"Compare with..."};
}

std::wstring Wide(const std::string& text, UINT codePage = CP_UTF8) {
    std::wstring result(text.size() + 1, L'\0');
    result.resize(MultiByteToWideChar(codePage, 0, text.c_str(), static_cast<int>(text.size()), &result[0],
                                      static_cast<int>(result.size())));
    return result;
}

// The menu as text: each item's words, a submenu's items in braces after its words, commas between.
// The ids of the command items go into ids.
std::wstring Describe(HMENU menu, std::vector<UINT>& ids) {
    std::wstring text;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t words[256] = L"";
        GetMenuStringW(menu, i, words, ARRAYSIZE(words), MF_BYPOSITION);
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_SUBMENU | MIIM_ID;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        text += (i ? L"," : L"") + std::wstring(words);
        if (info.hSubMenu) {
            text += L"{" + Describe(info.hSubMenu, ids) + L"}";
        } else {
            ids.push_back(info.wID);
        }
    }
    return text;
}

// The id of the command item with these words, in menu or its submenus; 0 when there is none.
UINT FindItem(HMENU menu, const std::wstring& words) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = L"";
        GetMenuStringW(menu, i, text, ARRAYSIZE(text), MF_BYPOSITION);
        HMENU submenu = GetSubMenu(menu, i);
        UINT id = submenu ? FindItem(submenu, words) : words == text ? GetMenuItemID(menu, i) : 0;
        if (id) {
            return id;
        }
    }
    return 0;
}

// The menu object of module for paths, initialized as Explorer does; null when it fails.
IContextMenu* MenuFor(HMODULE module, const std::vector<std::wstring>& paths) {
    IShellExtInit* init = NULL;
    IContextMenu* menu = NULL;
    if (FAILED(
            CreateObjectOf(module, ClsidDigestorMenu, IID_IShellExtInit, reinterpret_cast<void**>(&init)))) {
        return NULL;
    }
    IDataObject* data = MakeDropData(paths);
    if (SUCCEEDED(init->Initialize(NULL, data, NULL))) {
        init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
    }
    data->Release();
    init->Release();
    return menu;
}

// Queries menu into a fresh popup menu and invokes the item with these words by its offset.
HRESULT InvokeItem(IContextMenu* menu, const std::wstring& words) {
    HMENU popup = CreatePopupMenu();
    HRESULT result = menu->QueryContextMenu(popup, 0, FirstId, LastId, CMF_NORMAL);
    UINT id = FindItem(popup, words);
    DestroyMenu(popup);
    if (FAILED(result) || id < FirstId) {
        return E_UNEXPECTED;
    }
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    info.lpVerb = MAKEINTRESOURCEA(id - FirstId);
    info.nShow = SW_SHOWNORMAL;
    return menu->InvokeCommand(&info);
}

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 1];
    return std::wstring(folder, GetTempPathW(ARRAYSIZE(folder), folder));
}

// The names of the temporary folder's items files (dig*.txt).
std::set<std::wstring> ItemsFiles() {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((TempFolder() + L"dig*.txt").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found)) {
        names.insert(found.cFileName);
    }
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
    return names;
}

bool ReadBytes(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bytes.clear();
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return true;
}

// Polls until condition holds or the wait is over.
template <typename Condition> bool WaitFor(Condition condition) {
    const ULONGLONG deadline = GetTickCount64() + WaitMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(PollMs);
    }
    return true;
}

// A copy of the DLL and the language modules in a fresh folder, with the stand-in as its
// Digestor.exe when withProgram; the copy loaded.
HMODULE LoadCopy(const std::wstring& name, bool withProgram, std::wstring& folder) {
    const std::wstring bin = ProgramFolder();
    folder = FreshFolder(name);
    CreateDirectoryW((folder + L"\\lang").c_str(), NULL);
    bool copied =
        CopyFileW((bin + L"\\DigestorShell64.dll").c_str(), (folder + L"\\DigestorShell64.dll").c_str(),
                  FALSE) &&
        CopyFileW((bin + L"\\lang\\1031.dll").c_str(), (folder + L"\\lang\\1031.dll").c_str(), FALSE) &&
        CopyFileW((bin + L"\\lang\\1033.dll").c_str(), (folder + L"\\lang\\1033.dll").c_str(), FALSE) &&
        (!withProgram ||
         CopyFileW((bin + L"\\stand_in.exe").c_str(), (folder + L"\\Digestor.exe").c_str(), FALSE));
    return copied ? LoadLibraryW((folder + L"\\DigestorShell64.dll").c_str()) : NULL;
}

// The stand-in's result: its command line split as the program splits it, and the items' bytes.
bool StandInResult(const std::wstring& folder, std::vector<std::wstring>& arguments, std::string& items,
                   std::wstring& commandLine) {
    std::string bytes;
    if (!WaitFor([&] { return ReadBytes(folder + L"\\result.txt", bytes); })) {
        return false;
    }
    size_t end = bytes.find('\n');
    commandLine = Wide(bytes.substr(0, end));
    items = bytes.substr(end + 1);
    int count = 0;
    wchar_t** split = CommandLineToArgvW(commandLine.c_str(), &count);
    arguments.assign(split, split + count);
    LocalFree(split);
    return true;
}

} // namespace

TEST(DigestorMenu, ItemsFollowTheSelection) {
    const std::wstring dir = FreshFolder(L"menu_items");
    for (const wchar_t* name :
         {L"a.txt", L"b.bin", L"list.SHA256", L"x.md5", L"x.sha1", L"x.Sha512", L"x.sfv", L"x.sha3-256",
          L"x.SHA3-512", L"x.sha3", L"x.blake3", L"x.b3", L"x.xxh3", L"x.xxh128"}) {
        ASSERT_TRUE(WriteBytes(dir + L"\\" + name, "0"));
    }
    ASSERT_TRUE(CreateDirectoryW((dir + L"\\folder.md5").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW((dir + L"\\other").c_str(), NULL));
    const Words words = MenuWords();
    const std::wstring algorithms =
        L"MD2,MD4,MD5,CRC32,SHA1,SHA256,SHA512,SHA3-256,SHA3-512,BLAKE3,XXH3,XXH128";
    const std::wstring digest = L"Open,Digestor{" + words.digestWith + L"{" + algorithms + L"}";
    const std::wstring plain = digest + L"},Properties";
    const std::wstring record = digest + L"," + words.record + L"," + words.compareWith + L"},Properties";
    const std::wstring compare = digest + L"," + words.compare + L"},Properties";
    const std::wstring check = digest + L"," + words.check + L"},Properties";
    const struct {
        const char* what;
        std::vector<std::wstring> paths;
        std::wstring menu;
    } cases[] = {
        {"a file", {dir + L"\\a.txt"}, plain},
        {"two files", {dir + L"\\a.txt", dir + L"\\b.bin"}, plain},
        {"a folder", {dir}, record},
        {"a folder named like a list", {dir + L"\\folder.md5"}, record},
        {"a drive", {L"C:\\"}, record},
        {"a folder and a file", {dir, dir + L"\\a.txt"}, plain},
        {"two folders", {dir + L"\\other", dir + L"\\folder.md5"}, compare},
        {"a drive and a folder", {L"C:\\", dir}, compare},
        {"three folders", {dir + L"\\other", dir + L"\\folder.md5", dir}, plain},
        {"a .sha256 list", {dir + L"\\list.SHA256"}, check},
        {"a .md5 list", {dir + L"\\x.md5"}, check},
        {"a .sha1 list", {dir + L"\\x.sha1"}, check},
        {"a .sha512 list", {dir + L"\\x.Sha512"}, check},
        {"a .sfv list", {dir + L"\\x.sfv"}, check},
        {"a .sha3-256 list", {dir + L"\\x.sha3-256"}, check},
        {"a .SHA3-512 list", {dir + L"\\x.SHA3-512"}, check},
        {"a .sha3 list", {dir + L"\\x.sha3"}, check},
        {"a .blake3 list", {dir + L"\\x.blake3"}, check},
        {"a .b3 list", {dir + L"\\x.b3"}, check},
        {"a .xxh3 list", {dir + L"\\x.xxh3"}, check},
        {"a .xxh128 list", {dir + L"\\x.xxh128"}, check},
        {"two lists", {dir + L"\\x.md5", dir + L"\\x.sfv"}, plain},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IContextMenu* menu = MenuFor(ExtensionModule(), c.paths);
        ASSERT_NE(menu, nullptr);
        HMENU popup = CreatePopupMenu();
        AppendMenuW(popup, MF_STRING, 1, L"Open");
        AppendMenuW(popup, MF_STRING, 2, L"Properties");
        HRESULT result = menu->QueryContextMenu(popup, 1, FirstId, LastId, CMF_NORMAL);
        std::vector<UINT> ids;
        EXPECT_EQ(Describe(popup, ids), c.menu);
        // Explorer's own two, then ours: distinct, from FirstId, and the answer counts up to the last.
        ASSERT_GE(ids.size(), 3u);
        std::set<UINT> ours(ids.begin() + 1, ids.end() - 1);
        EXPECT_EQ(ours.size(), ids.size() - 2);
        EXPECT_GE(*ours.begin(), FirstId);
        EXPECT_TRUE(SUCCEEDED(result));
        EXPECT_EQ(HRESULT_CODE(result), static_cast<int>(*ours.rbegin() - FirstId + 1));
        DestroyMenu(popup);

        // Asked for the default verb only, it adds nothing.
        popup = CreatePopupMenu();
        EXPECT_EQ(menu->QueryContextMenu(popup, 0, FirstId, LastId, CMF_DEFAULTONLY), S_OK);
        EXPECT_EQ(GetMenuItemCount(popup), 0);
        DestroyMenu(popup);
        menu->Release();
    }
}

TEST(DigestorMenu, CommandStringsInBothWidths) {
    IContextMenu* menu = MenuFor(ExtensionModule(), {L"C:\\one.txt", L"C:\\two.txt"});
    ASSERT_NE(menu, nullptr);
    HMENU popup = CreatePopupMenu();
    ASSERT_TRUE(SUCCEEDED(menu->QueryContextMenu(popup, 0, FirstId, LastId, CMF_NORMAL)));
    const UINT_PTR sha256 = FindItem(popup, L"SHA256") - FirstId;
    DestroyMenu(popup);
    const struct {
        UINT type;
        std::wstring text;
    } cases[] = {
        {GCS_VERBW, L"Digestor.DigestWith.SHA256"},
        {GCS_VERBA, L"Digestor.DigestWith.SHA256"},
        {GCS_HELPTEXTW, MenuWords().digestHelp},
        {GCS_HELPTEXTA, MenuWords().digestHelp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        wchar_t text[256] = L"";
        ASSERT_EQ(
            menu->GetCommandString(sha256, c.type, NULL, reinterpret_cast<LPSTR>(text), ARRAYSIZE(text)),
            S_OK);
        EXPECT_EQ(c.type & GCS_UNICODE ? std::wstring(text) : Wide(reinterpret_cast<char*>(text), CP_ACP),
                  c.text);
    }
    // Offsets of commands not shown for these files are not valid; one past them is no command at all.
    EXPECT_EQ(menu->GetCommandString(sha256, GCS_VALIDATEW, NULL, NULL, 0), S_OK);
    EXPECT_EQ(menu->GetCommandString(BoxKindCount, GCS_VALIDATEW, NULL, NULL, 0), S_FALSE);
    menu->Release();
}

// Ten thousand items, more than any command line holds, reach one start of the program through its
// items file, in their order, as UTF-8.
TEST(DigestorMenu, DigestWithHandsEveryItemToOneStart) {
    std::wstring folder;
    HMODULE copy = LoadCopy(L"menu_stand_in", true, folder);
    ASSERT_NE(copy, nullptr);
    std::vector<std::wstring> paths;
    std::string expected;
    for (int i = 0; i < 10000; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"\\f%05d.bin", i);
        paths.push_back(folder + name);
    }
    // Grüße Ābc 日本, whose UTF-8 bytes are written out here rather than converted.
    paths[4321] = folder + L"\\Gr\u00fc\u00dfe \u0100bc \u65e5\u672c.txt";
    for (const std::wstring& path : paths) {
        expected += (&path == &paths[4321] ? Utf8(folder) + "\\Gr\xc3\xbc\xc3\x9f"
                                                            "e \xc4\x80"
                                                            "bc \xe6\x97\xa5\xe6\x9c\xac.txt"
                                           : Utf8(path)) +
                    "\r\n";
    }
    IContextMenu* menu = MenuFor(copy, paths);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(InvokeItem(menu, L"SHA256"), S_OK);
    menu->Release();

    std::vector<std::wstring> arguments;
    std::string items;
    std::wstring commandLine;
    ASSERT_TRUE(StandInResult(folder, arguments, items, commandLine)) << "the stand-in did not report";
    const std::wstring program = folder + L"\\Digestor.exe";
    EXPECT_EQ(commandLine.substr(0, program.size() + 3), L"\"" + program + L"\" ");
    ASSERT_EQ(arguments.size(), 5u) << Utf8(commandLine);
    EXPECT_EQ(arguments[0], program);
    EXPECT_EQ(arguments[1], L"/alg");
    EXPECT_EQ(arguments[2], L"SHA256");
    EXPECT_EQ(arguments[3], L"/items");
    EXPECT_EQ(arguments[4].substr(0, TempFolder().size()), TempFolder());
    EXPECT_EQ(arguments[4].substr(arguments[4].size() - 4), L".txt");
    EXPECT_EQ(items.size(), expected.size());
    EXPECT_TRUE(items == expected) << "the items file differs from the selection";
}

// Recording, checking and comparing name their items on the command line, by offset or by verb in
// either width; a drive's root keeps its backslash through the program's split; the first of two
// folders is the original.
TEST(DigestorMenu, CommandsStartTheProgramWithTheirItems) {
    const Words words = MenuWords();
    const std::wstring lists = FreshFolder(L"menu_lists") + L"\\My Lists", list = lists + L"\\photos.sha256";
    const struct {
        const char* what;
        std::vector<std::wstring> paths;
        std::wstring item; // invoked by its offset in the menu
        std::wstring verb; // else by this verb, in UTF-16 when wide
        bool wide;
        std::vector<std::wstring> arguments;
    } cases[] = {
        {"record a drive", {L"C:\\"}, words.record, L"", false, {L"/alg", L"SHA256", L"/record", L"C:\\"}},
        {"record a folder by verb",
         {ProgramFolder()},
         L"",
         L"Digestor.Record",
         true,
         {L"/alg", L"SHA256", L"/record", ProgramFolder()}},
        {"check a list", {list}, words.check, L"", false, {L"/check", list}},
        {"check a list by narrow verb", {list}, L"", L"Digestor.Check", false, {L"/check", list}},
        {"compare two folders", {lists, L"C:\\"}, words.compare, L"", false, {L"/compare", lists, L"C:\\"}},
        {"compare by verb", {L"C:\\", lists}, L"", L"Digestor.Compare", true, {L"/compare", L"C:\\", lists}},
    };
    CreateDirectoryW(lists.c_str(), NULL);
    ASSERT_TRUE(WriteBytes(list, ""));
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring folder;
        HMODULE copy = LoadCopy(L"menu_stand_in_" + std::to_wstring(n++), true, folder);
        ASSERT_NE(copy, nullptr);
        IContextMenu* menu = MenuFor(copy, c.paths);
        ASSERT_NE(menu, nullptr);
        if (!c.item.empty()) {
            EXPECT_EQ(InvokeItem(menu, c.item), S_OK);
        } else {
            const std::string narrow = Utf8(c.verb);
            CMINVOKECOMMANDINFOEX info = {};
            info.cbSize = sizeof info;
            info.fMask = c.wide ? CMIC_MASK_UNICODE : 0;
            info.lpVerb = narrow.c_str();
            info.lpVerbW = c.wide ? c.verb.c_str() : NULL;
            info.nShow = SW_SHOWNORMAL;
            EXPECT_EQ(menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info)), S_OK);
        }
        menu->Release();
        std::vector<std::wstring> arguments;
        std::string items;
        std::wstring commandLine;
        ASSERT_TRUE(StandInResult(folder, arguments, items, commandLine)) << "the stand-in did not report";
        ASSERT_FALSE(arguments.empty());
        EXPECT_EQ(std::vector<std::wstring>(arguments.begin() + 1, arguments.end()), c.arguments)
            << Utf8(commandLine);
    }
}

// Without a program to start the command fails, and leaves no items file behind.
TEST(DigestorMenu, FailedStartLeavesNoItemsFile) {
    std::wstring folder;
    HMODULE copy = LoadCopy(L"menu_no_program", false, folder);
    ASSERT_NE(copy, nullptr);
    const std::set<std::wstring> before = ItemsFiles();
    IContextMenu* menu = MenuFor(copy, {L"C:\\one.txt", L"C:\\two.txt"});
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(FAILED(InvokeItem(menu, L"MD5")));
    menu->Release();
    EXPECT_EQ(ItemsFiles(), before);
}

namespace {

// The program the extension started from this process, once it runs; 0 while none does.
DWORD StartedProgram() {
    DWORD found = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() &&
            lstrcmpiW(entry.szExeFile, L"Digestor.exe") == 0) {
            found = entry.th32ProcessID;
        }
    }
    CloseHandle(snapshot);
    return found;
}

struct ProgramWindow {
    DWORD process;
    HWND main;
};

BOOL CALLBACK FindMain(HWND window, LPARAM found) {
    ProgramWindow* program = reinterpret_cast<ProgramWindow*>(found);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    wchar_t name[16] = L"";
    if (owner == program->process && IsWindowVisible(window) && list && GetClassNameW(list, name, 16) &&
        lstrcmpiW(name, L"ListBox") == 0) {
        program->main = window;
    }
    return TRUE;
}

// The lines of another process's list box, read through the W messages with a time limit.
std::vector<std::wstring> ListLines(HWND list) {
    std::vector<std::wstring> lines;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) {
        return lines;
    }
    for (int i = 0; i < static_cast<int>(count); ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &length);
        std::wstring line(length + 1, L'\0');
        SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]), SMTO_ABORTIFHUNG, 5000,
                            &length);
        lines.push_back(line.c_str());
    }
    return lines;
}

} // namespace

// The road through the real program beside the real DLL: two files digested with SHA256, their
// lines read from its window, checked against FIPS 180-2's "abc" and the digest of no bytes.
TEST(DigestorMenu, DigestWithRealProgramShowsItsResults) {
    const std::wstring dir = FreshFolder(L"menu_end_to_end");
    const std::wstring abc = dir + L"\\abc.txt", empty = dir + L"\\empty.txt";
    ASSERT_TRUE(WriteBytes(abc, "abc"));
    ASSERT_TRUE(WriteBytes(empty, ""));
    const std::wstring lines[] = {
        L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad <- SHA256 -> " + abc,
        L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855 <- SHA256 -> " + empty,
    };
    ASSERT_EQ(StartedProgram(), 0u);
    IContextMenu* menu = MenuFor(ExtensionModule(), {abc, empty});
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(InvokeItem(menu, L"SHA256"), S_OK);
    menu->Release();

    ProgramWindow program = {0, NULL};
    ASSERT_TRUE(WaitFor([&] { return (program.process = StartedProgram()) != 0; }))
        << "no Digestor.exe started";
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, program.process);
    ASSERT_NE(process, nullptr);
    std::vector<std::wstring> shown;
    bool both = WaitFor([&] {
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&program));
        shown = program.main ? ListLines(GetDlgItem(program.main, IDC_FILE_LIST)) : shown;
        return std::set<std::wstring>(shown.begin(), shown.end()).count(lines[0]) &&
               std::set<std::wstring>(shown.begin(), shown.end()).count(lines[1]);
    });
    std::string seen;
    for (const std::wstring& line : shown) {
        seen += "\n  " + Utf8(line);
    }
    EXPECT_TRUE(both) << "the list shows:" << seen;
    if (both) {
        PostMessageW(program.main, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process, static_cast<DWORD>(WaitMs)), WAIT_OBJECT_0)
            << "Digestor.exe did not end after WM_CLOSE";
    }
    // A program that shows something else, or does not end, is not left behind.
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, static_cast<DWORD>(WaitMs));
    }
    CloseHandle(process);
}

namespace {

std::wstring PickerAnswer; // the folder typed into the picker; empty: it is cancelled

// Answers the folder picker, the one dialog of this thread, once it shows, from inside its modal loop.
void CALLBACK AnswerPicker(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND picker, LPARAM) -> BOOL {
            wchar_t name[16] = L"";
            GetClassNameW(picker, name, ARRAYSIZE(name));
            HWND box = FindWindowExW(picker, NULL, L"Edit", NULL);
            if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(picker) && box) {
                SetWindowTextW(box, PickerAnswer.c_str());
                PostMessageW(picker, WM_COMMAND, PickerAnswer.empty() ? IDCANCEL : IDOK, 0);
            }
            return TRUE;
        },
        0);
}

} // namespace

// "Compare with..." asks for the copy in the folder picker: cancelled, it starts nothing; given a
// folder, it compares the selected one, the original, with it.
TEST(DigestorMenu, CompareWithAsksForTheCopy) {
    const std::wstring original = FreshFolder(L"menu_original"), copy = FreshFolder(L"menu copy");
    std::wstring folder;
    HMODULE module = LoadCopy(L"menu_compare_with", true, folder);
    ASSERT_NE(module, nullptr);
    IContextMenu* menu = MenuFor(module, {original});
    ASSERT_NE(menu, nullptr);
    const UINT_PTR timer = SetTimer(NULL, 0, PollMs, AnswerPicker);
    ASSERT_TRUE(WaitFor([] { return StartedProgram() == 0; }));
    PickerAnswer.clear();
    EXPECT_EQ(InvokeItem(menu, MenuWords().compareWith), HRESULT_FROM_WIN32(ERROR_CANCELLED));
    // A program started would still run, or have left its result.
    EXPECT_EQ(StartedProgram(), 0u);
    EXPECT_EQ(GetFileAttributesW((folder + L"\\result.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    PickerAnswer = copy;
    EXPECT_EQ(InvokeItem(menu, MenuWords().compareWith), S_OK);
    KillTimer(NULL, timer);
    menu->Release();
    std::vector<std::wstring> arguments;
    std::string items;
    std::wstring commandLine;
    ASSERT_TRUE(StandInResult(folder, arguments, items, commandLine)) << "the stand-in did not report";
    EXPECT_EQ(std::vector<std::wstring>(arguments.begin() + 1, arguments.end()),
              std::vector<std::wstring>({L"/compare", original, copy}))
        << Utf8(commandLine);
}
