// explorer_shots: the README's pictures of the Explorer extension, taken as Explorer hosts it:
// DigestorShell64.dll beside this program, its objects made through its class factory and given a
// data object of the files, the page added to a real property sheet, the menu queried into a real
// context menu.  `make screenshots` runs it once per language.
//
//   explorer_shots STEP...
//
//   page PNG PATH... [select ROW] [compare TEXT]
//                                    the Digests page of PATH... in a sheet titled as Explorer titles
//                                    it, beside Explorer's General tab, once every file's digests
//                                    show; then row ROW (from 0) is selected as a click does, and
//                                    TEXT typed into the compare box
//   menu PNG PATH...                 the context menu of PATH..., in rows by name, right-clicked on
//                                    the first, with the Digestor submenu open: on files its
//                                    "Digest with" list too, on folders its second item selected
//
// PNG and PATH are Windows paths; a PATH is absolute, which is how a step's paths end.  The words
// Explorer itself adds (the caption, General, Open, Cut, ...) are English, or German on a German
// system, as the extension picks its language; where that language reads from right to left, the
// sheet and the menus are mirrored as Explorer's are.  Every wait is a bounded poll.
// Exit code: 0; 2 for a usage error; 3 when a step fails.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/algorithm_names.h"
#include "base/language_choice.h"
#include "base/program_identity.h"
#include "drive/explorer_host.h"
#include "drive/png_picture.h"
#include "drive/wide_text.h"
#include "res/resource.h"
#include "shell/shell_ids.h"

namespace {

const int UsageError = 2;
const int StepFailed = 3;
const DWORD WaitLimitMs = 30000;
const UINT MenuTickMs = 50;
const UINT FirstCommandId = 1;
const UINT LastCommandId = 0x7FFF;
const UINT HostCommandId = 0x8000; // Explorer's own items, past the extension's range
const int MenuMargin = 12;         // pixels of the view around the menus and the items
const int MenuRowHeight = 22;      // pixels of an item's row in the view
const wchar_t ViewClass[] = L"ExplorerShotsView";

// What Explorer itself shows around the extension, in the language the extension picks.
struct ExplorerWords {
    const wchar_t* propertiesOf; // %1: the selection's names
    const wchar_t* general;
    const wchar_t* hostItems[6]; // Open; Cut, Copy; Delete, Rename; Properties
};
const ExplorerWords English = {
    L"%1 Properties", L"General", {L"Open", L"Cut", L"Copy", L"Delete", L"Rename", L"Properties"}};
const ExplorerWords German = {
    L"Eigenschaften von %1",
    L"Allgemein",
    {L"\u00d6ffnen", L"Ausschneiden", L"Kopieren", L"L\u00f6schen", L"Umbenennen", L"Eigenschaften"}};

const ExplorerWords& Words() {
    return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN ? German : English;
}

// A string of the language module the extension loads, by the same rule.
std::wstring ModuleText(UINT id) {
    static HMODULE module = [] {
        std::wstring path = ProgramFolder() + L"\\lang\\";
        for (const char* c = LanguageModuleName(GetSystemDefaultLangID()); *c; ++c) {
            path += static_cast<wchar_t>(*c);
        }
        return LoadLibraryExW(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    }();
    wchar_t text[512];
    const int length = LoadStringW(module, id, text, ARRAYSIZE(text));
    return std::wstring(text, length > 0 ? length : 0);
}

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Handles the thread's messages until done() holds (true) or the limit (false, said on stderr).
bool PumpUntil(const char* what, const std::function<bool()>& done) {
    if (::PumpUntil(done, WaitLimitMs)) {
        return true;
    }
    fprintf(stderr, "explorer_shots: no %s in time\n", what);
    return false;
}

bool Save(const std::wstring& png, const ScreenPicture& picture) {
    if (!WritePng(png, picture)) {
        fprintf(stderr, "explorer_shots: no picture written to %s\n", Utf8(png).c_str());
        return false;
    }
    printf("picture: %s (%ux%u)\n", Utf8(png).c_str(), picture.width, picture.height);
    return true;
}

// --- the Digests page ---------------------------------------------------------------------------

// Explorer's General tab, only for its tab: the Digests page is the one shown.
struct EmptyPageTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};
const EmptyPageTemplate GeneralTemplate = {{WS_CHILD | WS_CAPTION, 0, 0, 0, 0, 100, 50}, 0, 0, 0};

INT_PTR CALLBACK GeneralPage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// "abc.txt Properties"; with several items the first two names and an ellipsis, as Explorer has it.
std::wstring SheetCaption(const std::vector<std::wstring>& paths) {
    std::wstring names = FileName(paths[0]);
    if (paths.size() > 1) {
        names += L", " + FileName(paths[1]) + (paths.size() > 2 ? L", ..." : L"");
    }
    std::wstring caption = Words().propertiesOf;
    return caption.replace(caption.find(L"%1"), 2, names);
}

// A modeless sheet with the General tab and the pages the extension adds, the Digests page
// selected; null when the extension added none.
HWND OpenSheet(const std::vector<std::wstring>& paths) {
    PROPSHEETPAGEW general = {};
    general.dwSize = sizeof general;
    general.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    general.pResource = &GeneralTemplate.dialog;
    general.pfnDlgProc = GeneralPage;
    general.pszTitle = Words().general;
    return OpenDigestsSheet(paths, SheetCaption(paths).c_str(),
                            std::vector<HPROPSHEETPAGE>(1, CreatePropertySheetPageW(&general)));
}

std::wstring Text(HWND control) {
    wchar_t text[2048] = L"";
    SendMessageW(control, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// Every file's row through (no digest cell empty or waiting) and the status saying done.
bool DigestsShown(HWND sheet, int files) {
    HWND list = PageControl(sheet, IDC_PAGE_FILES);
    if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != files) {
        return false;
    }
    const std::wstring waiting = ModuleText(IDS_PAGE_WAITING);
    for (int row = 0; row < files; ++row) {
        const std::wstring first = ListCell(list, row, 1);
        if (first.empty() || first == waiting) {
            return false;
        }
    }
    const std::wstring done = ModuleText(IDS_PAGE_DONE);
    const size_t fixed = done.find(L'%');
    return !done.empty() && Text(PageControl(sheet, IDC_PAGE_STATUS)).compare(0, fixed, done, 0, fixed) == 0;
}

// The window in front and on top, copied until two copies in a row are the same.  Without a window
// manager Wine draws the caption of a window it has just activated inactive: it is told again.
// focus, when there is one, gets the keyboard once the window is active, as after a click.
bool PictureOf(HWND window, HWND focus, ScreenPicture& picture) {
    SetForegroundWindow(window);
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    if (focus) {
        SetFocus(focus);
    }
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ScreenPicture previous;
    ULONGLONG next = 0;
    return PumpUntil("steady picture", [&] {
        if (GetTickCount64() < next) {
            return false;
        }
        next = GetTickCount64() + MenuTickMs;
        previous.pixels.swap(picture.pixels);
        return CopyWindow(window, picture) && picture.pixels == previous.pixels;
    });
}

bool PageStep(const std::wstring& png, const std::vector<std::wstring>& paths, int row,
              const std::wstring& compare) {
    int files = 0;
    for (const std::wstring& path : paths) {
        files += IsFolder(path) ? 0 : 1;
    }
    HWND sheet = OpenSheet(paths);
    if (!sheet) {
        fprintf(stderr, "explorer_shots: the extension added no page\n");
        return false;
    }
    bool taken = PumpUntil("digests in the page", [&] { return DigestsShown(sheet, files); });
    if (taken && row >= 0) {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(PageControl(sheet, IDC_PAGE_FILES), LVM_SETITEMSTATE, row,
                     reinterpret_cast<LPARAM>(&item));
    }
    if (taken && !compare.empty()) {
        SetWindowTextW(PageControl(sheet, IDC_PAGE_COMPARE), compare.c_str());
        taken = PumpUntil("answer to the compare box",
                          [&] { return !Text(PageControl(sheet, IDC_PAGE_MATCH)).empty(); });
        printf("compare: %s\n", Utf8(Text(PageControl(sheet, IDC_PAGE_MATCH))).c_str());
    }
    ScreenPicture picture;
    HWND focus = row >= 0 ? PageControl(sheet, IDC_PAGE_FILES) : NULL;
    taken = taken && PictureOf(sheet, focus, picture) && Save(png, picture);
    DestroyWindow(sheet);
    return taken;
}

// --- the Digestor menu --------------------------------------------------------------------------

// The menu's modal loop, worked from its timer: the keys a user presses to open the cascade, then
// copies of the screen around the menus until two in a row are the same.
struct MenuShot {
    HWND view;
    RECT item;                      // the selected items in the view, a row each
    std::vector<std::wstring> rows; // their paths in the view's order, by name
    std::vector<WPARAM> keys;
    size_t menus; // menu windows open once the keys are through
    ULONGLONG deadline;
    ScreenPicture previous, picture;
    bool taken;
};
MenuShot Shot;

BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM found) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, ARRAYSIZE(name));
    if (IsWindowVisible(window) && lstrcmpW(name, L"#32768") == 0) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> MenuWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK MenuTick(HWND, UINT, UINT_PTR, DWORD) {
    const std::vector<HWND> menus = MenuWindows();
    if (GetTickCount64() >= Shot.deadline) {
        fprintf(stderr, "explorer_shots: %u of %u menus open\n", static_cast<unsigned>(menus.size()),
                static_cast<unsigned>(Shot.menus));
        EndMenu();
        return;
    }
    if (menus.empty()) {
        return;
    }
    if (!Shot.keys.empty()) {
        // The newest menu is the one the keys go to; the loop reads them from the thread's queue.
        PostMessageW(menus.front(), WM_KEYDOWN, Shot.keys.front(), 0);
        Shot.keys.erase(Shot.keys.begin());
        return;
    }
    if (menus.size() != Shot.menus) {
        return;
    }
    RECT area = Shot.item, view = {};
    for (HWND menu : menus) {
        RECT frame;
        GetWindowRect(menu, &frame);
        UnionRect(&area, &area, &frame);
    }
    InflateRect(&area, MenuMargin, MenuMargin);
    GetWindowRect(Shot.view, &view);
    IntersectRect(&area, &area, &view);
    Shot.previous.pixels.swap(Shot.picture.pixels);
    if (CopyScreen(area, Shot.picture) && Shot.picture.pixels == Shot.previous.pixels) {
        Shot.taken = true;
        EndMenu();
    }
}

// Explorer's view: white, the selected items in it, one row each.
LRESULT CALLBACK ViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_WINDOW));
    HBRUSH selected = CreateSolidBrush(RGB(204, 232, 255)); // Explorer's selection
    FillRect(dc, &Shot.item, selected);
    DeleteObject(selected);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT row = Shot.item;
    row.bottom = row.top + MenuRowHeight;
    for (const std::wstring& path : Shot.rows) {
        SHFILEINFOW info = {};
        if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON)) {
            const int iconSize = GetSystemMetrics(SM_CYSMICON);
            const int middle = (row.top + row.bottom) / 2;
            DrawIconEx(dc, row.left + 4, middle - iconSize / 2, info.hIcon, iconSize, iconSize, 0, NULL,
                       DI_NORMAL);
            DestroyIcon(info.hIcon);
            RECT words = row;
            words.left += iconSize + 10;
            DrawTextW(dc, FileName(path).c_str(), -1, &words, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        OffsetRect(&row, 0, MenuRowHeight);
    }
    SelectObject(dc, old);
    EndPaint(window, &paint);
    return 0;
}

// Explorer's own items around the place it gives the extension (after Open); returns that place.
UINT AddHostItems(HMENU menu) {
    const wchar_t* const* items = Words().hostItems;
    UINT id = HostCommandId;
    AppendMenuW(menu, MF_STRING, id++, items[0]);
    AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
    const UINT place = GetMenuItemCount(menu);
    AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuW(menu, MF_STRING, id++, items[1]);
    AppendMenuW(menu, MF_STRING, id++, items[2]);
    AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuW(menu, MF_STRING, id++, items[3]);
    AppendMenuW(menu, MF_STRING, id++, items[4]);
    AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuW(menu, MF_STRING, id++, items[5]);
    SetMenuDefaultItem(menu, 0, TRUE);
    return place;
}

// The keys from a fresh menu to the Digestor item at place, into its submenu, and on files into
// "Digest with" down to SHA256; on folders down to the second item (Record, Compare contents).
std::vector<WPARAM> KeysToTheCascade(HMENU menu, UINT place, bool folder) {
    std::vector<WPARAM> keys;
    for (UINT position = 0; position <= place; ++position) {
        if (!(GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR)) {
            keys.push_back(VK_DOWN);
        }
    }
    keys.push_back(VK_RIGHT);
    if (folder) {
        keys.push_back(VK_DOWN);
        return keys;
    }
    keys.push_back(VK_RIGHT);
    keys.insert(keys.end(), static_cast<size_t>(DigestSHA256), VK_DOWN);
    return keys;
}

bool MenuStep(const std::wstring& png, const std::vector<std::wstring>& paths) {
    IShellExtInit* init = NULL;
    IContextMenu* contextMenu = NULL;
    if (FAILED(
            CreateExtensionObject(ClsidDigestorMenu, IID_IShellExtInit, reinterpret_cast<void**>(&init)))) {
        fprintf(stderr, "explorer_shots: no menu object\n");
        return false;
    }
    IDataObject* data = MakeDropData(paths);
    const HRESULT initialized = init->Initialize(NULL, data, NULL);
    data->Release();
    if (SUCCEEDED(initialized)) {
        init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&contextMenu));
    }
    init->Release();
    if (!contextMenu) {
        fprintf(stderr, "explorer_shots: the menu refused the item\n");
        return false;
    }
    HMENU menu = CreatePopupMenu();
    const UINT place = AddHostItems(menu);
    const HRESULT queried =
        contextMenu->QueryContextMenu(menu, place, FirstCommandId, LastCommandId, CMF_NORMAL);
    bool taken = false;
    if (SUCCEEDED(queried) && HRESULT_CODE(queried) > 0) {
        bool folder = true;
        for (const std::wstring& path : paths) {
            folder = folder && IsFolder(path);
        }
        Shot.item = {40, 40, 200, 40 + MenuRowHeight * static_cast<int>(paths.size())};
        Shot.rows = paths;
        std::sort(Shot.rows.begin(), Shot.rows.end(), [](const std::wstring& a, const std::wstring& b) {
            return lstrcmpiW(FileName(a).c_str(), FileName(b).c_str()) < 0;
        });
        const int clicked =
            static_cast<int>(std::find(Shot.rows.begin(), Shot.rows.end(), paths[0]) - Shot.rows.begin());
        Shot.view = CreateWindowExW(0, ViewClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 640, NULL, NULL,
                                    GetModuleHandleW(NULL), NULL);
        SetForegroundWindow(Shot.view);
        UpdateWindow(Shot.view);
        Shot.keys = KeysToTheCascade(menu, place, folder);
        Shot.menus = folder ? 2 : 3;
        Shot.deadline = GetTickCount64() + WaitLimitMs;
        Shot.taken = false;
        Shot.picture = ScreenPicture();
        const UINT_PTR timer = SetTimer(NULL, 0, MenuTickMs, MenuTick);
        // Right-clicked on the first path's row: Explorer hands the item clicked over first.
        TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                         Shot.item.left + 60, Shot.item.top + MenuRowHeight * (clicked + 1) - 6, Shot.view,
                         NULL);
        KillTimer(NULL, timer);
        taken = Shot.taken && Save(png, Shot.picture);
        DestroyWindow(Shot.view);
    } else {
        fprintf(stderr, "explorer_shots: the extension added no item (0x%08lx)\n", queried);
    }
    DestroyMenu(menu);
    contextMenu->Release();
    return taken;
}

// --- the steps ----------------------------------------------------------------------------------

bool IsAbsolute(const std::wstring& word) {
    return (word.size() >= 3 && word[1] == L':' && word[2] == L'\\') || word.compare(0, 2, L"\\\\") == 0;
}

int Usage() {
    fprintf(stderr, "usage: explorer_shots STEP...\n"
                    "  page PNG PATH... [select ROW] [compare TEXT]\n"
                    "  menu PNG PATH...\n");
    return UsageError;
}

} // namespace

int main() {
    const std::vector<std::wstring> words = ProgramArguments();
    if (words.empty()) {
        return Usage();
    }
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    // The module the extension takes, so that a caller sees which language its pictures show.
    printf("language: %s\n", LanguageModuleName(GetSystemDefaultLangID()));
    // Explorer flows from the right in a language read that way, and so does every sheet and menu
    // it makes for the extension.
    if (ReadsRightToLeft(LanguageModuleFor(GetSystemDefaultLangID()))) {
        SetProcessDefaultLayout(LAYOUT_RTL);
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW view = {};
    view.lpfnWndProc = ViewProcedure;
    view.hInstance = GetModuleHandleW(NULL);
    view.hCursor = LoadCursor(NULL, IDC_ARROW);
    view.lpszClassName = ViewClass;
    RegisterClassW(&view);
    // The page compares a digest it finds on the clipboard at once; the pictures show typed ones.
    if (OpenClipboard(NULL)) {
        EmptyClipboard();
        CloseClipboard();
    }

    for (size_t w = 0; w < words.size();) {
        const std::wstring step = words[w++];
        if (w >= words.size()) {
            return Usage();
        }
        const std::wstring png = words[w++];
        std::vector<std::wstring> paths;
        while (w < words.size() && IsAbsolute(words[w])) {
            paths.push_back(words[w++]);
        }
        bool done = false;
        if (step == L"page" && !paths.empty()) {
            int row = -1;
            std::wstring compare;
            if (w + 1 < words.size() && words[w] == L"select") {
                row = _wtoi(words[w + 1].c_str());
                w += 2;
            }
            if (w + 1 < words.size() && words[w] == L"compare") {
                compare = words[w + 1];
                w += 2;
            }
            done = PageStep(png, paths, row, compare);
        } else if (step == L"menu" && !paths.empty()) {
            done = MenuStep(png, paths);
        } else {
            return Usage();
        }
        fflush(stdout);
        if (!done) {
            fprintf(stderr, "explorer_shots: %s %s failed\n", Utf8(step).c_str(), Utf8(png).c_str());
            return StepFailed;
        }
    }
    return 0;
}
