// The window opened on what a file manager hands over: one folder as ever,
// or chosen files, ticked where they lie.

#include "ui_fixture.h"

namespace quorvan::test {
namespace {

bool SubfoldersOn(CMainDlg& w) {
    return IsChecked(w.ExtendedPage(), "includeSubfoldersCheckBox");
}

TEST(StartOnPaths, OpensTheFolderWithExactlyTheGivenFilesTicked) {
    struct Case {
        const char* name;
        Strings given;       // below the scratch folder; "?" names nothing
        std::string folder;  // shown, below the scratch folder
        const char* rows;    // the source list, "*" for a ticked row
        bool subfolders;
        size_t messages;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"three of a folder's files", {"d/a", "d/b", "d/c"}, "d", "*d/a *d/b *d/c d/e d/f", false, 0},
        {"one file", {"d/e"}, "d", "d/a d/b d/c *d/e d/f", false, 0},
        {"other spellings, and a repeat", {"d/./b", "d//b", "x/../d/f"}, "d",
         "d/a *d/b d/c d/e *d/f", false, 0},
        {"one folder, as ever", {"d"}, "d", "d/a d/b d/c d/e d/f", false, 0},
        {"a folder among files stands for its files", {"d", "t/u/1"}, "",
         "*d/a *d/b *d/c *d/e *d/f *t/u/1", true, 0},
        {"files in two folders below one", {"t/u/1", "t/v/w/2"}, "t", "*t/u/1 *t/v/w/2", true, 0},
        {"a missing path among others", {"d/a", "?", "d/c"}, "d", "*d/a d/b *d/c d/e d/f", false, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        dir.CreateFiles({"d/a", "d/b", "d/c", "d/e", "d/f", "d/sub/g", "t/u/1", "t/u/other",
                         "t/v/w/2", "t/top"});
        dir.CreateDir("x");
        auto under = [&dir](const std::string& relative) {
            return relative.empty() ? dir.Path() : dir / relative;
        };
        Strings given;
        for (const std::string& path : c.given) {
            given.push_back(path == "?" ? dir / "gone/nothing.txt" : under(path));
        }
        WindowFixture f(StartPaths{given});
        CMainDlg& w = f.Window();

        EXPECT_EQ(w.SourceFolder(), under(c.folder));
        Strings rows;
        std::vector<bool> ticks;
        for (const QString& row : QString(c.rows).split(' ')) {
            ticks.push_back(row.startsWith('*'));
            rows.push_back(dir / row.mid(ticks.back() ? 1 : 0).toStdString());
        }
        EXPECT_EQ(f.SourceRows(), rows);
        EXPECT_EQ(f.Ticks(), ticks);
        EXPECT_EQ(SubfoldersOn(w), c.subfolders);
        // The tree mode locks the list as a click on its box does.
        EXPECT_EQ(w.SourceView()->isEnabled(), !c.subfolders);
        ASSERT_EQ(f.dialogs.shown.size(), c.messages);
        if (c.messages > 0) {
            EXPECT_EQ(f.dialogs.shown[0].caption, "Issue...");
            EXPECT_NE(f.dialogs.shown[0].text.indexOf(ToQt(given[1])), -1)
                << f.dialogs.shown[0].text.toStdString();
        }
    }
}

TEST(StartOnPaths, NothingFoundOpensNoFolderAndSaysSoOnce) {
    WindowFixture f(StartPaths{{"/no/such/a", "/no/such/b"}});
    EXPECT_EQ(f.Window().SourceFolder(), "");
    EXPECT_TRUE(f.SourceRows().empty());
    EXPECT_EQ(
        f.dialogs.Texts(),
        Strings{"These files or folders do not exist and were left out:\n/no/such/a\n/no/such/b"});
}

TEST(StartOnPaths, FilesOfSeveralFoldersAreAllTheRunTakesAndRefreshKeepsToThem) {
    TestDir dir;
    dir.CreateFiles({"u/1.txt", "u/other.txt", "v/2.txt", "top.txt"});
    WindowFixture f(StartPaths{{dir / "u/1.txt", dir / "v/2.txt"}});
    UsePrefix(f.Window(), "new_");

    f.Click(kPreview);
    EXPECT_EQ(f.PreviewRows(), (Strings{dir / "u/new_1.txt", dir / "v/new_2.txt"}));
    f.Click(kStart);
    EXPECT_EQ(dir.List("u"), (Strings{"new_1.txt", "other.txt"}));
    EXPECT_EQ(dir.List("v"), Strings{"new_2.txt"});
    EXPECT_TRUE(dir.Exists("top.txt"));

    // The chosen files are gone under their old names; the rest of the tree
    // never joins in, on a second Start neither.
    EXPECT_TRUE(f.SourceRows().empty());
    f.Click(kRefresh);
    EXPECT_TRUE(f.SourceRows().empty());
    f.Click(kStart);
    EXPECT_EQ(dir.List("u"), (Strings{"new_1.txt", "other.txt"}));
    EXPECT_TRUE(dir.Exists("top.txt"));
}

}  // namespace
}  // namespace quorvan::test
