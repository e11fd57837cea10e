#include <unistd.h>

#include "ui_fixture.h"

namespace quorvan::test {
namespace {

// The folder display keeps the stored text; the folder is the real one it
// names (relative to the working folder, ".." taken after links as the
// system does; its other spellings are checked through the command line),
// and saving again stores the same text.
TEST(SettingsLoad, TheStoredFolderIsShownAsWrittenAndReadWhereItLeads) {
    TestDir root;
    root.CreateFiles({"real/deep/b/x.txt", "real/deep/a/z.txt", "b/decoy.txt", "w1/y.txt"});
    ASSERT_EQ(symlink((root / "real/deep/a").c_str(), (root / "link").c_str()), 0);
    const std::string real = std::filesystem::canonical(root.Path());
    WorkingFolderScope cwd(root.Path());
    const struct {
        std::string stored;
        std::string folder;  // empty: not checked
        Strings rows;
    } cases[] = {
        {root / "link", "", {real + "/real/deep/a/z.txt"}},
        {"link/../b/", real + "/real/deep/b", {real + "/real/deep/b/x.txt"}},
        {"./w1/", real + "/w1", {real + "/w1/y.txt"}},
        {"C:\\photos", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        root.CreateFile("s.qvr", "SourcePath = " + c.stored + "\r\n");
        WindowFixture f;
        f.Window().LoadSettingsFrom(root / "s.qvr");
        EXPECT_TRUE(f.dialogs.shown.empty());
        EXPECT_EQ(f.Window().FolderText(), c.stored);
        if (!c.folder.empty()) {
            EXPECT_EQ(f.Window().SourceFolder(), c.folder);
        }
        EXPECT_EQ(f.SourceRows(), c.rows);
        f.Window().SaveSettingsTo(root / "again.qvr");
        EXPECT_NE(root.Read("again.qvr").find("SourcePath = " + c.stored + "\r\n"),
                  std::string::npos);
    }
}

// The filter file beside a settings file that cannot be read is still read;
// the folder and its list stay as they were.
TEST(SettingsLoad, TheFilterFileLoadsWhenTheSettingsFileCannot) {
    TestDir dir;
    dir.CreateFiles({"files/a.txt", "other/b.txt"});
    const std::string real = std::filesystem::canonical(dir.Path());
    const std::string filterOn = "HasFilters = Yes\r\nFilterOnAttributes = Yes\r\n";
    dir.CreateFile("first.qvr", "SourcePath = " + (dir / "files") + "\r\n");
    dir.CreateFile("first.qvrfltr", filterOn);
    dir.CreateFile("nofilter.qvrfltr", "HasFilters = No\r\n");
    const struct {
        std::string file;
        bool filterOn;  // afterwards
    } cases[] = {
        {"missing.qvr", true},    // neither file: nothing changes
        {"nofilter.qvr", false},  // only the filter file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        WindowFixture f(dir / "other");
        CMainDlg& w = f.Window();
        w.LoadSettingsFrom(dir / "first.qvr");
        ASSERT_TRUE(w.Filter().Rules().FilterOnAttributes);
        f.ClickRow(0);
        w.LoadSettingsFrom(dir / c.file);
        ASSERT_EQ(f.dialogs.shown.size(), 1u);
        EXPECT_TRUE(f.dialogs.shown[0].text.contains(ToQt(dir / c.file)));
        EXPECT_EQ(w.Filter().Rules().FilterOnAttributes, c.filterOn);
        EXPECT_EQ(w.FolderText(), dir / "files");
        EXPECT_EQ(f.SourceRows(), Strings{real + "/files/a.txt"});
        // Only a filter that changed rescans, leaving the ticks behind.
        EXPECT_EQ(f.Ticks(), std::vector<bool>{c.filterOn});
    }
}

}  // namespace
}  // namespace quorvan::test
