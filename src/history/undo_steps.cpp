// The steps of an undo on single files: each reversed operation, a file
// left at a temporary name, the leftovers of a killed copy.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "common/path.h"
#include "history/undo_undoer.h"
#include "platform/file_system.h"

namespace quorvan::undo_detail {

// Why undo leaves a file alone that it cannot prove to be the run's.
std::string NotTheRunsFile(const std::string& path) {
    return "the file at " + path + " is not the one this run renamed: left alone";
}

UndoStep MakeStep(UndoStep::Kind kind, int64_t record, std::string path, std::string target) {
    UndoStep step;
    step.kind = kind;
    step.record = record;
    step.path = std::move(path);
    step.target = std::move(target);
    return step;
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
        auto [left, leftEnd] = std::equal_range(
            leftTimes_.begin(), leftTimes_.end(), std::pair(KeyOf(r.copy), FileTimeNs{}),
            [](const auto& a, const auto& b) { return a.first < b.first; });
        bool unchanged =
            current->size == r.copy.size && std::any_of(left, leftEnd, [&](const auto& time) {
                return time.second == current->mtime;
            });
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
    } else if (auto kept = untrashed_.find(r.to);
               current && kept != untrashed_.end() && current->SameFile(kept->second)) {
        // The file it was to replace could not go to the trash, so the copy
        // was given up: there is nothing to undo, now or later.
        step.outcome = UndoOutcome::Unchanged;
        step.reason = "the copy was never put in place";
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
    if (auto it = trashed_.find(line); it != trashed_.end() && !it->second.trashFile.empty()) {
        if (auto there = fs_.Look(it->second.trashFile); there && there->SameFile(r.file)) {
            entry = TrashEntry{it->second.trashFile, it->second.trashInfo};
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

// Why a file the run changed cannot be changed back, or "" when it can. It
// is held in `pin` (a dry run too: holding changes nothing); a dry run judges
// it as the steps before would have left it.
std::string PinReason(UndoFs& fs, CPinnedEntry& pin, const std::string& path,
                      const FileStamp& wanted) {
    const int error = pin.Open(path);
    if (fs.Dry()) {
        auto current = fs.Look(path);
        if (!current) {
            return "it is no longer there";
        }
        return current->SameInode(wanted) ? "" : "another file has its name now";
    }
    if (error != 0) {
        return error == ENOENT ? "it is no longer there" : ErrorText(error);
    }
    // The same inode is the same kind of entry: a FIFO, a device or a link
    // gets back what the run changed on it as a file does.
    return pin.Stamp().SameInode(wanted) ? "" : "another file has its name now";
}

void CUndoer::UndoAttrs(int64_t line, const AttrsRecord& r) {
    UndoStep step = MakeStep(UndoStep::Kind::Attributes, line, r.path);
    CPinnedEntry pin;
    step.reason = PinReason(fs_, pin, r.path, r.file);
    // Only what differs from before the run is set back, and of the mode only
    // the write permission, which alone the run changes: a change that failed
    // in the run is not made again, and what the user changed since stays.
    const bool known = pin.Stamp().SameInode(r.file);
    const uint32_t mode = pin.Mode() & 07777u;
    const uint32_t wantedMode = (mode & ~0222u) | (r.mode & 0222u);
    std::optional<std::string> dos;
    int error = known ? pin.GetDosAttrib(dos) : 0;
    const bool modeDiffers = !known || wantedMode != mode;
    const bool dosDiffers = !known || error != 0 || dos != r.dosAttrib;
    if (step.reason.empty() && !modeDiffers && !dosDiffers) {
        step.outcome = UndoOutcome::Unchanged;
        step.reason = "its attributes are as they were";
        Report(std::move(step), KeyOf(r.file));
        return;
    }
    error = 0;
    if (step.reason.empty() && !fs_.Dry()) {
        if (dosDiffers) {
            // Storing the attribute needs write permission, which read-only
            // took; the owner may give it back to a file of their own.
            if (!(mode & S_IWUSR)) {
                error = pin.SetPermissions(mode | S_IWUSR);
            }
            if (error == 0) {
                error = pin.SetDosAttrib(r.dosAttrib);
            }
        }
        if (modeDiffers || (dosDiffers && !(mode & S_IWUSR))) {
            if (int last = pin.SetPermissions(wantedMode); error == 0) {
                error = last;
            }
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
    for (const TempMove& temp : tempMoves_) {
        const RenameRecord* r = &temp.move;
        auto current = fs_.Look(r->to);
        if (!current) {
            continue;
        }
        if (!current->SameFile(r->file)) {
            // Never taken for the run's file, never removed either.
            UndoStep step = MakeStep(UndoStep::Kind::ResolveTemp, temp.line, r->to);
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
        UndoStep step = MakeStep(UndoStep::Kind::ResolveTemp, temp.line, r->to);
        step.outcome = UndoOutcome::Skipped;
        step.reason = "its old and new names are taken; it stays at its temporary name";
        if (!tryNames(step) && keep) {
            // The cycle's moves run from this record to the one that takes
            // the file from its temporary name.
            std::vector<std::pair<int64_t, RenameRecord>> cycle;
            reader_.Seek(temp.offset, temp.line);
            JournalEntry entry;
            reader_.NextRecord(entry);  // the move to the temporary name
            while (reader_.NextRecord(entry)) {
                if (auto* m = std::get_if<RenameRecord>(&entry.record)) {
                    const bool last = m->temp == TempSide::From && m->from == r->to;
                    cycle.emplace_back(entry.line, std::move(*m));
                    if (last) {
                        break;
                    }
                }
            }
            for (auto it = cycle.rbegin(); it != cycle.rend(); ++it) {
                UndoRename(it->first, it->second);
            }
            tryNames(step);
        }
        Report(std::move(step), KeyOf(r->file));
    }
}

// A kept run's copies that were finished but not yet put in place go to their
// target when it is free; otherwise they are removed (the source stays).
void CUndoer::FinishCopies() {
    ForEachRecord([&](const JournalEntry& entry, int64_t) {
        const auto* r = std::get_if<CopyRecord>(&entry.record);
        if (r == nullptr) {
            return;
        }
        auto temp = fs_.Look(r->temp);
        if (!temp || !temp->SameFile(r->copy)) {
            return;
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
    });
}

void CUndoer::RemoveMadeFolders() {
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend() && !Stopped(); ++it) {
        const auto line = static_cast<size_t>(it->first);
        if (line >= undoneBefore_.size() || !undoneBefore_[line]) {
            UndoFolder(it->first, it->second);
        }
    }
}

void CUndoer::UndoFolder(int64_t line, const FolderRecord& r) {
    UndoStep step = MakeStep(UndoStep::Kind::RemoveFolder, line, r.path);
    struct stat st {};
    if (!fs_.Look(r.path) || lstat(r.path.c_str(), &st) != 0) {
        step.outcome = UndoOutcome::Unchanged;
        step.reason = "it is gone already";
        Report(std::move(step), std::nullopt);
        return;
    }
    // What is left in it, as the undo has left things (a dry run too).
    std::vector<std::string> left;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* dir = opendir(r.path.c_str())) {
            while (dirent* d = readdir(dir)) {
                const std::string_view name = d->d_name;
                if (name != "." && name != ".." && fs_.Look(JoinPath(r.path, d->d_name))) {
                    left.emplace_back(name);
                }
            }
            closedir(dir);
        }
    }
    step.outcome = UndoOutcome::Skipped;
    if (!S_ISDIR(st.st_mode)) {
        step.reason = "something else has its name now: left alone";
    } else if (!left.empty()) {
        std::sort(left.begin(), left.end());
        step.reason = "it still holds " + left.front() +
                      (left.size() > 1 ? " and " + std::to_string(left.size() - 1) + " more" : "") +
                      ", so it stays";
    } else if (int error = fs_.RemoveFolder(r.path)) {
        step.reason = error == ENOTEMPTY || error == EEXIST
                          ? "something was put into it just now, so it stays"
                          : ErrorText(error);
    } else {
        step.outcome = UndoOutcome::Restored;
    }
    Report(std::move(step), std::nullopt);
}

// Moves the run's temporary files that no record accounts for (a copy killed
// while its data went across) from every folder the journal names to the
// trash.
void CUndoer::RemoveLeftovers() {
    std::set<std::string> folders = folders_;
    folders.insert(start_.folder);
    if (!start_.destination.empty()) {
        folders.insert(start_.destination);
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
            if (tempNames_.count(path) != 0 || !fs_.Look(path) ||
                StampOf(path, stamp, &mode) != 0 || !S_ISREG(mode)) {
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

}  // namespace quorvan::undo_detail
