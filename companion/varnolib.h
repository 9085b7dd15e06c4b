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

#ifdef __cplusplus
static_assert(sizeof(AboutInfo) == 72, "AboutInfo is a 72-byte record");
extern "C" {
#endif

// Ordinal 2. Checks the caller's arguments (3, 2, 4, 0) and the environment; 0 refuses.
VARNOLIB_API int32_t InitLibrary(int32_t a, int32_t b, int32_t c, int32_t d);
// Ordinal 10. Starts the library (argument 1); 0 refuses.
VARNOLIB_API int32_t StartLibrary(int32_t mode);
// Ordinal 11. Anchors count controls of mainWindow by table; from then on every
// resize of mainWindow moves and sizes them. reserved is null; options is 1.
VARNOLIB_API int32_t AttachLayout(HINSTANCE instance, HWND mainWindow, void* reserved, int32_t count,
                                  const LayoutEntry* table, int32_t options);
// Ordinal 15. Gives a window the library's look: (1, 1, 0) for a dialog,
// (2, 0, 0) for a group box, (0, 0, 0) for a list or an edit field.
VARNOLIB_API int32_t StyleWindow(HWND window, int32_t kind, int32_t a, int32_t b);
// Ordinal 12. Places dialog over mainWindow, inside the screen.
VARNOLIB_API int32_t AttachDialog(HWND dialog, HWND mainWindow);
// Ordinal 3. Shows a modal about box; returns when it is closed.
VARNOLIB_API int32_t ShowAboutBox(const AboutInfo* info);

#ifdef __cplusplus
}
#endif
