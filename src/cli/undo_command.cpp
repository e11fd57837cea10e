#include "cli/undo_command.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

#include "cli/cli_session.h"
#include "cli/history_command.h"
#include "common/text.h"
#include "history/run_history.h"
#include "history/undo_run.h"
#include "platform/file_system.h"

namespace quorvan::cli {

namespace {

std::atomic<bool> cancelRequested{false};

void OnInterrupt(int) {
    cancelRequested = true;
}

// A progress bar on standard error when that is a terminal, as run shows.
class CProgressBar final {
  public:
    explicit CProgressBar(FILE* err) : err_(err), shown_(isatty(fileno(err)) != 0) {}

    void Update(int64_t done, int64_t total) {
        if (!shown_) {
            return;
        }
        auto now = std::chrono::steady_clock::now();
        if (done < total && now - lastDrawn_ < std::chrono::milliseconds(100)) {
            return;
        }
        lastDrawn_ = now;
        constexpr int kWidth = 40;
        int filled = total > 0 ? static_cast<int>(done * kWidth / total) : kWidth;
        std::string bar(static_cast<size_t>(filled), '#');
        bar.resize(kWidth, '.');
        fprintf(err_, "\r[%s] %lld/%lld", bar.c_str(), static_cast<long long>(done),
                static_cast<long long>(total));
        fflush(err_);
        drawn_ = true;
    }

    void Clear() {
        if (drawn_) {
            fputs("\r\033[K", err_);
            fflush(err_);
            drawn_ = false;
        }
    }

    // A message line; the bar comes back with the next update.
    void Print(const std::string& line) {
        Clear();
        PrintError(err_, line);  // escapes what reaches a terminal
    }

  private:
    FILE* err_;
    bool shown_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace

int RunUndo(const CliOptions& options, FILE* out, FILE* err) {
    std::vector<RunSummary> runs = ListRuns(HistoryFolder());
    const RunSummary* run = nullptr;
    if (!options.runId.empty()) {
        if ((run = FindRunOrSay(runs, options.runId, err)) == nullptr) {
            return kExitUsage;
        }
    } else if ((run = NewestUndoable(runs)) == nullptr) {
        // A run that an undo holds is not "no run".
        for (const RunSummary& r : runs) {
            if (r.state == RunState::Running) {
                PrintError(err,
                           "run " + r.start.id +
                               " is still running or being undone; try again once it has ended");
                return kExitSomeFailed;
            }
        }
        PrintError(err, "there is no run to undo");
        return kExitUsage;
    }
    const std::string& id = run->start.id;
    if (run->state == RunState::Running) {
        PrintError(err, "run " + id + " is still running or being undone");
        return kExitSomeFailed;
    }

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const bool outTerminal = isatty(fileno(out)) != 0;
    CProgressBar bar(err);
    UndoOptions undo;
    undo.dryRun = options.dryRun;
    undo.cancel = &cancelRequested;
    undo.progress = [&](int64_t done, int64_t total) { bar.Update(done, total); };
    undo.onStep = [&](const UndoStep& step) {
        if (step.outcome == UndoOutcome::Skipped) {
            bar.Print("skipped: " + DescribeStep(step) + ": " + step.reason);
        } else if (options.dryRun && step.outcome == UndoOutcome::Restored) {
            bar.Clear();
            std::string line = "would " + DescribeStep(step);
            line = (outTerminal ? EscapeForTerminal(line) : line) + "\n";
            fwrite(line.data(), 1, line.size(), out);
        }
    };
    UndoSummary summary = UndoRun(run->path, undo);
    bar.Clear();

    switch (summary.ended) {
        case UndoSummary::Ended::Running:
            PrintError(err, "run " + id + " is still running or being undone");
            return kExitSomeFailed;
        case UndoSummary::Ended::Unreadable:
            PrintError(err, "the journal of run " + id + " cannot be read" +
                                (summary.error != 0 ? ": " + ErrorText(summary.error) : ""));
            return kExitSomeFailed;
        case UndoSummary::Ended::NewerFormat:
            PrintError(err, "run " + id + " was recorded by a newer version of Quorvan");
            return kExitSomeFailed;
        case UndoSummary::Ended::Refused:
            PrintError(err, "run " + id + " is not undone: " + summary.refusal);
            return kExitSomeFailed;
        case UndoSummary::Ended::JournalFailed:
            PrintError(err, "the undo of run " + id + " stopped: its journal cannot be written: " +
                                ErrorText(summary.error));
            return kExitSomeFailed;
        default:
            break;
    }
    if (summary.unreadRecords > 0) {
        PrintError(err, std::to_string(summary.unreadRecords) + " record" +
                            (summary.unreadRecords == 1 ? "" : "s") + " of the journal of run " +
                            id + " could not be read: what " +
                            (summary.unreadRecords == 1 ? "it" : "they") + " did is not undone");
    }
    std::string counts = std::to_string(summary.filesRestored) + " file" +
                         (summary.filesRestored == 1 ? "" : "s") +
                         (options.dryRun ? " to restore, " : " restored, ") +
                         std::to_string(summary.filesSkipped) + " skipped.";
    if (options.dryRun) {
        PrintError(err, "Undo of run " + id + " (dry run): " + counts);
    } else if (summary.ended == UndoSummary::Ended::Cancelled) {
        PrintError(err, "Undo of run " + id + " cancelled: " + counts);
    } else {
        PrintError(err, "Undo of run " + id + ": " + counts);
    }
    return summary.stepsSkipped > 0 || summary.unreadRecords > 0 ||
                   summary.ended == UndoSummary::Ended::Cancelled
               ? kExitSomeFailed
               : kExitDone;
}

}  // namespace quorvan::cli
