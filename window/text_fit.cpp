#include "window/text_fit.h"

#include <string>
#include <vector>

namespace {

enum ControlKind { NoText, Label, PushButton, CheckBox, GroupBox };

ControlKind KindOf(HWND control) {
    char name[16] = "";
    GetClassNameA(control, name, sizeof name);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(name, "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        const bool text = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ||
                          type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
        return text ? Label : NoText;
    }
    if (lstrcmpiA(name, "Button") != 0) {
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

// A label wraps where it has the height of two lines and its style lets it.
bool Wraps(HWND control, int lineHeight, int height) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const LONG type = style & SS_TYPEMASK;
    const bool wrapping = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    return wrapping && !(style & SS_CENTERIMAGE) && height >= 2 * lineHeight;
}

RECT ChildRect(HWND dialog, HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    // Two points: a mirrored dialog's left and right come back in its own (mirrored) sense.
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
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

} // namespace

int NeededWidth(HWND control) {
    const ControlKind kind = KindOf(control);
    const int length = GetWindowTextLengthW(control);
    if (kind == NoText || length == 0) {
        return 0;
    }
    std::wstring text(length + 1, L'\0');
    GetWindowTextW(control, &text[0], length + 1);
    text.resize(length);
    const UINT prefix = GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX && kind == Label ? DT_NOPREFIX : 0;
    const SIZE line = TextExtent(control, text, DT_SINGLELINE | prefix, 0);
    RECT client = {};
    GetClientRect(control, &client);
    switch (kind) {
    case Label:
        if (Wraps(control, line.cy, client.bottom) &&
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

void FitTexts(HWND dialog) {
    RECT client = {};
    GetClientRect(dialog, &client);
    const std::vector<HWND> children = Children(dialog);
    int rightmost = 0, margin = client.right;
    for (HWND child : children) {
        const RECT rect = ChildRect(dialog, child);
        rightmost = rect.right > rightmost ? rect.right : rightmost;
    }
    margin = client.right - rightmost;
    for (HWND control : children) {
        const RECT rect = ChildRect(dialog, control);
        const int deficit = NeededWidth(control) - (rect.right - rect.left);
        if (deficit <= 0 || !(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE)) {
            continue;
        }
        SetWindowPos(control, NULL, 0, 0, rect.right - rect.left + deficit, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // What begins at or beyond its right edge in the same band moves along; a group box that
        // holds the control grows with it.
        for (HWND other : children) {
            const RECT there = ChildRect(dialog, other);
            const bool sameBand = there.top < rect.bottom && there.bottom > rect.top;
            if (other == control || !sameBand) {
                continue;
            }
            if (there.left >= rect.right) {
                SetWindowPos(other, NULL, there.left + deficit, there.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            } else if (there.left <= rect.left && there.right >= rect.right && KindOf(other) == GroupBox) {
                SetWindowPos(other, NULL, 0, 0, there.right - there.left + deficit, there.bottom - there.top,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    }
    rightmost = 0;
    for (HWND child : children) {
        const RECT rect = ChildRect(dialog, child);
        rightmost = rect.right > rightmost ? rect.right : rightmost;
    }
    const int growth = rightmost + margin - client.right;
    if (growth > 0) {
        RECT frame = {};
        GetWindowRect(dialog, &frame);
        SetWindowPos(dialog, NULL, 0, 0, frame.right - frame.left + growth, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
