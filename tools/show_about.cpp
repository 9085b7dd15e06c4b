#include "tools/show_about.h"

#include <string.h>

#include "base/load_text.h"
#include "companion/varnolib.h"
#include "res/resource.h"
#include "res/version.h"
#include "window/app_state.h"

namespace {

// The same maker's line as the version block's.
const char Copyright[] = "Copyright (C) 2013 VIDODi. All rights reserved.";
const char Author[] = "VIDODi";

} // namespace

void ShowAbout(HWND owner) {
    AboutInfo info;
    memset(&info, 0, sizeof info);
    info.instance = AppInstance;
    info.owner = owner;
    info.icon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
    info.title = AppTitle;
    info.build = DIGESTOR_VERSION_BUILD;
    info.copyright = Copyright;
    info.author = Author;
    info.author2 = Author;
    // The box copies what it shows before it returns, so SharedText may be passed.
    info.extra = LoadText(IDS_ABOUT_TEXT);
    ShowAboutBox(&info);
}
