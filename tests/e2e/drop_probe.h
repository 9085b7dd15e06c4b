// The request that the drop probe, an export of the probe DLL loaded into Digestor by a remote
// thread, carries out there: drop a list of paths on a window.  A drop handle is memory of the
// process that reads it, so the handle must be built inside Digestor; one built by the test is
// meaningless there.
#pragma once

#include <stdint.h>

// Plain data at fixed offsets, written by the test as bytes of Digestor's memory.  The path list
// follows the header directly: UTF-16 paths, each ending in a zero, then one more zero, as in a
// drop made by the shell.
struct DropProbeRequest {
    uint64_t window;    // in: the window that gets WM_DROPFILES
    uint32_t pathChars; // in: UTF-16 units of the path list, both kinds of terminator included
    uint32_t unused;
};

// The probe's exported thread routine, DWORD WINAPI DropFilesOnWindow(void*): its parameter is a
// DropProbeRequest followed by its path list, and it returns 1 once WM_DROPFILES is posted.
constexpr const char* kDropProbeEntry = "DropFilesOnWindow";
