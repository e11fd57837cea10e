#include "support/test_trash.h"

#include <stdlib.h>

#include <filesystem>

#include "support/test_dir.h"

namespace quorvan::test {

const std::string& TestTrash::Home() {
    static TestDir dir;
    static const std::string home = [] {
        setenv("HOME", dir.Path().c_str(), 1);
        setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        return dir.Path();
    }();
    return home;
}

std::string TestTrash::Folder() {
    return Home() + "/data/Trash";
}

std::vector<std::string> TestTrash::Files() {
    return ListNames(Folder() + "/files");
}

void TestTrash::Empty() {
    std::error_code error;
    std::filesystem::remove_all(Folder(), error);
}

namespace {
// Before main, and so before any GLib call of the program.
const bool kHomeSet = !TestTrash::Home().empty();
}  // namespace

}  // namespace quorvan::test
