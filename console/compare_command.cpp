#include "console/compare_command.h"

#include <string>

#include "compare/folder_compare.h"
#include "console/console_output.h"
#include "console/exit_code.h"
#include "console/stop_request.h"

namespace {

// By CompareVerdict: the words of the lines, as the check's are English whatever the system's language.
const char* const VerdictWords[] = {"SAME", "DIFFERENT", "MISSING", "EXTRA", "MOVED", "READ ERROR"};

std::string Slashed(std::string path) {
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

void PutFinding(const CompareFinding& finding, void* context) {
    const CompareCommand& command = *static_cast<const CompareCommand*>(context);
    const bool same = finding.verdict == CompareSame && !finding.otherForm;
    if (command.status || (same && (!command.verbose || command.quiet))) {
        return;
    }
    std::string line = std::string(VerdictWords[finding.verdict]) + ": " + Slashed(finding.path);
    if (finding.verdict == CompareMoved) {
        line += " -> " + Slashed(finding.copyPath);
    } else if (finding.verdict == CompareReadError) {
        line += finding.side == SideOriginal ? " (original)" : " (copy)";
    }
    if (finding.otherForm) {
        line += " (in the copy in another Unicode form: " + Slashed(finding.copyPath) + ")";
    }
    PutLine(StandardOutput, line);
}

// The console's progress line, as every run shows it.
void ShowCompareProgress(const RunCounts& counts, const char* path, void*) { ShowRunProgress(counts, path); }

// "12 compared, 9 same, 1 different, 1 missing, 1 extra, 0 moved, 0 read errors", and the names in
// another Unicode form where there are any.
std::string CompareTallyLine(const CompareTally& tally) {
    const int compared =
        tally.same + tally.different + tally.missing + tally.extra + tally.moved + tally.readErrors;
    std::string line = std::to_string(compared) + " compared, " + std::to_string(tally.same) + " same, " +
                       std::to_string(tally.different) + " different, " + std::to_string(tally.missing) +
                       " missing, " + std::to_string(tally.extra) + " extra, " + std::to_string(tally.moved) +
                       " moved, " + std::to_string(tally.readErrors) + " read errors";
    if (tally.otherForms > 0) {
        line += ", " + std::to_string(tally.otherForms) + " in another Unicode form";
    }
    return line;
}

} // namespace

int CompareFolderCommand(const CompareCommand& command) {
    const CompareRequest request = {command.original, command.copy, command.kind,
                                    command.record ? command.record : ""};
    const CompareSink sink = {PutFinding, ShowCompareProgress, const_cast<CompareCommand*>(&command)};
    CompareTally tally;
    bool copyInside = false;
    const CompareOutcome outcome = CompareFolders(request, sink, tally, copyInside);
    switch (outcome) {
    case CompareOriginalUnreadable:
        Complain(std::string("cannot read the original ") + command.original);
        return ExitTrouble;
    case CompareCopyUnreadable:
        Complain(std::string("cannot read the copy ") + command.copy);
        return ExitTrouble;
    case CompareSameFolder:
        Complain(std::string("the original and the copy are the same: ") + command.original);
        return ExitTrouble;
    default:
        break;
    }
    if (copyInside && !command.status) {
        Complain(std::string("the copy ") + command.copy + " lies inside the original " + command.original +
                 ": it is left out of the original's files");
    }
    if (outcome == CompareStopped) {
        Complain(StopRequested() ? "stopped" : "not enough memory");
    }
    if (outcome == CompareRecordFailed) {
        Complain(std::string("cannot write the list ") + command.record);
    }
    if (!command.status) {
        PutLine(StandardError, CompareTallyLine(tally));
    }
    return outcome == CompareRecordFailed ? ExitTrouble
           : outcome == CompareStopped    ? ExitFailure
           : ComparePassed(tally)         ? ExitSuccess
                                          : ExitFailure;
}
