// The first pass of an undo: what the steps will need, indexed record by
// record in one read of the journal.
#include <algorithm>

#include "common/path.h"
#include "history/undo_trust.h"
#include "history/undo_undoer.h"

namespace quorvan::undo_detail {

namespace {

std::string ParentOf(const std::string& path) {
    return std::string(FolderOf(path));
}

bool SameFolder(const std::string& a, std::string_view b) {
    if (b.size() > 1 && b.back() == '/') {
        b.remove_suffix(1);
    }
    return a == b;
}

}  // namespace

void CUndoer::Index(const JournalEntry& entry, int64_t offset) {
    const JournalRecord& record = entry.record;
    std::visit(
        [&](const auto& r) {
            using T = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<T, TempFolderRecord>) {
                folders_.insert(r.path);
            } else if constexpr (std::is_same_v<T, RenameRecord> || std::is_same_v<T, FileRecord>) {
                folders_.insert(ParentOf(r.from));
                folders_.insert(ParentOf(r.to));
            } else if constexpr (std::is_same_v<T, CopyRecord>) {
                folders_.insert(ParentOf(r.to));
                folders_.insert(ParentOf(r.temp));
            } else if constexpr (std::is_same_v<T, TrashRecord> || std::is_same_v<T, AttrsRecord> ||
                                 std::is_same_v<T, TimesRecord>) {
                folders_.insert(ParentOf(r.path));
            }
        },
        record);
    if (const auto* r = std::get_if<RenameRecord>(&record)) {
        if (r->temp == TempSide::To) {
            tempNames_.insert(r->to);
            tempMoves_.push_back({entry.line, offset, *r});
        }
        if (r->temp == TempSide::From) {
            tempTarget_[r->from] = r->to;
        }
        moved_.emplace_back(entry.line, KeyOf(r->file));
        if (placeFsid_ == 0 && start_.mode == RunMode::Rename &&
            SameFolder(ParentOf(r->from), start_.folder)) {
            placeFsid_ = r->file.fsid;
        }
        ++total_;
    } else if (const auto* c = std::get_if<CopyRecord>(&record)) {
        if (placeFsid_ == 0 && SameFolder(ParentOf(c->to), start_.destination)) {
            placeFsid_ = c->copy.fsid;
        }
        leftTimes_.emplace_back(KeyOf(c->copy), c->copy.mtime);
        copies_.Add(c->copy);
        moved_.emplace_back(entry.line, KeyOf(c->copy));
        ++total_;
    } else if (const auto* t = std::get_if<TrashRecord>(&record)) {
        pendingTrash_[t->path] = {entry.line, t->file};
        ++total_;
    } else if (const auto* d = std::get_if<TrashedRecord>(&record)) {
        if (auto it = pendingTrash_.find(d->path); it != pendingTrash_.end()) {
            trashed_[it->second.first] = *d;
            pendingTrash_.erase(it);
        }
    } else if (const auto* m = std::get_if<TimesRecord>(&record)) {
        leftTimes_.emplace_back(KeyOf(m->file), m->newMtime);
        ++total_;
    } else if (std::holds_alternative<AttrsRecord>(record)) {
        ++total_;
    } else if (const auto* made = std::get_if<FolderRecord>(&record)) {
        madeFolders_.emplace_back(entry.line, *made);
    } else if (const auto* f = std::get_if<FileRecord>(&record)) {
        if (!runEnded_) {
            (f->ok ? runDone_ : runFailed_)++;
        }
    } else if (const auto* e = std::get_if<EndRecord>(&record)) {
        if (!runEnded_) {
            runDone_ = e->done;
            runFailed_ = e->failed;
            runEnded_ = true;
        }
    } else if (const auto* s = std::get_if<UndoStepRecord>(&record)) {
        // A step names an earlier line; any other number names no operation.
        if (s->record <= 0 || s->record >= entry.line) {
            return;
        }
        if (s->action == UndoAction::Resolve) {
            auto line = std::lower_bound(moved_.begin(), moved_.end(), s->record,
                                         [](const std::pair<int64_t, FileKey>& entryOf, int64_t l) {
                                             return entryOf.first < l;
                                         });
            if (line != moved_.end() && line->first == s->record) {
                const FileKey key = line->second;
                for (const auto& [movedLine, movedKey] : moved_) {
                    if (movedKey == key && static_cast<size_t>(movedLine) < undoneBefore_.size()) {
                        undoneBefore_[static_cast<size_t>(movedLine)] = false;
                    }
                }
            }
            // A file taken from a temporary name: a move to reverse.
            auto from =
                std::lower_bound(tempMoves_.begin(), tempMoves_.end(), s->record,
                                 [](const TempMove& temp, int64_t l) { return temp.line < l; });
            if (s->outcome == UndoOutcome::Restored && !s->target.empty() &&
                from != tempMoves_.end() && from->line == s->record) {
                RenameRecord move;
                move.from = from->move.to;
                move.to = s->target;
                move.file = from->move.file;
                resolvedMoves_[entry.line] = move;
                moved_.emplace_back(entry.line, KeyOf(move.file));
                ++total_;
            }
        } else if (s->action == UndoAction::Reverse) {
            const auto line = static_cast<size_t>(s->record);
            if (undoneBefore_.size() <= line) {
                undoneBefore_.resize(std::max(line + 1, undoneBefore_.size() * 2));
            }
            undoneBefore_[line] = s->outcome != UndoOutcome::Skipped;
        }
    }
}

void CUndoer::IndexDone() {
    std::sort(leftTimes_.begin(), leftTimes_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    copies_.Seal();
    // What is left never went to the trash: the run gave up its copy there.
    for (auto& [path, trash] : pendingTrash_) {
        untrashed_.emplace(path, trash.second);
    }
    pendingTrash_.clear();
}

std::string CUndoer::Unreachable() const {
    return undo_detail::Unreachable(
        start_.mode == RunMode::Copy ? start_.destination : start_.folder, placeFsid_);
}

}  // namespace quorvan::undo_detail
