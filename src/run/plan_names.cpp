// How the check of a plan compares paths and finds the names that are taken.
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "common/text.h"
#include "platform/file_system.h"
#include "run/plan_check_detail.h"

namespace quorvan::plan_detail {

namespace {

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

}  // namespace

std::string_view KeyFolder(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

std::string_view KeyName(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool CPathKeys::Folded(std::string_view folder) {
    auto it = folders_.find(folder);
    if (it == folders_.end()) {
        // A folder still to be made takes after the one it is made in.
        std::string probe(folder);
        struct stat st {};
        while (!probe.empty() && stat(probe.c_str(), &st) != 0) {
            probe.resize(KeyFolder(probe).size());
        }
        it = folders_
                 .emplace(std::string(folder), rule_(probe.empty() ? std::string(folder) : probe))
                 .first;
    }
    return it->second;
}

std::string_view CPathKeys::Key(std::string_view path) {
    std::string_view folder = KeyFolder(path);
    if (!Folded(folder)) {
        return path;
    }
    storage_.push_back(std::string(folder) + "/" + Utf8ToLower(KeyName(path)));
    return storage_.back();
}

std::string CPathKeys::NameKey(std::string_view folder, std::string_view name) {
    return Folded(folder) ? Utf8ToLower(name) : std::string(name);
}

void SortKeyed(std::vector<Keyed>& keyed) {
    // Rules that keep the sources' order leave nothing to sort.
    if (!std::is_sorted(keyed.begin(), keyed.end())) {
        std::sort(keyed.begin(), keyed.end());
    }
}

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

void SetStatus(EntryCheck& check, EntryStatus status, int error, int32_t other) {
    check.status = status;
    check.error = error;
    check.other = other;
}

void FindExistingNames(const std::vector<CRenamePlan::Entry>& entries,
                       const std::vector<Keyed>& targets, CPathKeys& keys, Occupants& occupants,
                       const CancelFlag* cancel) {
    occupants.flags.assign(entries.size(), 0);
    const CKeyIndex index(targets);
    std::string_view lastFolder;
    bool first = true;
    std::string key;
    size_t seen = 0;
    bool cancelled = false;
    for (const Keyed& target : targets) {
        std::string_view folder = KeyFolder(entries[target.index].second);
        if ((!first && folder == lastFolder) || Cancelled(cancel)) {
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
                if (!cancelled && CancelledAt(cancel, ++seen)) {
                    cancelled = true;
                }
                if (cancelled) {
                    return;  // the listing itself cannot be stopped
                }
                key.assign(folder);
                key += '/';
                key += folded ? Utf8ToLower(listed.name) : listed.name;
                auto [from, to] = index.Find(key);
                for (auto it = from; it != to; ++it) {
                    occupants.flags[it->index] =
                        Occupants::kTaken | (listed.isFolder ? Occupants::kFolder : 0);
                    if (folded && KeyName(entries[it->index].second) != listed.name) {
                        occupants.spelling[it->index] = listed.name;
                    }
                }
            },
            error);
    }
}

}  // namespace quorvan::plan_detail
