#include "platform/make_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "support/test_dir.h"

namespace quorvan::test {
namespace {

// Folders are made level by level below the base; whatever stands in the way
// fails the call and is never followed or replaced.
TEST(MakeFolders, MakesWhatIsMissingAndNeverGoesThroughWhatIsInTheWay) {
    struct Row {
        const char* what;
        std::vector<std::string> files;  // "NAME/" makes a folder
        const char* link;                // a symbolic link to "elsewhere" at this name
        const char* folder;
        int error;
        const char* blocker;
        const char* made;  // the folders made, in order
    };
    const Row rows[] = {
        {"all new", {}, "", "a/b/c", 0, "", "a a/b a/b/c"},
        {"a folder there is used", {"a/b/"}, "", "a/b/c", 0, "", "a/b/c"},
        {"the base itself", {}, "", "", 0, "", ""},
        {"a file in the way", {"a/b"}, "", "a/b/c", kErrorNotAFolder, "a/b", ""},
        {"a link in the way", {}, "a", "a/b", kErrorSymbolicLink, "a", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TestDir dir;
        dir.CreateDir("base");
        dir.CreateDir("elsewhere");
        for (const std::string& file : row.files) {
            if (file.back() == '/') {
                dir.CreateDir("base/" + file);
            } else {
                dir.CreateFile("base/" + file);
            }
        }
        if (*row.link != '\0') {
            ASSERT_EQ(symlink((dir / "elsewhere").c_str(),
                              (dir / (std::string("base/") + row.link)).c_str()),
                      0);
        }
        const std::string base = dir / "base";
        std::string made;
        int error = 0;
        std::string blocker;
        const std::string folder = *row.folder != '\0' ? base + "/" + row.folder : base;
        const bool ok = MakeFoldersBelow(base, folder, error, blocker, [&](const std::string& f) {
            made += (made.empty() ? "" : " ") + f.substr(base.size() + 1);
            return 0;
        });
        EXPECT_EQ(ok, row.error == 0);
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(blocker, *row.blocker != '\0' ? base + "/" + row.blocker : "");
        EXPECT_EQ(made, row.made);
        EXPECT_TRUE(!ok || dir.Exists("base/" + std::string(row.folder)));
        EXPECT_EQ(ListNames(dir / "elsewhere"), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace quorvan::test
