#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cancel.h"
#include "rules/rename_plan.h"

namespace quorvan {

// What the check of a whole plan says of one entry.
enum class EntryStatus : uint8_t {
    Ok,         // renamed or copied as shown, perhaps in another order
    Unchanged,  // the new name is the old one: nothing to do, not a failure
    Collision,  // an earlier entry gets the same new name
    Exists,     // a file or folder that the run does not move away has the name
    Invalid,    // no file can have the new name
};

// "ok", "unchanged", "collision", "exists" or "invalid".
const char* StatusWord(EntryStatus status);
inline bool IsFailing(EntryStatus status) {
    return status != EntryStatus::Ok && status != EntryStatus::Unchanged;
}

struct EntryCheck {
    EntryStatus status = EntryStatus::Ok;
    // The errno a failing entry stands for: EEXIST, ENAMETOOLONG, EINVAL or
    // kSlashInName;
    // EISDIR or EACCES for a folder or a read-only file that a copy cannot
    // replace.
    int error = 0;
    // Collision: the earlier entry with the same name. Exists: the entry whose
    // file keeps the name, or -1 for a file outside the plan.
    int32_t other = -1;
    // Invalid by the rules themselves: the reason in PlanCheck::notes.
    int32_t note = -1;
};

// One move of a rename in place, in an order in which every target is free
// when its move comes: a chain (renumbering) from its free end, and a cycle
// (a swap, a rotation) through a temporary name in the same folder.
struct MoveStep {
    enum class Kind : uint8_t {
        Direct,         // source to target
        ToTemporary,    // source to a temporary name, freeing the source's name
        FromTemporary,  // the temporary name to the target
    };
    uint32_t entry = 0;
    Kind kind = Kind::Direct;
};

struct PlanCheck {
    std::vector<EntryCheck> entries;  // one per plan entry, in plan order
    // Every Ok entry once (a cycle's first entry twice, to and from its
    // temporary name). Copies go in plan order.
    std::vector<MoveStep> order;
    size_t counts[5] = {};           // entries per status
    std::vector<std::string> notes;  // the rules' reasons, see EntryCheck::note

    size_t Count(EntryStatus status) const { return counts[static_cast<int>(status)]; }
    size_t Failing() const {
        return Count(EntryStatus::Collision) + Count(EntryStatus::Exists) +
               Count(EntryStatus::Invalid);
    }
};

// Tells whether a folder compares names without regard to letter case.
using CaseRule = std::function<bool(const std::string& folder)>;

// Where the rules put new names.
struct NameFolderRule {
    // Appends the folder, with its final "/", that the rules put the new name
    // of a file of `sourceFolder` in. A target outside it comes from a name
    // that holds a "/", which would move the file elsewhere.
    std::function<void(std::string_view sourceFolder, std::string& folder)> home;
    // A name template's "/" makes folders below that folder: a target may lie
    // deeper.
    bool makesFolders = false;
    // Copy mode: the destination, below which a run makes missing folders.
    std::string madeBelow;

    explicit operator bool() const { return static_cast<bool>(home); }
};

// The rule of a plan computed under `settings` from `sourceRoot`.
NameFolderRule NameFolders(const RenameSettings& settings, std::string_view sourceRoot);

// The error of an entry whose new name holds a "/".
constexpr int kSlashInName = EXDEV;

// Checks the whole plan against the file system as it is now: which entries
// would fail and why, and in what order the moves can run. `inPlace`: moves
// (else copies, which never move a source away). `cdMode`: an entry without a
// target is a track without a title and stays as it is. With `nameFolder`, a
// target outside the folder the rules put its name in is invalid. A target
// folder that is missing is one the run will make (below the source's folder
// in place, below `nameFolder.madeBelow` in copy mode): a file or a symbolic
// link where one of its folders is to be made makes the entry invalid.
// O(n log n), one listing per target folder. A set `cancel` ends the check part way, its
// result then only good for throwing away.
PlanCheck CheckPlan(const std::vector<CRenamePlan::Entry>& entries, bool inPlace, bool cdMode,
                    const CaseRule& caseInsensitive, const NameFolderRule& nameFolder = {},
                    const CancelFlag* cancel = nullptr);
PlanCheck CheckPlan(const std::vector<CRenamePlan::Entry>& entries, bool inPlace, bool cdMode,
                    const NameFolderRule& nameFolder = {});

// Marks the entries that the rules could not name (CRenamePlan::Notes) as
// invalid with the rules' reason, out of the order of moves.
void ApplyPlanNotes(const CRenamePlan& plan, PlanCheck& check);

// Why an entry would fail, in a sentence for the user; empty when it would not.
std::string StatusReason(const PlanCheck& check, const std::vector<CRenamePlan::Entry>& entries,
                         size_t index);

// The longest name a folder entry can have, and the longest path.
constexpr size_t kMaxNameBytes = 255;
constexpr size_t kMaxPathBytes = 4095;

}  // namespace quorvan
