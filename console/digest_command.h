#pragma once

#include "base/digest_file.h"

// Digests the file at path into digestor, showing progress and honouring a
// stop (FileStopped); FileOpenFailed when it cannot be opened.
FileOutcome DigestPath(const char* path, IDigestor* digestor);

// DigestorCmd [-a ALG] [-o LIST] [-q] PATH...: one line per file on standard
// output, a folder walked as the window walks it; with listPath the lines go
// there too, under the window's heading, once all are done. quiet leaves out
// the result lines. Returns the exit code.
int DigestPaths(char** paths, int count, DigestKind kind, const char* listPath, bool quiet);
