#include <gtest/gtest.h>
#include <sys/stat.h>

#include "history/run_history.h"
#include "history/undo_run.h"
#include "platform/file_ops.h"
#include "run/run_recorder.h"
#include "run_test_support.h"
#include "support/journaled_run.h"

namespace quorvan::test {
namespace {

// The identities a run journals come from one listing per folder; each must
// be the file's own, whatever bytes its name holds and in whatever folder.
TEST(RunJournal, SourcesAreKnownByTheirOwnInodes) {
    TestDir dir;
    const std::vector<std::string> names = {"\x01",  " lead", "B", "a",        "a b", "a.b",
                                            "sub/a", "sub/z", "z", "\xc3\xa9", "\xff"};
    std::vector<CRenamePlan::Entry> entries;
    for (const std::string& name : names) {
        entries.emplace_back(dir.CreateFile(name, name), dir / ("new " + name));
    }
    std::sort(entries.begin(), entries.end());
    entries.emplace_back(dir / "gone", dir / "new gone");  // no such file
    const std::vector<FileStamp> identities = ListSourceIdentities(entries);
    ASSERT_EQ(identities.size(), entries.size());
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        struct stat st {};
        ASSERT_EQ(lstat(entries[i].first.c_str(), &st), 0);
        EXPECT_EQ(identities[i].dev, st.st_dev) << entries[i].first;
        EXPECT_EQ(identities[i].ino, st.st_ino) << entries[i].first;
    }
    EXPECT_EQ(identities.back().ino, 0u);
}

// A real run through the engine, journaled, then undone from its journal.
struct JournaledStart : EngineRun {
    TestDir history;

    JournaledStart() {
        request.sourceFolder = dir / "src";
        engine.SetHistoryFolder(history.Path());
    }
    std::vector<RunSummary> Runs() { return ListRuns(history.Path()); }
};

// Renumbering (a chain), attributes and times: the undo of the run's
// journal brings back every name, permission and time.
TEST(RunJournal, AnInPlaceRunUndoesToItsStart) {
    JournaledStart run;
    for (const char* name : {"1", "2", "3", "4"}) {
        run.host.files.push_back(run.dir.CreateFile(std::string("src/") + name, name));
    }
    run.dir.SetTimes("src/2", 1400000000, 1400000000);
    const auto before = Inventory(run.dir / "src");
    const uint32_t mode = ModeOf(run.dir / "src/1");
    NumberRules(run.rules, 2);
    RenameSettings& s = run.rules.Settings();
    s.ModifyAttributes = true;
    s.ModifyReadOnly = true;
    s.ModifyDatesTimes = true;
    s.ModifyModDateTime = true;
    s.ModDate = {2001, 2, 3, 0, 0, 0};
    s.ModTime = {1980, 1, 1, 4, 5, 6};

    const StartOutcome outcome = run.Start();
    ASSERT_EQ(outcome.result.status, RunStatus::Complete);
    ASSERT_EQ(outcome.result.filesFailed, 0);
    ASSERT_FALSE(outcome.result.runId.empty());
    EXPECT_EQ(ModeOf(run.dir / "src/5") & 0222, 0u);
    const std::vector<RunSummary> runs = run.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].start.id, outcome.result.runId);
    EXPECT_EQ(runs[0].state, RunState::Complete);
    EXPECT_EQ(runs[0].done, 4);
    EXPECT_EQ(runs[0].start.folder, run.dir / "src");

    const UndoSummary undo = UndoRun(runs[0].path);
    EXPECT_EQ(undo.stepsSkipped, 0);
    EXPECT_EQ(Inventory(run.dir / "src"), before);
    EXPECT_EQ(ModeOf(run.dir / "src/1"), mode);
    struct stat st {};
    ASSERT_EQ(stat((run.dir / "src/2").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1400000000);
    EXPECT_EQ(run.Runs()[0].state, RunState::Undone);
}

// A journal that cannot be made: the user is asked once; No leaves every file
// alone, Yes renames and the end says the run is not in the history.
TEST(RunJournal, NoJournalOnlyWithTheUsersWord) {
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        JournaledStart run;
        run.host.files = {run.dir.CreateFile("src/a", "A")};
        run.host.answerYes = yes;
        PrefixRules(run.rules);
        run.engine.SetHistoryFolder(run.dir / "src/a/not-a-folder");
        const StartOutcome outcome = run.Start();
        ASSERT_EQ(run.host.questions.size(), 1u);
        EXPECT_EQ(run.host.questions[0], "Info...|This run cannot be recorded for undo (" +
                                             run.dir / "src/a/not-a-folder" +
                                             ": Not a directory). Rename anyway?");
        EXPECT_TRUE(run.host.Errors().empty());
        EXPECT_EQ(run.dir.Exists("src/a"), !yes);
        EXPECT_EQ(run.dir.Exists("src/new_a"), yes);
        if (yes) {
            EXPECT_EQ(outcome.endMessage,
                      "Rename process complete.\n"
                      "This run is not in the history and cannot be undone from there.");
        } else {
            EXPECT_EQ(outcome.ended, StartOutcome::Ended::Declined);
        }
    }
}

}  // namespace
}  // namespace quorvan::test
