#include "window/gui_listbox.h"
#include <new>
#include <string.h>

#include <string>

#include "base/code_page.h"
#include "base/load_text.h"
#include "res/resource.h"
#include "window/app_state.h"
#include "window/list_store.h"
#include "window/palette.h"
#include "window/private_messages.h"
#include "window/window_dpi.h"

const char* const GuiListboxProperty = "VarnoLibraryGuiListbox";

// Single line, vertically centred, left-aligned; '&' drawn as it is; a line
// wider than the text rectangle ends in "...".
const UINT EntryTextFlags = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS;

// A verdict's tone on the light bar and on the dark (selected) one.
struct Tone {
    COLORREF normal;
    COLORREF selected;
};
const Tone Passed = {PassedGreen, PassedLightGreen};
const Tone Failed = {FailedRed, FailedLightRed};
const Tone Changed = {ChangedBlue, ChangedLightBlue}; // news of the user's own doing, no failure

// The words verdict lines begin with, a check's and a comparison's, and their tones.
struct VerdictTone {
    UINT word; // string of the language module
    Tone tone;
};
const VerdictTone VerdictTones[] = {
    {IDS_VERDICT_OK, Passed},        {IDS_VERDICT_SAME, Passed},       {IDS_VERDICT_FAILED, Failed},
    {IDS_VERDICT_MISSING, Failed},   {IDS_VERDICT_READ_ERROR, Failed}, {IDS_VERDICT_CORRUPTED, Failed},
    {IDS_VERDICT_DIFFERENT, Failed}, {IDS_VERDICT_MODIFIED, Changed},  {IDS_VERDICT_NEW, Changed},
    {IDS_VERDICT_EXTRA, Changed},    {IDS_VERDICT_MOVED, Changed},
};

// Room for an entry when it is painted; longer entries never come from the
// program (AddEntry refuses them) and are painted without text.
const int PaintTextSize = 1024;

// The record of window, through its property. Under Wine every property read
// is a round trip to the server, and both procedures run on every message of
// two busy windows, so the record last read for each window is kept at hand.
// A window's record never changes once its procedure is in place; a window
// that is destroyed, or whose record is replaced, is dropped from the cache.
namespace {

struct KnownStyle {
    HWND window;
    GuiListboxStyle* style;
};

thread_local KnownStyle KnownStyles[2];

void ForgetStyle(HWND window) {
    for (KnownStyle& known : KnownStyles) {
        if (known.window == window) {
            known.window = NULL;
            known.style = NULL;
        }
    }
}

// The record for a message of window; WM_NCDESTROY, the last message a window
// gets, still finds it and drops it from the cache.
GuiListboxStyle* StyleOf(HWND window, UINT message) {
    for (const KnownStyle& known : KnownStyles) {
        if (known.window == window) {
            GuiListboxStyle* style = known.style;
            if (message == WM_NCDESTROY) {
                ForgetStyle(window);
            }
            return style;
        }
    }
    GuiListboxStyle* style = static_cast<GuiListboxStyle*>(GetPropA(window, GuiListboxProperty));
    if (style && message != WM_NCDESTROY) {
        KnownStyles[1] = KnownStyles[0];
        KnownStyles[0].window = window;
        KnownStyles[0].style = style;
    }
    return style;
}

} // namespace

GuiListbox::GuiListbox(HWND list) : m_setUp(false), m_style(NULL), m_parent(NULL), m_list(list) {
    m_parent = GetParent(list);
    m_setUp = AttachStyle();
}

bool GuiListbox::AttachStyle() {
    GuiListboxStyle* style = new (std::nothrow) GuiListboxStyle();
    ListStore* entries = new (std::nothrow) ListStore();
    if (!style || !entries) {
        delete style;
        delete entries;
        return false;
    }
    // Entries the list box held before are taken over as they are.
    const LRESULT held = SendMessageA(m_list, LB_GETCOUNT, 0, 0);
    for (LRESULT k = 0; k < held; ++k) {
        char text[PaintTextSize] = {};
        LRESULT length = SendMessageA(m_list, LB_GETTEXTLEN, k, 0);
        if (length >= 0 && length < PaintTextSize) {
            SendMessageA(m_list, LB_GETTEXT, k, reinterpret_cast<LPARAM>(text));
        }
        entries->Insert(static_cast<size_t>(k), text);
    }
    style->entries = entries;
    style->redrawWanted = true;
    style->redrawDeferred = false;
    m_style = style;
    style->listWindow = m_list;
    style->topMargin = 3;
    style->bottomMargin = 3;
    style->leftMargin = 5;
    style->rightMargin = 5;

    style->normalPen = CreatePen(PS_SOLID, 0, LightGrey);
    style->selectedPen = CreatePen(PS_SOLID, 0, DarkGrey);
    style->selectedTextColor = RGB(255, 255, 255); // white on the dark bar
    style->normalTextColor = RGB(0, 0, 0);
    LOGBRUSH brush = {BS_SOLID, LightGrey, 0};
    style->normalBrush = CreateBrushIndirect(&brush);
    brush.lbColor = DarkGrey;
    style->selectedBrush = CreateBrushIndirect(&brush);
    try {
        for (const VerdictTone& verdict : VerdictTones) {
            const char* word = LoadText(verdict.word);
            style->verdictMarks.push_back(word ? std::string(word) + " <- " : std::string());
        }
    } catch (const std::bad_alloc&) {
        style->verdictMarks.clear(); // the lines are drawn in black
    }

    // The record is in place before either procedure can be called with it.
    ForgetStyle(m_parent);
    ForgetStyle(m_list);
    SetPropA(m_parent, GuiListboxProperty, style);
    SetPropA(m_list, GuiListboxProperty, style);
    style->parentProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListParentProc)));
    style->listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListBoxProc)));

    // The bars need the margins around the height the system chose for the font.
    LRESULT height = SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0);
    SendMessageA(m_list, LB_SETITEMHEIGHT, 0, MAKELPARAM(style->topMargin + height + style->bottomMargin, 0));
    style->dpi = WindowDpi(m_list);
    return true;
}

LRESULT GuiListbox::AddEntry(const char* text) {
    if (strlen(text) >= static_cast<size_t>(PathBufferSize)) {
        return LB_ERR;
    }
    return SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

LRESULT GuiListbox::InsertEntry(int index, const char* text) {
    if (strlen(text) >= static_cast<size_t>(PathBufferSize)) {
        return LB_ERR;
    }
    return SendMessageA(m_list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
}

LRESULT GuiListbox::ReplaceEntry(int index, const char* text) {
    if (strlen(text) >= static_cast<size_t>(PathBufferSize)) {
        return LB_ERR;
    }
    return SendMessageA(m_list, MSG_REPLACE_ENTRY, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text));
}

const ListStore& GuiListbox::Entries() const { return *m_style->entries; }

LRESULT GuiListbox::DeleteEntry(int index) {
    return SendMessageA(m_list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void GuiListbox::ClearEntries() { SendMessageA(m_list, LB_RESETCONTENT, 0, 0); }

bool GuiListbox::GetEntry(int index, char* buffer) {
    // The length is asked first so that no entry can overrun the caller's
    // buffer. Entries change only on the window thread, and a worker reads them
    // only while it is the list's sole user, so the entry cannot grow between
    // the two messages.
    LRESULT length = SendMessageA(m_list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length >= PathBufferSize) {
        return false;
    }
    return SendMessageA(m_list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)) !=
           LB_ERR;
}

bool GuiListbox::GetSelectedEntry(char* buffer) {
    LRESULT index = SendMessageA(m_list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) {
        return false;
    }
    return GetEntry(static_cast<int>(index), buffer);
}

LRESULT GuiListbox::SetSelection(int index) {
    return SendMessageA(m_list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

LRESULT GuiListbox::EntryCount() { return SendMessageA(m_list, LB_GETCOUNT, 0, 0); }

// Paints one entry as a bar with its text. Focus changes paint nothing: the
// bars carry no focus rectangle.
static void DrawEntry(const GuiListboxStyle* style, const DRAWITEMSTRUCT* item) {
    const ListStore& entries = *style->entries;
    const char* entry = item->itemID < entries.Count() ? entries.Text(item->itemID) : "";
    // The narrow call would read the text in the font's code page, not the
    // process's: names in other scripts are drawn through UTF-16.
    const std::wstring text = ToWide(entry);

    RECT textRect = item->rcItem;
    textRect.left += style->leftMargin;
    textRect.top += style->topMargin;
    textRect.right -= style->rightMargin;
    textRect.bottom -= style->bottomMargin;

    HDC dc = item->hDC;
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT) {
        return;
    }

    // One pixel of the list's background stays free on every side of a bar.
    const RECT& bar = item->rcItem;
    // A verdict shows without reading it, in its tone.
    COLORREF normalText = style->normalTextColor, selectedText = style->selectedTextColor;
    for (size_t v = 0; v < style->verdictMarks.size(); ++v) {
        const std::string& mark = style->verdictMarks[v];
        if (!mark.empty() && strncmp(entry, mark.c_str(), mark.size()) == 0) {
            normalText = VerdictTones[v].tone.normal;
            selectedText = VerdictTones[v].tone.selected;
            break;
        }
    }
    HGDIOBJ oldPen = SelectObject(dc, style->normalPen);
    HGDIOBJ oldBrush = SelectObject(dc, style->normalBrush);
    Rectangle(dc, bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1);
    COLORREF oldColor = SetTextColor(dc, normalText);
    DrawTextW(dc, text.c_str(), -1, &textRect, EntryTextFlags);

    if (item->itemState & ODS_SELECTED) {
        SelectObject(dc, style->selectedPen);
        SelectObject(dc, style->selectedBrush);
        Rectangle(dc, bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1);
        SetTextColor(dc, selectedText);
        DrawTextW(dc, text.c_str(), -1, &textRect, EntryTextFlags);
    }

    SetTextColor(dc, oldColor);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

// An owner-drawn list keeps the item height it was given whatever font it gets
// later, so after a move to another DPI the height is scaled here.
static void ScaleItemHeight(GuiListboxStyle* style, UINT dpi) {
    if (dpi == 0 || style->dpi == 0 || dpi == style->dpi) {
        return;
    }
    LRESULT height = SendMessageA(style->listWindow, LB_GETITEMHEIGHT, 0, 0);
    if (height != LB_ERR) {
        const int scaled =
            MulDiv(static_cast<int>(height), static_cast<int>(dpi), static_cast<int>(style->dpi));
        SendMessageA(style->listWindow, LB_SETITEMHEIGHT, 0, MAKELPARAM(scaled, 0));
    }
    style->dpi = dpi;
}

LRESULT CALLBACK ListParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GuiListboxStyle* style = StyleOf(window, message);
    if (!style) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // The list box keeps each entry's text itself and the program hangs no
    // data on entries, so a removed entry leaves nothing to release. Clearing
    // or destroying the list sends one of these per entry, and the procedures
    // behind this one read a window property on every message: a server round
    // trip under Wine, seconds for a list of 100,000.
    if (message == WM_DELETEITEM) {
        const DELETEITEMSTRUCT* item = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_LISTBOX && item->hwndItem == style->listWindow) {
            return TRUE;
        }
    }
    if (message == WM_DRAWITEM) {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->itemID != static_cast<UINT>(-1) && item->CtlType == ODT_LISTBOX &&
            item->hwndItem == style->listWindow) {
            DrawEntry(style, item);
            return TRUE;
        }
    }
    if (message == WM_DPICHANGED) {
        ScaleItemHeight(style, LOWORD(wParam));
    }
    return CallWindowProcA(style->parentProc, window, message, wParam, lParam);
}

namespace {

// The list box's own procedure, behind ListBoxProc.
LRESULT CallList(const GuiListboxStyle* style, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(style->listProc, style->listWindow, message, wParam, lParam);
}

// LB_ADDSTRING and LB_INSERTSTRING: the list box gets an empty entry, the
// store the text.
LRESULT AddText(GuiListboxStyle* style, UINT message, WPARAM wParam, const char* text) {
    LRESULT index = CallList(style, message, wParam, reinterpret_cast<LPARAM>(""));
    if (index >= 0 && !style->entries->Insert(static_cast<size_t>(index), text ? text : "")) {
        CallList(style, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
        return LB_ERRSPACE;
    }
    return index;
}

LRESULT ReplaceText(GuiListboxStyle* style, WPARAM index, const char* text) {
    ListStore& entries = *style->entries;
    if (index >= entries.Count() || !entries.Replace(index, text)) {
        return LB_ERR;
    }
    if (CallList(style, LB_GETCURSEL, 0, 0) == static_cast<LRESULT>(index)) {
        CallList(style, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
    // Only an entry in view is repainted: under Wine each invalidation is a call to the server,
    // and a run replaces thousands of entries a second, nearly all of them out of view.
    RECT item, client;
    if (CallList(style, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) != LB_ERR &&
        GetClientRect(style->listWindow, &client) && IntersectRect(&item, &item, &client)) {
        InvalidateRect(style->listWindow, &item, TRUE);
    }
    return static_cast<LRESULT>(index);
}

// LB_FINDSTRING and LB_FINDSTRINGEXACT: the first entry after start, going
// round, that begins with text (or is text), case aside; LB_ERR when none.
LRESULT FindText(const ListStore& entries, WPARAM start, const char* text, bool exact) {
    const size_t count = entries.Count();
    const size_t length = strlen(text);
    const size_t first = start < count ? start + 1 : 0;
    for (size_t k = 0; k < count; ++k) {
        const size_t index = (first + k) % count;
        const char* entry = entries.Text(index);
        if (exact ? lstrcmpiA(entry, text) == 0
                  : CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entry,
                                   static_cast<int>(strnlen(entry, length)), text,
                                   static_cast<int>(length)) == CSTR_EQUAL) {
            return static_cast<LRESULT>(index);
        }
    }
    return LB_ERR;
}

// A typed character selects the next entry that begins with it, as the list
// box does for the strings it keeps itself.
void SelectByCharacter(GuiListboxStyle* style, char typed) {
    const char text[2] = {typed, '\0'};
    const LRESULT caret = CallList(style, LB_GETCARETINDEX, 0, 0);
    const LRESULT found = FindText(*style->entries, static_cast<WPARAM>(caret), text, false);
    if (found == LB_ERR || found == CallList(style, LB_GETCURSEL, 0, 0)) {
        return;
    }
    CallList(style, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    if (GetWindowLongA(style->listWindow, GWL_STYLE) & LBS_NOTIFY) {
        SendMessageA(GetParent(style->listWindow), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(style->listWindow), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(style->listWindow));
    }
}

// LB_DIR, which the list box would list into its own strings: the names that
// match the pattern, folders as "[name]" when asked for.
LRESULT ListFolder(GuiListboxStyle* style, WPARAM attributes, const char* pattern) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileExA(pattern, FindExInfoBasic, &found, FindExSearchNameMatch, NULL,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return LB_ERR;
    }
    LRESULT last = LB_ERR;
    do {
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (folder && (!(attributes & DDL_DIRECTORY) || strcmp(found.cFileName, ".") == 0)) {
            continue;
        }
        if (!folder && (attributes & DDL_EXCLUSIVE)) {
            continue;
        }
        const std::string name = folder ? "[" + std::string(found.cFileName) + "]" : found.cFileName;
        last = AddText(style, LB_ADDSTRING, 0, name.c_str());
        if (last < 0) {
            break;
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return last;
}

// The text messages, answered from the store; -2 for a message left to the list box.
const LRESULT NotText = -2;

// A change of the entries while the callers want painting: the list box
// stops painting until the posted MSG_LIST_REDRAW.
void DeferRedraw(GuiListboxStyle* style) {
    if (style->redrawWanted && !style->redrawDeferred &&
        PostMessageA(style->listWindow, MSG_LIST_REDRAW, 0, 0)) {
        style->redrawDeferred = true;
        CallList(style, WM_SETREDRAW, FALSE, 0);
    }
}

LRESULT AnswerText(GuiListboxStyle* style, UINT message, WPARAM wParam, LPARAM lParam) {
    ListStore& entries = *style->entries;
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_DIR:
        DeferRedraw(style);
        break;
    case WM_SETREDRAW:
        style->redrawWanted = wParam != 0;
        style->redrawDeferred = false;
        return NotText;
    case MSG_LIST_REDRAW:
        if (style->redrawDeferred) {
            style->redrawDeferred = false;
            CallList(style, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(style->listWindow, NULL, TRUE);
        }
        return 0;
    default:
        break;
    }
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        return AddText(style, message, wParam, reinterpret_cast<const char*>(lParam));
    case MSG_REPLACE_ENTRY:
        return ReplaceText(style, wParam, reinterpret_cast<const char*>(lParam));
    case LB_DELETESTRING: {
        LRESULT left = CallList(style, message, wParam, lParam);
        if (left != LB_ERR && wParam < entries.Count()) {
            entries.Erase(wParam);
        }
        return left;
    }
    case LB_RESETCONTENT:
        CallList(style, message, wParam, lParam);
        entries.Clear();
        return 0;
    case LB_GETTEXTLEN:
        return wParam < entries.Count() ? static_cast<LRESULT>(strlen(entries.Text(wParam))) : LB_ERR;
    case LB_GETTEXT: {
        if (wParam >= entries.Count() || !lParam) {
            return LB_ERR;
        }
        const char* text = entries.Text(wParam);
        const size_t length = strlen(text);
        memcpy(reinterpret_cast<char*>(lParam), text, length + 1);
        return static_cast<LRESULT>(length);
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return lParam ? FindText(entries, wParam, reinterpret_cast<const char*>(lParam),
                                 message == LB_FINDSTRINGEXACT)
                      : LB_ERR;
    case LB_SELECTSTRING: {
        LRESULT found =
            lParam ? FindText(entries, wParam, reinterpret_cast<const char*>(lParam), false) : LB_ERR;
        return found == LB_ERR ? LB_ERR : CallList(style, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
    case LB_DIR:
        return lParam ? ListFolder(style, wParam, reinterpret_cast<const char*>(lParam)) : LB_ERR;
    case WM_CHAR:
        if (wParam >= ' ') {
            SelectByCharacter(style, static_cast<char>(wParam));
            return 0;
        }
        return NotText;
    default:
        return NotText;
    }
}

} // namespace

LRESULT CALLBACK ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GuiListboxStyle* style = StyleOf(window, message);
    if (!style) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT answer = AnswerText(style, message, wParam, lParam);
    if (answer != NotText) {
        return answer;
    }
    // Every visible entry is cut to the list's width, so a resize repaints
    // them all, not only what the list box itself invalidates.
    if (message == WM_SIZE) {
        InvalidateRect(window, NULL, TRUE);
    }
    return CallWindowProcA(style->listProc, window, message, wParam, lParam);
}
