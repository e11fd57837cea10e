#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "history/run_history.h"
#include "support/journaled_run.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::JournaledRun;
using test::RunCommand;
using test::ScratchMount;
using test::ShellQuote;
using test::TestDir;

class CliHistory : public ::testing::Test {
  protected:
    // Runs quorvan-cli with its state, home and trash in folders of the test.
    int Cli(const std::string& args, std::string* out = nullptr, std::string* err = nullptr) {
        return test::Cli(args, out, err,
                         "QUORVAN_STATE_DIR=" + ShellQuote(state / "state") +
                             " HOME=" + ShellQuote(state.Path()) +
                             " XDG_DATA_HOME=" + ShellQuote(state / "data"));
    }
    // quorvan-cli on a terminal, which script(1) gives it; what the terminal shows.
    int OnTerminal(const std::string& args, std::string* shown) {
        return RunCommand("QUORVAN_STATE_DIR=" + ShellQuote(state / "state") + " script -qec " +
                              ShellQuote(std::string(QUORVAN_CLI_PATH) + " " + args) + " /dev/null",
                          shown);
    }
    std::string History() const { return state / "state/history"; }
    // The state a run's line of `history` shows.
    std::string StateOf(const std::string& id) {
        std::string out;
        Cli("history", &out);
        const size_t line = out.find(id + "\t");
        const size_t from = out.find('\t', out.find('\t', line) + 1) + 1;
        return line == std::string::npos ? "" : out.substr(from, out.find('\t', from) - from);
    }
    // Copies `work`/src to `work`/dest with the prefix new_; its ID.
    std::string CopyRun(TestDir& work, const std::string& more = "") {
        Cli("run --set AddPrefix=Yes --set Prefix=new_ --set RenameInPlace=No "
            "--set RenameDestFolder=" +
            ShellQuote(work / "dest") + more + " " + ShellQuote(work / "src"));
        return ListRuns(History()).front().start.id;
    }
    // The desktop's trash of the command, out of order and back.
    void BreakTrash() {
        std::rename((state / "data/Trash").c_str(), (state / "data/Trash.saved").c_str());
        state.CreateFile("data/Trash", "not a folder");
    }
    void MendTrash() {
        unlink((state / "data/Trash").c_str());
        std::rename((state / "data/Trash.saved").c_str(), (state / "data/Trash").c_str());
    }

    // A complete run of these renames in a folder ("a" to "b" by default); its ID.
    std::string RenameRun(TestDir& folder,
                          const std::vector<std::pair<std::string, std::string>>& renames = {
                              {"a", "b"}}) {
        JournaledRun run(History(), RunMode::Rename, folder.Path(),
                         static_cast<int64_t>(renames.size()));
        for (const auto& [from, to] : renames) {
            run.Rename(folder / from, folder / to);
        }
        run.End();
        return run.Id();
    }

    TestDir dir;
    TestDir state;
};

TEST_F(CliHistory, ListsRunsNewestFirstInTabSeparatedColumns) {
    std::string out;
    EXPECT_EQ(Cli("history", &out), 0);
    EXPECT_EQ(out, "");

    dir.CreateFile("a");
    std::string first = RenameRun(dir);
    std::string second = RenameRun(dir, {{"b", "c"}, {"missing", "d"}});
    ASSERT_EQ(Cli("history", &out), 0);
    auto runs = ListRuns(History());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(out, second + "\t" + runs[0].start.time + "\tcomplete\t1\t1\t" + dir.Path() + "\n" +
                       first + "\t" + runs[1].start.time + "\tcomplete\t1\t0\t" + dir.Path() +
                       "\n");
    EXPECT_EQ(runs[0].start.time.size(), 19u);  // 2024-06-12 23:07:30
}

TEST_F(CliHistory, UndoTakesTheNewestRunNotUndoneThenTheOlderOne) {
    dir.CreateFile("a", "A");
    RenameRun(dir);
    RenameRun(dir, {{"b", "c"}});
    std::string err;
    EXPECT_EQ(Cli("undo", nullptr, &err), 0) << err;
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"b"}));
    EXPECT_NE(err.find(": 1 file restored, 0 skipped."), std::string::npos) << err;
    EXPECT_EQ(Cli("undo", nullptr, &err), 0) << err;
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(Cli("undo", nullptr, &err), 2);
    EXPECT_EQ(err, "quorvan-cli: there is no run to undo\n");
}

TEST_F(CliHistory, DryRunSaysWhatItWouldDoAndChangesNothing) {
    for (int i = 1; i <= 3; ++i) {
        dir.CreateFile(std::to_string(i), std::to_string(i));
    }
    const std::string id = RenameRun(dir, {{"3", "4"}, {"2", "3"}, {"1", "2"}});
    std::string out;
    std::string err;
    EXPECT_EQ(Cli("undo --dry-run " + id.substr(0, 17), &out, &err), 0) << err;
    EXPECT_EQ(out, "would rename " + dir / "2" + " back to " + dir / "1" + "\n" + "would rename " +
                       dir / "3" + " back to " + dir / "2" + "\n" + "would rename " + dir / "4" +
                       " back to " + dir / "3" + "\n");
    EXPECT_EQ(err,
              "quorvan-cli: Undo of run " + id + " (dry run): 3 files to restore, 0 skipped.\n");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"2", "3", "4"}));
}

TEST_F(CliHistory, SkippedStepsAreNamedAndTheStatusSaysSo) {
    dir.CreateFile("a", "mine");
    std::string id = RenameRun(dir);
    dir.CreateFile("a", "someone else's");
    std::string err;
    EXPECT_EQ(Cli("undo " + id, nullptr, &err), 1);
    EXPECT_EQ(err, "quorvan-cli: skipped: rename " + dir / "b" + " back to " + dir / "a" +
                       ": the name is taken by another file\n"
                       "quorvan-cli: Undo of run " +
                       id + ": 0 files restored, 1 skipped.\n");
    EXPECT_EQ(dir.Read("a"), "someone else's");
    EXPECT_EQ(dir.Read("b"), "mine");
    std::string out;
    Cli("history", &out);
    EXPECT_NE(out.find("\tpartly undone\t"), std::string::npos) << out;
}

TEST_F(CliHistory, UnknownAmbiguousIdsAndBadUsageChangeNothing) {
    dir.CreateFile("a");
    std::string one = RenameRun(dir);
    std::string two = RenameRun(dir, {{"b", "c"}});
    std::string common = one.substr(0, 9);  // the date: both runs share it
    struct Case {
        std::string args;
        std::string error;
    };
    const Case cases[] = {
        {"undo 1999", "quorvan-cli: unknown run ID '1999' (quorvan-cli history lists the runs)"},
        {"undo " + common, ""},
        {"undo a b", "quorvan-cli: undo takes at most one run ID"},
        {"history --dry-run", "quorvan-cli: --dry-run is an option of undo"},
        {"history extra", "quorvan-cli: history takes no arguments"},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(Cli(c.args, nullptr, &err), 2) << c.args;
        if (!c.error.empty()) {
            EXPECT_EQ(err.substr(0, err.find('\n')), c.error);
        } else if (two.substr(0, 9) == common) {  // not across midnight
            EXPECT_EQ(err, "quorvan-cli: run ID '" + common + "' is not unique: " + two + " " +
                               one + "\n");
        }
    }
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"c"}));
}

// A copy whose replaced file the trash refused, in the run or in the first
// undo, is not "skipped" for ever: the next undo does what is left.
TEST_F(CliHistory, ACopyTheTrashRefusedIsUndoneOnceTheTrashTakesIt) {
    struct Case {
        const char* name;
        bool brokenForRun;
        std::vector<std::string> states;  // after each undo
    };
    const Case cases[] = {
        {"the run could not trash the file its copy replaces", true, {"undone"}},
        {"the first undo could not trash the copy", false, {"partly undone", "undone"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir work;
        work.CreateFile("src/a.txt", "A");
        work.CreateFile("dest/new_a.txt", "old");
        const auto start = work.Inventory();
        state.CreateDir("data/Trash");
        if (c.brokenForRun) {
            BreakTrash();
        }
        const std::string id = CopyRun(work);
        c.brokenForRun ? MendTrash() : BreakTrash();
        for (size_t i = 0; i < c.states.size(); ++i) {
            std::string err;
            EXPECT_EQ(Cli("undo " + id, nullptr, &err), i + 1 < c.states.size() ? 1 : 0) << err;
            EXPECT_EQ(StateOf(id), c.states[i]);
            if (i == 0 && !c.brokenForRun) {
                MendTrash();
            }
        }
        EXPECT_EQ(work.Inventory(), start);
    }
}

// The undo script of a copy run removes the copies and brings back from the
// trash the files they replaced, or says why it cannot.
TEST_F(CliHistory, TheUndoScriptOfACopyRunBringsBackTheReplacedFiles) {
    struct Case {
        const char* name;
        std::function<void()> since;  // after the run, before the script
        bool restored;
    };
    const Case cases[] = {
        {"still in the trash", [] {}, true},
        {"the trash emptied since",
         [this] { RunCommand("rm -rf " + ShellQuote(state / "data/Trash")); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir work;
        work.CreateFile("src/a.txt", "A");
        work.CreateFile("src/b.txt", "B");
        work.CreateFile("dest/new_b.txt", "old b");
        const std::vector<std::string> runFiles = {"QuorvanUndo.sh", "Quorvan.log"};
        auto start = work.Inventory();
        CopyRun(work, " --set UndoBatchFile=Yes");
        ASSERT_EQ(work.Read("dest/new_b.txt"), "B");
        c.since();
        std::string output;
        EXPECT_EQ(RunCommand("dash " + ShellQuote(work / "src/QuorvanUndo.sh"), &output, true), 0);
        if (!c.restored) {
            start.erase("dest/new_b.txt");
        }
        EXPECT_EQ(work.Inventory(runFiles), start);
        EXPECT_EQ(output, c.restored ? ""
                                     : "not restored, it is no longer in the trash: " +
                                           work / "dest/new_b.txt" + "\n");
        EXPECT_EQ(test::ListNames(state / "data/Trash/files").size(), 0u);
    }
}

// Keeping an interrupted run's files settles it for good: not while its
// folder cannot be reached, which keep says; once it can, keep keeps.
TEST_F(CliHistory, KeepSaysSoWhileTheRunsFolderCannotBeReached) {
    struct Case {
        const char* name;
        bool needsRoot;
        std::function<void(TestDir&)> plug;  // also before the run
        std::function<void(TestDir&)> unplug;
        const char* reason;
    };
    std::unique_ptr<ScratchMount> disk;
    std::unique_ptr<ScratchMount> bound;
    const Case cases[] = {
        {"its folder is gone", false,
         [](TestDir& s) { std::rename((s / "away").c_str(), (s / "usb").c_str()); },
         [](TestDir& s) { std::rename((s / "usb").c_str(), (s / "away").c_str()); },
         "cannot be reached"},
        {"its drive is unplugged, its mount folder empty", true,
         [&](TestDir& s) {
             if (!disk) {
                 disk = std::make_unique<ScratchMount>(s.CreateDir("disk"));
                 ASSERT_TRUE(disk->Mount("-t tmpfs tmpfs"));
             }
             s.CreateDir("usb");
             bound = std::make_unique<ScratchMount>(s / "usb");
             ASSERT_TRUE(bound->Mount("--bind " + ShellQuote(s / "disk")));
         },
         [&](TestDir&) { bound.reset(); }, "is not on the drive the run worked on"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && geteuid() != 0) {
            std::cout << "skipped " << c.name << ": mounting needs root\n";
            continue;
        }
        TestDir scratch;
        scratch.CreateDir("away");
        c.plug(scratch);
        scratch.CreateFile("usb/a", "A");
        std::string id;
        {
            JournaledRun run(History(), RunMode::Rename, scratch / "usb", 2);
            run.Rename(scratch / "usb/a", scratch / "usb/b");
            id = run.Id();  // no end: interrupted
        }
        c.unplug(scratch);
        std::string err;
        EXPECT_EQ(Cli("history keep " + id, nullptr, &err), 1);
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_EQ(StateOf(id), "interrupted");
        c.plug(scratch);
        EXPECT_EQ(Cli("history keep " + id, nullptr, &err), 0) << err;
        EXPECT_EQ(StateOf(id), "kept");
        EXPECT_EQ(scratch.Read("usb/b"), "A");
        bound.reset();
        disk.reset();
    }
}

// On a terminal undo shows a progress bar, and no folder name can move the
// cursor or change colours; for a script the names stay as they are.
TEST_F(CliHistory, OnATerminalUndoShowsAProgressBarAndNamesCannotActOnIt) {
    dir.CreateFile("a");
    RenameRun(dir);
    std::string out;
    ASSERT_EQ(OnTerminal("undo", &out), 0);
    EXPECT_NE(out.find("\r[########################################] 1/1"), std::string::npos)
        << out;
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a"}));

    TestDir folder;
    std::string odd = folder.CreateDir("\x1b[31mred\nline \xc2\x9b \xc3\xa9");
    {
        JournaledRun run(History(), RunMode::Rename, odd, 0);
        run.End();
    }
    ASSERT_EQ(Cli("history", &out), 0);
    EXPECT_NE(out.find(odd + "\n"), std::string::npos);
    ASSERT_EQ(OnTerminal("history", &out), 0);
    EXPECT_NE(out.find(folder.Path() + "/\\033[31mred\\nline \\302\\233 \xc3\xa9\r\n"),
              std::string::npos)
        << out;
}

}  // namespace
}  // namespace quorvan
