// Moves that never replace a file: renameat2 with RENAME_NOREPLACE and its
// fallbacks, and a change of letter case on a case-insensitive file system.
// Each works on names in open folders (AT_FDCWD and a path for the others).
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/text.h"
#include "platform/file_ops.h"
#include "platform/file_ops_detail.h"
#include "platform/folder_tree.h"

namespace quorvan {

using file_detail::IsUnsupported;
using file_detail::TemporaryName;

namespace {

// An entry as a folder descriptor and a name in it.
struct At {
    int dir;
    const std::string& name;
};

int MoveWithoutRenameFlagAt(At from, At to) {
    if (linkat(from.dir, from.name.c_str(), to.dir, to.name.c_str(), 0) == 0) {
        if (unlinkat(from.dir, from.name.c_str(), 0) == 0) {
            return 0;
        }
        int error = errno;
        unlinkat(to.dir, to.name.c_str(), 0);
        return error;
    }
    int error = errno;
    if (error != EPERM && error != EMLINK && error != ENOSYS && !IsUnsupported(error)) {
        return error;  // EEXIST among them: the target is there
    }
    struct stat st {};
    if (fstatat(to.dir, to.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    if (errno != ENOENT) {
        return errno;
    }
    return renameat(from.dir, from.name.c_str(), to.dir, to.name.c_str()) == 0 ? 0 : errno;
}

int MoveOnceAt(At from, At to) {
    if (renameat2(from.dir, from.name.c_str(), to.dir, to.name.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        return MoveWithoutRenameFlagAt(from, to);
    }
    return error;
}

// Both names reach the same entry and differ only in letter case, as they do
// on a case-insensitive file system.
bool IsCaseOnlyChange(At from, At to) {
    if ((from.dir == to.dir && from.name == to.name) || !EqualsIgnoreCase(from.name, to.name)) {
        return false;
    }
    struct stat a {
    }, b{};
    return fstatat(from.dir, from.name.c_str(), &a, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstatat(to.dir, to.name.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

int MoveThroughTemporary(At from, At to) {
    std::string temp;
    int error = EEXIST;
    for (int attempt = 0; attempt < 10 && error == EEXIST; ++attempt) {
        temp = TemporaryName(to.name, {});
        error = MoveOnceAt(from, {to.dir, temp});
    }
    if (error != 0) {
        return error;
    }
    error = MoveOnceAt({to.dir, temp}, to);
    if (error != 0) {
        // Two real hard links on a case-sensitive file system, for one: put
        // the file back under its old name.
        MoveOnceAt({to.dir, temp}, from);
    }
    return error;
}

int MoveNoReplaceAt(At from, At to) {
    // The usual case costs exactly one system call.
    if (renameat2(from.dir, from.name.c_str(), to.dir, to.name.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    int result = errno;
    if (result == EINVAL || result == ENOSYS) {
        result = MoveWithoutRenameFlagAt(from, to);
    }
    if (result == EEXIST && IsCaseOnlyChange(from, to)) {
        result = MoveThroughTemporary(from, to);
    }
    return result;
}

}  // namespace

int MoveWithoutRenameFlag(const std::string& from, const std::string& to) {
    return MoveWithoutRenameFlagAt({AT_FDCWD, from}, {AT_FDCWD, to});
}

int file_detail::MoveOnce(const std::string& from, const std::string& to) {
    return MoveOnceAt({AT_FDCWD, from}, {AT_FDCWD, to});
}

bool MoveNoReplace(const std::string& from, const std::string& to, int& error) {
    error = MoveNoReplaceAt({AT_FDCWD, from}, {AT_FDCWD, to});
    return error == 0;
}

bool MoveNoReplace(const std::string& from, const std::string& to, int& error,
                   CFolderTree* folders) {
    if (folders == nullptr || !folders->IsOpen()) {
        return MoveNoReplace(from, to, error);
    }
    std::string fromName;
    std::string toName;
    const int fromDir = folders->FolderOf(from, fromName, error);
    if (fromDir < 0 && error != 0) {
        return false;
    }
    // The source's folder descriptor stays valid while the target's is
    // looked up: the tree keeps several open.
    const int toDir = folders->FolderOf(to, toName, error);
    if (toDir < 0 && error != 0) {
        return false;
    }
    error = MoveNoReplaceAt(fromDir >= 0 ? At{fromDir, fromName} : At{AT_FDCWD, from},
                            toDir >= 0 ? At{toDir, toName} : At{AT_FDCWD, to});
    return error == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace quorvan
