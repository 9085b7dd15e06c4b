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
    int checked; // entries of the list given a verdict; NEW files are no entries
    int ok;
    int failed; // READ ERROR included
    int missing;
    int notChecked;
    int readErrors; // those of failed that are READ ERROR
    int corrupted;
    int modified;
    int added;     // NEW
    bool recorded; // set by the caller when some entry had a record: the tally says more
};

// "OK", "FAILED", "MISSING", "READ ERROR", "CORRUPTED", "MODIFIED", "NEW".
const char* VerdictText(Verdict verdict);
void CountVerdict(CheckTally& tally, Verdict verdict);
// True when some entry was checked and none FAILED, was CORRUPTED, went
// MISSING or gave a READ ERROR: MODIFIED and NEW are news, not failures.
bool CheckPassed(const CheckTally& tally);
// "N checked, N OK, N failed, N missing, N not checked"; for a recorded list
// "N checked, N OK, N corrupted, N modified, N failed, N missing,
// N read errors, N new, N not checked", its failed without the read errors.
std::string TallyLine(const CheckTally& tally);
