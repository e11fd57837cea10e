#include "selection/start_paths.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/path.h"
#include "platform/file_system.h"
#include "selection/source_scan.h"

namespace quorvan {
namespace {

bool IsFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The paths here are absolute.
std::string FolderOfPath(const std::string& path) {
    const std::string_view folder = FolderOf(path);
    return folder.empty() ? std::string("/") : std::string(folder);
}

// The path below `folder` ("/" included), without the separator.
std::string RelativeTo(const std::string& folder, const std::string& path) {
    return path.substr(IsRootPath(folder) ? 1 : folder.size() + 1);
}

}  // namespace

std::string CommonFolder(const std::vector<std::string>& folders) {
    if (folders.empty()) {
        return "/";
    }
    std::string common = folders.front();
    for (const std::string& folder : folders) {
        // Shorten to the last separator until `common` is a whole-component
        // prefix of `folder`.
        while (!IsRootPath(common) &&
               !(folder == common ||
                 (folder.size() > common.size() && folder.compare(0, common.size(), common) == 0 &&
                  folder[common.size()] == '/'))) {
            common = FolderOfPath(common);
        }
    }
    return common;
}

StartSelection ResolveStartPaths(const std::vector<std::string>& paths) {
    StartSelection selection;
    if (paths.empty()) {
        return selection;
    }
    if (paths.size() == 1 && (!EntryExists(paths.front()) || IsFolder(paths.front()))) {
        const std::string& path = paths.front();
        selection.folder = EntryExists(path) ? MakeAbsolutePath(path) : path;
        return selection;
    }
    std::vector<std::string> files;
    std::vector<std::string> givenFolders;
    for (const std::string& path : paths) {
        if (path.empty() || !EntryExists(path)) {
            selection.missing.push_back(path);
            continue;
        }
        const std::string absolute = MakeAbsolutePath(path);
        if (!IsFolder(absolute)) {
            files.push_back(absolute);
            continue;
        }
        givenFolders.push_back(absolute);
        std::vector<SourceFile> listed;
        int error = 0;
        ListSourceFolder(absolute, listed, error);
        for (SourceFile& file : listed) {
            files.push_back(std::move(file.path));
        }
    }
    if (files.empty() && givenFolders.empty()) {
        return selection;
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());

    std::vector<std::string> folders = givenFolders;
    for (const std::string& file : files) {
        folders.push_back(FolderOfPath(file));
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    selection.folder = CommonFolder(folders);
    selection.chosen = true;
    selection.acrossFolders = folders.size() > 1;
    for (const std::string& file : files) {
        selection.files.push_back(RelativeTo(selection.folder, file));
    }
    return selection;
}

}  // namespace quorvan
