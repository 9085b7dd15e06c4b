#pragma once

// What a check does besides its verdicts.
struct CheckRequest {
    bool update;  // --update: the one list is brought up to date afterwards
    bool findNew; // --new: files under a recorded list's folders that it does not name
    bool quiet;   // -q: no OK lines
};

// DigestorCmd -c [-q] LIST...: digests the file of every result line again
// with the line's algorithm and prints "path: OK" (quiet: not those), FAILED,
// MISSING or READ ERROR, then the tally. An entry with a record (a recorded
// list's) is CORRUPTED when its digest differs while its last-write time is
// as recorded, MODIFIED when both differ. Returns the exit code.
int CheckLists(char** lists, int count, const CheckRequest& request);
