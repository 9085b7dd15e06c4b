#pragma once

#include "engine/digestor.h"

// What a comparison does besides its findings; --quiet and --status keep the meanings they have for -c.
struct CompareCommand {
    const char* original;
    const char* copy;
    DigestKind kind;    // XXH128 unless -a chose another
    const char* record; // --record: a recorded list of the original written in the same read; null for none
    bool verbose;       // -v, --verbose: SAME lines too
    bool quiet;         // -q, --quiet: nothing that is the same
    bool status;        // --status: nothing on either stream but trouble; the exit code tells
};

// DigestorCmd --compare ORIGINAL COPY: a line for each finding on standard output, in path order,
// names relative to each side's root with "/" between them ("DIFFERENT: a/b.txt", "MISSING: empty/",
// "MOVED: old/x -> new/x", "READ ERROR: a/e.txt (copy)"); the counts on standard error in the
// check's words. Exit code 0 only when the copy holds the same content under the same names, 1 when
// anything differs (or Ctrl+C), 2 when a side cannot be read at all, both name the same folder or
// the recorded list cannot be written.
int CompareFolderCommand(const CompareCommand& command);
