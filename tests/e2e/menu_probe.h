// The request that the menu probe, a small DLL loaded into Digestor by a remote thread, fills in
// there: the menu bar of a window, read by the process that owns it.  Wine keeps a menu's items
// in that process only, so a test cannot read them from outside.
#pragma once

#include <stdint.h>

constexpr int kMenuProbeCommands = 8;
constexpr int kMenuProbeBarItems = 8;
constexpr int kMenuProbeText = 128;

// Plain data at fixed offsets: the test writes and reads it as bytes of Digestor's memory.
struct MenuProbeRequest {
    uint64_t window;                                       // in: the window whose menu bar to read
    uint32_t commandCount;                                 // in: entries of commands used
    uint32_t commands[kMenuProbeCommands];                 // in: command IDs to look up
    uint32_t states[kMenuProbeCommands];                   // out: GetMenuState, 0xFFFFFFFF when absent
    char commandTexts[kMenuProbeCommands][kMenuProbeText]; // out: item texts by command
    int32_t barCount;                                      // out: items of the bar, -1 without menu
    char barTexts[kMenuProbeBarItems][kMenuProbeText];     // out: bar item texts by position
    uint32_t barIds[kMenuProbeBarItems];                   // out: command IDs of bar items (0 for popups)
};

// The probe's exported thread routine, DWORD WINAPI ReadMenuOfWindow(void*): its parameter is a
// MenuProbeRequest, and it returns 1 when the window has a menu.
constexpr const char* kMenuProbeEntry = "ReadMenuOfWindow";
