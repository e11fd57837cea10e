#include "common/path.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace quorvan
