#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "history/journal.h"

namespace quorvan {

// One step of an undo (or of keeping an interrupted run's files).
struct UndoStep {
    enum class Kind {
        MoveBack,        // a rename reversed: `path` back to `target`
        TrashCopy,       // a copy made by the run, `path`, to the trash
        TrashTemp,       // a temporary file of the run, `path`, to the trash
        RestoreTrashed,  // a file the run put in the trash, `path`, back to `target`
        Attributes,      // attributes of `path` set back
        Times,           // times of `path` set back
        ResolveTemp,     // a file left at the temporary name `path` moved to `target`
        FinishCopy,      // a finished copy at its temporary name `path` moved to `target`
        RemoveFolder,    // a folder the run made, `path`, removed once empty
    };
    Kind kind = Kind::MoveBack;
    int64_t record = 0;  // line of the journal record it concerns, 0 for none
    std::string path;
    std::string target;
    UndoOutcome outcome = UndoOutcome::Restored;
    std::string reason;  // why it was skipped, or why nothing was to be done
    std::string trash;   // where a copy went in the trash
};

struct UndoSummary {
    enum class Ended {
        Done,
        Cancelled,      // stopped early; temporary names were still resolved
        Running,        // the run or another undo of it holds the journal
        Unreadable,     // no journal, or one without a start record
        NewerFormat,    // written by a newer version of the program
        JournalFailed,  // the undo could not be recorded; it stopped there
        Refused,        // the journal cannot be trusted, or a keep cannot reach its files
                        // (see `refusal`): nothing done
    };
    Ended ended = Ended::Done;
    int error = 0;        // errno value for Unreadable and JournalFailed
    std::string refusal;  // why, for Refused
    std::string runId;
    std::vector<UndoStep> steps;  // in the order they were taken
    int64_t stepsRestored = 0;
    int64_t stepsSkipped = 0;
    int64_t stepsUnchanged = 0;
    // Files (by device and inode): restored, when every step on one was done;
    // skipped, when any step on one was skipped.
    int64_t filesRestored = 0;
    int64_t filesSkipped = 0;
    // Lines of the journal that are no record: what they did is not undone,
    // so the undo is never complete.
    int64_t unreadRecords = 0;
};

struct UndoOptions {
    // Finds out and reports what would be done, changing nothing (the journal
    // neither).
    bool dryRun = false;
    // Checked between steps.
    const std::atomic<bool>* cancel = nullptr;
    // Steps taken of the total, called after each step.
    std::function<void(int64_t done, int64_t total)> progress;
    // Each step as it is taken.
    std::function<void(const UndoStep&)> onStep;
};

// Undoes the run of the journal at `journalPath`, newest operation first:
//  - a rename is reversed when its file is still at the new name (its
//    identity: file system, inode and generation or birth time), never onto
//    a name taken since;
//  - a copy goes to the trash when it is still as the run left it (size and
//    modification time); a copy never put in place is removed;
//  - a file the run put in the trash comes back when its name is free;
//  - attributes and times are set back on the file the run changed, never
//    through a symbolic link (times only when not modified since);
//  - a file left at a cycle's temporary name gets its old name or else its
//    new one, and the run's leftover temporary files go to the trash;
//  - last, the folders the run made are removed, deepest first, when
//    nothing is left in them.
// Undo never removes a file: what it cannot prove to be the run's stays where
// it is, reported. Every step not done is reported with its reason. Steps an earlier undo
// did are not done again, so undoing twice does no harm. The undo is
// recorded in the journal, whose lock it holds throughout.
UndoSummary UndoRun(const std::string& journalPath, const UndoOptions& options = {});

// Keeps the files of an interrupted run as they are, but gives each file
// left at a cycle's temporary name its new name (or its old one when that is
// taken), puts a finished copy in place when its target is free and moves
// other leftover temporary files to the trash. Records "kept" in the journal.
// Refused, recording nothing, while the folder it acts on (the run's, or its
// destination) cannot be reached: missing, or another file system now.
UndoSummary KeepRun(const std::string& journalPath, const UndoOptions& options = {});

// What a step does, as a phrase: "rename /a/2.txt back to /a/1.txt".
std::string DescribeStep(const UndoStep& step);

}  // namespace quorvan
