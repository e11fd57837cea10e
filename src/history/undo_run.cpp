#include "history/undo_run.h"

#include "history/undo_undoer.h"

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
#include "history/run_history.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/trash.h"

namespace quorvan {

namespace undo_detail {

namespace {

std::string ParentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : slash == 0 ? "/" : path.substr(0, slash);
}

// Steps kept in the summary, of those skipped and of the others; every step
// is counted and handed to onStep.
constexpr int64_t kKeptSteps = 10000;

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
        ++total_;
    } else if (const auto* c = std::get_if<CopyRecord>(&record)) {
        leftTimes_.emplace_back(KeyOf(c->copy), c->copy.mtime);
        copies_.Add(c->copy);
        moved_.emplace_back(entry.line, KeyOf(c->copy));
        ++total_;
    } else if (const auto* t = std::get_if<TrashRecord>(&record)) {
        pendingTrash_[t->path] = entry.line;
        ++total_;
    } else if (const auto* d = std::get_if<TrashedRecord>(&record)) {
        if (auto it = pendingTrash_.find(d->path); it != pendingTrash_.end()) {
            trashed_[it->second] = *d;
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
    pendingTrash_.clear();
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
        files_.emplace_back(*key, step.outcome == UndoOutcome::Restored ? 1 : 2);
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
    int64_t& kept = step.outcome == UndoOutcome::Skipped ? keptSkipped_ : keptOthers_;
    if (kept < kKeptSteps) {
        ++kept;
        summary_.steps.push_back(std::move(step));
    }
}

void CUndoer::Tally() {
    std::sort(files_.begin(), files_.end());
    for (size_t i = 0; i < files_.size();) {
        uint8_t flags = 0;
        size_t j = i;
        for (; j < files_.size() && files_[j].first == files_[i].first; ++j) {
            flags |= files_[j].second;
        }
        if (flags & 2) {
            ++summary_.filesSkipped;
        } else if (flags & 1) {
            ++summary_.filesRestored;
        }
        i = j;
    }
    files_.clear();
    files_.shrink_to_fit();
}

bool CUndoer::Conclude() {
    if (!Stopped()) {
        RemoveLeftovers();
    }
    if (!Stopped() && removeFolders_) {
        RemoveMadeFolders();
    }
    Tally();
    if (journalFailed_) {
        summary_.ended = UndoSummary::Ended::JournalFailed;
        return false;
    }
    if (reader_.Error() != 0) {
        summary_.ended = UndoSummary::Ended::Unreadable;
        summary_.error = reader_.Error();
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
    removeFolders_ = true;
    UndoStartRecord start;
    start.pid = getpid();
    if (!AppendStamped(start)) {
        return;
    }
    static const std::unordered_set<std::string_view> kStepKinds = {
        RecordKindName(RenameRecord{}), RecordKindName(CopyRecord{}), RecordKindName(TrashRecord{}),
        RecordKindName(AttrsRecord{}), RecordKindName(TimesRecord{})};
    bool cancelled = false;
    reader_.SeekEnd(reader_.LastNumber());
    for (JournalLine line; !Stopped() && reader_.Previous(line);) {
        auto resolved = resolvedMoves_.find(line.number);
        std::optional<JournalRecord> record;
        if (resolved == resolvedMoves_.end()) {
            // Most lines are no step: their kind tells without decoding.
            std::string_view kind = RecordKindOf(line.text);
            if ((!kind.empty() && kStepKinds.count(kind) == 0) ||
                !(record = DecodeRecord(line.text)) ||
                kStepKinds.count(RecordKindName(*record)) == 0) {
                continue;
            }
        }
        if (Cancelled()) {
            cancelled = true;
            break;
        }
        if (UndoneBefore(line.number)) {
            ++summary_.stepsUnchanged;
        } else if (resolved != resolvedMoves_.end()) {
            UndoRename(line.number, resolved->second);
        } else if (const auto* r = std::get_if<RenameRecord>(&*record)) {
            UndoRename(line.number, *r);
        } else if (const auto* c = std::get_if<CopyRecord>(&*record)) {
            UndoCopy(line.number, *c);
        } else if (const auto* t = std::get_if<TrashRecord>(&*record)) {
            // The copy that took its place may be recorded before it; that
            // copy has to go first.
            auto current = fs_.Look(t->path);
            if (current && copies_.Holds(*current)) {
                deferredTrash_.emplace_back(line.number, *t);
                continue;
            }
            UndoTrash(line.number, *t);
        } else if (const auto* a = std::get_if<AttrsRecord>(&*record)) {
            UndoAttrs(line.number, *a);
        } else if (const auto* m = std::get_if<TimesRecord>(&*record)) {
            UndoTimes(line.number, *m);
        }
        if (options_.progress) {
            options_.progress(++done_, total_);
        }
    }
    for (const auto& [line, record] : deferredTrash_) {
        if (Stopped() || cancelled) {
            break;
        }
        UndoTrash(line, record);
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
    end.done = runDone_;
    end.failed = runFailed_;
    AppendStamped(end);
}

void CUndoer::Keep() {
    ResolveTempNames(true);
    if (!Stopped()) {
        FinishCopies();
    }
    // A file sent to the trash whose replacement never came is put back.
    ForEachRecord([&](const JournalEntry& entry, int64_t) {
        const auto* t = std::get_if<TrashRecord>(&entry.record);
        if (t != nullptr && !Stopped() && !fs_.Look(t->path)) {
            UndoTrash(entry.line, *t);
        }
    });
    if (!Conclude()) {
        return;
    }
    KeptRecord kept;
    kept.resolved = summary_.stepsRestored;
    kept.done = runDone_;
    kept.failed = runFailed_;
    AppendStamped(kept);
}

}  // namespace undo_detail

namespace {

using undo_detail::CUndoer;

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
    const std::string name = holder.substr(holder.rfind('/') + 1);
    return name == "Trash" || name.rfind(".Trash-", 0) == 0 ||
           holder.find("/.Trash/") != std::string::npos;
}

bool Private(const std::string& path, bool folder) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && (folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) &&
           st.st_uid == geteuid() && (st.st_mode & 022) == 0;
}

// Why undo must not act on this journal, or "" when it may: the history
// folder and the journal must be the user's alone.
std::string Distrust(const std::string& journalPath) {
    const size_t slash = journalPath.rfind('/');
    const std::string history = slash == std::string::npos ? "."
                                : slash == 0               ? "/"
                                                           : journalPath.substr(0, slash);
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
    CJournalReader reader;
    JournalEntry first;
    if (int error = reader.Open(journalPath)) {
        summary.ended = UndoSummary::Ended::Unreadable;
        summary.error = error;
        return summary;
    }
    // The journal is read in bounded memory: what the undo needs is indexed
    // in one pass, and its steps read the journal again from the end.
    const bool started = reader.NextRecord(first);
    const StartRecord* start = started ? std::get_if<StartRecord>(&first.record) : nullptr;
    if (start == nullptr || first.line != 1) {
        summary.ended = UndoSummary::Ended::Unreadable;
        summary.error = reader.Error();
        return summary;
    }
    summary.runId = start->id;
    if (start->version > kJournalVersion) {
        summary.ended = UndoSummary::Ended::NewerFormat;
        return summary;
    }
    summary.refusal = Distrust(journalPath);
    CUndoer undoer(reader, *start, options, options.dryRun ? nullptr : &writer, summary);
    JournalEntry entry;
    int64_t offset = 0;
    while (summary.refusal.empty() && reader.NextRecord(entry, &offset)) {
        if (std::string outside = Outside(entry.record, *start); !outside.empty()) {
            summary.refusal = "it names " + outside + ", outside the run's folder " + start->folder;
        }
        undoer.Index(entry, offset);
    }
    if (!summary.refusal.empty()) {
        summary.ended = UndoSummary::Ended::Refused;
        return summary;
    }
    if (reader.Error() != 0) {
        summary.ended = UndoSummary::Ended::Unreadable;
        summary.error = reader.Error();
        return summary;
    }
    summary.unreadRecords = reader.DamagedLines();
    undoer.IndexDone();
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
        case UndoStep::Kind::RemoveFolder:
            return "remove the folder " + step.path + " that the run made";
    }
    return "";
}

}  // namespace quorvan
