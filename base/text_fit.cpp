#include "base/text_fit.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// A field gives at most this share of its width or height to the texts beside or above it.
const int FieldShareGiven = 2; // a half

enum ControlKind { NoText, Label, PushButton, CheckBox, GroupBox };

bool ClassIs(HWND control, const char* name) {
    char found[32] = "";
    GetClassNameA(control, found, sizeof found);
    return lstrcmpiA(found, name) == 0;
}

ControlKind KindOf(HWND control) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (ClassIs(control, "Static")) {
        const LONG type = style & SS_TYPEMASK;
        const bool text = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ||
                          type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
        return text ? Label : NoText;
    }
    if (!ClassIs(control, "Button")) {
        return NoText;
    }
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return PushButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return CheckBox;
    case BS_GROUPBOX:
        return GroupBox;
    default:
        return NoText;
    }
}

// An edit, a bar or a list still shows what it shows a little narrower or shorter.
bool GivesRoom(HWND control) {
    return ClassIs(control, "Edit") || ClassIs(control, PROGRESS_CLASSA) || ClassIs(control, WC_LISTVIEWA) ||
           ClassIs(control, "ListBox");
}

// A plain left, centred or right label: one kept to a line by vertical centring or an ellipsis is not.
bool MayWrap(HWND control) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const LONG type = style & SS_TYPEMASK;
    return KindOf(control) == Label && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) &&
           !(style & (SS_CENTERIMAGE | SS_ELLIPSISMASK));
}

// By style: the dialog is not shown yet while it is dressed.
bool Shown(HWND control) { return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

UINT PrefixFormat(HWND control) {
    return KindOf(control) == Label && (GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX) ? DT_NOPREFIX : 0;
}

RECT ChildRect(HWND dialog, HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    // Two points: a mirrored dialog's left and right come back in its own (mirrored) sense.
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Resize(HWND control, int width, int height) {
    SetWindowPos(control, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Move(HWND control, int x, int y) {
    SetWindowPos(control, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

int Rightmost(HWND dialog, const std::vector<HWND>& children) {
    int rightmost = 0;
    for (HWND child : children) {
        const RECT rect = ChildRect(dialog, child);
        rightmost = rect.right > rightmost ? rect.right : rightmost;
    }
    return rightmost;
}

// The control's text now and those it shows later.
std::vector<std::wstring> TextsOf(HWND control, const std::vector<LaterText>& later) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(control, &text[0], length + 1));
    std::vector<std::wstring> texts(1, text);
    for (const LaterText& shown : later) {
        if (shown.controlId == GetDlgCtrlID(control)) {
            texts.push_back(shown.text);
        }
    }
    return texts;
}

// The text's extent in the control's font: one line, or wrapped at width with its height.
SIZE TextExtent(HWND control, const std::wstring& text, UINT format, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : NULL;
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    if (previous) {
        SelectObject(dc, previous);
    }
    ReleaseDC(control, dc);
    SIZE extent = {rect.right - rect.left, rect.bottom - rect.top};
    return extent;
}

// Widens control by delta pixels (narrows it where delta is negative): what begins at or beyond its
// right edge in the same band moves along, and a group box that holds it grows with it.
void Widen(HWND dialog, const std::vector<HWND>& children, HWND control, int delta) {
    const RECT rect = ChildRect(dialog, control);
    Resize(control, rect.right - rect.left + delta, rect.bottom - rect.top);
    for (HWND other : children) {
        const RECT there = ChildRect(dialog, other);
        const bool sameBand = there.top < rect.bottom && there.bottom > rect.top;
        if (other == control || !sameBand) {
            continue;
        }
        if (there.left >= rect.right) {
            Move(other, there.left + delta, there.top);
        } else if (there.left <= rect.left && there.right >= rect.right && KindOf(other) == GroupBox) {
            Resize(other, there.right - there.left + delta, there.bottom - there.top);
        }
    }
}

// A band that runs past limit since control widened takes the overflow from its widest field, or,
// where no field can spare it, from control, which then wraps if it may (GrowLabels).
void KeepWithin(HWND dialog, const std::vector<HWND>& children, HWND control, int limit) {
    const RECT rect = ChildRect(dialog, control);
    int right = 0, fieldWidth = 0;
    HWND field = NULL;
    for (HWND other : children) {
        const RECT there = ChildRect(dialog, other);
        if (!Shown(other) || there.top >= rect.bottom || there.bottom <= rect.top) {
            continue;
        }
        right = there.right > right ? there.right : right;
        if (GivesRoom(other) && there.right - there.left > fieldWidth) {
            field = other;
            fieldWidth = there.right - there.left;
        }
    }
    const int overflow = right - limit;
    if (overflow > 0) {
        Widen(dialog, children, field && overflow <= fieldWidth / FieldShareGiven ? field : control,
              -overflow);
    }
}

// Moves every control but except whose top is at or below edge by delta pixels down.
void ShiftBelow(HWND dialog, const std::vector<HWND>& children, int edge, int delta, HWND except) {
    for (HWND other : children) {
        const RECT there = ChildRect(dialog, other);
        if (other != except && there.top >= edge) {
            Move(other, there.left, there.top + delta);
        }
    }
}

// In a window that keeps its size: each label that may wrap takes the lines its widest text needs,
// what lies below moves down, and the fields give the height back.
void GrowLabels(HWND dialog, const std::vector<HWND>& children, const std::vector<LaterText>& later) {
    int grown = 0;
    for (HWND control : children) {
        if (!Shown(control) || !MayWrap(control)) {
            continue;
        }
        const RECT rect = ChildRect(dialog, control);
        int needed = rect.bottom - rect.top;
        for (const std::wstring& text : TextsOf(control, later)) {
            const int height =
                TextExtent(control, text, DT_WORDBREAK | PrefixFormat(control), rect.right - rect.left).cy;
            needed = height > needed ? height : needed;
        }
        const int growth = needed - (rect.bottom - rect.top);
        if (growth > 0) {
            Resize(control, rect.right - rect.left, needed);
            ShiftBelow(dialog, children, rect.bottom, growth, control);
            grown += growth;
        }
    }
    // The fields give it back, the tallest first, each at most its share.
    std::vector<HWND> given;
    while (grown > 0) {
        HWND field = NULL;
        int fieldHeight = 0;
        for (HWND other : children) {
            const RECT there = ChildRect(dialog, other);
            const bool gaveAlready = std::find(given.begin(), given.end(), other) != given.end();
            if (Shown(other) && GivesRoom(other) && !gaveAlready && there.bottom - there.top > fieldHeight) {
                field = other;
                fieldHeight = there.bottom - there.top;
            }
        }
        if (!field) {
            return;
        }
        const RECT rect = ChildRect(dialog, field);
        const int share = grown < fieldHeight / FieldShareGiven ? grown : fieldHeight / FieldShareGiven;
        Resize(field, rect.right - rect.left, fieldHeight - share);
        ShiftBelow(dialog, children, rect.bottom, -share, field);
        given.push_back(field);
        grown -= share;
    }
}

} // namespace

int NeededWidth(HWND control, const std::wstring& text) {
    const ControlKind kind = KindOf(control);
    if (kind == NoText || text.empty()) {
        return 0;
    }
    const UINT prefix = PrefixFormat(control);
    const SIZE line = TextExtent(control, text, DT_SINGLELINE | prefix, 0);
    RECT client = {};
    GetClientRect(control, &client);
    switch (kind) {
    case Label:
        if (MayWrap(control) && client.bottom >= 2 * line.cy &&
            TextExtent(control, text, DT_WORDBREAK | prefix, client.right).cy <= client.bottom) {
            return client.right;
        }
        return line.cx;
    case PushButton: // the frame and focus rectangle take about half a line on each side
        return line.cx + line.cy + 2 * GetSystemMetrics(SM_CXEDGE);
    case CheckBox: // the glyph, then a gap of a third of a line
        return line.cx + GetSystemMetrics(SM_CXMENUCHECK) + line.cy / 3 + GetSystemMetrics(SM_CXEDGE);
    case GroupBox: // the title sits inset by half a line from the frame, with a gap on each side
        return line.cx + 2 * line.cy;
    default:
        return 0;
    }
}

void FitTexts(HWND dialog, const std::vector<LaterText>& later, FitRoom room) {
    RECT client = {};
    GetClientRect(dialog, &client);
    const std::vector<HWND> children = Children(dialog);
    const int margin = client.right - Rightmost(dialog, children);
    for (HWND control : children) {
        if (!Shown(control)) {
            continue;
        }
        int needed = 0;
        for (const std::wstring& text : TextsOf(control, later)) {
            const int width = NeededWidth(control, text);
            needed = width > needed ? width : needed;
        }
        const RECT rect = ChildRect(dialog, control);
        if (needed <= rect.right - rect.left) {
            continue;
        }
        Widen(dialog, children, control, needed - (rect.right - rect.left));
        if (room == FitKeepsWindowSize) {
            KeepWithin(dialog, children, control, client.right - margin);
        }
    }
    if (room == FitKeepsWindowSize) {
        GrowLabels(dialog, children, later);
        return;
    }
    const int growth = Rightmost(dialog, children) + margin - client.right;
    if (growth > 0) {
        RECT frame = {};
        GetWindowRect(dialog, &frame);
        SetWindowPos(dialog, NULL, 0, 0, frame.right - frame.left + growth, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
