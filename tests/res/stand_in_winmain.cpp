// Stands in for Digestor.exe in a tree that does not build the program: it
// carries the program's resources, which is all the resource tests look at.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
