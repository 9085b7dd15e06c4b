#include "app/take_command_line.h"

bool TakeCommandLine(HWND) {
    // Command-line intake is not wired up yet: nothing is listed and no run starts.
    return false;
}
