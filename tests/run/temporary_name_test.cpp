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
    const struct {
        std::string path;
        std::string folder;
        bool moved;
    } cases[] = {
        {dir / "a.txt", dir.Path(), true},
        {"/quorvan-no-such-file", "/", false},
    };
    for (const auto& c : cases) {
        std::string temporary;
        int error = 0;
        EXPECT_EQ(MoveToTemporary(c.path, dir / "b.txt", "t", nullptr, nullptr, nullptr, {},
                                  temporary, error),
                  c.moved)
            << c.path;
        EXPECT_EQ(FolderOf(temporary), c.folder) << temporary;
        if (c.moved) {
            EXPECT_EQ(dir.Read(std::string(NameOf(temporary))), "a");
        }
    }
}

}  // namespace
}  // namespace quorvan::test
