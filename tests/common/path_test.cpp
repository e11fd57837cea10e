#include "common/path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/test_dir.h"

namespace quorvan {
namespace {

TEST(FolderOfAndNameOf, TakeAPathApartAsDirnameAndBasenameDo) {
    struct Case {
        std::string path;
        std::string folder;
        std::string name;
    };
    const Case cases[] = {
        {"/home/ann/photo.jpg", "/home/ann", "photo.jpg"},
        {"/x", "/", "x"},
        {"x", "", "x"},
        {"a/b", "a", "b"},
        {"/a/b/", "/a", "b"},
        {"/a//b//", "/a", "b"},
        {"//x", "/", "x"},
        {"x/", "", "x"},
        {"/", "/", ""},
        {"///", "/", ""},
        {"", "", ""},
        {"/a/.hidden", "/a", ".hidden"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(NameOf(c.path), c.name) << c.path;
    }
}

// A folder given relative, through a link or with dots is the folder a shell
// would reach; without a working folder a relative path names no folder at
// all, never one below "/".
TEST(CanonicalPath, ReachesWhatTheShellReachesAndNeverGuessesAWorkingFolder) {
    test::TestDir dir;
    dir.CreateDir("real/deep");
    ASSERT_EQ(symlink((dir / "real/deep").c_str(), (dir / "link").c_str()), 0);
    const std::string real = CanonicalPath(dir.Path());
    const std::string saved = CanonicalPath(".");
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    const struct {
        std::string path;
        std::string canonical;
        std::string absolute;
    } cases[] = {
        {"real", real + "/real", real + "/real"},
        {"./real//deep/", real + "/real/deep", real + "/real/deep"},
        {"link/..", real + "/real", real},  // the link first, as the system takes it
        {"missing/../x", real + "/x", real + "/x"},
        {"", "", real},
        {"/a/./b/../c//", "/a/c", "/a/c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CanonicalPath(c.path), c.canonical) << c.path;
        EXPECT_EQ(MakeAbsolutePath(c.path), c.absolute) << c.path;
    }
    dir.CreateDir("gone");
    ASSERT_EQ(chdir((dir / "gone").c_str()), 0);
    ASSERT_EQ(rmdir((dir / "gone").c_str()), 0);
    EXPECT_EQ(CanonicalPath("tmp"), "tmp");
    EXPECT_EQ(MakeAbsolutePath("a/../tmp"), "a/../tmp");
    EXPECT_EQ(CanonicalPath("/tmp/./"), "/tmp");
    ASSERT_EQ(chdir(saved.c_str()), 0);
}

}  // namespace
}  // namespace quorvan
