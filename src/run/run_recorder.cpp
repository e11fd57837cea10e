#include "run/run_recorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>

#include "platform/dos_attrib.h"
#include "run/run_history.h"

namespace quorvan {

void CRunRecorder::Append(const JournalRecord& record) {
    if (journal_ != nullptr) {
        journal_->Append(record);
    }
}

void CRunRecorder::Rename(const std::string& from, const std::string& to, TempSide temp,
                          const std::string& then) {
    if (journal_ == nullptr) {
        return;
    }
    // A file that cannot be read is not moved either; its record then names
    // no file, which undo passes over.
    FileStamp stamp;
    StampOf(from, stamp);
    journal_->AppendRename(from, to, stamp, temp, then);
}

void CRunRecorder::TempFolder(const std::string& folder) {
    Append(TempFolderRecord{folder});
}

void CRunRecorder::Copy(const std::string& from, const std::string& to, const std::string& temp) {
    if (journal_ == nullptr) {
        return;
    }
    CopyRecord record{from, to, temp, {}};
    StampOf(temp, record.copy);
    Append(record);
}

void CRunRecorder::Trash(const std::string& path) {
    if (journal_ == nullptr) {
        return;
    }
    TrashRecord record{path, {}};
    StampOf(path, record.file);
    Append(record);
}

void CRunRecorder::Trashed(const std::string& path, const TrashEntry& entry) {
    Append(TrashedRecord{path, entry.file, entry.info});
}

void CRunRecorder::Attributes(const std::string& path) {
    if (journal_ == nullptr) {
        return;
    }
    FileStamp stamp;
    uint32_t mode = 0;
    if (StampOf(path, stamp, &mode) != 0 || S_ISLNK(mode)) {
        return;  // nothing will change
    }
    AttrsRecord record;
    record.path = path;
    record.dev = stamp.dev;
    record.ino = stamp.ino;
    record.btime = stamp.btime;
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
    struct statx sx {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW,
              STATX_INO | STATX_ATIME | STATX_MTIME | STATX_BTIME, &sx) != 0) {
        return;
    }
    TimesRecord record;
    record.path = path;
    record.dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    record.ino = sx.stx_ino;
    if (sx.stx_mask & STATX_BTIME) {
        record.btime = {sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec};
    }
    record.oldAtime = {sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec};
    record.oldMtime = {sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec};
    record.newAtime = {newAccess, 0};
    record.newMtime = {newModification, 0};
    Append(record);
}

void CRunRecorder::File(const std::string& from, const std::string& to, bool ok,
                        const std::string& error) {
    Append(FileRecord{from, to, ok, ok ? std::string() : error});
}

void CRunRecorder::End(RunEnd status, int64_t done, int64_t failed) {
    Append(MakeEndRecord(status, done, failed));
}

}  // namespace quorvan
