// A fresh process for the companion library's start-up checks: loads the DLL named on the command
// line, optionally loads the common controls first, calls InitLibrary and StartLibrary by ordinal
// and reports what they answered in its exit code.
//
//   varnolib_probe DLL COMMON START_FIRST
//     COMMON 1: load comctl32 and InitCommonControls first (as the program does); 0: leave it out
//     START_FIRST 1: call StartLibrary(1) once before InitLibrary
//   exit code: bit 0 StartLibrary before InitLibrary accepted, bit 1 InitLibrary(3, 2, 4, 0)
//   accepted, bit 2 StartLibrary(1) afterwards accepted; 100 and up: the probe itself failed.
#include <windows.h>

#include <stdint.h>
#include <stdlib.h>

typedef int32_t (*InitLibraryProc)(int32_t, int32_t, int32_t, int32_t);
typedef int32_t (*StartLibraryProc)(int32_t);
typedef void(WINAPI* InitCommonControlsProc)();

int main(int argc, char** argv) {
    if (argc != 4)
        return 100;
    if (atoi(argv[2]) == 1) {
        // Loaded by name, not imported, so that COMMON 0 leaves comctl32 out of the process.
        HMODULE controls = LoadLibraryA("comctl32.dll");
        if (controls == NULL)
            return 101;
        InitCommonControlsProc init = reinterpret_cast<InitCommonControlsProc>(
            reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControls")));
        if (init == NULL)
            return 101;
        init();
    }
    HMODULE library = LoadLibraryA(argv[1]);
    if (library == NULL)
        return 102;
    InitLibraryProc initLibrary = reinterpret_cast<InitLibraryProc>(
        reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(2))));
    StartLibraryProc startLibrary = reinterpret_cast<StartLibraryProc>(
        reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(10))));
    if (initLibrary == NULL || startLibrary == NULL)
        return 103;

    int result = 0;
    if (atoi(argv[3]) == 1 && startLibrary(1) != 0)
        result |= 1;
    if (initLibrary(3, 2, 4, 0) != 0)
        result |= 2;
    if (startLibrary(1) != 0)
        result |= 4;
    return result;
}
