// The attribute and time steps of a run: read-only, hidden, system and
// archive, and the file times, never through a symbolic link.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/dos_attrib.h"
#include "platform/file_ops.h"
#include "platform/file_ops_detail.h"
#include "platform/file_system.h"

namespace quorvan {

using file_detail::IsUnsupported;
using file_detail::ReadXattr;

int file_detail::ReadXattr(int fd, const char* path, const char* name, std::string& value,
                           bool followLinks) {
    auto get = [&](void* data, size_t size) {
        return fd >= 0       ? fgetxattr(fd, name, data, size)
               : followLinks ? getxattr(path, name, data, size)
                             : lgetxattr(path, name, data, size);
    };
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = get(nullptr, 0);
        if (size < 0) {
            return errno;
        }
        value.resize(static_cast<size_t>(size));
        ssize_t n = get(value.data(), value.size());
        if (n >= 0) {
            value.resize(static_cast<size_t>(n));
            return 0;
        }
        if (errno != ERANGE) {
            return errno;  // ERANGE: it grew in between, so ask again
        }
    }
    return ERANGE;
}

namespace {

constexpr uint32_t kDosSettable = kAttrHidden | kAttrSystem | kAttrArchive;
constexpr uint32_t kDosForced = kAttrReadOnly | kDosSettable;
constexpr uint32_t kDosDirectory = 0x10;

// chmod that never acts through a symbolic link (glibc checks the entry
// through an O_PATH descriptor). Without /proc that way is closed, and a
// plain chmod of what lstat found to be no link has to do. 0 or an errno.
int ChangeModeNoFollow(const std::string& path, uint32_t mode) {
    if (fchmodat(AT_FDCWD, path.c_str(), mode, AT_SYMLINK_NOFOLLOW) == 0) {
        return 0;
    }
    if (!IsUnsupported(errno)) {
        return errno;
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return errno;
    }
    if (S_ISLNK(st.st_mode)) {
        return kErrorSymbolicLink;
    }
    return chmod(path.c_str(), mode) == 0 ? 0 : errno;
}
}  // namespace

bool SetAttributes(const std::string& path, uint8_t attributes, AttributeChange& change,
                   int& error) {
    change = AttributeChange{};
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        error = errno;
        return false;
    }
    // Changing a link's attributes would change the file it points at,
    // possibly far outside the folder of the run.
    if (S_ISLNK(st.st_mode)) {
        error = kErrorSymbolicLink;
        return false;
    }
    const uint32_t originalMode = st.st_mode & 07777;
    change.previousMode = originalMode;
    const bool wantReadOnly = attributes & kAttrReadOnly;
    const bool wantStored = attributes & kDosSettable;

    std::string stored;
    int readError = ReadXattr(-1, path.c_str(), kDosAttribName, stored, false);
    bool xattrsUnsupported = IsUnsupported(readError);
    if (readError == 0) {
        change.hadDosAttrib = true;
        change.previousDosAttrib = stored;
    } else if (readError != ENODATA && !xattrsUnsupported) {
        error = readError;
        return false;
    }

    // What to store: the old word and create time with the four bits forced.
    // Without a usable stored value, the mode carries read-only on its own
    // and a value is written only for hidden, system or archive.
    std::optional<DosAttrib> old = change.hadDosAttrib ? ParseDosAttrib(stored) : std::nullopt;
    DosAttrib next;
    if (old) {
        next = *old;
    } else if (S_ISDIR(st.st_mode)) {
        next.attributes = kDosDirectory;
    }
    next.attributes = (next.attributes & ~kDosForced) | (attributes & kDosForced);
    bool writeXattr = !xattrsUnsupported && (old ? next.attributes != old->attributes : wantStored);

    uint32_t mode = originalMode;
    // 0 or the reason the mode could not be changed.
    auto setMode = [&](uint32_t newMode) {
        if (newMode == mode) {
            return 0;
        }
        if (int result = ChangeModeNoFollow(path, newMode)) {
            return result;
        }
        mode = newMode;
        change.modeChanged = mode != originalMode;
        return 0;
    };

    // The owner needs write permission to store the attribute value and to
    // end read-only, so it comes first.
    if ((writeXattr || !wantReadOnly) && !(mode & S_IWUSR)) {
        if (int result = setMode(mode | S_IWUSR)) {
            error = result;
            return false;
        }
    }
    if (writeXattr) {
        std::string value = EncodeDosAttrib(next);
        if (lsetxattr(path.c_str(), kDosAttribName, value.data(), value.size(), 0) == 0) {
            change.dosAttribWritten = true;
        } else if (IsUnsupported(errno)) {
            xattrsUnsupported = true;
        } else {
            error = errno;
            setMode(originalMode);  // nothing changed after all
            return false;
        }
    }
    if (wantReadOnly) {
        if (int result = setMode(mode & ~0222u)) {
            error = result;
            return false;
        }
    }
    if (xattrsUnsupported && wantStored) {
        error = EOPNOTSUPP;
        return false;
    }
    return true;
}

bool SetFileTimes(const std::string& path, std::optional<int64_t> lastAccess,
                  std::optional<int64_t> modification, int& error) {
    timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (lastAccess) {
        times[0] = {static_cast<time_t>(*lastAccess), 0};
    }
    if (modification) {
        times[1] = {static_cast<time_t>(*modification), 0};
    }
    if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        error = errno;
        return false;
    }
    return true;
}

}  // namespace quorvan
