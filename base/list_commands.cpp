#include "base/list_commands.h"

#include <windows.h>

#include "base/app_state.h"
#include "res/resource.h"

void OfferSaveAndClear(bool offer) {
    HMENU menu = GetMenu(MainWindow);
    UINT state = MF_BYCOMMAND | (offer ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, IDM_SAVE_LIST, state);
    EnableMenuItem(menu, IDM_CLEAR_LIST, state);
    DrawMenuBar(MainWindow);
}
