#pragma once

#include "engine/digestor.h"

// What a digest run does with its lines.
struct DigestRequest {
    DigestKind kind;
    const char* listPath;   // -o: the lines there too, under the window's heading
    const char* recordPath; // --record: a recorded list of the files there
    bool quiet;             // -q: failures only on standard output
};

// DigestorCmd [-a ALG] [-o LIST | --record LIST] [-q] PATH...: one line per
// file on standard output, a folder walked as the window walks it; the lists
// are written once all are done, safely (never half a list under the name).
// Returns the exit code.
int DigestPaths(char** paths, int count, const DigestRequest& request);
