#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace quorvan {

// What a run is to do, as the window or the command line read it at Start;
// the run's context and its job carry it on, their folders made absolute.
struct RunChoices {
    std::string sourceFolder;
    std::string destinationFolder;  // read only in copy mode
    bool writeLog = false;
    bool writeUndo = false;
    bool inPlace = false;
    bool cdMode = false;  // targets are CD titles; a file without one stays
};

// The state of one run, filled by the starting thread before the worker starts
// and left alone while it runs; only `cancelRequested` is written meanwhile.
struct RunContext : RunChoices {
    int32_t fileCount = 0;
    std::atomic<uint8_t> cancelRequested{0};
};

// A manual-reset event: once set it stays set until reset.
class CCompletionEvent final {
  public:
    void Reset();
    void Set();
    bool IsSet();
    // Waits until the event is set or the time is up; true when it is set.
    bool WaitFor(int64_t milliseconds);

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

// How a run ended.
enum class RunStatus {
    Complete,   // every planned pass was made
    Cancelled,  // the cancel flag stopped it
    Aborted,    // the log or undo file could not be created: nothing was processed
};

struct RunResult {
    RunStatus status = RunStatus::Complete;
    int32_t passes = 0;          // passes made, as added to "FilesProcessed"
    int32_t filesFailed = 0;     // files for which a move, copy, attribute or time change failed
    int32_t filesUnchanged = 0;  // files that kept their names and had nothing else to change
    int logError = 0;            // errno of a failed write to the log, else 0
    int undoError = 0;           // ... to the undo script
    int journalError = 0;        // ... to the run journal
    std::string runId;           // the run's journal, when it has one
};

// What the worker tells the one showing the run. Called on the worker thread;
// implementations forward the reports (queued signals, a progress bar) and
// must not block for long.
class IRunReporter {
  public:
    virtual ~IRunReporter() = default;
    virtual void ReportOriginalName(const std::string& path) = 0;
    virtual void ReportRenamedName(const std::string& path) = 0;
    // Passes done: 0 first, then after each pass.
    virtual void ReportProgress(int32_t passes) = 0;
    // Always the last report of a run.
    virtual void ReportFinished(const RunResult& result) = 0;
    // "Error creating log file." or "Error creating undo batch file."
    virtual void ReportError(const std::string& message) = 0;
    // One report per failed file: its failure line(s) as written to the log,
    // without the final line feed (several lines are joined by "\n").
    virtual void ReportFileFailed(const std::string& failure) = 0;
};

}  // namespace quorvan
