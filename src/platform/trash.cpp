#include "platform/trash.h"

#include <dirent.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "common/path.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"

namespace quorvan {

namespace {

bool FolderDevice(const std::string& folder, uint64_t& dev) {
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    dev = static_cast<uint64_t>(st.st_dev);
    return true;
}

// Paths here are absolute; a bare name counts as one below the root.
std::string ParentOf(const std::string& path) {
    const std::string_view folder = FolderOf(path);
    return folder.empty() ? "/" : std::string(folder);
}

// The top folder of the mount that holds `path` (or held it, when it is gone):
// the highest ancestor on the same device as the nearest existing one.
std::string MountTop(const std::string& path) {
    std::string folder = ParentOf(path);
    uint64_t dev = 0;
    while (!FolderDevice(folder, dev)) {
        if (folder == "/") {
            return "/";
        }
        folder = ParentOf(folder);
    }
    while (folder != "/") {
        std::string parent = ParentOf(folder);
        uint64_t parentDev = 0;
        if (!FolderDevice(parent, parentDev) || parentDev != dev) {
            break;
        }
        folder = parent;
    }
    return folder;
}

// The trashes that could hold a file of device `dev` that was at `path`: the
// home trash and the two kinds of trash at the top of its mount. A trash keeps
// its files on its own device, so only those on `dev` count.
std::vector<std::string> CandidateTrashes(const std::string& path, uint64_t dev) {
    std::string top = MountTop(path);
    if (top == "/") {
        top.clear();
    }
    std::string uid = std::to_string(getuid());
    std::vector<std::string> result;
    for (const std::string& trash :
         {HomeTrashFolder(), top + "/.Trash/" + uid, top + "/.Trash-" + uid}) {
        uint64_t filesDev = 0;
        if (FolderDevice(trash + "/files", filesDev) && filesDev == dev) {
            result.push_back(trash);
        }
    }
    return result;
}

// The name GIO gives the n-th file of one name (n from 2): "a.2.txt", "b.2",
// ".2.hidden".
std::string NumberedName(const std::string& name, int n) {
    std::string number = std::to_string(n);
    if (!name.empty() && name[0] == '.') {
        return "." + number + name;
    }
    size_t dot = name.find('.');
    if (dot == std::string::npos) {
        return name + "." + number;
    }
    return name.substr(0, dot) + "." + number + name.substr(dot);
}

bool IsEntry(const std::string& path, const FileStamp& file) {
    FileStamp stamp;
    return StampOf(path, stamp) == 0 && stamp.SameInode(file);
}

TrashEntry EntryFor(const std::string& trash, const std::string& name) {
    return {trash + "/files/" + name, trash + "/info/" + name + ".trashinfo"};
}

// Tries the names GIO would have chosen, in its order, until one is free: a
// few system calls where a scan of a large trash would read every entry.
std::optional<TrashEntry> FindByName(const std::string& trash, const std::string& name,
                                     const FileStamp& file) {
    for (int n = 1; n < 10000; ++n) {
        std::string candidate = n == 1 ? name : NumberedName(name, n);
        TrashEntry entry = EntryFor(trash, candidate);
        if (IsEntry(entry.file, file)) {
            return entry;
        }
        if (!EntryExists(entry.file) && !EntryExists(entry.info)) {
            break;
        }
    }
    return std::nullopt;
}

std::optional<TrashEntry> FindByScan(const std::string& trash, const FileStamp& file) {
    std::string files = trash + "/files";
    DIR* dir = opendir(files.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::optional<TrashEntry> found;
    while (dirent* d = readdir(dir)) {
        std::string_view name = d->d_name;
        if (static_cast<uint64_t>(d->d_ino) != file.ino || name == "." || name == "..") {
            continue;
        }
        TrashEntry entry = EntryFor(trash, d->d_name);
        if (IsEntry(entry.file, file)) {
            found = entry;
            break;
        }
    }
    closedir(dir);
    return found;
}

}  // namespace

std::string HomeTrashFolder() {
    return std::string(g_get_user_data_dir()) + "/Trash";
}

std::optional<TrashEntry> FindInTrash(const std::string& originalPath, const FileStamp& file) {
    const std::string name(NameOf(originalPath));
    std::vector<std::string> trashes = CandidateTrashes(originalPath, file.dev);
    for (const std::string& trash : trashes) {
        if (auto entry = FindByName(trash, name, file)) {
            return entry;
        }
    }
    for (const std::string& trash : trashes) {
        if (auto entry = FindByScan(trash, file)) {
            return entry;
        }
    }
    return std::nullopt;
}

bool MoveToTrash(const std::string& path, TrashEntry& entry, std::string& error) {
    entry = TrashEntry{};
    FileStamp stamp;
    if (int result = StampOf(path, stamp)) {
        error = ErrorText(result);
        return false;
    }
    // The local file system directly: no GIO modules, no session bus.
    GFile* file = g_vfs_get_file_for_path(g_vfs_get_local(), path.c_str());
    GError* gerror = nullptr;
    bool ok = g_file_trash(file, nullptr, &gerror);
    g_object_unref(file);
    if (!ok) {
        error = gerror != nullptr ? gerror->message : "the file could not be moved to the trash";
        if (gerror != nullptr) {
            g_error_free(gerror);
        }
        return false;
    }
    if (auto found = FindInTrash(path, stamp)) {
        entry = *found;
    }
    return true;
}

int RestoreFromTrash(const TrashEntry& entry, const std::string& path) {
    int error = 0;
    if (!MoveNoReplace(entry.file, path, error)) {
        return error;
    }
    if (!entry.info.empty()) {
        unlink(entry.info.c_str());
    }
    return 0;
}

}  // namespace quorvan
