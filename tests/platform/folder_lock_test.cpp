#include "platform/folder_lock.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::TestDir;

// Two runs at once: never in one folder, nor one in a folder inside the
// other's, whose subfolders that run may reach.
TEST(FolderLockTest, ARunExcludesRunsInItsFolderAndInFoldersAboveAndBelow) {
    TestDir dir;
    dir.CreateDir("a/b/c");
    dir.CreateDir("a/d");
    struct Case {
        const char* first;
        const char* second;
        int error;  // of the second
    };
    const Case cases[] = {
        {"a", "a", EWOULDBLOCK},
        {"a", "a/./", EWOULDBLOCK},  // another spelling
        {"a", "a/b", EBUSY},
        {"a", "a/b/c", EBUSY},  // inside the first
        {"a/b", "a", EBUSY},
        {"a/b/c", "a", EBUSY},  // holding the first
        {"a/b", "a/d", 0},
        {"a/b/c", "a/d", 0},  // side by side
        {"a/b", "a/d/../b", EWOULDBLOCK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " then " + c.second);
        CFolderLock first;
        ASSERT_EQ(first.TryLock(dir / c.first), 0);
        CFolderLock second;
        EXPECT_EQ(second.TryLock(dir / c.second), c.error);
        EXPECT_EQ(second.Held(), c.error == 0);
        // Once the first ends, the second may start.
        first.Release();
        EXPECT_EQ(second.TryLock(dir / c.second), 0);
    }
}

}  // namespace
}  // namespace quorvan
