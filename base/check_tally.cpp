#include "base/check_tally.h"

#include <stdio.h>

namespace {

const char* const VerdictTexts[] = {"OK", "FAILED", "MISSING", "READ ERROR"};

} // namespace

const char* VerdictText(Verdict verdict) { return VerdictTexts[verdict]; }

void CountVerdict(CheckTally& tally, Verdict verdict) {
    ++tally.checked;
    ++(verdict == VerdictOK ? tally.ok : verdict == VerdictMissing ? tally.missing : tally.failed);
}

std::string TallyLine(const CheckTally& tally) {
    char line[128];
    snprintf(line, sizeof line, "%d checked, %d OK, %d failed, %d missing, %d not checked", tally.checked,
             tally.ok, tally.failed, tally.missing, tally.notChecked);
    return line;
}
