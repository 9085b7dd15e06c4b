// ShowAboutBox: a modal about box built in memory: icon, title, build number, copyright, author,
// the program's extra text and an OK button, sized to its texts.
#include "companion/varnolib.h"

#include <stddef.h>

namespace {

// Everything the box shows, copied before it opens: the caller's record and its texts may change
// while the box is up (the extra text lies in a buffer that every string load overwrites).
struct AboutTexts {
    HICON icon;
    HWND owner;
    char title[256];
    char build[32];
    char copyright[256];
    char author[256];
    char extra[1024];
    bool hasExtra;
    HFONT titleFont; // bold dialog font, made and deleted by the box
};

void CopyText(char* to, size_t capacity, const char* from) {
    lstrcpynA(to, from != NULL ? from : "", static_cast<int>(capacity));
}

// Dialog template with no controls: the controls are made in WM_INITDIALOG, where their texts can
// be measured. Caption and size are set there too.
#pragma pack(push, 2)
struct EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WCHAR caption[1];
    WORD pointSize;
    WCHAR font[13];
};
#pragma pack(pop)

// Dialog units of the layout.
constexpr int Margin = 7;
constexpr int LineGap = 2;
constexpr int ParagraphGap = 6;
constexpr int MinTextWidth = 160;
constexpr int ButtonWidth = 50;
constexpr int ButtonHeight = 14;

// Dialog units of the box's font converted to pixels.
POINT DialogUnits(HWND dialog, int x, int y) {
    RECT r = {0, 0, x, y};
    MapDialogRect(dialog, &r);
    return {r.right, r.bottom};
}

SIZE MeasureText(HDC dc, HFONT font, const char* text, int wrapWidth) {
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    format |= wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE;
    // Measured as the static control draws it: through UTF-16 from the process code page.
    wchar_t wide[2048] = L" ";
    if (text[0] != '\0' && MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 2048) == 0)
        wide[0] = L' ', wide[1] = L'\0';
    DrawTextW(dc, wide, -1, &r, format);
    SelectObject(dc, old);
    return {r.right - r.left, r.bottom - r.top};
}

HWND AddControl(HWND dialog, const char* windowClass, const char* text, DWORD style, int x, int y, int width,
                int height, int id, HFONT font) {
    HWND control = CreateWindowExA(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                   dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), NULL, NULL);
    if (control != NULL)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

HFONT MakeBoldFont(HFONT font) {
    LOGFONTA description;
    if (font == NULL || GetObjectA(font, sizeof(description), &description) == 0)
        return NULL;
    description.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&description);
}

void OnInitDialog(HWND dialog, AboutTexts* texts) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(texts));
    SetWindowTextA(dialog, texts->title);

    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    texts->titleFont = MakeBoldFont(font);
    HFONT titleFont = texts->titleFont != NULL ? texts->titleFont : font;

    const POINT margin = DialogUnits(dialog, Margin, Margin);
    const POINT gap = DialogUnits(dialog, ParagraphGap, LineGap);
    const POINT button = DialogUnits(dialog, ButtonWidth, ButtonHeight);
    const POINT minimum = DialogUnits(dialog, MinTextWidth, 0);
    const int iconSize = GetSystemMetrics(SM_CXICON);

    // The column is as wide as the longest single line, so that none is cut, and at least MinTextWidth;
    // the extra text wraps in it.
    const char* lines[] = {texts->title, texts->build, texts->copyright, texts->author};
    const int lineCount = static_cast<int>(sizeof lines / sizeof lines[0]);
    SIZE lineSize[lineCount];
    HDC dc = GetDC(dialog);
    LONG column = minimum.x;
    for (int i = 0; i < lineCount; ++i) {
        lineSize[i] = MeasureText(dc, i == 0 ? titleFont : font, lines[i], 0);
        if (lineSize[i].cx > column)
            column = lineSize[i].cx;
    }
    const SIZE extraSize = texts->hasExtra ? MeasureText(dc, font, texts->extra, column) : SIZE{0, 0};
    ReleaseDC(dialog, dc);

    HWND iconControl =
        AddControl(dialog, "STATIC", NULL, SS_ICON, margin.x, margin.y, iconSize, iconSize, -1, font);
    SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(texts->icon), 0);

    const int left = margin.x + iconSize + margin.x;
    int y = margin.y;
    for (int i = 0; i < lineCount; ++i) {
        AddControl(dialog, "STATIC", lines[i], SS_LEFTNOWORDWRAP | SS_NOPREFIX, left, y, column,
                   lineSize[i].cy, -1, i == 0 ? titleFont : font);
        y += lineSize[i].cy + (i == 0 ? gap.x : gap.y);
    }
    if (texts->hasExtra) {
        y += gap.x - gap.y;
        AddControl(dialog, "STATIC", texts->extra, SS_LEFT | SS_NOPREFIX, left, y, column, extraSize.cy, -1,
                   font);
        y += extraSize.cy;
    }
    y += margin.y;
    if (y < margin.y + iconSize + margin.y)
        y = margin.y + iconSize + margin.y;

    const int clientWidth = left + column + margin.x;
    AddControl(dialog, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, clientWidth - margin.x - button.x, y,
               button.x, button.y, IDOK, font);
    SendMessageA(dialog, DM_SETDEFID, IDOK, 0);

    RECT frame = {0, 0, clientWidth, y + button.y + margin.y};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    AttachDialog(dialog, texts->owner);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<AboutTexts*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: // Escape and the close box
            EndDialog(dialog, IDOK);
            break;
        }
        return FALSE;
    case WM_DESTROY: {
        AboutTexts* texts = reinterpret_cast<AboutTexts*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (texts != NULL && texts->titleFont != NULL) {
            DeleteObject(texts->titleFont);
            texts->titleFont = NULL;
        }
        return FALSE;
    }
    }
    return FALSE;
}

HINSTANCE LibraryModule() {
    HMODULE module = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&AboutDialogProc), &module);
    return module;
}

} // namespace

int32_t ShowAboutBox(const AboutInfo* info) {
    if (info == NULL)
        return 0;
    AboutTexts texts = {};
    texts.icon = info->icon != NULL ? info->icon : LoadIconA(NULL, IDI_APPLICATION);
    texts.owner = info->owner;
    CopyText(texts.title, sizeof(texts.title), info->title);
    wsprintfA(texts.build, "Build %d", info->build);
    CopyText(texts.copyright, sizeof(texts.copyright), info->copyright);
    CopyText(texts.author, sizeof(texts.author), info->author);
    texts.hasExtra = info->extra != NULL && info->extra[0] != '\0';
    if (texts.hasExtra)
        CopyText(texts.extra, sizeof(texts.extra), info->extra);

    // DWORD-aligned, as dialog templates must be.
    alignas(4) EmptyDialogTemplate dialog = {};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    // An owned dialog takes no mirroring from the process's layout: it follows its owner's.
    if (info->owner != NULL && (GetWindowLongA(info->owner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL))
        dialog.header.dwExtendedStyle = WS_EX_LAYOUTRTL;
    dialog.header.cx = MinTextWidth;
    dialog.header.cy = 60;
    dialog.pointSize = 8;
    const WCHAR fontName[] = L"MS Shell Dlg";
    static_assert(sizeof(fontName) == sizeof(dialog.font), "font name fills the template's font field");
    for (size_t i = 0; i < sizeof(fontName) / sizeof(fontName[0]); ++i)
        dialog.font[i] = fontName[i];

    const INT_PTR result = DialogBoxIndirectParamA(LibraryModule(), &dialog.header, info->owner,
                                                   AboutDialogProc, reinterpret_cast<LPARAM>(&texts));
    return result == IDOK ? 1 : 0;
}
