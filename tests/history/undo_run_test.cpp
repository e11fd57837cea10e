#include "history/undo_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "history/run_history.h"
#include "history_test_support.h"
#include "platform/dos_attrib.h"
#include "support/test_trash.h"

namespace quorvan {
namespace {

using test::Contents;
using test::ExpectNoTemporaryNames;
using test::InChild;
using test::Inventory;
using test::JournaledRun;
using test::ReadText;
using test::RenameRun;
using test::TestDir;
using test::TestTrash;
using Backend = CJournalWriter::Backend;

std::string DosValue(uint8_t attributes) {
    DosAttrib dos;
    dos.attributes = attributes;
    return EncodeDosAttrib(dos);
}

std::optional<std::string> ReadDosAttrib(const std::string& path) {
    std::string value(256, '\0');
    ssize_t n = getxattr(path.c_str(), kDosAttribName, value.data(), value.size());
    return n < 0 ? std::nullopt : std::optional(value.substr(0, static_cast<size_t>(n)));
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st;
}

std::string Reasons(const UndoSummary& summary) {
    std::string text;
    for (const UndoStep& step : summary.steps) {
        if (step.outcome == UndoOutcome::Skipped) {
            text += DescribeStep(step) + ": " + step.reason + "\n";
        }
    }
    return text;
}

class UndoRunTest : public ::testing::Test {
  protected:
    void SetUp() override { TestTrash::Empty(); }

    std::string History() const { return state / "history"; }
    RunState StateOf(const std::string& journal) {
        RunSummary summary;
        EXPECT_TRUE(ReadRunSummary(journal, summary));
        return summary.state;
    }

    // 1..4.txt, a cycle x y z, a name with odd bytes, and one file that
    // stays, all with contents of their own.
    void MakeInPlaceFiles() {
        for (int i = 1; i <= 4; ++i) {
            dir.CreateFile(std::to_string(i) + ".txt", "content " + std::to_string(i));
        }
        dir.CreateFile("x", "X");
        dir.CreateFile("y", "Y");
        dir.CreateFile("z", "Z");
        dir.CreateFile(kOdd, "odd");
        dir.CreateFile("stays", "S");
    }

    // Renumbering up by one in a working order, a rotation through a
    // temporary name, the odd name renamed, attributes and times.
    void InPlaceRun(JournaledRun& run) {
        for (int i = 4; i >= 1; --i) {
            run.Rename(dir / (std::to_string(i) + ".txt"), dir / (std::to_string(i + 1) + ".txt"));
        }
        run.Cycle({dir / "x", dir / "y", dir / "z"});
        run.Rename(dir / kOdd, dir / "plain");
        run.SetMode(dir / "2.txt", 0444);
        run.SetDosAttrib(dir / "3.txt", DosValue(0x23));
        run.SetTimes(dir / "4.txt", {1000000000, 0}, {1000000000, 0});
        run.End();
    }

    // Three sources copied into the destination, where b.txt and c.txt
    // already are.
    void MakeCopyFiles() {
        dir.CreateFile("src/a.txt", "A");
        dir.CreateFile("src/b.txt", "B");
        dir.CreateFile("src/c.txt", "C");
        dir.CreateFile("dest/b.txt", "old b");
        dir.CreateFile("dest/c.txt", "old c");
    }

    std::string FinishedInPlaceRun() {
        JournaledRun run(History(), RunMode::Rename, dir.Path(), 9);
        InPlaceRun(run);
        return run.Journal();
    }
    std::string FinishedCopyRun() {
        JournaledRun run(History(), RunMode::Copy, dir / "src", 2, dir / "dest");
        CopyRun(run);
        return run.Journal();
    }

    void RemoveFiles() {
        for (const std::string& name : dir.List()) {
            std::filesystem::remove_all(dir / name);
        }
    }

    void CopyRun(JournaledRun& run) {
        run.Copy(dir / "src/a.txt", dir / "dest/a.txt");
        run.Copy(dir / "src/b.txt", dir / "dest/b.txt");
        run.Copy(dir / "src/c.txt", dir / "dest/c.txt", false);
        run.SetTimes(dir / "dest/a.txt", {1000000000, 0}, {1000000000, 0});
        run.End();
    }

    static constexpr const char* kOdd = "odd \n\t\"quote\\ \xff\xfe name";
    TestDir dir;
    TestDir state;
};

TEST_F(UndoRunTest, InPlaceRunWithChainCycleAttributesAndTimesComesBackExactly) {
    MakeInPlaceFiles();
    dir.SetTimes("3.txt", 1500000000, 1500000000);
    auto start = Inventory(dir.Path());
    struct stat before1 = StatOf(dir / "1.txt");
    struct stat before3 = StatOf(dir / "3.txt");
    const std::string journal = FinishedInPlaceRun();
    ASSERT_NE(Inventory(dir.Path()), start);

    // A dry run foresees the whole undo and changes nothing, the journal neither.
    const auto after = Inventory(dir.Path());
    const std::string text = ReadText(journal);
    UndoOptions dry;
    dry.dryRun = true;
    UndoSummary foreseen = UndoRun(journal, dry);
    EXPECT_EQ(foreseen.stepsSkipped, 0) << Reasons(foreseen);
    EXPECT_EQ(foreseen.filesRestored, 8);
    EXPECT_EQ(Inventory(dir.Path()), after);
    EXPECT_EQ(ReadText(journal), text);
    EXPECT_EQ(StateOf(journal), RunState::Complete);

    UndoSummary summary = UndoRun(journal);
    EXPECT_EQ(summary.ended, UndoSummary::Ended::Done);
    EXPECT_EQ(summary.stepsSkipped, 0) << Reasons(summary);
    EXPECT_EQ(summary.filesRestored, 8);  // 4 + 3 + 1 files renamed
    // The times before anything reads the file: a read after the undo may
    // move the access time again (relatime looks at the change time).
    EXPECT_EQ(StatOf(dir / "3.txt").st_mtime, 1500000000);
    EXPECT_EQ(StatOf(dir / "3.txt").st_atime, before3.st_atime);
    EXPECT_EQ(Inventory(dir.Path()), start);
    // The run changed what became 2.txt, 3.txt and 4.txt: files 1, 2 and 3.
    EXPECT_EQ(StatOf(dir / "1.txt").st_mode & 07777, before1.st_mode & 07777);
    EXPECT_EQ(ReadDosAttrib(dir / "2.txt"), std::nullopt);
    EXPECT_EQ(StateOf(journal), RunState::Undone);

    // Again: nothing to do, nothing harmed.
    UndoSummary again = UndoRun(journal);
    EXPECT_EQ(again.ended, UndoSummary::Ended::Done);
    EXPECT_EQ(again.stepsRestored + again.stepsSkipped, 0) << Reasons(again);
    EXPECT_EQ(Inventory(dir.Path()), start);
    EXPECT_EQ(StateOf(journal), RunState::Undone);
}

TEST_F(UndoRunTest, CopyRunSendsCopiesToTheTrashAndBringsTheReplacedFileBack) {
    MakeCopyFiles();
    auto start = Inventory(dir.Path());
    const std::string journal = FinishedCopyRun();
    EXPECT_EQ(TestTrash::Files(), (std::vector<std::string>{"b.txt", "c.txt"}));

    UndoSummary summary = UndoRun(journal);
    EXPECT_EQ(summary.stepsSkipped, 0) << Reasons(summary);
    EXPECT_EQ(Inventory(dir.Path()), start);
    // The copies are in the trash, not deleted; the old files' entries are gone.
    auto trash = Inventory(TestTrash::Folder() + "/files");
    EXPECT_EQ(Contents(trash), (std::multiset<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Inventory(TestTrash::Folder() + "/info").size(), 3u);
    for (const UndoStep& step : summary.steps) {
        if (step.kind == UndoStep::Kind::TrashCopy) {
            EXPECT_EQ(trash.count(step.trash.substr(step.trash.rfind('/') + 1)), 1u) << step.trash;
        }
    }
}

TEST_F(UndoRunTest, ChangedSinceTheRunIsReportedAndLeftAlone) {
    // One row per kind of change after the run: what the user did, and the
    // reason the undo must give while losing nothing. (A file replaced since
    // is told from the run's own with the identities the journal keeps.)
    struct Case {
        const char* name;
        std::function<void(TestDir&)> change;
        const char* reason;
    };
    const Case cases[] = {
        {"a new file took the old name", [](TestDir& d) { d.CreateFile("a", "someone else"); },
         "the name is taken by another file"},
        {"the file was moved away",
         [](TestDir& d) { rename((d / "b").c_str(), (d / "c").c_str()); },
         "it was moved away or deleted since the run"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir files;
        files.CreateFile("a", "mine");
        const std::string journal = RenameRun(History(), files.Path(), "a", "b");
        c.change(files);
        auto before = Inventory(files.Path());
        UndoSummary summary = UndoRun(journal);
        ASSERT_EQ(summary.steps.size(), 1u);
        EXPECT_EQ(summary.steps[0].outcome, UndoOutcome::Skipped);
        EXPECT_EQ(summary.steps[0].reason, c.reason);
        EXPECT_EQ(summary.filesSkipped, 1);
        EXPECT_EQ(Inventory(files.Path()), before);
        EXPECT_EQ(StateOf(journal), RunState::PartlyUndone);
    }
}

TEST_F(UndoRunTest, EditedCopyStaysAndEditedFileKeepsItsTimes) {
    MakeCopyFiles();
    const std::string journal = FinishedCopyRun();
    dir.CreateFile("dest/a.txt", "A, edited");
    UndoSummary summary = UndoRun(journal);
    EXPECT_EQ(dir.Read("dest/a.txt"), "A, edited");
    EXPECT_NE(StatOf(dir / "dest/a.txt").st_mtime, 1000000000);
    EXPECT_EQ(dir.Read("dest/b.txt"), "old b");  // the rest is done
    std::string reasons = Reasons(summary);
    EXPECT_NE(reasons.find("set back the times of " + dir / "dest/a.txt" +
                           ": it was modified since the run; its times stay"),
              std::string::npos)
        << reasons;
    EXPECT_NE(reasons.find("move the copy " + dir / "dest/a.txt" +
                           " to the trash: it was changed since the run; it stays"),
              std::string::npos)
        << reasons;
    EXPECT_EQ(summary.filesSkipped, 1);
}

TEST_F(UndoRunTest, OlderRunAfterNewerOneIsSkippedThenBothUndoInOrder) {
    dir.CreateFile("a", "A");
    auto start = Inventory(dir.Path());
    const std::string older = RenameRun(History(), dir.Path(), "a", "b");
    const std::string newer = RenameRun(History(), dir.Path(), "b", "c");
    UndoSummary skipped = UndoRun(older);
    EXPECT_EQ(skipped.stepsSkipped, 1);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"c"}));

    EXPECT_EQ(UndoRun(newer).stepsSkipped, 0);
    UndoSummary retried = UndoRun(older);
    EXPECT_EQ(retried.stepsSkipped, 0) << Reasons(retried);
    EXPECT_EQ(retried.filesRestored, 1);
    EXPECT_EQ(Inventory(dir.Path()), start);
    EXPECT_EQ(StateOf(older), RunState::Undone);
    EXPECT_EQ(StateOf(newer), RunState::Undone);
}

TEST_F(UndoRunTest, SymbolicLinkPutInPlaceOfAChangedFileIsNotFollowed) {
    dir.CreateFile("a", "A");
    dir.CreateFile("victim", "V");
    chmod((dir / "victim").c_str(), 0600);
    std::string journal;
    {
        JournaledRun run(History(), RunMode::Rename, dir.Path(), 1);
        journal = run.Journal();
        run.SetMode(dir / "a", 0444);
        run.SetTimes(dir / "a", {1000000000, 0}, {1000000000, 0});
        run.End();
    }
    unlink((dir / "a").c_str());
    ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "a").c_str()), 0);
    UndoSummary summary = UndoRun(journal);
    EXPECT_EQ(summary.stepsSkipped, 2) << Reasons(summary);
    EXPECT_EQ(StatOf(dir / "victim").st_mode & 07777, 0600u);
    EXPECT_NE(StatOf(dir / "victim").st_mtime, 1000000000);
}

// An undo stopped after any step of a rotation's undo: by Cancel (Ctrl-C),
// it first finishes the cycle, so no file waits at a temporary name; killed,
// the next undo finishes it. Either way every content exists exactly once.
TEST_F(UndoRunTest, AnUndoStoppedAtAnyStepOfARotationLeavesNoFileAtATemporaryName) {
    const std::vector<std::string> names = {"a", "b", "c", "d"};
    for (const std::string& name : names) {
        dir.CreateFile(name, "content " + name);
    }
    dir.CreateFile("e", "content e");
    const auto start = Inventory(dir.Path());
    const int kSteps = 6;  // a rename and the rotation's five moves
    for (bool kill : {false, true}) {
        for (int stopAfter = 0; stopAfter <= kSteps; ++stopAfter) {
            SCOPED_TRACE((kill ? "killed after " : "cancelled after ") + std::to_string(stopAfter) +
                         " steps");
            std::string journal;
            {
                JournaledRun run(History(), RunMode::Rename, dir.Path(), 5);
                journal = run.Journal();
                run.Rename(dir / "e", dir / "f");
                run.Cycle({dir / "a", dir / "b", dir / "c", dir / "d"});
                run.End();
            }
            std::atomic<bool> cancel{false};
            int taken = 0;
            UndoOptions options;
            options.cancel = &cancel;
            options.onStep = [&](const UndoStep&) {
                if (++taken == stopAfter && kill) {
                    _exit(0);
                }
                cancel = taken >= stopAfter;
            };
            if (kill) {
                ASSERT_TRUE(InChild([&] { UndoRun(journal, options); }));
            } else {
                cancel = stopAfter == 0;
                UndoSummary summary = UndoRun(journal, options);
                EXPECT_EQ(summary.stepsSkipped, 0) << Reasons(summary);
                ExpectNoTemporaryNames(dir.Path());
                EXPECT_EQ(Contents(Inventory(dir.Path())), Contents(start));
            }
            UndoSummary rest = UndoRun(journal);
            EXPECT_EQ(rest.stepsSkipped, 0) << Reasons(rest);
            EXPECT_EQ(Inventory(dir.Path()), start);
            EXPECT_EQ(StateOf(journal), RunState::Undone);
            unlink(journal.c_str());
        }
    }
}

// Fills the file system of `folder` but for about `free` bytes.
void FillBut(const std::string& folder, int64_t free) {
    const std::string filler = folder + "/filler";
    int fd = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const std::string chunk(65536, 'f');
    off_t size = 0;
    for (ssize_t n; (n = write(fd, chunk.data(), chunk.size())) > 0;) {
        size += n;
    }
    ASSERT_EQ(ftruncate(fd, std::max<off_t>(0, size - free)), 0);
    close(fd);
}

// Undo needs room for a few small records only; where even that is missing
// it stops with the reason, and no file waits at a temporary name.
TEST_F(UndoRunTest, UndoOnANearlyFullStateDriveRunsWhileItsRecordsFit) {
    test::ScratchMount mount(state.CreateDir("fs"));
    if (!mount.Mount("-t tmpfs -o size=2m tmpfs")) {
        GTEST_SKIP() << "a small file system for the history needs root";
    }
    struct Case {
        const char* name;
        int64_t free;
        UndoSummary::Ended ended;
    };
    const Case cases[] = {
        {"a quarter of a megabyte free", 256 * 1024, UndoSummary::Ended::Done},
        {"a page free", 4096, UndoSummary::Ended::JournalFailed},
        {"nothing free", 0, UndoSummary::Ended::JournalFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 200; ++i) {
            dir.CreateFile("x" + std::to_string(i), "x" + std::to_string(i));
            dir.CreateFile("y" + std::to_string(i), "y" + std::to_string(i));
        }
        const auto start = Inventory(dir.Path());
        std::string journal;
        {
            JournaledRun run(state / "fs/history", RunMode::Rename, dir.Path(), 400);
            journal = run.Journal();
            for (int i = 0; i < 200; ++i) {
                run.Cycle({dir / ("x" + std::to_string(i)), dir / ("y" + std::to_string(i))});
            }
            run.End();
        }
        FillBut(state / "fs", c.free);
        UndoSummary summary = UndoRun(journal);
        EXPECT_EQ(summary.ended, c.ended);
        if (c.ended == UndoSummary::Ended::JournalFailed) {
            EXPECT_EQ(summary.error, ENOSPC);
        }
        ExpectNoTemporaryNames(dir.Path());
        EXPECT_EQ(Contents(Inventory(dir.Path())), Contents(start));
        unlink((state / "fs/filler").c_str());
        EXPECT_EQ(UndoRun(journal).stepsSkipped, 0);
        EXPECT_EQ(Inventory(dir.Path()), start);
        unlink(journal.c_str());
        RemoveFiles();
    }
}

TEST_F(UndoRunTest, ALongRunIsUndoneInTwoGoesAndEveryFileIsCounted) {
    // More steps than the summary keeps, in a journal many reads long.
    constexpr int kFiles = 12000;
    const std::string pad(80, 'p');
    for (int i = 0; i < kFiles; ++i) {
        dir.CreateFile(pad + std::to_string(i));
    }
    const auto start = Inventory(dir.Path());
    std::string journal;
    {
        JournaledRun run(History(), RunMode::Rename, dir.Path(), kFiles);
        journal = run.Journal();
        for (int i = 0; i < kFiles; ++i) {
            run.Rename(dir / (pad + std::to_string(i)), dir / ("new-" + std::to_string(i)));
        }
        run.End();
    }
    std::atomic<bool> cancel{false};
    UndoOptions options;
    options.cancel = &cancel;
    int64_t taken = 0;
    options.onStep = [&](const UndoStep&) { cancel = ++taken == kFiles / 2; };
    UndoSummary first = UndoRun(journal, options);
    EXPECT_EQ(first.ended, UndoSummary::Ended::Cancelled);
    EXPECT_EQ(first.filesRestored, kFiles / 2);

    UndoSummary rest = UndoRun(journal);
    EXPECT_EQ(rest.ended, UndoSummary::Ended::Done);
    EXPECT_EQ(rest.filesRestored, kFiles / 2);
    EXPECT_EQ(rest.stepsUnchanged, kFiles / 2);  // done by the first go
    EXPECT_EQ(rest.stepsSkipped, 0) << Reasons(rest);
    EXPECT_EQ(Inventory(dir.Path()), start);
    EXPECT_EQ(StateOf(journal), RunState::Undone);
}

TEST_F(UndoRunTest, AnUnplacedCopyWhoseSourceIsGoneIsTrashedNotDeleted) {
    dir.CreateFile("src/a.txt", "A");
    dir.CreateFile("dest/a.txt", "old");
    // Killed with the copy finished but not yet in place (the copy record,
    // then the trash of the old file, would come next).
    ASSERT_TRUE(InChild([&] {
        JournaledRun run(History(), RunMode::Copy, dir / "src", 1, dir / "dest");
        run.KillAfter(4);
        run.Copy(dir / "src/a.txt", dir / "dest/a.txt", false);
    }));
    unlink((dir / "src/a.txt").c_str());
    UndoSummary summary = KeepRun(ListRuns(History()).front().path);
    EXPECT_EQ(summary.stepsSkipped, 0) << Reasons(summary);
    EXPECT_EQ(Inventory(dir.Path()), (std::map<std::string, std::string>{{"dest/a.txt", "old"}}));
    auto trash = Inventory(TestTrash::Folder() + "/files");
    ASSERT_EQ(trash.size(), 1u);
    EXPECT_EQ(trash.begin()->second, "A");
}

// A journal is only followed where its run worked: one naming paths outside
// the run's folder, or lying in a history folder others may write, is
// refused as a whole and changes nothing.
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

// A kill at every moment of a run, with each writer, with and without a
// record cut in the middle: the interrupted run still undoes to its start,
// or is kept with every content once and no temporary name.
class KillTest : public UndoRunTest, public ::testing::WithParamInterface<Backend> {
  protected:
    // Runs `scenario` killed after `kill` actions; returns the journal.
    std::string Killed(int kill, const std::function<void(JournaledRun&)>& scenario, RunMode mode,
                       const std::string& folder, const std::string& dest) {
        EXPECT_TRUE(InChild([&] {
            JournaledRun run(History(), mode, folder, 3, dest, GetParam());
            run.KillAfter(kill);
            scenario(run);
            _exit(0);
        }));
        auto runs = ListRuns(History());
        return runs.empty() ? "" : runs.front().path;
    }

    int CountActions(const std::function<void(JournaledRun&)>& scenario, RunMode mode,
                     const std::string& folder, const std::string& dest) {
        JournaledRun run(History() + "-count", mode, folder, 3, dest, GetParam());
        scenario(run);
        return run.Actions();
    }

    // A record cut in the middle after the data, as a kill during its
    // write leaves it.
    static void CutRecord(const std::string& journal) {
        std::string text = ReadText(journal);
        int64_t end = JournalDataEnd(text);
        std::string part = "{\"t\":\"rename\",\"from\":\"/nowhere";
        text.replace(static_cast<size_t>(end), std::min(part.size(), text.size() - end), part);
        test::WriteText(journal, text);
    }

    void CheckEveryMoment(const std::function<void()>& makeFiles,
                          const std::function<void(JournaledRun&)>& scenario, RunMode mode,
                          const std::string& folder, const std::string& dest) {
        makeFiles();
        auto start = Inventory(dir.Path());
        int total = CountActions(scenario, mode, folder, dest);
        TestTrash::Empty();
        ASSERT_GT(total, 10);
        for (int kill = 0; kill < total; ++kill) {
            for (bool cut : {false, true}) {
                // A cut record changes how the journal reads, not what keeping does.
                for (bool keep : cut ? std::vector{false} : std::vector{false, true}) {
                    SCOPED_TRACE("kill after " + std::to_string(kill) + (cut ? ", cut" : "") +
                                 (keep ? ", kept" : ""));
                    RemoveFiles();
                    makeFiles();
                    std::string journal = Killed(kill, scenario, mode, folder, dest);
                    ASSERT_FALSE(journal.empty());
                    if (cut) {
                        CutRecord(journal);
                    }
                    EXPECT_EQ(StateOf(journal), RunState::Interrupted);
                    UndoSummary summary = keep ? KeepRun(journal) : UndoRun(journal);
                    ASSERT_EQ(summary.ended, UndoSummary::Ended::Done);
                    auto now = Inventory(dir.Path());
                    ExpectNoTemporaryNames(dir.Path());
                    if (!keep) {
                        EXPECT_EQ(summary.stepsSkipped, 0) << Reasons(summary);
                        EXPECT_EQ(now, start);
                        EXPECT_EQ(StateOf(journal), RunState::Undone);
                    } else {
                        EXPECT_EQ(StateOf(journal), RunState::Kept);
                        CheckKept(start, now);
                        // A kept run can still be undone later.
                        UndoSummary later = UndoRun(journal);
                        EXPECT_EQ(later.stepsSkipped, 0) << Reasons(later);
                        EXPECT_EQ(Inventory(dir.Path()), start);
                    }
                    unlink(journal.c_str());
                    TestTrash::Empty();
                }
            }
        }
    }

    // The sources hold every content of the start once; in copy mode each
    // target holds its copy or what it held before.
    void CheckKept(const std::map<std::string, std::string>& start,
                   const std::map<std::string, std::string>& now) {
        auto sources = [](std::map<std::string, std::string> files) {
            std::erase_if(files,
                          [](const auto& file) { return file.first.rfind("dest/", 0) == 0; });
            return Contents(files);
        };
        EXPECT_EQ(sources(now), sources(start));
        if (start.count("dest/b.txt") != 0) {
            for (const char* name : {"b", "c"}) {
                std::string path = std::string("dest/") + name + ".txt";
                ASSERT_EQ(now.count(path), 1u) << path;
                std::string copy(1, static_cast<char>(toupper(name[0])));
                EXPECT_TRUE(now.at(path) == copy || now.at(path) == "old " + std::string(name));
            }
            EXPECT_TRUE(now.count("dest/a.txt") == 0 || now.at("dest/a.txt") == "A");
        }
    }
};

TEST_P(KillTest, InPlaceRunKilledAtAnyMomentUndoesToItsStart) {
    CheckEveryMoment([this] { MakeInPlaceFiles(); }, [this](JournaledRun& run) { InPlaceRun(run); },
                     RunMode::Rename, dir.Path(), "");
}

TEST_P(KillTest, CopyRunKilledAtAnyMomentUndoesToItsStart) {
    CheckEveryMoment([this] { MakeCopyFiles(); }, [this](JournaledRun& run) { CopyRun(run); },
                     RunMode::Copy, dir / "src", dir / "dest");
}

INSTANTIATE_TEST_SUITE_P(Writers, KillTest, ::testing::Values(Backend::Mapped, Backend::Write),
                         test::WriterName);

}  // namespace
}  // namespace quorvan
