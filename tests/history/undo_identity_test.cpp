// Whether undo knows a file again after the file system changed its numbers
// (a remount), and never takes a new file under a reused inode number for
// the run's, through the journal and quorvan-cli undo.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <regex>
#include <set>

#include "history/journal.h"
#include "history/run_history.h"
#include "history_test_support.h"

namespace quorvan {
namespace {

using test::Contents;
using test::Inventory;
using test::JournaledRun;
using test::ReadText;
using test::RenameRun;
using test::RunCommand;
using test::ShellQuote;
using test::TestDir;
using test::WriteText;

// Rewrites every number of `key` in the journal with `change`; a change to
// nothing drops the key, as a version 1 journal lacks it.
void EditNumbers(const std::string& journal, const std::string& key,
                 const std::function<std::optional<uint64_t>(uint64_t)>& change) {
    const std::string text = ReadText(journal);
    const std::regex number(",\"" + key + "\":([0-9]+)");
    std::string edited;
    auto at = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it) {
        edited.append(at, (*it)[0].first);
        if (auto value = change(std::stoull((*it)[1].str()))) {
            edited += ",\"" + key + "\":" + std::to_string(*value);
        }
        at = (*it)[0].second;
    }
    edited.append(at, text.cend());
    WriteText(journal, edited);
}

std::optional<uint64_t> Next(uint64_t value) {
    return value + 1;
}
std::optional<uint64_t> Dropped(uint64_t) {
    return std::nullopt;
}

class UndoIdentity : public ::testing::Test {
  protected:
    int Cli(const std::string& args, std::string* err = nullptr) {
        std::string out;
        return test::Cli(args, &out, err,
                         "QUORVAN_STATE_DIR=" + ShellQuote(state / "state") +
                             " XDG_DATA_HOME=" + ShellQuote(state / "data"));
    }
    std::string History() const { return state / "state/history"; }
    std::string Journal() {
        auto runs = ListRuns(History());
        return runs.empty() ? "" : runs.front().path;
    }

    TestDir dir;
    TestDir state;
};

// What time and the file system may have done between run and undo, as the
// journal sees it, and whether undo must still take the file for the run's.
struct Change {
    const char* name;
    std::function<void(const std::string& journal)> edit;
    bool same;
};

const Change kChanges[] = {
    {"nothing changed", [](const std::string&) {}, true},
    {"remounted under another device number",
     [](const std::string& j) { EditNumbers(j, "dev", Next); }, true},
    {"a version 1 journal, then a remount",
     [](const std::string& j) {
         EditNumbers(j, "v", [](uint64_t) { return uint64_t{1}; });
         EditNumbers(j, "fs", Dropped);
         EditNumbers(j, "gen", Dropped);
         EditNumbers(j, "dev", Next);
     },
     true},
    {"file system id and device number both changed",
     [](const std::string& j) {
         EditNumbers(j, "fs", Next);
         EditNumbers(j, "dev", Next);
     },
     true},
    {"the inode number went to a new file",
     [](const std::string& j) { EditNumbers(j, "gen", Next); }, false},
    {"the inode number went to a new file where no generation is kept",
     [](const std::string& j) {
         EditNumbers(j, "gen", Dropped);
         EditNumbers(j, "btime_ns", Next);
     },
     false},
};

TEST_F(UndoIdentity, RenamedFilesAreKnownAcrossRemountsAndNeverUnderAReusedInode) {
    for (const Change& change : kChanges) {
        SCOPED_TRACE(change.name);
        TestDir files;
        files.CreateFile("a", "A");
        files.CreateFile("x", "X");
        files.CreateFile("y", "Y");
        const auto start = Inventory(files.Path());
        {
            JournaledRun run(History(), RunMode::Rename, files.Path(), 3);
            run.Rename(files / "a", files / "b");
            run.Cycle({files / "x", files / "y"});
            run.End();
        }
        const std::string journal = Journal();
        change.edit(journal);
        const auto after = Inventory(files.Path());

        std::string err;
        EXPECT_EQ(Cli("undo --dry-run", &err), change.same ? 0 : 1) << err;
        EXPECT_EQ(Inventory(files.Path()), after) << "a dry run moves nothing";
        const std::string leftAlone =
            "the file at " + (files / "b") + " is not the one this run renamed: left alone";
        EXPECT_EQ(err.find(leftAlone) != std::string::npos, !change.same) << err;

        EXPECT_EQ(Cli("undo", &err), change.same ? 0 : 1) << err;
        if (change.same) {
            EXPECT_EQ(Inventory(files.Path()), start);
        } else {
            EXPECT_NE(err.find(leftAlone), std::string::npos) << err;
            EXPECT_EQ(files.Read("b"), "A") << "the file is left where it is";
            EXPECT_FALSE(files.Exists("a"));
        }
        std::filesystem::remove_all(History());
    }
}

// A swap killed while one file waits at its temporary name, undone after a
// remount: every content is there exactly once, at a real name.
TEST_F(UndoIdentity, KilledCycleUndoneAfterARemountLosesNothing) {
    for (const Change& change : kChanges) {
        for (int kill = 1; kill <= 7; ++kill) {
            SCOPED_TRACE(std::string(change.name) + ", killed after " + std::to_string(kill));
            TestDir files;
            files.CreateFile("10.jpg", "ten");
            files.CreateFile("8.jpg", "eight");
            files.CreateFile("9.jpg", "nine");
            const auto contents = Contents(Inventory(files.Path()));
            test::InChild([&] {
                JournaledRun run(History(), RunMode::Rename, files.Path(), 3);
                run.KillAfter(kill);
                run.Cycle({files / "8.jpg", files / "9.jpg", files / "10.jpg"});
                _exit(0);
            });
            const std::string journal = Journal();
            ASSERT_FALSE(journal.empty());
            change.edit(journal);
            std::string err;
            Cli("undo", &err);
            EXPECT_EQ(Contents(Inventory(files.Path())), contents) << err;
            if (change.same) {
                test::ExpectNoTemporaryNames(files.Path());
            }
            std::filesystem::remove_all(History());
            std::filesystem::remove_all(state / "data");
        }
    }
}

// A real run records what tells its files from later ones: a file deleted
// after the run and a new one saved under its name (ext4 gives the freed
// inode number to it) is never renamed by the undo.
TEST_F(UndoIdentity, ANewFileUnderARenamedNameIsNeverTakenForTheRunsFile) {
    dir.CreateFile("photo.jpg", "old");
    ASSERT_EQ(Cli("run --set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(dir.Path())), 0);
    ASSERT_TRUE(dir.Exists("new_photo.jpg"));
    unlink((dir / "new_photo.jpg").c_str());
    dir.CreateFile("new_photo.jpg", "someone else's");
    std::string err;
    EXPECT_EQ(Cli("undo", &err), 1);
    EXPECT_NE(err.find("the file at " + (dir / "new_photo.jpg") +
                       " is not the one this run renamed: left alone"),
              std::string::npos)
        << err;
    EXPECT_EQ(dir.Read("new_photo.jpg"), "someone else's");
    EXPECT_FALSE(dir.Exists("photo.jpg"));
}

// Leftovers of a killed copy that no record accounts for may be anything:
// they go to the trash, never away.
TEST_F(UndoIdentity, ATemporaryFileNoRecordNamesGoesToTheTrash) {
    dir.CreateFile("a", "A");
    RenameRun(History(), dir.Path(), "a", "b");
    const std::string leftover = RunTempPrefix(ListRuns(History()).front().start.id) + "7";
    dir.CreateFile(leftover, "half a copy");
    EXPECT_EQ(Cli("undo"), 0);
    EXPECT_EQ(dir.Read("a"), "A");
    EXPECT_FALSE(dir.Exists(leftover));
    EXPECT_EQ(Inventory(state / "data/Trash/files"),
              (std::map<std::string, std::string>{{leftover, "half a copy"}}));
}

// A journal damaged inside (a line overwritten, zeros from a crash of the
// file system): every record that can be read is undone, and the undo says
// what it could not read instead of calling itself complete.
TEST_F(UndoIdentity, DamagedRecordsAreReportedAndTheRestIsUndone) {
    struct Damage {
        const char* name;
        char fill;  // what the first rename record is overwritten with
    };
    for (const Damage& damage : {Damage{"a line of garbage", 'x'}, Damage{"zeros inside", '\0'}}) {
        SCOPED_TRACE(damage.name);
        TestDir files;
        files.CreateFile("a", "A");
        files.CreateFile("c", "C");
        {
            JournaledRun run(History(), RunMode::Rename, files.Path(), 2);
            run.Rename(files / "a", files / "b");
            run.Rename(files / "c", files / "d");
            run.End();
        }
        const std::string journal = Journal();
        std::string text = ReadText(journal);
        const size_t first = text.find("{\"t\":\"rename\"");
        ASSERT_NE(first, std::string::npos);
        text.replace(first, text.find('\n', first) - first,
                     std::string(text.find('\n', first) - first, damage.fill));
        WriteText(journal, text);

        std::string err;
        EXPECT_EQ(Cli("undo", &err), 1) << err;
        EXPECT_NE(err.find("1 record of the journal of run"), std::string::npos) << err;
        EXPECT_EQ(files.Read("c"), "C") << "the record after the damage is undone";
        EXPECT_EQ(files.Read("b"), "A") << "what the damaged record did stays";
        auto runs = ListRuns(History());
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].state, RunState::PartlyUndone);
        std::filesystem::remove_all(History());
    }
}

// While one undo of the only run works, another is told so, not that there
// is nothing to undo.
TEST_F(UndoIdentity, AnUndoUnderWayIsSaidSo) {
    dir.CreateFile("a", "A");
    RenameRun(History(), dir.Path(), "a", "b");
    CJournalWriter holder;  // holds the journal's lock as an undo does
    ASSERT_EQ(holder.OpenToAppend(Journal()), 0);
    std::string err;
    EXPECT_EQ(Cli("undo", &err), 1);
    EXPECT_NE(err.find("is still running or being undone"), std::string::npos) << err;
    holder.Close();
    EXPECT_EQ(Cli("undo", &err), 0) << err;
    EXPECT_EQ(dir.Read("a"), "A");
}

// Mounts and unmounts by mount(8) for one test; unmounts what is left at
// the end.
class Mounts final {
  public:
    ~Mounts() {
        for (auto it = points_.rbegin(); it != points_.rend(); ++it) {
            RunCommand("umount -l " + ShellQuote(*it), nullptr, true);
        }
        for (const std::string& loop : loops_) {
            RunCommand("losetup -d " + loop, nullptr, true);
        }
    }
    bool Mount(const std::string& arguments, const std::string& point) {
        if (RunCommand("mount " + arguments + " " + ShellQuote(point), nullptr, true) != 0) {
            return false;
        }
        points_.push_back(point);
        return true;
    }
    bool Unmount(const std::string& point) {
        auto it = std::find(points_.begin(), points_.end(), point);
        if (it == points_.end() || RunCommand("umount " + ShellQuote(point)) != 0) {
            return false;
        }
        points_.erase(it);
        return true;
    }
    // A loop device over `image`; empty when none can be had.
    std::string Loop(const std::string& image) {
        std::string device;
        if (RunCommand("losetup -f --show " + ShellQuote(image), &device) != 0) {
            return "";
        }
        device.erase(device.find_last_not_of('\n') + 1);
        loops_.push_back(device);
        return device;
    }

  private:
    std::vector<std::string> points_;
    std::vector<std::string> loops_;
};

uint64_t DeviceOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

// Real mounts, where the machine allows them: an ext4 image that comes back
// on another loop device, and an overlay of an ext4 folder under a tmpfs
// upper layer, where renaming copies each file up.
TEST_F(UndoIdentity, RealMountsUndoExactly) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting needs root";
    }
    struct Setup {
        const char* name;
        // Mounts the files' folder at `point`; false when the machine cannot.
        std::function<bool(Mounts&, TestDir&, const std::string& point)> mount;
        bool remount;  // unmounted after the run and mounted again
    };
    const Setup setups[] = {
        {"ext4 on a loop device",
         [](Mounts& m, TestDir& scratch, const std::string& point) {
             const std::string image = scratch / "disk.img";
             if (RunCommand("truncate -s 16M " + ShellQuote(image) + " && mkfs.ext4 -q " +
                                ShellQuote(image),
                            nullptr, true) != 0) {
                 return false;
             }
             std::string loop = m.Loop(image);
             return !loop.empty() && m.Mount(loop, point);
         },
         true},
        {"overlay of ext4 under tmpfs",
         [](Mounts& m, TestDir& scratch, const std::string& point) {
             scratch.CreateFile("lower/photo1.jpg", "one");
             scratch.CreateFile("lower/photo2.jpg", "two");
             scratch.CreateDir("layers");
             return m.Mount("-t tmpfs tmpfs", scratch / "layers") &&
                    RunCommand("mkdir " + ShellQuote(scratch / "layers/upper") + " " +
                               ShellQuote(scratch / "layers/work")) == 0 &&
                    m.Mount("-t overlay overlay -o lowerdir=" + (scratch / "lower") +
                                ",upperdir=" + (scratch / "layers/upper") +
                                ",workdir=" + (scratch / "layers/work"),
                            point);
         },
         false},
    };
    for (const Setup& setup : setups) {
        SCOPED_TRACE(setup.name);
        TestDir scratch;
        const std::string point = scratch.CreateDir("mnt");
        Mounts mounts;
        if (!setup.mount(mounts, scratch, point)) {
            std::cout << "skipped " << setup.name << ": this machine cannot mount it\n";
            continue;
        }
        for (const char* name : {"photo1.jpg", "photo2.jpg"}) {
            if (!scratch.Exists(std::string("mnt/") + name)) {
                scratch.CreateFile(std::string("mnt/") + name, name);
            }
        }
        const auto start = Inventory(point);
        ASSERT_EQ(Cli("run --set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(point)), 0);
        ASSERT_TRUE(scratch.Exists("mnt/new_photo1.jpg"));
        const uint64_t before = DeviceOf(point + "/new_photo1.jpg");

        if (setup.remount) {
            // The same file system back, under another device number.
            ASSERT_TRUE(mounts.Unmount(point));
            std::string loop = mounts.Loop(scratch / "disk.img");
            ASSERT_TRUE(!loop.empty() && mounts.Mount(loop, point));
            if (DeviceOf(point + "/new_photo1.jpg") == before) {
                std::cout << setup.name << ": the device number stayed the same here\n";
            }
        }
        std::string err;
        EXPECT_EQ(Cli("undo", &err), 0) << err;
        EXPECT_EQ(Inventory(point), start) << err;
        std::filesystem::remove_all(History());
    }
}

}  // namespace
}  // namespace quorvan
