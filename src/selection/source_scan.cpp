#include "selection/source_scan.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <unordered_set>

#include "common/path.h"
#include "common/product.h"
#include "common/text.h"
#include "platform/file_system.h"

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

void CSourceNames::Clear() {
    folder_.clear();
    text_.clear();
    text_.shrink_to_fit();
    starts_.clear();
    starts_.shrink_to_fit();
}

void CSourceNames::Append(std::string_view name) {
    if (starts_.empty()) {
        starts_.push_back(0);
    }
    text_.append(name);
    starts_.push_back(text_.size());
}

bool CSourceNames::List(const std::string& folder, int& error) {
    Clear();
    folder_ = folder;
    error = 0;
    if (folder.empty()) {
        error = ENOENT;
        return false;
    }
    const bool listed = ListFolder(
        folder,
        [&](const FolderEntry& entry) {
            if (!entry.isFolder && !entry.isLinkToFolder) {
                Append(entry.name);
            }
        },
        error);
    Sort();
    return listed;
}

void CSourceNames::Assign(std::string folder, const std::vector<std::string>& names) {
    Clear();
    folder_ = std::move(folder);
    for (const std::string& name : names) {
        Append(name);
    }
    Sort();
}

void CSourceNames::Sort() {
    const size_t count = Size();
    std::vector<uint32_t> order(count);
    for (size_t i = 0; i < count; ++i) {
        order[i] = static_cast<uint32_t>(i);
    }
    auto less = [this](uint32_t a, uint32_t b) { return Name(a) < Name(b); };
    if (std::is_sorted(order.begin(), order.end(), less)) {
        text_.shrink_to_fit();
        starts_.shrink_to_fit();
        return;
    }
    std::sort(order.begin(), order.end(), less);
    std::string sorted;
    sorted.reserve(text_.size());
    std::vector<size_t> starts;
    starts.reserve(count + 1);
    starts.push_back(0);
    for (uint32_t row : order) {
        sorted.append(Name(row));
        starts.push_back(sorted.size());
    }
    text_ = std::move(sorted);
    starts_ = std::move(starts);
}

std::string CSourceNames::Path(size_t row) const {
    return JoinPath(folder_, Name(row));
}

std::vector<std::string> CSourceNames::Patterns() const {
    std::vector<std::string> patterns;
    std::unordered_set<std::string> seen;
    for (size_t row = 0; row < Size(); ++row) {
        std::string pattern = ScanPatternOf(Name(row));
        if (seen.insert(pattern).second) {
            patterns.push_back(std::move(pattern));
        }
    }
    return patterns;
}

namespace {

// Empties the list and gives it one row per pattern, letter case ignored, in
// ascending order of the text; a row ticked before is ticked again.
void RefillList(std::vector<ExtensionRow>& list, const std::vector<std::string>& patterns) {
    std::unordered_set<std::string> ticked;
    for (const ExtensionRow& row : list) {
        if (row.ticked) {
            ticked.insert(row.pattern);
        }
    }
    list.clear();
    std::unordered_set<std::string> folded;
    for (const std::string& pattern : patterns) {
        if (folded.insert(Utf8ToLower(pattern)).second) {
            list.push_back({pattern, ticked.count(pattern) != 0});
        }
    }
    std::sort(list.begin(), list.end(),
              [](const ExtensionRow& a, const ExtensionRow& b) { return a.pattern < b.pattern; });
}

}  // namespace

void FillExtensionLists(FilterPageState& filterPage, const std::vector<std::string>& patterns) {
    // An extension ticked before stays ticked while the folder still has it:
    // cleared ticks under a filter left on would empty the next job.
    RefillList(filterPage.excludeList, patterns);
    RefillList(filterPage.includeList, patterns);
}

void FillExtensionLists(CStatePage<FilterPageState>& filterPage,
                        const std::vector<std::string>& patterns) {
    FilterPageState state = filterPage.State();
    FillExtensionLists(state, patterns);
    filterPage.SetState(state);
}

void FillExtensionLists(CStatePage<FilterPageState>& filterPage,
                        const std::vector<SourceFile>& files) {
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

void CListedFolder::Load(std::string_view folder) {
    folder_.assign(folder);
    loaded_ = true;
    hashes_.clear();
    const std::string spelt = folder_.empty() ? "/" : folder_;
    std::string sample;
    int error = 0;
    if (!ListFolder(
            spelt,
            [&](const FolderEntry& entry) {
                if (entry.isRegularFile) {
                    hashes_.push_back(std::hash<std::string_view>()(entry.name));
                    sample = entry.name;
                }
            },
            error) ||
        sample.empty()) {
        hashes_.clear();
        return;
    }
    // A folder that can be listed but not entered: its files cannot be reached.
    FileStatus status;
    if (!GetFileStatus(JoinPath(spelt, sample), status, kStatusExists)) {
        hashes_.clear();
        return;
    }
    std::sort(hashes_.begin(), hashes_.end());
}

bool CListedFolder::HasFile(const std::string& path) {
    const std::string_view folder = FolderOf(path);
    if (folder.empty()) {
        return false;
    }
    if (!loaded_ || folder != folder_) {
        Load(folder);
    }
    return std::binary_search(hashes_.begin(), hashes_.end(),
                              std::hash<std::string_view>()(NameOf(path)));
}

bool CFileListBuilder::AddFileIfAccepted(const std::string& path) {
    return AddFileIfAccepted(path, false);
}

bool CFileListBuilder::AddFileIfAccepted(const std::string& path, bool listedAsFile) {
    if (!(listedAsFile && !filtersOn_) && !filter_.Matches(path)) {
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
        if (Cancelled(cancel_)) {
            return;
        }
        if (entry.isLinkToFolder) {
            continue;
        }
        std::string path = JoinPath(folder, entry.name);
        if (entry.isFolder) {
            WalkFolder(path);
        } else if (AddFileIfAccepted(path, entry.isRegularFile)) {
            ++fileCount;
        }
    }
}

bool CFileListBuilder::BuildFileList(const FileListRequest& request) {
    fileCount = 0;
    bool result = false;
    rules_.ClearPlan();
    rules_.GatherFromPages(request.sourceFolder);
    filtersOn_ = filter_.ReadFromPage();
    listed_ = CListedFolder();
    const RenameSettings& settings = rules_.Settings();
    logFile_ = settings.LogFile ? JoinPath(request.sourceFolder, kLogFileName) : std::string();
    undoFile_ =
        settings.UndoBatchFile ? JoinPath(request.sourceFolder, kUndoFileName) : std::string();

    if (request.renameCdAudio) {
        // One position per source row; the track order never holds more.
        const size_t rowCount =
            request.rows != nullptr ? request.rows->RowCount() : request.sourceRows.size();
        for (size_t i = 0; i < rowCount && !CancelledAt(cancel_, i); ++i) {
            result = true;
            if (i < request.cdTrackOrder.size() && !request.cdTrackOrder[i].empty() &&
                AddFileIfAccepted(request.cdTrackOrder[i])) {
                ++fileCount;
            }
        }
    } else if (rules_.Settings().IncludeSubFolders && request.treeFromRows) {
        const size_t rowCount =
            request.rows != nullptr ? request.rows->RowCount() : request.sourceRows.size();
        for (size_t row = 0; row < rowCount; ++row) {
            const std::string path =
                request.rows != nullptr ? request.rows->RowPath(row) : request.sourceRows[row].path;
            if (!path.empty() && AddFileIfAccepted(path)) {
                ++fileCount;
            }
        }
        result = fileCount != 0;
    } else if (rules_.Settings().IncludeSubFolders) {
        CollectFolderTree(request.sourceFolder);
        result = fileCount != 0;
    } else if (request.rows != nullptr) {
        const ISourceRows& rows = *request.rows;
        size_t ticked = 0;
        for (size_t row = 0; row < rows.RowCount(); ++row) {
            ticked += rows.RowTicked(row) ? 1 : 0;
        }
        // A plan grown entry by entry would hold up to twice its size.
        rules_.ReservePlan(ticked);
        for (size_t row = 0; row < rows.RowCount(); ++row) {
            if (CancelledAt(cancel_, row)) {
                break;
            }
            if (!rows.RowTicked(row)) {
                continue;
            }
            result = true;
            const std::string path = rows.RowPath(row);
            if (!path.empty() && AddFileIfAccepted(path, !filtersOn_ && listed_.HasFile(path))) {
                ++fileCount;
            }
        }
    } else {
        for (size_t i = 0; i < request.sourceRows.size() && !CancelledAt(cancel_, i); ++i) {
            const SourceRow& row = request.sourceRows[i];
            if (!row.ticked) {
                continue;
            }
            result = true;
            if (!row.path.empty() &&
                AddFileIfAccepted(row.path, !filtersOn_ && listed_.HasFile(row.path))) {
                ++fileCount;
            }
        }
    }
    return result;
}

}  // namespace quorvan
