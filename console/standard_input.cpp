#include "console/standard_input.h"

#include <windows.h>

#include <string.h>

#include "console/stop_request.h"

namespace {

const DWORD ChunkSize = 64 * 1024;
const char EndOfText = '\x1a'; // Ctrl+Z, which ends what a console user types

typedef void (*TakeBytes)(const char* bytes, DWORD length, void* context);

// Reads standard input to its end, handing each piece to take; false when a
// read failed or a stop came. A closed pipe is the end, as is Ctrl+Z typed on
// a console; Ctrl+C there cancels the read (stop_request) and ends it too.
bool ReadInput(TakeBytes take, void* context) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const bool console = InputIsConsole();
    static char chunk[ChunkSize];
    for (;;) {
        DWORD length = 0;
        if (StopRequested()) {
            return false;
        }
        if (!ReadFile(input, chunk, ChunkSize, &length, NULL)) {
            return GetLastError() == ERROR_BROKEN_PIPE && !StopRequested();
        }
        if (length == 0) {
            return !StopRequested();
        }
        const char* end = console ? static_cast<const char*>(memchr(chunk, EndOfText, length)) : NULL;
        take(chunk, end ? static_cast<DWORD>(end - chunk) : length, context);
        if (end) {
            return !StopRequested();
        }
    }
}

void AppendBytes(const char* bytes, DWORD length, void* context) {
    static_cast<std::string*>(context)->append(bytes, length);
}

void DigestBytes(const char* bytes, DWORD length, void* context) {
    static_cast<IDigestor*>(context)->Update(reinterpret_cast<const uint8_t*>(bytes), length);
}

} // namespace

bool InputIsConsole() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool ReadStandardInput(std::string& bytes) { return ReadInput(AppendBytes, &bytes); }

bool DigestStandardInput(DigestKind kind, std::string& digest) {
    DigestorHolder digestor(kind);
    digestor->Reset();
    if (!ReadInput(DigestBytes, digestor.Get())) {
        return false;
    }
    digestor->Finish();
    digest = digestor->DigestText();
    return true;
}
