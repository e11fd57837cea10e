#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quorvan {

// What a folder was when a run was planned: its device and inode, and
// whether its path named a symbolic link to it then.
struct FolderId {
    uint64_t dev = 0;
    uint64_t ino = 0;
    bool viaLink = false;

    bool Known() const { return ino != 0; }
};

// The identity of the folder at `folder` now; unknown when it cannot be read.
FolderId FolderIdOf(const std::string& folder);

// The folders of a run, reached only from the run's folder, which is opened
// once and checked against what it was when the run was planned. Every folder
// below it is opened level by level through descriptors, never through a
// symbolic link, so that a folder swapped for a link after the plan was made
// is never followed elsewhere.
class CFolderTree final {
  public:
    CFolderTree() = default;
    ~CFolderTree();
    CFolderTree(const CFolderTree&) = delete;
    CFolderTree& operator=(const CFolderTree&) = delete;

    // Opens `root` without following a link at its end (unless the run was
    // planned through one) and checks that it is the folder `planned` (any
    // folder when that is unknown). 0, kErrorFolderReplaced when it is no
    // longer the planned folder, or the errno of opening it.
    int Open(const std::string& root, const FolderId& planned);
    bool IsOpen() const { return root_ >= 0; }
    // What the folder `folder` below the root was when the run was planned:
    // it is opened only when it still is that folder, then even through a
    // symbolic link that was there already.
    void Expect(const std::string& folder, const FolderId& planned);
    int RootFd() const { return root_; }

    // The open folder that holds `path` and the name of `path` in it: -1 with
    // `error` set when a level cannot be opened (kErrorFolderReplaced where a
    // symbolic link or a file stands in place of a folder), or with `error`
    // 0 when `path` does not lie below the root (the caller then goes by
    // path). The descriptor stays owned by the tree.
    int FolderOf(const std::string& path, std::string& name, int& error);
    // The open folder `folder` (the root or a folder below it), as FolderOf.
    int Folder(const std::string& folder, int& error);
    // A path that reaches `path` through the open folder that holds it
    // ("/proc/self/fd/N/name"), for calls that only take paths; `path` itself
    // where it does not lie below the root or /proc cannot be used. Empty
    // with `error` set when a level cannot be opened.
    std::string Through(const std::string& path, int& error);

  private:
    void Close();

    std::string rootPath_;  // without a final "/", "" for the root folder
    int root_ = -1;
    bool proc_ = false;  // /proc/self/fd reaches the open folders
    std::unordered_map<std::string, FolderId> expected_;
    // The folders below the root opened last, newest at the back.
    std::vector<std::pair<std::string, int>> opened_;
};

}  // namespace quorvan
