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
    if (!Stopped() && removeFolders_) {
        RemoveMadeFolders();
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
    removeFolders_ = true;
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

// Why undo must not act on what this journal says, or "" when it may: the
// history folder and the journal must be the user's alone, and every path a
// record names must lie below the run's folder or destination.
std::string Distrust(const std::string& journalPath, const Journal& journal,
                     const StartRecord& start) {
    const size_t slash = journalPath.rfind('/');
    const std::string history = slash == std::string::npos ? "."
                                : slash == 0               ? "/"
                                                           : journalPath.substr(0, slash);
    if (!Private(history, true) || !Private(journalPath, false)) {
        return "the history folder " + history +
               " or the journal in it is not private (it must be yours and writable by you "
               "alone)";
    }
    std::string outside;
    auto check = [&](const std::string& path) {
        if (outside.empty() && !path.empty() && !Below(path, start.folder) &&
            !(start.mode == RunMode::Copy && Below(path, start.destination))) {
            outside = path;
        }
    };
    for (const JournalEntry& entry : journal.entries) {
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
                } else if constexpr (std::is_same_v<T, TrashRecord> ||
                                     std::is_same_v<T, AttrsRecord> ||
                                     std::is_same_v<T, TimesRecord> ||
                                     std::is_same_v<T, TempFolderRecord> ||
                                     std::is_same_v<T, FolderRecord>) {
                    check(r.path);
                }
            },
            entry.record);
        if (!outside.empty()) {
            return "it names " + outside + ", outside the run's folder " + start.folder;
        }
    }
    return "";
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
    if (start->version <= kJournalVersion) {
        summary.refusal = Distrust(journalPath, journal, *start);
        if (!summary.refusal.empty()) {
            summary.ended = UndoSummary::Ended::Refused;
            return summary;
        }
    }
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
        case UndoStep::Kind::RemoveFolder:
            return "remove the folder " + step.path + " that the run made";
    }
    return "";
}

}  // namespace quorvan
