#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/local_time.h"
#include "platform/folder_lock.h"
#include "platform/folder_tree.h"
#include "rules/rename_plan.h"
#include "rules/rename_settings.h"
#include "run/plan_check.h"
#include "run/run_context.h"
#include "run/run_recorder.h"

namespace quorvan {

class CFolderTree;
class CRunLog;
class CUndoScript;

// The clock that stamps the log and undo headers.
using RunClock = std::function<LocalDateTime()>;

// The rule settings the file work needs, copied when a run starts.
struct FileWorkRules {
    bool renameInPlace = false;
    bool modifyAttributes = false;
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
    bool archive = false;
    bool modifyTimes = false;
    bool setCreation = false;
    LocalDateTime creationDate;
    LocalDateTime creationTime;
    bool setModified = false;
    LocalDateTime modifiedDate;
    LocalDateTime modifiedTime;
    bool setLastAccessed = false;
    LocalDateTime lastAccessedDate;
    LocalDateTime lastAccessedTime;

    static FileWorkRules FromSettings(const RenameSettings& settings);
};

// Everything a run works from, copied or moved at Start and owned by the
// worker: what the window read, the settings and the computed plan.
struct RunJob : RunChoices {
    int32_t fileCount = 0;
    RenameSettings settings;
    CRenamePlan plan;
    PlanCheck check;      // of `plan`, at Start: statuses and the order of moves
    std::string tempTag;  // in the run's temporary names, without a journal
    CFolderLock lock;     // of the source folder, held until the worker ends
    FolderId planned;     // the source folder when the plan was made
    // The other folders of the plan's sources, as they were then.
    std::vector<std::pair<std::string, FolderId>> plannedFolders;
    bool journal = true;  // the run journal (off only to measure what it costs)
    std::string history;  // where the journal goes (HistoryFolder() when empty)
};

// What became of one file.
struct FileOutcome {
    bool failed = false;
    std::string failure;  // the failure lines written to the log, joined by "\n"
};

// What a run adds to one file's work.
struct FileStep {
    std::string from;                 // where the file is now, when not at its
                                      // original name (a cycle's temporary name)
    std::function<bool()> cancelled;  // can stop a copy in the middle
    CRunRecorder* journal = nullptr;  // the run's journal
    FileStamp identity;               // the file's identity, when known:
                                      // spares the journal a look
    std::string tag;                  // the run's tag in temporary names
    CFolderTree* folders = nullptr;   // the run's folders, opened at its start
    std::string madeBelow;            // copy mode: the destination, below which
                                      // the run makes the targets' folders
    std::unordered_set<std::string>* readyFolders = nullptr;  // made or found already
};

// The work for one plan entry: move or copy `original` to `target`, then the
// attribute and time steps, writing log lines, undo entries and journal
// records. A failed move or copy skips the other steps. In copy mode a target
// that is the file itself or a source of the plan (`isPlanSource`) is never
// written, and a file that a copy replaces goes to the trash first when the
// run is journaled. `log` and `undo` may be null.
FileOutcome ProcessFile(const std::string& original, const std::string& target,
                        const FileWorkRules& rules,
                        const std::function<bool(const std::string&)>& isPlanSource, CRunLog* log,
                        CUndoScript* undo, const FileStep& step = {});

// Moves `path` to a fresh temporary name in its folder (".quorvan-tmp-<tag>-
// ..."), which frees its name for the next move of a cycle, on its way to
// `then`; the undo entry, the journal and a log line name the temporary.
bool MoveToTemporary(const std::string& path, const std::string& then, const std::string& tag,
                     CRunLog* log, CUndoScript* undo, CRunRecorder* journal,
                     const FileStamp& identity, std::string& temporary, int& error,
                     CFolderTree* folders = nullptr);

// For tests: called on the worker thread before the work of each file, with
// its original path. Set it only while no run works; an empty one removes it.
void SetBeforeFileHook(std::function<void(const std::string& original)> hook);

// The worker's whole run, on the calling thread: creates the log and undo
// files, walks the plan (fileCount passes, the cancel flag polled before each),
// adds the passes to "FilesProcessed", reports the end and sets `completion`
// as its very last act. `failedSoFar`, when given, counts failed files as
// they happen; `onEnd`, when given, gets the result just before the finish
// report.
RunResult ProcessingThread(const RunJob& job, const std::atomic<uint8_t>& cancelRequested,
                           IRunReporter& reporter, CCompletionEvent& completion,
                           const RunClock& clock, std::atomic<int32_t>* failedSoFar = nullptr,
                           const std::function<void(const RunResult&)>& onEnd = {});

// Runs ProcessingThread on its own thread. One run at a time.
class CRunWorker final {
  public:
    CRunWorker() = default;
    // Waits for a worker that still runs.
    ~CRunWorker();
    CRunWorker(const CRunWorker&) = delete;
    CRunWorker& operator=(const CRunWorker&) = delete;

    // Resets `completion` and starts the worker on `job`. False when a worker
    // still runs or no thread could be created. The cancel flag and the event
    // must outlive the run; the reporter must stay valid until DetachReporter
    // or the end.
    bool Start(RunJob job, const std::atomic<uint8_t>& cancelRequested, IRunReporter& reporter,
               CCompletionEvent& completion, RunClock clock = {});
    // True from Start until the worker has its result.
    bool Running() const { return running_.load(); }
    // Drops every later report: for a reporter about to go away while the
    // worker still finishes a file.
    void DetachReporter();
    // Waits for the worker to end.
    void Join();
    // Files failed so far in the current or last run.
    int32_t FilesFailed() const { return failed_.load(); }
    // The result of the last run, valid once it reported its end.
    RunResult LastResult();

  private:
    // Forwards reports to the current reporter, or nowhere once detached.
    class Relay final : public IRunReporter {
      public:
        void Attach(IRunReporter* target);
        void ReportOriginalName(const std::string& path) override;
        void ReportRenamedName(const std::string& path) override;
        void ReportProgress(int32_t passes) override;
        void ReportFinished(const RunResult& result) override;
        void ReportError(const std::string& message) override;
        void ReportFileFailed(const std::string& failure) override;

      private:
        std::mutex mutex_;
        IRunReporter* target_ = nullptr;
    };

    Relay relay_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<int32_t> failed_{0};
    std::mutex resultMutex_;
    RunResult result_;
};

}  // namespace quorvan
