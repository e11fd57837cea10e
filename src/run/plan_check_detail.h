#pragma once

// The parts of the whole-plan check, shared by its files: how paths compare
// and which names are taken (plan_names.cpp), the safe order of moves
// (plan_order.cpp) and the folders a run makes (plan_folders.cpp).

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "run/plan_check.h"

namespace quorvan::plan_detail {

constexpr int32_t kNone = -1;

// A plan path split at its last "/" so that folder + "/" + name gives it back
// (the keys below are built so): a name right below the root is in "", not
// in "/" as FolderOf has it.
std::string_view KeyFolder(std::string_view path);
std::string_view KeyName(std::string_view path);

// Paths as their folders compare names: as they are, or folded to lower case
// in a case-insensitive folder. A folder the run is yet to make compares as
// the nearest one that exists.
class CPathKeys final {
  public:
    explicit CPathKeys(const CaseRule& rule) : rule_(rule) {}

    bool Folded(std::string_view folder);
    std::string_view Key(std::string_view path);
    std::string NameKey(std::string_view folder, std::string_view name);

  private:
    const CaseRule& rule_;
    std::map<std::string, bool, std::less<>> folders_;
    std::deque<std::string> storage_;
};

// An entry's path as its folder compares names, and the entry. Small, since
// a plan may hold a million of them twice.
struct Keyed {
    Keyed(std::string_view text, uint32_t at)
        : data(text.data()), size(static_cast<uint32_t>(text.size())), index(at) {}
    std::string_view Key() const { return {data, size}; }
    bool operator<(const Keyed& other) const {
        const int order = Key().compare(other.Key());
        return order < 0 || (order == 0 && index < other.index);
    }

    const char* data;
    uint32_t size;
    uint32_t index;
};

using KeyedRange =
    std::pair<std::vector<Keyed>::const_iterator, std::vector<Keyed>::const_iterator>;

void SortKeyed(std::vector<Keyed>& keyed);
// The entries whose key equals `key`, as a range of a sorted vector.
KeyedRange Find(const std::vector<Keyed>& sorted, std::string_view key);

// What holds each target's name before the run: a flag per entry, and where
// a case-insensitive folder lists the name in another spelling, that name.
struct Occupants {
    static constexpr uint8_t kTaken = 1;
    static constexpr uint8_t kFolder = 2;
    std::vector<uint8_t> flags;
    std::map<uint32_t, std::string> spelling;

    bool Taken(uint32_t index) const { return (flags[index] & kTaken) != 0; }
    bool Folder(uint32_t index) const { return (flags[index] & kFolder) != 0; }
};

void SetStatus(EntryCheck& check, EntryStatus status, int error, int32_t other = kNone);

// Lists each target folder once and notes which targets' names are taken.
void FindExistingNames(const std::vector<CRenamePlan::Entry>& entries,
                       const std::vector<Keyed>& targets, CPathKeys& keys, Occupants& occupants,
                       const CancelFlag* cancel);

// Follows each Ok candidate's chain of occupants: an entry is Ok when its
// target is free, or held by an entry that moves (a chain), or when the chain
// comes back to it (a cycle); else the name stays taken.
void ResolveChains(PlanCheck& check, const std::vector<int32_t>& next,
                   std::vector<uint8_t>& inCycle);

// The safe order: near plan order, each chain from its free end, each cycle
// through a temporary name.
void OrderMoves(PlanCheck& check, const std::vector<int32_t>& next,
                const std::vector<int32_t>& previous, const std::vector<uint8_t>& inCycle);

// Marks the entries of `targets` whose folder the run cannot make (a file or
// a symbolic link stands where one of its folders is to be made) invalid, with
// the reason, and takes them out of `targets`. One look per level of each
// target folder.
void CheckFoldersToMake(const std::vector<CRenamePlan::Entry>& entries, bool inPlace,
                        const NameFolderRule& nameFolder, std::vector<Keyed>& targets,
                        PlanCheck& check);

}  // namespace quorvan::plan_detail
