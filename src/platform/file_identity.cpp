#include "platform/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/dos_attrib.h"

namespace quorvan {

namespace {

constexpr unsigned kStampMask =
    STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME;

FileTimeNs TimeOf(const statx_timestamp& t) {
    return {static_cast<int64_t>(t.tv_sec), static_cast<int64_t>(t.tv_nsec)};
}

FileStamp StampFromStatx(const struct statx& sx) {
    FileStamp stamp;
    stamp.dev = static_cast<uint64_t>(makedev(sx.stx_dev_major, sx.stx_dev_minor));
    stamp.ino = static_cast<uint64_t>(sx.stx_ino);
    stamp.size = static_cast<int64_t>(sx.stx_size);
    stamp.mtime = TimeOf(sx.stx_mtime);
    if (sx.stx_mask & STATX_BTIME) {
        stamp.btime = TimeOf(sx.stx_btime);
    }
    return stamp;
}

}  // namespace

bool SameBirth(const FileTimeNs& a, const FileTimeNs& b) {
    const FileTimeNs unknown;
    return a == unknown || b == unknown || a == b;
}

int StampOf(const std::string& path, FileStamp& stamp, uint32_t* mode) {
    struct statx sx {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT, kStampMask,
              &sx) != 0) {
        return errno;
    }
    stamp = StampFromStatx(sx);
    if (mode != nullptr) {
        *mode = sx.stx_mode;
    }
    return 0;
}

CPinnedEntry::~CPinnedEntry() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

int CPinnedEntry::Open(const std::string& path) {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    int fd = open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    struct statx sx {};
    if (statx(fd, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, kStampMask, &sx) != 0) {
        int error = errno;
        close(fd);
        return error;
    }
    fd_ = fd;
    stamp_ = StampFromStatx(sx);
    mode_ = sx.stx_mode;
    procPath_ = "/proc/self/fd/" + std::to_string(fd);
    return 0;
}

bool CPinnedEntry::IsRegularFile() const {
    return fd_ >= 0 && S_ISREG(mode_);
}

int CPinnedEntry::SetPermissions(uint32_t permissions) {
    if (!IsRegularFile()) {
        return EINVAL;
    }
    return chmod(procPath_.c_str(), static_cast<mode_t>(permissions & 07777)) == 0 ? 0 : errno;
}

int CPinnedEntry::SetDosAttrib(const std::optional<std::string>& value) {
    if (!IsRegularFile()) {
        return EINVAL;
    }
    if (value) {
        return setxattr(procPath_.c_str(), kDosAttribName, value->data(), value->size(), 0) == 0
                   ? 0
                   : errno;
    }
    if (removexattr(procPath_.c_str(), kDosAttribName) == 0 || errno == ENODATA) {
        return 0;
    }
    return errno == ENOTSUP ? 0 : errno;  // a file system without them holds none
}

int CPinnedEntry::SetTimes(FileTimeNs access, FileTimeNs modification) {
    if (!IsRegularFile()) {
        return EINVAL;
    }
    timespec times[2] = {
        {static_cast<time_t>(access.sec), static_cast<long>(access.nsec)},
        {static_cast<time_t>(modification.sec), static_cast<long>(modification.nsec)}};
    return utimensat(AT_FDCWD, procPath_.c_str(), times, 0) == 0 ? 0 : errno;
}

}  // namespace quorvan
