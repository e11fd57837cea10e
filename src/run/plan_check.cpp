#include "run/plan_check.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <functional>
#include <map>

#include "common/path.h"
#include "common/text.h"
#include "platform/file_system.h"
#include "platform/folder_kind.h"

namespace quorvan {

namespace {

constexpr int32_t kNone = -1;

std::string_view FolderOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

std::string_view NameOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Paths as their folders compare names: as they are, or folded to lower case
// in a case-insensitive folder.
class CPathKeys final {
  public:
    explicit CPathKeys(const CaseRule& rule) : rule_(rule) {}

    bool Folded(std::string_view folder) {
        auto it = folders_.find(folder);
        if (it == folders_.end()) {
            it = folders_.emplace(std::string(folder), rule_(std::string(folder))).first;
        }
        return it->second;
    }

    std::string_view Key(std::string_view path) {
        std::string_view folder = FolderOf(path);
        if (!Folded(folder)) {
            return path;
        }
        storage_.push_back(std::string(folder) + "/" + Utf8ToLower(NameOf(path)));
        return storage_.back();
    }

    std::string NameKey(std::string_view folder, std::string_view name) {
        return Folded(folder) ? Utf8ToLower(name) : std::string(name);
    }

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

void SortKeyed(std::vector<Keyed>& keyed) {
    // Rules that keep the sources' order leave nothing to sort.
    if (!std::is_sorted(keyed.begin(), keyed.end())) {
        std::sort(keyed.begin(), keyed.end());
    }
}

// The entries whose key equals `key`, as a range of a sorted vector.
KeyedRange Find(const std::vector<Keyed>& sorted, std::string_view key) {
    auto from =
        std::lower_bound(sorted.begin(), sorted.end(), key,
                         [](const Keyed& k, std::string_view wanted) { return k.Key() < wanted; });
    auto to = from;
    while (to != sorted.end() && to->Key() == key) {
        ++to;
    }
    return {from, to};
}

// Finds keys of a sorted vector with one probe of a hash table, where a
// binary search would touch twenty scattered strings: a folder listing asks
// once per file in it.
class CKeyIndex final {
  public:
    explicit CKeyIndex(const std::vector<Keyed>& sorted) : sorted_(sorted) {
        size_t size = 16;
        while (size < sorted.size() * 2) {
            size <<= 1;
        }
        mask_ = size - 1;
        slots_.assign(size, 0);
        for (size_t i = 0; i < sorted.size(); ++i) {
            if (i > 0 && sorted[i].Key() == sorted[i - 1].Key()) {
                continue;  // the run's first stands for it
            }
            size_t at = Hash(sorted[i].Key());
            while (slots_[at] != 0) {
                at = (at + 1) & mask_;
            }
            slots_[at] = static_cast<uint32_t>(i + 1);
        }
    }

    KeyedRange Find(std::string_view key) const {
        for (size_t at = Hash(key); slots_[at] != 0; at = (at + 1) & mask_) {
            auto from = sorted_.begin() + (slots_[at] - 1);
            if (from->Key() == key) {
                auto to = from;
                while (to != sorted_.end() && to->Key() == key) {
                    ++to;
                }
                return {from, to};
            }
        }
        return {sorted_.end(), sorted_.end()};
    }

  private:
    size_t Hash(std::string_view key) const { return std::hash<std::string_view>()(key) & mask_; }

    const std::vector<Keyed>& sorted_;
    std::vector<uint32_t> slots_;  // position in sorted_ + 1; 0 for none
    size_t mask_ = 0;
};

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

void SetStatus(EntryCheck& check, EntryStatus status, int error, int32_t other = kNone) {
    check.status = status;
    check.error = error;
    check.other = other;
}

// Lists each target folder once and notes which targets' names are taken.
void FindExistingNames(const std::vector<CRenamePlan::Entry>& entries,
                       const std::vector<Keyed>& targets, CPathKeys& keys, Occupants& occupants) {
    occupants.flags.assign(entries.size(), 0);
    const CKeyIndex index(targets);
    std::string_view lastFolder;
    bool first = true;
    std::string key;
    for (const Keyed& target : targets) {
        std::string_view folder = FolderOf(entries[target.index].second);
        if (!first && folder == lastFolder) {
            continue;
        }
        first = false;
        lastFolder = folder;
        // Targets of one folder are neighbours in key order only when their
        // folders are spelt alike, which they are: each comes from one text.
        std::string folderText(folder.empty() ? "/" : folder);
        const bool folded = keys.Folded(folder);
        int error = 0;
        ListFolder(
            folderText,
            [&](const FolderEntry& listed) {
                key.assign(folder);
                key += '/';
                key += folded ? Utf8ToLower(listed.name) : listed.name;
                auto [from, to] = index.Find(key);
                for (auto it = from; it != to; ++it) {
                    occupants.flags[it->index] =
                        Occupants::kTaken | (listed.isFolder ? Occupants::kFolder : 0);
                    if (folded && NameOf(entries[it->index].second) != listed.name) {
                        occupants.spelling[it->index] = listed.name;
                    }
                }
            },
            error);
    }
}

// Follows each Ok candidate's chain of occupants: an entry is Ok when its
// target is free, or held by an entry that moves (a chain), or when the chain
// comes back to it (a cycle); else the name stays taken.
void ResolveChains(PlanCheck& check, const std::vector<int32_t>& next,
                   std::vector<uint8_t>& inCycle) {
    const size_t n = next.size();
    std::vector<uint8_t> state(n, 0);  // 0 open, 1 on the current path, 2 decided
    std::vector<uint32_t> path;
    for (size_t start = 0; start < n; ++start) {
        if (state[start] != 0 || check.entries[start].status != EntryStatus::Ok) {
            continue;
        }
        path.clear();
        size_t at = start;
        bool ok = true;
        int32_t blocker = kNone;
        while (true) {
            if (check.entries[at].status != EntryStatus::Ok || state[at] == 2) {
                // An entry that stays (failing, unchanged) or is decided.
                ok = check.entries[at].status == EntryStatus::Ok;
                blocker = ok ? kNone : static_cast<int32_t>(at);
                break;
            }
            if (state[at] == 1) {
                // Back on the path: the part from `at` on is a cycle.
                auto from = std::find(path.begin(), path.end(), static_cast<uint32_t>(at));
                for (auto it = from; it != path.end(); ++it) {
                    inCycle[*it] = 1;
                }
                break;
            }
            state[at] = 1;
            path.push_back(static_cast<uint32_t>(at));
            if (next[at] == kNone) {
                break;  // free
            }
            at = static_cast<size_t>(next[at]);
        }
        for (uint32_t member : path) {
            state[member] = 2;
            if (!ok) {
                SetStatus(check.entries[member], EntryStatus::Exists, EEXIST, blocker);
            }
        }
    }
}

// The safe order: near plan order, each chain from its free end, each cycle
// through a temporary name.
void OrderMoves(PlanCheck& check, const std::vector<int32_t>& next,
                const std::vector<int32_t>& previous, const std::vector<uint8_t>& inCycle) {
    const size_t n = next.size();
    std::vector<uint8_t> emitted(n, 0);
    std::vector<uint32_t> chain;
    for (size_t start = 0; start < n; ++start) {
        if (emitted[start] || check.entries[start].status != EntryStatus::Ok) {
            continue;
        }
        if (inCycle[start]) {
            // start -> temporary; then the member holding start's source name
            // moves into it, and so on back round; last the temporary to
            // start's target.
            check.order.push_back({static_cast<uint32_t>(start), MoveStep::Kind::ToTemporary});
            emitted[start] = 1;
            for (int32_t at = previous[start]; at != static_cast<int32_t>(start);
                 at = previous[static_cast<size_t>(at)]) {
                check.order.push_back({static_cast<uint32_t>(at), MoveStep::Kind::Direct});
                emitted[static_cast<size_t>(at)] = 1;
            }
            check.order.push_back({static_cast<uint32_t>(start), MoveStep::Kind::FromTemporary});
            continue;
        }
        // Walk to the free end, then move back up the chain.
        chain.clear();
        for (int32_t at = static_cast<int32_t>(start);
             at != kNone && !emitted[static_cast<size_t>(at)]; at = next[static_cast<size_t>(at)]) {
            chain.push_back(static_cast<uint32_t>(at));
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            check.order.push_back({*it, MoveStep::Kind::Direct});
            emitted[*it] = 1;
        }
    }
}

}  // namespace

const char* StatusWord(EntryStatus status) {
    switch (status) {
        case EntryStatus::Ok:
            return "ok";
        case EntryStatus::Unchanged:
            return "unchanged";
        case EntryStatus::Collision:
            return "collision";
        case EntryStatus::Exists:
            return "exists";
        case EntryStatus::Invalid:
            return "invalid";
    }
    return "ok";
}

NameFolderRule NameFolders(const RenameSettings& settings, std::string_view sourceRoot) {
    // A template makes folders on purpose; the plan's notes catch a "/" that
    // the other rules put into its names.
    if (settings.More.UseTemplate) {
        return {};
    }
    RenameSettings where;
    where.RenameInPlace = settings.RenameInPlace;
    where.RenameDestFolder = settings.RenameDestFolder;
    // As the plan took it: a relative destination from the working folder.
    if (!where.RenameInPlace && !where.RenameDestFolder.empty() &&
        where.RenameDestFolder.front() != '/') {
        where.RenameDestFolder = AbsoluteFromWorkingFolder(where.RenameDestFolder);
    }
    return [where = std::move(where), root = std::string(sourceRoot)](std::string_view sourceFolder,
                                                                      std::string& folder) {
        AppendNameFolder(where, root, sourceFolder, folder);
    };
}

PlanCheck CheckPlan(const std::vector<CRenamePlan::Entry>& entries, bool inPlace, bool cdMode,
                    const NameFolderRule& nameFolder) {
    return CheckPlan(entries, inPlace, cdMode, IsCaseInsensitiveFolder, nameFolder);
}

PlanCheck CheckPlan(const std::vector<CRenamePlan::Entry>& entries, bool inPlace, bool cdMode,
                    const CaseRule& caseInsensitive, const NameFolderRule& nameFolder) {
    PlanCheck check;
    const size_t n = entries.size();
    check.entries.resize(n);
    CPathKeys keys(caseInsensitive);

    // A new name is a name, never a path: one with a "/" would take its file
    // out of the folder the rules put it in.
    std::string_view homeOf;
    std::string home;
    auto leavesFolder = [&](std::string_view source, std::string_view target) {
        if (!nameFolder) {
            return false;
        }
        const std::string_view folder = FolderOf(source);
        if (inPlace) {
            return FolderOf(target) != folder;
        }
        if (home.empty() || folder != homeOf) {
            home.clear();
            nameFolder(folder, home);
            homeOf = folder;
        }
        return target.substr(0, home.size()) != home ||
               target.find('/', home.size()) != std::string_view::npos;
    };

    // Names no file can have, and names that stay as they are.
    std::vector<Keyed> targets;
    targets.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const auto& [source, target] = entries[i];
        EntryCheck& entry = check.entries[i];
        std::string_view name = NameOf(target);
        if (target.empty()) {
            if (cdMode) {
                SetStatus(entry, EntryStatus::Unchanged, 0);  // a track without a title
            } else {
                SetStatus(entry, EntryStatus::Invalid, EINVAL);
            }
        } else if (leavesFolder(source, target)) {
            SetStatus(entry, EntryStatus::Invalid, kSlashInName);
        } else if (name.empty() || name == "." || name == ".." ||
                   target.find('\0') != std::string::npos) {
            SetStatus(entry, EntryStatus::Invalid, EINVAL);
        } else if (name.size() > kMaxNameBytes || target.size() > kMaxPathBytes) {
            SetStatus(entry, EntryStatus::Invalid, ENAMETOOLONG);
        } else if (inPlace && target == source) {
            SetStatus(entry, EntryStatus::Unchanged, 0);
        } else {
            targets.emplace_back(keys.Key(target), static_cast<uint32_t>(i));
        }
    }

    // Two entries with one new name: the earlier keeps it.
    SortKeyed(targets);
    for (size_t first = 0, k = 1; k < targets.size(); ++k) {
        if (targets[k].Key() != targets[first].Key()) {
            first = k;
        } else {
            SetStatus(check.entries[targets[k].index], EntryStatus::Collision, EEXIST,
                      static_cast<int32_t>(targets[first].index));
        }
    }

    // What holds each target's name now.
    Occupants occupants;
    FindExistingNames(entries, targets, keys, occupants);
    std::vector<Keyed> sources;
    sources.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        sources.emplace_back(keys.Key(entries[i].first), static_cast<uint32_t>(i));
    }
    SortKeyed(sources);

    std::vector<int32_t> next(n, kNone);
    if (inPlace) {
        // Targets and sources in one key order: one walk pairs them.
        auto source = sources.cbegin();
        for (const Keyed& target : targets) {
            const std::string_view key = target.Key();
            while (source != sources.cend() && source->Key() < key) {
                ++source;
            }
            EntryCheck& entry = check.entries[target.index];
            if (entry.status != EntryStatus::Ok) {
                continue;
            }
            if (source != sources.cend() && source->Key() == key) {
                // Another entry's source: free once that entry has moved. Its
                // own source (a change of letter case alone) is no obstacle.
                for (auto it = source; it != sources.cend() && it->Key() == key; ++it) {
                    if (it->index != target.index) {
                        next[target.index] = static_cast<int32_t>(it->index);
                        break;
                    }
                }
            } else if (occupants.Taken(target.index)) {
                SetStatus(entry, EntryStatus::Exists, EEXIST);
            }
        }
        // Only the links between entries matter from here on.
        std::vector<Keyed>().swap(targets);
        std::vector<Keyed>().swap(sources);
        occupants = Occupants();
        std::vector<uint8_t> inCycle(n, 0);
        ResolveChains(check, next, inCycle);
        std::vector<int32_t> previous(n, kNone);
        for (size_t i = 0; i < n; ++i) {
            if (next[i] != kNone && check.entries[i].status == EntryStatus::Ok) {
                previous[static_cast<size_t>(next[i])] = static_cast<int32_t>(i);
            }
        }
        OrderMoves(check, next, previous, inCycle);
    } else {
        // Copies never move a source away: a source at a target's name is
        // never written, whatever spelling of its folder the target has.
        std::map<std::string, std::pair<uint64_t, uint64_t>, std::less<>> folderIds;
        auto identity = [&](std::string_view folder) {
            auto it = folderIds.find(folder);
            if (it == folderIds.end()) {
                std::pair<uint64_t, uint64_t> id{0, 0};
                if (!FolderIdentity(folder.empty() ? "/" : std::string(folder), id.first,
                                    id.second)) {
                    id = {UINT64_MAX, UINT64_MAX};
                }
                it = folderIds.emplace(std::string(folder), id).first;
            }
            return it->second;
        };
        std::map<std::pair<uint64_t, uint64_t>, std::string_view> sourceFolders;
        for (const auto& entry : entries) {
            std::string_view folder = FolderOf(entry.first);
            sourceFolders.emplace(identity(folder), folder);
        }
        for (const Keyed& target : targets) {
            EntryCheck& entry = check.entries[target.index];
            if (entry.status != EntryStatus::Ok || !occupants.Taken(target.index)) {
                continue;
            }
            const std::string& path = entries[target.index].second;
            auto spelt = occupants.spelling.find(target.index);
            const std::string occupantName(spelt != occupants.spelling.end() ? spelt->second
                                                                             : NameOf(path));
            const auto id = identity(FolderOf(path));
            auto found = id.first == UINT64_MAX ? sourceFolders.end() : sourceFolders.find(id);
            if (found != sourceFolders.end()) {
                std::string key(found->second);
                key += '/';
                key += keys.NameKey(found->second, occupantName);
                auto [from, to] = Find(sources, key);
                if (from != to) {
                    SetStatus(entry, EntryStatus::Exists, EEXIST,
                              static_cast<int32_t>(from->index));
                    continue;
                }
            }
            FileStatus status;
            std::string existing = std::string(FolderOf(path)) + "/" + occupantName;
            if (occupants.Folder(target.index)) {
                SetStatus(entry, EntryStatus::Exists, EISDIR);
            } else if (GetFileStatus(existing, status, kStatusAttributes) &&
                       (status.attributes & kAttrReadOnly) != 0) {
                SetStatus(entry, EntryStatus::Exists, EACCES);
            }
        }
        for (size_t i = 0; i < n; ++i) {
            if (check.entries[i].status == EntryStatus::Ok) {
                check.order.push_back({static_cast<uint32_t>(i), MoveStep::Kind::Direct});
            }
        }
    }

    for (const EntryCheck& entry : check.entries) {
        ++check.counts[static_cast<int>(entry.status)];
    }
    return check;
}

void ApplyPlanNotes(const CRenamePlan& plan, PlanCheck& check) {
    if (plan.Notes().empty()) {
        return;
    }
    std::vector<bool> noted(check.entries.size(), false);
    for (const auto& [index, reason] : plan.Notes()) {
        if (index >= check.entries.size()) {
            continue;
        }
        EntryCheck& entry = check.entries[index];
        --check.counts[static_cast<int>(entry.status)];
        ++check.counts[static_cast<int>(EntryStatus::Invalid)];
        entry.status = EntryStatus::Invalid;
        entry.error = reason == kSlashInNameReason ? kSlashInName : EINVAL;
        entry.note = static_cast<int32_t>(check.notes.size());
        check.notes.push_back(reason);
        noted[index] = true;
    }
    std::erase_if(check.order, [&noted](const MoveStep& step) { return noted[step.entry]; });
}

std::string StatusReason(const PlanCheck& check, const std::vector<CRenamePlan::Entry>& entries,
                         size_t index) {
    const EntryCheck& entry = check.entries[index];
    if (entry.note >= 0) {
        return check.notes[static_cast<size_t>(entry.note)];
    }
    switch (entry.status) {
        case EntryStatus::Collision:
            return "Another file gets this name: " +
                   entries[static_cast<size_t>(entry.other)].first;
        case EntryStatus::Exists:
            if (entry.error == EISDIR) {
                return "A folder with this name already exists";
            }
            if (entry.error == EACCES) {
                return "A read-only file with this name already exists";
            }
            if (entry.other != kNone) {
                return "A file with this name already exists and keeps it: " +
                       entries[static_cast<size_t>(entry.other)].first;
            }
            return "A file with this name already exists";
        case EntryStatus::Invalid:
            if (entry.error == kSlashInName) {
                return "A name cannot contain /";
            }
            return entry.error == ENAMETOOLONG ? "The new name is too long"
                                               : "The rules give no valid new name";
        default:
            return {};
    }
}

}  // namespace quorvan
