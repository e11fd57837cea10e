#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cancel.h"
#include "platform/file_identity.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"

namespace quorvan {

// One file found by the scan of the source folder.
struct SourceFile {
    std::string path;     // folder and name joined by exactly one "/"
    std::string pattern;  // "*" + lower-cased extension, "*" without a dot
};

// Lists one level of a folder: every entry that is not a folder, in the order
// the file system returns them (symbolic links to folders are left out). False
// with the errno in `error` when the folder cannot be read; `files` then holds
// whatever was listed before the failure.
bool ListSourceFolder(const std::string& folder, std::vector<SourceFile>& files, int& error);

// The extension pattern of a bare file name, as the scan puts it on the lists.
std::string ScanPatternOf(std::string_view name);

// The files of one folder level in byte-wise order, each name kept once in
// one buffer: a million rows cost little more than their names. A row's path
// is the folder and the name joined by one "/", so the names' order is the
// paths' order.
class CSourceNames final {
  public:
    // Lists the folder as ListSourceFolder does, replacing what was held.
    // False with the errno in `error` when it cannot be read; what was listed
    // before the failure is kept.
    bool List(const std::string& folder, int& error);
    // Holds these names of `folder` instead (any order; duplicates stay).
    void Assign(std::string folder, const std::vector<std::string>& names);
    void Clear();

    size_t Size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
    const std::string& Folder() const { return folder_; }
    std::string_view Name(size_t row) const {
        return std::string_view(text_).substr(starts_[row], starts_[row + 1] - starts_[row]);
    }
    std::string Path(size_t row) const;
    // Every extension pattern once, in the order first met.
    std::vector<std::string> Patterns() const;

  private:
    void Append(std::string_view name);
    void Sort();

    std::string folder_;
    std::string text_;
    std::vector<size_t> starts_;  // row i is [starts_[i], starts_[i + 1])
};

// Refills both extension lists of the Filter page with one row per pattern
// (the first of those equal but for letter case), in ascending order of the
// text. A row ticked before is ticked again when its pattern is offered.
void FillExtensionLists(FilterPageState& filterPage, const std::vector<std::string>& patterns);
void FillExtensionLists(CStatePage<FilterPageState>& filterPage,
                        const std::vector<std::string>& patterns);
void FillExtensionLists(CStatePage<FilterPageState>& filterPage,
                        const std::vector<SourceFile>& files);

// One row of the source list.
struct SourceRow {
    std::string path;
    bool ticked = false;
};

// The source list where its owner keeps it, read without copying its rows.
class ISourceRows {
  public:
    virtual ~ISourceRows() = default;
    virtual size_t RowCount() const = 0;
    virtual std::string RowPath(size_t row) const = 0;
    virtual bool RowTicked(size_t row) const = 0;
};

// What the file list is built from, as the window (or the command line) holds
// it at the moment of Preview or Start.
struct FileListRequest {
    std::string sourceFolder;
    std::vector<SourceRow> sourceRows;  // in list order
    // When set, the rows are read from here instead of sourceRows.
    const ISourceRows* rows = nullptr;
    std::vector<std::string> cdTrackOrder;  // the CD audio page's track order
    bool renameCdAudio = false;             // "Rename CD Audio Files" ticked
    // The rows are files chosen across the folder tree: with "Include
    // subfolders" on, they take part instead of the whole tree.
    bool treeFromRows = false;
};

// The plain files of one folder as one listing saw them, kept as hashes of
// their names. With no filter group on only a file's existence counts, and a
// listing answers that for a whole folder where asking the system about each
// file would cost about as much as renaming it.
class CListedFolder final {
  public:
    // True when the listing of the path's folder showed a plain file of that
    // name; false also when it cannot say (the caller then asks the system).
    bool HasFile(const std::string& path);

  private:
    void Load(std::string_view folder);

    std::string folder_;
    bool loaded_ = false;
    std::vector<uint64_t> hashes_;  // sorted
};

// Fills the rename plan with the files that the filter accepts.
class CFileListBuilder final {
  public:
    // Told about every folder of a tree walk that cannot be read.
    using UnreadableFolderHandler = std::function<void(const std::string& folder, int error)>;

    CFileListBuilder(CRenameRules& rules, CFilterSettings& filter)
        : rules_(rules), filter_(filter) {}

    void SetUnreadableFolderHandler(UnreadableFolderHandler handler) {
        onUnreadable_ = std::move(handler);
    }
    // Once set, BuildFileList stops part way, its plan only good for throwing
    // away.
    void SetCancelFlag(const CancelFlag* cancel) { cancel_ = cancel; }

    // Adds the file to the plan when the filter lets it pass; the run's own
    // log and undo script are left out.
    bool AddFileIfAccepted(const std::string& path);
    // The same for a file a listing made just now has shown to be a plain
    // file: with no filter group on, its existence is not asked again.
    bool AddFileIfAccepted(const std::string& path, bool listedAsFile);
    // Offers every file below the folder, depth first with sub-folders walked
    // where they are met; adds the accepted ones to fileCount and returns it.
    // Symbolic links to folders are not followed and no folder is walked twice.
    int32_t CollectFolderTree(const std::string& folder);
    // Clears the plan, gathers the pages and the filter, then offers the files
    // of the chosen mode: CD track order, folder tree or ticked rows. True when
    // something was selected (even if the filter rejected all of it).
    bool BuildFileList(const FileListRequest& request);

    // Files put into the plan by the last BuildFileList.
    int32_t fileCount = 0;

  private:
    void WalkFolder(const std::string& folder);
    // The run's own log and undo script, when it writes them.
    bool IsRunFile(const std::string& path) const;

    CRenameRules& rules_;
    CFilterSettings& filter_;
    bool filtersOn_ = true;  // as the last BuildFileList found the page
    CListedFolder listed_;
    UnreadableFolderHandler onUnreadable_;
    const CancelFlag* cancel_ = nullptr;
    std::set<DeviceInode> visited_;
    std::string logFile_;
    std::string undoFile_;
};

}  // namespace quorvan
