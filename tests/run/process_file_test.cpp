#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "common/path.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "run/run_log.h"
#include "run/run_worker.h"
#include "run/undo_script.h"
#include "run_test_support.h"

namespace quorvan::test {
namespace {

// A source folder with open log and undo files, for single-file work.
struct Work {
    TestDir dir;
    CRunLog log;
    CUndoScript undo;
    FileWorkRules rules;
    std::set<std::string> planSources;

    Work() {
        rules.renameInPlace = true;
        EXPECT_TRUE(log.Create(dir.Path(), ExampleTime()));
        EXPECT_TRUE(undo.Create(dir.Path(), ExampleTime()));
    }
    FileOutcome Process(const std::string& a, const std::string& b) {
        return ProcessFile(
            a, b, rules, [this](const std::string& p) { return planSources.count(p) > 0; }, &log,
            &undo);
    }
    // The log lines after its four header lines.
    std::vector<std::string> LogBody() {
        log.Close();
        std::vector<std::string> lines = Lines(dir.Read(CRunLog::kFileName));
        return std::vector<std::string>(lines.begin() + 4, lines.end());
    }
    // The undo entries after the header, which ends with "exit".
    std::vector<std::string> UndoBody() {
        undo.Finish();
        std::vector<std::string> lines = Lines(dir.Read(CUndoScript::kFileName));
        auto exit = std::find(lines.begin(), lines.end(), "exit");
        return std::vector<std::string>(exit == lines.end() ? exit : exit + 1, lines.end());
    }
    int RunUndo(std::string* output = nullptr) {
        undo.Finish();
        return RunUndoScript(dir.Path(), output);
    }
};

TEST(ProcessFile, InPlaceNeverReplacesAnExistingTarget) {
    Work work;
    work.rules.modifyAttributes = true;
    work.rules.readOnly = true;
    std::string a = work.dir.CreateFile("a.txt", "new");
    std::string b = work.dir.CreateFile("b.txt", "keep");
    uint32_t mode = ModeOf(b);

    FileOutcome outcome = work.Process(a, b);
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.failure, "failed to rename " + a + " to " + b + ": File exists");
    EXPECT_EQ(work.dir.Read("b.txt"), "keep");
    EXPECT_EQ(work.dir.Read("a.txt"), "new");
    EXPECT_EQ(ModeOf(b), mode);  // the other steps are skipped
    EXPECT_EQ(work.LogBody(), std::vector<std::string>{outcome.failure});
    // The entry written before the move is passed over: undo touches nothing.
    std::string output;
    EXPECT_EQ(work.RunUndo(&output), 0);
    EXPECT_EQ(output, "");
    EXPECT_EQ(work.dir.Read("b.txt"), "keep");
    EXPECT_EQ(work.dir.Read("a.txt"), "new");
}

// A target equal to its source leaves the file alone; one in another letter
// case only is a rename.
TEST(ProcessFile, SameNameIsLeftAloneAndCaseOnlyRenameIsARename) {
    Work work;
    std::string same = work.dir.CreateFile("same.txt", "x");
    EXPECT_FALSE(work.Process(same, same).failed);
    std::string a = work.dir.CreateFile("a.TXT", "x");
    std::string b = work.dir / "a.txt";
    EXPECT_FALSE(work.Process(a, b).failed);
    EXPECT_EQ(work.dir.List(), (std::vector<std::string>{CRunLog::kFileName, CUndoScript::kFileName,
                                                         "a.txt", "same.txt"}));
    EXPECT_EQ(work.LogBody(), std::vector<std::string>{"renamed " + a + " to " + b});
    EXPECT_EQ(work.UndoBody(),
              (std::vector<std::string>{"", "# File: " + same, "", "# File: " + b + " to " + a,
                                        "m '" + b + "' '" + a + "'"}));
    std::string output;
    EXPECT_EQ(work.RunUndo(&output), 0) << output;
    EXPECT_TRUE(work.dir.Exists("a.TXT"));
    EXPECT_FALSE(work.dir.Exists("a.txt"));
}

TEST(ProcessFile, CopyOverwritesOnlyPlainTargets) {
    Work work;
    work.rules.renameInPlace = false;
    std::string one = work.dir.CreateFile("1.txt", "one");
    std::string two = work.dir.CreateFile("2.txt", "two");
    std::string old = work.dir.CreateFile("out/0.txt", "old");
    work.planSources = {one, two};

    // A plain file in the way is replaced.
    EXPECT_FALSE(work.Process(one, old).failed);
    EXPECT_EQ(work.dir.Read("out/0.txt"), "one");
    // A missing folder is made.
    EXPECT_FALSE(work.Process(one, work.dir / "new/deep/1.txt").failed);
    EXPECT_EQ(work.dir.Read("new/deep/1.txt"), "one");
    // Never onto a file the plan reads (the copy itself refuses the file
    // under any of its names).
    FileOutcome source = work.Process(two, one);
    EXPECT_TRUE(source.failed);
    EXPECT_EQ(source.failure, "failed to copy " + two + " to " + one + ": File exists");
    EXPECT_EQ(work.dir.Read("1.txt"), "one");
    EXPECT_EQ(work.dir.Read("2.txt"), "two");

    std::vector<std::string> undo = work.UndoBody();
    EXPECT_EQ(undo,
              (std::vector<std::string>{"", "# File: " + old + " to " + one, "d '" + old + "'", "",
                                        "# File: " + work.dir / "new/deep/1.txt" + " to " + one,
                                        "d '" + work.dir / "new/deep/1.txt" + "'"}));
    EXPECT_EQ(work.RunUndo(), 0);
    EXPECT_FALSE(work.dir.Exists("out/0.txt"));
    EXPECT_FALSE(work.dir.Exists("new/deep/1.txt"));
    EXPECT_EQ(work.dir.Read("1.txt"), "one");
}

bool HasDosAttrib(const std::string& path) {
    return RunCommand("getfattr --only-values -n user.DOSATTRIB -- " + ShellQuote(path) +
                      " >/dev/null 2>&1") == 0;
}

TEST(ProcessFile, AttributesAreUndone) {
    Work work;
    work.rules.modifyAttributes = true;
    // Read-only and archive before; the rule clears all four.
    std::string a = work.dir.CreateFile("a.txt", "x");
    AttributeChange ignored;
    int error = 0;
    if (!SetAttributes(a, kAttrReadOnly | kAttrArchive, ignored, error)) {
        GTEST_SKIP() << "no user extended attributes here: " << ErrorText(error);
    }
    const uint32_t modeBefore = ModeOf(a);
    // Plain before; the rule sets read-only and hidden.
    std::string c = work.dir.CreateFile("c.txt", "y");
    const uint32_t plainMode = ModeOf(c);
    std::string b = work.dir / "b.txt";

    EXPECT_FALSE(work.Process(a, b).failed);
    FileStatus status;
    ASSERT_TRUE(GetFileStatus(b, status));
    EXPECT_EQ(status.attributes & 0x27, 0);
    work.rules.readOnly = true;
    work.rules.hidden = true;
    EXPECT_FALSE(work.Process(c, c).failed);
    ASSERT_TRUE(GetFileStatus(c, status));
    EXPECT_EQ(status.attributes & 0x27, kAttrReadOnly | kAttrHidden);
    EXPECT_EQ(work.LogBody(),
              (std::vector<std::string>{
                  "renamed " + a + " to " + b,
                  "New attributes:  archive: N readonly: N system: N hidden: N on file " + b,
                  "New attributes:  archive: N readonly: Y system: N hidden: Y on file " + c}));

    std::string output;
    EXPECT_EQ(work.RunUndo(&output), 0) << output;
    ASSERT_TRUE(GetFileStatus(a, status));
    EXPECT_EQ(status.attributes & 0x27, kAttrReadOnly | kAttrArchive);
    EXPECT_EQ(ModeOf(a), modeBefore);
    ASSERT_TRUE(GetFileStatus(c, status));
    EXPECT_EQ(status.attributes & 0x27, 0);
    EXPECT_EQ(ModeOf(c), plainMode);
    EXPECT_FALSE(HasDosAttrib(c));
}

// Without setfattr the script says so for each file and still puts the
// permission bits back.
TEST(ProcessFile, AttributesWithoutSetfattrAreNamedNotFailed) {
    Work work;
    work.rules.modifyAttributes = true;
    work.rules.readOnly = true;
    work.rules.system = true;
    std::string a = work.dir.CreateFile("a.txt", "x");
    const uint32_t modeBefore = ModeOf(a);
    EXPECT_FALSE(work.Process(a, a).failed);
    EXPECT_NE(ModeOf(a), modeBefore);

    // A PATH with every tool of the script but setfattr.
    TestDir bin;
    for (const char* tool : {"sed", "awk", "tail", "wc", "mv", "rm", "chmod"}) {
        std::string found;
        ASSERT_EQ(RunCommand(std::string("command -v ") + tool, &found), 0) << tool;
        found.erase(found.find_last_not_of('\n') + 1);
        ASSERT_EQ(symlink(found.c_str(), (bin / tool).c_str()), 0);
    }
    work.undo.Finish();
    std::string output;
    EXPECT_EQ(RunCommand("PATH=" + ShellQuote(bin.Path()) + " /bin/dash " +
                             ShellQuote(work.dir / CUndoScript::kFileName),
                         &output, true),
              0);
    EXPECT_EQ(output, "attributes not restored, setfattr is missing: " + a + "\n");
    EXPECT_EQ(ModeOf(a), modeBefore);
}

// The modification time takes the rule's date with its time of day; the
// other times keep their whole seconds, and what was not chosen logs nothing.
TEST(ProcessFile, TimesTakeTheRuleDateAndKeepTheOthers) {
    for (bool chosen : {true, false}) {
        SCOPED_TRACE(chosen ? "creation and modification chosen" : "none chosen");
        Work work;
        work.rules.modifyTimes = true;
        work.rules.setCreation = chosen;
        work.rules.setModified = chosen;
        work.rules.modifiedDate = {2001, 2, 3, 17, 0, 0};
        work.rules.modifiedTime = {1999, 1, 1, 4, 5, 6};
        std::string a = work.dir.CreateFile("a.txt");
        // Fractions of a second, which are dropped.
        timespec times[2] = {{1000000000, 700000000}, {1100000000, 900}};
        ASSERT_EQ(utimensat(AT_FDCWD, a.c_str(), times, 0), 0);

        FileOutcome outcome = work.Process(a, a);
        // Linux cannot set a creation time: the log says so, not claiming it,
        // but the file is not failed for it; the others are still set.
        EXPECT_FALSE(outcome.failed);
        EXPECT_EQ(outcome.failure, "");
        struct stat st {};
        ASSERT_EQ(stat(a.c_str(), &st), 0);
        EXPECT_EQ(st.st_mtim.tv_sec, chosen ? LocalToSeconds({2001, 2, 3, 4, 5, 6}) : 1100000000);
        EXPECT_EQ(st.st_mtim.tv_nsec, 0);
        EXPECT_EQ(st.st_atim.tv_sec, 1000000000);
        EXPECT_EQ(st.st_atim.tv_nsec, 0);
        const std::vector<std::string> logged = {
            "failed to set creation time on " + a + ": not supported on this system",
            "Setting modify time to: 02/03/01 04:05:06  "};
        EXPECT_EQ(work.LogBody(), chosen ? logged : std::vector<std::string>{});
    }
}

TEST(ProcessFile, ALinkIsRenamedButNothingActsThroughIt) {
    TestDir outside;
    const std::string victim = outside.CreateFile("victim", "outside");
    ASSERT_EQ(chmod(victim.c_str(), 0644), 0);
    outside.SetTimes("victim", 1200000000, 1300000000);
    Work work;
    work.rules.modifyAttributes = true;
    work.rules.readOnly = true;
    work.rules.modifyTimes = true;
    work.rules.setModified = true;
    work.rules.modifiedDate = {2001, 2, 3, 0, 0, 0};
    work.rules.modifiedTime = {1999, 1, 1, 4, 5, 6};
    const std::string a = work.dir / "link";
    ASSERT_EQ(symlink(victim.c_str(), a.c_str()), 0);
    const std::string b = work.dir / "new_link";

    FileOutcome outcome = work.Process(a, b);
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.failure, "failed to set attributes on " + b + ": Is a symbolic link");
    // The link itself was renamed and got the new time.
    struct stat st {};
    ASSERT_EQ(lstat(b.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(st.st_mtim.tv_sec, LocalToSeconds({2001, 2, 3, 4, 5, 6}));
    // The file it points at is as it was.
    EXPECT_EQ(ModeOf(victim), 0644u);
    ASSERT_EQ(stat(victim.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1300000000);
    EXPECT_EQ(st.st_atim.tv_sec, 1200000000);
    EXPECT_EQ(outside.Read("victim"), "outside");
    EXPECT_EQ(work.LogBody(),
              (std::vector<std::string>{"renamed " + a + " to " + b,
                                        "failed to set attributes on " + b + ": Is a symbolic link",
                                        "Setting modify time to: 02/03/01 04:05:06  "}));
    // The undo puts the name back and touches no attribute.
    std::string output;
    EXPECT_EQ(work.RunUndo(&output), 0) << output;
    ASSERT_EQ(lstat(a.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ModeOf(victim), 0644u);
}

// A cycle's member waits beside its own name, a file right below the root
// too: a temporary name in the working folder would carry it elsewhere.
TEST(MoveToTemporary, TheTemporaryNameIsInTheFilesOwnFolder) {
    TestDir dir;
    dir.CreateFile("a.txt", "a");
    for (const std::string& path : {dir / "a.txt", std::string("/quorvan-no-such-file")}) {
        std::string temporary;
        int error = 0;
        MoveToTemporary(path, dir / "b.txt", "t", nullptr, nullptr, nullptr, {}, temporary, error);
        EXPECT_EQ(FolderOf(temporary), FolderOf(path)) << temporary;
    }
    EXPECT_FALSE(dir.Exists("a.txt"));  // it waits at its temporary name
}

}  // namespace
}  // namespace quorvan::test
