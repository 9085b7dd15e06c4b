// The console program's exit codes, as users of md5sum expect them.
#pragma once

#include "base/check_tally.h"

enum ExitCode { ExitSuccess = 0, ExitFailure = 1, ExitTrouble = 2 };

// ExitSuccess when every checked entry is OK (and one was checked), ExitFailure otherwise.
inline ExitCode CheckExitCode(const CheckTally& tally) {
    return tally.checked > 0 && tally.ok == tally.checked ? ExitSuccess : ExitFailure;
}
