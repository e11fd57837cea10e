#include "selection/source_scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>

#include "selection/filter_page.h"
#include "support/held_page.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::TestDir;

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// A list's rows as "pattern" or "pattern+" when ticked.
std::vector<std::string> Rows(const std::vector<ExtensionRow>& list) {
    std::vector<std::string> rows;
    for (const ExtensionRow& row : list) {
        rows.push_back(row.pattern + (row.ticked ? "+" : ""));
    }
    return rows;
}

void MakeLink(const std::string& target, const std::string& link) {
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
}

TEST(ListSourceFolder, ListsFilesOfOneLevelWithTheirPatternsOrSaysWhyNot) {
    TestDir dir;
    dir.CreateFiles(
        {"b.TXT", "A.txt", "x.tar.gz", "README", ".hidden", ".conf.bak", "sub/inner.txt"});
    MakeLink(dir / "sub", dir / "link-to-sub");
    MakeLink(dir / "A.txt", dir / "link-to-file");

    std::vector<SourceFile> files;
    int error = -1;
    ASSERT_TRUE(ListSourceFolder(dir.Path(), files, error));
    EXPECT_EQ(error, 0);
    std::map<std::string, std::string> patterns;
    for (const auto& f : files) {
        patterns[f.path] = f.pattern;
    }
    EXPECT_EQ(files.size(), patterns.size());
    EXPECT_EQ(patterns, (std::map<std::string, std::string>{{dir / ".conf.bak", "*.bak"},
                                                            {dir / ".hidden", "*"},
                                                            {dir / "A.txt", "*.txt"},
                                                            {dir / "README", "*"},
                                                            {dir / "b.TXT", "*.txt"},
                                                            {dir / "link-to-file", "*"},
                                                            {dir / "x.tar.gz", "*.gz"}}));
    // A folder given with its "/" joins its names with exactly one.
    files.clear();
    ASSERT_TRUE(ListSourceFolder(dir.Path() + "/", files, error));
    EXPECT_EQ(files.size(), patterns.size());
    for (const auto& f : files) {
        EXPECT_EQ(patterns.count(f.path), 1u) << f.path;
    }

    // Why a folder cannot be read.
    files.clear();
    EXPECT_FALSE(ListSourceFolder(dir / "missing", files, error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(ListSourceFolder(dir / "README", files, error));
    EXPECT_EQ(error, ENOTDIR);
    EXPECT_FALSE(ListSourceFolder("", files, error));  // not the working directory
    EXPECT_EQ(error, ENOENT);
    EXPECT_TRUE(files.empty());
}

TEST(SourceNames, HoldsAFoldersFilesInByteOrderWithTheirPaths) {
    TestDir dir;
    dir.CreateFiles({"b.TXT", "A.txt", "x.tar.gz", "README", "caf\xe9.txt", "\xff", "sub/in.txt"});
    MakeLink(dir / "sub", dir / "link-to-sub");
    CSourceNames names;
    int error = -1;
    ASSERT_TRUE(names.List(dir.Path() + "/", error));
    EXPECT_EQ(error, 0);
    std::vector<std::string> paths;
    for (size_t row = 0; row < names.Size(); ++row) {
        paths.push_back(names.Path(row));
    }
    // Capitals before small letters, bytes above 0x7f last, one "/" each.
    EXPECT_EQ(paths,
              (std::vector<std::string>{dir / "A.txt", dir / "README", dir / "b.TXT",
                                        dir / "caf\xe9.txt", dir / "x.tar.gz", dir / "\xff"}));
    EXPECT_EQ(names.Name(1), "README");
    EXPECT_EQ(names.Patterns(), (std::vector<std::string>{"*.txt", "*", "*.gz"}));

    // A folder that cannot be read holds nothing, and says why.
    EXPECT_FALSE(names.List(dir / "missing", error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(names.Size(), 0u);
    names.Assign("/f", {"z", "a", "a"});
    EXPECT_EQ(names.Size(), 3u);
    EXPECT_EQ(names.Path(0), "/f/a");
    EXPECT_EQ(names.Path(2), "/f/z");
}

TEST(FillExtensionLists, OneSortedRowPerPatternAndOldRowsGo) {
    CFilterPageValue page;
    page.state.includeList = {{"*.old", true}};
    page.state.excludeList = {{"*.txt", true}};

    TestDir dir;
    dir.CreateFiles({"b.TXT", "A.txt", "x.tar.gz", "README"});
    std::vector<SourceFile> files;
    int error = 0;
    ASSERT_TRUE(ListSourceFolder(dir.Path(), files, error));
    FillExtensionLists(page, files);
    // "*.txt" is still there and stays ticked; "*.old" went with its row.
    EXPECT_EQ(Rows(page.state.includeList), (std::vector<std::string>{"*", "*.gz", "*.txt"}));
    EXPECT_EQ(Rows(page.state.excludeList), (std::vector<std::string>{"*", "*.gz", "*.txt+"}));

    // Patterns equal but for letter case make one row, the first offered.
    FilterPageState state;
    FillExtensionLists(state, {"*.txt", "*.TXT", "*.doc", "*", "*.Doc"});
    EXPECT_EQ(Rows(state.includeList), (std::vector<std::string>{"*", "*.doc", "*.txt"}));

    // A folder without files empties both lists.
    FillExtensionLists(page, std::vector<std::string>{});
    EXPECT_TRUE(page.state.includeList.empty());
    EXPECT_TRUE(page.state.excludeList.empty());
}

// A folder of numbered parts has as many extensions as files: the lists are
// filled in one sort, not one search per row.
TEST(FillExtensionLists, ManyDistinctExtensionsFillQuickly) {
    std::vector<std::string> patterns;
    for (int i = 0; i < 60000; ++i) {
        patterns.push_back("*." + std::to_string(100000 + i));
    }
    std::reverse(patterns.begin(), patterns.end());
    FilterPageState state;
    state.includeList = {{"*.100007", true}};
    FillExtensionLists(state, patterns);
    ASSERT_EQ(state.includeList.size(), patterns.size());
    EXPECT_EQ(state.includeList.front().pattern, "*.100000");
    EXPECT_EQ(state.includeList.back().pattern, "*.159999");
    EXPECT_TRUE(state.includeList[7].ticked);
}

// --- building the file list ---

class FileListTest : public ::testing::Test {
  protected:
    FileListTest() : builder(pages.rules, filter) { filter.SetPage(&filterPage); }

    std::vector<std::string> Plan() {
        std::vector<std::string> sources;
        for (const auto& entry : rules.PlanEntries()) {
            sources.push_back(entry.first);
        }
        return sources;
    }

    // Only files ending in .txt pass.
    void IncludeOnlyTxt() {
        filterPage.state.onExtensions = filterPage.state.includeExtensions = true;
        filterPage.state.includeList = {{"*.txt", true}};
    }

    TestDir dir;
    test::HeldPages pages;
    CRenameRules& rules = pages.rules;
    CFilterPageValue filterPage;
    CFilterSettings filter;
    CFileListBuilder builder;
};

// The window's list, read where it is kept.
class TickedNames final : public ISourceRows {
  public:
    TickedNames(CSourceNames names, std::vector<bool> ticks)
        : names_(std::move(names)), ticks_(std::move(ticks)) {}
    size_t RowCount() const override { return names_.Size(); }
    std::string RowPath(size_t row) const override { return names_.Path(row); }
    bool RowTicked(size_t row) const override { return ticks_[row]; }

  private:
    CSourceNames names_;
    std::vector<bool> ticks_;
};

TEST_F(FileListTest, TickedRowsThatPassMakeThePlanWhereverTheRowsAreKept) {
    dir.CreateFiles({"a.txt", "b.jpg", "c.txt", "d.txt"});
    IncludeOnlyTxt();
    CSourceNames names;
    names.Assign(dir.Path(), {"a.txt", "b.jpg", "c.txt", "d.txt"});
    const TickedNames rows(names, {true, true, false, true});
    FileListRequest request;
    request.sourceFolder = dir.Path();
    request.sourceRows = {{dir / "a.txt", true},
                          {dir / "b.jpg", true},
                          {dir / "c.txt", false},
                          {dir / "d.txt", true}};
    // The same rows as copies and as read from the window's list.
    for (const ISourceRows* read : std::vector<const ISourceRows*>{nullptr, &rows}) {
        request.rows = read;
        EXPECT_TRUE(builder.BuildFileList(request));
        EXPECT_EQ(builder.fileCount, 2);
        EXPECT_EQ(Plan(), (std::vector<std::string>{dir / "a.txt", dir / "d.txt"}));
        EXPECT_EQ(rules.Settings().SourcePath, dir.Path());
    }

    // Nothing ticked: nothing selected. In CD mode each row is a position.
    const TickedNames none(names, {false, false, false, false});
    request.rows = &none;
    EXPECT_FALSE(builder.BuildFileList(request));
    request.renameCdAudio = true;
    request.cdTrackOrder = {"", "", "", dir / "c.txt", dir / "a.txt"};
    EXPECT_TRUE(builder.BuildFileList(request));
    EXPECT_EQ(Plan(), (std::vector<std::string>{dir / "c.txt"}));
}

TEST_F(FileListTest, EachBuildStartsFromAnEmptyPlanAndReadsThePagesAfresh) {
    dir.CreateFiles({"a.txt", "b.jpg"});
    FileListRequest request;
    request.sourceFolder = dir.Path();
    request.sourceRows = {{dir / "a.txt", true}, {dir / "b.jpg", true}};
    EXPECT_TRUE(builder.BuildFileList(request));
    EXPECT_EQ(builder.fileCount, 2);

    // A ticked file the filter rejects still counts as selected.
    IncludeOnlyTxt();
    std::remove((dir / "a.txt").c_str());  // deleted after the scan
    EXPECT_TRUE(builder.BuildFileList(request));
    EXPECT_EQ(builder.fileCount, 0);
    EXPECT_TRUE(Plan().empty());
}

// With no filter on, only whether each ticked file is there decides; what has
// gone since the scan stays out, whatever kind of entry is left at its name.
TEST_F(FileListTest, WithoutFiltersRowsGoneSinceTheScanStayOut) {
    dir.CreateFiles({"kept.txt", "gone.txt", "target.txt", "sub/inner.txt"});
    ASSERT_EQ(symlink("target.txt", (dir / "link.txt").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling.txt").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    FileListRequest request;
    request.sourceFolder = dir.Path();
    for (const char* name : {"dangling.txt", "gone.txt", "kept.txt", "link.txt", "pipe",
                             "sub/inner.txt", "never.txt"}) {
        request.sourceRows.push_back({dir / name, true});
    }
    std::remove((dir / "gone.txt").c_str());
    EXPECT_TRUE(builder.BuildFileList(request));
    EXPECT_EQ(Plan(), (std::vector<std::string>{dir / "kept.txt", dir / "link.txt", dir / "pipe",
                                                dir / "sub/inner.txt"}));

    // The next build lists the folder afresh.
    std::remove((dir / "kept.txt").c_str());
    dir.CreateFile("gone.txt");
    EXPECT_TRUE(builder.BuildFileList(request));
    EXPECT_EQ(Plan(), (std::vector<std::string>{dir / "gone.txt", dir / "link.txt", dir / "pipe",
                                                dir / "sub/inner.txt"}));
}

TEST_F(FileListTest, FolderTreeIgnoresTicksAndReachesEveryDepth) {
    dir.CreateFiles({"top.txt", "top.jpg", "a/one.txt", "a/b/two.txt", "a/b/c/d/three.txt",
                     ".hidden/four.txt", "empty/.keep"});
    pages.extended.state.includeSubfolders = true;
    IncludeOnlyTxt();
    FileListRequest request;
    request.sourceFolder = dir.Path();
    request.sourceRows = {{dir / "top.txt", false}};
    EXPECT_TRUE(builder.BuildFileList(request));
    EXPECT_EQ(builder.fileCount, 5);
    EXPECT_EQ(Plan(), Sorted({dir / ".hidden/four.txt", dir / "a/b/c/d/three.txt",
                              dir / "a/b/two.txt", dir / "a/one.txt", dir / "top.txt"}));

    // A tree whose files all fail the filter selects nothing.
    filterPage.state.includeList.clear();
    EXPECT_FALSE(builder.BuildFileList(request));
    EXPECT_EQ(builder.fileCount, 0);
}

TEST_F(FileListTest, FolderTreeEndsOnLinkLoopsAndFollowsNoFolderLinks) {
    dir.CreateFiles({"root.txt", "sub/inner.txt", "elsewhere/outside.txt"});
    MakeLink(dir.Path(), dir / "sub/loop");   // back to the top
    MakeLink(dir / "sub", dir / "sub/self");  // to its own folder
    MakeLink("..", dir / "sub/up");           // relative, upwards
    MakeLink(dir / "elsewhere", dir / "linked");
    MakeLink(dir / "root.txt", dir / "sub/file-link.txt");  // a link to a file is a file
    pages.extended.state.includeSubfolders = true;

    EXPECT_EQ(builder.CollectFolderTree(dir.Path()), 4);
    EXPECT_EQ(Plan(), Sorted({dir / "elsewhere/outside.txt", dir / "root.txt",
                              dir / "sub/file-link.txt", dir / "sub/inner.txt"}));
}

TEST_F(FileListTest, FolderTreeReportsFoldersItCannotRead) {
    std::vector<std::pair<std::string, int>> reported;
    builder.SetUnreadableFolderHandler(
        [&](const std::string& folder, int error) { reported.emplace_back(folder, error); });
    EXPECT_EQ(builder.CollectFolderTree(dir / "missing"), 0);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], std::make_pair(dir / "missing", ENOENT));

    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    reported.clear();
    dir.CreateFiles({"ok.txt", "locked/secret.txt"});
    dir.SetMode("locked", 0);
    EXPECT_EQ(builder.CollectFolderTree(dir.Path()), 1);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], std::make_pair(dir / "locked", EACCES));
    dir.SetMode("locked", 0700);
}

TEST_F(FileListTest, CdModeFollowsTheTrackOrderAndIgnoresSubfolders) {
    dir.CreateFiles({"01.wav", "02.wav", "03.wav", "sub/04.wav"});
    pages.extended.state.includeSubfolders = true;
    FileListRequest request;
    request.sourceFolder = dir.Path();
    request.renameCdAudio = true;
    request.sourceRows = {{dir / "01.wav", true}, {dir / "02.wav", false}, {dir / "03.wav", true}};
    request.cdTrackOrder = {dir / "03.wav", "", dir / "01.wav"};
    EXPECT_TRUE(builder.BuildFileList(request));
    EXPECT_EQ(builder.fileCount, 2);
    EXPECT_EQ(Plan(), (std::vector<std::string>{dir / "01.wav", dir / "03.wav"}));

    // An empty track order over a listed folder still counts as selected.
    request.cdTrackOrder.clear();
    EXPECT_TRUE(builder.BuildFileList(request));
    EXPECT_EQ(builder.fileCount, 0);
    request.sourceRows.clear();
    EXPECT_FALSE(builder.BuildFileList(request));
}

}  // namespace
}  // namespace quorvan
