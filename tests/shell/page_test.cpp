// The Digests page as Explorer shows it: the extension made through its class factory, Initialize
// with a data object of files, AddPages into a real modeless property sheet, and the page's controls
// read back with W messages while the sheet's messages are pumped.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "base/language_choice.h"
#include "base/program_identity.h"
#include "base/recorded_list.h"
#include "engine/digestor.h"
#include "res/resource.h"
#include "shell/shell_ids.h"
#include "drive/explorer_host.h"

namespace {

const int PollLimitMs = 20000;

// Pumps the thread's messages until done() or the limit; false at the limit.
bool PumpUntil(const std::function<bool()>& done) { return ::PumpUntil(done, PollLimitMs); }

// The wording the page uses: the language module the DLL picks by the same rule.
std::wstring Words(UINT id) {
    static HMODULE module = [] {
        wchar_t path[MAX_PATH * 2];
        std::wstring folder(path, GetModuleFileNameW(NULL, path, ARRAYSIZE(path)));
        folder = folder.substr(0, folder.find_last_of(L'\\')) + L"\\lang\\";
        for (const char* c = LanguageModuleName(GetSystemDefaultLangID()); *c; ++c) {
            folder += static_cast<wchar_t>(*c);
        }
        return LoadLibraryExW(folder.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    }();
    wchar_t text[512];
    int length = LoadStringW(module, id, text, ARRAYSIZE(text));
    return std::wstring(text, length > 0 ? length : 0);
}

// Words(id) with %1, %2 put in, and each line end CR LF, as FormatMessage makes them.
std::wstring Insert(UINT id, const std::wstring& first, const std::wstring& second = std::wstring()) {
    std::wstring text = Words(id);
    for (size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', end + 2)) {
        text.insert(end, 1, L'\r');
    }
    size_t at = text.find(L"%1");
    if (at != std::wstring::npos) {
        text.replace(at, 2, first);
    }
    at = text.find(L"%2");
    if (at != std::wstring::npos) {
        text.replace(at, 2, second);
    }
    return text;
}

// The reading line of a file called name, of size, as a pattern: the wording's characters as they
// are, the amount read and the speed numbers with the module's decimal mark and a unit.
std::wregex ReadingLine(const std::wstring& name, const std::wstring& size) {
    const std::wstring amount = L"[0-9]+(\\" + Words(IDS_DECIMAL_MARK) + L"[0-9] [KMGT]B| bytes)";
    const std::wstring wording = Words(IDS_PAGE_READING_FILE);
    std::wstring pattern;
    for (size_t at = 0; at < wording.size(); ++at) {
        const wchar_t insert = wording[at] == L'%' ? wording[++at] : 0;
        pattern += insert == L'2' || insert == L'4' ? amount : L"";
        for (wchar_t c : insert == L'1'   ? name
                         : insert == L'3' ? size
                                          : std::wstring(insert ? 0 : 1, wording[at])) {
            pattern += std::wstring(iswalnum(c) ? L"" : L"\\") + c;
        }
    }
    return std::wregex(pattern);
}

std::string Digest(DigestKind kind, const std::string& bytes) {
    DigestorHolder digestor(kind);
    digestor->Reset();
    digestor->Update(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    digestor->Finish();
    return digestor->DigestText();
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// A modeless sheet holding the page of files, as Explorer opens a file's Properties.
class Sheet {
public:
    explicit Sheet(const std::vector<std::wstring>& files)
        : m_sheet(OpenDigestsSheet(files, L"Properties")) {}
    ~Sheet() { Close(); }
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    bool IsOpen() const { return m_sheet && Page(); }
    HWND Page() const { return reinterpret_cast<HWND>(SendMessageW(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    HWND Control(int id) const { return PageControl(m_sheet, id); }
    void Close() {
        if (m_sheet) {
            DestroyWindow(m_sheet);
            m_sheet = NULL;
        }
    }

    int Rows() const {
        return static_cast<int>(SendMessageW(Control(IDC_PAGE_FILES), LVM_GETITEMCOUNT, 0, 0));
    }
    std::wstring Cell(int row, int column) const { return ListCell(Control(IDC_PAGE_FILES), row, column); }
    // The row of the file called name, -1 when there is none.
    int RowOf(const std::wstring& name) const {
        for (int row = 0; row < Rows(); ++row) {
            if (Cell(row, 0) == name) {
                return row;
            }
        }
        return -1;
    }
    // The colour the page gives control's text, as it paints it.
    COLORREF TextColour(int id) const {
        HDC dc = CreateCompatibleDC(NULL);
        SendMessageW(Page(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Control(id)));
        COLORREF colour = GetTextColor(dc);
        DeleteDC(dc);
        return colour;
    }
    std::wstring Text(int id) const {
        wchar_t text[2048] = L"";
        SendMessageW(Control(id), WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
        return text;
    }
    // Waits until every row of rows is through (no cell of its digests waits).
    bool WaitForRows(int rows) const {
        return PumpUntil([&] {
            if (Rows() != rows) {
                return false;
            }
            for (int row = 0; row < rows; ++row) {
                if (Cell(row, 1) == Words(IDS_PAGE_WAITING) || Cell(row, 1).empty()) {
                    return false;
                }
            }
            const std::wstring done = Words(IDS_PAGE_DONE);
            return Text(IDC_PAGE_STATUS).compare(0, done.find(L'%'), done, 0, done.find(L'%')) == 0;
        });
    }

private:
    HWND m_sheet;
};

bool WaitUntilUnloadable() {
    return PumpUntil([] { return ExtensionCanUnload(); });
}

std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    char bytes[1024];
    DWORD length = 0;
    ReadFile(file, bytes, sizeof(bytes), &length, NULL);
    CloseHandle(file);
    return std::string(bytes, length);
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

// How Save list... is answered, from inside its modal loops: the replace question (the message box
// with a No) with ReplaceAnswer, the page's own boxes with OK, their texts kept; the save dialog with
// OK, or with Cancel once a replace was refused. A window disabled behind a box waits for the box.
int ReplaceAnswer = IDYES, ReplaceQuestions = 0;
std::vector<std::wstring> PageBoxTexts;
void CALLBACK AnswerSave(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            HWND text = GetDlgItem(window, 0xFFFF); // a message box's text
            const bool question = GetDlgItem(window, IDNO) != NULL;
            if (!IsWindowVisible(window) || !IsWindowEnabled(window)) {
                return TRUE;
            }
            if (text && question) {
                ++ReplaceQuestions;
                PostMessageW(window, WM_COMMAND, ReplaceAnswer, 0);
            } else if (text) {
                PageBoxTexts.push_back(WindowText(text));
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            } else if (WindowText(window) == Words(IDS_PAGE_SAVE_TITLE)) {
                const bool refused = ReplaceQuestions && ReplaceAnswer == IDNO;
                PostMessageW(window, WM_COMMAND, refused ? IDCANCEL : IDOK, 0);
            }
            return TRUE;
        },
        0);
}

// Clicks the page's Save list... and answers as AnswerSave does until the page is through with it.
void SaveListAnswering(const Sheet& sheet, int replaceAnswer) {
    ReplaceAnswer = replaceAnswer;
    ReplaceQuestions = 0;
    PageBoxTexts.clear();
    const UINT_PTR timer = SetTimer(NULL, 0, 20, AnswerSave);
    SendMessageW(sheet.Control(IDC_PAGE_SAVE), BM_CLICK, 0, 0);
    KillTimer(NULL, timer);
}

} // namespace

// The four default digests of files against published vectors and the engine; a folder left out
// with its line, a missing file with its failure text and no digest.
TEST(DigestsPage, ShowsTheDefaultDigestsOfEachFile) {
    const std::wstring folder = FreshFolder(L"page_digests");
    const struct {
        const wchar_t* name;
        std::string bytes;
        const char* published[4]; // MD5, SHA1, SHA256, SHA512; null: the engine's
    } files[] = {
        {L"empty.bin",
         "",
         {"d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709",
          "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
          "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d2877eec2f63"
          "b931bd4741"
          "7a81a538327af927da3e"}},
        {L"abc.txt",
         "abc",
         {"900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d",
          "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
          "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd45"
          "4d4423"
          "643ce80e2a9ac94fa54ca49f"}},
        {L"pattern.bin", Pattern(1024 * 1024 + 1), {NULL, NULL, NULL, NULL}},
    };
    const DigestKind columns[] = {DigestMD5, DigestSHA1, DigestSHA256, DigestSHA512};
    std::vector<std::wstring> paths;
    for (const auto& file : files) {
        ASSERT_TRUE(WriteBytes(folder + L"\\" + file.name, file.bytes));
        paths.push_back(folder + L"\\" + file.name);
    }
    // Past 260 characters, made through the long form, handed over as Explorer would.
    std::wstring deep = folder;
    for (int level = 0; level < 3; ++level) {
        deep += L"\\" + std::wstring(90, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), NULL));
    }
    ASSERT_TRUE(WriteBytes(L"\\\\?\\" + deep + L"\\deep.txt", "abc"));
    paths.push_back(deep + L"\\deep.txt");
    paths.push_back(folder + L"\\missing.txt");
    paths.push_back(folder + L"\\nul"); // a device's name, no file
    CreateDirectoryW((folder + L"\\sub").c_str(), NULL);
    paths.push_back(folder + L"\\sub");
    {
        Sheet sheet(paths);
        ASSERT_TRUE(sheet.IsOpen());
        // Mirrored on a system whose language reads from right to left; its digests read from the left.
        EXPECT_EQ((GetWindowLongW(sheet.Page(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0,
                  ReadsRightToLeft(LanguageModuleFor(GetSystemDefaultLangID())));
        EXPECT_EQ(GetWindowLongW(sheet.Control(IDC_PAGE_DIGESTS), GWL_EXSTYLE) &
                      (WS_EX_LAYOUTRTL | WS_EX_RTLREADING),
                  0);
        ASSERT_TRUE(sheet.WaitForRows(6)) << sheet.Text(IDC_PAGE_STATUS);
        for (const auto& file : files) {
            const int row = sheet.RowOf(file.name);
            ASSERT_GE(row, 0);
            for (int c = 0; c < 4; ++c) {
                const std::string expected =
                    file.published[c] ? file.published[c] : Digest(columns[c], file.bytes);
                EXPECT_EQ(Digest(columns[c], file.bytes), expected) << "engine against the published vector";
                EXPECT_EQ(sheet.Cell(row, c + 1), Wide(expected)) << file.name << " column " << c + 1;
            }
        }
        const int deepRow = sheet.RowOf(L"deep.txt");
        ASSERT_GE(deepRow, 0);
        EXPECT_EQ(sheet.Cell(deepRow, 3),
                  L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        for (const wchar_t* name : {L"missing.txt", L"nul"}) {
            const int row = sheet.RowOf(name);
            ASSERT_GE(row, 0) << name;
            for (int c = 1; c <= 4; ++c) {
                EXPECT_EQ(sheet.Cell(row, c), Words(IDS_PAGE_OPEN_FAILED)) << name;
            }
        }
        EXPECT_EQ(sheet.RowOf(L"sub"), -1);
        EXPECT_EQ(sheet.Text(IDC_PAGE_LEFT_OUT), Words(IDS_PAGE_FOLDER_LEFT_OUT));

        // A file deleted while the tab is open, then MD2 ticked: everything is read again, in a
        // column of its own before MD5's, and the file that went says so instead of a digest.
        ASSERT_TRUE(DeleteFileW(paths[1].c_str()));
        SendMessageW(sheet.Control(IDC_PAGE_ALGORITHM_FIRST + DigestMD2), BM_CLICK, 0, 0);
        ASSERT_TRUE(sheet.WaitForRows(6)) << sheet.Text(IDC_PAGE_STATUS);
        EXPECT_EQ(sheet.Cell(sheet.RowOf(L"empty.bin"), 1), L"8350e5a3e24c153df2275c9f80692773")
            << "RFC 1319 #1";
        for (int c = 1; c <= 5; ++c) {
            EXPECT_EQ(sheet.Cell(sheet.RowOf(L"abc.txt"), c), Words(IDS_PAGE_OPEN_FAILED)) << c;
        }
    }
    EXPECT_TRUE(WaitUntilUnloadable());
}

// The compare box: a digest in any of the forms people paste, and one that is no digest shown; a
// digest on the clipboard when the page opens is compared at once.
TEST(DigestsPage, ComparesATypedDigestWithEveryDigestShown) {
    const std::wstring folder = FreshFolder(L"page_compare");
    ASSERT_TRUE(WriteBytes(folder + L"\\abc.txt", "abc"));
    SetClipboardText(L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  abc.txt\r\n");
    Sheet sheet({folder + L"\\abc.txt"});
    ASSERT_TRUE(sheet.IsOpen());
    ASSERT_TRUE(sheet.WaitForRows(1));
    EXPECT_EQ(sheet.Text(IDC_PAGE_COMPARE),
              L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sheet.Text(IDC_PAGE_MATCH), Insert(IDS_PAGE_MATCH_ONE, L"SHA256"));

    const COLORREF Green = RGB(20, 120, 20), Red = RGB(190, 20, 20);
    const struct {
        const wchar_t* typed;
        std::wstring answer;
        COLORREF tone;
    } cases[] = {
        {L"900150983CD24FB0D6963F7D28E17F72", Insert(IDS_PAGE_MATCH_ONE, L"MD5"), Green},
        {L"BA7816BF 8F01CFEA 414140DE 5DAE2223 B00361A3 96177A9C B410FF61 F20015AD",
         Insert(IDS_PAGE_MATCH_ONE, L"SHA256"), Green},
        {L"a9:99:3e:36:47:06:81:6a:ba:3e:25:71:78:50:c2:6c:9c:d0:d8:9d", Insert(IDS_PAGE_MATCH_ONE, L"SHA1"),
         Green},
        {L"SHA1 (abc.txt) = A9993E364706816ABA3E25717850C26C9CD0D89D", Insert(IDS_PAGE_MATCH_ONE, L"SHA1"),
         Green},
        {L"900150983cd24fb0d6963f7d28e17f73", Words(IDS_PAGE_NO_MATCH), Red},
        {L"the file's digest", Words(IDS_PAGE_NO_DIGEST), Red},
    };
    for (const auto& one : cases) {
        SetWindowTextW(sheet.Control(IDC_PAGE_COMPARE), one.typed);
        EXPECT_EQ(sheet.Text(IDC_PAGE_MATCH), one.answer) << one.typed;
        EXPECT_EQ(sheet.TextColour(IDC_PAGE_MATCH), one.tone) << one.typed;
    }
}

// Copy all puts every digest on the clipboard as *sum lines, a group per algorithm; Save list...
// writes the chosen algorithm's list beside the file (the save dialog's suggestion taken as it is).
TEST(DigestsPage, CopiesAndSavesTheDigestsAsSumLines) {
    const std::wstring folder = FreshFolder(L"page_save");
    ASSERT_TRUE(WriteBytes(folder + L"\\abc.txt", "abc"));
    ASSERT_TRUE(WriteBytes(folder + L"\\\u00c4bc \u0436.txt", ""));
    Sheet sheet({folder + L"\\abc.txt", folder + L"\\\u00c4bc \u0436.txt"});
    ASSERT_TRUE(sheet.IsOpen());
    ASSERT_TRUE(sheet.WaitForRows(2));
    SendMessageW(sheet.Control(IDC_PAGE_COPY_ALL), BM_CLICK, 0, 0);
    std::wstring expected;
    for (DigestKind kind : {DigestMD5, DigestSHA1, DigestSHA256, DigestSHA512}) {
        const wchar_t* names[] = {L"MD5", L"SHA1", L"SHA256", L"SHA512"};
        expected += std::wstring(L"# ") + names[kind == DigestMD5 ? 0 : kind - DigestSHA1 + 1] + L"\r\n" +
                    Wide(Digest(kind, "abc")) + L"  abc.txt\r\n" + Wide(Digest(kind, "")) +
                    L"  \u00c4bc \u0436.txt\r\n";
    }
    ASSERT_TRUE(OpenClipboard(NULL));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
    if (data) {
        GlobalUnlock(data);
    }
    CloseClipboard();
    EXPECT_EQ(copied, expected);

    // No list is there yet, so nothing asks to replace one: the save dialog's suggestion, the folder's
    // SHA256 list, is written.
    SaveListAnswering(sheet, IDNO);
    const std::wstring list = folder + L"\\page_save.sha256";
    EXPECT_EQ(ReplaceQuestions, 0);
    EXPECT_EQ(sheet.Text(IDC_PAGE_STATUS), Insert(IDS_PAGE_SAVED, list));
    EXPECT_EQ(ReadBytes(list), Digest(DigestSHA256, "abc") + "  abc.txt\r\n" + Digest(DigestSHA256, "") +
                                   "  \xc3\x84"
                                   "bc \xd0\xb6.txt\r\n");
}

// Save list... over a list that is there: refused, it leaves the list; held open without sharing, it
// leaves it too and says so, leaving no new file beside it; agreed, the new list replaces it, nothing
// of the old, longer one behind it.
TEST(DigestsPage, ReplacesAListOnlyWhenAgreedAndWhenItCan) {
    const std::wstring folder = FreshFolder(L"page_replace"), list = folder + L"\\abc.txt.sha256";
    ASSERT_TRUE(WriteBytes(folder + L"\\abc.txt", "abc"));
    const std::string old = std::string(64, '0') + "  abc.txt\r\n" + std::string(64, '1') + "  gone.txt\r\n";
    ASSERT_TRUE(WriteBytes(list, old));
    Sheet sheet({folder + L"\\abc.txt"});
    ASSERT_TRUE(sheet.IsOpen());
    ASSERT_TRUE(sheet.WaitForRows(1));
    const std::wstring done = sheet.Text(IDC_PAGE_STATUS), failed = Insert(IDS_PAGE_SAVE_FAILED, list);
    const struct {
        int answer;
        bool held; // open in this process without sharing
        std::string after;
        std::wstring status;
        std::vector<std::wstring> boxes;
    } cases[] = {
        {IDNO, false, old, done, {}},
        {IDYES, true, old, done, {failed}},
        {IDYES, false, Digest(DigestSHA256, "abc") + "  abc.txt\r\n", Insert(IDS_PAGE_SAVED, list), {}},
    };
    for (const auto& one : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << one.answer << ", held " << one.held);
        HANDLE held =
            one.held ? CreateFileW(list.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL) : NULL;
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        SaveListAnswering(sheet, one.answer);
        if (held) {
            CloseHandle(held);
        }
        EXPECT_EQ(ReplaceQuestions, 1);
        EXPECT_EQ(PageBoxTexts, one.boxes);
        EXPECT_EQ(sheet.Text(IDC_PAGE_STATUS), one.status);
        EXPECT_EQ(ReadBytes(list), one.after);
        EXPECT_EQ(GetFileAttributesW((list + L".digestor-new").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

// A file under a recorded folder, as recorded, then decayed (its time put back), then edited. The
// list is an MD4 list, an algorithm the page does not tick: the file's set takes it.
TEST(DigestsPage, SaysWhetherAFileIsAsRecorded) {
    const std::wstring root = FreshFolder(L"page_recorded");
    ASSERT_TRUE(CreateDirectoryW((root + L"\\Photos").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\Photos\\2023").c_str(), NULL));
    const std::wstring path = root + L"\\Photos\\2023\\beach.jpg";
    const std::string bytes = Pattern(5000);
    ASSERT_TRUE(WriteBytes(path, bytes));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    const FILETIME written = data.ftLastWriteTime;
    const FileRecord record = {bytes.size(), (static_cast<unsigned long long>(written.dwHighDateTime) << 32) |
                                                 written.dwLowDateTime};
    RecordHeading heading;
    heading.algorithm = DigestMD4;
    heading.recorded = TimeNow();
    heading.folders.push_back("Photos");
    ASSERT_TRUE(WriteBytes(root + L"\\Photos.md4",
                           RecordHeadingText(heading) +
                               RecordedEntryText(Digest(DigestMD4, bytes), "Photos/2023/beach.jpg", record)));

    std::string decayed = bytes;
    decayed[1234] ^= 1;
    FILETIME later = written;
    later.dwHighDateTime += 1; // about seven minutes on
    const struct {
        const std::string* content;
        const FILETIME* time;
        UINT verdict;
        COLORREF tone;
    } cases[] = {
        {&bytes, &written, IDS_VERDICT_OK, RGB(20, 120, 20)},
        {&decayed, &written, IDS_VERDICT_CORRUPTED, RGB(190, 20, 20)},
        {&decayed, &later, IDS_VERDICT_MODIFIED, RGB(20, 80, 190)},
    };
    for (const auto& one : cases) {
        ASSERT_TRUE(WriteBytes(path, *one.content));
        HANDLE file =
            CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_TRUE(SetFileTime(file, NULL, NULL, one.time));
        CloseHandle(file);
        Sheet sheet({path});
        ASSERT_TRUE(sheet.IsOpen());
        ASSERT_TRUE(sheet.WaitForRows(1));
        const std::wstring cell = sheet.Cell(0, 5);
        EXPECT_EQ(cell.find(Words(one.verdict) + L" (Photos.md4"), 0u) << cell;
        EXPECT_NE(sheet.Text(IDC_PAGE_DIGESTS).find(L"MD4: " + Wide(Digest(DigestMD4, *one.content))),
                  std::wstring::npos);
        EXPECT_EQ(sheet.Text(IDC_PAGE_VERDICT), Words(IDS_PAGE_RECORDED_COLUMN) + L": " + cell);
        EXPECT_EQ(sheet.TextColour(IDC_PAGE_VERDICT), one.tone) << cell;
    }
}

// Closing the sheet in the middle of a large file's read (16 GiB, sparse: minutes to read): the worker lets
// go of the file at once (it can be deleted and is gone), ends, and the DLL may unload.
TEST(DigestsPage, StopsReadingWhenTheSheetCloses) {
    const std::wstring folder = FreshFolder(L"page_stop");
    const std::wstring path = folder + L"\\large.bin";
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &returned, NULL);
    LARGE_INTEGER size;
    size.QuadPart = 16LL * 1024 * 1024 * 1024; // far longer to read than any poll waits
    ASSERT_TRUE(SetFilePointerEx(file, size, NULL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    {
        Sheet sheet({path});
        ASSERT_TRUE(sheet.IsOpen());
        ASSERT_TRUE(
            PumpUntil([&] { return SendMessageW(sheet.Control(IDC_PAGE_PROGRESS), PBM_GETPOS, 0, 0) > 0; }));
        EXPECT_LT(SendMessageW(sheet.Control(IDC_PAGE_PROGRESS), PBM_GETPOS, 0, 0), 1000) << "read too soon";
        // After about a second the status line says how much of it is read, and how fast.
        const std::wregex reading = ReadingLine(L"large.bin", L"16" + Words(IDS_DECIMAL_MARK) + L"0 GB");
        EXPECT_TRUE(PumpUntil([&] { return std::regex_match(sheet.Text(IDC_PAGE_STATUS), reading); }))
            << sheet.Text(IDC_PAGE_STATUS);
        sheet.Close();
    }
    EXPECT_TRUE(PumpUntil([&] { return DeleteFileW(path.c_str()) != FALSE; }));
    EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; }));
    EXPECT_TRUE(WaitUntilUnloadable());
}
