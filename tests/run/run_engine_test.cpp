#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "run/run_log.h"
#include "run/run_worker.h"
#include "run/undo_script.h"
#include "run_test_support.h"
#include "support/held_page.h"
#include "support/worker_gate.h"

namespace quorvan::test {
namespace {

// A run in place that writes its log and undo script, at the examples' time.
struct LoggedRun : EngineRun {
    LoggedRun() {
        request.writeLog = true;
        request.writeUndo = true;
        engine.SetClock(ExampleTime);
    }
};

class RunEngine : public ::testing::Test, public LoggedRun {};

// Linux has no settable creation time: the end message says so once and no
// file counts as failed for it (the log line per file is checked with a
// single file's work).
TEST_F(RunEngine, CreationTimeTickedIsSaidOnceNotAFailure) {
    PrefixRules(rules);
    rules.Settings().ModifyDatesTimes = true;
    rules.Settings().ModifyCreationDateTime = true;
    host.files = {dir.CreateFile("a.jpg", "A"), dir.CreateFile("b.jpg", "B")};

    StartOutcome outcome = Start();
    EXPECT_EQ(outcome.result.filesFailed, 0);
    EXPECT_EQ(outcome.endMessage,
              "Rename process complete.\nCreation times cannot be set on this system.");
    EXPECT_EQ(NamesBesideRunFiles(dir), (std::vector<std::string>{"new_a.jpg", "new_b.jpg"}));
}

TEST_F(RunEngine, ExampleLogAndUndoFiles) {
    PrefixRules(rules);
    host.files = {dir.CreateFile("a.jpg", "A"), dir.CreateFile("b.jpg", "B")};

    StartOutcome outcome = Start();
    ASSERT_EQ(outcome.ended, StartOutcome::Ended::Ran);
    EXPECT_EQ(outcome.result.status, RunStatus::Complete);
    EXPECT_EQ(outcome.endMessage, "Rename process complete.");
    EXPECT_EQ(host.messages.back(), "Info...|Rename process complete.");

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

    EXPECT_EQ(host.Progress(), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(host.FinishReports(), 1);
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 1);
    EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 2);

    // A second run empties both files first.
    host.files = {dir / "new_a.jpg"};
    rules.Settings().Prefix = "x";
    ASSERT_EQ(Start().ended, StartOutcome::Ended::Ran);
    EXPECT_EQ(Lines(dir.Read(CRunLog::kFileName)).size(), 5u);
    EXPECT_EQ(Lines(dir.Read(CUndoScript::kFileName)).size(),
              Lines(UndoScriptHeader(ExampleTime())).size() + 3);
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 2);
    EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 3);
}

TEST_F(RunEngine, UndoScriptRestoresHostileNamesWithoutRunningThem) {
    TestDir cwd;
    const std::vector<std::string> names = {
        "it's.txt",    "say \"hi\".txt",  "$(touch x)",       "`touch y`",   "-rf",
        "line\nbreak", "bad\xff\xfe.bin", "semi;colon & amp", "back\\slash", "star*"};
    PrefixRules(rules, "~ ");
    for (const std::string& name : names) {
        host.files.push_back(dir.CreateFile(name, "content of " + name));
    }
    dir.CreateFile("bystander.txt", "untouched");
    const std::vector<std::string> before = dir.List();

    StartOutcome outcome = Start();
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
    EXPECT_EQ(RunUndoScript(dir.Path(), &output, &cwd), 0) << output;
    EXPECT_EQ(NamesBesideRunFiles(dir), before);
    for (const std::string& name : names) {
        EXPECT_EQ(dir.Read(name), "content of " + name) << name;
    }
    EXPECT_EQ(dir.Read("bystander.txt"), "untouched");
    EXPECT_TRUE(cwd.List().empty());
    EXPECT_FALSE(dir.Exists("x"));
    EXPECT_FALSE(dir.Exists("y"));
}

TEST_F(RunEngine, UndoNeverReplacesAFileThatTookTheOldName) {
    PrefixRules(rules);
    host.files = {dir.CreateFile("a.txt", "mine")};
    ASSERT_EQ(Start().result.status, RunStatus::Complete);
    dir.CreateFile("a.txt", "someone else's");

    std::string output;
    RunUndoScript(dir.Path(), &output);
    EXPECT_NE(output.find("not restored, " + (dir / "a.txt") + " exists"), std::string::npos)
        << output;
    EXPECT_EQ(dir.Read("a.txt"), "someone else's");
    EXPECT_EQ(dir.Read("new_a.txt"), "mine");
}

TEST_F(RunEngine, CancelCountsThePassesDoneAndFinishesTheFileInProgress) {
    PrefixRules(rules);
    for (int i = 0; i < 6; ++i) {
        host.files.push_back(dir.CreateFile("f" + std::to_string(i), "x"));
    }
    host.cancelDuringFile = 3;

    StartOutcome outcome = Start();
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.endMessage, "Rename process aborted.");
    EXPECT_EQ(outcome.result.passes, 3);
    EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 3);
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 1);
    EXPECT_EQ(dir.List(),
              (std::vector<std::string>{CRunLog::kFileName, CUndoScript::kFileName, "f3", "f4",
                                        "f5", "new_f0", "new_f1", "new_f2"}));
    EXPECT_EQ(host.Progress().back(), 3);
    EXPECT_EQ(host.FinishReports(), 1);
    EXPECT_TRUE(engine.CompletionEvent().IsSet());
}

TEST_F(RunEngine, RunFilesThatCannotBeCreatedAbortBeforeAnyWork) {
    for (const char* blocked : {CRunLog::kFileName, CUndoScript::kFileName}) {
        LoggedRun run;
        PrefixRules(run.rules);
        run.host.files = {run.dir.CreateFile("a.txt")};
        run.dir.CreateDir(blocked);

        StartOutcome outcome = run.Start();
        EXPECT_EQ(outcome.result.status, RunStatus::Aborted);
        EXPECT_EQ(outcome.result.passes, 0);
        EXPECT_EQ(outcome.endMessage, "Rename process aborted.");
        EXPECT_EQ(run.host.Errors(),
                  std::vector<std::string>{blocked == std::string(CRunLog::kFileName)
                                               ? "Error creating log file."
                                               : "Error creating undo batch file."});
        EXPECT_TRUE(run.dir.Exists("a.txt"));
        EXPECT_FALSE(run.dir.Exists("new_a.txt"));
        EXPECT_EQ(run.host.FinishReports(), 1);
        EXPECT_FALSE(outcome.timesUsedCounted);
        EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 0);
        EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 0);
        if (blocked == std::string(CUndoScript::kFileName)) {
            EXPECT_EQ(Lines(run.dir.Read(CRunLog::kFileName)).size(), 4u);
        }
    }
}

// With fewer checked titles than track files, the files left without a title
// keep their names; they are not failures.
TEST_F(RunEngine, FilesWithoutATitleAreLeftAlone) {
    dir.CreateFiles({"a.mp3", "b.mp3", "c.mp3"});
    CHeldPage<CdAudioPageState> cdPage(
        CdPage({dir / "b.mp3", dir / "a.mp3", dir / "c.mp3"},
               {{"1", "Opening", "3:05", true}, {"2", "Unused", "4:10", false}}));
    rules.SetPages(nullptr, nullptr, nullptr, &cdPage);
    request.cdMode = true;
    rules.Settings().RenameInPlace = true;
    host.files = {dir / "b.mp3", dir / "a.mp3", dir / "c.mp3"};

    const StartOutcome outcome = Start();
    EXPECT_EQ(outcome.result.filesFailed, 0);
    EXPECT_EQ(outcome.endMessage, "Rename process complete.");
    EXPECT_EQ(NamesBesideRunFiles(dir),
              (std::vector<std::string>{"Opening.mp3", "a.mp3", "c.mp3"}));
    EXPECT_EQ(dir.Read(CRunLog::kFileName).find("failed"), std::string::npos);
    EXPECT_EQ(CounterFolder::Read(kValueFilesProcessed), 3);
}

// A name the rules turn into ".." is no name: the file stays and the run says so.
TEST_F(RunEngine, AFileTheRulesGiveNoUsableNameIsReportedAndLeftAlone) {
    dir.CreateFiles({"xx", "ax"});
    rules.Settings().RenameInPlace = true;
    rules.Settings().TextMode = true;
    rules.Settings().ReplaceString = true;
    rules.Settings().SourceString = "x";
    rules.Settings().DestString = ".";
    host.files = {dir / "ax", dir / "xx"};

    const StartOutcome outcome = Start();
    EXPECT_EQ(outcome.result.filesFailed, 1);
    EXPECT_EQ(outcome.endMessage, "Rename process complete.\n1 file failed.");
    EXPECT_EQ(NamesBesideRunFiles(dir), (std::vector<std::string>{"a.", "xx"}));
    EXPECT_NE(
        dir.Read(CRunLog::kFileName)
            .find("failed to rename " + (dir / "xx") + ": the rules give it no valid new name"),
        std::string::npos);
}

TEST_F(RunEngine, ChecksBeforeTheRun) {
    PrefixRules(rules);

    // Nothing selected.
    EXPECT_EQ(Start().ended, StartOutcome::Ended::NoFiles);
    EXPECT_EQ(host.messages.back(), "Info...|There are no files to process.");
    EXPECT_FALSE(dir.Exists(CRunLog::kFileName));

    // Copy mode into a missing folder: declined, then accepted.
    rules.Settings().RenameInPlace = false;
    rules.Settings().RenameDestFolder = dir / "out/deeper";
    request.inPlace = false;
    request.destinationFolder = dir / "out/deeper";
    host.files = {dir.CreateFile("a.txt", "data")};
    host.answerYes = false;
    EXPECT_EQ(Start().ended, StartOutcome::Ended::Declined);
    EXPECT_EQ(host.questions.back(),
              "Create folder?|The destination folder for the rename does not exist.\n"
              "Do you wish to create this folder?");
    EXPECT_FALSE(dir.Exists("out"));
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 0);

    host.answerYes = true;
    EXPECT_EQ(Start().result.status, RunStatus::Complete);
    EXPECT_EQ(dir.Read("out/deeper/new_a.txt"), "data");
    EXPECT_EQ(dir.Read("a.txt"), "data");
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), 1);

    // An existing file of that name counts as existing: no question.
    request.destinationFolder = dir / "a.txt";
    size_t asked = host.questions.size();
    Start();
    EXPECT_EQ(host.questions.size(), asked);

    // No destination at all is no root folder: refused before any work.
    request.destinationFolder = "";
    const int used = CounterFolder::Read(kValueTimesUsed);
    EXPECT_EQ(Start().ended, StartOutcome::Ended::NoDestination);
    EXPECT_NE(host.messages.back().find("\"Destination Folder:\" on the Extended page"),
              std::string::npos)
        << host.messages.back();
    EXPECT_EQ(CounterFolder::Read(kValueTimesUsed), used);
}

TEST_F(RunEngine, SecondStartWaitsForAWorkerStillBusy) {
    PrefixRules(rules);
    host.files = {dir.CreateFile("a.txt")};
    host.cancelDuringFile = 1;
    // The worker stays on its file until the test lets it go.
    WorkerGate gate;

    // The host waits for the worker, which stays held: release it from here.
    std::thread first([&] {
        StartOutcome outcome = Start();
        EXPECT_TRUE(outcome.cancelled);
    });
    ASSERT_TRUE(gate.WaitUntilHeld());
    // Give the first Start time to reach its progress display.
    usleep(100000);
    CRenameRules otherRules;
    TestHost other(otherRules);
    other.files = {dir.CreateFile("b.txt")};
    StartOutcome refused = engine.OnStart(other, request);
    EXPECT_EQ(refused.ended, StartOutcome::Ended::Busy);
    EXPECT_EQ(other.messages.size(), 1u);
    EXPECT_TRUE(dir.Exists("b.txt"));
    gate.Open();
    first.join();
    engine.WaitForWorker();
    EXPECT_FALSE(engine.Busy());
    // The file in hand was finished; the other run touched nothing.
    EXPECT_TRUE(dir.Exists("new_a.txt"));
    EXPECT_TRUE(dir.Exists("b.txt"));
}

// The window may change its pages and recompute its plan while a worker runs
// (the wait dialog gives up after a second): the run keeps to what it took at
// Start.
TEST_F(RunEngine, ChangesInTheWindowDuringARunDoNotReachIt) {
    dir.CreateFiles({"a.txt", "b.txt", "c.txt"});
    HeldPages pages;
    pages.rename.state.addPrefix = true;
    pages.rename.state.prefix = "new_";
    rules.SetPages(&pages.rename, &pages.extended, &pages.attribute, nullptr);
    rules.Settings().SourcePath = dir.Path();
    host.files = {dir / "a.txt", dir / "b.txt", dir / "c.txt"};

    // What Preview shows at the moment of Start.
    host.BuildFileList();
    rules.ComputePlan(dir.Path(), false);
    std::vector<CRenamePlan::Entry> previewed = rules.PlanEntries();

    host.whileRunning = [&] {
        pages.rename.state.prefix = "changed_";
        pages.extended.state.renameInPlace = false;
        pages.extended.state.destinationFolder = dir / "elsewhere";
        rules.GatherFromPages(dir.Path());
        rules.ClearPlan();
        rules.AddSource(dir / "c.txt");
        rules.ComputePlan(dir.Path(), false);
        rules.Settings().ModifyAttributes = true;
        rules.Settings().ModifyReadOnly = true;
    };
    const StartOutcome outcome = Start();
    ASSERT_EQ(outcome.result.status, RunStatus::Complete);
    EXPECT_EQ(outcome.result.filesFailed, 0);

    EXPECT_EQ(NamesBesideRunFiles(dir),
              (std::vector<std::string>{"new_a.txt", "new_b.txt", "new_c.txt"}));
    std::string log;
    for (const auto& [source, target] : previewed) {
        log += "renamed " + source + " to " + target + "\n";
    }
    EXPECT_NE(dir.Read(CRunLog::kFileName).find(log), std::string::npos);
    EXPECT_EQ(dir.Read(CRunLog::kFileName).find("attributes"), std::string::npos);
    EXPECT_EQ(RunUndoScript(dir.Path()), 0);
    EXPECT_EQ(NamesBesideRunFiles(dir), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

// Replaces the folder `folder` by a symbolic link to `target`; the real
// folder is kept beside it as `folder` + ".real".
void SwapForLink(const std::string& folder, const std::string& target) {
    ASSERT_EQ(rename(folder.c_str(), (folder + ".real").c_str()), 0);
    ASSERT_EQ(symlink(target.c_str(), folder.c_str()), 0);
}

// A folder of the run swapped for a link after the plan was made: nothing is
// renamed or copied in the link's target, and the run or the file says why.
TEST(SwappedFolder, NothingIsDoneInTheTargetOfALinkPutInPlaceOfAFolder) {
    struct Case {
        const char* name;
        bool inPlace;
        bool whileAsked;                 // swapped while the run asks, else at the file
        const char* swapped;             // the folder below the test folder
        const char* decoyFile;           // in the link's target, to stay as it is
        std::vector<std::string> after;  // the files below the test folder
        const char* failure;             // part of the error or failure
    };
    const Case cases[] = {
        {"source folder, in place",
         true,
         true,
         "src",
         "a",
         {"decoy/a", "decoy/b", "decoy/c", "src", "src.real/a", "src.real/b", "src.real/new_b"},
         "is not the one the run was planned for: it was moved or replaced (by a symbolic "
         "link, say). Nothing was changed."},
        {"source folder, copies",
         false,
         true,
         "src",
         "a",
         {"decoy/a", "decoy/b", "decoy/c", "out/new_b/x", "src", "src.real/a", "src.real/b"},
         "is not the one the run was planned for"},
        {"subfolder, in place",
         true,
         false,
         "src/sub",
         "c",
         {"decoy/a", "decoy/b", "decoy/c", "src/new_a", "src/new_b", "src/sub", "src/sub.real/c"},
         "sub/c to "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineRun run;
        TestDir& dir = run.dir;
        TestDir history;
        run.engine.SetHistoryFolder(history.Path());
        PrefixRules(run.rules);
        run.request.sourceFolder = dir / "src";
        run.request.inPlace = c.inPlace;
        for (const char* name : {"a", "b", "c"}) {
            dir.CreateFile(std::string("decoy/") + name, "decoy");
        }
        run.host.files = {dir.CreateFile("src/a", "A"), dir.CreateFile("src/b", "B")};
        if (c.whileAsked) {
            // A file that cannot be renamed makes the run ask first.
            if (c.inPlace) {
                dir.CreateFile("src/new_b", "taken");
            } else {
                dir.CreateFile("out/new_b/x");
                run.rules.Settings().RenameDestFolder = dir / "out";
                run.request.destinationFolder = dir / "out";
            }
            run.host.whileAsked = [&] { SwapForLink(dir / c.swapped, dir / "decoy"); };
        } else {
            run.host.files.push_back(dir.CreateFile("src/sub/c", "C"));
            SetBeforeFileHook([&](const std::string& original) {
                if (original == dir / "src/sub/c") {
                    SwapForLink(dir / c.swapped, dir / "decoy");
                }
            });
        }
        run.rules.Settings().RenameInPlace = c.inPlace;
        const StartOutcome outcome = run.Start();
        SetBeforeFileHook({});

        EXPECT_EQ(dir.Read(std::string("decoy/") + c.decoyFile), "decoy");
        std::vector<std::string> after;
        for (const auto& [path, content] : dir.Inventory()) {
            after.push_back(path);
        }
        EXPECT_EQ(after, c.after);
        std::string said;
        for (const std::string& text : run.host.Errors()) {
            said += text + "\n";
        }
        for (const std::string& text : run.host.Failures()) {
            said += text + "\n";
        }
        EXPECT_NE(said.find(c.failure), std::string::npos) << said;
        if (c.whileAsked) {
            EXPECT_EQ(outcome.result.status, RunStatus::Aborted);
            EXPECT_EQ(outcome.endMessage.rfind("Rename process aborted.", 0), 0u);
        } else {
            EXPECT_EQ(outcome.result.filesFailed, 1);
            EXPECT_NE(said.find("The folder was replaced since the run was planned"),
                      std::string::npos);
        }
    }
}

}  // namespace
}  // namespace quorvan::test
