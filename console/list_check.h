// The check's portable part: reading a list (one the window saved, in either
// language, one written with -o, or an md5sum file) and adding up verdicts.
// Standard C++ only.
#pragma once

#include <string>
#include <vector>

#include "engine/digestor.h"

// One entry of a list. A result line names the algorithm, the digest it
// expects (in lower case, as DigestText gives it) and the path; any other
// entry (a path not yet digested, a failure line) is not checked, and keeps
// the whole line as its path.
struct ListEntry {
    bool isResult;
    DigestKind algorithm;
    std::string digest;
    std::string path;
};

// The entries of a list's whole text, its lines ending in CR LF or LF. A saved
// list's heading and empty lines are no entries.
std::vector<ListEntry> ReadListText(const std::string& text);

// The algorithm called name, in any case; false when there is none.
bool FindAlgorithm(std::string name, DigestKind& kind);

// Where path, read from the list at listPath, lies: a relative path is taken
// relative to the list's folder.
std::string ResolveEntryPath(const std::string& listPath, const std::string& path);

enum Verdict { VerdictOK, VerdictFailed, VerdictMissing, VerdictReadError };

// The console program's exit codes, as users of md5sum expect them.
enum ExitCode { ExitSuccess = 0, ExitFailure = 1, ExitTrouble = 2 };

struct CheckTally {
    int checked;
    int ok;
    int failed; // READ ERROR included
    int missing;
    int notChecked;
};

const char* VerdictText(Verdict verdict); // what is printed after "path: "
void CountVerdict(CheckTally& tally, Verdict verdict);
// "N checked, N OK, N failed, N missing, N not checked".
std::string TallyLine(const CheckTally& tally);
// ExitSuccess when every checked entry is OK, ExitFailure otherwise.
ExitCode CheckExitCode(const CheckTally& tally);
