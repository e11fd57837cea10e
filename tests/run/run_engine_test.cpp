#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "run/run_log.h"
#include "run/undo_script.h"
#include "run_test_support.h"
#include "support/held_page.h"
#include "support/worker_gate.h"

namespace quorvan::test {
namespace {

struct StartRun {
    CRenameRules rules;
    CRunEngine engine{rules};
    TestHost host{rules};
    RunRequest request;

    explicit StartRun(const TestDir& dir) {
        request.sourceFolder = dir.Path();
        request.writeLog = true;
        request.writeUndo = true;
        request.inPlace = true;
        engine.SetClock(ExampleTime);
    }
    StartOutcome Start() { return engine.OnStart(host, request); }
};

// Runs the undo script with dash from an empty folder; returns its status.
int RunUndo(const TestDir& dir, const TestDir& cwd, std::string* output = nullptr) {
    return RunCommand(
        "cd " + ShellQuote(cwd.Path()) + " && dash " + ShellQuote(dir / CUndoScript::kFileName),
        output, true);
}

std::vector<std::string> ListWithoutRunFiles(const TestDir& dir) {
    std::vector<std::string> names;
    for (const std::string& name : dir.List()) {
        if (name != CRunLog::kFileName && name != CUndoScript::kFileName) {
            names.push_back(name);
        }
    }
    return names;
}

// Linux has no settable creation time: the end message says so once and no
// file counts as failed for it; the log keeps a line per file.
TEST(RunEngine, CreationTimeTickedIsSaidOnceNotAFailure) {
    CounterFolder counters;
    TestDir dir;
    StartRun run(dir);
    PrefixRules(run.rules);
    run.rules.Settings().ModifyDatesTimes = true;
    run.rules.Settings().ModifyCreationDateTime = true;
    run.host.files = {dir.CreateFile("a.jpg", "A"), dir.CreateFile("b.jpg", "B")};

    StartOutcome outcome = run.Start();
    EXPECT_EQ(outcome.result.filesFailed, 0);
    EXPECT_EQ(outcome.endMessage,
              "Rename process complete.\nCreation times cannot be set on this system.");
    EXPECT_EQ(ListWithoutRunFiles(dir), (std::vector<std::string>{"new_a.jpg", "new_b.jpg"}));
    const std::string log = dir.Read(CRunLog::kFileName);
    for (const char* name : {"/new_a.jpg", "/new_b.jpg"}) {
        EXPECT_NE(log.find("failed to set creation time on " + dir.Path() + name +
                           ": not supported on this system"),
                  std::string::npos)
            << log;
    }
}

TEST(RunEngine, ExampleLogAndUndoFiles) {
    CounterFolder counters;
    TestDir dir;
    StartRun run(dir);
    PrefixRules(run.rules);
    run.host.files = {dir.CreateFile("a.jpg", "A"), dir.CreateFile("b.jpg", "B")};

    StartOutcome outcome = run.Start();
    ASSERT_EQ(outcome.ended, StartOutcome::Ended::Ran);
    EXPECT_EQ(outcome.result.status, RunStatus::Complete);
    EXPECT_EQ(outcome.endMessage, "Rename process complete.");
    EXPECT_EQ(run.host.messages.back(), "Info...|Rename process complete.");

    const std::string p = dir.Path();
    EXPECT_EQ(dir.Read(CRunLog::kFileName),
              "==================================================================\n"
              " Quorvan  1.00\n"
              " Created: 12/06/02 23:07:30\n"
              "==================================================================\n"
              "renamed " +
                  p + "/a.jpg to " + p +
                  "/new_a.jpg\n"
                  "renamed " +
                  p + "/b.jpg to " + p + "/new_b.jpg\n");
    // The entries in run order; the script's own first lines run them newest
    // first, so that chains of renames undo correctly.
    EXPECT_EQ(dir.Read(CUndoScript::kFileName),
              UndoScriptHeader(ExampleTime()) + "\n# File: " + p + "/new_a.jpg to " + p +
                  "/a.jpg\nm '" + p + "/new_a.jpg' '" + p + "/a.jpg'\n\n# File: " + p +
                  "/new_b.jpg to " + p + "/b.jpg\nm '" + p + "/new_b.jpg' '" + p + "/b.jpg'\n");
    EXPECT_EQ(UndoScriptHeader(ExampleTime())
                  .rfind("#!/bin/sh\n"
                         "# ==================================="
                         "===============================\n"
                         "# Quorvan  1.00\n"
                         "# Created: 12/06/02 23:07:30\n",
                         0),
              0u);
    struct stat st {};
    ASSERT_EQ(stat((dir / CUndoScript::kFileName).c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IXUSR, 0u);

    EXPECT_EQ(run.host.Progress(), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(run.host.FinishReports(), 1);
    EXPECT_EQ(run.host.refreshes, 1);
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 1);
    EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 2);

    // A second run empties both files first.
    run.host.files = {dir / "new_a.jpg"};
    run.rules.Settings().Prefix = "x";
    ASSERT_EQ(run.Start().ended, StartOutcome::Ended::Ran);
    EXPECT_EQ(Lines(dir.Read(CRunLog::kFileName)).size(), 5u);
    EXPECT_EQ(Lines(dir.Read(CUndoScript::kFileName)).size(),
              Lines(UndoScriptHeader(ExampleTime())).size() + 3);
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 2);
    EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 3);
}

TEST(RunEngine, UndoScriptRestoresHostileNamesWithoutRunningThem) {
    CounterFolder counters;
    TestDir dir;
    TestDir cwd;
    const std::vector<std::string> names = {
        "it's.txt",    "say \"hi\".txt",  "$(touch x)",       "`touch y`",   "-rf",
        "line\nbreak", "bad\xff\xfe.bin", "semi;colon & amp", "back\\slash", "star*"};
    StartRun run(dir);
    PrefixRules(run.rules, "~ ");
    for (const std::string& name : names) {
        run.host.files.push_back(dir.CreateFile(name, "content of " + name));
    }
    dir.CreateFile("bystander.txt", "untouched");
    const std::vector<std::string> before = dir.List();

    StartOutcome outcome = run.Start();
    ASSERT_EQ(outcome.result.status, RunStatus::Complete);
    EXPECT_EQ(outcome.result.filesFailed, 0);
    for (const std::string& name : names) {
        EXPECT_TRUE(dir.Exists("~ " + name)) << name;
    }
    // No raw line break reaches a comment or a command: each "# File:" line
    // is followed by its command on one line.
    std::vector<std::string> lines = Lines(dir.Read(CUndoScript::kFileName));
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].rfind("# File: ", 0) == 0) {
            EXPECT_EQ(lines[i + 1].rfind("m '", 0), 0u) << lines[i];
            EXPECT_EQ(lines[i + 1].back(), '\'') << lines[i];
        }
    }
    EXPECT_NE(dir.Read(CUndoScript::kFileName).find("line\\nbreak"), std::string::npos);

    std::string output;
    EXPECT_EQ(RunUndo(dir, cwd, &output), 0) << output;
    EXPECT_EQ(ListWithoutRunFiles(dir), before);
    for (const std::string& name : names) {
        EXPECT_EQ(dir.Read(name), "content of " + name) << name;
    }
    EXPECT_EQ(dir.Read("bystander.txt"), "untouched");
    EXPECT_TRUE(cwd.List().empty());
    EXPECT_FALSE(dir.Exists("x"));
    EXPECT_FALSE(dir.Exists("y"));
}

TEST(RunEngine, RenumberingIsUndoneNewestFirst) {
    CounterFolder counters;
    TestDir dir;
    TestDir cwd;
    StartRun run(dir);
    NumberRules(run.rules, 0);
    run.host.files = {dir.CreateFile("1.txt", "one"), dir.CreateFile("2.txt", "two")};

    ASSERT_EQ(run.Start().result.status, RunStatus::Complete);
    EXPECT_EQ(dir.Read("0.txt"), "one");
    EXPECT_EQ(dir.Read("1.txt"), "two");
    EXPECT_FALSE(dir.Exists("2.txt"));

    std::string output;
    EXPECT_EQ(RunUndo(dir, cwd, &output), 0) << output;
    EXPECT_EQ(output, "");
    EXPECT_EQ(dir.Read("1.txt"), "one");
    EXPECT_EQ(dir.Read("2.txt"), "two");
    EXPECT_FALSE(dir.Exists("0.txt"));
}

TEST(RunEngine, UndoNeverReplacesAFileThatTookTheOldName) {
    CounterFolder counters;
    TestDir dir;
    TestDir cwd;
    StartRun run(dir);
    PrefixRules(run.rules);
    run.host.files = {dir.CreateFile("a.txt", "mine")};
    ASSERT_EQ(run.Start().result.status, RunStatus::Complete);
    dir.CreateFile("a.txt", "someone else's");
    dir.CreateDir("b.txt");

    std::string output;
    RunUndo(dir, cwd, &output);
    EXPECT_NE(output.find("not restored, " + (dir / "a.txt") + " exists"), std::string::npos)
        << output;
    EXPECT_EQ(dir.Read("a.txt"), "someone else's");
    EXPECT_EQ(dir.Read("new_a.txt"), "mine");
}

TEST(RunEngine, CancelCountsThePassesDoneAndFinishesTheFileInProgress) {
    CounterFolder counters;
    TestDir dir;
    StartRun run(dir);
    PrefixRules(run.rules);
    for (int i = 0; i < 6; ++i) {
        run.host.files.push_back(dir.CreateFile("f" + std::to_string(i), "x"));
    }
    run.host.cancelDuringFile = 3;

    StartOutcome outcome = run.Start();
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.endMessage, "Rename process aborted.");
    EXPECT_EQ(outcome.result.passes, 3);
    EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 3);
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 1);
    EXPECT_EQ(dir.List(),
              (std::vector<std::string>{CRunLog::kFileName, CUndoScript::kFileName, "f3", "f4",
                                        "f5", "new_f0", "new_f1", "new_f2"}));
    EXPECT_EQ(run.host.Progress().back(), 3);
    EXPECT_EQ(run.host.FinishReports(), 1);
    EXPECT_TRUE(run.engine.CompletionEvent().IsSet());
}

TEST(RunEngine, RunFilesThatCannotBeCreatedAbortBeforeAnyWork) {
    for (const char* blocked : {CRunLog::kFileName, CUndoScript::kFileName}) {
        CounterFolder counters;
        TestDir dir;
        StartRun run(dir);
        PrefixRules(run.rules);
        run.host.files = {dir.CreateFile("a.txt")};
        dir.CreateDir(blocked);

        StartOutcome outcome = run.Start();
        EXPECT_EQ(outcome.result.status, RunStatus::Aborted);
        EXPECT_EQ(outcome.result.passes, 0);
        EXPECT_EQ(outcome.endMessage, "Rename process aborted.");
        EXPECT_EQ(run.host.Errors(),
                  std::vector<std::string>{blocked == std::string(CRunLog::kFileName)
                                               ? "Error creating log file."
                                               : "Error creating undo batch file."});
        EXPECT_TRUE(dir.Exists("a.txt"));
        EXPECT_FALSE(dir.Exists("new_a.txt"));
        EXPECT_EQ(run.host.FinishReports(), 1);
        EXPECT_FALSE(outcome.timesUsedCounted);
        EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 0);
        EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 0);
        if (blocked == std::string(CUndoScript::kFileName)) {
            EXPECT_EQ(Lines(dir.Read(CRunLog::kFileName)).size(), 4u);
        }
    }
}

// With fewer checked titles than track files, the files left without a title
// keep their names; they are not failures.
TEST(RunEngine, FilesWithoutATitleAreLeftAlone) {
    TestDir dir;
    CounterFolder counters;
    dir.CreateFiles({"a.mp3", "b.mp3", "c.mp3"});
    StartRun run(dir);
    CHeldPage<CdAudioPageState> cdPage(
        CdPage({dir / "b.mp3", dir / "a.mp3", dir / "c.mp3"},
               {{"1", "Opening", "3:05", true}, {"2", "Unused", "4:10", false}}));
    run.rules.SetPages(nullptr, nullptr, nullptr, &cdPage);
    run.request.cdMode = true;
    run.rules.Settings().RenameInPlace = true;
    run.host.files = {dir / "b.mp3", dir / "a.mp3", dir / "c.mp3"};

    const StartOutcome outcome = run.Start();
    EXPECT_EQ(outcome.result.filesFailed, 0);
    EXPECT_EQ(outcome.endMessage, "Rename process complete.");
    EXPECT_EQ(ListWithoutRunFiles(dir),
              (std::vector<std::string>{"Opening.mp3", "a.mp3", "c.mp3"}));
    EXPECT_EQ(dir.Read(CRunLog::kFileName).find("failed"), std::string::npos);
    EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 3);
}

// A name the rules turn into ".." is no name: the file stays and the run says so.
TEST(RunEngine, AFileTheRulesGiveNoUsableNameIsReportedAndLeftAlone) {
    TestDir dir;
    CounterFolder counters;
    dir.CreateFiles({"xx", "ax"});
    StartRun run(dir);
    run.rules.Settings().RenameInPlace = true;
    run.rules.Settings().TextMode = true;
    run.rules.Settings().ReplaceString = true;
    run.rules.Settings().SourceString = "x";
    run.rules.Settings().DestString = ".";
    run.host.files = {dir / "ax", dir / "xx"};

    const StartOutcome outcome = run.Start();
    EXPECT_EQ(outcome.result.filesFailed, 1);
    EXPECT_EQ(outcome.endMessage, "Rename process complete.\n1 file failed.");
    EXPECT_EQ(ListWithoutRunFiles(dir), (std::vector<std::string>{"a.", "xx"}));
    EXPECT_NE(
        dir.Read(CRunLog::kFileName)
            .find("failed to rename " + (dir / "xx") + ": the rules give it no valid new name"),
        std::string::npos);
}

TEST(RunEngine, ChecksBeforeTheRun) {
    CounterFolder counters;
    TestDir dir;
    StartRun run(dir);
    PrefixRules(run.rules);

    // Nothing selected.
    EXPECT_EQ(run.Start().ended, StartOutcome::Ended::NoFiles);
    EXPECT_EQ(run.host.messages.back(), "Info...|There are no files to process.");
    EXPECT_FALSE(dir.Exists(CRunLog::kFileName));

    // Copy mode into a missing folder: declined, then accepted.
    run.rules.Settings().RenameInPlace = false;
    run.rules.Settings().RenameDestFolder = dir / "out/deeper";
    run.request.inPlace = false;
    run.request.destinationFolder = dir / "out/deeper";
    run.host.files = {dir.CreateFile("a.txt", "data")};
    run.host.answerYes = false;
    EXPECT_EQ(run.Start().ended, StartOutcome::Ended::Declined);
    EXPECT_EQ(run.host.questions.back(),
              "Create folder?|The destination folder for the rename does not exist.\n"
              "Do you wish to create this folder?");
    EXPECT_FALSE(dir.Exists("out"));
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 0);

    run.host.answerYes = true;
    EXPECT_EQ(run.Start().result.status, RunStatus::Complete);
    EXPECT_EQ(dir.Read("out/deeper/new_a.txt"), "data");
    EXPECT_EQ(dir.Read("a.txt"), "data");
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 1);

    // An existing file of that name counts as existing: no question.
    run.request.destinationFolder = dir / "a.txt";
    size_t asked = run.host.questions.size();
    run.Start();
    EXPECT_EQ(run.host.questions.size(), asked);

    // No destination at all is no root folder: refused before any work.
    run.request.destinationFolder = "";
    const int used = CounterFolder::Read(kValueTimesUsed);
    EXPECT_EQ(run.Start().ended, StartOutcome::Ended::NoDestination);
    EXPECT_NE(run.host.messages.back().find("\"Destination Folder:\" on the Extended page"),
              std::string::npos)
        << run.host.messages.back();
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), used);
}

TEST(RunEngine, SecondStartWaitsForAWorkerStillBusy) {
    CounterFolder counters;
    TestDir dir;
    StartRun run(dir);
    PrefixRules(run.rules);
    run.host.files = {dir.CreateFile("a.txt")};
    run.host.cancelDuringFile = 1;
    // The worker stays on its file until the test lets it go.
    WorkerGate gate;

    // The host waits for the worker, which stays held: release it from here.
    std::thread first([&] {
        StartOutcome outcome = run.Start();
        EXPECT_TRUE(outcome.cancelled);
    });
    ASSERT_TRUE(gate.WaitUntilHeld());
    // Give the first Start time to reach its progress display.
    usleep(100000);
    CRenameRules otherRules;
    TestHost other(otherRules);
    other.files = {dir.CreateFile("b.txt")};
    StartOutcome refused = run.engine.OnStart(other, run.request);
    EXPECT_EQ(refused.ended, StartOutcome::Ended::Busy);
    EXPECT_EQ(other.messages.size(), 1u);
    EXPECT_TRUE(dir.Exists("b.txt"));
    gate.Open();
    first.join();
    run.engine.WaitForWorker();
    EXPECT_FALSE(run.engine.Busy());
    // The file in hand was finished; the other run touched nothing.
    EXPECT_TRUE(dir.Exists("new_a.txt"));
    EXPECT_TRUE(dir.Exists("b.txt"));
}

}  // namespace
}  // namespace quorvan::test

namespace quorvan::test {
namespace {

// The window may change its pages and recompute its plan while a worker runs
// (the wait dialog gives up after a second): the run keeps to what it took at
// Start.
TEST(RunEngine, ChangesInTheWindowDuringARunDoNotReachIt) {
    CounterFolder counters;
    TestDir dir;
    dir.CreateFiles({"a.txt", "b.txt", "c.txt"});
    CHeldPage<RenamePageState> rename;
    CHeldPage<ExtendedPageState> extended;
    CHeldPage<AttributePageState> attribute;
    rename.state.addPrefix = true;
    rename.state.prefix = "new_";
    StartRun run(dir);
    run.rules.SetPages(&rename, &extended, &attribute, nullptr);
    run.rules.Settings().SourcePath = dir.Path();
    run.host.files = {dir / "a.txt", dir / "b.txt", dir / "c.txt"};

    // What Preview shows at the moment of Start.
    run.host.BuildFileList();
    run.rules.ComputePlan(dir.Path(), false);
    std::vector<CRenamePlan::Entry> previewed = run.rules.PlanEntries();

    run.host.whileRunning = [&] {
        rename.state.prefix = "changed_";
        extended.state.renameInPlace = false;
        extended.state.destinationFolder = dir / "elsewhere";
        run.rules.GatherFromPages(dir.Path());
        run.rules.ClearPlan();
        run.rules.AddSource(dir / "c.txt");
        run.rules.ComputePlan(dir.Path(), false);
        run.rules.Settings().ModifyAttributes = true;
        run.rules.Settings().ModifyReadOnly = true;
    };
    const StartOutcome outcome = run.Start();
    ASSERT_EQ(outcome.result.status, RunStatus::Complete);
    EXPECT_EQ(outcome.result.filesFailed, 0);

    EXPECT_EQ(ListWithoutRunFiles(dir),
              (std::vector<std::string>{"new_a.txt", "new_b.txt", "new_c.txt"}));
    std::string log;
    for (const auto& [source, target] : previewed) {
        log += "renamed " + source + " to " + target + "\n";
    }
    EXPECT_NE(dir.Read(CRunLog::kFileName).find(log), std::string::npos);
    EXPECT_EQ(dir.Read(CRunLog::kFileName).find("attributes"), std::string::npos);
    TestDir elsewhere;
    EXPECT_EQ(RunUndo(dir, elsewhere), 0);
    EXPECT_EQ(ListWithoutRunFiles(dir), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

}  // namespace
}  // namespace quorvan::test
