#pragma once

#include <string>
#include <vector>

namespace quorvan::test {

// The desktop trash of a test program: HOME and XDG_DATA_HOME point into a
// temporary folder from before main (GLib reads them once per process), so
// no test touches a real trash. Linked in by any test that names it.
class TestTrash final {
  public:
    // The temporary home; XDG_DATA_HOME is its "data".
    static const std::string& Home();
    // $XDG_DATA_HOME/Trash.
    static std::string Folder();
    // Names in the trash's "files" folder, sorted.
    static std::vector<std::string> Files();
    // Empties the trash.
    static void Empty();
};

}  // namespace quorvan::test
