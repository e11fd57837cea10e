#include "platform/folder_kind.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quorvan {

namespace {

// File system magic numbers (linux/magic.h and the file systems' own headers).
constexpr int64_t kMsdosMagic = 0x4d44;
constexpr int64_t kExfatMagic = 0x2011BAB0;
constexpr int64_t kNtfs3Magic = 0x7366746e;
constexpr int64_t kNtfsMagic = 0x5346544e;
constexpr int64_t kSmbMagic = 0x517B;
constexpr int64_t kSmb2Magic = static_cast<int64_t>(0xFE534D42);
constexpr int64_t kCifsMagic = static_cast<int64_t>(0xFF534D42);
#ifndef FS_CASEFOLD_FL
constexpr int kCaseFoldFlag = 0x40000000;
#else
constexpr int kCaseFoldFlag = FS_CASEFOLD_FL;
#endif

}  // namespace

bool IsCaseInsensitiveFolder(const std::string& folder) {
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool folded = false;
    struct statfs fs {};
    if (fstatfs(fd, &fs) == 0) {
        const int64_t type = static_cast<int64_t>(fs.f_type) & 0xFFFFFFFF;
        for (int64_t magic : {kMsdosMagic, kExfatMagic, kNtfs3Magic, kNtfsMagic, kSmbMagic,
                              kSmb2Magic & 0xFFFFFFFF, kCifsMagic & 0xFFFFFFFF}) {
            folded = folded || type == magic;
        }
    }
    int flags = 0;
    if (!folded && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        folded = (flags & kCaseFoldFlag) != 0;
    }
    close(fd);
    return folded;
}

bool EntryIdentity(const std::string& path, uint64_t& device, uint64_t& inode) {
    struct stat st {};
    if (fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    device = st.st_dev;
    inode = st.st_ino;
    return true;
}

}  // namespace quorvan
