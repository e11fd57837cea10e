#include "run/run_recorder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <string_view>
#include <unordered_map>

#include "platform/dos_attrib.h"
#include "run/run_history.h"

namespace quorvan {

std::vector<FileIdentity> ListSourceIdentities(const std::vector<CRenamePlan::Entry>& entries) {
    std::vector<FileIdentity> identities(entries.size());
    std::unordered_map<std::string_view, std::vector<uint32_t>> byFolder;
    for (uint32_t i = 0; i < entries.size(); ++i) {
        const std::string& path = entries[i].first;
        const size_t slash = path.rfind('/');
        byFolder[std::string_view(path).substr(0, slash == std::string::npos ? 0 : slash)]
            .push_back(i);
    }
    for (const auto& [folder, members] : byFolder) {
        const std::string spelt = folder.empty() ? "/" : std::string(folder);
        const int fd = open(spelt.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st {};
        DIR* listing = fd >= 0 && fstat(fd, &st) == 0 ? fdopendir(fd) : nullptr;
        if (listing == nullptr) {
            if (fd >= 0) {
                close(fd);
            }
            continue;
        }
        std::unordered_map<std::string_view, uint32_t> names;
        names.reserve(members.size());
        for (uint32_t i : members) {
            names.emplace(std::string_view(entries[i].first).substr(folder.size() + 1), i);
        }
        int32_t sample = -1;
        while (const dirent* d = readdir(listing)) {
            auto found = names.find(d->d_name);
            if (found != names.end()) {
                identities[found->second] = {st.st_dev, d->d_ino};
                sample = static_cast<int32_t>(found->second);
            }
        }
        closedir(listing);
        // A file system whose listing numbers files otherwise (some overlays
        // and FUSE file systems) gives nothing here.
        FileStamp check;
        if (sample >= 0 && (StampOf(entries[static_cast<size_t>(sample)].first, check) != 0 ||
                            check.dev != identities[static_cast<size_t>(sample)].dev ||
                            check.ino != identities[static_cast<size_t>(sample)].ino)) {
            for (uint32_t i : members) {
                identities[i] = {};
            }
        }
    }
    return identities;
}

void CRunRecorder::Append(const JournalRecord& record) {
    if (journal_ != nullptr) {
        journal_->Append(record);
    }
}

void CRunRecorder::Rename(const std::string& from, const std::string& to, const FileIdentity& known,
                          TempSide temp, const std::string& then) {
    if (journal_ == nullptr) {
        return;
    }
    // The identity alone tells where the file went; a file that cannot be
    // read is not moved either, and its record then names no file, which
    // undo passes over.
    FileStamp stamp;
    if (known.ino != 0) {
        stamp.dev = known.dev;
        stamp.ino = known.ino;
    } else {
        StampOf(from, stamp);
    }
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
    // A file done is named by its operation's record: no copies of its paths.
    Append(ok ? FileRecord{{}, {}, true, {}} : FileRecord{from, to, false, error});
}

void CRunRecorder::End(RunEnd status, int64_t done, int64_t failed) {
    Append(MakeEndRecord(status, done, failed));
}

}  // namespace quorvan
