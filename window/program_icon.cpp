#include "window/program_icon.h"

#include "res/resource.h"
#include "window/app_state.h"

void SetProgramIcon(HWND window) {
    SetClassLongPtrA(window, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP))));
}
