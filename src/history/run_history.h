#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/journal.h"

namespace quorvan {

// The journals of past runs: one "<id>.jsonl" per run in the history folder.

inline constexpr const char* kJournalExtension = ".jsonl";

// "history" in the per-user state folder (CCounterStore::DefaultFolder).
std::string HistoryFolder();
std::string JournalPath(const std::string& folder, const std::string& id);

// A run ID: the local start time and four random hex digits,
// "20240612-230730-5f3a". Sorts by time, and names the journal.
std::string MakeRunId(int64_t epoch);
// Local time as the journal writes it: "2024-06-12 23:07:30".
std::string JournalTimeText(int64_t epoch);
// Now, as seconds and nanoseconds since the epoch.
FileTimeNs JournalNow();

enum class RunState {
    Complete,
    Cancelled,
    Aborted,      // stopped before any file (the log or undo file could not be made)
    Interrupted,  // no end record and nobody holds the lock: killed, crashed
    Running,      // the run or an undo of it holds the lock
    Undone,
    PartlyUndone,  // undone with steps skipped, or an undo that did not finish
    Kept,          // interrupted, and the user chose to keep the files as they are
};

// "complete", "cancelled", "aborted", "interrupted", "running", "undone",
// "partly undone", "kept".
const char* RunStateName(RunState state);

// A run as the history lists it.
struct RunSummary {
    std::string path;
    StartRecord start;
    RunState state = RunState::Complete;
    int64_t done = 0;      // plan entries done
    int64_t failed = 0;    // plan entries failed
    int64_t restored = 0;  // files the last undo restored
    int64_t skipped = 0;   // files the last undo skipped
    std::string reason;    // why an interrupted run stopped, where it could say
};

// Reads what the history shows of one journal, looking at its start and as
// little of its end as tells the state. False when it has no start record.
bool ReadRunSummary(const std::string& path, RunSummary& summary);

// True when a run or an undo holds the journal's lock.
bool JournalLocked(const std::string& path);

// Every run of `folder`, newest first.
std::vector<RunSummary> ListRuns(const std::string& folder);

enum class FindRunResult { Found, NotFound, Ambiguous };
// The run with this ID, or the only one whose ID starts with it.
FindRunResult FindRun(const std::vector<RunSummary>& runs, const std::string& idOrPrefix,
                      size_t& index);

// Whether an undo of a run in this state can do anything: not while it runs,
// nor once undone completely, nor for a run that never started its work.
bool CanUndo(RunState state);
// What `undo` takes without an ID: the newest run that CanUndo, or null.
const RunSummary* NewestUndoable(const std::vector<RunSummary>& runs);

// Which journals to keep: those of the last `keepRuns` runs and of every run
// not older than `keepSeconds`, whichever keeps more.
struct RetentionPolicy {
    size_t keepRuns = 100;
    int64_t keepSeconds = int64_t{90} * 24 * 3600;
};

// Removes the journals the policy does not keep. A journal whose lock is held
// is never removed. Returns how many were removed.
int PruneHistory(const std::string& folder, int64_t now, const RetentionPolicy& policy = {});

// The start of a run: makes the history folder (owner only), creates the
// journal under a fresh ID with its start record (fills the record's id,
// time, epoch, nsec, pid and version; the caller gives folder, mode,
// destination and files) and prunes old journals. 0 or an errno value: a run
// must not start without its journal.
int OpenRunJournal(CJournalWriter& writer, StartRecord& start, const std::string& folder);

// An end record stamped now.
EndRecord MakeEndRecord(RunEnd status, int64_t done, int64_t failed);

// "The run journal could not be written: No space left on device".
std::string JournalFailureText(int error);

}  // namespace quorvan
