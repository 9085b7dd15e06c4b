#pragma once

// What a check does besides its verdicts. The options keep the meanings
// sha256sum -c gives them.
struct CheckRequest {
    bool update;        // --update: the one list is brought up to date afterwards
    bool findNew;       // --new: files under a recorded list's folders that it does not name
    bool quiet;         // -q, --quiet: no OK lines
    bool status;        // --status: nothing on either stream but trouble; the exit code tells
    bool strict;        // --strict: a line not checked makes the check fail
    bool warn;          // -w, --warn: each line not checked is named on standard error
    bool ignoreMissing; // --ignore-missing: a MISSING file gets no line and is no failure
};

// DigestorCmd -c [-q] LIST...: digests the file of every result line again
// with the line's algorithm and prints "path: OK" (quiet: not those), FAILED,
// MISSING or READ ERROR on standard output, and on standard error what each
// list held that was not checked, not read or did not match (in sha256sum's
// words), then the tally. An entry with a record (a recorded list's) is
// CORRUPTED when its digest differs while its last-write time is as recorded,
// MODIFIED when both differ. A LIST "-" is read from standard input, its
// relative paths taken from the current folder. Returns the exit code.
int CheckLists(char** lists, int count, const CheckRequest& request);
