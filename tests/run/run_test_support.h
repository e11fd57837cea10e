#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/product.h"
#include "rules/rename_rules.h"
#include "run/run_engine.h"
#include "run/run_log.h"
#include "run/undo_script.h"
#include "run/usage_counters.h"
#include "support/test_dir.h"

namespace quorvan::test {

// The header stamp of the examples: 6 December 2002, 23:07:30.
inline LocalDateTime ExampleTime() {
    return {2002, 12, 6, 23, 7, 30};
}

// Keeps the usage counters of a test in a folder of its own.
class CounterFolder final {
  public:
    static int32_t Read(const char* name) { return CUsageRegistry(kAppGuid).ReadCounter(name); }

  private:
    test::StateDirScope scope_;
};

// Answers the run's questions, records its messages and reports, and can
// cancel while a given file is being processed.
class TestHost final : public IRunHost, public IRunReporter {
  public:
    explicit TestHost(CRenameRules& rules) : rules_(rules) {}

    std::vector<std::string> files;  // the selection, full paths
    bool answerYes = true;
    int cancelDuringFile = 0;  // 1-based; 0 never
    // Called on the starting thread while the worker waits at its first file.
    std::function<void()> whileRunning;
    // Called while a question waits for its answer, before the worker starts.
    std::function<void()> whileAsked;

    std::vector<std::string> questions;
    std::vector<std::string> messages;  // "caption|text"
    int refreshes = 0;

    bool AskYesNo(const std::string& caption, const std::string& text) override {
        questions.push_back(caption + "|" + text);
        if (whileAsked) {
            whileAsked();
        }
        return answerYes;
    }
    void ShowMessage(MessageKind, const std::string& caption, const std::string& text) override {
        messages.push_back(caption + "|" + text);
    }
    int32_t BuildFileList() override {
        rules_.GatherFromPages(rules_.Settings().SourcePath);
        rules_.ClearPlan();
        for (const std::string& file : files) {
            rules_.AddSource(file);
        }
        return static_cast<int32_t>(files.size());
    }
    IRunReporter& Reporter() override { return *this; }
    bool ShowProgress(int32_t, std::atomic<uint8_t>& cancelRequested,
                      CCompletionEvent& completion) override {
        cancel_.store(&cancelRequested);
        if (whileRunning) {
            std::unique_lock lock(pauseMutex_);
            pauseChanged_.wait(lock, [this] { return workerPaused_; });
            whileRunning();
            resumed_ = true;
            pauseChanged_.notify_all();
        }
        // Waits for the worker even after a cancel, so tests see its whole work.
        completion.WaitFor(20000);
        return !cancelled_.load();
    }
    void RefreshSourceList() override { ++refreshes; }

    void ReportOriginalName(const std::string&) override {}
    void ReportRenamedName(const std::string&) override {
        if (whileRunning && started_.load() == 0) {
            std::unique_lock lock(pauseMutex_);
            workerPaused_ = true;
            pauseChanged_.notify_all();
            pauseChanged_.wait(lock, [this] { return resumed_; });
        }
        if (++started_ == cancelDuringFile) {
            while (cancel_.load() == nullptr) {
                std::this_thread::yield();
            }
            cancel_.load()->store(1);
            cancelled_.store(true);
        }
    }
    void ReportProgress(int32_t passes) override {
        std::lock_guard lock(mutex_);
        progress_.push_back(passes);
    }
    void ReportFinished(const RunResult&) override { ++finishReports_; }
    void ReportError(const std::string& message) override {
        std::lock_guard lock(mutex_);
        errors_.push_back(message);
    }
    void ReportFileFailed(const std::string& failure) override {
        std::lock_guard lock(mutex_);
        failures_.push_back(failure);
    }

    std::vector<int32_t> Progress() {
        std::lock_guard lock(mutex_);
        return progress_;
    }
    std::vector<std::string> Errors() {
        std::lock_guard lock(mutex_);
        return errors_;
    }
    std::vector<std::string> Failures() {
        std::lock_guard lock(mutex_);
        return failures_;
    }
    int FinishReports() const { return finishReports_.load(); }

  private:
    CRenameRules& rules_;
    std::atomic<std::atomic<uint8_t>*> cancel_{nullptr};
    std::atomic<bool> cancelled_{false};
    std::atomic<int> started_{0};
    std::atomic<int> finishReports_{0};
    std::mutex pauseMutex_;
    std::condition_variable pauseChanged_;
    bool workerPaused_ = false;
    bool resumed_ = false;
    std::mutex mutex_;
    std::vector<int32_t> progress_;
    std::vector<std::string> errors_;
    std::vector<std::string> failures_;
};

// A run through the engine, in place, over files of a folder of its own and
// with usage counters of its own.
struct EngineRun {
    CounterFolder counters;
    TestDir dir;
    CRenameRules rules;
    CRunEngine engine{rules};
    TestHost host{rules};
    RunRequest request;

    EngineRun() {
        request.sourceFolder = dir.Path();
        request.inPlace = true;
    }
    StartOutcome Start() { return engine.OnStart(host, request); }
};

// Runs the undo script in `folder` with dash from an empty folder (`cwd`
// when given); gives its status and what it said.
inline int RunUndoScript(const std::string& folder, std::string* output = nullptr,
                         const TestDir* cwd = nullptr) {
    TestDir elsewhere;
    return RunCommand("cd " + ShellQuote((cwd ? *cwd : elsewhere).Path()) + " && dash " +
                          ShellQuote(folder + "/" + CUndoScript::kFileName),
                      output, true);
}

// The names in a folder but the run's log and undo script.
inline std::vector<std::string> NamesBesideRunFiles(const TestDir& dir) {
    std::vector<std::string> names;
    for (const std::string& name : dir.List()) {
        if (name != CRunLog::kFileName && name != CUndoScript::kFileName) {
            names.push_back(name);
        }
    }
    return names;
}

// Rules that rename in place by putting "new_" in front of each name.
inline void PrefixRules(CRenameRules& rules, const std::string& prefix = "new_") {
    rules.Settings().TextMode = true;
    rules.Settings().AddPrefix = true;
    rules.Settings().Prefix = prefix;
    rules.Settings().RenameInPlace = true;
}

// Rules that number the files from `start` in place of their names.
inline void NumberRules(CRenameRules& rules, int32_t start) {
    rules.Settings().TextMode = false;
    rules.Settings().NumericSequence = true;
    rules.Settings().StartWith = start;
    rules.Settings().DigitCount = 1;
    rules.Settings().SequencePlacement = 1;
    rules.Settings().RenameInPlace = true;
}

// The permission bits of a file.
inline uint32_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Splits a text into lines at "\n" (a final line feed ends the last line).
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

}  // namespace quorvan::test
