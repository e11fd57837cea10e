#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/cli_child.h"
#include "platform/folder_lock.h"
#include "support/journaled_run.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::Contents;
using test::RunCommand;
using test::ScratchMount;
using test::ShellQuote;
using test::TestDir;
using Inventory = std::map<std::string, std::string>;

const std::vector<std::string> kRunFiles = {"Quorvan.log", "QuorvanUndo.sh"};
const std::string kCopyTo = " --set RenameInPlace=No --set RenameDestFolder=";
const std::string kPrefix = " --set AddPrefix=Yes --set Prefix=new_";
const std::string kRenumber =
    " --set TextSeqModifications=Seq --set NumericAlphaSequence=Num --set DigitCount=1"
    " --set SequencePlacement=Replace";

class RunSafety : public ::testing::Test {
  protected:
    // quorvan-cli with its state in a folder of the test, from `cwd`.
    int Cli(const std::string& args, std::string* err = nullptr, const std::string& cwd = "") {
        return test::Cli(args, nullptr, err,
                         (cwd.empty() ? "" : "cd " + ShellQuote(cwd) + " && ") +
                             "QUORVAN_STATE_DIR=" + ShellQuote(state.Path()));
    }
    TestDir dir;
    TestDir state;
};

// Copying into the source folder under another spelling must not overwrite a
// file the run still reads (it did with "$d/.": data lost). The plan check
// has the other spellings, the folder as it is among them.
TEST_F(RunSafety, ADestinationThatIsTheSourceFolderSpeltAnotherWayLosesNothing) {
    for (const char* way : {"/.", "a bind mount"}) {
        SCOPED_TRACE(way);
        TestDir d;
        d.CreateFile("a", "AAA");
        d.CreateFile("new_a", "ORIGINAL");
        TestDir bound;
        ScratchMount mount(bound.Path());
        std::string destination = d.Path() + way;
        if (way == std::string("a bind mount")) {
            if (!mount.Mount("--bind " + ShellQuote(d.Path()))) {
                continue;  // needs root
            }
            destination = bound.Path();
        }
        std::string err;
        EXPECT_EQ(
            Cli("run" + kPrefix + kCopyTo + ShellQuote(destination) + " " + ShellQuote(d.Path()),
                &err),
            1);
        EXPECT_EQ(d.Read("new_a"), "ORIGINAL");
        EXPECT_EQ(d.Read("a"), "AAA");
        EXPECT_EQ(d.Read("new_new_a"), "ORIGINAL");
        EXPECT_NE(err.find("failed to copy"), std::string::npos) << err;
    }
}

// A relative destination is taken from the folder the program starts in and
// made when missing, and the undo script works from any folder without
// touching a file elsewhere.
TEST_F(RunSafety, ARelativeDestinationIsResolvedOnceAndUndoneFromAnywhere) {
    dir.CreateFile("src/a", "A");
    dir.CreateDir("work");
    dir.CreateFile("other/out/new_a", "PRECIOUS");
    ASSERT_EQ(Cli("run" + kPrefix + kCopyTo + "out --set UndoBatchFile=Yes --set LogFile=Yes " +
                      ShellQuote(dir / "src"),
                  nullptr, dir / "work"),
              0);
    EXPECT_EQ(dir.Read("work/out/new_a"), "A");
    EXPECT_EQ(dir.Read("src/a"), "A");
    EXPECT_NE(
        dir.Read("src/Quorvan.log").find("renamed " + dir / "src/a to " + dir / "work/out/new_a"),
        std::string::npos);
    std::string output;
    EXPECT_EQ(RunCommand("cd " + ShellQuote(dir / "other") + " && sh " +
                             ShellQuote(dir / "src/QuorvanUndo.sh"),
                         &output, true),
              0)
        << output;
    EXPECT_EQ(dir.Read("other/out/new_a"), "PRECIOUS");
    EXPECT_FALSE(dir.Exists("work/out/new_a"));
}

// A second run in a folder where one works, or in a folder inside or above
// it when subfolders are on, ends at once and touches nothing. Which folders
// exclude which is checked with the lock itself.
TEST_F(RunSafety, ASecondRunInTheSameOrANestedFolderEndsAtOnce) {
    dir.CreateFiles({"top/a", "top/sub/b"});
    dir.CreateFile("top/Quorvan.log", "the first run's log");
    const std::string same =
        "quorvan-cli: Another rename run is working in this folder. Try again when it has "
        "finished.\n";
    const std::string nested =
        "quorvan-cli: Another rename run is working in a folder that holds this one, or in one "
        "inside it. Try again when it has finished.\n";
    struct Case {
        const char* held;  // by another run, in another process
        const char* run;
        const std::string& said;
    };
    // The lock of "top/." is the lock of "top", under another spelling.
    for (const Case& c : {Case{"top/.", "top", same}, Case{"top", "top/sub", nested},
                          Case{"top/sub", "top", nested}}) {
        SCOPED_TRACE(std::string(c.held) + " then " + c.run);
        const auto before = dir.Inventory();
        CFolderLock first;
        ASSERT_EQ(first.TryLock(dir / c.held), 0);
        std::string err;
        EXPECT_EQ(Cli("run" + kPrefix + " --set IncludeSubFolders=Yes --set LogFile=Yes " +
                          "--set UndoBatchFile=Yes " + ShellQuote(dir / c.run),
                      &err),
                  1);
        EXPECT_EQ(err, c.said);
        EXPECT_EQ(dir.Inventory(), before);
    }
    // A lock dies with its holder.
    EXPECT_EQ(Cli("run" + kPrefix + " " + ShellQuote(dir / "top")), 0);
}

// Copies of several sources to one name: the first wins, the others fail.
TEST_F(RunSafety, ACopyMadeByTheRunIsNeverWrittenAgain) {
    dir.CreateFile("src/a.doc", "DOC");
    dir.CreateFile("src/a.txt", "TXT");
    dir.CreateFile("out/a.jpg.keep", "untouched");
    std::string err;
    EXPECT_EQ(Cli("run --set ChangeExtension=Yes --set ChangeExtensionString=jpg" + kCopyTo +
                      ShellQuote(dir / "out") + " " + ShellQuote(dir / "src"),
                  &err),
              1);
    EXPECT_EQ(dir.List("out"), (std::vector<std::string>{"a.jpg", "a.jpg.keep"}));
    EXPECT_EQ(dir.Read("out/a.jpg"), "DOC");
    EXPECT_NE(
        err.find("failed to copy " + dir / "src/a.txt to " + dir / "out/a.jpg" + ": File exists"),
        std::string::npos)
        << err;
}

// A log or undo script that cannot be written is said, not hidden behind
// "Rename process complete.".
TEST_F(RunSafety, AFileThatCannotBeWrittenIsSaidAtTheEnd) {
    for (int i = 0; i < 40; ++i) {
        dir.CreateFile("file" + std::to_string(i), "x");
    }
    // At most 1 KiB per file written: too little for the journal, and for
    // the undo script's header.
    auto run = [&](const std::string& environment, std::string& err) {
        return RunCommand(
            "ulimit -f 2; trap '' XFSZ; " + environment +
                " QUORVAN_STATE_DIR=" + ShellQuote(state.Path()) + " " + QUORVAN_CLI_PATH + " run" +
                kPrefix + " --set LogFile=Yes --set UndoBatchFile=Yes " + ShellQuote(dir.Path()),
            &err, true);
    };
    // A run that could not be undone does not start without --no-journal.
    std::string err;
    EXPECT_EQ(run("", err), 1);
    EXPECT_NE(err.find("This run cannot be recorded for undo (" + state / "history" +
                       ": File too large). Give --no-journal to rename without it."),
              std::string::npos)
        << err;
    EXPECT_FALSE(dir.Exists("new_file0"));

    // Without the journal the run goes on, and says which file was cut short.
    EXPECT_EQ(run("QUORVAN_BENCH_NO_JOURNAL=1", err), 1);
    EXPECT_NE(err.find("Rename process complete."), std::string::npos) << err;
    EXPECT_NE(err.find("The undo script could not be written: File too large."), std::string::npos)
        << err;
    EXPECT_NE(err.find("The log file could not be written: File too large."), std::string::npos)
        << err;
    EXPECT_TRUE(dir.Exists("new_file0"));
}

// The run's own log and undo script are not renamed by it.
TEST_F(RunSafety, TheRunsOwnFilesAreLeftOut) {
    dir.CreateFile("a", "A");
    dir.CreateFile("Quorvan.log", "old log");
    dir.CreateFile("QuorvanUndo.sh", "old script");
    std::string out;
    EXPECT_EQ(RunCommand(std::string(QUORVAN_CLI_PATH) + " preview --set LogFile=Yes " +
                             "--set UndoBatchFile=Yes" + kPrefix + " " + ShellQuote(dir.Path()),
                         &out),
              0);
    EXPECT_EQ(out, dir / "a" + "\t" + dir / "new_a" + "\n");
    ASSERT_EQ(Cli("run --set LogFile=Yes --set UndoBatchFile=Yes" + kPrefix + " " +
                  ShellQuote(dir.Path())),
              0);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"Quorvan.log", "QuorvanUndo.sh", "new_a"}));
    const std::string log = dir.Read("Quorvan.log");
    EXPECT_NE(log.find("left out " + dir / "Quorvan.log: this run writes it"), std::string::npos);
    EXPECT_NE(log.find("left out " + dir / "QuorvanUndo.sh: this run writes it"),
              std::string::npos);
    // Without a log the old one is an ordinary file.
    ASSERT_EQ(Cli("run" + kPrefix + " " + ShellQuote(dir.Path())), 0);
    EXPECT_TRUE(dir.Exists("new_Quorvan.log"));
}

// The statuses of preview --status, and the exit status a failing entry gives.
TEST_F(RunSafety, PreviewSaysWhichFilesWouldFail) {
    dir.CreateFiles({"1", "2", "3", "9", "x"});
    dir.CreateDir("4");
    std::string out;
    std::string err;
    // 1 2 3 9 x become 2 3 4 5 6: 3 would take the folder 4's name, and 2 and
    // 1 wait behind it; "9" is taken by nobody.
    EXPECT_EQ(Cli("preview --status" + kRenumber + " --set StartWith=2 " + ShellQuote(dir.Path()) +
                      " >" + ShellQuote(state / "out"),
                  &err),
              1);
    const std::string d = dir.Path();
    EXPECT_EQ(state.Read("out"), "exists\t" + d + "/1\t" + d + "/2\nexists\t" + d + "/2\t" + d +
                                     "/3\nexists\t" + d + "/3\t" + d + "/4\nok\t" + d + "/9\t" + d +
                                     "/5\nok\t" + d + "/x\t" + d + "/6\n");
    EXPECT_EQ(err, "quorvan-cli: 5 files: 2 ok, 3 exists\n");

    // Plain preview keeps its two columns; -0 ends every field with a NUL.
    EXPECT_EQ(Cli("preview -0 --status" + kRenumber + " --set StartWith=5 " +
                  ShellQuote(dir.Path()) + " 1 x >" + ShellQuote(state / "out")),
              0);
    const std::string nul(1, '\0');
    EXPECT_EQ(state.Read("out"), "ok" + nul + d + "/1" + nul + d + "/5" + nul + "ok" + nul + d +
                                     "/x" + nul + d + "/6" + nul);
    EXPECT_EQ(Cli("preview" + kRenumber + " --set StartWith=1 " + ShellQuote(dir.Path()) +
                  " 2 3 >" + ShellQuote(state / "out")),
              1);
    EXPECT_EQ(state.Read("out"), d + "/2\t" + d + "/1\n" + d + "/3\t" + d + "/2\n");
}

// Starts quorvan-cli run with `sets` on `folder`, with its state and trash in
// `home`, and kills it once its log names `files` files (or lets it end).
void RunAndKill(const std::vector<std::string>& sets, const std::string& folder,
                const std::string& home, int files) {
    std::vector<std::string> args = {"run", "--set", "LogFile=Yes", "--set", "UndoBatchFile=Yes"};
    for (const std::string& set : sets) {
        args.push_back("--set");
        args.push_back(set);
    }
    args.push_back(folder);
    test::CliChild run(
        args,
        {"QUORVAN_STATE_DIR=" + home + "/state", "HOME=" + home, "XDG_DATA_HOME=" + home + "/data"},
        "/dev/null");
    ASSERT_TRUE(run.Started());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && run.Running()) {
        const std::string log = test::FileText(folder + "/Quorvan.log");
        if (std::count(log.begin(), log.end(), '\n') >= 4 + files) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Names 1..20000 numbered in byte order: 10 -> 2, 2 -> 12, ... many cycles.
const std::vector<std::string> kCycles = {"TextSeqModifications=Seq", "NumericAlphaSequence=Num",
                                          "DigitCount=1", "SequencePlacement=Replace",
                                          "StartWith=1"};

void MakeNumberedFiles(TestDir& d, int count, const char* format = "%d") {
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, format, i);
        d.CreateFile(name, name);
    }
}

// Runs of 20,000 files killed at several moments: every content is still
// there exactly once; the undo script, or quorvan-cli undo of the run the
// history shows as interrupted, brings back the exact start: names,
// contents, replaced files, and no temporary name left anywhere.
TEST_F(RunSafety, AKilledRunLosesNothingAndItsUndoRestoresTheStart) {
    struct Case {
        const char* what;
        std::vector<std::string> sets;
        const char* format;
        int killAfter;
        bool copies;
        bool script;  // undone by the undo script, else by quorvan-cli undo
    };
    const std::vector<std::string> chain = {"TextSeqModifications=Seq", "NumericAlphaSequence=Num",
                                            "DigitCount=5", "SequencePlacement=Replace",
                                            "StartWith=2"};
    const std::vector<std::string> copy = {"AddPrefix=Yes", "Prefix=c_", "RenameInPlace=No"};
    const Case cases[] = {
        {"cycles, script", kCycles, "%d", 1, false, true},
        {"cycles, script", kCycles, "%d", 100, false, true},
        {"cycles, script", kCycles, "%d", 10000, false, true},
        {"cycles", kCycles, "%d", 1, false, false},
        {"cycles", kCycles, "%d", 10000, false, false},
        {"renumbering", chain, "%05d", 100, false, false},
        {"renumbering", chain, "%05d", 10000, false, false},
        {"copies", copy, "%d", 100, true, false},
        {"copies", copy, "%d", 10000, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.killAfter));
        TestDir d;
        TestDir home;
        MakeNumberedFiles(d, 20000, c.format);
        std::vector<std::string> sets = c.sets;
        if (c.copies) {
            // Every tenth copy replaces a file there before.
            for (int i = 1; i <= 20000; i += 10) {
                d.CreateFile("out/c_" + std::to_string(i), "there before");
            }
            sets.push_back("RenameDestFolder=" + d / "out");
        }
        const Inventory before = d.Inventory();
        RunAndKill(sets, d.Path(), home.Path(), c.killAfter);
        if (!c.copies) {
            EXPECT_EQ(Contents(d.Inventory(kRunFiles)), Contents(before));
        }
        std::string output;
        if (c.script) {
            TestDir elsewhere;
            EXPECT_EQ(RunCommand("cd " + ShellQuote(elsewhere.Path()) + " && dash " +
                                     ShellQuote(d / "QuorvanUndo.sh"),
                                 &output, true),
                      0)
                << output;
            EXPECT_EQ(d.Inventory(kRunFiles), before);
            continue;
        }
        const std::string env = "QUORVAN_STATE_DIR=" + ShellQuote(home / "state") +
                                " HOME=" + ShellQuote(home.Path()) +
                                " XDG_DATA_HOME=" + ShellQuote(home / "data") + " ";
        std::string history;
        ASSERT_EQ(RunCommand(env + QUORVAN_CLI_PATH + " history", &history), 0);
        EXPECT_NE(history.find("\tinterrupted\t"), std::string::npos) << history;
        EXPECT_EQ(RunCommand(env + QUORVAN_CLI_PATH + " undo", &output, true), 0) << output;
        EXPECT_EQ(d.Inventory(kRunFiles), before);
        ASSERT_EQ(RunCommand(env + QUORVAN_CLI_PATH + " history", &history), 0);
        EXPECT_NE(history.find("\tundone\t"), std::string::npos) << history;
    }
}

}  // namespace
}  // namespace quorvan
