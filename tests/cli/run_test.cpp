#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "cli/cli_child.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::ShellQuote;
using test::TestDir;

class CliRun : public ::testing::Test {
  protected:
    // Runs quorvan-cli with its counters in a folder of the test. `before`
    // goes in front of the program (a timeout).
    int Cli(const std::string& args, std::string* err = nullptr, const std::string& before = "") {
        return test::Cli(args, nullptr, err,
                         "QUORVAN_STATE_DIR=" + ShellQuote(state.Path()) + " " + before);
    }

    TestDir dir;
    TestDir state;
};

TEST_F(CliRun, RenamesInPlaceAndSaysSoOnOneLine) {
    dir.CreateFiles({"a.jpg", "b.jpg"});
    std::string err;
    ASSERT_EQ(Cli("run --set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(dir.Path()), &err), 0);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"new_a.jpg", "new_b.jpg"}));
    // No progress bar when standard error is not a terminal.
    EXPECT_EQ(err, "quorvan-cli: Rename process complete.\n");

    // The counters saw one run of two files.
    std::string counters = state.Read("counters");
    EXPECT_NE(counters.find("FilesProcessed=2"), std::string::npos) << counters;
    EXPECT_NE(counters.find("TimesUsed=1"), std::string::npos) << counters;
}

// A rule that puts a "/" into a new name (the plan check has every kind): the
// file stays where it is and the run says it failed.
TEST_F(CliRun, ARuleNeverMovesAFileToAnotherFolder) {
    const char* rules[] = {
        "--set AddPrefix=Yes --set Prefix=../",
        "--set RenameInPlace=No --set AddPrefix=Yes --set Prefix=../../ --set RenameDestFolder=",
    };
    for (const char* rule : rules) {
        SCOPED_TRACE(rule);
        TestDir root;
        root.CreateFile("in/a.txt", "A");
        root.CreateFile("in/sub/keep");
        std::string args = std::string("run ") + rule;
        if (args.back() == '=') {
            args += ShellQuote(root / "in/out");
        }
        std::string err;
        EXPECT_EQ(Cli(args + " " + ShellQuote(root / "in") + " a.txt", &err), 1);
        EXPECT_EQ(root.Read("in/a.txt"), "A");
        EXPECT_EQ(root.List(), (std::vector<std::string>{"in"}));
        EXPECT_EQ(root.List("in/sub"), (std::vector<std::string>{"keep"}));
        EXPECT_NE(err.find("a name cannot contain /"), std::string::npos) << err;
        EXPECT_NE(err.find("1 file failed."), std::string::npos) << err;
    }
}

// "Blanks to _": a search text with blanks at its ends given on the command
// line, saved and loaded again, still finds them; the quoting itself is
// checked with the settings file.
TEST_F(CliRun, TextsWithOuterBlanksGoThroughSetSaveAndLoad) {
    dir.CreateFile("x  a y");
    const std::string settings = state / "job.qvr";
    ASSERT_EQ(Cli("preview --set ReplaceString=Yes --set DestString=_ "
                  R"(--set 'SourceString.Quoted="  a "' --save-settings )" +
                  ShellQuote(settings) + " " + ShellQuote(dir / "none")),
              2);
    EXPECT_NE(state.Read("job.qvr").find("SourceString.Quoted = \"  a \"\r\n"), std::string::npos);
    std::string err;
    EXPECT_EQ(Cli("run --settings " + ShellQuote(settings) + " " + ShellQuote(dir.Path()), &err), 0)
        << err;
    EXPECT_EQ(dir.List(), std::vector<std::string>{"x_y"});
    EXPECT_EQ(Cli("preview --set 'Prefix.Quoted= x' " + ShellQuote(dir.Path()), &err), 2);
    EXPECT_NE(err.find("needs a value in double quotes"), std::string::npos) << err;
}

// A run in which no name changes says so, and its history counts nothing done.
TEST_F(CliRun, FilesThatKeepTheirNamesAreNotCountedAsDone) {
    dir.CreateFiles({"a.txt", "b.txt", "c d.txt"});
    std::string err;
    ASSERT_EQ(
        Cli("run --set ReplaceString=Yes --set 'SourceString.Quoted=\" \"' --set DestString=_ " +
                ShellQuote(dir.Path()),
            &err),
        0);
    EXPECT_NE(err.find("Rename process complete. 2 files kept their names."), std::string::npos)
        << err;
    TestDir out;
    EXPECT_EQ(Cli("history > " + ShellQuote(out / "history")), 0);
    const std::string history = out.Read("history");
    EXPECT_NE(history.find("\t1\t0\t" + dir.Path()), std::string::npos) << history;
}

// A state folder that cannot take the journal: the run is refused and
// touches nothing, unless --no-journal says to rename without it.
TEST_F(CliRun, AnUnwritableStateFolderNeedsNoJournal) {
    state.CreateFile("a-file", "x");
    struct Case {
        std::string stateFolder;
        const char* reason;
    };
    const Case cases[] = {
        {state / "a-file", "Not a directory"},
        {"/proc/quorvan-state", "No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stateFolder);
        dir.CreateFiles({"a.jpg"});
        const std::string env = "QUORVAN_STATE_DIR=" + ShellQuote(c.stateFolder);
        const std::string args = "--set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(dir.Path());
        std::string err;
        EXPECT_EQ(Cli("run " + args, &err, env), 1);
        EXPECT_EQ(dir.List(), std::vector<std::string>{"a.jpg"});
        EXPECT_EQ(err, "quorvan-cli: This run cannot be recorded for undo (" + c.stateFolder +
                           "/history: " + c.reason +
                           "). Give --no-journal to rename without it.\n");

        EXPECT_EQ(Cli("run --no-journal " + args, &err, env), 0);
        EXPECT_EQ(dir.List(), std::vector<std::string>{"new_a.jpg"});
        EXPECT_EQ(err,
                  "quorvan-cli: Rename process complete. This run is not in the history and "
                  "cannot be undone from there.\n");
        ASSERT_EQ(unlink((dir / "new_a.jpg").c_str()), 0);
    }
    // Where the journal can be written, --no-journal keeps the run out of it.
    dir.CreateFiles({"b.jpg"});
    ASSERT_EQ(
        Cli("run --no-journal --set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(dir.Path())), 0);
    EXPECT_TRUE(state.List("history").empty());
    EXPECT_EQ(Cli("preview --no-journal " + ShellQuote(dir.Path())), 2);
}

// A run that cannot start says why in one line and touches nothing.
TEST_F(CliRun, ARunRefusedAtTheStartTouchesNothing) {
    dir.CreateFile("x.txt");
    struct Case {
        std::string sets;
        int status;
        const char* said;
    };
    const Case cases[] = {
        {"--settings " + ShellQuote(dir / "none.qvr"), 2, "none.qvr"},
        // Filtered out entirely.
        {"--set FilterOnExtension=Yes --set FilterOnIncludeExtensions=Yes "
         "--set 'FilterIncludeExtensions=*.jpg;'",
         3, "There are no files to process."},
        {"--set RenameInPlace=No --set RenameDestFolder=", 2, "Destination Folder:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sets);
        std::string err;
        EXPECT_EQ(
            Cli("run " + c.sets + " --set AddPrefix=Yes --set Prefix=p " + ShellQuote(dir.Path()),
                &err),
            c.status);
        EXPECT_EQ(dir.List(), (std::vector<std::string>{"x.txt"}));
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
    }
}

TEST_F(CliRun, AFifoAmongTheSourcesFailsAloneAndTheRunGoesOn) {
    dir.CreateFile("src/a.txt", "A");
    ASSERT_EQ(mkfifo((dir / "src/pipe").c_str(), 0600), 0);
    dir.CreateFile("src/z.txt", "Z");
    std::string err;
    // A run that waited on the pipe would be killed here, and fail.
    EXPECT_EQ(Cli("run --set RenameInPlace=No --set RenameDestFolder=" + ShellQuote(dir / "out") +
                      " --set LogFile=Yes " + ShellQuote(dir / "src"),
                  &err, "timeout -s KILL 20"),
              1);
    EXPECT_EQ(dir.List("out"), (std::vector<std::string>{"a.txt", "z.txt"}));
    const std::string failure =
        "failed to copy " + dir / "src/pipe" + " to " + dir / "out/pipe" + ": Not a regular file";
    EXPECT_NE(dir.Read("src/Quorvan.log").find(failure + "\n"), std::string::npos);
    EXPECT_NE(err.find(failure), std::string::npos) << err;
    EXPECT_NE(err.find("Rename process complete. 1 file failed."), std::string::npos) << err;
}

// A file whose new name is taken fails alone and is named, escaped for the
// terminal and byte for byte in the log; the others are done.
TEST_F(CliRun, FailedFilesAreNamedEscapedOnTheTerminalAndByteForByteInTheLog) {
    // An escape sequence, a line break, C1 control characters as UTF-8 and
    // as a bare byte.
    const std::string odd =
        "a\033[2J\r\nb\xc2\x9b"
        "1m\x9b"
        "2m.txt";
    dir.CreateFile(odd, "mine");
    dir.CreateFile("new_" + odd, "theirs");
    dir.CreateFile("b.txt");
    std::string err;
    EXPECT_EQ(Cli("run --set AddPrefix=Yes --set Prefix=new_ --set LogFile=Yes " +
                      ShellQuote(dir.Path()) + " " + ShellQuote(odd) + " b.txt",
                  &err),
              1);
    EXPECT_EQ(dir.Read(odd), "mine");
    EXPECT_EQ(dir.Read("new_" + odd), "theirs");
    EXPECT_TRUE(dir.Exists("new_b.txt"));
    const std::string shown =
        "a\\033[2J\\r\\nb\\302\\233"
        "1m\\233"
        "2m.txt";
    EXPECT_NE(err.find("failed to rename " + dir / shown + " to " + dir / ("new_" + shown)),
              std::string::npos)
        << err;
    // Nothing on standard error can act on a terminal; every message is one line.
    EXPECT_EQ(err.find('\033'), std::string::npos);
    EXPECT_EQ(err.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_NE(err.find("Rename process complete. 1 file failed."), std::string::npos) << err;
    EXPECT_NE(dir.Read("Quorvan.log").find("failed to rename " + dir / odd), std::string::npos);
}

// The first entry of `folder` whose name starts with `prefix`, with its size.
std::optional<std::pair<std::string, off_t>> FileStartingWith(const std::string& folder,
                                                              const std::string& prefix) {
    for (const std::string& name : test::ListNames(folder)) {
        struct stat st {};
        if (name.rfind(prefix, 0) == 0 && stat((folder + "/" + name).c_str(), &st) == 0) {
            return std::pair{name, st.st_size};
        }
    }
    return std::nullopt;
}

TEST_F(CliRun, CtrlCOrTermEndsARunWithinASecondEvenInTheMiddleOfABigCopy) {
    // Holes read as zeros: a copy that would take long, on little disk.
    ASSERT_EQ(truncate(dir.CreateFile("src/huge.bin").c_str(), off_t{8} << 30), 0);
    dir.CreateFile("src/later.txt", "L");
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        dir.CreateFile("out/huge.bin", "previous");
        test::CliChild run({"run", "--set", "RenameInPlace=No", "--set",
                            "RenameDestFolder=" + dir / "out", dir / "src"},
                           {"QUORVAN_STATE_DIR=" + state.Path()}, state / "child-stderr");
        ASSERT_TRUE(run.Started());
        // Until the copy is under way, in its hidden temporary file.
        std::optional<std::pair<std::string, off_t>> temp;
        for (int waited = 0; waited < 20000 && run.Running() && !(temp && temp->second > 0);
             waited += 5) {
            temp = FileStartingWith(dir / "out", ".");
            usleep(5000);
        }
        const bool copying = temp && temp->second > 0;
        if (!copying) {
            GTEST_SKIP() << "the copy ended before it could be interrupted (a cloning file system)";
        }
        auto sent = std::chrono::steady_clock::now();
        run.Signal(signal);
        EXPECT_EQ(run.WaitEnd(5000), 1);
        auto took = std::chrono::steady_clock::now() - sent;
        EXPECT_LT(took, std::chrono::milliseconds(1500));
        const std::string err = run.Err();
        // The copy the cancel gave up is counted in the end message too.
        const std::string last = "quorvan-cli: Rename process aborted. 1 file failed.\n";
        EXPECT_TRUE(err.size() >= last.size() &&
                    err.compare(err.size() - last.size(), last.size(), last) == 0)
            << err;
        EXPECT_EQ(temp->first.rfind(".quorvan-tmp-", 0), 0u) << temp->first;
        // The old target is whole and the half copy is gone.
        EXPECT_EQ(dir.List("out"), std::vector<std::string>{"huge.bin"});
        EXPECT_EQ(dir.Read("out/huge.bin"), "previous");
        EXPECT_FALSE(dir.Exists("out/later.txt"));
    }
}

}  // namespace
}  // namespace quorvan
