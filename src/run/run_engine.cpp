#include "run/run_engine.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <unordered_set>

#include "common/path.h"
#include "common/product.h"
#include "history/run_history.h"
#include "platform/file_system.h"
#include "platform/folder_lock.h"
#include "platform/folder_tree.h"
#include "platform/temp_names.h"
#include "rules/rename_rules.h"
#include "run/run_conditions.h"
#include "run/usage_counters.h"

namespace quorvan {

namespace {

constexpr const char* kInfoCaption = "Info...";
constexpr const char* kErrorCaption = "Error...";

// Tells one run's temporary names from another's.
std::string TemporaryTag() {
    std::string name = TemporaryNameIn("", "");
    return name.substr(name.size() - 6);
}

// The folders of the plan's sources below `root` as they are now, each once.
std::vector<std::pair<std::string, FolderId>> PlannedFolders(
    const std::vector<CRenamePlan::Entry>& entries, const std::string& root) {
    std::vector<std::pair<std::string, FolderId>> folders;
    std::unordered_set<std::string_view> seen;
    for (const auto& entry : entries) {
        const std::string_view path = entry.first;
        const size_t slash = path.rfind('/');
        if (slash == std::string_view::npos || slash <= root.size() ||
            path.compare(0, root.size(), root) != 0 || !seen.insert(path.substr(0, slash)).second) {
            continue;  // the root itself, or a folder seen already
        }
        std::string folder(path.substr(0, slash));
        FolderId id = FolderIdOf(folder);
        folders.emplace_back(std::move(folder), id);
    }
    return folders;
}

}  // namespace

bool IRunHost::AcceptUnrecordedRun(const std::string& reason) {
    return AskYesNo(kInfoCaption, UnrecordedQuestion(reason));
}

std::string EndOfRunMessage(bool complete, int32_t filesFailed, int logError, int undoError,
                            int journalError) {
    std::string text = complete ? CRunEngine::kCompleteText : CRunEngine::kAbortedText;
    if (filesFailed == 1) {
        text += "\n1 file failed.";
    } else if (filesFailed > 1) {
        text += "\n" + std::to_string(filesFailed) + " files failed.";
    }
    if (logError != 0) {
        text += "\nThe log file could not be written: " + ErrorText(logError) + ".";
    }
    if (undoError != 0) {
        text += "\nThe undo script could not be written: " + ErrorText(undoError) + ".";
    }
    if (journalError != 0) {
        text += "\n" + JournalFailureText(journalError) + ".";
    }
    return text;
}

std::string UnchangedNote(int32_t filesUnchanged) {
    if (filesUnchanged <= 0) {
        return {};
    }
    return filesUnchanged == 1 ? "\n1 file kept its name."
                               : "\n" + std::to_string(filesUnchanged) + " files kept their names.";
}

std::string LeaveOutQuestion(size_t failing, size_t total) {
    return std::to_string(failing) + " of " + std::to_string(total) +
           " files cannot be renamed (see the preview list). Rename the other " +
           std::to_string(total - failing) + "?";
}

StartOutcome CRunEngine::OnStart(IRunHost& host, const RunRequest& request) {
    StartOutcome outcome;
    // Two runs must never share the context.
    if (worker_.Running()) {
        host.ShowMessage(MessageKind::Info, kInfoCaption, kBusyText);
        outcome.ended = StartOutcome::Ended::Busy;
        return outcome;
    }
    worker_.Join();

    CUsageRegistry registry(kAppGuid);
    static_cast<RunChoices&>(context_) = request;
    // Every path of the run is absolute, taken from the working folder now.
    context_.sourceFolder = AbsoluteFromWorkingFolder(request.sourceFolder);

    // One run at a time in a folder, in this process or another: two would
    // write one log and one undo script.
    CFolderLock lock;
    if (int locked = lock.TryLock(context_.sourceFolder);
        locked == EWOULDBLOCK || locked == EBUSY) {
        host.ShowMessage(MessageKind::Error, kErrorCaption,
                         locked == EBUSY ? kNestedLockedText : kLockedText);
        outcome.ended = StartOutcome::Ended::Locked;
        return outcome;
    }
    // The folder the plan is made for: the run works in it only while it is
    // still that folder.
    FolderId planned;
    if (lock.Identity(planned.dev, planned.ino)) {
        planned.viaLink = FolderIdOf(context_.sourceFolder).viaLink;
    }

    // An empty destination would be taken for the root folder.
    if (!context_.inPlace && request.destinationFolder.empty()) {
        host.ShowMessage(MessageKind::Error, kErrorCaption, kNoDestinationText);
        outcome.ended = StartOutcome::Ended::NoDestination;
        return outcome;
    }
    if (!context_.inPlace) {
        context_.destinationFolder = AbsoluteFromWorkingFolder(request.destinationFolder);
        if (!IsRootPath(context_.destinationFolder) && !PathExists(context_.destinationFolder)) {
            if (!host.AskYesNo(kCreateFolderCaption, kCreateFolderText)) {
                outcome.ended = StartOutcome::Ended::Declined;
                return outcome;
            }
            CreateFolderPath(context_.destinationFolder);
        }
    }

    context_.fileCount = host.BuildFileList();
    if (context_.fileCount < 1) {
        host.ShowMessage(MessageKind::Info, kInfoCaption, kNoFilesText);
        outcome.ended = StartOutcome::Ended::NoFiles;
        return outcome;
    }
    // The pages and the mode button were read at the same moment; the request
    // is the one place the run takes the mode from.
    rules_.Settings().RenameInPlace = context_.inPlace;
    rules_.ComputePlan(context_.sourceFolder, context_.cdMode);

    // The whole plan against the file system as it is now.
    const NameFolderRule nameFolder = NameFolders(rules_.Settings(), context_.sourceFolder);
    PlanCheck check =
        CheckPlan(rules_.PlanEntries(), context_.inPlace, context_.cdMode, nameFolder);
    ApplyPlanNotes(rules_.Plan(), check);
    if (check.Failing() > 0 &&
        !host.AskYesNo(kIssueCaption, LeaveOutQuestion(check.Failing(), check.entries.size()))) {
        outcome.ended = StartOutcome::Ended::Declined;
        return outcome;
    }

    // A run that no journal records cannot be undone from the history: only
    // with the user's word (or to measure what the journal costs).
    const bool measuring = getenv("QUORVAN_BENCH_NO_JOURNAL") != nullptr;
    outcome.recorded = !request.noJournal && !measuring;
    if (outcome.recorded) {
        const std::string history = history_.empty() ? HistoryFolder() : history_;
        if (int error = ProbeHistoryFolder(history)) {
            if (!host.AcceptUnrecordedRun(UnrecordedReason(history, error))) {
                outcome.ended = StartOutcome::Ended::Declined;
                return outcome;
            }
            outcome.recorded = false;
        }
    }

    RunJob job;
    static_cast<RunChoices&>(job) = context_;
    job.fileCount = context_.fileCount;
    job.settings = rules_.Settings();
    job.plan = rules_.TakePlan();
    job.check = std::move(check);
    job.tempTag = TemporaryTag();
    job.lock = std::move(lock);
    job.planned = planned;
    job.plannedFolders = PlannedFolders(job.plan.Entries(), context_.sourceFolder);
    job.journal = outcome.recorded;
    const bool creationTimes = job.settings.ModifyDatesTimes && job.settings.ModifyCreationDateTime;
    job.history = history_;

    context_.cancelRequested.store(0);
    if (!worker_.Start(std::move(job), context_.cancelRequested, host.Reporter(), completion_,
                       clock_)) {
        host.ShowMessage(MessageKind::Error, kErrorCaption, kThreadFailedText);
        outcome.ended = StartOutcome::Ended::ThreadFailed;
    } else {
        bool finished =
            host.ShowProgress(context_.fileCount, context_.cancelRequested, completion_);
        outcome.ended = StartOutcome::Ended::Ran;
        outcome.cancelled = !finished;
        // After a cancel the worker still finishes the file in hand, which may
        // fail: the end message waits for it (as long as the wait display).
        const bool waited = !finished;
        if (waited && !completion_.WaitFor(100)) {
            host.ShowWait(completion_);
        }
        if (finished || completion_.IsSet()) {
            // The worker stores its result before it reports the end.
            outcome.result = worker_.LastResult();
        } else {
            outcome.result.status = RunStatus::Cancelled;
            outcome.result.filesFailed = worker_.FilesFailed();
        }
        bool complete = finished && outcome.result.status == RunStatus::Complete;
        outcome.endMessage =
            EndOfRunMessage(complete, outcome.result.filesFailed, outcome.result.logError,
                            outcome.result.undoError, outcome.result.journalError);
        outcome.endMessage += UnchangedNote(outcome.result.filesUnchanged);
        if (creationTimes && outcome.result.status != RunStatus::Aborted) {
            outcome.endMessage += std::string("\n") + kNoCreationTimesText;
        }
        if (!outcome.recorded && !measuring) {
            outcome.endMessage += std::string("\n") + kNotInHistoryText;
        }
        host.ShowMessage(MessageKind::Info, kInfoCaption, outcome.endMessage);
        if (!waited && !completion_.WaitFor(100)) {
            host.ShowWait(completion_);
        }
        if (completion_.IsSet()) {
            outcome.result = worker_.LastResult();
        }
        // The host's reporter may go away with this call; a worker still
        // finishing a file reports to no one.
        worker_.DetachReporter();
        host.RefreshSourceList();
    }

    // A run that could not even create its log or undo file did nothing.
    if (!(outcome.ended == StartOutcome::Ended::Ran &&
          outcome.result.status == RunStatus::Aborted)) {
        registry.AddToCounter(kValueTimesUsed, 1);
        outcome.timesUsedCounted = true;
    }
    return outcome;
}

}  // namespace quorvan
