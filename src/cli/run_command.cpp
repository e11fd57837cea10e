#include "cli/run_command.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "cli/cli_session.h"
#include "run/run_conditions.h"
#include "run/run_engine.h"

namespace quorvan::cli {

namespace {

volatile sig_atomic_t interrupted = 0;
// Set once the worker may touch files; before that an interrupt has nothing
// to wind down.
volatile sig_atomic_t workerStarting = 0;
volatile sig_atomic_t barOnTerminal = 0;

constexpr char kAbortedLine[] = "quorvan-cli: Rename process aborted.\n";

// Ends the program at once with the usual last line; async-signal-safe.
[[noreturn]] void AbortNow() {
    if (barOnTerminal) {
        ssize_t ignored = write(STDERR_FILENO, "\r\033[K", 4);
        (void)ignored;
    }
    ssize_t ignored = write(STDERR_FILENO, kAbortedLine, sizeof kAbortedLine - 1);
    (void)ignored;
    _exit(kExitSomeFailed);
}

// Ctrl-C or SIGTERM. While the run works the first one cancels it (the file
// in hand is given up, a copy between two chunks); a second one, or one
// before any file was touched, ends the program at once.
void OnInterrupt(int) {
    if (!workerStarting || interrupted) {
        AbortNow();
    }
    interrupted = 1;
}

// How often the progress display looks for an interrupt.
constexpr int64_t kCancelPollMs = 50;

// Shows the worker's reports on standard error.
class CCliReporter final : public IRunReporter {
  public:
    CCliReporter(FILE* err, bool showBar) : err_(err), showBar_(showBar) {}

    void SetTotal(int32_t total) { total_ = total; }

    void ReportOriginalName(const std::string&) override {}
    void ReportRenamedName(const std::string&) override {}

    void ReportProgress(int32_t passes) override {
        if (!showBar_) {
            return;
        }
        auto now = std::chrono::steady_clock::now();
        std::lock_guard lock(mutex_);
        if (passes < total_ && now - lastDrawn_ < std::chrono::milliseconds(100)) {
            return;
        }
        lastDrawn_ = now;
        DrawBar(passes);
    }

    void ReportFinished(const RunResult&) override { ClearBar(); }

    void ReportError(const std::string& message) override { Print(message); }

    // A file's failure lines come joined by line feeds. Each starts with
    // "failed to"; when a piece does not, a name held the line feed, and the
    // whole goes on one line with it escaped.
    void ReportFileFailed(const std::string& failure) override {
        std::vector<std::string> lines;
        size_t from = 0;
        for (;;) {
            size_t end = failure.find('\n', from);
            lines.push_back(failure.substr(from, end == std::string::npos ? end : end - from));
            if (end == std::string::npos) {
                break;
            }
            from = end + 1;
        }
        for (const std::string& line : lines) {
            if (line.rfind("failed to ", 0) != 0) {
                lines = {failure};
                break;
            }
        }
        for (const std::string& line : lines) {
            Print(line);
        }
    }

    void Print(const std::string& line) {
        std::lock_guard lock(mutex_);
        if (barShown_) {
            fputs("\r\033[K", err_);
            barShown_ = false;
        }
        PrintError(err_, line);
    }

  private:
    void DrawBar(int32_t passes) {
        constexpr int kWidth = 40;
        int filled = total_ > 0 ? static_cast<int>(int64_t{passes} * kWidth / total_) : kWidth;
        std::string bar(static_cast<size_t>(filled), '#');
        bar.resize(kWidth, '.');
        fprintf(err_, "\r[%s] %d/%d", bar.c_str(), passes, total_);
        fflush(err_);
        barShown_ = true;
    }

    void ClearBar() {
        std::lock_guard lock(mutex_);
        if (barShown_) {
            fputs("\r\033[K", err_);
            fflush(err_);
            barShown_ = false;
        }
    }

    FILE* err_;
    bool showBar_;
    int32_t total_ = 0;
    std::mutex mutex_;
    bool barShown_ = false;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

class CCliRunHost final : public IRunHost {
  public:
    CCliRunHost(CCliSession& session, FILE* err)
        : session_(session), err_(err), reporter_(err, isatty(fileno(err)) != 0) {}

    // A missing destination folder is made without asking.
    bool AskYesNo(const std::string&, const std::string&) override { return true; }

    void ShowMessage(MessageKind, const std::string&, const std::string& text) override {
        lastMessage_ = text;
    }

    int32_t BuildFileList() override {
        int32_t count = session_.BuildFileList(err_);
        reporter_.SetTotal(count);
        return count;
    }

    // The engine asks for the reporter just before it starts the worker:
    // from here on an interrupt cancels the run instead of ending the program.
    IRunReporter& Reporter() override {
        workerStarting = 1;
        return reporter_;
    }

    bool ShowProgress(int32_t, std::atomic<uint8_t>& cancelRequested,
                      CCompletionEvent& completion) override {
        for (;;) {
            if (interrupted) {
                cancelRequested = 1;
                return false;
            }
            if (completion.WaitFor(kCancelPollMs)) {
                return true;
            }
        }
    }

    // As in the window: a worker that needs more than a second to stop is
    // not waited for (RunRun then ends the program without it).
    void ShowWait(CCompletionEvent& completion) override { completion.WaitFor(1000); }

    void RefreshSourceList() override {}

    // Nobody to ask: a run that cannot be undone needs --no-journal (which
    // does not come here).
    bool AcceptUnrecordedRun(const std::string& reason) override {
        lastMessage_ = UnrecordedText(reason) + " Give --no-journal to rename without it.";
        return false;
    }

    const std::string& LastMessage() const { return lastMessage_; }

  private:
    CCliSession& session_;
    FILE* err_;
    CCliReporter reporter_;
    std::string lastMessage_;
};

}  // namespace

int RunRun(const CliOptions& options, FILE* err) {
    barOnTerminal = isatty(fileno(err)) != 0 && fileno(err) == STDERR_FILENO;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume, so no file operation fails because of
    // the signal itself.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    CCliSession session;
    int status = session.Prepare(options, err);
    if (status != kExitDone) {
        return status;
    }

    const RenameSettings& settings = session.Rules().Settings();
    RunRequest request;
    request.sourceFolder = session.Folder();
    request.destinationFolder = settings.RenameDestFolder;
    request.writeLog = settings.LogFile;
    request.writeUndo = settings.UndoBatchFile;
    request.inPlace = settings.RenameInPlace;
    request.noJournal = options.noJournal;

    CCliRunHost host(session, err);
    CRunEngine engine(session.Rules());
    StartOutcome outcome = engine.OnStart(host, request);
    const bool workerLeftBehind = engine.Busy();
    if (!workerLeftBehind) {
        engine.WaitForWorker();
    }

    std::string summary = outcome.endMessage.empty() ? host.LastMessage() : outcome.endMessage;
    for (char& c : summary) {
        if (c == '\n') {
            c = ' ';
        }
    }
    if (!summary.empty()) {
        PrintError(err, summary);
    }
    if (workerLeftBehind) {
        // Cancelled, and the worker is stuck in a call that does not return:
        // end without it rather than hang. What it finished is in the log and
        // the undo script.
        fflush(err);
        _exit(kExitSomeFailed);
    }
    // A named FILE that is not there is a failure, whatever else was done.
    if (session.NamedFilesFailed() > 0) {
        return kExitSomeFailed;
    }
    switch (outcome.ended) {
        case StartOutcome::Ended::NoFiles:
            return kExitNothingToDo;
        case StartOutcome::Ended::NoDestination:
            return kExitUsage;
        case StartOutcome::Ended::Ran:
            return outcome.cancelled || outcome.result.status != RunStatus::Complete ||
                           outcome.result.filesFailed > 0 || outcome.result.logError != 0 ||
                           outcome.result.undoError != 0 || outcome.result.journalError != 0
                       ? kExitSomeFailed
                       : kExitDone;
        default:
            return kExitSomeFailed;
    }
}

}  // namespace quorvan::cli
