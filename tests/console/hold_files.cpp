// hold_files GO FILE...: opens each FILE without sharing, makes GO.held once all are open, and holds
// them until GO exists (five minutes at most). Exit code 1: a FILE could not be opened.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        if (CreateFileA(argv[i], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL) == INVALID_HANDLE_VALUE) {
            return 1;
        }
    }
    const std::string held = std::string(argv[1]) + ".held";
    CloseHandle(CreateFileA(held.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    for (int i = 0; i < 6000 && GetFileAttributesA(argv[1]) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(50);
    }
    return 0;
}
