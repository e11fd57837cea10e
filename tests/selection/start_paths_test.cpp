#include "selection/start_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_dir.h"

namespace quorvan {
namespace {

TEST(ResolveStartPaths, KeepsLinksToFilesAsLinksAndListsAFolderGivenWithFiles) {
    test::TestDir dir;
    dir.CreateFiles({"d/a", "d/b", "e/c"});
    ASSERT_EQ(symlink((dir / "e/c").c_str(), (dir / "d/link").c_str()), 0);

    // A link renamed must be the link, not the file it points at.
    const StartSelection one = ResolveStartPaths({dir / "d/link"});
    EXPECT_EQ(one.folder, dir / "d");
    EXPECT_TRUE(one.chosen);
    EXPECT_FALSE(one.acrossFolders);
    EXPECT_EQ(one.files, std::vector<std::string>{"link"});

    const StartSelection mixed = ResolveStartPaths({dir / "e/c", dir / "d", dir / "gone"});
    EXPECT_EQ(mixed.folder, dir.Path());
    EXPECT_TRUE(mixed.acrossFolders);
    EXPECT_EQ(mixed.files, (std::vector<std::string>{"d/a", "d/b", "d/link", "e/c"}));
    EXPECT_EQ(mixed.missing, std::vector<std::string>{dir / "gone"});

    // One folder, or one name of nothing, opens as it always has.
    EXPECT_FALSE(ResolveStartPaths({dir / "d"}).chosen);
    EXPECT_EQ(ResolveStartPaths({"no such"}).folder, "no such");
    EXPECT_TRUE(ResolveStartPaths({"no such"}).missing.empty());
    EXPECT_EQ(ResolveStartPaths({}).folder, "");
}

}  // namespace
}  // namespace quorvan
