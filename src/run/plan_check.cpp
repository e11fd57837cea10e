#include "run/plan_check.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <map>
#include <unordered_map>

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

// Paths as their folders compare names: a folder (by its spelling) and a name,
// as it is or folded to lower case in a case-insensitive folder.
class CPathKeys final {
  public:
    explicit CPathKeys(const CaseRule& rule) : rule_(rule) {}

    uint32_t FolderId(std::string_view folder) {
        // Entries of one folder mostly come together.
        if (!folders_.empty() && folder == folders_[last_]) {
            return last_;
        }
        auto it = ids_.find(folder);
        if (it == ids_.end()) {
            it = ids_.emplace(folder, static_cast<uint32_t>(folders_.size())).first;
            folders_.push_back(folder);
            folded_.push_back(rule_(std::string(folder)) ? 1 : 0);
        }
        last_ = it->second;
        return it->second;
    }
    std::string_view Folder(uint32_t id) const { return folders_[id]; }
    bool Folded(uint32_t id) const { return folded_[id] != 0; }

    // The name as the folder compares it; a folded one is kept here.
    std::string_view Name(uint32_t folder, std::string_view name) {
        if (!Folded(folder)) {
            return name;
        }
        storage_.push_back(Utf8ToLower(name));
        return storage_.back();
    }

  private:
    const CaseRule& rule_;
    std::unordered_map<std::string_view, uint32_t> ids_;  // views into the plan's paths
    std::vector<std::string_view> folders_;
    std::vector<uint8_t> folded_;
    std::deque<std::string> storage_;
    uint32_t last_ = 0;
};

size_t HashOf(uint32_t folder, std::string_view name) {
    return std::hash<std::string_view>()(name) ^
           (static_cast<size_t>(folder) * 0x9E3779B97F4A7C15ull);
}

// A path as its folder and name, with the hash of both: comparing hashes
// first spares a look at the plan's scattered strings.
struct Keyed {
    uint32_t folder;
    uint32_t index;
    std::string_view name;
    size_t hash;
    bool Is(uint32_t otherFolder, std::string_view otherName, size_t otherHash) const {
        return hash == otherHash && folder == otherFolder && name == otherName;
    }
};

Keyed KeyOf(CPathKeys& keys, std::string_view path, uint32_t index) {
    const uint32_t folder = keys.FolderId(FolderOf(path));
    const std::string_view name = keys.Name(folder, NameOf(path));
    return {folder, index, name, HashOf(folder, name)};
}

// Finds keyed entries by folder and name: open addressing over positions in
// a vector, four bytes a slot, so that a million entries stay light and a
// lookup touches little memory.
class CKeyIndex final {
  public:
    explicit CKeyIndex(const std::vector<Keyed>& keyed) : keyed_(keyed) {
        size_t size = 16;
        while (size < keyed.size() * 2) {
            size *= 2;
        }
        slots_.assign(size, 0);
        mask_ = size - 1;
    }

    // Adds the position unless an equal key is there; gives the one there
    // (the first added), else -1.
    int32_t Add(uint32_t position) {
        const Keyed& key = keyed_[position];
        for (size_t slot = Hash(key.folder, key.name) & mask_;; slot = (slot + 1) & mask_) {
            if (slots_[slot] == 0) {
                slots_[slot] = position + 1;
                return kNone;
            }
            const Keyed& there = keyed_[slots_[slot] - 1];
            if (there.folder == key.folder && there.name == key.name) {
                return static_cast<int32_t>(slots_[slot] - 1);
            }
        }
    }

    // The position of the first entry added with this key, or -1.
    int32_t Find(uint32_t folder, std::string_view name) const {
        for (size_t slot = Hash(folder, name) & mask_;; slot = (slot + 1) & mask_) {
            if (slots_[slot] == 0) {
                return kNone;
            }
            const Keyed& there = keyed_[slots_[slot] - 1];
            if (there.folder == folder && there.name == name) {
                return static_cast<int32_t>(slots_[slot] - 1);
            }
        }
    }

  private:
    static size_t Hash(uint32_t folder, std::string_view name) {
        return std::hash<std::string_view>()(name) ^
               (static_cast<size_t>(folder) * 0x9E3779B97F4A7C15ull);
    }

    const std::vector<Keyed>& keyed_;
    std::vector<uint32_t> slots_;
    size_t mask_ = 0;
};

// What holds each target's name before the run: flags per entry, and the
// name as listed where letter case may differ.
constexpr uint8_t kTaken = 1;
constexpr uint8_t kTakenByFolder = 2;
struct Occupants {
    std::vector<uint8_t> flags;
    std::unordered_map<uint32_t, std::string> listedNames;  // folded folders only
};

void SetStatus(EntryCheck& check, EntryStatus status, int error, int32_t other = kNone) {
    check.status = status;
    check.error = error;
    check.other = other;
}

// Lists each target folder once and notes which targets' names are taken (the
// first entry with a name; later ones collide anyway). The listing is read
// directly: at a hundred thousand names it is much of the check's time.
void FindExistingNames(const std::vector<Keyed>& targets, const CKeyIndex& index, CPathKeys& keys,
                       Occupants& occupants) {
    std::vector<uint8_t> listed;
    for (const Keyed& target : targets) {
        if (target.folder >= listed.size()) {
            listed.resize(target.folder + 1, 0);
        }
        if (listed[target.folder]) {
            continue;
        }
        listed[target.folder] = 1;
        const uint32_t folder = target.folder;
        const std::string_view spelt = keys.Folder(folder);
        const bool folded = keys.Folded(folder);
        const int fd = open(spelt.empty() ? "/" : std::string(spelt).c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* listing = fd >= 0 ? fdopendir(fd) : nullptr;
        if (listing == nullptr) {
            if (fd >= 0) {
                close(fd);
            }
            continue;  // a folder not there yet holds no names
        }
        std::string lower;
        while (const dirent* d = readdir(listing)) {
            std::string_view name(d->d_name);
            if (folded) {
                lower = Utf8ToLower(name);
            }
            const int32_t found = index.Find(folder, folded ? std::string_view(lower) : name);
            if (found == kNone) {
                continue;
            }
            bool isFolder = d->d_type == DT_DIR;
            if (d->d_type == DT_UNKNOWN) {
                struct stat st {};
                isFolder =
                    fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
            }
            const uint32_t entry = targets[static_cast<size_t>(found)].index;
            occupants.flags[entry] = kTaken | (isFolder ? kTakenByFolder : 0);
            if (folded) {
                occupants.listedNames[entry] = std::string(name);
            }
        }
        closedir(listing);
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

PlanCheck CheckPlan(const std::vector<CRenamePlan::Entry>& entries, bool inPlace, bool cdMode) {
    return CheckPlan(entries, inPlace, cdMode, IsCaseInsensitiveFolder);
}

PlanCheck CheckPlan(const std::vector<CRenamePlan::Entry>& entries, bool inPlace, bool cdMode,
                    const CaseRule& caseInsensitive) {
    PlanCheck check;
    const size_t n = entries.size();
    check.entries.resize(n);
    check.order.reserve(n);
    CPathKeys keys(caseInsensitive);

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
        } else if (name.empty() || name == "." || name == ".." ||
                   target.find('\0') != std::string::npos) {
            SetStatus(entry, EntryStatus::Invalid, EINVAL);
        } else if (name.size() > kMaxNameBytes || target.size() > kMaxPathBytes) {
            SetStatus(entry, EntryStatus::Invalid, ENAMETOOLONG);
        } else if (inPlace && target == source) {
            SetStatus(entry, EntryStatus::Unchanged, 0);
        } else {
            targets.push_back(KeyOf(keys, target, static_cast<uint32_t>(i)));
        }
    }

    // Two entries with one new name: the earlier keeps it.
    CKeyIndex targetIndex(targets);
    for (uint32_t k = 0; k < targets.size(); ++k) {
        const int32_t earlier = targetIndex.Add(k);
        if (earlier != kNone) {
            SetStatus(check.entries[targets[k].index], EntryStatus::Collision, EEXIST,
                      static_cast<int32_t>(targets[static_cast<size_t>(earlier)].index));
        }
    }

    // What holds each target's name now.
    Occupants occupants;
    occupants.flags.assign(n, 0);
    FindExistingNames(targets, targetIndex, keys, occupants);
    std::vector<Keyed> sources;
    sources.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        sources.push_back(KeyOf(keys, entries[i].first, static_cast<uint32_t>(i)));
    }
    CKeyIndex sourceIndex(sources);
    for (uint32_t k = 0; k < sources.size(); ++k) {
        sourceIndex.Add(k);
    }

    std::vector<int32_t> next(n, kNone);
    if (inPlace) {
        for (const Keyed& target : targets) {
            EntryCheck& entry = check.entries[target.index];
            if (entry.status != EntryStatus::Ok) {
                continue;
            }
            const int32_t source = sourceIndex.Find(target.folder, target.name);
            if (source != kNone) {
                // Another entry's source: free once that entry has moved. Its
                // own source (a change of letter case alone) is no obstacle.
                if (sources[static_cast<size_t>(source)].index != target.index) {
                    next[target.index] = static_cast<int32_t>(source);
                }
            } else if (occupants.flags[target.index] != 0) {
                SetStatus(entry, EntryStatus::Exists, EEXIST);
            }
        }
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
        std::map<std::pair<uint64_t, uint64_t>, uint32_t> sourceFolders;
        std::vector<uint8_t> seen;
        for (const Keyed& source : sources) {
            if (source.folder >= seen.size()) {
                seen.resize(source.folder + 1, 0);
            }
            if (!seen[source.folder]) {
                seen[source.folder] = 1;
                sourceFolders.emplace(identity(keys.Folder(source.folder)), source.folder);
            }
        }
        for (const Keyed& target : targets) {
            EntryCheck& entry = check.entries[target.index];
            const uint8_t taken = occupants.flags[target.index];
            if (entry.status != EntryStatus::Ok || taken == 0) {
                continue;
            }
            auto listed = occupants.listedNames.find(target.index);
            const std::string name = listed != occupants.listedNames.end()
                                         ? listed->second
                                         : std::string(NameOf(entries[target.index].second));
            const std::string_view targetFolder = keys.Folder(target.folder);
            const auto id = identity(targetFolder);
            auto found = id.first == UINT64_MAX ? sourceFolders.end() : sourceFolders.find(id);
            if (found != sourceFolders.end()) {
                const int32_t source =
                    sourceIndex.Find(found->second, keys.Name(found->second, name));
                if (source != kNone) {
                    SetStatus(entry, EntryStatus::Exists, EEXIST, source);
                    continue;
                }
            }
            FileStatus status;
            std::string existing = std::string(targetFolder) + "/" + name;
            if ((taken & kTakenByFolder) != 0) {
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

std::string StatusReason(const PlanCheck& check, const std::vector<CRenamePlan::Entry>& entries,
                         size_t index) {
    const EntryCheck& entry = check.entries[index];
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
            return entry.error == ENAMETOOLONG ? "The new name is too long"
                                               : "The rules give no valid new name";
        default:
            return {};
    }
}

}  // namespace quorvan
