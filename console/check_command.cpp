#include "console/check_command.h"

#include "base/list_file.h"
#include "base/list_reading.h"
#include "console/console_output.h"
#include "console/digest_command.h"
#include "console/exit_code.h"

namespace {

// Checks the entries of one list into tally; false when a stop ended it.
bool CheckList(const char* list, const std::string& text, bool quiet, CheckTally& tally) {
    const CheckTally before = tally;
    for (const ListEntry& entry : ReadListText(text)) {
        if (!entry.isResult) {
            ++tally.notChecked;
            continue;
        }
        DigestorHolder digestor(entry.algorithm);
        FileOutcome outcome = DigestPath(ResolveEntryPath(list, entry.path).c_str(), digestor.Get());
        if (outcome == FileStopped) {
            return false;
        }
        const Verdict verdict = CheckVerdict(outcome, digestor->DigestText(), entry.digest);
        CountVerdict(tally, verdict);
        if (!quiet || verdict != VerdictOK) {
            PutLine(StandardOutput, entry.path + ": " + VerdictText(verdict));
        }
    }
    // As md5sum does: a list with nothing to check is no success.
    if (tally.checked == before.checked) {
        Complain(std::string("no checksum lines found in ") + list);
    }
    const int notUnderstood = tally.notChecked - before.notChecked;
    if (notUnderstood > 0 && tally.checked > before.checked) {
        Complain(std::string(list) + ": " + std::to_string(notUnderstood) +
                 (notUnderstood == 1 ? " line" : " lines") + " not understood, not checked");
    }
    return true;
}

} // namespace

int CheckLists(char** lists, int count, bool quiet) {
    CheckTally tally = {};
    bool unreadable = false;
    bool stopped = false;
    bool empty = false;
    for (int i = 0; i < count && !stopped; ++i) {
        std::string text;
        if (ReadListFile(lists[i], text)) {
            const int checked = tally.checked;
            stopped = !CheckList(lists[i], text, quiet, tally);
            empty = empty || (!stopped && tally.checked == checked);
        } else {
            Complain(std::string("cannot read the list ") + lists[i]);
            unreadable = true;
        }
    }
    if (stopped) {
        Complain("stopped");
    }
    PutLine(StandardOutput, TallyLine(tally));
    return unreadable ? ExitTrouble : stopped || empty ? ExitFailure : CheckExitCode(tally);
}
