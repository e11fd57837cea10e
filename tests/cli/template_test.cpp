#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "support/file_text.h"
#include "support/media_files.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::Cli;
using test::RunCommand;
using test::ShellQuote;
using test::TestDir;

std::string Set(const std::string& line) {
    return " --set " + ShellQuote(line) + " ";
}

// The photos, into folders of their year and month.
const std::string kPhotosByMonth =
    Set("UseTemplate=Yes") + Set("Template={taken:%Y}/{taken:%m}/{name}") +
    Set("FilterOnExtension=Yes") + Set("FilterOnIncludeExtensions=Yes") +
    Set("FilterIncludeExtensions=*.jpg;");

// A folder with two cameras' photos, a song and a file without metadata.
class TemplateCli : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteJpeg(dir / "IMG_4821.JPG",
                        {"2024:06:01 08:15:00", "", "Canon", "EOS R6", "", 0});
        test::WriteJpeg(dir / "DSC_0012.jpg", {"2024:06:01 08:17:42", "", "NIKON", "Z 6", "", 0});
        test::WriteSong(dir / "track01.mp3", test::SongKind::Id3v24,
                        {"AC/DC", "", "Live", "Thunder\nstruck", "", "1/12", "", 1992});
        dir.CreateFile("notes.txt", "no metadata");
        dir.SetTimes("notes.txt", 1717229700, 1717229700);  // 2024-06-01 10:15 in Berlin
        dir.SetTimes("track01.mp3", 1717229700, 1717229700);
    }
    // The preview's lines with the folder's path taken out.
    std::string Preview(const std::string& sets, int& status, std::string& err) {
        std::string out;
        status = Cli("preview --status" + sets + ShellQuote(dir.Path()), &out, &err);
        const std::string folder = dir.Path() + "/";
        for (size_t at; (at = out.find(folder)) != std::string::npos;) {
            out.erase(at, folder.size());
        }
        return out;
    }
    TestDir dir;
};

// The tokens are checked one by one in the rules tests; here they read the
// photos and the song themselves.
TEST_F(TemplateCli, NamesComeFromInsideTheFilesThenTheOtherRulesApply) {
    struct {
        std::string sets;
        const char* want;
        int status;
    } cases[] = {
        {Set("UseTemplate=Yes") + Set("Template={taken|mtime:%Y%m%d} {make|artist}") +
             Set("AddPrefix=Yes") + Set("Prefix=x_"),
         "ok\tDSC_0012.jpg\tx_20240601 NIKON.jpg\n"
         "ok\tIMG_4821.JPG\tx_20240601 Canon.JPG\n"
         "invalid\tnotes.txt\tnotes.txt\n"
         "ok\ttrack01.mp3\tx_20240601 AC_DC.mp3\n",
         1},
        {Set("UseTemplate=Yes") + Set("Template={track:2} - {artist} - {title}") +
             Set("FilterOnExtension=Yes") + Set("FilterOnIncludeExtensions=Yes") +
             Set("FilterIncludeExtensions=*.mp3;"),
         "ok\ttrack01.mp3\t01 - AC_DC - Thunder_struck.mp3\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sets);
        int status = 0;
        std::string err;
        EXPECT_EQ(Preview(c.sets, status, err), c.want);
        EXPECT_EQ(status, c.status);
        if (c.status == 1) {
            EXPECT_NE(err.find("notes.txt: no camera make in this file"), std::string::npos) << err;
        }
    }
}

TEST_F(TemplateCli, ABadTemplateEndsAtOnceAndAGoodOneIsSavedAndRun) {
    std::string out, err;
    EXPECT_EQ(Cli("run" + Set("UseTemplate=Yes") + Set("Template={taken:%Y} {camra}") +
                      ShellQuote(dir.Path()),
                  &out, &err),
              2);
    EXPECT_EQ(err, "quorvan-cli: Name from template: Unknown token {camra} (at character 13)\n");
    EXPECT_TRUE(dir.Exists("IMG_4821.JPG"));

    // Saved and loaded again, a run renames what has values and leaves the rest.
    ASSERT_EQ(Cli("preview" + Set("UseTemplate=Yes") + Set("Template={camera} {{{n:2}}}") +
                      "--save-settings " + ShellQuote(dir / "t.qvr") + " " + ShellQuote(dir.Path()),
                  &out, &err),
              1);
    EXPECT_EQ(Cli("run --settings " + ShellQuote(dir / "t.qvr") + " " + ShellQuote(dir.Path()),
                  &out, &err),
              1);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"EOS R6 {02}.JPG", "Z 6 {01}.jpg", "notes.txt",
                                                    "t.qvr", "t.qvrfltr", "track01.mp3"}));
}

// Every file with its content and every folder ("NAME/") below `folder`,
// without the run's log and undo script: what must be as before after an undo.
std::map<std::string, std::string> Tree(const std::string& folder, const std::string& at = "") {
    std::map<std::string, std::string> tree;
    for (const std::string& name : test::ListNames(at.empty() ? folder : folder + "/" + at)) {
        const std::string relative = at.empty() ? name : at + "/" + name;
        struct stat st {};
        lstat((folder + "/" + relative).c_str(), &st);
        if (S_ISDIR(st.st_mode)) {
            tree[relative + "/"] = "";
            tree.merge(Tree(folder, relative));
        } else if (name != "Quorvan.log" && name != "QuorvanUndo.sh") {
            tree[relative] = test::FileText(folder + "/" + relative);
        }
    }
    return tree;
}

// The folders a template makes are journaled and removed again by the undo
// (or the undo script), in place and in copy mode: the folder is as before.
TEST_F(TemplateCli, FoldersFromTheTemplateGoAgainWithTheUndo) {
    TestDir state;
    const std::string env = "QUORVAN_STATE_DIR=" + ShellQuote(state / "state") +
                            " HOME=" + ShellQuote(state.Path()) +
                            " XDG_DATA_HOME=" + ShellQuote(state / "data");
    const std::string sets = kPhotosByMonth + Set("UndoBatchFile=Yes");
    dir.CreateDir("out");
    const auto before = Tree(dir.Path());
    struct {
        std::string mode;
        const char* made;  // where the photos go
        const char* undo;  // "script" or the command line
    } cases[] = {
        {Set("RenameInPlace=Yes"), "2024/06/", "cli"},
        {Set("RenameInPlace=Yes"), "2024/06/", "script"},
        {Set("RenameInPlace=No") + Set("RenameDestFolder=" + dir / "out"), "out/2024/06/", "cli"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode + c.undo);
        std::string out, err;
        ASSERT_EQ(Cli("run" + sets + c.mode + ShellQuote(dir.Path()), &out, &err, env), 0) << err;
        EXPECT_EQ(dir.Read(std::string(c.made) + "IMG_4821.JPG"), before.at("IMG_4821.JPG"));
        EXPECT_TRUE(dir.Exists(std::string(c.made) + "DSC_0012.jpg"));
        if (std::string(c.undo) == "script") {
            EXPECT_EQ(RunCommand("dash " + ShellQuote(dir / "QuorvanUndo.sh")), 0);
        } else {
            EXPECT_EQ(Cli("undo", &out, &err, env), 0) << err;
        }
        EXPECT_EQ(Tree(dir.Path()), before);
    }
}

// A folder the run made that holds a file of someone else's stays, and the
// undo says so. (A file where a folder is to be made is found by the plan
// check.)
TEST_F(TemplateCli, AFolderThatIsNotEmptyStaysAndTheUndoSaysWhy) {
    TestDir state;
    const std::string env = "QUORVAN_STATE_DIR=" + ShellQuote(state / "state");
    std::string out, err;
    ASSERT_EQ(Cli("run" + kPhotosByMonth + ShellQuote(dir.Path()), &out, &err, env), 0) << err;
    dir.CreateFile("2024/06/mine.txt", "mine");
    EXPECT_EQ(Cli("undo", &out, &err, env), 1);
    EXPECT_NE(err.find("skipped: remove the folder " + dir / "2024/06" +
                       " that the run made: it still holds mine.txt, so it stays"),
              std::string::npos)
        << err;
    EXPECT_TRUE(dir.Exists("IMG_4821.JPG"));
    EXPECT_EQ(dir.Read("2024/06/mine.txt"), "mine");
}

}  // namespace
}  // namespace quorvan
