#include "selection/source_scan.h"

#include <cerrno>
#include <unordered_set>

#include "common/path.h"
#include "common/product.h"
#include "common/text.h"
#include "platform/file_system.h"
#include "rules/control_ids.h"

namespace quorvan {

std::string ScanPatternOf(std::string_view name) {
    std::string pattern = "*";
    pattern += Utf8ToLower(ExtensionOf(name));
    return pattern;
}

bool ListSourceFolder(const std::string& folder, std::vector<SourceFile>& files, int& error) {
    error = 0;
    // An empty folder field names no folder (not the working directory).
    if (folder.empty()) {
        error = ENOENT;
        return false;
    }
    return ListFolder(
        folder,
        [&](const FolderEntry& entry) {
            if (entry.isFolder || entry.isLinkToFolder) {
                return;
            }
            files.push_back({JoinPath(folder, entry.name), ScanPatternOf(entry.name)});
        },
        error);
}

void FillExtensionLists(CPageControls& filterPage, const std::vector<std::string>& patterns) {
    filterPage.ClearRows(ids::kFilterExcludeList);
    filterPage.ClearRows(ids::kFilterIncludeList);
    // Patterns are lower-cased already, so an exact duplicate is the only kind
    // worth skipping before the page's own case-insensitive check.
    std::unordered_set<std::string> offered;
    for (const std::string& pattern : patterns) {
        if (!offered.insert(pattern).second) {
            continue;
        }
        filterPage.AddUniqueRow(ids::kFilterExcludeList, pattern);
        filterPage.AddUniqueRow(ids::kFilterIncludeList, pattern);
    }
}

void FillExtensionLists(CPageControls& filterPage, const std::vector<SourceFile>& files) {
    std::vector<std::string> patterns;
    patterns.reserve(files.size());
    for (const SourceFile& file : files) {
        patterns.push_back(file.pattern);
    }
    FillExtensionLists(filterPage, patterns);
}

bool CFileListBuilder::IsRunFile(const std::string& path) const {
    return (!logFile_.empty() && path == logFile_) || (!undoFile_.empty() && path == undoFile_);
}

bool CFileListBuilder::AddFileIfAccepted(const std::string& path) {
    if (!filter_.Matches(path)) {
        return false;
    }
    // A run renaming the log it writes would leave an undo entry undoing that.
    if (IsRunFile(path)) {
        rules_.LeaveOut(path);
        return false;
    }
    rules_.AddSource(path);
    return true;
}

int32_t CFileListBuilder::CollectFolderTree(const std::string& folder) {
    visited_.clear();
    WalkFolder(folder);
    visited_.clear();
    return fileCount;
}

void CFileListBuilder::WalkFolder(const std::string& folder) {
    // Bind mounts and the like can make a folder its own descendant; a folder
    // already walked is not walked again.
    if (folder.empty()) {
        if (onUnreadable_) {
            onUnreadable_(folder, ENOENT);
        }
        return;
    }
    uint64_t device = 0;
    uint64_t inode = 0;
    if (FolderIdentity(folder, device, inode) && !visited_.emplace(device, inode).second) {
        return;
    }
    // The level is read completely before descending, so that a deep tree does
    // not hold one open folder per level.
    std::vector<FolderEntry> entries;
    int error = 0;
    if (!ListFolder(
            folder, [&](const FolderEntry& entry) { entries.push_back(entry); }, error) &&
        onUnreadable_) {
        onUnreadable_(folder, error);
    }
    for (const FolderEntry& entry : entries) {
        if (entry.isLinkToFolder) {
            continue;
        }
        std::string path = JoinPath(folder, entry.name);
        if (entry.isFolder) {
            WalkFolder(path);
        } else if (AddFileIfAccepted(path)) {
            ++fileCount;
        }
    }
}

bool CFileListBuilder::BuildFileList(const FileListRequest& request) {
    fileCount = 0;
    bool result = false;
    rules_.ClearPlan();
    rules_.GatherFromPages(request.sourceFolder);
    filter_.ReadFromPage();
    const RenameSettings& settings = rules_.Settings();
    logFile_ = settings.LogFile ? JoinPath(request.sourceFolder, kLogFileName) : std::string();
    undoFile_ =
        settings.UndoBatchFile ? JoinPath(request.sourceFolder, kUndoFileName) : std::string();

    if (request.renameCdAudio) {
        // One position per source row; the track order never holds more.
        for (size_t i = 0; i < request.sourceRows.size(); ++i) {
            result = true;
            if (i < request.cdTrackOrder.size() && !request.cdTrackOrder[i].empty() &&
                AddFileIfAccepted(request.cdTrackOrder[i])) {
                ++fileCount;
            }
        }
    } else if (rules_.Settings().IncludeSubFolders) {
        CollectFolderTree(request.sourceFolder);
        result = fileCount != 0;
    } else {
        for (const SourceRow& row : request.sourceRows) {
            if (!row.ticked) {
                continue;
            }
            result = true;
            if (!row.path.empty() && AddFileIfAccepted(row.path)) {
                ++fileCount;
            }
        }
    }
    return result;
}

}  // namespace quorvan
