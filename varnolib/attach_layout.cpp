// AttachLayout: an anchor layout engine. Each listed control keeps the distances to the window
// edges that its flags name, measured once when the layout is attached.
#include "companion/varnolib.h"

#include <new>

namespace {

// The record hangs on the window under this property from AttachLayout until WM_NCDESTROY.
const char* const LayoutProperty = "VarnoLibLayout";

struct LayoutItem {
    int32_t controlId;
    int32_t flags;
    RECT start; // in client coordinates of the window, at attach time
};

struct LayoutRecord {
    WNDPROC previous;     // the window procedure in place before ours
    UINT dpi;             // the DPI the rectangles and sizes below are in
    SIZE startClient;     // client size at attach time
    SIZE startWindow;     // window size at attach time
    bool keepMinimumSize; // answer WM_GETMINMAXINFO with startWindow
    int32_t count;
    LayoutItem* items;
};

void FreeRecord(LayoutRecord* record) {
    delete[] record->items;
    delete record;
}

// A user32 function of a later Windows, or null where the system lacks it. The address goes
// through void*, since FARPROC is not the function's own type.
template <typename Function> Function UserFunction(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

// The DPI a window is drawn at. GetDpiForWindow comes with Windows 10 1607; before it a window is
// drawn at the system's DPI, which the screen's device context reports.
UINT WindowDpi(HWND window) {
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    static const DpiForWindow dpiForWindow = UserFunction<DpiForWindow>("GetDpiForWindow");
    if (dpiForWindow != NULL)
        return dpiForWindow(window);
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return static_cast<UINT>(dpi);
}

// The controls are ours to place: the dialog manager of Windows 10 1703 and later would otherwise
// scale them once more after a DPI change. It still resizes the dialog and hands out the fonts.
void KeepControlsOnDpiChange(HWND window) {
    const int DisableControlRelayout = 4; // DDC_DISABLE_CONTROL_RELAYOUT, as mask and as value
    typedef BOOL(WINAPI * DpiChangeBehavior)(HWND, int, int);
    static const DpiChangeBehavior setBehavior =
        UserFunction<DpiChangeBehavior>("SetDialogDpiChangeBehavior");
    if (setBehavior != NULL)
        setBehavior(window, DisableControlRelayout, DisableControlRelayout);
}

// Everything measured is in pixels of the DPI it was measured at; after a move to a screen of
// another DPI it is scaled, so that the window's next WM_SIZE lays out and limits in new pixels.
void ScaleRecord(LayoutRecord* record, UINT dpi) {
    const int to = static_cast<int>(dpi), from = static_cast<int>(record->dpi);
    if (to == 0 || from == 0 || to == from)
        return;
    for (int32_t i = 0; i < record->count; ++i) {
        RECT& r = record->items[i].start;
        r = {MulDiv(r.left, to, from), MulDiv(r.top, to, from), MulDiv(r.right, to, from),
             MulDiv(r.bottom, to, from)};
    }
    SIZE& client = record->startClient;
    SIZE& frame = record->startWindow;
    client = {MulDiv(client.cx, to, from), MulDiv(client.cy, to, from)};
    frame = {MulDiv(frame.cx, to, from), MulDiv(frame.cy, to, from)};
    record->dpi = dpi;
}

// Where a control goes when the client area has grown by (dx, dy) since attach time. AnchorWidth
// moves only the right edge and AnchorRight both edges; together they mean AnchorWidth, which
// also keeps the distance to the right edge. Likewise for the vertical flags.
RECT Place(const LayoutItem& item, LONG dx, LONG dy) {
    RECT r = item.start;
    if (item.flags & AnchorWidth)
        r.right += dx;
    else if (item.flags & AnchorRight)
        OffsetRect(&r, dx, 0);
    if (item.flags & AnchorHeight)
        r.bottom += dy;
    else if (item.flags & AnchorBottom)
        OffsetRect(&r, 0, dy);
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

// One DeferWindowPos batch, so the controls move together and repaint once. A batch that runs
// out of memory is dropped by the system; the caller then moves the controls one by one.
bool MoveDeferred(HWND window, const LayoutRecord& record, LONG dx, LONG dy) {
    HDWP batch = BeginDeferWindowPos(record.count);
    if (batch == NULL)
        return false;
    for (int32_t i = 0; i < record.count; ++i) {
        HWND control = GetDlgItem(window, record.items[i].controlId);
        if (control == NULL)
            continue;
        const RECT r = Place(record.items[i], dx, dy);
        batch = DeferWindowPos(batch, control, NULL, r.left, r.top, r.right - r.left, r.bottom - r.top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
        if (batch == NULL)
            return false;
    }
    return EndDeferWindowPos(batch) != FALSE;
}

void MoveDirect(HWND window, const LayoutRecord& record, LONG dx, LONG dy) {
    for (int32_t i = 0; i < record.count; ++i) {
        HWND control = GetDlgItem(window, record.items[i].controlId);
        if (control == NULL)
            continue;
        const RECT r = Place(record.items[i], dx, dy);
        SetWindowPos(control, NULL, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ApplyLayout(HWND window, const LayoutRecord& record) {
    RECT client;
    GetClientRect(window, &client);
    const LONG dx = client.right - record.startClient.cx;
    const LONG dy = client.bottom - record.startClient.cy;
    if (!MoveDeferred(window, record, dx, dy))
        MoveDirect(window, record, dx, dy);
    // A grown group box would keep its old frame line inside it: repaint the whole window.
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Measures the listed controls as they are now; controls the window lacks are left out.
bool Measure(HWND window, int32_t count, const LayoutEntry* table, LayoutRecord* record) {
    LayoutItem* items = new (std::nothrow) LayoutItem[count > 0 ? count : 1];
    if (items == NULL)
        return false;
    int32_t found = 0;
    for (int32_t i = 0; i < count; ++i) {
        HWND control = GetDlgItem(window, table[i].controlId);
        if (control == NULL)
            continue;
        LayoutItem& item = items[found++];
        item.controlId = table[i].controlId;
        item.flags = table[i].flags;
        GetWindowRect(control, &item.start);
        MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&item.start), 2);
    }
    RECT client, frame;
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    delete[] record->items;
    record->items = items;
    record->count = found;
    record->startClient = {client.right, client.bottom};
    record->startWindow = {frame.right - frame.left, frame.bottom - frame.top};
    record->dpi = WindowDpi(window);
    return true;
}

// The record of each window is kept at hand beside its property: under Wine every property read
// is a round trip to the server, and the procedure runs on every message of the window. A
// window's messages come on its own thread, so each thread keeps the windows it has met; the
// record of a window stays the same from AttachLayout until WM_NCDESTROY.
struct KnownRecord {
    HWND window;
    LayoutRecord* record;
};

thread_local KnownRecord KnownRecords[2];

LayoutRecord* RecordOf(HWND window) {
    for (const KnownRecord& known : KnownRecords) {
        if (known.window == window)
            return known.record;
    }
    LayoutRecord* record = static_cast<LayoutRecord*>(GetPropA(window, LayoutProperty));
    if (record != NULL) {
        KnownRecords[1] = KnownRecords[0];
        KnownRecords[0] = {window, record};
    }
    return record;
}

void ForgetRecord(HWND window) {
    for (KnownRecord& known : KnownRecords) {
        if (known.window == window)
            known = {NULL, NULL};
    }
}

LRESULT CALLBACK LayoutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LayoutRecord* record = RecordOf(window);
    if (record == NULL) // someone took the property away: nothing left to chain to
        return DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC previous = record->previous;
    switch (message) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            ApplyLayout(window, *record);
        break;
    case WM_GETMINMAXINFO: {
        const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
        if (record->keepMinimumSize) {
            MINMAXINFO* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            if (limits->ptMinTrackSize.x < record->startWindow.cx)
                limits->ptMinTrackSize.x = record->startWindow.cx;
            if (limits->ptMinTrackSize.y < record->startWindow.cy)
                limits->ptMinTrackSize.y = record->startWindow.cy;
        }
        return result;
    }
    case WM_DPICHANGED:
        // Before the window takes its new rectangle further down the chain.
        ScaleRecord(record, LOWORD(wParam));
        break;
    case WM_NCDESTROY:
        // Procedures put in front of ours later still call us, so ours stays in the chain; only
        // the record goes.
        ForgetRecord(window);
        RemovePropA(window, LayoutProperty);
        FreeRecord(record);
        break;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

} // namespace

int32_t AttachLayout(HINSTANCE instance, HWND mainWindow, void* reserved, int32_t count,
                     const LayoutEntry* table, int32_t options) {
    (void)instance; // the controls are found through the window itself
    if (reserved != NULL || !IsWindow(mainWindow) || count < 0 || (count > 0 && table == NULL))
        return 0;

    // A second call on the same window measures anew with the new table and keeps the hook.
    LayoutRecord* record = static_cast<LayoutRecord*>(GetPropA(mainWindow, LayoutProperty));
    if (record != NULL) {
        record->keepMinimumSize = (options & LayoutKeepMinimumSize) != 0;
        return Measure(mainWindow, count, table, record) ? 1 : 0;
    }

    record = new (std::nothrow) LayoutRecord();
    if (record == NULL)
        return 0;
    record->keepMinimumSize = (options & LayoutKeepMinimumSize) != 0;
    if (!Measure(mainWindow, count, table, record) || !SetPropA(mainWindow, LayoutProperty, record)) {
        FreeRecord(record);
        return 0;
    }
    // The procedure goes in last; setting it sends nothing, so the first message that reaches it
    // finds the previous procedure stored. A window always has a procedure: 0 means failure.
    const LONG_PTR previous =
        SetWindowLongPtrA(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LayoutWindowProc));
    if (previous == 0) {
        RemovePropA(mainWindow, LayoutProperty);
        FreeRecord(record);
        return 0;
    }
    record->previous = reinterpret_cast<WNDPROC>(previous);
    KeepControlsOnDpiChange(mainWindow);
    return 1;
}
