// Moves that never replace a file: renameat2 with RENAME_NOREPLACE and its
// fallbacks, and a change of letter case on a case-insensitive file system.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/text.h"
#include "platform/file_ops.h"
#include "platform/file_ops_detail.h"

namespace quorvan {

using file_detail::IsUnsupported;
using file_detail::MoveOnce;
using file_detail::TemporaryName;

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

int file_detail::MoveOnce(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        return MoveWithoutRenameFlag(from, to);
    }
    return error;
}

namespace {

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

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace quorvan
