// What a check of files against a list adds up to, for the window and the
// console alike. Standard C++ only.
#pragma once

#include <string>

enum Verdict { VerdictOK, VerdictFailed, VerdictMissing, VerdictReadError };

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
