// What a check of files against a list adds up to, for the window and the
// console alike. Standard C++ only.
#pragma once

#include <string>

// The first four for any list; the last three only for recorded lists.
enum Verdict {
    VerdictOK,
    VerdictFailed,
    VerdictMissing,
    VerdictReadError,
    VerdictCorrupted, // the digest differs, the last-write time does not
    VerdictModified,  // the digest and the last-write time differ
    VerdictNew,       // under a recorded folder, not in the list
};

struct CheckTally {
    int checked;
    int ok;
    int failed; // READ ERROR included
    int missing;
    int notChecked;
};

const char* VerdictText(Verdict verdict); // "OK", "FAILED", "MISSING", "READ ERROR"
void CountVerdict(CheckTally& tally, Verdict verdict);
// "N checked, N OK, N failed, N missing, N not checked".
std::string TallyLine(const CheckTally& tally);
