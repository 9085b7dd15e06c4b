#pragma once

#include "engine/digestor.h"

// The form of a digest run's lines on standard output.
enum LineForm {
    LinesOfWindow, // "digest <- ALG -> path", the path in full, as the window lists it
    LinesOfSum,    // --sum: "digest  path", as sha256sum writes it
    LinesOfTag,    // --tag: "ALG (path) = digest", as sha256sum --tag writes it
};

// What a digest run does with its lines.
struct DigestRequest {
    DigestKind kind;
    LineForm form;
    const char* listPath;   // -o: the lines there too, under the window's heading
    const char* recordPath; // --record: a recorded list of the files there
    bool quiet;             // -q: failures only on standard output
};

// DigestorCmd [-a ALG] [-o LIST | --record LIST | --sum | --tag] [-q] PATH...:
// one line per file on standard output, a folder walked as the window walks
// it, "-" for standard input's bytes, a wildcard in a last name expanded; the
// lists are written as the lines come, into a new file beside each that takes
// its place once all are done (never half a list under the name, nothing kept
// per file). --sum and --tag lines name the files under a relative PATH relative
// as PATH was written, with "/" between names, and leave out what could not be
// read (standard error tells it). Returns the exit code.
int DigestPaths(char** paths, int count, const DigestRequest& request);
