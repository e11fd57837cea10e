#include "run/run_worker.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <exception>
#include <optional>
#include <set>
#include <system_error>

#include "common/path.h"
#include "common/product.h"
#include "history/run_history.h"
#include "platform/dos_attrib.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/folder_kind.h"
#include "platform/temp_names.h"
#include "platform/trash.h"
#include "run/run_log.h"
#include "run/run_recorder.h"
#include "run/undo_script.h"
#include "run/usage_counters.h"

namespace quorvan {

namespace {

std::function<void(const std::string&)>& BeforeFileHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

}  // namespace

void SetBeforeFileHook(std::function<void(const std::string&)> hook) {
    BeforeFileHook() = std::move(hook);
}

namespace {

// The failure line of an entry the check of the plan found failing.
std::string CheckFailureLine(const CRenamePlan::Entry& entry, const EntryCheck& check, bool inPlace,
                             const std::vector<std::string>& notes) {
    if (entry.second.empty() || (check.status == EntryStatus::Invalid && check.error == EINVAL)) {
        return NoNewNameLine(entry.first);
    }
    if ((check.error == kErrorNotAFolder || check.error == kErrorSymbolicLink) && check.note >= 0) {
        // What stands where a folder of the target is to be made.
        return (inPlace ? "failed to rename " : "failed to copy ") + entry.first + " to " +
               entry.second + ": " + notes[static_cast<size_t>(check.note)];
    }
    if (check.error == kSlashInName) {
        return (inPlace ? "failed to rename " : "failed to copy ") + entry.first + " to " +
               entry.second + ": a name cannot contain /";
    }
    return inPlace ? FailedRenameLine(entry.first, entry.second, check.error)
                   : FailedCopyLine(entry.first, entry.second, check.error);
}

// Whether a copy's target is a file the plan still reads or one the run has
// written, by what it is and not how it is spelt: a case-insensitive folder
// reaches a file under every spelling of its name. The sources' identities
// are read once, when first asked.
class CPlanSources final {
  public:
    explicit CPlanSources(const CRenamePlan& plan) : plan_(plan) {}
    bool Contains(const std::string& path) {
        if (written_.count(path) != 0 || plan_.Contains(path)) {
            return true;
        }
        uint64_t device = 0;
        uint64_t inode = 0;
        if (!EntryIdentity(path, device, inode)) {
            return false;
        }
        if (made_.count({device, inode}) != 0) {
            return true;
        }
        if (!read_) {
            read_ = true;
            for (const auto& entry : plan_.Entries()) {
                uint64_t d = 0;
                uint64_t i = 0;
                if (EntryIdentity(entry.first, d, i)) {
                    identities_.emplace(d, i);
                }
            }
        }
        return identities_.count({device, inode}) != 0;
    }

    // A copy the run made at `path`: never written again.
    void Written(const std::string& path) {
        written_.insert(path);
        uint64_t device = 0;
        uint64_t inode = 0;
        if (EntryIdentity(path, device, inode)) {
            made_.emplace(device, inode);
        }
    }

  private:
    const CRenamePlan& plan_;
    bool read_ = false;
    std::set<DeviceInode> identities_;
    std::set<std::string> written_;
    std::set<DeviceInode> made_;
};

// The end of a run whose source folder is not the one it was planned for.
std::string SwappedFolderText(const std::string& folder, int error) {
    if (error == kErrorFolderReplaced) {
        return "The folder " + folder +
               " is not the one the run was planned for: it was moved or replaced (by a "
               "symbolic link, say). Nothing was changed.";
    }
    return "The folder " + folder + " cannot be opened: " + ErrorText(error) +
           ". Nothing was changed.";
}

}  // namespace

RunResult ProcessingThread(const RunJob& job, const std::atomic<uint8_t>& cancelRequested,
                           IRunReporter& reporter, CCompletionEvent& completion,
                           const RunClock& clock, std::atomic<int32_t>* failedSoFar,
                           const std::function<void(const RunResult&)>& onEnd) {
    CUsageRegistry registry(kAppGuid);
    RunResult result;
    const RunClock now = clock ? clock : RunClock(CurrentLocalTime);
    FileWorkRules work = FileWorkRules::FromSettings(job.settings);
    work.renameInPlace = job.inPlace;
    CPlanSources planSources(job.plan);
    auto isPlanSource = [&](const std::string& path) { return planSources.Contains(path); };
    // A cancel also stops a long copy, not only the next file.
    auto cancelled = [&cancelRequested] { return cancelRequested.load() != 0; };

    bool failed = false;
    // The source folder as the plan saw it, opened once: every move goes
    // through it, so that a folder swapped for a link now or later is never
    // followed.
    CFolderTree folders;
    for (const auto& [folder, id] : job.plannedFolders) {
        folders.Expect(folder, id);
    }
    if (!job.sourceFolder.empty()) {
        if (int error = folders.Open(job.sourceFolder, job.planned)) {
            reporter.ReportError(SwappedFolderText(job.sourceFolder, error));
            failed = true;
        }
    }
    const int folderFd = folders.IsOpen() ? folders.RootFd() : -1;
    // The journal next: a run that could not be undone must not start.
    CJournalWriter writer;
    std::string tag = job.tempTag;
    if (job.journal && !failed) {
        StartRecord start;
        start.folder = job.sourceFolder;
        start.mode = job.inPlace ? RunMode::Rename : RunMode::Copy;
        start.destination = job.inPlace ? std::string() : job.destinationFolder;
        start.files = job.fileCount;
        const std::string history = job.history.empty() ? HistoryFolder() : job.history;
        if (int error = OpenRunJournal(writer, start, history)) {
            reporter.ReportError("Error creating the run journal: " + ErrorText(error) + ".");
            result.journalError = error;
            failed = true;
        } else {
            result.runId = start.id;
            tag = start.id;  // temporary names say which run left them
        }
    }
    CRunRecorder recorder(writer.IsOpen() ? &writer : nullptr);
    CRunRecorder* journal = recorder.On() ? &recorder : nullptr;
    CRunLog log;
    CUndoScript undo;
    if (job.writeLog && !failed && !log.Create(job.sourceFolder, now(), folderFd)) {
        reporter.ReportError("Error creating log file.");
        failed = true;
    }
    if (job.writeUndo && !failed && !undo.Create(job.sourceFolder, now(), folderFd)) {
        reporter.ReportError("Error creating undo batch file.");
        failed = true;
    }
    CRunLog* logFile = job.writeLog && log.IsOpen() ? &log : nullptr;
    CUndoScript* undoFile = job.writeUndo && undo.IsOpen() ? &undo : nullptr;
    if (logFile != nullptr) {
        for (const std::string& path : job.plan.LeftOut()) {
            logFile->Note(LeftOutLine(path));
        }
        logFile->Flush();
    }

    const std::vector<CRenamePlan::Entry>& entries = job.plan.Entries();
    const PlanCheck& check = job.check;
    // Who each source is, for the journal: one listing per folder.
    const std::vector<FileStamp> identities = journal != nullptr && job.inPlace && !failed
                                                  ? ListSourceIdentities(entries)
                                                  : std::vector<FileStamp>();
    auto identity = [&identities](size_t index) {
        return index < identities.size() ? identities[index] : FileStamp{};
    };
    std::vector<std::string> temporaries(entries.size());
    std::vector<uint8_t> done(entries.size(), 0);
    // One step for every file: only where it is and who it is change.
    FileStep fileStep;
    fileStep.cancelled = cancelled;
    fileStep.journal = journal;
    fileStep.tag = tag;
    fileStep.folders = folders.IsOpen() ? &folders : nullptr;
    std::unordered_set<std::string> readyFolders;
    fileStep.madeBelow = job.inPlace ? std::string() : job.destinationFolder;
    fileStep.readyFolders = &readyFolders;
    size_t step = 0;
    int32_t passes = 0;

    // One pass: an entry's work is over (its last move, or its failure).
    auto finishEntry = [&](size_t index, FileOutcome outcome) {
        if (journal != nullptr) {
            journal->File(entries[index].first, entries[index].second, !outcome.failed,
                          outcome.failure);
        }
        if (outcome.failed) {
            ++result.filesFailed;
            if (failedSoFar != nullptr) {
                failedSoFar->fetch_add(1);
            }
            reporter.ReportFileFailed(outcome.failure);
        }
        if (logFile != nullptr) {
            logFile->Flush();
        }
        done[index] = 1;
        ++passes;
        reporter.ReportProgress(passes);
    };
    // Takes one step of the safe order; false when it was not the entry's last.
    auto takeStep = [&](const MoveStep& move) {
        const auto& [original, target] = entries[move.entry];
        if (move.kind == MoveStep::Kind::ToTemporary) {
            int error = 0;
            if (!MoveToTemporary(original, target, tag, logFile, undoFile, journal,
                                 identity(move.entry), temporaries[move.entry], error,
                                 fileStep.folders)) {
                // The cycle cannot open: its other members find their names taken.
                temporaries[move.entry].clear();
                FileOutcome outcome;
                outcome.failed = true;
                outcome.failure = FailedRenameLine(original, target, error);
                if (logFile != nullptr) {
                    logFile->Failure(outcome.failure);
                }
                finishEntry(move.entry, outcome);
            }
            return;
        }
        if (move.kind == MoveStep::Kind::FromTemporary && temporaries[move.entry].empty()) {
            return;  // never reached its temporary name
        }
        reporter.ReportOriginalName(original);
        reporter.ReportRenamedName(target);
        if (const auto& hook = BeforeFileHook()) {
            hook(original);
        }
        if (move.kind == MoveStep::Kind::FromTemporary) {
            fileStep.from = temporaries[move.entry];
        } else {
            fileStep.from.clear();
        }
        fileStep.identity = identity(move.entry);
        finishEntry(move.entry,
                    ProcessFile(original, target, work, isPlanSource, logFile, undoFile, fileStep));
        if (!work.renameInPlace) {
            planSources.Written(target);
        }
    };

    reporter.ReportProgress(0);
    if (failed) {
        result.status = RunStatus::Aborted;
    }
    // Plan order, but each chain from its free end and each cycle whole: a
    // cycle's member waits at its temporary name only while the others move.
    for (size_t index = 0; !failed && index < entries.size() && passes < job.fileCount; ++index) {
        if (done[index]) {
            continue;
        }
        if (cancelRequested.load() != 0) {
            result.status = RunStatus::Cancelled;
            break;
        }
        // Without its journal the rest could not be undone: stop here.
        if (journal != nullptr && journal->Error() != 0) {
            result.status = RunStatus::Cancelled;
            break;
        }
        const EntryCheck& entryCheck = check.entries[index];
        if (entryCheck.status != EntryStatus::Ok) {
            FileOutcome outcome;
            if (entryCheck.status == EntryStatus::Unchanged) {
                // A track without a title keeps its name without a word.
                if (!entries[index].second.empty()) {
                    // Not done, since nothing happened to it.
                    if (!work.modifyAttributes && !work.modifyTimes) {
                        ++result.filesUnchanged;
                    }
                    FileStep unchanged;
                    unchanged.journal = journal;
                    unchanged.folders = fileStep.folders;
                    outcome = ProcessFile(entries[index].first, entries[index].second, work,
                                          isPlanSource, logFile, undoFile, unchanged);
                }
            } else {
                outcome.failed = true;
                outcome.failure =
                    CheckFailureLine(entries[index], entryCheck, job.inPlace, check.notes);
                if (logFile != nullptr) {
                    logFile->Failure(outcome.failure);
                }
            }
            finishEntry(index, outcome);
            continue;
        }
        bool cycleOpen = false;
        while (!done[index] && step < check.order.size()) {
            const MoveStep& move = check.order[step];
            // A cancel waits for an open cycle to close.
            if (!cycleOpen && cancelRequested.load() != 0) {
                break;
            }
            cycleOpen = move.kind == MoveStep::Kind::ToTemporary ||
                        (cycleOpen && move.kind != MoveStep::Kind::FromTemporary);
            takeStep(move);
            ++step;
        }
    }
    // Passes for which the plan has no entry left still count.
    while (result.status == RunStatus::Complete && passes < job.fileCount) {
        if (cancelRequested.load() != 0) {
            result.status = RunStatus::Cancelled;
            break;
        }
        ++passes;
        reporter.ReportProgress(passes);
    }

    if (logFile != nullptr && !log.Close()) {
        result.logError = log.Error();
    }
    if (undoFile != nullptr && !undo.Finish()) {
        result.undoError = undo.Error();
    }
    if (journal != nullptr) {
        const RunEnd end = result.status == RunStatus::Complete    ? RunEnd::Complete
                           : result.status == RunStatus::Cancelled ? RunEnd::Cancelled
                                                                   : RunEnd::Aborted;
        const int journalFailed = journal->Error();
        journal->End(end, passes - result.filesFailed - result.filesUnchanged, result.filesFailed,
                     journalFailed != 0 ? JournalFailureText(journalFailed) : "");
        if (int error = writer.Close()) {
            result.journalError = error;
        }
    }

    result.passes = passes;
    if (passes > 0) {
        registry.AddToCounter(kValueFilesProcessed, passes);
    }
    if (onEnd) {
        onEnd(result);
    }
    reporter.ReportFinished(result);
    completion.Set();
    return result;
}

CRunWorker::~CRunWorker() {
    Join();
}

bool CRunWorker::Start(RunJob job, const std::atomic<uint8_t>& cancelRequested,
                       IRunReporter& reporter, CCompletionEvent& completion, RunClock clock) {
    if (running_.load()) {
        return false;
    }
    Join();
    completion.Reset();
    failed_.store(0);
    relay_.Attach(&reporter);
    running_.store(true);
    auto onEnd = [this](const RunResult& result) {
        {
            std::lock_guard lock(resultMutex_);
            result_ = result;
        }
        running_.store(false);
    };
    try {
        thread_ = std::thread([this, job = std::move(job), &cancelRequested, &completion, clock,
                               onEnd] {
            try {
                ProcessingThread(job, cancelRequested, relay_, completion, clock, &failed_, onEnd);
            } catch (const std::exception& e) {
                // Out of memory, say: the run ends, reported, instead of the program.
                RunResult result;
                result.status = RunStatus::Aborted;
                result.filesFailed = failed_.load();
                onEnd(result);
                relay_.ReportError(std::string("The rename process stopped: ") + e.what());
                relay_.ReportFinished(result);
                completion.Set();
            }
        });
    } catch (const std::system_error&) {
        running_.store(false);
        relay_.Attach(nullptr);
        return false;
    }
    return true;
}

void CRunWorker::DetachReporter() {
    relay_.Attach(nullptr);
}

void CRunWorker::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

RunResult CRunWorker::LastResult() {
    std::lock_guard lock(resultMutex_);
    return result_;
}

void CRunWorker::Relay::Attach(IRunReporter* target) {
    std::lock_guard lock(mutex_);
    target_ = target;
}

void CRunWorker::Relay::ReportOriginalName(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (target_ != nullptr) {
        target_->ReportOriginalName(path);
    }
}

void CRunWorker::Relay::ReportRenamedName(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (target_ != nullptr) {
        target_->ReportRenamedName(path);
    }
}

void CRunWorker::Relay::ReportProgress(int32_t passes) {
    std::lock_guard lock(mutex_);
    if (target_ != nullptr) {
        target_->ReportProgress(passes);
    }
}

void CRunWorker::Relay::ReportFinished(const RunResult& result) {
    std::lock_guard lock(mutex_);
    if (target_ != nullptr) {
        target_->ReportFinished(result);
    }
}

void CRunWorker::Relay::ReportError(const std::string& message) {
    std::lock_guard lock(mutex_);
    if (target_ != nullptr) {
        target_->ReportError(message);
    }
}

void CRunWorker::Relay::ReportFileFailed(const std::string& failure) {
    std::lock_guard lock(mutex_);
    if (target_ != nullptr) {
        target_->ReportFileFailed(failure);
    }
}

}  // namespace quorvan
