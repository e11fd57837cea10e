#include "platform/make_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_system.h"

namespace quorvan {

namespace {

// The level `name` of the folder open as `parent`, never through a link.
int OpenLevel(int parent, const std::string& name, int& error) {
    const int fd = openat(parent, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        return fd;
    }
    error = errno;
    if (error == ENOTDIR || error == ELOOP) {
        struct stat st {};
        if (fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            error = S_ISLNK(st.st_mode) ? kErrorSymbolicLink : kErrorNotAFolder;
        }
    }
    return -1;
}

}  // namespace

bool MakeFoldersBelow(const std::string& base, const std::string& folder, int& error,
                      std::string& blocker,
                      const std::function<int(const std::string& made)>& beforeMake) {
    return MakeFoldersBelow(-1, base, folder, error, blocker, beforeMake);
}

bool MakeFoldersBelow(int baseFd, const std::string& base, const std::string& folder, int& error,
                      std::string& blocker,
                      const std::function<int(const std::string& made)>& beforeMake) {
    error = 0;
    blocker.clear();
    if (folder == base) {
        return true;
    }
    const std::string prefix = !base.empty() && base.back() == '/' ? base : base + "/";
    if (folder.compare(0, prefix.size(), prefix) != 0) {
        error = EINVAL;
        return false;
    }
    // The caller's descriptor is never closed: the walk starts from a copy.
    int fd = baseFd >= 0
                 ? fcntl(baseFd, F_DUPFD_CLOEXEC, 0)
                 : open(base.empty() ? "/" : base.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        blocker = base;
        return false;
    }
    std::string path = prefix.substr(0, prefix.size() - 1);
    for (size_t from = prefix.size(); from <= folder.size();) {
        size_t slash = folder.find('/', from);
        if (slash == std::string::npos) {
            slash = folder.size();
        }
        const std::string name = folder.substr(from, slash - from);
        from = slash + 1;
        if (name.empty()) {
            continue;
        }
        path += '/';
        path += name;
        int next = OpenLevel(fd, name, error);
        if (next < 0 && error == ENOENT) {
            if (beforeMake) {
                error = beforeMake(path);
            }
            if (error == 0 && mkdirat(fd, name.c_str(), 0777) != 0 && errno != EEXIST) {
                error = errno;
            }
            // Made now, or by someone else a moment ago: either way looked at again.
            next = error == 0 ? OpenLevel(fd, name, error) : -1;
        }
        if (next < 0) {
            blocker = path;
            close(fd);
            return false;
        }
        close(fd);
        fd = next;
    }
    close(fd);
    return true;
}

}  // namespace quorvan
