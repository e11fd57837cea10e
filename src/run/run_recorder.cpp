#include "run/run_recorder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <string_view>
#include <unordered_map>

#include "common/path.h"
#include "history/run_history.h"
#include "platform/dos_attrib.h"

namespace quorvan {

namespace {

// The stamp of `path` as the journal keeps it: on an overlay mount the file
// is copied up first, so that it keeps the identity recorded.
int StampForRecord(const std::string& path, FileStamp& stamp, uint32_t* mode = nullptr) {
    const std::string folder(FolderOf(path));
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return StampOf(path, stamp, mode);
    }
    const int error = StampAt(fd, std::string(NameOf(path)), stamp, mode, IsOverlayFolder(fd));
    close(fd);
    return error;
}

}  // namespace

std::vector<FileStamp> ListSourceIdentities(const std::vector<CRenamePlan::Entry>& entries) {
    std::vector<FileStamp> identities(entries.size());
    std::unordered_map<std::string_view, std::vector<uint32_t>> byFolder;
    for (uint32_t i = 0; i < entries.size(); ++i) {
        byFolder[FolderOf(entries[i].first)].push_back(i);
    }
    for (const auto& [folder, members] : byFolder) {
        const std::string spelt = folder.empty() ? "." : std::string(folder);
        const int fd = open(spelt.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        const bool overlay = IsOverlayFolder(fd);
        for (uint32_t i : members) {
            const std::string name(NameOf(entries[i].first));
            if (StampAt(fd, name, identities[i], nullptr, overlay) != 0) {
                identities[i] = {};
            }
        }
        close(fd);
    }
    return identities;
}

void CRunRecorder::Append(const JournalRecord& record) {
    if (journal_ != nullptr) {
        journal_->Append(record);
    }
}

void CRunRecorder::Rename(const std::string& from, const std::string& to, const FileStamp& known,
                          TempSide temp, const std::string& then) {
    if (journal_ == nullptr) {
        return;
    }
    // The identity alone tells where the file went; a file that cannot be
    // read is not moved either, and its record then names no file, which
    // undo passes over.
    if (known.ino != 0) {
        journal_->AppendRename(from, to, known, temp, then);
        return;
    }
    FileStamp stamp;
    StampForRecord(from, stamp);
    journal_->AppendRename(from, to, stamp, temp, then);
}

void CRunRecorder::Folder(const std::string& folder) {
    Append(FolderRecord{folder});
}

void CRunRecorder::TempFolder(const std::string& folder) {
    Append(TempFolderRecord{folder});
}

void CRunRecorder::Copy(const std::string& from, const std::string& to, const std::string& temp) {
    if (journal_ == nullptr) {
        return;
    }
    CopyRecord record{from, to, temp, {}};
    StampForRecord(temp, record.copy);
    Append(record);
}

void CRunRecorder::Trash(const std::string& path) {
    if (journal_ == nullptr) {
        return;
    }
    TrashRecord record{path, {}};
    StampForRecord(path, record.file);
    Append(record);
}

void CRunRecorder::Trashed(const std::string& path, const TrashEntry& entry) {
    Append(TrashedRecord{path, entry.file, entry.info});
}

void CRunRecorder::Attributes(const std::string& path) {
    if (journal_ == nullptr) {
        return;
    }
    AttrsRecord record;
    uint32_t mode = 0;
    if (StampForRecord(path, record.file, &mode) != 0 || S_ISLNK(mode)) {
        return;  // nothing will change
    }
    record.path = path;
    record.mode = mode & 07777;
    char value[256];
    ssize_t n = lgetxattr(path.c_str(), kDosAttribName, value, sizeof value);
    if (n >= 0) {
        record.dosAttrib = std::string(value, static_cast<size_t>(n));
    }
    Append(record);
}

void CRunRecorder::Times(const std::string& path, int64_t newAccess, int64_t newModification) {
    if (journal_ == nullptr) {
        return;
    }
    TimesRecord record;
    struct statx sx {};
    if (StampForRecord(path, record.file) != 0 ||
        statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_ATIME | STATX_MTIME, &sx) != 0) {
        return;
    }
    record.path = path;
    record.oldAtime = {sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec};
    record.oldMtime = {sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec};
    record.newAtime = {newAccess, 0};
    record.newMtime = {newModification, 0};
    Append(record);
}

void CRunRecorder::File(const std::string& from, const std::string& to, bool ok,
                        const std::string& error) {
    // A file done is named by its operation's record: no copies of its paths.
    Append(ok ? FileRecord{{}, {}, true, {}} : FileRecord{from, to, false, error});
}

void CRunRecorder::End(RunEnd status, int64_t done, int64_t failed, const std::string& reason) {
    if (journal_ != nullptr) {
        EndRecord end = MakeEndRecord(status, done, failed);
        end.reason = reason;
        journal_->AppendFinal(end);
    }
}

}  // namespace quorvan
