#pragma once

// The undo of one journal, shared by the files of undo: the steps on single
// files (undo_steps.cpp) and their order, counting and recording
// (undo_run.cpp).

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "history/undo_run.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/trash.h"

namespace quorvan::undo_detail {

// Files recorded in the journal, found again by what they are now: by inode
// number, then by the whole identity, as the file system's device number may
// have changed since (a remount).
class CRecordedFiles final {
  public:
    void Add(const FileStamp& stamp) { byInode_.emplace(stamp.ino, stamp); }
    bool Holds(const FileStamp& now) const {
        auto [first, last] = byInode_.equal_range(now.ino);
        for (auto it = first; it != last; ++it) {
            if (it->second.SameInode(now)) {
                return true;
            }
        }
        return false;
    }

  private:
    std::unordered_multimap<uint64_t, FileStamp> byInode_;
};

using FileKey = DeviceInode;

inline FileKey KeyOf(const FileStamp& stamp) {
    return DeviceInodeOf(stamp);
}

// Why undo leaves a file alone that it cannot prove to be the run's.
std::string NotTheRunsFile(const std::string& path);

UndoStep MakeStep(UndoStep::Kind kind, int64_t record, std::string path, std::string target = {});

// The file system as an undo sees it. A dry run changes nothing: it keeps
// what each step would have done in an overlay that later steps look
// through, so that a chain of renames back is judged as it would go.
class UndoFs final {
  public:
    explicit UndoFs(bool dry) : dry_(dry) {}

    // The entry at `path` itself, nothing when there is none; `error` gets
    // the reason when it could not be looked at for another reason.
    std::optional<FileStamp> Look(const std::string& path, int* error = nullptr) {
        if (dry_) {
            if (auto it = overlay_.find(path); it != overlay_.end()) {
                return it->second;
            }
        }
        FileStamp stamp;
        int result = StampOf(path, stamp);
        if (error != nullptr) {
            *error = result == ENOENT || result == ENOTDIR ? 0 : result;
        }
        return result == 0 ? std::optional(stamp) : std::nullopt;
    }

    // Never replaces anything at `to`.
    int Move(const std::string& from, const std::string& to) {
        if (!dry_) {
            int error = 0;
            return MoveNoReplace(from, to, error) ? 0 : error;
        }
        auto source = Look(from);
        if (!source) {
            return ENOENT;
        }
        if (Look(to)) {
            return EEXIST;
        }
        overlay_[from] = std::nullopt;
        overlay_[to] = source;
        return 0;
    }

    bool Trash(const std::string& path, TrashEntry& where, std::string& error) {
        if (!dry_) {
            return MoveToTrash(path, where, error);
        }
        overlay_[path] = std::nullopt;
        return true;
    }

    int Restore(const TrashEntry& entry, const std::string& path) {
        if (!dry_) {
            return RestoreFromTrash(entry, path);
        }
        if (Look(path)) {
            return EEXIST;
        }
        overlay_[path] = Look(entry.file);
        overlay_[entry.file] = std::nullopt;
        return 0;
    }

    // Removes an empty folder. 0 or an errno value.
    int RemoveFolder(const std::string& path) {
        if (!dry_) {
            return rmdir(path.c_str()) == 0 ? 0 : errno;
        }
        overlay_[path] = std::nullopt;
        return 0;
    }

    bool Dry() const { return dry_; }

  private:
    bool dry_;
    std::unordered_map<std::string, std::optional<FileStamp>> overlay_;
};

class CUndoer final {
  public:
    CUndoer(const Journal& journal, const StartRecord& start, const UndoOptions& options,
            CJournalWriter* writer, UndoSummary& summary)
        : journal_(journal),
          start_(start),
          options_(options),
          writer_(writer),
          summary_(summary),
          fs_(options.dryRun) {}

    void Undo();
    void Keep();

  private:
    void Index();
    void UndoRename(int64_t line, const RenameRecord& r);
    void UndoCopy(int64_t line, const CopyRecord& r);
    void UndoTrash(int64_t line, const TrashRecord& r);
    std::string DiscardCopy(const CopyRecord& r, std::string& trash);
    void UndoAttrs(int64_t line, const AttrsRecord& r);
    void UndoTimes(int64_t line, const TimesRecord& r);
    void UndoFolder(int64_t line, const FolderRecord& r);
    // The folders the run made, newest (deepest) first.
    void RemoveMadeFolders();
    void ResolveTempNames(bool preferNew);
    void FinishCopies();
    void RemoveLeftovers();
    // Counts and records a step taken on the file `key`.
    void Report(UndoStep step, std::optional<FileKey> key);
    bool Stopped() const { return journalFailed_; }
    bool Cancelled() const { return options_.cancel != nullptr && options_.cancel->load(); }
    void CountRunFiles(int64_t& done, int64_t& failed) const;
    void Tally();
    // The end of an undo or a keep: what the run left behind goes, the files
    // are counted. False when the journal failed on the way.
    bool Conclude();
    // Appends `record` stamped with the time now (not in a dry run); false,
    // with the undo ended as failed, when the journal cannot take it.
    template <typename Record>
    bool AppendStamped(Record record);

    const Journal& journal_;
    const StartRecord& start_;
    const UndoOptions& options_;
    CJournalWriter* writer_;
    UndoSummary& summary_;
    UndoFs fs_;

    // Operations an earlier undo reversed (or found nothing to do for).
    std::unordered_set<int64_t> undoneBefore_;
    // The "trashed" record of each "trash" record, by line.
    std::unordered_map<int64_t, const TrashedRecord*> trashed_;
    // Where a cycle takes a file from its temporary name.
    std::unordered_map<std::string, std::string> tempTarget_;
    // Modification times the run left on a file.
    std::map<FileKey, std::vector<FileTimeNs>> leftTimes_;
    // Names of a cycle's temporary files: a user's file may wait there.
    std::unordered_set<std::string> tempNames_;
    // Copies the run made.
    CRecordedFiles copies_;
    // Moves out of a temporary name that an earlier undo or keep made, by the
    // line of their step record.
    std::map<int64_t, RenameRecord> resolvedMoves_;
    // Files to bring back from the trash once the copy in their place is gone.
    std::vector<std::pair<int64_t, const TrashRecord*>> deferredTrash_;
    std::map<FileKey, std::pair<bool, bool>> files_;  // restored, skipped
    bool removeFolders_ = false;  // an undo, not a keep: made folders go at the end
    int64_t total_ = 0;
    int64_t done_ = 0;
    bool journalFailed_ = false;
};

}  // namespace quorvan::undo_detail
