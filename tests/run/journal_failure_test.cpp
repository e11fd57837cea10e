// A run whose journal fills its disk: it stops before any move the journal
// does not know of, says why on standard error and in the history, and
// undoes to its start once there is room again.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::RunCommand;
using test::ScratchMount;
using test::ShellQuote;
using test::TestDir;

TEST(JournalFailure, AFullJournalDiskStopsTheRunWithItsReasonAndLosesNoUndo) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "a small file system for the state folder needs root";
    }
    TestDir files;
    TestDir state;
    const std::string stateDir = state.CreateDir("state");
    ScratchMount mount(stateDir);
    ASSERT_TRUE(mount.Mount("-t tmpfs -o size=1200k tmpfs"));
    ASSERT_EQ(RunCommand("cd " + ShellQuote(files.Path()) +
                         " && seq -f 'f%05g.dat' 1 9000 | xargs touch"),
              0);
    const auto start = files.Inventory();
    auto cli = [&](const std::string& args, std::string* out = nullptr) {
        return RunCommand("QUORVAN_STATE_DIR=" + ShellQuote(stateDir) +
                              " XDG_DATA_HOME=" + ShellQuote(state / "data") + " " +
                              QUORVAN_CLI_PATH + " " + args + " 2>&1 </dev/null",
                          out);
    };
    std::string out;
    EXPECT_EQ(cli("run --set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(files.Path()), &out),
              1);
    const std::string reason = "The run journal could not be written: No space left on device";
    EXPECT_NE(out.find(reason), std::string::npos) << out;
    EXPECT_NE(files.Inventory(), start) << "the run did some of its work";

    ASSERT_EQ(cli("history", &out), 0);
    EXPECT_NE(out.find("\tinterrupted (" + reason + ")\t"), std::string::npos) << out;

    // Every file moved has its record: with room again, undo restores all.
    ASSERT_EQ(RunCommand("mount -o remount,size=64m " + ShellQuote(stateDir)), 0);
    EXPECT_EQ(cli("undo", &out), 0) << out;
    EXPECT_EQ(files.Inventory(), start);
}

// A FIFO where the run writes its log or undo script never holds the run:
// it ends at once, the FIFO stays and no file is renamed.
TEST(RunFiles, AFifoInPlaceOfTheLogOrUndoScriptNeverHangsTheRun) {
    for (const char* name : {"Quorvan.log", "QuorvanUndo.sh"}) {
        SCOPED_TRACE(name);
        TestDir files;
        TestDir state;
        files.CreateFile("a.txt", "A");
        ASSERT_EQ(mkfifo((files / name).c_str(), 0644), 0);
        const int status =
            RunCommand("QUORVAN_STATE_DIR=" + ShellQuote(state / "state") + " timeout 20 " +
                       QUORVAN_CLI_PATH + " run --set LogFile=Yes --set UndoBatchFile=Yes " +
                       "--set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(files.Path()) +
                       " >/dev/null 2>&1 </dev/null");
        EXPECT_NE(status, 124) << "the run hung";
        EXPECT_EQ(status, 1);
        struct stat st {};
        ASSERT_EQ(lstat((files / name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
        EXPECT_EQ(files.Read("a.txt"), "A");
    }
}

}  // namespace
}  // namespace quorvan
