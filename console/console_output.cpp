#include "console/console_output.h"

#include <shlwapi.h>
#include <stdio.h>

#include "base/code_page.h"
#include "console/exit_code.h"

namespace {

const ULONGLONG ProgressInterval = 250; // milliseconds
const int ProgressWidth = 79;           // fits a console of 80 columns
const UINT ProgressPathSize = 72;       // compacted path, terminator included

// Asked once: a console mode query per line costs a server call under Wine.
const DWORD StreamIds[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
int Consoles[] = {-1, -1}; // -1 not asked yet

// Redirected standard output goes out in large writes: under Wine every write
// is a server call, which costs more than digesting a small file.
const size_t OutputChunk = 64 * 1024;
std::string PendingOutput;

bool ProgressShown = false;
ULONGLONG LastProgress = GetTickCount64(); // a short run shows none

bool IsConsole(OutputStream stream) {
    if (Consoles[stream] < 0) {
        DWORD mode = 0;
        Consoles[stream] = GetConsoleMode(GetStdHandle(StreamIds[stream]), &mode) ? 1 : 0;
    }
    return Consoles[stream] == 1;
}

// Redirected text goes out as UTF-8, as sha256sum writes it. Standard output
// that cannot take it (a full disk, a closed pipe) ends the program: a script
// must not take lines that never arrived for a clean run.
void WriteBytes(OutputStream stream, const std::string& text) {
    const std::string bytes = ToUtf8(text);
    DWORD written = 0;
    if (!WriteFile(GetStdHandle(StreamIds[stream]), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   NULL) ||
        written != bytes.size()) {
        if (stream == StandardOutput) {
            PendingOutput.clear();
            Complain("cannot write to standard output");
            ExitProcess(ExitTrouble);
        }
    }
}

void Write(OutputStream stream, const std::string& text) {
    HANDLE handle = GetStdHandle(StreamIds[stream]);
    DWORD written = 0;
    if (stream == StandardOutput && !IsConsole(stream)) {
        PendingOutput += text;
        if (PendingOutput.size() >= OutputChunk) {
            FlushOutput();
        }
        return;
    }
    // What was written before stays before.
    FlushOutput();
    if (!IsConsole(stream)) {
        WriteBytes(stream, text);
        return;
    }
    // Through UTF-16, so that a console shows every script.
    const std::wstring wide = ToWide(text);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, NULL);
}

} // namespace

void FlushOutput() {
    if (!PendingOutput.empty()) {
        WriteBytes(StandardOutput, PendingOutput);
        PendingOutput.clear();
    }
}

bool ShowsProgress() { return IsConsole(StandardError); }

void ClearProgress() {
    if (ProgressShown) {
        Write(StandardError, "\r" + std::string(ProgressWidth, ' ') + "\r");
        ProgressShown = false;
    }
}

void PutLine(OutputStream stream, const std::string& line) {
    ClearProgress();
    Write(stream, line + "\r\n");
}

void Complain(const std::string& message) { PutLine(StandardError, "DigestorCmd: " + message); }

void ShowProgress(const char* path, ULONGLONG done, ULONGLONG size) {
    ULONGLONG now = GetTickCount64();
    if (now - LastProgress < ProgressInterval || !ShowsProgress()) {
        return;
    }
    // Several workers report; one shows at a time, the others skip their turn.
    static volatile LONG showing = 0;
    if (InterlockedCompareExchange(&showing, 1, 0) != 0) {
        return;
    }
    LastProgress = now;
    char shown[ProgressPathSize];
    PathCompactPathExA(shown, path, ProgressPathSize, 0);
    char line[ProgressWidth + 2];
    snprintf(line, sizeof line, "\r%3u%% %s", static_cast<unsigned>(size ? done * 100 / size : 0), shown);
    Write(StandardError, line);
    ProgressShown = true;
    InterlockedExchange(&showing, 0);
}
