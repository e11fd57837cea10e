// A journal is only followed where its run worked: one naming paths outside
// the run's folder, or lying in a history folder others may write, is
// refused as a whole and changes nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "history/run_history.h"
#include "history/undo_run.h"
#include "support/journaled_run.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::Inventory;
using test::JournaledRun;
using test::TestDir;

TEST(UndoTrust, AJournalReachingOutsideItsRunOrNotPrivateIsRefused) {
    struct Case {
        const char* name;
        // The run's moves, in `folder` with `outside` beside it.
        std::function<void(JournaledRun&, TestDir& folder, TestDir& outside)> run;
        std::function<void(const std::string& history)> change;  // after the run
        const char* refusal;  // the start of the reason; empty: undone
    };
    const Case cases[] = {
        {"a rename inside the folder",
         [](JournaledRun& r, TestDir& f, TestDir&) { r.Rename(f / "a", f / "b"); },
         [](const std::string&) {}, ""},
        {"a rename of a file elsewhere",
         [](JournaledRun& r, TestDir& f, TestDir& o) { r.Rename(o / "a", f / "b"); },
         [](const std::string&) {}, "it names "},
        {"a path that climbs out",
         [](JournaledRun& r, TestDir& f, TestDir& o) {
             r.Rename(f / "../" + o.Path().substr(o.Path().rfind('/') + 1) + "/a", f / "b");
         },
         [](const std::string&) {}, "it names "},
        {"a history folder others may write",
         [](JournaledRun& r, TestDir& f, TestDir&) { r.Rename(f / "a", f / "b"); },
         [](const std::string& h) { chmod(h.c_str(), 0777); }, "the history folder "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir state;
        TestDir folder;
        TestDir outside;
        folder.CreateFile("a", "mine");
        outside.CreateFile("a", "elsewhere");
        const std::string history = state / "history";
        std::string journal;
        {
            JournaledRun run(history, RunMode::Rename, folder.Path(), 1);
            journal = run.Journal();
            c.run(run, folder, outside);
            run.End();
        }
        c.change(history);
        const auto before = Inventory(folder.Path());
        const auto besides = Inventory(outside.Path());
        UndoSummary summary = UndoRun(journal);
        if (*c.refusal == '\0') {
            EXPECT_EQ(summary.ended, UndoSummary::Ended::Done);
            EXPECT_EQ(folder.Read("a"), "mine");
            continue;
        }
        EXPECT_EQ(summary.ended, UndoSummary::Ended::Refused);
        EXPECT_EQ(summary.refusal.rfind(c.refusal, 0), 0u) << summary.refusal;
        EXPECT_EQ(Inventory(folder.Path()), before);
        EXPECT_EQ(Inventory(outside.Path()), besides);
        chmod(history.c_str(), 0700);
    }
}

}  // namespace
}  // namespace quorvan
