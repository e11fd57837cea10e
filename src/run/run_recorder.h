#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_identity.h"
#include "platform/trash.h"
#include "rules/rename_plan.h"
#include "history/journal.h"

namespace quorvan {

// The identity of each source of a plan, looked up through each folder
// opened once. Zero where the file cannot be looked at.
std::vector<FileStamp> ListSourceIdentities(const std::vector<CRenamePlan::Entry>& entries);

// What a run writes into its journal, operation by operation: each record
// before the operation it describes, so that a run killed at any moment can
// be undone. Without a journal (switched off for a measurement) every call
// does nothing.
class CRunRecorder final {
  public:
    explicit CRunRecorder(CJournalWriter* journal) : journal_(journal) {}

    bool On() const { return journal_ != nullptr; }
    // The first failure of the journal, 0 when none.
    int Error() const { return journal_ != nullptr ? journal_->Error() : 0; }

    // Before a move of the file at `from`, whose identity may be known (else
    // read now). For a cycle, `temp` tells which name is the
    // temporary one and `then` where the file goes after it.
    void Rename(const std::string& from, const std::string& to, const FileStamp& known = {},
                TempSide temp = TempSide::None, const std::string& then = {});
    // Before the run makes the folder `folder`.
    void Folder(const std::string& folder);
    // Before the run makes a temporary file in `folder` (copy mode).
    void TempFolder(const std::string& folder);
    // The copy's data is in `temp`, which is about to take the name `to`.
    void Copy(const std::string& from, const std::string& to, const std::string& temp);
    // Before and after the file at `path` goes to the trash, to make room for
    // a copy.
    void Trash(const std::string& path);
    void Trashed(const std::string& path, const TrashEntry& entry);
    // Before the attributes of `path` change: what they are now.
    void Attributes(const std::string& path);
    // Before the times of `path` change to the ones given (seconds).
    void Times(const std::string& path, int64_t newAccess, int64_t newModification);
    // After each plan entry.
    void File(const std::string& from, const std::string& to, bool ok, const std::string& error);
    // The last record; after a failure of the journal it says why the run
    // stopped, in the space the journal holds back for it.
    void End(RunEnd status, int64_t done, int64_t failed, const std::string& reason = {});

  private:
    void Append(const JournalRecord& record);

    CJournalWriter* journal_;
};

}  // namespace quorvan
