#include "history/undo_run.h"

#include "history/undo_trust.h"
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

// Steps kept in the summary, of those skipped and of the others; every step
// is counted and handed to onStep.
constexpr int64_t kKeptSteps = 10000;

}  // namespace

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
    // The temporary names at which this undo has put a cycle's file: from
    // the reversal of the move out of such a name to that of the move into
    // it. A cancel, or a journal that takes no more records, waits until
    // none is open, so that no file is left at a temporary name.
    std::set<std::string> openCycles;
    reader_.SeekEnd(reader_.LastNumber());
    for (JournalLine line; reader_.Error() == 0 && reader_.Previous(line);) {
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
        if (openCycles.empty() && (journalFailed_ || Cancelled())) {
            cancelled = !journalFailed_;
            break;
        }
        const auto* rename = record ? std::get_if<RenameRecord>(&*record) : nullptr;
        if (UndoneBefore(line.number)) {
            ++summary_.stepsUnchanged;
        } else if (resolved != resolvedMoves_.end()) {
            UndoRename(line.number, resolved->second);
        } else if (rename != nullptr) {
            UndoRename(line.number, *rename);
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
        if (rename != nullptr && rename->temp == TempSide::From && fs_.Look(rename->from)) {
            openCycles.insert(rename->from);
        } else if (rename != nullptr && rename->temp == TempSide::To) {
            openCycles.erase(rename->to);
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
    // Also after a cancel or a journal failure: no file may be left at a
    // temporary name.
    ResolveTempNames(false);
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
using undo_detail::Distrust;
using undo_detail::Outside;

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
    // Keeping settles the run for good: not while its files cannot be
    // reached, or a file left there at a temporary name would never get its
    // name.
    if (keep && !(summary.refusal = undoer.Unreachable()).empty()) {
        summary.ended = UndoSummary::Ended::Refused;
        return summary;
    }
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
