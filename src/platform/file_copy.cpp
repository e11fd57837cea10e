// Copies through a temporary file: the data by the fastest way the file
// systems offer, user attributes, mode and times; the target replaced only
// once the copy is whole.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/dos_attrib.h"
#include "platform/file_ops.h"
#include "platform/file_ops_detail.h"
#include "platform/file_system.h"

namespace quorvan {

using file_detail::IsUnsupported;
using file_detail::MoveOnce;
using file_detail::ReadXattr;
using file_detail::TemporaryName;

namespace {

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

// Looks at the source before opening it: a socket cannot be opened at all
// (ENXIO), a device may act on being opened, a FIFO may wait. False with
// EISDIR, kErrorNotRegularFile or the errno of the look.
bool IsRegularSource(const std::string& path, int& error) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : kErrorNotRegularFile;
        return false;
    }
    return true;
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
    const std::string& readFrom = hooks.readFrom.empty() ? from : hooks.readFrom;
    int notRegular = 0;
    if (!IsRegularSource(readFrom, notRegular)) {
        error = notRegular;
        return false;
    }
    // O_NONBLOCK: a FIFO put in the file's place since the look would
    // otherwise hold the open for ever.
    Fd src(open(readFrom.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
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

}  // namespace quorvan
