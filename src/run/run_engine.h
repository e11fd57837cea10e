#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "run/run_context.h"
#include "run/run_worker.h"

namespace quorvan {

class CRenameRules;

enum class MessageKind { Info, Error };

// What the window (or the command line) gives the start of a run and does for
// it. All calls come on the thread that called CRunEngine::OnStart.
class IRunHost {
  public:
    virtual ~IRunHost() = default;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    // A message with an OK button only.
    virtual void ShowMessage(MessageKind kind, const std::string& caption,
                             const std::string& text) = 0;
    // Gathers the rule and filter settings, fills the rules' plan with the
    // selected files that pass the filter and returns their number.
    virtual int32_t BuildFileList() = 0;
    // Receives the worker's reports, on the worker thread; must not block.
    // They may start before ShowProgress is called; the finish report is
    // always the last.
    virtual IRunReporter& Reporter() = 0;
    // Shows the run until the worker reports its end (true) or the user
    // cancels (false; the host sets `cancelRequested` to 1). `completion` is
    // set once the worker is done.
    virtual bool ShowProgress(int32_t fileCount, std::atomic<uint8_t>& cancelRequested,
                              CCompletionEvent& completion) = 0;
    // Shown when the worker is still busy 100 ms after the end message; closes
    // once `completion` is set or after at most a second. The default waits.
    virtual void ShowWait(CCompletionEvent& completion) { completion.WaitFor(1000); }
    // Rescans the source folder, without selecting all.
    virtual void RefreshSourceList() = 0;
    // The run cannot be journaled, for `reason` ("FOLDER: REASON"): true to
    // run without. The default asks.
    virtual bool AcceptUnrecordedRun(const std::string& reason);
};

// What the window (or the command line) read for a Start: the folder display,
// "Destination Folder:", the Extended page's boxes and "Rename CD Audio Files".
struct RunRequest : RunChoices {
    bool noJournal = false;  // run without recording it in the history
};

// How a Start ended.
struct StartOutcome {
    enum class Ended {
        Busy,           // a worker of an earlier run still runs: nothing started
        Locked,         // another run works in the source folder: nothing started
        Declined,       // the destination folder is missing and was not to be made, or
                        // files that cannot be renamed were not to be left out
        NoDestination,  // copy mode with no destination folder: nothing started
        NoFiles,        // "There are no files to process."
        ThreadFailed,   // "Unable to create processing thread."
        Ran,            // the worker ran; see `cancelled` and `result`
    };
    Ended ended = Ended::Ran;
    bool cancelled = false;  // the progress display was cancelled
    // What the worker reported (status Aborted: the log or undo file could not
    // be created). After a cancel, the end message counts the file the cancel
    // interrupted too, unless the worker needed longer than the wait display.
    RunResult result;
    std::string endMessage;  // the message shown at the end of the run
    bool timesUsedCounted = false;
    bool recorded = true;  // the run was to be journaled
};

// The start of a run, shared by the window and the command line. Owns the
// run's context, completion event and worker; one run at a time. The worker
// gets its own copy of the settings and the plan, so nothing the window does
// while it works can reach them.
class CRunEngine final {
  public:
    explicit CRunEngine(CRenameRules& rules) : rules_(rules) {}
    // Waits for a worker that still finishes a file.
    ~CRunEngine() = default;
    CRunEngine(const CRunEngine&) = delete;
    CRunEngine& operator=(const CRunEngine&) = delete;

    // The Start button: checks, builds the plan, runs the worker while the
    // host shows progress, shows the end message and refreshes the list.
    StartOutcome OnStart(IRunHost& host, const RunRequest& request);

    // True while a worker runs (possibly after OnStart returned).
    bool Busy() const { return worker_.Running(); }
    // Waits for a worker that still runs.
    void WaitForWorker() { worker_.Join(); }
    CCompletionEvent& CompletionEvent() { return completion_; }
    // The clock of the log and undo headers (tests fix it).
    void SetClock(RunClock clock) { clock_ = std::move(clock); }
    // Which folders compare names without regard to letter case (tests
    // pretend).
    // Where the run journals go (tests); the per-user history by default.
    void SetHistoryFolder(std::string folder) { history_ = std::move(folder); }

    static constexpr const char* kNoFilesText = "There are no files to process.";
    static constexpr const char* kCompleteText = "Rename process complete.";
    static constexpr const char* kAbortedText = "Rename process aborted.";
    static constexpr const char* kThreadFailedText = "Unable to create processing thread.";
    static constexpr const char* kBusyText =
        "The previous rename process is still finishing. Please try again in a moment.";
    static constexpr const char* kLockedText =
        "Another rename run is working in this folder. Try again when it has finished.";
    static constexpr const char* kNestedLockedText =
        "Another rename run is working in a folder that holds this one, or in one inside it. "
        "Try again when it has finished.";
    static constexpr const char* kIssueCaption = "Issue...";
    static constexpr const char* kNoDestinationText =
        "No destination folder is set for copying the files. Enter one in "
        "\"Destination Folder:\" on the Extended page, or choose to rename the files in place.";
    static constexpr const char* kCreateFolderCaption = "Create folder?";
    static constexpr const char* kCreateFolderText =
        "The destination folder for the rename does not exist.\n"
        "Do you wish to create this folder?";

  private:
    CRenameRules& rules_;
    RunContext context_;
    CCompletionEvent completion_;
    RunClock clock_;
    std::string history_;
    // Last: destroyed first, so a running worker ends while the rest exists.
    CRunWorker worker_;
};

// The line the end message gains when files kept their names: a run that
// changed nothing must not read like one that did.
std::string UnchangedNote(int32_t filesUnchanged);
// The end-of-run text: complete or aborted, plus the failed files and a log
// or undo script that could not be written (errno values, 0 for none).
std::string EndOfRunMessage(bool complete, int32_t filesFailed, int logError = 0, int undoError = 0,
                            int journalError = 0);
// The question when some files cannot be renamed: "3 of 46 files cannot be
// renamed (see the preview list). Rename the other 43?"
std::string LeaveOutQuestion(size_t failing, size_t total);

}  // namespace quorvan
