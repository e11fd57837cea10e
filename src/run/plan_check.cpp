#include "run/plan_check.h"

#include <algorithm>
#include <cerrno>
#include <map>

#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/folder_kind.h"
#include "run/plan_check_detail.h"

namespace quorvan {

using plan_detail::CheckFoldersToMake;
using plan_detail::CPathKeys;
using plan_detail::Find;
using plan_detail::FindExistingNames;
using plan_detail::Keyed;
using plan_detail::KeyFolder;
using plan_detail::KeyName;
using plan_detail::kNone;
using plan_detail::Occupants;
using plan_detail::OrderMoves;
using plan_detail::ResolveChains;
using plan_detail::SetStatus;
using plan_detail::SortKeyed;

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

namespace {

using FolderKey = DeviceInode;

// Copy mode: a target in a folder of the plan's sources that the file system
// resolves to one of those sources, under whatever spelling its folder
// folds names to (letter case, "ss" for "ß", another Unicode form), is that
// source and is never written. Names alone cannot tell: the file system's
// folding is its own.
template <typename Identity>
void MarkTargetsThatReachSources(const std::vector<CRenamePlan::Entry>& entries,
                                 const std::map<FolderKey, std::string_view>& sourceFolders,
                                 Identity& identity, PlanCheck& check) {
    std::map<FolderKey, uint32_t> sourceFiles;  // read when first needed
    bool read = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        EntryCheck& entry = check.entries[i];
        const std::string& target = entries[i].second;
        if (entry.status != EntryStatus::Ok) {
            continue;
        }
        const FolderKey folder = identity(KeyFolder(target));
        if (folder.dev == UINT64_MAX || sourceFolders.count(folder) == 0) {
            continue;
        }
        uint64_t device = 0;
        uint64_t inode = 0;
        if (!EntryIdentity(target, device, inode)) {
            continue;  // nothing has the name, in any spelling
        }
        if (!read) {
            read = true;
            for (size_t k = 0; k < entries.size(); ++k) {
                uint64_t d = 0;
                uint64_t ino = 0;
                if (EntryIdentity(entries[k].first, d, ino)) {
                    sourceFiles.emplace(FolderKey{d, ino}, static_cast<uint32_t>(k));
                }
            }
        }
        if (auto found = sourceFiles.find({device, inode}); found != sourceFiles.end()) {
            SetStatus(entry, EntryStatus::Exists, EEXIST, static_cast<int32_t>(found->second));
        }
    }
}

}  // namespace

PlanCheck CheckPlan(const std::vector<CRenamePlan::Entry>& entries, bool inPlace, bool cdMode,
                    const NameFolderRule& nameFolder) {
    return CheckPlan(entries, inPlace, cdMode, IsCaseInsensitiveFolder, nameFolder);
}

PlanCheck CheckPlan(const std::vector<CRenamePlan::Entry>& entries, bool inPlace, bool cdMode,
                    const CaseRule& caseInsensitive, const NameFolderRule& nameFolder,
                    const CancelFlag* cancel) {
    PlanCheck check;
    const size_t n = entries.size();
    check.entries.resize(n);
    CPathKeys keys(caseInsensitive);

    // A new name is a name, never a path: one with a "/" would take its file
    // out of the folder the rules put it in.
    std::string_view homeOf;
    std::string home;
    // A template's folders lie below that folder.
    auto leavesFolder = [&](std::string_view source, std::string_view target) {
        if (!nameFolder) {
            return false;
        }
        const std::string_view folder = KeyFolder(source);
        if (inPlace) {
            const std::string_view to = KeyFolder(target);
            return nameFolder.makesFolders
                       ? to != folder &&
                             (to.size() <= folder.size() + 1 ||
                              to.compare(0, folder.size(), folder) != 0 || to[folder.size()] != '/')
                       : to != folder;
        }
        if (home.empty() || folder != homeOf) {
            home.clear();
            nameFolder.home(folder, home);
            homeOf = folder;
        }
        return target.substr(0, home.size()) != home ||
               (!nameFolder.makesFolders &&
                target.find('/', home.size()) != std::string_view::npos);
    };

    // Names no file can have, and names that stay as they are.
    std::vector<Keyed> targets;
    targets.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (CancelledAt(cancel, i)) {
            return check;
        }
        const auto& [source, target] = entries[i];
        EntryCheck& entry = check.entries[i];
        std::string_view name = KeyName(target);
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

    // Folders the run is to make, where something else has the name.
    CheckFoldersToMake(entries, inPlace, nameFolder, targets, check);

    // Two entries with one new name, in a folder there or one to be made:
    // the earlier keeps it.
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
    if (Cancelled(cancel)) {
        return check;
    }
    Occupants occupants;
    FindExistingNames(entries, targets, keys, occupants, cancel);
    if (Cancelled(cancel)) {
        return check;
    }
    std::vector<Keyed> sources;
    sources.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        sources.emplace_back(keys.Key(entries[i].first), static_cast<uint32_t>(i));
    }
    SortKeyed(sources);
    if (Cancelled(cancel)) {
        return check;
    }

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
        std::map<std::string, FolderKey, std::less<>> folderIds;
        auto identity = [&](std::string_view folder) {
            auto it = folderIds.find(folder);
            if (it == folderIds.end()) {
                FolderKey id;
                if (!FolderIdentity(folder.empty() ? "/" : std::string(folder), id.dev, id.ino)) {
                    id = {UINT64_MAX, UINT64_MAX};
                }
                it = folderIds.emplace(std::string(folder), id).first;
            }
            return it->second;
        };
        std::map<FolderKey, std::string_view> sourceFolders;
        for (const auto& entry : entries) {
            std::string_view folder = KeyFolder(entry.first);
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
                                                                             : KeyName(path));
            const auto id = identity(KeyFolder(path));
            auto found = id.dev == UINT64_MAX ? sourceFolders.end() : sourceFolders.find(id);
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
            std::string existing = std::string(KeyFolder(path)) + "/" + occupantName;
            if (occupants.Folder(target.index)) {
                SetStatus(entry, EntryStatus::Exists, EISDIR);
            } else if (GetFileStatus(existing, status, kStatusAttributes) &&
                       (status.attributes & kAttrReadOnly) != 0) {
                SetStatus(entry, EntryStatus::Exists, EACCES);
            }
        }
        MarkTargetsThatReachSources(entries, sourceFolders, identity, check);
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
