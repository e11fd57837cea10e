#include "cli/history_command.h"

#include <unistd.h>

#include "cli/cli_session.h"
#include "common/text.h"
#include "history/run_history.h"
#include "history/undo_run.h"
#include "platform/file_system.h"

namespace quorvan::cli {

const RunSummary* FindRunOrSay(const std::vector<RunSummary>& runs, const std::string& idOrPrefix,
                               FILE* err) {
    size_t index = 0;
    switch (FindRun(runs, idOrPrefix, index)) {
        case FindRunResult::NotFound:
            PrintError(err,
                       "unknown run ID '" + idOrPrefix + "' (quorvan-cli history lists the runs)");
            return nullptr;
        case FindRunResult::Ambiguous: {
            std::string ids;
            for (const RunSummary& r : runs) {
                if (r.start.id.compare(0, idOrPrefix.size(), idOrPrefix) == 0) {
                    ids += " " + r.start.id;
                }
            }
            PrintError(err, "run ID '" + idOrPrefix + "' is not unique:" + ids);
            return nullptr;
        }
        case FindRunResult::Found:
            break;
    }
    return &runs[index];
}

int RunHistoryKeep(const CliOptions& options, FILE* err) {
    const std::vector<RunSummary> runs = ListRuns(HistoryFolder());
    const RunSummary* run = FindRunOrSay(runs, options.runId, err);
    if (run == nullptr) {
        return kExitUsage;
    }
    const std::string& id = run->start.id;
    if (run->state != RunState::Interrupted) {
        PrintError(err, "run " + id + " is " + RunStateName(run->state) +
                            ", not interrupted: there is nothing to keep");
        return kExitSomeFailed;
    }
    UndoOptions keep;
    keep.onStep = [&](const UndoStep& step) {
        if (step.outcome == UndoOutcome::Skipped) {
            PrintError(err, "skipped: " + DescribeStep(step) + ": " + step.reason);
        }
    };
    const UndoSummary summary = KeepRun(run->path, keep);
    switch (summary.ended) {
        case UndoSummary::Ended::Done:
        case UndoSummary::Ended::Cancelled:
            break;
        case UndoSummary::Ended::Refused:
            PrintError(err, "the files of run " + id + " are not kept: " + summary.refusal +
                                "; the run stays interrupted");
            return kExitSomeFailed;
        case UndoSummary::Ended::Running:
            PrintError(err, "run " + id + " is still running or being undone");
            return kExitSomeFailed;
        default:
            PrintError(err, "the journal of run " + id + " cannot be written or read" +
                                (summary.error != 0 ? ": " + ErrorText(summary.error) : ""));
            return kExitSomeFailed;
    }
    PrintError(err, "Files of run " + id + " kept as they are.");
    return summary.stepsSkipped > 0 ? kExitSomeFailed : kExitDone;
}

int RunHistory(const CliOptions& options, FILE* out, FILE* err) {
    if (options.keep) {
        return RunHistoryKeep(options, err);
    }
    const bool terminal = isatty(fileno(out)) != 0;
    for (const RunSummary& run : ListRuns(HistoryFolder())) {
        std::string state = RunStateName(run.state);
        if (!run.reason.empty()) {
            state += " (" + run.reason + ")";
        }
        std::string line = run.start.id + "\t" + run.start.time + "\t" + state + "\t" +
                           std::to_string(run.done) + "\t" + std::to_string(run.failed) + "\t" +
                           (terminal ? EscapeForTerminal(run.start.folder) : run.start.folder) +
                           "\n";
        fwrite(line.data(), 1, line.size(), out);
    }
    return kExitDone;
}

}  // namespace quorvan::cli
