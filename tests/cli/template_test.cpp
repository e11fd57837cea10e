#include <gtest/gtest.h>

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
    std::string Preview(const std::string& sets, int& status, std::string& err) {
        std::string out;
        status = Cli("preview --status" + sets + ShellQuote(dir.Path()), &out, &err);
        std::string shown;
        // Only the names, one per line: "status name -> name".
        size_t at = 0;
        while (at < out.size()) {
            size_t end = out.find('\n', at);
            std::string line = out.substr(at, end - at);
            size_t tab1 = line.find('\t');
            size_t tab2 = line.find('\t', tab1 + 1);
            shown +=
                line.substr(0, tab1) + " " +
                line.substr(tab1 + 2 + dir.Path().size(), tab2 - tab1 - 2 - dir.Path().size()) +
                " -> " + line.substr(tab2 + 2 + dir.Path().size()) + "\n";
            at = end + 1;
        }
        return shown;
    }
    TestDir dir;
};

TEST_F(TemplateCli, NamesComeFromInsideTheFilesThenTheOtherRulesApply) {
    struct {
        std::string sets;
        const char* want;
        int status;
        const char* reason = "notes.txt: no date taken in this file";
    } cases[] = {
        {Set("UseTemplate=Yes") + Set("Template={taken:%Y-%m-%d %H.%M.%S}"),
         "ok DSC_0012.jpg -> 2024-06-01 08.17.42.jpg\n"
         "ok IMG_4821.JPG -> 2024-06-01 08.15.00.JPG\n"
         "invalid notes.txt -> notes.txt\n"
         "invalid track01.mp3 -> track01.mp3\n",
         1},
        {Set("UseTemplate=Yes") + Set("Template={taken|mtime:%Y%m%d} {make|artist}") +
             Set("AddPrefix=Yes") + Set("Prefix=x_"),
         "ok DSC_0012.jpg -> x_20240601 NIKON.jpg\n"
         "ok IMG_4821.JPG -> x_20240601 Canon.JPG\n"
         "invalid notes.txt -> notes.txt\n"
         "ok track01.mp3 -> x_20240601 AC_DC.mp3\n",
         1, "notes.txt: no camera make in this file"},
        {Set("UseTemplate=Yes") + Set("Template={track:2} - {artist} - {title}") +
             Set("FilterOnExtension=Yes") + Set("FilterOnIncludeExtensions=Yes") +
             Set("FilterIncludeExtensions=*.mp3;"),
         "ok track01.mp3 -> 01 - AC_DC - Thunder_struck.mp3\n", 0},
        {Set("UseTemplate=Yes") + Set("Template={taken:%Y}/{taken:%m}/{name}") +
             Set("FilterOnExtension=Yes") + Set("FilterOnIncludeExtensions=Yes") +
             Set("FilterIncludeExtensions=*.jpg;"),
         "ok DSC_0012.jpg -> 2024/06/DSC_0012.jpg\nok IMG_4821.JPG -> 2024/06/IMG_4821.JPG\n", 0},
        // Off, the template changes nothing.
        {Set("UseTemplate=No") + Set("Template={taken}") + Set("FilterOnExtension=Yes") +
             Set("FilterOnIncludeExtensions=Yes") + Set("FilterIncludeExtensions=*.txt;"),
         "unchanged notes.txt -> notes.txt\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sets);
        int status = 0;
        std::string err;
        EXPECT_EQ(Preview(c.sets, status, err), c.want);
        EXPECT_EQ(status, c.status);
        if (c.status == 1) {
            EXPECT_NE(err.find(c.reason), std::string::npos) << err;
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

    // Saved only when set; a run renames what has values and leaves the rest.
    ASSERT_EQ(Cli("preview" + Set("UseTemplate=Yes") + Set("Template={camera} {{{n:2}}}") +
                      "--save-settings " + ShellQuote(dir / "t.qvr") + " " + ShellQuote(dir.Path()),
                  &out, &err),
              1);
    EXPECT_NE(dir.Read("t.qvr").find("\r\nTemplate = {camera} {{{n:2}}}\r\n"), std::string::npos);
    EXPECT_NE(dir.Read("t.qvr").find("\r\nUseTemplate = Yes\r\n"), std::string::npos);
    EXPECT_EQ(Cli("run --settings " + ShellQuote(dir / "t.qvr") + " " + ShellQuote(dir.Path()),
                  &out, &err),
              1);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"EOS R6 {02}.JPG", "Z 6 {01}.jpg", "notes.txt",
                                                    "t.qvr", "t.qvrfltr", "track01.mp3"}));
}

}  // namespace
}  // namespace quorvan
