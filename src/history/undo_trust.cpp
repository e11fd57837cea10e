// What undo checks before it acts on a journal: that the journal is the
// user's alone and names nothing outside its run's folders.
#include "history/undo_trust.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/path.h"
#include "platform/file_identity.h"

namespace quorvan::undo_detail {

namespace {

// True when `path` is `folder` or lies below it, spelt without "." or "..".
bool Below(const std::string& path, const std::string& folder) {
    if (folder.empty() || folder[0] != '/') {
        return false;
    }
    if (path == folder) {
        return true;
    }
    const std::string prefix = folder == "/" ? "/" : folder + "/";
    if (path.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    for (size_t pos = prefix.size() - 1; pos != std::string::npos; pos = path.find('/', pos + 1)) {
        const size_t next = path.find('/', pos + 1);
        const std::string_view part = std::string_view(path).substr(
            pos + 1, next == std::string::npos ? next : next - pos - 1);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
    }
    return true;
}

// True when `path` lies in the files of a desktop trash.
bool InATrash(const std::string& path) {
    const size_t files = path.rfind("/files/");
    if (files == std::string::npos || path.find('/', files + 7) != std::string::npos) {
        return false;
    }
    const std::string holder = path.substr(0, files);
    const std::string_view name = NameOf(holder);
    return name == "Trash" || name.rfind(".Trash-", 0) == 0 ||
           holder.find("/.Trash/") != std::string::npos;
}

bool Private(const std::string& path, bool folder) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && (folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) &&
           st.st_uid == geteuid() && (st.st_mode & 022) == 0;
}

}  // namespace

// Why undo must not act on this journal, or "" when it may: the history
// folder and the journal must be the user's alone.
std::string Distrust(const std::string& journalPath) {
    const std::string_view folder = FolderOf(journalPath);
    const std::string history = folder.empty() ? "." : std::string(folder);
    if (!Private(history, true) || !Private(journalPath, false)) {
        return "the history folder " + history +
               " or the journal in it is not private (it must be yours and writable by you "
               "alone)";
    }
    return "";
}

// A path of `record` that lies outside the run's folder or destination, or
// "": undo acts on nothing else.
std::string Outside(const JournalRecord& record, const StartRecord& start) {
    std::string outside;
    auto check = [&](const std::string& path) {
        if (outside.empty() && !path.empty() && !Below(path, start.folder) &&
            !(start.mode == RunMode::Copy && Below(path, start.destination))) {
            outside = path;
        }
    };
    std::visit(
        [&](const auto& r) {
            using T = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<T, RenameRecord>) {
                check(r.from);
                check(r.to);
                check(r.then);
            } else if constexpr (std::is_same_v<T, CopyRecord>) {
                check(r.from);
                check(r.to);
                check(r.temp);
            } else if constexpr (std::is_same_v<T, TrashedRecord>) {
                check(r.path);
                if (outside.empty() && !r.trashFile.empty() && !InATrash(r.trashFile)) {
                    outside = r.trashFile;
                }
            } else if constexpr (std::is_same_v<T, TrashRecord> || std::is_same_v<T, AttrsRecord> ||
                                 std::is_same_v<T, TimesRecord> ||
                                 std::is_same_v<T, TempFolderRecord> ||
                                 std::is_same_v<T, FolderRecord>) {
                check(r.path);
            }
        },
        record);
    return outside;
}

std::string Unreachable(const std::string& folder, uint64_t fsid) {
    FileStamp now;
    uint32_t mode = 0;
    if (StampOf(folder, now, &mode) != 0 || !S_ISDIR(mode)) {
        return "its folder " + folder + " cannot be reached (is its drive plugged in?)";
    }
    if (fsid != 0 && now.fsid != 0 && now.fsid != fsid) {
        return "its folder " + folder +
               " is not on the drive the run worked on (is that drive plugged in?)";
    }
    return "";
}

}  // namespace quorvan::undo_detail
