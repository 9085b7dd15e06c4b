#include "console/console_output.h"

#include <shlwapi.h>
#include <stdio.h>

#include "base/code_page.h"
#include "base/utf8.h"
#include "console/exit_code.h"

namespace {

const ULONGLONG ProgressInterval = 250;            // milliseconds, on a console
const ULONGLONG RedirectedProgressInterval = 1000; // a file or pipe keeps every line
const ULONGLONG ProgressAfter = 2000;              // a shorter run shows none by default
const size_t ProgressWidth = 79;                   // fits a console of 80 columns
const size_t ShortestPathShown = 8;                // less room than that shows no path

// Asked once: a console mode query per line costs a server call under Wine.
const DWORD StreamIds[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
int Consoles[] = {-1, -1}; // -1 not asked yet

// Redirected standard output goes out in large writes: under Wine every write
// is a server call, which costs more than digesting a small file.
const size_t OutputChunk = 64 * 1024;
std::string PendingOutput;

ProgressChoice Progress = ProgressOnConsole;
bool ProgressShown = false;
const ULONGLONG ProgramStart = GetTickCount64();
ULONGLONG LastProgress = 0;
SpeedMeter ProgressSpeed;
uint64_t SpeedSampled = 0; // bytes done at the last sample: a new run counts from 0 again

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

void ClearProgress() {
    if (ProgressShown) {
        // A console shows what follows in its place; a file or pipe keeps the last line.
        Write(StandardError,
              IsConsole(StandardError) ? "\r" + std::string(ProgressWidth, ' ') + "\r" : "\r\n");
        ProgressShown = false;
    }
}

void PutLine(OutputStream stream, const std::string& line) {
    // The progress line gives way to a line shown where it is, on the same console or in the same file.
    if (stream == StandardError || IsConsole(StandardOutput)) {
        ClearProgress();
    }
    Write(stream, line + "\r\n");
}

void Complain(const std::string& message) { PutLine(StandardError, "DigestorCmd: " + message); }

void ChooseProgress(ProgressChoice choice) { Progress = choice; }

bool RunProgressDue() {
    if (Progress == ProgressNever ||
        (Progress == ProgressOnConsole &&
         (!IsConsole(StandardError) || GetTickCount64() - ProgramStart < ProgressAfter))) {
        return false;
    }
    const ULONGLONG interval = IsConsole(StandardError) ? ProgressInterval : RedirectedProgressInterval;
    return LastProgress == 0 || GetTickCount64() - LastProgress >= interval;
}

void ShowRunProgress(const RunCounts& counts, const char* path) {
    if (!RunProgressDue()) {
        return;
    }
    // One shows at a time; another caller meanwhile skips its turn.
    static volatile LONG showing = 0;
    if (InterlockedCompareExchange(&showing, 1, 0) != 0) {
        return;
    }
    const ULONGLONG now = GetTickCount64();
    LastProgress = now;
    if (counts.bytesDone < SpeedSampled) {
        ProgressSpeed = SpeedMeter();
    }
    ProgressSpeed.Sample(now, counts.bytesDone);
    SpeedSampled = counts.bytesDone;
    const int64_t left = SecondsLeft(counts, ProgressSpeed);
    const std::string unknown = "...";
    std::string line =
        CountText(counts.filesDone) + "/" + (counts.filesKnown ? CountText(counts.filesAll) : unknown) +
        " files, " + AmountText(counts.bytesDone, '.') + "/" +
        (counts.bytesKnown ? AmountText(counts.bytesAll, '.') : unknown) + ", " +
        (ProgressSpeed.Known() ? AmountText(static_cast<uint64_t>(ProgressSpeed.BytesPerSecond()), '.')
                               : unknown) +
        "/s, " + (left >= 0 ? DurationText(left) : unknown) + " left";
    if (line.size() + 2 + ShortestPathShown <= ProgressWidth && path[0] != '\0') {
        const size_t room = ProgressWidth - line.size() - 2;
        std::string shown(room + 1, '\0');
        PathCompactPathExA(&shown[0], path, static_cast<UINT>(room + 1), 0);
        line += "  " + std::string(shown.c_str());
    }
    // Over the longer line before it, in characters: a UTF-8 name takes fewer columns than bytes.
    const size_t columns = Utf8Characters(line);
    line.append(columns < ProgressWidth ? ProgressWidth - columns : 0, ' ');
    Write(StandardError, "\r" + line);
    ProgressShown = true;
    InterlockedExchange(&showing, 0);
}
