#include "cli/run_command.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <mutex>

#include "cli/cli_session.h"
#include "run/run_engine.h"

namespace quorvan::cli {

namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

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

    void ReportFileFailed(const std::string& failure) override {
        size_t from = 0;
        while (from <= failure.size()) {
            size_t end = failure.find('\n', from);
            Print(failure.substr(from, end == std::string::npos ? std::string::npos : end - from));
            if (end == std::string::npos) {
                break;
            }
            from = end + 1;
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

    IRunReporter& Reporter() override { return reporter_; }

    bool ShowProgress(int32_t, std::atomic<uint8_t>& cancelRequested,
                      CCompletionEvent& completion) override {
        while (!completion.WaitFor(100)) {
            if (interrupted) {
                // Ctrl-C: the file in progress completes, then the run stops.
                cancelRequested = 1;
                while (!completion.WaitFor(1000)) {
                }
                return false;
            }
        }
        return true;
    }

    void ShowWait(CCompletionEvent& completion) override {
        while (!completion.WaitFor(1000)) {
        }
    }

    void RefreshSourceList() override {}

    const std::string& LastMessage() const { return lastMessage_; }

  private:
    CCliSession& session_;
    FILE* err_;
    CCliReporter reporter_;
    std::string lastMessage_;
};

}  // namespace

int RunRun(const CliOptions& options, FILE* err) {
    CCliSession session;
    int status = session.Prepare(options, err);
    if (status != kExitDone) {
        return status;
    }

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const RenameSettings& settings = session.Rules().Settings();
    RunRequest request;
    request.sourceFolder = session.Folder();
    request.destinationFolder = settings.RenameDestFolder;
    request.writeLog = settings.LogFile;
    request.writeUndo = settings.UndoBatchFile;
    request.inPlace = settings.RenameInPlace;

    CCliRunHost host(session, err);
    CRunEngine engine(session.Rules());
    StartOutcome outcome = engine.OnStart(host, request);
    engine.WaitForWorker();

    std::string summary = outcome.endMessage.empty() ? host.LastMessage() : outcome.endMessage;
    for (char& c : summary) {
        if (c == '\n') {
            c = ' ';
        }
    }
    if (!summary.empty()) {
        PrintError(err, summary);
    }
    switch (outcome.ended) {
        case StartOutcome::Ended::NoFiles:
            return kExitNothingToDo;
        case StartOutcome::Ended::Ran:
            return outcome.cancelled || outcome.result.status != RunStatus::Complete ||
                           outcome.result.filesFailed > 0
                       ? kExitSomeFailed
                       : kExitDone;
        default:
            return kExitSomeFailed;
    }
}

}  // namespace quorvan::cli
