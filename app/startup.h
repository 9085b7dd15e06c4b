#pragma once

#include <windows.h>

#include "base/program_identity.h"

// The whole start-up: fills the process-wide state, lets the companion
// library check and start itself, loads the language module and runs the
// main window modally. Returns the exit code: 1 after the main window closed,
// 0 when the library refuses or the language module is missing, -1 when the
// main window cannot be created.
int RunDigestor(HINSTANCE instance);
