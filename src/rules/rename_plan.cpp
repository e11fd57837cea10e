#include "rules/rename_plan.h"

#include <algorithm>

#include "common/path.h"
#include "rules/more_rules.h"
#include "rules/name_computation.h"
#include "rules/sequence_order.h"
#include "rules/template_names.h"

namespace quorvan {

namespace {

bool SourceLess(const CRenamePlan::Entry& a, const CRenamePlan::Entry& b) {
    return a.first < b.first;
}

}  // namespace

void CRenamePlan::Clear() {
    entries_.clear();
    sortedCount_ = 0;
    leftOut_.clear();
}

void CRenamePlan::Add(std::string source) {
    entries_.emplace_back(std::move(source), std::string());
}

void CRenamePlan::Sort() const {
    if (sortedCount_ == entries_.size()) {
        return;
    }
    // Rows of the source list come in order already.
    if (!std::is_sorted(entries_.begin(), entries_.end(), SourceLess)) {
        std::sort(entries_.begin(), entries_.end(), SourceLess);
    }
    // Of equal sources only one can carry a target: the entry that was there
    // before the others were added again. That one stays.
    auto out = entries_.begin();
    for (auto it = entries_.begin(); it != entries_.end();) {
        auto same = it + 1;
        while (same != entries_.end() && same->first == it->first) {
            if (it->second.empty()) {
                it->second = std::move(same->second);
            }
            ++same;
        }
        if (out != it) {
            *out = std::move(*it);
        }
        ++out;
        it = same;
    }
    entries_.erase(out, entries_.end());
    sortedCount_ = entries_.size();
}

const std::vector<CRenamePlan::Entry>& CRenamePlan::Entries() const {
    Sort();
    return entries_;
}

std::vector<CRenamePlan::Entry>& CRenamePlan::Entries() {
    Sort();
    return entries_;
}

const CRenamePlan::Entry* CRenamePlan::Find(std::string_view source) const {
    const std::vector<Entry>& entries = Entries();
    auto it = std::lower_bound(entries.begin(), entries.end(), source,
                               [](const Entry& e, std::string_view key) { return e.first < key; });
    return it != entries.end() && it->first == source ? &*it : nullptr;
}

CRenamePlan::Entry* CRenamePlan::Find(std::string_view source) {
    return const_cast<Entry*>(static_cast<const CRenamePlan*>(this)->Find(source));
}

void ComputePlan(const RenameSettings& settings, CRenamePlan& plan, std::string_view sourceRoot,
                 SequenceState& sequence, const CdPairing* cd, const TemplateNames* names,
                 const CancelFlag* cancel) {
    plan.ClearNotes();
    // Compiled once for the whole plan. Rules that cannot make names give
    // none: better no target than names made without the rule.
    const CMoreRulesProgram more(settings.More);
    if (!more.Usable()) {
        for (CRenamePlan::Entry& entry : plan.Entries()) {
            entry.second.clear();
        }
        return;
    }
    const MoreRuleSettings& m = settings.More;
    const bool ownOrder = m.Order != SequenceOrder::Path || m.SequencePerFolder;
    if (cd == nullptr) {
        std::vector<CRenamePlan::Entry>& entries = plan.Entries();
        auto compute = [&](size_t i) {
            CRenamePlan::Entry& entry = entries[i];
            if (names == nullptr) {
                if (!ComputeName(settings, more, sequence, sourceRoot, entry.first, entry.second,
                                 false)) {
                    plan.AddNote(i, kSlashInNameReason);
                }
            } else if (i >= names->names.size() || !names->missing[i].empty()) {
                entry.second = entry.first;
                plan.AddNote(i, i < names->missing.size() ? names->missing[i] : std::string());
            } else {
                // The template's name stands where a CD title would.
                entry.second = names->names[i];
                if (!ComputeName(settings, more, sequence, sourceRoot, entry.first, entry.second,
                                 true)) {
                    plan.AddNote(i, kSlashInNameReason);
                }
            }
        };
        if (settings.TextMode || !ownOrder) {
            for (size_t i = 0; i < entries.size(); ++i) {
                if (CancelledAt(cancel, i)) {
                    return;
                }
                compute(i);
            }
            return;
        }
        // Only the numbers follow the chosen order; the plan keeps its own.
        std::string_view folder;
        bool first = true;
        size_t done = 0;
        for (size_t i : NumberingOrder(entries, m)) {
            if (CancelledAt(cancel, done++)) {
                return;
            }
            const std::string_view entryFolder = FolderOf(entries[i].first);
            if (m.SequencePerFolder && !first && entryFolder != folder) {
                sequence = StartSequence(settings, sequence.alphaLowerCase);
            }
            folder = entryFolder;
            first = false;
            compute(i);
        }
        return;
    }
    // A title goes to the next track file that is in the plan.
    size_t title = 0;
    for (size_t k = 0; k < cd->trackOrder.size(); ++k) {
        const std::string& track = cd->trackOrder[k];
        if (title >= cd->titles.size() || CancelledAt(cancel, k)) {
            break;
        }
        CRenamePlan::Entry* entry = plan.Find(track);
        if (entry == nullptr) {
            continue;
        }
        std::string target = cd->titles[title++];
        // A track title is a name, never a path.
        const bool inFolder = target.find('/') == std::string::npos;
        if (!ComputeName(settings, more, sequence, sourceRoot, entry->first, target, true) ||
            !inFolder) {
            plan.AddNote(static_cast<size_t>(entry - plan.Entries().data()), kSlashInNameReason);
        }
        entry->second = std::move(target);
    }
}

}  // namespace quorvan
