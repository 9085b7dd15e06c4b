#include <windows.h>

#include "app/startup.h"

// The command line is read by the main window itself (wide, for non-ANSI paths).
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunDigestor(instance); }
