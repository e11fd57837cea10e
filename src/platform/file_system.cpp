#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "common/local_time.h"
#include "common/path.h"
#include "platform/dos_attrib.h"

namespace quorvan {

namespace {

// Times before 1900 cannot be expressed by the local calendar conversion.
int64_t ClampTime(int64_t seconds) {
    static const int64_t k1900 = LocalToSeconds({1900, 1, 1, 0, 0, 0});
    return seconds < k1900 ? 0 : seconds;
}

bool NameIsHidden(const std::string& path) {
    const std::string_view name = NameOf(path);
    return !name.empty() && name.front() == '.';
}

}  // namespace

bool GetFileStatus(const std::string& path, FileStatus& status, unsigned parts, bool followLinks) {
    struct statx sx {};
    unsigned mask = STATX_TYPE | STATX_MODE;
    if (parts & kStatusTimes) {
        mask |= STATX_ATIME | STATX_MTIME | STATX_BTIME;
    }
    if (statx(AT_FDCWD, path.c_str(), followLinks ? 0 : AT_SYMLINK_NOFOLLOW, mask, &sx) != 0) {
        return false;
    }
    status = FileStatus{};
    if (parts & kStatusAttributes) {
        uint8_t byte = (sx.stx_mode & S_IWUSR) ? 0 : kAttrReadOnly;
        char value[256];
        ssize_t n = followLinks ? getxattr(path.c_str(), kDosAttribName, value, sizeof value)
                                : lgetxattr(path.c_str(), kDosAttribName, value, sizeof value);
        if (n > 0) {
            if (auto dos = ParseDosAttrib(std::string_view(value, static_cast<size_t>(n)))) {
                byte = static_cast<uint8_t>(dos->attributes & 0x7F);
            }
        }
        if (NameIsHidden(path)) {
            byte |= kAttrHidden;
        }
        status.attributes = byte;
    }
    if (parts & kStatusTimes) {
        status.modificationTime = ClampTime(sx.stx_mtime.tv_sec);
        status.lastAccessTime = ClampTime(sx.stx_atime.tv_sec);
        status.creationTime = (sx.stx_mask & STATX_BTIME) ? ClampTime(sx.stx_btime.tv_sec) : 0;
        if (status.creationTime == 0) {
            status.creationTime = status.modificationTime;
        }
        if (status.lastAccessTime == 0) {
            status.lastAccessTime = status.modificationTime;
        }
    }
    return true;
}

bool EntryExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool MakeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0777) == 0;
}

bool ListFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& visit,
                int& error) {
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        error = errno;
        close(fd);
        return false;
    }
    FolderEntry entry;
    errno = 0;
    while (dirent* d = readdir(dir)) {
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        unsigned char type = d->d_type;
        entry.name.assign(name);
        entry.isFolder = false;
        entry.isLinkToFolder = false;
        entry.isRegularFile = type == DT_REG;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
            }
        }
        if (type == DT_DIR) {
            entry.isFolder = true;
        } else if (type == DT_LNK) {
            struct stat st {};
            entry.isLinkToFolder = fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        visit(entry);
        errno = 0;
    }
    error = errno;
    closedir(dir);
    return error == 0;
}

int MakePrivateFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) {
        return errno;
    }
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

bool FolderIdentity(const std::string& folder, uint64_t& device, uint64_t& inode) {
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) {
        return false;
    }
    device = st.st_dev;
    inode = st.st_ino;
    return true;
}

int OpenRegularFile(const std::string& path, int flags, int& error) {
    // Looked at first: a socket cannot be opened (ENXIO) and a device may
    // act on being opened; either is simply not a regular file.
    struct stat before {};
    if (stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        error = S_ISDIR(before.st_mode) ? EISDIR : kErrorNotRegularFile;
        return -1;
    }
    int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : kErrorNotRegularFile;
        close(fd);
        return -1;
    }
    int status = fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        error = errno;
        close(fd);
        return -1;
    }
    return fd;
}

int ReadSmallFile(const std::string& path, size_t limit, std::string& text) {
    text.clear();
    int error = 0;
    int fd = OpenRegularFile(path, O_RDONLY, error);
    if (fd < 0) {
        return error;
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        if (text.size() + static_cast<size_t>(n) > limit) {
            error = kErrorFileTooLarge;
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    if (error != 0) {
        text.clear();
    }
    return error;
}

int WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

std::string ErrorText(int error) {
    switch (error) {
        case kErrorNotRegularFile:
            return "Not a regular file";
        case kErrorSymbolicLink:
            return "Is a symbolic link";
        case kErrorFileTooLarge:
            return "Too large for a settings file (over 1 MB)";
        case kErrorLineTooLong:
            return "A line is longer than 64 KB";
        case kErrorNotAFolder:
            return "A file is where a folder is to be made";
        case kErrorFolderReplaced:
            return "The folder was replaced since the run was planned (by a symbolic link, say)";
        default:
            break;
    }
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

}  // namespace quorvan
