#include "history/run_history.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "history/undo_run.h"
#include "history_test_support.h"
#include "support/test_trash.h"

namespace quorvan {
namespace {

using test::JournaledRun;
using test::TestDir;
using test::TestTrash;

class RunHistoryTest : public ::testing::Test {
  protected:
    void SetUp() override { TestTrash::Empty(); }
    std::string History() const { return state / "history"; }

    // A finished run renaming `count` files of a folder of its own.
    std::string FinishedRun(RunEnd status, int count = 2) {
        auto& files = folders.emplace_back(std::make_unique<TestDir>());
        JournaledRun run(History(), RunMode::Rename, files->Path(), count);
        for (int i = 0; i < count; ++i) {
            std::string name = std::to_string(i);
            files->CreateFile(name, name);
            run.Rename(*files / name, *files / ("new" + name));
        }
        run.End(status);
        return run.Journal();
    }

    TestDir state;
    std::vector<std::unique_ptr<TestDir>> folders;
};

TEST_F(RunHistoryTest, EveryStateIsToldAndTheNewestComesFirst) {
    std::string complete = FinishedRun(RunEnd::Complete, 3);
    std::string cancelled = FinishedRun(RunEnd::Cancelled);
    std::string aborted = FinishedRun(RunEnd::Aborted, 0);
    std::string undone = FinishedRun(RunEnd::Complete);
    UndoRun(undone);
    std::string partly = FinishedRun(RunEnd::Complete);
    folders.back()->CreateFile("0", "taken since");
    UndoRun(partly);

    // Killed after two renames: interrupted, with what it did counted.
    TestDir killed;
    killed.CreateFiles({"a", "b", "c"});
    test::InChild([&] {
        JournaledRun run(History(), RunMode::Rename, killed.Path(), 3);
        run.Rename(killed / "a", killed / "x");
        run.Rename(killed / "b", killed / "y");
        _exit(0);
    });
    std::string kept = FinishedRun(RunEnd::Complete);
    // A kept run is one without an end that the user chose to keep.
    std::string text;
    test::RunCommand("grep -v '\"t\":\"end\"' " + test::ShellQuote(kept), &text);
    test::WriteText(kept, text);
    KeepRun(kept);

    struct Expected {
        std::string path;
        RunState state;
        int64_t done;
    };
    std::vector<RunSummary> runs = ListRuns(History());
    ASSERT_EQ(runs.size(), 7u);
    std::string interrupted = runs[1].path;
    const Expected expected[] = {
        {kept, RunState::Kept, 2},           {interrupted, RunState::Interrupted, 2},
        {partly, RunState::PartlyUndone, 2}, {undone, RunState::Undone, 2},
        {aborted, RunState::Aborted, 0},     {cancelled, RunState::Cancelled, 2},
        {complete, RunState::Complete, 3},
    };
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(runs[i].path, expected[i].path);
        EXPECT_STREQ(RunStateName(runs[i].state), RunStateName(expected[i].state));
        EXPECT_EQ(runs[i].done, expected[i].done);
        EXPECT_EQ(runs[i].failed, 0);
    }
    EXPECT_EQ(runs[1].start.folder, killed.Path());
    // Undo without an ID takes the newest that is not undone, not aborted.
    EXPECT_EQ(NewestUndoable(runs)->path, kept);
    EXPECT_EQ(NewestUndoable({runs[3], runs[4], runs[5]})->path, cancelled);
}

TEST_F(RunHistoryTest, ARunThatHoldsItsLockIsRunningAndCannotBeUndone) {
    TestDir files;
    files.CreateFile("a", "A");
    {
        JournaledRun run(History(), RunMode::Rename, files.Path(), 1);
        run.Rename(files / "a", files / "b");
    }
    // The lock a run's worker holds while it works.
    CJournalWriter worker;
    ASSERT_EQ(worker.OpenToAppend(ListRuns(History()).at(0).path), 0);
    std::vector<RunSummary> runs = ListRuns(History());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].state, RunState::Running);
    EXPECT_EQ(runs[0].done, 1);
    EXPECT_EQ(NewestUndoable(runs), nullptr);
    EXPECT_EQ(UndoRun(runs[0].path).ended, UndoSummary::Ended::Running);
    UndoOptions dry;
    dry.dryRun = true;
    EXPECT_EQ(UndoRun(runs[0].path, dry).ended, UndoSummary::Ended::Running);
    EXPECT_EQ(PruneHistory(History(), runs[0].start.epoch + 1000 * 86400, {0, 0}), 0);
    EXPECT_TRUE(files.Exists("b"));

    worker.Close();  // killed, in effect
    runs = ListRuns(History());
    EXPECT_EQ(runs[0].state, RunState::Interrupted);
    EXPECT_EQ(UndoRun(runs[0].path).stepsSkipped, 0);
    EXPECT_EQ(files.List(), (std::vector<std::string>{"a"}));
}

TEST_F(RunHistoryTest, IdsAreFoundByAnyUniqueStart) {
    std::vector<RunSummary> runs(3);
    runs[0].start.id = "20240612-230730-5f3a";
    runs[1].start.id = "20240612-230730-5f4b";
    runs[2].start.id = "20240611-080000-0001";
    struct Case {
        const char* given;
        FindRunResult result;
        size_t index;
    };
    const Case cases[] = {
        {"20240612-230730-5f3a", FindRunResult::Found, 0},
        {"20240612-230730-5f4", FindRunResult::Found, 1},
        {"20240611", FindRunResult::Found, 2},
        {"20240612-230730-5f", FindRunResult::Ambiguous, 0},
        {"2025", FindRunResult::NotFound, 0},
        {"", FindRunResult::NotFound, 0},
    };
    for (const Case& c : cases) {
        size_t index = 99;
        EXPECT_EQ(FindRun(runs, c.given, index), c.result) << c.given;
        if (c.result == FindRunResult::Found) {
            EXPECT_EQ(index, c.index) << c.given;
        }
    }
    EXPECT_TRUE(
        std::regex_match(MakeRunId(1718226450), std::regex("[0-9]{8}-[0-9]{6}-[0-9a-f]{4}")));
}

TEST_F(RunHistoryTest, RetentionKeepsTheLastHundredOrNinetyDaysWhicheverKeepsMore) {
    const int64_t now = 1800000000;
    const int64_t day = 86400;
    struct Case {
        const char* name;
        int recent;  // runs of the last 90 days
        int old;     // older runs
        size_t kept;
    };
    const Case cases[] = {
        {"few runs, all kept", 10, 20, 30},
        {"the last hundred, though old", 30, 100, 100},
        {"every recent one, though more than a hundred", 130, 10, 130},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir folder;
        std::vector<int64_t> times;
        for (int i = 0; i < c.recent; ++i) {
            times.push_back(now - 89 * day + i);
        }
        for (int i = 0; i < c.old; ++i) {
            times.push_back(now - 91 * day - i * 3600);
        }
        for (size_t i = 0; i < times.size(); ++i) {
            StartRecord start;
            start.id = "run" + std::to_string(i);
            start.epoch = times[i];
            folder.CreateFile(start.id + ".jsonl", EncodeRecord(start));
        }
        PruneHistory(folder.Path(), now);
        std::vector<RunSummary> runs = ListRuns(folder.Path());
        ASSERT_EQ(runs.size(), c.kept);
        // What is kept is the newest.
        std::sort(times.rbegin(), times.rend());
        EXPECT_EQ(runs.back().start.epoch, times[c.kept - 1]);
    }
}

TEST_F(RunHistoryTest, ARunStartsWithAPrivateJournalOrNotAtAll) {
    CJournalWriter writer;
    StartRecord start;
    start.folder = "/somewhere";
    start.files = 7;
    ASSERT_EQ(OpenRunJournal(writer, start, History()), 0);
    EXPECT_EQ(writer.Path(), JournalPath(History(), start.id));
    struct stat st {};
    stat(History().c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    writer.Close();

    state.CreateFile("blocked", "a file where the folder should be");
    CJournalWriter refused;
    EXPECT_EQ(OpenRunJournal(refused, start, state / "blocked/history"), ENOTDIR);
    EXPECT_FALSE(refused.IsOpen());
}

// What is no journal among the journals (a FIFO, a folder) is passed over at
// once instead of holding the history, the window's question or an undo.
TEST(RunHistoryFolder, WhatIsNoRegularFileIsNoRunAndNeverWaits) {
    TestDir history;
    ASSERT_EQ(mkfifo((history / "20240101-000000-aaaa.jsonl").c_str(), 0600), 0);
    history.CreateDir("20240101-000000-bbbb.jsonl");
    EXPECT_TRUE(ListRuns(history.Path()).empty());
    Journal journal;
    EXPECT_NE(ReadJournal(history / "20240101-000000-aaaa.jsonl", journal), 0);
    EXPECT_EQ(UndoRun(history / "20240101-000000-aaaa.jsonl").ended,
              UndoSummary::Ended::Unreadable);
    CJournalWriter writer;
    EXPECT_NE(writer.OpenToAppend(history / "20240101-000000-aaaa.jsonl"), 0);
}

}  // namespace
}  // namespace quorvan
