#include "window/progress_bar.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "window/palette.h"

void DressProgressBar(HWND bar) {
    // One blank as both names matches no theme, which switches visual styles off.
    SetWindowTheme(bar, L" ", L" ");
    SetWindowLongPtrA(bar, GWL_EXSTYLE, WS_EX_NOPARENTNOTIFY);
    SendMessageA(bar, PBM_SETBARCOLOR, 0, DarkGrey);
}
