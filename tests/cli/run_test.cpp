#include <gtest/gtest.h>

#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TestDir;

class CliRun : public ::testing::Test {
  protected:
    // Runs quorvan-cli with its counters in a folder of the test.
    int Cli(const std::string& args, std::string* err = nullptr) {
        std::string command = "QUORVAN_STATE_DIR=" + ShellQuote(state.Path()) + " " +
                              std::string(QUORVAN_CLI_PATH) + " " + args + " 2>" +
                              ShellQuote(state / "stderr") + " </dev/null";
        int status = RunCommand(command);
        if (err) {
            *err = state.Read("stderr");
        }
        return status;
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

TEST_F(CliRun, FailedFilesAreNamedAndTheStatusSaysSo) {
    dir.CreateFile("a.txt", "mine");
    dir.CreateFile("new_a.txt", "someone else's");
    dir.CreateFile("b.txt");
    std::string err;
    EXPECT_EQ(
        Cli("run --set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(dir.Path()) + " a.txt b.txt",
            &err),
        1);
    EXPECT_EQ(dir.Read("new_a.txt"), "someone else's");
    EXPECT_EQ(dir.Read("a.txt"), "mine");
    EXPECT_TRUE(dir.Exists("new_b.txt"));
    EXPECT_NE(err.find("failed to rename " + dir / "a.txt" + " to " + dir / "new_a.txt"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("Rename process complete. 1 file failed."), std::string::npos) << err;
}

TEST_F(CliRun, CopyModeMakesTheDestinationAndLeavesTheOriginals) {
    dir.CreateFile("src/a.txt", "A");
    dir.CreateFile("src/sub/b.txt", "B");
    std::string err;
    ASSERT_EQ(Cli("run --set RenameInPlace=No --set RenameDestFolder=" +
                      ShellQuote(dir / "out/deeper") + " --set IncludeSubFolders=Yes " +
                      "--set ChangeExtension=Yes --set ChangeExtensionString=bak " +
                      ShellQuote(dir / "src"),
                  &err),
              0)
        << err;
    EXPECT_EQ(dir.Read("out/deeper/a.bak"), "A");
    EXPECT_EQ(dir.Read("out/deeper/sub/b.bak"), "B");
    EXPECT_EQ(dir.Read("src/a.txt"), "A");
    EXPECT_EQ(dir.Read("src/sub/b.txt"), "B");
}

TEST_F(CliRun, NothingToDoAndUnreadableSettingsTouchNothing) {
    std::string err;
    EXPECT_EQ(Cli("run " + ShellQuote(dir.Path()), &err), 3);
    EXPECT_NE(err.find("There are no files to process."), std::string::npos);

    dir.CreateFile("x.txt");
    EXPECT_EQ(Cli("run --settings " + ShellQuote(dir / "none.qvr") + " --set AddPrefix=Yes " +
                      "--set Prefix=p " + ShellQuote(dir.Path()),
                  &err),
              2);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"x.txt"}));

    // Filtered out entirely.
    EXPECT_EQ(Cli("run --set FilterOnExtension=Yes --set FilterOnIncludeExtensions=Yes "
                  "--set 'FilterIncludeExtensions=*.jpg;' --set AddPrefix=Yes --set Prefix=p " +
                      ShellQuote(dir.Path()),
                  &err),
              3);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"x.txt"}));
}

TEST_F(CliRun, LogAndUndoFilesAreWrittenBesideTheFiles) {
    dir.CreateFiles({"1.txt", "2.txt"});
    ASSERT_EQ(Cli("run --set TextSeqModifications=Seq --set NumericAlphaSequence=Num "
                  "--set StartWith=0 --set DigitCount=1 --set SequencePlacement=Replace "
                  "--set LogFile=Yes --set UndoBatchFile=Yes " +
                  ShellQuote(dir.Path()) + " 1.txt 2.txt"),
              0);
    EXPECT_EQ(dir.List(),
              (std::vector<std::string>{"0.txt", "1.txt", "Quorvan.log", "QuorvanUndo.sh"}));
    ASSERT_EQ(RunCommand("dash " + ShellQuote(dir / "QuorvanUndo.sh")), 0);
    EXPECT_EQ(dir.List(),
              (std::vector<std::string>{"1.txt", "2.txt", "Quorvan.log", "QuorvanUndo.sh"}));
}

}  // namespace
}  // namespace quorvan
