// The console program's exit codes, as users of md5sum expect them.
#pragma once

#include "base/check_tally.h"

enum ExitCode { ExitSuccess = 0, ExitFailure = 1, ExitTrouble = 2 };

// ExitSuccess when the check passed (MODIFIED and NEW are no failures), ExitFailure otherwise.
inline ExitCode CheckExitCode(const CheckTally& tally) {
    return CheckPassed(tally) ? ExitSuccess : ExitFailure;
}
