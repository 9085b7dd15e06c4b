#include "base/check_tally.h"

#include <stdio.h>

namespace {

const char* const VerdictTexts[] = {"OK", "FAILED", "MISSING", "READ ERROR", "CORRUPTED", "MODIFIED", "NEW"};

} // namespace

const char* VerdictText(Verdict verdict) { return VerdictTexts[verdict]; }

void CountVerdict(CheckTally& tally, Verdict verdict) {
    switch (verdict) {
    case VerdictOK:
        ++tally.ok;
        break;
    case VerdictReadError:
        ++tally.readErrors;
        ++tally.failed;
        break;
    case VerdictFailed:
        ++tally.failed;
        break;
    case VerdictMissing:
        ++tally.missing;
        break;
    case VerdictCorrupted:
        ++tally.corrupted;
        break;
    case VerdictModified:
        ++tally.modified;
        break;
    case VerdictNew:
        // A file the list does not hold: no entry was checked.
        ++tally.added;
        return;
    }
    ++tally.checked;
}

bool CheckPassed(const CheckTally& tally) {
    return tally.checked > 0 && tally.failed == 0 && tally.missing == 0 && tally.corrupted == 0;
}

std::string TallyLine(const CheckTally& tally) {
    char line[256];
    if (tally.recorded) {
        snprintf(
            line, sizeof line,
            "%d checked, %d OK, %d corrupted, %d modified, %d failed, %d missing, %d read errors, %d new, "
            "%d not checked",
            tally.checked, tally.ok, tally.corrupted, tally.modified, tally.failed - tally.readErrors,
            tally.missing, tally.readErrors, tally.added, tally.notChecked);
    } else {
        snprintf(line, sizeof line, "%d checked, %d OK, %d failed, %d missing, %d not checked", tally.checked,
                 tally.ok, tally.failed, tally.missing, tally.notChecked);
    }
    return line;
}
