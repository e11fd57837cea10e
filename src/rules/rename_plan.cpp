#include <algorithm>

#include "rules/control_ids.h"
#include "rules/rename_rules.h"

namespace quorvan {

namespace {

bool KeyLess(const CRenameRules::PlanEntry& a, const CRenameRules::PlanEntry& b) {
    return a.first < b.first;
}

}  // namespace

bool CRenameRules::ClearPlan() {
    plan_.clear();
    sortedCount_ = 0;
    cursor_ = 0;
    return true;
}

void CRenameRules::AddSource(const std::string& sourcePath) {
    plan_.emplace_back(sourcePath, "");
}

void CRenameRules::SortPlan() {
    if (sortedCount_ == plan_.size()) {
        return;
    }
    std::sort(plan_.begin(), plan_.end(), KeyLess);
    // Of equal keys only one can carry a target: the entry that was there
    // before the others were added again. That one stays.
    auto out = plan_.begin();
    for (auto it = plan_.begin(); it != plan_.end();) {
        auto same = it + 1;
        while (same != plan_.end() && same->first == it->first) {
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
    plan_.erase(out, plan_.end());
    sortedCount_ = plan_.size();
}

std::vector<CRenameRules::PlanEntry>::iterator CRenameRules::FindEntry(const std::string& key) {
    SortPlan();
    auto it = std::lower_bound(plan_.begin(), plan_.end(), PlanEntry{key, {}}, KeyLess);
    return it != plan_.end() && it->first == key ? it : plan_.end();
}

const std::vector<CRenameRules::PlanEntry>& CRenameRules::PlanEntries() {
    SortPlan();
    return plan_;
}

bool CRenameRules::IsPlanSource(const std::string& path) {
    return FindEntry(path) != plan_.end();
}

size_t CRenameRules::PlanSize() {
    SortPlan();
    return plan_.size();
}

bool CRenameRules::ComputePlan(const std::string& sourceRoot, bool cdFlag) {
    SortPlan();
    StartSequence();
    if (!cdFlag || cdPage_ == nullptr) {
        for (PlanEntry& entry : plan_) {
            ComputeName(sourceRoot, entry.first, entry.second, false);
        }
        return true;
    }
    // Pair the k-th selected track file with the k-th ticked title.
    CPageControls& page = *cdPage_;
    int count = page.RowCount(ids::kRetrievedNames);
    int j = 0;
    for (int k = 0; k < count; ++k) {
        while (j < count && !page.IsRowChecked(ids::kRetrievedNames, j)) {
            ++j;
        }
        if (j >= count) {
            break;
        }
        auto entry = FindEntry(page.RowText(ids::kSelectedTracks, k, 0));
        if (entry == plan_.end()) {
            continue;
        }
        std::string target = page.RowText(ids::kRetrievedNames, j, ids::kRetrievedNameColumn);
        ComputeName(sourceRoot, entry->first, target, true);
        entry->second = std::move(target);
        ++j;
    }
    return true;
}

bool CRenameRules::FirstTarget(std::string& target) {
    SortPlan();
    cursor_ = 0;
    return NextTarget(target);
}

bool CRenameRules::NextTarget(std::string& target) {
    if (cursor_ >= plan_.size()) {
        return false;
    }
    target = plan_[cursor_++].second;
    return true;
}

bool CRenameRules::FirstPair(std::string& source, std::string& target) {
    SortPlan();
    cursor_ = 0;
    return NextPair(source, target);
}

bool CRenameRules::NextPair(std::string& source, std::string& target) {
    if (cursor_ >= plan_.size()) {
        return false;
    }
    source = plan_[cursor_].first;
    target = plan_[cursor_].second;
    ++cursor_;
    return true;
}

}  // namespace quorvan
