#include <string>

#include "common/path.h"
#include "run/run_worker.h"
#include "run_test_support.h"

namespace quorvan::test {
namespace {

// A cycle's member waits beside its own name, a file right below the root
// too: a temporary name in the working folder would carry it elsewhere.
TEST(MoveToTemporary, TheTemporaryNameIsInTheFilesOwnFolder) {
    TestDir dir;
    dir.CreateFile("a.txt", "a");
    for (const std::string& path : {dir / "a.txt", std::string("/quorvan-no-such-file")}) {
        std::string temporary;
        int error = 0;
        MoveToTemporary(path, dir / "b.txt", "t", nullptr, nullptr, nullptr, {}, temporary, error);
        EXPECT_EQ(FolderOf(temporary), FolderOf(path)) << temporary;
    }
    EXPECT_FALSE(dir.Exists("a.txt"));  // it waits at its temporary name
}

}  // namespace
}  // namespace quorvan::test
