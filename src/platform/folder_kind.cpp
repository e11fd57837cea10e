#include "platform/folder_kind.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Asks the folder itself: a name of one of its first entries with its
// letter case turned round reaches the same entry, and is no entry of its
// own. File systems that fold without saying so (a folder shared by a
// Windows or macOS host, FUSE, HFS+) answer that way too.
bool FoldsCaseByProbe(int folderFd) {
    const int listFd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        if (listFd >= 0) {
            close(listFd);
        }
        return false;
    }
    constexpr int kLooked = 64;
    std::vector<std::string> names;
    while (names.size() < kLooked) {
        const dirent* entry = readdir(dir);
        if (entry == nullptr) {
            break;
        }
        names.emplace_back(entry->d_name);
    }
    closedir(dir);
    for (const std::string& name : names) {
        std::string swapped = name;
        for (char& c : swapped) {
            c = c >= 'a' && c <= 'z'   ? static_cast<char>(c - 'a' + 'A')
                : c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a')
                                       : c;
        }
        if (swapped == name || std::find(names.begin(), names.end(), swapped) != names.end()) {
            continue;
        }
        struct stat a {
        }, b{};
        if (fstatat(folderFd, name.c_str(), &a, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;  // gone meanwhile
        }
        const bool reached = fstatat(folderFd, swapped.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0;
        // The first name that can tell decides. A hard link of that other
        // spelling listed further on would read as folding, which only makes
        // the checks stricter.
        return reached && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    }
    return false;
}

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
    if (!folded) {
        folded = FoldsCaseByProbe(fd);
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
