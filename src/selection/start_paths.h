#pragma once

#include <string>
#include <vector>

namespace quorvan {

// What the window opens on when the program is started on paths, as a file
// manager hands over its selection.
struct StartSelection {
    // The folder to show; empty when nothing given can be opened.
    std::string folder;
    // Whether only chosen files take part (`files`), or the folder as Browse
    // opens it.
    bool chosen = false;
    // The chosen files, relative to `folder` ("a.txt", "sub/b.txt"), in byte
    // order, each once.
    std::vector<std::string> files;
    // The files lie in more than one folder below `folder`.
    bool acrossFolders = false;
    // Paths given that name nothing, as given; reported, the others open.
    std::vector<std::string> missing;
};

// One folder (or one path naming nothing) opens as it always has: shown by its
// full path, or as given. One file opens its folder with that file chosen;
// several paths open the folder nearest to all of them, where a folder given
// stands for the files directly in it. Symbolic links to files are kept as
// the links, never their targets.
StartSelection ResolveStartPaths(const std::vector<std::string>& paths);

// The folder every one of these absolute folders lies in (or is); "/" at
// least.
std::string CommonFolder(const std::vector<std::string>& folders);

}  // namespace quorvan
