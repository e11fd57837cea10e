#include "platform/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/file_identity.h"
#include "support/test_dir.h"
#include "support/test_trash.h"

namespace quorvan {
namespace {

using test::TestDir;
using test::TestTrash;

class TrashTest : public ::testing::Test {
  protected:
    void SetUp() override { TestTrash::Empty(); }

    FileStamp Stamp(const std::string& path) {
        FileStamp stamp;
        EXPECT_EQ(StampOf(path, stamp), 0) << path;
        return stamp;
    }
    TrashEntry Trash(const std::string& path) {
        TrashEntry entry;
        std::string error;
        EXPECT_TRUE(MoveToTrash(path, entry, error)) << error;
        return entry;
    }

    TestDir dir;
};

TEST_F(TrashTest, TrashedFilesAreFoundWhateverNameTheTrashGaveThem) {
    // Same names from several folders: the trash numbers them its own way.
    const char* names[] = {"a.txt", "b", ".hidden", "x.tar.gz", "odd\n\xff name"};
    for (const char* name : names) {
        for (int copy = 0; copy < 3; ++copy) {
            std::string path = dir.CreateFile(std::to_string(copy) + "/" + name,
                                              std::string(name) + std::to_string(copy));
            FileStamp stamp = Stamp(path);
            const TrashEntry entry = Trash(path);
            EXPECT_FALSE(dir.Exists(std::to_string(copy) + "/" + name));
            ASSERT_FALSE(entry.file.empty()) << name << copy;
            EXPECT_TRUE(Stamp(entry.file).SameFile(stamp));
            EXPECT_EQ(entry.file.rfind(TestTrash::Folder() + "/files/", 0), 0u);
            EXPECT_EQ(entry.info, TestTrash::Folder() + "/info/" +
                                      entry.file.substr(entry.file.rfind('/') + 1) + ".trashinfo");
            auto found = FindInTrash(path, stamp);
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(found->file, entry.file);
        }
    }
    EXPECT_EQ(TestTrash::Files().size(), 15u);
}

TEST_F(TrashTest, RestoreLeavesNoTraceKeepsATakenNameAndAMissingFileIsAnError) {
    std::string path = dir.CreateFile("photo.jpg", "mine");
    FileStamp stamp = Stamp(path);
    const TrashEntry entry = Trash(path);
    dir.CreateFile("photo.jpg", "a new one");
    EXPECT_EQ(RestoreFromTrash(entry, path), EEXIST);
    EXPECT_EQ(dir.Read("photo.jpg"), "a new one");
    EXPECT_TRUE(Stamp(entry.file).SameFile(stamp));

    unlink(path.c_str());
    ASSERT_EQ(RestoreFromTrash(entry, path), 0);
    EXPECT_EQ(dir.Read("photo.jpg"), "mine");
    EXPECT_TRUE(TestTrash::Files().empty());
    struct stat st {};
    EXPECT_NE(stat(entry.info.c_str(), &st), 0);
    // A file that is not there is an error with its reason.
    TrashEntry none;
    std::string error;
    EXPECT_FALSE(MoveToTrash(dir / "missing", none, error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST_F(TrashTest, AnEntryRenamedInsideTheTrashIsStillFound) {
    std::string path = dir.CreateFile("a.txt", "A");
    FileStamp stamp = Stamp(path);
    const TrashEntry entry = Trash(path);
    std::string moved = TestTrash::Folder() + "/files/elsewhere";
    ASSERT_EQ(rename(entry.file.c_str(), moved.c_str()), 0);
    auto found = FindInTrash(path, stamp);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->file, moved);
    FileStamp other = stamp;
    ++other.ino;
    EXPECT_FALSE(FindInTrash(path, other).has_value());
}

}  // namespace
}  // namespace quorvan
