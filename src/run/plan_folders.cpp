// Where the rules put new names, and the folders a run will make for them.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>

#include "common/path.h"
#include "platform/file_system.h"
#include "rules/name_computation.h"
#include "run/plan_check_detail.h"

namespace quorvan {

NameFolderRule NameFolders(const RenameSettings& settings, std::string_view sourceRoot) {
    RenameSettings where;
    where.RenameInPlace = settings.RenameInPlace;
    where.RenameDestFolder = settings.RenameDestFolder;
    // As the plan took it: a relative destination from the working folder.
    if (!where.RenameInPlace && !where.RenameDestFolder.empty() &&
        where.RenameDestFolder.front() != '/') {
        where.RenameDestFolder = AbsoluteFromWorkingFolder(where.RenameDestFolder);
    }
    NameFolderRule rule;
    // A template makes folders on purpose; the plan's notes catch a "/" that
    // the other rules put into its names.
    rule.makesFolders = settings.More.UseTemplate;
    if (!where.RenameInPlace) {
        rule.madeBelow = where.RenameDestFolder;
    }
    rule.home = [where = std::move(where), root = std::string(sourceRoot)](
                    std::string_view sourceFolder, std::string& folder) {
        AppendNameFolder(where, root, sourceFolder, folder);
    };
    return rule;
}

namespace plan_detail {

namespace {

// What stands in the way of making `folder` below `base`: the reason, or
// nothing when every level is a real folder or missing.
std::string FolderBlocker(const std::string& base, std::string_view folder, int& error) {
    std::string path = base;
    for (size_t from = base.size() + 1; from < folder.size();) {
        size_t slash = folder.find('/', from);
        if (slash == std::string_view::npos) {
            slash = folder.size();
        }
        path += '/';
        path.append(folder.substr(from, slash - from));
        from = slash + 1;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) {
            return {};  // made by the run from here on
        }
        if (S_ISLNK(st.st_mode)) {
            error = kErrorSymbolicLink;
            return "A symbolic link is where the folder " + path + " is to be made";
        }
        if (!S_ISDIR(st.st_mode)) {
            error = kErrorNotAFolder;
            return "A file is where the folder " + path + " is to be made";
        }
    }
    return {};
}

}  // namespace

void CheckFoldersToMake(const std::vector<CRenamePlan::Entry>& entries, bool inPlace,
                        const NameFolderRule& nameFolder, std::vector<Keyed>& targets,
                        PlanCheck& check) {
    std::string below = nameFolder.madeBelow;
    while (below.size() > 1 && below.back() == '/') {
        below.pop_back();
    }
    if (!inPlace && below.empty()) {
        return;  // copies to a folder nobody named: made as they come
    }
    // Per target folder, the note of what is in its way (kNone: nothing).
    std::unordered_map<std::string_view, std::pair<int32_t, int>> blocked;
    auto blocks = [&](uint32_t index) {
        const auto& [source, target] = entries[index];
        const std::string_view folder = KeyFolder(target);
        const std::string base(inPlace ? KeyFolder(source) : std::string_view(below));
        if (folder.size() <= base.size() + 1 || folder.compare(0, base.size(), base) != 0 ||
            folder[base.size()] != '/') {
            return false;  // its own folder, or one the run does not make
        }
        auto [it, fresh] = blocked.try_emplace(folder, kNone, 0);
        if (fresh) {
            std::string reason = FolderBlocker(base, folder, it->second.second);
            if (!reason.empty()) {
                it->second.first = static_cast<int32_t>(check.notes.size());
                check.notes.push_back(std::move(reason));
            }
        }
        if (it->second.first == kNone) {
            return false;
        }
        EntryCheck& entry = check.entries[index];
        SetStatus(entry, EntryStatus::Invalid, it->second.second);
        entry.note = it->second.first;
        return true;
    };
    std::erase_if(targets, [&](const Keyed& target) { return blocks(target.index); });
}

}  // namespace plan_detail

}  // namespace quorvan
