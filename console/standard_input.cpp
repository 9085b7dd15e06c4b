#include "console/standard_input.h"

#include <windows.h>

#include <string.h>

#include "console/stop_request.h"

namespace {

const DWORD ChunkSize = 64 * 1024;
const DWORD StopLook = 50;     // milliseconds between looks at the stop request while a read waits
const char EndOfText = '\x1a'; // Ctrl+Z, which ends what a console user types

typedef void (*TakeBytes)(const char* bytes, DWORD length, void* context);

// The reads of standard input run on a thread of their own, one piece at a time, so that a stop
// never waits for a pipe or a console that delivers nothing (not every platform cancels such a
// read). A stopped program leaves that thread in its read: it touches nothing but what is here.
struct InputReader {
    HANDLE thread;
    HANDLE ready; // a piece (or the end) is in chunk
    HANDLE more;  // the piece was taken: read the next
    char chunk[ChunkSize];
    DWORD length;
    bool read; // the last read succeeded
} Reader = {NULL, NULL, NULL, {}, 0, false};

DWORD WINAPI ReadPieces(LPVOID) {
    for (;;) {
        Reader.read =
            ReadFile(GetStdHandle(STD_INPUT_HANDLE), Reader.chunk, ChunkSize, &Reader.length, NULL) ||
            GetLastError() == ERROR_BROKEN_PIPE; // a closed pipe is the end
        Reader.length = Reader.read ? Reader.length : 0;
        SetEvent(Reader.ready);
        WaitForSingleObject(Reader.more, INFINITE);
    }
}

// Reads standard input to its end, handing each piece to take; false when a
// read failed or a stop came. Ctrl+Z typed on a console is the end as well.
bool ReadInput(TakeBytes take, void* context) {
    if (!Reader.thread) {
        Reader.ready = CreateEventA(NULL, FALSE, FALSE, NULL);
        Reader.more = CreateEventA(NULL, FALSE, FALSE, NULL);
        Reader.thread = Reader.ready && Reader.more ? CreateThread(NULL, 0, ReadPieces, NULL, 0, NULL) : NULL;
        if (!Reader.thread) {
            return false;
        }
    } else {
        SetEvent(Reader.more); // standard input given twice: the second time it is at its end
    }
    const bool console = InputIsConsole();
    for (;;) {
        DWORD waited = WAIT_TIMEOUT;
        while (waited == WAIT_TIMEOUT && !StopRequested()) {
            waited = WaitForSingleObject(Reader.ready, StopLook);
        }
        if (waited != WAIT_OBJECT_0 || !Reader.read) {
            return false;
        }
        const DWORD length = Reader.length;
        const char* end = console ? static_cast<const char*>(memchr(Reader.chunk, EndOfText, length)) : NULL;
        take(Reader.chunk, end ? static_cast<DWORD>(end - Reader.chunk) : length, context);
        if (length == 0 || end) {
            return true;
        }
        SetEvent(Reader.more);
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
