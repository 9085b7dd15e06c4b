#include "window/list_commands.h"

#include <windows.h>

#include "window/app_state.h"
#include "res/resource.h"

namespace {

bool Offered = false; // window thread only

} // namespace

void OfferSaveAndClear(bool offer) {
    Offered = offer;
    UpdateListCommands();
}

bool ListCommandsOffered() { return Offered && !ExpandThread; }

void UpdateListCommands() {
    HMENU menu = GetMenu(MainWindow);
    UINT state = MF_BYCOMMAND | (ListCommandsOffered() ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, IDM_SAVE_LIST, state);
    EnableMenuItem(menu, IDM_CLEAR_LIST, state);
    DrawMenuBar(MainWindow);
}
