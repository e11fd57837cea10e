#include "run/run_worker.h"

#include <sys/stat.h>

#include <cerrno>
#include <exception>
#include <optional>
#include <system_error>

#include "common/path.h"
#include "common/product.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "rules/rename_rules.h"
#include "run/run_log.h"
#include "run/undo_script.h"
#include "run/usage_counters.h"

namespace quorvan {

namespace {

constexpr uint8_t kForcedBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

// Collects a file's failure lines and writes each to the log.
class FailureList final {
  public:
    FailureList(CRunLog* log, FileOutcome& outcome) : log_(log), outcome_(outcome) {}
    void Add(const std::string& line) {
        if (log_ != nullptr) {
            log_->Failure(line);
        }
        if (outcome_.failed) {
            outcome_.failure += "\n";
        }
        outcome_.failed = true;
        outcome_.failure += line;
    }

  private:
    CRunLog* log_;
    FileOutcome& outcome_;
};

int ErrnoOr(int fallback) {
    return errno != 0 ? errno : fallback;
}

std::function<void(const std::string&)>& BeforeFileHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

// The attribute step. Fills `restore` with what the undo must put back.
void ApplyAttributes(const std::string& target, const FileWorkRules& rules, CRunLog* log,
                     FailureList& failures, std::optional<AttributeRestore>& restore) {
    FileStatus status;
    errno = 0;
    // The entry itself: a symbolic link is refused below, never followed.
    if (!GetFileStatus(target, status, kStatusAttributes, false)) {
        failures.Add(FailedAttributesLine(target, ErrnoOr(ENOENT)));
        return;
    }
    uint8_t wanted = static_cast<uint8_t>(status.attributes & ~kForcedBits);
    wanted |= rules.readOnly ? kAttrReadOnly : 0;
    wanted |= rules.hidden ? kAttrHidden : 0;
    wanted |= rules.system ? kAttrSystem : 0;
    wanted |= rules.archive ? kAttrArchive : 0;

    AttributeChange change;
    int error = 0;
    bool ok = SetAttributes(target, wanted, change, error);
    // Even a partial change (read-only stored, the rest refused) is undone.
    if (change.modeChanged || change.dosAttribWritten) {
        AttributeRestore back;
        back.mode = change.previousMode;
        back.restoreDosAttrib = change.dosAttribWritten;
        back.hadDosAttrib = change.hadDosAttrib;
        back.dosAttrib = change.previousDosAttrib;
        restore = back;
    }
    if (ok) {
        if (log != nullptr) {
            log->NewAttributes(wanted, target);
        }
    } else {
        failures.Add(FailedAttributesLine(target, error));
    }
}

// The time step: the chosen times get the rule's date and time of day, the
// others are written back as read (whole seconds).
void ApplyTimes(const std::string& target, const FileWorkRules& rules, CRunLog* log,
                FailureList& failures) {
    FileStatus status;
    errno = 0;
    // The times of the entry itself: those of a link are set on the link.
    if (!GetFileStatus(target, status, kStatusTimes, false)) {
        failures.Add(FailedTimesLine(target, ErrnoOr(ENOENT)));
        return;
    }
    // Linux keeps no settable creation time; say so rather than claim it.
    if (rules.setCreation) {
        failures.Add(FailedTimesLine(target, EOPNOTSUPP));
    }
    auto combine = [](const LocalDateTime& date, const LocalDateTime& time) {
        return LocalDateTime{date.year, date.month, date.day, time.hour, time.minute, time.second};
    };
    int64_t modification = status.modificationTime;
    int64_t lastAccess = status.lastAccessTime;
    std::optional<LocalDateTime> newModified;
    std::optional<LocalDateTime> newAccessed;
    bool unrepresentable = false;
    // Dates before 1900 have no local-time conversion; such a time is left alone.
    if (rules.setModified) {
        if (rules.modifiedDate.year >= 1900) {
            newModified = combine(rules.modifiedDate, rules.modifiedTime);
            modification = CombineDateAndTime(rules.modifiedDate, rules.modifiedTime);
        } else {
            unrepresentable = true;
        }
    }
    if (rules.setLastAccessed) {
        if (rules.lastAccessedDate.year >= 1900) {
            newAccessed = combine(rules.lastAccessedDate, rules.lastAccessedTime);
            lastAccess = CombineDateAndTime(rules.lastAccessedDate, rules.lastAccessedTime);
        } else {
            unrepresentable = true;
        }
    }
    if (unrepresentable) {
        failures.Add(FailedTimesLine(target, EINVAL));
    }
    int error = 0;
    if (!SetFileTimes(target, lastAccess, modification, error)) {
        failures.Add(FailedTimesLine(target, error));
        return;
    }
    if (log != nullptr) {
        if (newModified) {
            log->SettingModifyTime(*newModified);
        }
        if (newAccessed) {
            log->SettingLastAccessedTime(*newAccessed);
        }
    }
}

}  // namespace

void SetBeforeFileHook(std::function<void(const std::string&)> hook) {
    BeforeFileHook() = std::move(hook);
}

FileWorkRules FileWorkRules::FromRules(const CRenameRules& rules) {
    FileWorkRules work;
    work.renameInPlace = rules.RenameInPlace;
    work.modifyAttributes = rules.ModifyAttributes;
    work.readOnly = rules.ModifyReadOnly;
    work.hidden = rules.ModifyHidden;
    work.system = rules.ModifySystem;
    work.archive = rules.ModifyArchive;
    work.modifyTimes = rules.ModifyDatesTimes;
    work.setCreation = rules.ModifyCreationDateTime;
    work.creationDate = rules.CreationDate;
    work.creationTime = rules.CreationTime;
    work.setModified = rules.ModifyModDateTime;
    work.modifiedDate = rules.ModDate;
    work.modifiedTime = rules.ModTime;
    work.setLastAccessed = rules.ModifyLastAccessedDateTime;
    work.lastAccessedDate = rules.LastAccessedDate;
    work.lastAccessedTime = rules.LastAccessedTime;
    return work;
}

FileOutcome ProcessFile(const std::string& original, const std::string& target,
                        const FileWorkRules& rules,
                        const std::function<bool(const std::string&)>& isPlanSource, CRunLog* log,
                        CUndoScript* undo, const std::function<bool()>& cancelled) {
    FileOutcome outcome;
    FailureList failures(log, outcome);
    UndoEntry entry;
    entry.original = original;
    entry.target = target;
    const bool differ = original != target;

    int error = 0;
    if (rules.renameInPlace) {
        if (differ) {
            if (!MoveNoReplace(original, target, error)) {
                failures.Add(FailedRenameLine(original, target, error));
                return outcome;
            }
            entry.action = UndoEntry::Action::MoveBack;
        }
    } else {
        std::string folder;
        std::string name;
        if (SplitPath(target, folder, name) && !folder.empty()) {
            CreateFolderPath(folder);
        }
        // Copying onto the file itself or onto a file the plan still reads
        // would destroy data.
        bool protectedTarget =
            !differ || SameFile(original, target) || (isPlanSource && isPlanSource(target));
        if (protectedTarget) {
            failures.Add(FailedCopyLine(original, target, EEXIST));
            return outcome;
        }
        if (!SafeCopy(original, target, error, cancelled)) {
            failures.Add(FailedCopyLine(original, target, error));
            return outcome;
        }
        entry.action = UndoEntry::Action::Delete;
    }
    if (differ && log != nullptr) {
        log->Renamed(original, target);
    }

    if (rules.modifyAttributes) {
        ApplyAttributes(target, rules, log, failures, entry.attributes);
        if (entry.action == UndoEntry::Action::Delete) {
            entry.attributes.reset();
        }
    }
    if (rules.modifyTimes) {
        ApplyTimes(target, rules, log, failures);
    }
    if (undo != nullptr) {
        undo->Add(entry);
    }
    return outcome;
}

RunResult ProcessingThread(RunContext& context, CRenameRules& rules, IRunReporter& reporter,
                           CCompletionEvent& completion, const RunClock& clock,
                           std::atomic<int32_t>* failedSoFar,
                           const std::function<void(const RunResult&)>& onEnd) {
    CUsageRegistry registry(kAppGuid, kProductName);
    RunResult result;
    const RunClock now = clock ? clock : RunClock(CurrentLocalTime);
    const FileWorkRules work = FileWorkRules::FromRules(rules);
    auto isPlanSource = [&rules](const std::string& path) { return rules.IsPlanSource(path); };
    // A cancel also stops a long copy, not only the next file.
    auto cancelled = [&context] { return context.cancelRequested.load() != 0; };

    bool failed = false;
    CRunLog log;
    CUndoScript undo;
    if (context.writeLog && !log.Create(context.sourceFolder, now())) {
        reporter.ReportError("Error creating log file.");
        failed = true;
    }
    if (context.writeUndo && !failed && !undo.Create(context.sourceFolder, now())) {
        reporter.ReportError("Error creating undo batch file.");
        failed = true;
    }
    CRunLog* logFile = context.writeLog && log.IsOpen() ? &log : nullptr;
    CUndoScript* undoFile = context.writeUndo && undo.IsOpen() ? &undo : nullptr;

    reporter.ReportProgress(0);
    bool first = true;
    bool finished = false;
    int32_t passes = 0;
    while (!finished) {
        if (failed) {
            result.status = RunStatus::Aborted;
            break;
        }
        if (context.cancelRequested.load() != 0) {
            result.status = RunStatus::Cancelled;
            break;
        }
        std::string original;
        std::string target;
        bool fetched = first ? rules.FirstPair(original, target) : rules.NextPair(original, target);
        if (fetched) {
            first = false;
        }
        if (fetched) {
            FileOutcome outcome;
            if (!target.empty()) {
                reporter.ReportOriginalName(original);
                reporter.ReportRenamedName(target);
                if (const auto& hook = BeforeFileHook()) {
                    hook(original);
                }
                outcome =
                    ProcessFile(original, target, work, isPlanSource, logFile, undoFile, cancelled);
            } else if (!context.cdMode) {
                // The rules gave no usable name ("." or ".."): say so, touch nothing.
                outcome.failed = true;
                outcome.failure = NoNewNameLine(original);
                if (logFile != nullptr) {
                    logFile->Failure(outcome.failure);
                }
            }
            // A track file that got no CD title simply keeps its name.
            if (outcome.failed) {
                ++result.filesFailed;
                if (failedSoFar != nullptr) {
                    failedSoFar->fetch_add(1);
                }
                reporter.ReportFileFailed(outcome.failure);
            }
        }
        ++passes;
        if (passes >= context.fileCount) {
            finished = true;
        }
        reporter.ReportProgress(passes);
    }
    log.Close();
    undo.Finish();

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

bool CRunWorker::Start(RunContext& context, CRenameRules& rules, IRunReporter& reporter,
                       CCompletionEvent& completion, RunClock clock) {
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
        thread_ = std::thread([this, &context, &rules, &completion, clock, onEnd] {
            try {
                ProcessingThread(context, rules, relay_, completion, clock, &failed_, onEnd);
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
