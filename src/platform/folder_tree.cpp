#include "platform/folder_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "platform/file_system.h"

namespace quorvan {

namespace {

constexpr size_t kKeptOpen = 4;

// The level `name` of the open folder `parent`, never through a link.
int OpenLevel(int parent, const std::string& name, int& error) {
    const int fd = openat(parent, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        return fd;
    }
    error = errno == ELOOP || errno == ENOTDIR ? kErrorFolderReplaced : errno;
    return -1;
}

}  // namespace

FolderId FolderIdOf(const std::string& folder) {
    FolderId id;
    struct stat st {};
    const std::string path = folder.empty() ? "/" : folder;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return id;
    }
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.viaLink = lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    return id;
}

CFolderTree::~CFolderTree() {
    Close();
}

void CFolderTree::Close() {
    for (auto& [path, fd] : opened_) {
        close(fd);
    }
    opened_.clear();
    if (root_ >= 0) {
        close(root_);
    }
    root_ = -1;
}

int CFolderTree::Open(const std::string& root, const FolderId& planned) {
    Close();
    rootPath_ = root;
    while (!rootPath_.empty() && rootPath_.back() == '/') {
        rootPath_.pop_back();
    }
    // A folder planned as a folder must not come back as a link to another.
    const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC | (planned.viaLink ? 0 : O_NOFOLLOW);
    const int fd = open(rootPath_.empty() ? "/" : rootPath_.c_str(), flags);
    if (fd < 0) {
        return errno == ELOOP || errno == ENOTDIR ? kErrorFolderReplaced : errno;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int error = errno;
        close(fd);
        return error;
    }
    if (planned.Known() && (st.st_dev != planned.dev || st.st_ino != planned.ino)) {
        close(fd);
        return kErrorFolderReplaced;
    }
    root_ = fd;
    struct stat proc {};
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    proc_ = stat(self.c_str(), &proc) == 0 && proc.st_dev == st.st_dev && proc.st_ino == st.st_ino;
    return 0;
}

void CFolderTree::Expect(const std::string& folder, const FolderId& planned) {
    if (planned.Known()) {
        expected_[folder] = planned;
    }
}

int CFolderTree::Folder(const std::string& folder, int& error) {
    error = 0;
    if (root_ < 0) {
        return -1;
    }
    size_t from = rootPath_.size();
    if (folder.compare(0, from, rootPath_) != 0 || (folder.size() > from && folder[from] != '/')) {
        return -1;  // elsewhere: by path
    }
    if (folder.find_first_not_of('/', from) == std::string::npos) {
        return root_;
    }
    for (size_t i = 0; i < opened_.size(); ++i) {
        if (opened_[i].first == folder) {
            // The last used go last, so that the folder of a move's source
            // stays open while its target's is opened.
            std::rotate(opened_.begin() + static_cast<std::ptrdiff_t>(i),
                        opened_.begin() + static_cast<std::ptrdiff_t>(i) + 1, opened_.end());
            return opened_.back().second;
        }
    }
    // The levels below the root as they are spelt: a "." or ".." would lead
    // out of the tree the run was planned for.
    std::vector<std::string> levels;
    while (from < folder.size()) {
        const size_t start = folder.find_first_not_of('/', from);
        if (start == std::string::npos) {
            break;
        }
        size_t end = folder.find('/', start);
        end = end == std::string::npos ? folder.size() : end;
        levels.push_back(folder.substr(start, end - start));
        if (levels.back() == "." || levels.back() == "..") {
            return -1;
        }
        from = end;
    }
    int fd = root_;
    for (const std::string& level : levels) {
        const int next = OpenLevel(fd, level, error);
        if (fd != root_) {
            close(fd);
        }
        fd = next;
        if (fd < 0) {
            break;
        }
    }
    if (auto planned = expected_.find(folder); planned != expected_.end()) {
        // A link the plan already went through (a file named by such a
        // path) is followed, when it still leads to the planned folder.
        if (fd < 0 && error == kErrorFolderReplaced) {
            fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            error = fd < 0 ? errno : 0;
        }
        struct stat st {};
        if (fd >= 0 && (fstat(fd, &st) != 0 || st.st_dev != planned->second.dev ||
                        st.st_ino != planned->second.ino)) {
            close(fd);
            fd = -1;
            error = kErrorFolderReplaced;
        }
    }
    if (fd < 0) {
        return -1;
    }
    if (opened_.size() == kKeptOpen) {
        close(opened_.front().second);
        opened_.erase(opened_.begin());
    }
    opened_.emplace_back(folder, fd);
    return fd;
}

int CFolderTree::FolderOf(const std::string& path, std::string& name, int& error) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        error = 0;
        return -1;
    }
    name = path.substr(slash + 1);
    if (name == "." || name == "..") {
        error = 0;
        return -1;
    }
    return Folder(path.substr(0, slash), error);
}

std::string CFolderTree::Through(const std::string& path, int& error) {
    std::string name;
    const int fd = FolderOf(path, name, error);
    if (fd < 0) {
        return error != 0 ? std::string() : path;
    }
    return proc_ ? "/proc/self/fd/" + std::to_string(fd) + "/" + name : path;
}

}  // namespace quorvan
