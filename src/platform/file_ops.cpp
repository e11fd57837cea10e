#include "platform/file_ops.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/random.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <vector>

#include "common/text.h"
#include "platform/dos_attrib.h"
#include "platform/file_system.h"

namespace quorvan {

namespace {

constexpr uint32_t kDosSettable = kAttrHidden | kAttrSystem | kAttrArchive;
constexpr uint32_t kDosForced = kAttrReadOnly | kDosSettable;
constexpr uint32_t kDosDirectory = 0x10;

bool IsUnsupported(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP;
}

// Closes a descriptor on every way out.
class Fd final {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    void Reset(int fd = -1) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = fd;
    }
    // Closes now and reports the close error, which may be a late write error.
    int Close() {
        int result = fd_ >= 0 ? close(fd_) : 0;
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

// ".quorvan-tmp-[<tag>-]<random>" in the folder of `path`.
std::string TemporaryName(const std::string& path, const std::string& tag) {
    size_t slash = path.rfind('/');
    return TemporaryNameIn(slash == std::string::npos ? std::string() : path.substr(0, slash + 1),
                           tag);
}

}  // namespace

int MoveWithoutRenameFlag(const std::string& from, const std::string& to) {
    if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) == 0) {
        if (unlinkat(AT_FDCWD, from.c_str(), 0) == 0) {
            return 0;
        }
        int error = errno;
        unlinkat(AT_FDCWD, to.c_str(), 0);
        return error;
    }
    int error = errno;
    if (error != EPERM && error != EMLINK && error != ENOSYS && !IsUnsupported(error)) {
        return error;  // EEXIST among them: the target is there
    }
    struct stat st {};
    if (fstatat(AT_FDCWD, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    if (errno != ENOENT) {
        return errno;
    }
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

namespace {

// One move that never replaces `to`. Returns 0 or an errno.
int MoveOnce(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        return MoveWithoutRenameFlag(from, to);
    }
    return error;
}

// Both names reach the same entry and differ only in letter case, as they do
// on a case-insensitive file system.
bool IsCaseOnlyChange(const std::string& from, const std::string& to) {
    if (from == to || !EqualsIgnoreCase(from, to)) {
        return false;
    }
    struct stat a {
    }, b{};
    return fstatat(AT_FDCWD, from.c_str(), &a, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstatat(AT_FDCWD, to.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

int MoveThroughTemporary(const std::string& from, const std::string& to) {
    std::string temp;
    int error = EEXIST;
    for (int attempt = 0; attempt < 10 && error == EEXIST; ++attempt) {
        temp = TemporaryName(to, {});
        error = MoveOnce(from, temp);
    }
    if (error != 0) {
        return error;
    }
    error = MoveOnce(temp, to);
    if (error != 0) {
        // Two real hard links on a case-sensitive file system, for one: put
        // the file back under its old name.
        MoveOnce(temp, from);
    }
    return error;
}

// Reads the whole of one extended attribute of `fd`, else of `path` (of a
// link itself unless `followLinks`); an errno on failure.
int ReadXattr(int fd, const char* path, const char* name, std::string& value,
              bool followLinks = true) {
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

int CopyUserXattrs(int src, int dst) {
    std::string names;
    for (int attempt = 0;; ++attempt) {
        ssize_t size = flistxattr(src, nullptr, 0);
        if (size < 0) {
            return IsUnsupported(errno) ? 0 : errno;
        }
        names.resize(static_cast<size_t>(size));
        ssize_t n = flistxattr(src, names.data(), names.size());
        if (n >= 0) {
            names.resize(static_cast<size_t>(n));
            break;
        }
        if (errno != ERANGE || attempt == 3) {
            return errno;
        }
    }
    std::string value;
    for (size_t pos = 0; pos < names.size();) {
        std::string name = names.c_str() + pos;
        pos += name.size() + 1;
        if (name.compare(0, 5, "user.") != 0) {
            continue;
        }
        int error = ReadXattr(src, nullptr, name.c_str(), value);
        if (error == ENODATA) {
            continue;  // removed meanwhile
        }
        if (error != 0) {
            return error;
        }
        if (fsetxattr(dst, name.c_str(), value.data(), value.size(), 0) != 0) {
            // A target file system without user attributes still gets the data.
            if (IsUnsupported(errno)) {
                return 0;
            }
            return errno;
        }
    }
    return 0;
}

bool IsCancelled(const CopyCancelled& cancelled) {
    return cancelled && cancelled();
}

int CopyByReadWrite(int src, int dst, const CopyCancelled& cancelled) {
    std::vector<char> buffer(1 << 17);
    for (;;) {
        if (IsCancelled(cancelled)) {
            return ECANCELED;
        }
        ssize_t n = read(src, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        if (int error = WriteAll(dst, buffer.data(), static_cast<size_t>(n))) {
            return error;
        }
    }
}

// Errors that say "this way of copying is not available here", not "the copy
// went wrong"; only those move on to the next way, and only before any data
// went across.
bool IsWayUnavailable(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EBADF ||
           IsUnsupported(error);
}

// Copies with one kernel-side way, `step` moving up to a chunk at a time.
// Returns 0 when done, an errno when the copy failed or was cancelled, or -1
// when the way is not available here and nothing was copied yet.
template <typename Step>
int CopyWith(Step step, const CopyCancelled& cancelled, const std::function<void()>& afterChunk) {
    bool started = false;
    for (;;) {
        if (IsCancelled(cancelled)) {
            return ECANCELED;
        }
        ssize_t n = step();
        if (n > 0) {
            started = true;
            if (afterChunk) {
                afterChunk();
            }
            continue;
        }
        if (n == 0) {
            return 0;
        }
        if (errno == EINTR) {
            continue;
        }
        if (started || !IsWayUnavailable(errno)) {
            return errno;
        }
        return -1;
    }
}

// `flushEarly`: the copy will be fsynced, so its writeback starts chunk by
// chunk instead of all at once in the final fsync, which no cancel can cut
// short.
int CopyData(int src, int dst, const CopyCancelled& cancelled, bool flushEarly) {
    if (IsCancelled(cancelled)) {
        return ECANCELED;
    }
    if (ioctl(dst, FICLONE, src) == 0) {
        return 0;
    }
    // Small enough that a cancel is seen within a fraction of a second even
    // on a slow disk.
    constexpr size_t kChunk = size_t{8} << 20;
    std::function<void()> afterChunk;
    if (flushEarly) {
        afterChunk = [dst] { sync_file_range(dst, 0, 0, SYNC_FILE_RANGE_WRITE); };
    }
    int result = CopyWith([&] { return copy_file_range(src, nullptr, dst, nullptr, kChunk, 0); },
                          cancelled, afterChunk);
    if (result < 0) {
        result =
            CopyWith([&] { return sendfile(dst, src, nullptr, kChunk); }, cancelled, afterChunk);
    }
    return result < 0 ? CopyByReadWrite(src, dst, cancelled) : result;
}

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

// True when the stored DOS attributes of `path` mark it read-only.
bool DosAttribSaysReadOnly(const std::string& path) {
    std::string value;
    if (ReadXattr(-1, path.c_str(), kDosAttribName, value) != 0) {
        return false;
    }
    auto dos = ParseDosAttrib(value);
    return dos && (dos->attributes & kAttrReadOnly);
}

}  // namespace

bool MoveNoReplace(const std::string& from, const std::string& to, int& error) {
    // The usual case costs exactly one system call.
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    int result = errno;
    if (result == EINVAL || result == ENOSYS) {
        result = MoveWithoutRenameFlag(from, to);
    }
    if (result == EEXIST && IsCaseOnlyChange(from, to)) {
        result = MoveThroughTemporary(from, to);
    }
    error = result;
    return result == 0;
}

COpenFolder::~COpenFolder() {
    Close();
}

void COpenFolder::Close() {
    if (fd_ >= 0) {
        close(fd_);
    }
    fd_ = -1;
    path_.clear();
}

bool COpenFolder::Open(const std::string& folder) {
    if (fd_ >= 0 && folder == path_) {
        return true;
    }
    Close();
    fd_ = open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0) {
        path_ = folder;
    }
    return fd_ >= 0;
}

const char* COpenFolder::NameIn(const std::string& path) const {
    const size_t size = path_.size();
    if (fd_ < 0 || path.size() <= size + 1 || path.compare(0, size, path_) != 0 ||
        path[size] != '/' || path.find('/', size + 1) != std::string::npos) {
        return nullptr;
    }
    return path.c_str() + size + 1;
}

bool MoveNoReplace(const std::string& from, const std::string& to, int& error,
                   const COpenFolder* folder) {
    const char* fromName = folder != nullptr ? folder->NameIn(from) : nullptr;
    const char* toName = fromName != nullptr ? folder->NameIn(to) : nullptr;
    if (toName != nullptr) {
        if (renameat2(folder->Fd(), fromName, folder->Fd(), toName, RENAME_NOREPLACE) == 0) {
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != EEXIST) {
            error = errno;
            return false;
        }
    }
    return MoveNoReplace(from, to, error);
}

int CreateTemporaryBeside(const std::string& path, unsigned mode, std::string& temp,
                          const std::string& tag) {
    int fd = -1;
    for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
        temp = TemporaryName(path, tag);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    return fd;
}

bool SafeCopy(const std::string& from, const std::string& to, int& error,
              const CopyCancelled& cancelled) {
    CopyHooks hooks;
    hooks.cancelled = cancelled;
    return SafeCopy(from, to, error, hooks);
}

bool SafeCopy(const std::string& from, const std::string& to, int& error, const CopyHooks& hooks) {
    const CopyCancelled& cancelled = hooks.cancelled;
    // O_NONBLOCK: opening a FIFO without a writer, or some devices, would
    // otherwise wait for ever before the type could be checked.
    Fd src(open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (src.Get() < 0) {
        error = errno;
        return false;
    }
    struct stat source {};
    if (fstat(src.Get(), &source) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(source.st_mode)) {
        error = S_ISDIR(source.st_mode) ? EISDIR : kErrorNotRegularFile;
        return false;
    }
    int flags = fcntl(src.Get(), F_GETFL);
    if (flags < 0 || fcntl(src.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = errno;
        return false;
    }
    struct stat target {};
    const bool replacing = stat(to.c_str(), &target) == 0;
    if (replacing) {
        if (target.st_dev == source.st_dev && target.st_ino == source.st_ino) {
            error = EINVAL;  // copying a file onto itself would empty it
            return false;
        }
        if (S_ISDIR(target.st_mode)) {
            error = EISDIR;
            return false;
        }
        if (!(target.st_mode & S_IWUSR) || DosAttribSaysReadOnly(to)) {
            error = EACCES;
            return false;
        }
    } else if (errno != ENOENT) {
        error = errno;
        return false;
    }

    std::string temp;
    Fd dst(CreateTemporaryBeside(to, 0600, temp, hooks.tag));
    if (dst.Get() < 0) {
        error = errno;
        return false;
    }

    int result = CopyData(src.Get(), dst.Get(), cancelled, replacing);
    // User attributes need write permission on the file itself, so they go
    // across while the temporary file still has its 0600.
    if (result == 0) {
        result = CopyUserXattrs(src.Get(), dst.Get());
    }
    if (result == 0 && fchmod(dst.Get(), source.st_mode & 07777) != 0) {
        result = errno;
    }
    if (result == 0) {
        // Last, so that nothing written afterwards moves the times again.
        timespec times[2] = {source.st_atim, source.st_mtim};
        if (futimens(dst.Get(), times) != 0) {
            result = errno;
        }
    }
    // The data must be on disk before it replaces a file, or a crash could
    // leave neither version. A new target endangers nothing (the source stays),
    // so it is not waited for; it must still not replace a file that appeared
    // meanwhile.
    if (result == 0 && IsCancelled(cancelled)) {
        result = ECANCELED;
    }
    if (result == 0 && replacing && fsync(dst.Get()) != 0) {
        result = errno;
    }
    if (result == 0) {
        result = dst.Close();
    }
    if (result == 0 && hooks.beforePublish) {
        result = hooks.beforePublish(temp);
    }
    if (result == 0) {
        result =
            replacing ? (rename(temp.c_str(), to.c_str()) == 0 ? 0 : errno) : MoveOnce(temp, to);
    }
    if (result != 0) {
        dst.Reset();
        unlink(temp.c_str());
        error = result;
        return false;
    }
    return true;
}

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

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace quorvan
