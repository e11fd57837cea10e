#include "platform/file_identity.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <unordered_map>

#include "platform/dos_attrib.h"

namespace quorvan {

namespace {

constexpr unsigned kStampMask =
    STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME;

constexpr long kOverlayMagic = 0x794c7630;  // OVERLAYFS_SUPER_MAGIC

struct FileSystemFacts {
    uint64_t fsid = 0;
    bool overlay = false;
    bool noGeneration = false;  // FS_IOC_GETVERSION is not offered here
};

std::mutex factsMutex;
std::unordered_map<uint64_t, FileSystemFacts> factsByDev;

uint64_t FsidOf(const struct statfs& st) {
    uint64_t a = static_cast<uint32_t>(st.f_fsid.__val[0]);
    uint64_t b = static_cast<uint32_t>(st.f_fsid.__val[1]);
    return a | (b << 32);
}

// What is known of the file system with device `dev`; asks statfs of the
// descriptor `fd` the first time.
FileSystemFacts FactsOf(uint64_t dev, int fd) {
    {
        std::lock_guard lock(factsMutex);
        if (auto it = factsByDev.find(dev); it != factsByDev.end()) {
            return it->second;
        }
    }
    FileSystemFacts facts;
    struct statfs st {};
    if (fstatfs(fd, &st) != 0) {
        return facts;  // not remembered: the next file may tell
    }
    facts.fsid = FsidOf(st);
    facts.overlay = st.f_type == kOverlayMagic;
    std::lock_guard lock(factsMutex);
    return factsByDev.emplace(dev, facts).first->second;
}

void NoGenerationOn(uint64_t dev) {
    std::lock_guard lock(factsMutex);
    factsByDev[dev].noGeneration = true;
}

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

// The inode's generation, from a descriptor open for reading.
void ReadGeneration(int readable, FileStamp& stamp) {
    long value = 0;  // the kernel stores an int
    if (ioctl(readable, FS_IOC_GETVERSION, &value) == 0) {
        stamp.gen = static_cast<uint32_t>(value);
        stamp.hasGen = true;
    } else if (errno == ENOTTY || errno == EOPNOTSUPP || errno == EINVAL) {
        NoGenerationOn(stamp.dev);
    }
}

bool SameMark(const FileStamp& a, const FileStamp& b, bool& strong) {
    const FileTimeNs unknown;
    const bool bothGen = a.hasGen && b.hasGen;
    const bool bothBirth = a.btime != unknown && b.btime != unknown;
    strong = bothGen || bothBirth;
    return (!bothGen || a.gen == b.gen) && (!bothBirth || a.btime == b.btime);
}

}  // namespace

bool FileStamp::SameInode(const FileStamp& other) const {
    bool strong = false;
    if (ino != other.ino || !SameMark(*this, other, strong)) {
        return false;
    }
    const bool sameFs = fsid != 0 && other.fsid != 0 ? fsid == other.fsid : dev == other.dev;
    // A file system that came back under another number (a remount, a disk
    // whose id is its device number) is recognised by the file's own mark.
    return sameFs || strong;
}

bool FileStamp::SameFile(const FileStamp& other) const {
    bool strong = false;
    SameMark(*this, other, strong);
    return SameInode(other) && (strong || (size == other.size && mtime == other.mtime));
}

bool IsOverlayFolder(int dirFd) {
    struct statfs st {};
    return fstatfs(dirFd, &st) == 0 && st.f_type == kOverlayMagic;
}

int StampAt(int dirFd, const std::string& name, FileStamp& stamp, uint32_t* mode, bool overlay) {
    constexpr int kFlags = AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT;
    struct statx sx {};
    if (statx(dirFd, name.c_str(), kFlags, kStampMask, &sx) != 0) {
        return errno;
    }
    if (overlay && S_ISREG(sx.stx_mode)) {
        // Setting a file's own mode copies it up; a file renamed on an
        // overlay gets copied up anyway, with a new inode and birth time.
        int fd = openat(dirFd, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            const std::string proc = "/proc/self/fd/" + std::to_string(fd);
            if (chmod(proc.c_str(), sx.stx_mode & 07777) == 0 &&
                statx(dirFd, name.c_str(), kFlags, kStampMask, &sx) != 0) {
                close(fd);
                return errno;
            }
            close(fd);
        }
    }
    stamp = StampFromStatx(sx);
    // Only regular files are opened for reading: opening a device or a FIFO
    // can act. The stamp is then taken again from the open file, which the
    // name may no longer be.
    int fd = -1;
    if (S_ISREG(sx.stx_mode)) {
        fd = openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct statx again {};
        if (fd >= 0 &&
            statx(fd, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, kStampMask, &again) == 0 &&
            S_ISREG(again.stx_mode)) {
            sx = again;
            stamp = StampFromStatx(sx);
            const FileSystemFacts facts = FactsOf(stamp.dev, fd);
            stamp.fsid = facts.fsid;
            if (!facts.noGeneration) {
                ReadGeneration(fd, stamp);
            }
            close(fd);
            fd = -2;
        } else if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
    if (fd == -1) {  // not read: the file system's id from the entry itself
        fd = openat(dirFd, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            stamp.fsid = FactsOf(stamp.dev, fd).fsid;
            close(fd);
        }
    }
    if (mode != nullptr) {
        *mode = sx.stx_mode;
    }
    return 0;
}

int StampOf(const std::string& path, FileStamp& stamp, uint32_t* mode) {
    return StampAt(AT_FDCWD, path, stamp, mode);
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
    stamp_.fsid = FactsOf(stamp_.dev, fd_).fsid;
    if (S_ISREG(mode_)) {
        int readable = open(procPath_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (readable >= 0) {
            ReadGeneration(readable, stamp_);
            close(readable);
        }
    }
    return 0;
}

int CPinnedEntry::SetPermissions(uint32_t permissions) {
    // Through a link's descriptor chmod would reach the file it points at.
    if (fd_ < 0 || S_ISLNK(mode_)) {
        return EINVAL;
    }
    return chmod(procPath_.c_str(), static_cast<mode_t>(permissions & 07777)) == 0 ? 0 : errno;
}

int CPinnedEntry::GetDosAttrib(std::optional<std::string>& value) const {
    value.reset();
    if (fd_ < 0 || S_ISLNK(mode_)) {
        return fd_ < 0 ? EINVAL : 0;
    }
    std::string bytes(256, '\0');
    ssize_t n = getxattr(procPath_.c_str(), kDosAttribName, bytes.data(), bytes.size());
    if (n >= 0) {
        bytes.resize(static_cast<size_t>(n));
        value = std::move(bytes);
        return 0;
    }
    return errno == ENODATA || errno == ENOTSUP ? 0 : errno;
}

int CPinnedEntry::SetDosAttrib(const std::optional<std::string>& value) {
    if (fd_ < 0 || !(S_ISREG(mode_) || S_ISDIR(mode_))) {
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
    if (fd_ < 0) {
        return EINVAL;
    }
    timespec times[2] = {
        {static_cast<time_t>(access.sec), static_cast<long>(access.nsec)},
        {static_cast<time_t>(modification.sec), static_cast<long>(modification.nsec)}};
    // The held entry itself, a link not followed.
    if (utimensat(fd_, "", times, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) == 0) {
        return 0;
    }
    // Kernels before 5.8 take no empty path here; but for a link, the
    // descriptor's /proc name reaches the same inode.
    if (errno != EINVAL && errno != ENOENT) {
        return errno;
    }
    if (S_ISLNK(mode_)) {
        return EOPNOTSUPP;
    }
    return utimensat(AT_FDCWD, procPath_.c_str(), times, 0) == 0 ? 0 : errno;
}

}  // namespace quorvan
