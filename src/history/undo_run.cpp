#include "history/undo_run.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "common/path.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/trash.h"
#include "history/run_history.h"

namespace quorvan {

namespace {

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

FileKey KeyOf(const FileStamp& stamp) {
    return DeviceInodeOf(stamp);
}

// Why undo leaves a file alone that it cannot prove to be the run's.
std::string NotTheRunsFile(const std::string& path) {
    return "the file at " + path + " is not the one this run renamed: left alone";
}

UndoStep MakeStep(UndoStep::Kind kind, int64_t record, std::string path, std::string target = {}) {
    UndoStep step;
    step.kind = kind;
    step.record = record;
    step.path = std::move(path);
    step.target = std::move(target);
    return step;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : slash == 0 ? "/" : path.substr(0, slash);
}

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
    int64_t total_ = 0;
    int64_t done_ = 0;
    bool journalFailed_ = false;
};

void CUndoer::Index() {
    std::unordered_map<std::string, int64_t> pendingTrash;
    // The file each rename or copy moved, to forget what an earlier undo did
    // for a file that a resolved temporary name has moved since.
    std::unordered_map<int64_t, FileKey> moved;
    std::map<FileKey, std::vector<int64_t>> movesOf;
    std::unordered_map<int64_t, const RenameRecord*> renames;
    for (const JournalEntry& entry : journal_.entries) {
        const JournalRecord& record = entry.record;
        if (const auto* r = std::get_if<RenameRecord>(&record)) {
            if (r->temp == TempSide::To) {
                tempNames_.insert(r->to);
            }
            if (r->temp == TempSide::From) {
                tempTarget_[r->from] = r->to;
            }
            moved[entry.line] = KeyOf(r->file);
            movesOf[KeyOf(r->file)].push_back(entry.line);
            renames[entry.line] = r;
            ++total_;
        } else if (const auto* c = std::get_if<CopyRecord>(&record)) {
            leftTimes_[KeyOf(c->copy)].push_back(c->copy.mtime);
            copies_.Add(c->copy);
            moved[entry.line] = KeyOf(c->copy);
            movesOf[KeyOf(c->copy)].push_back(entry.line);
            ++total_;
        } else if (const auto* t = std::get_if<TrashRecord>(&record)) {
            pendingTrash[t->path] = entry.line;
            ++total_;
        } else if (const auto* d = std::get_if<TrashedRecord>(&record)) {
            if (auto it = pendingTrash.find(d->path); it != pendingTrash.end()) {
                trashed_[it->second] = d;
                pendingTrash.erase(it);
            }
        } else if (const auto* m = std::get_if<TimesRecord>(&record)) {
            leftTimes_[KeyOf(m->file)].push_back(m->newMtime);
            ++total_;
        } else if (std::holds_alternative<AttrsRecord>(record)) {
            ++total_;
        } else if (const auto* s = std::get_if<UndoStepRecord>(&record)) {
            if (s->action == UndoAction::Resolve) {
                if (auto it = moved.find(s->record); it != moved.end()) {
                    for (int64_t line : movesOf[it->second]) {
                        undoneBefore_.erase(line);
                    }
                }
                // A file taken from a temporary name: a move to reverse.
                auto from = renames.find(s->record);
                if (s->outcome == UndoOutcome::Restored && !s->target.empty() &&
                    from != renames.end() && from->second->temp == TempSide::To) {
                    RenameRecord move;
                    move.from = from->second->to;
                    move.to = s->target;
                    move.file = from->second->file;
                    resolvedMoves_[entry.line] = move;
                    moved[entry.line] = KeyOf(move.file);
                    movesOf[KeyOf(move.file)].push_back(entry.line);
                    ++total_;
                }
            } else if (s->action == UndoAction::Reverse) {
                if (s->outcome == UndoOutcome::Skipped) {
                    undoneBefore_.erase(s->record);
                } else {
                    undoneBefore_.insert(s->record);
                }
            }
        }
    }
}

void CUndoer::Report(UndoStep step, std::optional<FileKey> key) {
    switch (step.outcome) {
        case UndoOutcome::Restored:
            ++summary_.stepsRestored;
            break;
        case UndoOutcome::Skipped:
            ++summary_.stepsSkipped;
            break;
        case UndoOutcome::Unchanged:
            ++summary_.stepsUnchanged;
            break;
    }
    if (key && step.outcome != UndoOutcome::Unchanged) {
        auto& [restored, skipped] = files_[*key];
        (step.outcome == UndoOutcome::Restored ? restored : skipped) = true;
    }
    // Steps that changed nothing are not recorded: a later undo looks again.
    if (!fs_.Dry() && writer_ != nullptr && step.outcome != UndoOutcome::Unchanged) {
        UndoStepRecord record;
        record.record = step.record;
        record.action =
            step.kind == UndoStep::Kind::ResolveTemp || step.kind == UndoStep::Kind::FinishCopy
                ? UndoAction::Resolve
            : step.kind == UndoStep::Kind::TrashTemp && step.record == 0 ? UndoAction::RemoveTemp
                                                                          : UndoAction::Reverse;
        record.outcome = step.outcome;
        record.reason = step.reason;
        record.trash = step.trash;
        if (step.kind == UndoStep::Kind::ResolveTemp) {
            record.target = step.target;
        }
        if (int error = writer_->Append(record)) {
            journalFailed_ = true;
            summary_.error = error;
        }
    }
    if (options_.onStep) {
        options_.onStep(step);
    }
    summary_.steps.push_back(std::move(step));
}

void CUndoer::UndoRename(int64_t line, const RenameRecord& r) {
    UndoStep step = MakeStep(UndoStep::Kind::MoveBack, line, r.to, r.from);
    int lookError = 0;
    auto current = fs_.Look(r.to, &lookError);
    if (current && current->SameFile(r.file)) {
        int error = fs_.Move(r.to, r.from);
        if (error == 0) {
            step.outcome = UndoOutcome::Restored;
        } else {
            step.outcome = UndoOutcome::Skipped;
            step.reason = error == EEXIST ? "the name is taken by another file" : ErrorText(error);
        }
    } else if (auto there = fs_.Look(r.from); there && there->SameFile(r.file)) {
        step.outcome = UndoOutcome::Unchanged;
        step.reason = "it has its old name";
    } else if (r.temp == TempSide::From) {
        // Where the file is, the older move to the temporary name tells.
        step.outcome = UndoOutcome::Unchanged;
        step.reason = "it is not at its temporary name";
    } else {
        step.outcome = UndoOutcome::Skipped;
        step.reason = current     ? NotTheRunsFile(r.to)
                      : lookError ? ErrorText(lookError)
                                  : "it was moved away or deleted since the run";
    }
    Report(std::move(step), KeyOf(r.file));
}

void CUndoer::UndoCopy(int64_t line, const CopyRecord& r) {
    UndoStep step = MakeStep(UndoStep::Kind::TrashCopy, line, r.to);
    auto current = fs_.Look(r.to);
    // Its size and times are checked below: times the run set are its own.
    if (current && current->SameInode(r.copy)) {
        const auto& left = leftTimes_[KeyOf(r.copy)];
        bool unchanged = current->size == r.copy.size &&
                         std::find(left.begin(), left.end(), current->mtime) != left.end();
        std::string error;
        TrashEntry where;
        if (!unchanged) {
            step.outcome = UndoOutcome::Skipped;
            step.reason = "it was changed since the run; it stays";
        } else if (fs_.Trash(r.to, where, error)) {
            step.outcome = UndoOutcome::Restored;
            step.trash = where.file;
        } else {
            step.outcome = UndoOutcome::Skipped;
            step.reason = "it could not be moved to the trash: " + error;
        }
    } else if (auto temp = fs_.Look(r.temp); temp && temp->SameFile(r.copy)) {
        // Killed before the copy was put in place: it was never seen.
        step.kind = UndoStep::Kind::TrashTemp;
        step.path = r.temp;
        std::string error = DiscardCopy(r, step.trash);
        step.outcome = error.empty() ? UndoOutcome::Restored : UndoOutcome::Skipped;
        step.reason = error;
    } else if (current) {
        step.outcome = UndoOutcome::Skipped;
        step.reason = "another file has taken its place";
    } else {
        step.outcome = UndoOutcome::Unchanged;
        step.reason = "it is no longer there";
    }
    Report(std::move(step), KeyOf(r.copy));
}

// A finished copy that never got its name goes to the trash: undo removes
// no file for good.
std::string CUndoer::DiscardCopy(const CopyRecord& r, std::string& trash) {
    TrashEntry where;
    std::string error;
    if (!fs_.Trash(r.temp, where, error)) {
        return "it could not be moved to the trash: " + error;
    }
    trash = where.file;
    return "";
}

void CUndoer::UndoTrash(int64_t line, const TrashRecord& r) {
    UndoStep step = MakeStep(UndoStep::Kind::RestoreTrashed, line, "", r.path);
    auto current = fs_.Look(r.path);
    if (current && current->SameFile(r.file)) {
        step.path = r.path;
        step.outcome = UndoOutcome::Unchanged;
        step.reason = "it is in its place";
        Report(std::move(step), KeyOf(r.file));
        return;
    }
    std::optional<TrashEntry> entry;
    if (auto it = trashed_.find(line); it != trashed_.end() && !it->second->trashFile.empty()) {
        if (auto there = fs_.Look(it->second->trashFile); there && there->SameFile(r.file)) {
            entry = TrashEntry{it->second->trashFile, it->second->trashInfo};
        }
    }
    if (!entry) {
        entry = FindInTrash(r.path, r.file);
    }
    if (!entry) {
        step.path = r.path;
        step.outcome = UndoOutcome::Skipped;
        step.reason = "it is no longer in the trash";
    } else {
        step.path = entry->file;
        int error = current ? EEXIST : fs_.Restore(*entry, r.path);
        step.outcome = error == 0 ? UndoOutcome::Restored : UndoOutcome::Skipped;
        if (error == EEXIST) {
            step.reason = "the name is taken by another file; it stays in the trash";
        } else if (error != 0) {
            step.reason = ErrorText(error);
        }
    }
    Report(std::move(step), KeyOf(r.file));
}

// Why a file the run changed cannot be changed back, or "" when it can.
std::string PinReason(UndoFs& fs, CPinnedEntry& pin, const std::string& path,
                      const FileStamp& wanted) {
    if (fs.Dry()) {
        auto current = fs.Look(path);
        if (!current) {
            return "it is no longer there";
        }
        return current->SameInode(wanted) ? "" : "another file has its name now";
    }
    if (int error = pin.Open(path)) {
        return error == ENOENT ? "it is no longer there" : ErrorText(error);
    }
    if (!pin.Stamp().SameInode(wanted)) {
        return "another file has its name now";
    }
    return pin.IsRegularFile() ? "" : "it is no longer a regular file";
}

void CUndoer::UndoAttrs(int64_t line, const AttrsRecord& r) {
    UndoStep step = MakeStep(UndoStep::Kind::Attributes, line, r.path);
    CPinnedEntry pin;
    step.reason = PinReason(fs_, pin, r.path, r.file);
    int error = 0;
    if (step.reason.empty() && !fs_.Dry()) {
        // Storing the attribute needs write permission, which read-only took.
        if (!(r.mode & S_IWUSR)) {
            error = pin.SetPermissions(r.mode | S_IWUSR);
        }
        if (error == 0) {
            error = pin.SetDosAttrib(r.dosAttrib);
        }
        if (int last = pin.SetPermissions(r.mode); error == 0) {
            error = last;
        }
        if (error != 0) {
            step.reason = ErrorText(error);
        }
    }
    step.outcome = step.reason.empty() ? UndoOutcome::Restored : UndoOutcome::Skipped;
    Report(std::move(step), KeyOf(r.file));
}

void CUndoer::UndoTimes(int64_t line, const TimesRecord& r) {
    UndoStep step = MakeStep(UndoStep::Kind::Times, line, r.path);
    CPinnedEntry pin;
    step.reason = PinReason(fs_, pin, r.path, r.file);
    step.outcome = step.reason.empty() ? UndoOutcome::Restored : UndoOutcome::Skipped;
    if (step.reason.empty()) {
        FileTimeNs modified = fs_.Dry() ? fs_.Look(r.path)->mtime : pin.Stamp().mtime;
        // The access time moves with every read, so only the modification
        // time tells whether the change was made and nothing came after it.
        if (modified == r.oldMtime && r.newMtime != r.oldMtime) {
            step.outcome = UndoOutcome::Unchanged;
            step.reason = "its times were not changed";
        } else if (modified != r.newMtime) {
            // Setting back the time of a file edited since would hide the
            // edit from backups and from make.
            step.outcome = UndoOutcome::Skipped;
            step.reason = "it was modified since the run; its times stay";
        } else if (int error = fs_.Dry() ? 0 : pin.SetTimes(r.oldAtime, r.oldMtime)) {
            step.outcome = UndoOutcome::Skipped;
            step.reason = ErrorText(error);
        }
    }
    Report(std::move(step), KeyOf(r.file));
}

// A file still at a cycle's temporary name gets a real name: for an undo its
// old one first, for a kept run its new one first. When a kept run stopped in
// the middle of a cycle both names are taken by files of the cycle; its moves
// done so far are then reversed, which frees the old name.
void CUndoer::ResolveTempNames(bool keep) {
    const auto& entries = journal_.entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto* r = std::get_if<RenameRecord>(&entries[i].record);
        if (r == nullptr || r->temp != TempSide::To) {
            continue;
        }
        auto current = fs_.Look(r->to);
        if (!current) {
            continue;
        }
        if (!current->SameFile(r->file)) {
            // Never taken for the run's file, never removed either.
            UndoStep step = MakeStep(UndoStep::Kind::ResolveTemp, entries[i].line, r->to);
            step.outcome = UndoOutcome::Skipped;
            step.reason = NotTheRunsFile(r->to);
            Report(std::move(step), std::nullopt);
            continue;
        }
        std::string next = r->then;
        if (next.empty()) {
            if (auto it = tempTarget_.find(r->to); it != tempTarget_.end()) {
                next = it->second;
            }
        }
        const std::vector<std::string> names =
            keep ? std::vector{next, r->from} : std::vector{r->from, next};
        auto tryNames = [&](UndoStep& step) {
            for (const std::string& name : names) {
                if (!name.empty() && fs_.Move(r->to, name) == 0) {
                    step.target = name;
                    step.outcome = UndoOutcome::Restored;
                    step.reason.clear();
                    return true;
                }
            }
            return false;
        };
        UndoStep step = MakeStep(UndoStep::Kind::ResolveTemp, entries[i].line, r->to);
        step.outcome = UndoOutcome::Skipped;
        step.reason = "its old and new names are taken; it stays at its temporary name";
        if (!tryNames(step) && keep) {
            // The cycle's moves run from this record to the one that takes
            // the file from its temporary name.
            size_t end = i + 1;
            while (end < entries.size()) {
                const auto* m = std::get_if<RenameRecord>(&entries[end].record);
                if (m != nullptr && m->temp == TempSide::From && m->from == r->to) {
                    break;
                }
                ++end;
            }
            for (size_t j = std::min(end, entries.size() - 1); j > i; --j) {
                if (const auto* m = std::get_if<RenameRecord>(&entries[j].record)) {
                    UndoRename(entries[j].line, *m);
                }
            }
            tryNames(step);
        }
        Report(std::move(step), KeyOf(r->file));
    }
}

// A kept run's copies that were finished but not yet put in place go to their
// target when it is free; otherwise they are removed (the source stays).
void CUndoer::FinishCopies() {
    for (const JournalEntry& entry : journal_.entries) {
        const auto* r = std::get_if<CopyRecord>(&entry.record);
        if (r == nullptr) {
            continue;
        }
        auto temp = fs_.Look(r->temp);
        if (!temp || !temp->SameFile(r->copy)) {
            continue;
        }
        UndoStep step = MakeStep(UndoStep::Kind::FinishCopy, entry.line, r->temp, r->to);
        int error = fs_.Move(r->temp, r->to);
        std::string failure = error == 0 ? "" : ErrorText(error);
        if (error != 0) {
            step.kind = UndoStep::Kind::TrashTemp;
            step.target.clear();
            failure = DiscardCopy(*r, step.trash);
        }
        step.outcome = failure.empty() ? UndoOutcome::Restored : UndoOutcome::Skipped;
        step.reason = failure;
        Report(std::move(step), KeyOf(r->copy));
    }
}

// Moves the run's temporary files that no record accounts for (a copy killed
// while its data went across) from every folder the journal names to the
// trash.
void CUndoer::RemoveLeftovers() {
    std::set<std::string> folders = {start_.folder};
    if (!start_.destination.empty()) {
        folders.insert(start_.destination);
    }
    for (const JournalEntry& entry : journal_.entries) {
        std::visit(
            [&](const auto& r) {
                using T = std::decay_t<decltype(r)>;
                if constexpr (std::is_same_v<T, TempFolderRecord>) {
                    folders.insert(r.path);
                } else if constexpr (std::is_same_v<T, RenameRecord> ||
                                     std::is_same_v<T, FileRecord>) {
                    folders.insert(ParentOf(r.from));
                    folders.insert(ParentOf(r.to));
                } else if constexpr (std::is_same_v<T, CopyRecord>) {
                    folders.insert(ParentOf(r.to));
                    folders.insert(ParentOf(r.temp));
                } else if constexpr (std::is_same_v<T, TrashRecord> ||
                                     std::is_same_v<T, AttrsRecord> ||
                                     std::is_same_v<T, TimesRecord>) {
                    folders.insert(ParentOf(r.path));
                }
            },
            entry.record);
    }
    const std::string prefix = RunTempPrefix(start_.id);
    for (const std::string& folder : folders) {
        std::vector<std::string> names;
        if (DIR* dir = opendir(folder.c_str())) {
            while (dirent* d = readdir(dir)) {
                if (std::string_view(d->d_name).substr(0, prefix.size()) == prefix) {
                    names.push_back(d->d_name);
                }
            }
            closedir(dir);
        }
        for (const std::string& name : names) {
            std::string path = JoinPath(folder, name);
            FileStamp stamp;
            uint32_t mode = 0;
            // A cycle's temporary name may hold a user's file: it was given
            // its name above, or reported there.
            if (tempNames_.count(path) != 0 || !fs_.Look(path) || StampOf(path, stamp, &mode) != 0 ||
                !S_ISREG(mode)) {
                continue;
            }
            // Most likely a copy cut off while its data went across; as no
            // record proves it, it goes to the trash rather than away.
            UndoStep step = MakeStep(UndoStep::Kind::TrashTemp, 0, path);
            TrashEntry where;
            std::string error;
            if (fs_.Trash(path, where, error)) {
                step.outcome = UndoOutcome::Restored;
                step.trash = where.file;
            } else {
                step.outcome = UndoOutcome::Skipped;
                step.reason = "it could not be moved to the trash: " + error;
            }
            Report(std::move(step), std::nullopt);
        }
    }
}

void CUndoer::CountRunFiles(int64_t& done, int64_t& failed) const {
    done = failed = 0;
    for (const JournalEntry& entry : journal_.entries) {
        if (const auto* end = std::get_if<EndRecord>(&entry.record)) {
            done = end->done;
            failed = end->failed;
            return;
        }
        if (const auto* file = std::get_if<FileRecord>(&entry.record)) {
            (file->ok ? done : failed)++;
        }
    }
}

void CUndoer::Tally() {
    for (const auto& [key, flags] : files_) {
        if (flags.second) {
            ++summary_.filesSkipped;
        } else if (flags.first) {
            ++summary_.filesRestored;
        }
    }
}

bool CUndoer::Conclude() {
    if (!Stopped()) {
        RemoveLeftovers();
    }
    Tally();
    if (Stopped()) {
        summary_.ended = UndoSummary::Ended::JournalFailed;
        return false;
    }
    return true;
}

template <typename Record>
bool CUndoer::AppendStamped(Record record) {
    if (fs_.Dry() || writer_ == nullptr) {
        return true;
    }
    const FileTimeNs now = JournalNow();
    record.time = JournalTimeText(now.sec);
    record.epoch = now.sec;
    if (int error = writer_->Append(record)) {
        summary_.ended = UndoSummary::Ended::JournalFailed;
        summary_.error = error;
        return false;
    }
    return true;
}

void CUndoer::Undo() {
    Index();
    UndoStartRecord start;
    start.pid = getpid();
    if (!AppendStamped(start)) {
        return;
    }
    bool cancelled = false;
    for (auto it = journal_.entries.rbegin(); it != journal_.entries.rend() && !Stopped(); ++it) {
        const JournalRecord& record = it->record;
        auto resolved = resolvedMoves_.find(it->line);
        bool isStep = resolved != resolvedMoves_.end() ||
                      std::holds_alternative<RenameRecord>(record) ||
                      std::holds_alternative<CopyRecord>(record) ||
                      std::holds_alternative<TrashRecord>(record) ||
                      std::holds_alternative<AttrsRecord>(record) ||
                      std::holds_alternative<TimesRecord>(record);
        if (!isStep) {
            continue;
        }
        if (Cancelled()) {
            cancelled = true;
            break;
        }
        if (undoneBefore_.count(it->line) != 0) {
            ++summary_.stepsUnchanged;
        } else if (resolved != resolvedMoves_.end()) {
            UndoRename(it->line, resolved->second);
        } else if (const auto* r = std::get_if<RenameRecord>(&record)) {
            UndoRename(it->line, *r);
        } else if (const auto* c = std::get_if<CopyRecord>(&record)) {
            UndoCopy(it->line, *c);
        } else if (const auto* t = std::get_if<TrashRecord>(&record)) {
            // The copy that took its place may be recorded before it; that
            // copy has to go first.
            auto current = fs_.Look(t->path);
            if (current && copies_.Holds(*current)) {
                deferredTrash_.emplace_back(it->line, t);
                continue;
            }
            UndoTrash(it->line, *t);
        } else if (const auto* a = std::get_if<AttrsRecord>(&record)) {
            UndoAttrs(it->line, *a);
        } else if (const auto* m = std::get_if<TimesRecord>(&record)) {
            UndoTimes(it->line, *m);
        }
        if (options_.progress) {
            options_.progress(++done_, total_);
        }
    }
    for (const auto& [line, record] : deferredTrash_) {
        if (Stopped() || cancelled) {
            break;
        }
        UndoTrash(line, *record);
        if (options_.progress) {
            options_.progress(++done_, total_);
        }
    }
    // Also after a cancel: no file may be left at a temporary name.
    if (!Stopped()) {
        ResolveTempNames(false);
    }
    if (!Conclude()) {
        return;
    }
    summary_.ended = cancelled ? UndoSummary::Ended::Cancelled : UndoSummary::Ended::Done;
    UndoEndRecord end;
    end.restored = summary_.filesRestored;
    end.skipped = summary_.filesSkipped + summary_.unreadRecords;
    end.cancelled = cancelled;
    CountRunFiles(end.done, end.failed);
    AppendStamped(end);
}

void CUndoer::Keep() {
    Index();
    ResolveTempNames(true);
    if (!Stopped()) {
        FinishCopies();
    }
    // A file sent to the trash whose replacement never came is put back.
    for (const JournalEntry& entry : journal_.entries) {
        const auto* t = std::get_if<TrashRecord>(&entry.record);
        if (t != nullptr && !Stopped() && !fs_.Look(t->path)) {
            UndoTrash(entry.line, *t);
        }
    }
    if (!Conclude()) {
        return;
    }
    KeptRecord kept;
    kept.resolved = summary_.stepsRestored;
    CountRunFiles(kept.done, kept.failed);
    AppendStamped(kept);
}

UndoSummary Execute(const std::string& journalPath, const UndoOptions& options, bool keep) {
    UndoSummary summary;
    CJournalWriter writer;
    if (options.dryRun) {
        if (JournalLocked(journalPath)) {
            summary.ended = UndoSummary::Ended::Running;
            return summary;
        }
    } else if (int error = writer.OpenToAppend(journalPath)) {
        summary.ended =
            error == EWOULDBLOCK ? UndoSummary::Ended::Running : UndoSummary::Ended::Unreadable;
        summary.error = error;
        return summary;
    }
    Journal journal;
    if (int error = ReadJournal(journalPath, journal)) {
        summary.ended = UndoSummary::Ended::Unreadable;
        summary.error = error;
        return summary;
    }
    const StartRecord* start = journal.entries.empty()
                                   ? nullptr
                                   : std::get_if<StartRecord>(&journal.entries.front().record);
    if (start == nullptr || journal.entries.front().line != 1) {
        summary.ended = UndoSummary::Ended::Unreadable;
        return summary;
    }
    summary.runId = start->id;
    summary.unreadRecords = journal.damagedLines;
    if (start->version > kJournalVersion) {
        summary.ended = UndoSummary::Ended::NewerFormat;
        return summary;
    }
    CUndoer undoer(journal, *start, options, options.dryRun ? nullptr : &writer, summary);
    if (keep) {
        undoer.Keep();
    } else {
        undoer.Undo();
    }
    if (!options.dryRun) {
        int error = writer.Close();
        if (error != 0 && summary.ended != UndoSummary::Ended::JournalFailed) {
            summary.ended = UndoSummary::Ended::JournalFailed;
            summary.error = error;
        }
    }
    return summary;
}

}  // namespace

UndoSummary UndoRun(const std::string& journalPath, const UndoOptions& options) {
    return Execute(journalPath, options, false);
}

UndoSummary KeepRun(const std::string& journalPath, const UndoOptions& options) {
    return Execute(journalPath, options, true);
}

std::string DescribeStep(const UndoStep& step) {
    switch (step.kind) {
        case UndoStep::Kind::MoveBack:
            return "rename " + step.path + " back to " + step.target;
        case UndoStep::Kind::TrashCopy:
            return "move the copy " + step.path + " to the trash";
        case UndoStep::Kind::TrashTemp:
            return "move the temporary file " + step.path + " to the trash";
        case UndoStep::Kind::RestoreTrashed:
            return "bring " + step.target + " back from the trash";
        case UndoStep::Kind::Attributes:
            return "set back the attributes of " + step.path;
        case UndoStep::Kind::Times:
            return "set back the times of " + step.path;
        case UndoStep::Kind::ResolveTemp:
            return step.target.empty()
                       ? "give " + step.path + " a name instead of its temporary one"
                       : "rename " + step.path + " from its temporary name to " + step.target;
        case UndoStep::Kind::FinishCopy:
            return "put the finished copy " + step.path + " in place as " + step.target;
    }
    return "";
}

}  // namespace quorvan
