// The companion GUI library VarnoLib64.dll: the operations the program imports
// by ordinal, and the records it hands over.
#pragma once

#include <windows.h>

#include <stdint.h>

#ifdef VARNOLIB_BUILD
#define VARNOLIB_API
#else
#define VARNOLIB_API __declspec(dllimport)
#endif

// One row of the table given to AttachLayout: a control and its anchor flags.
struct LayoutEntry {
    int32_t controlId;
    int32_t flags;
};

// Anchor flags of a LayoutEntry.
enum {
    AnchorRight = 1,  // keeps its distance to the right edge
    AnchorBottom = 2, // keeps its distance to the bottom edge
    AnchorWidth = 4,  // widens with the window
    AnchorHeight = 8  // grows taller with the window
};

// What ShowAboutBox shows; read during the call only.
struct AboutInfo {
    HINSTANCE instance;    // program module
    HWND owner;            // the main window
    HICON icon;            // program icon
    const char* title;     // program name and version
    int32_t build;         // build number
    int32_t reserved;      // zero
    const char* copyright; // copyright line
    const char* author;    // author's name
    const char* author2;   // author's name again
    const char* extra;     // extra text, may be null
};

// InitLibrary's arguments: the interface the program was built for.
enum {
    VarnoInterfaceMajor = 3,
    VarnoInterfaceMinor = 2,
    VarnoInterfaceRevision = 4,
    VarnoInterfaceReserved = 0
};

// StartLibrary's one mode.
enum { VarnoStartNormal = 1 };

// AttachLayout's options: the window may not shrink below its size at attach time.
enum { LayoutKeepMinimumSize = 1 };

// StyleWindow's kinds, its second argument.
enum StyleKind {
    StyleControl = 0, // list, edit or static: one-pixel frame instead of sunken 3-D edges
    StyleDialog = 1,  // a dialog; with StyleWithChildren its controls get their flat look too
    StyleGroup = 2    // group box: flat frame line
};

// StyleWindow's third and fourth arguments.
enum {
    StyleAlone = 0,        // only the window itself
    StyleWithChildren = 1, // a dialog's own controls too
    StyleNoOptions = 0     // the fourth argument has no meaning yet
};

#ifdef __cplusplus
static_assert(sizeof(AboutInfo) == 72, "AboutInfo is a 72-byte record");
extern "C" {
#endif

// Ordinal 2. Checks the caller's interface numbers (VarnoInterface...) and the
// environment; 0 refuses.
VARNOLIB_API int32_t InitLibrary(int32_t major, int32_t minor, int32_t revision, int32_t reserved);
// Ordinal 10. Starts the library (VarnoStartNormal); 0 refuses.
VARNOLIB_API int32_t StartLibrary(int32_t mode);
// Ordinal 11. Anchors count controls of mainWindow by table; from then on every
// resize of mainWindow moves and sizes them. reserved is null; options are
// Layout... flags.
VARNOLIB_API int32_t AttachLayout(HINSTANCE instance, HWND mainWindow, void* reserved, int32_t count,
                                  const LayoutEntry* table, int32_t options);
// Ordinal 15. Gives a window the library's look: (StyleDialog, StyleWithChildren)
// for a dialog, (StyleGroup, StyleAlone) for a group box, (StyleControl,
// StyleAlone) for a list or an edit field; options is StyleNoOptions.
VARNOLIB_API int32_t StyleWindow(HWND window, int32_t kind, int32_t scope, int32_t options);
// Ordinal 12. Places dialog over mainWindow, inside the screen.
VARNOLIB_API int32_t AttachDialog(HWND dialog, HWND mainWindow);
// Ordinal 3. Shows a modal about box; returns when it is closed.
VARNOLIB_API int32_t ShowAboutBox(const AboutInfo* info);

#ifdef __cplusplus
}
#endif
