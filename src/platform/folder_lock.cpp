#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace quorvan {

CFolderLock::CFolderLock(CFolderLock&& other) noexcept
    : fd_(other.fd_), above_(std::move(other.above_)) {
    other.fd_ = -1;
    other.above_.clear();
}

CFolderLock& CFolderLock::operator=(CFolderLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        above_ = std::move(other.above_);
        other.fd_ = -1;
        other.above_.clear();
    }
    return *this;
}

int CFolderLock::TryLock(const std::string& folder) {
    Release();
    const char* path = folder.empty() ? "." : folder.c_str();
    int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        if (error == EWOULDBLOCK) {
            // Shared holders are runs in folders inside this one; a run in
            // this folder itself holds it exclusively.
            const int probe = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (probe >= 0 && flock(probe, LOCK_SH | LOCK_NB) == 0) {
                error = EBUSY;
            }
            if (probe >= 0) {
                close(probe);
            }
        }
        close(fd);
        return error;
    }
    fd_ = fd;
    // The folders above as the file system links them (".."), not as the
    // path spells them: a link or a ".." in the path leads nowhere else.
    struct stat here {};
    if (fstat(fd, &here) != 0) {
        return 0;
    }
    int walk = open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
    while (walk >= 0) {
        const int parent = openat(walk, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        close(walk);
        walk = parent;
        struct stat up {};
        if (walk < 0 || fstat(walk, &up) != 0 ||
            (up.st_dev == here.st_dev && up.st_ino == here.st_ino)) {
            break;  // the root folder is its own parent
        }
        here = up;
        const int shared = openat(walk, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (shared < 0) {
            continue;  // no read permission: passed over
        }
        if (flock(shared, LOCK_SH | LOCK_NB) != 0) {
            close(shared);
            close(walk);
            Release();
            return EBUSY;
        }
        above_.push_back(shared);
    }
    if (walk >= 0) {
        close(walk);
    }
    return 0;
}

void CFolderLock::Release() {
    for (int fd : above_) {
        close(fd);
    }
    above_.clear();
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

bool CFolderLock::Identity(uint64_t& device, uint64_t& inode) const {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0) {
        return false;
    }
    device = st.st_dev;
    inode = st.st_ino;
    return true;
}

}  // namespace quorvan
