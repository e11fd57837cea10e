#include "rules/memory_page.h"

#include <algorithm>

#include "common/text.h"
#include "rules/control_ids.h"

namespace quorvan {

void CMemoryPage::AddOptionGroup(std::vector<int> ids) {
    optionGroups_.push_back(std::move(ids));
}

bool CMemoryPage::IsChecked(int id) const {
    auto it = checked_.find(id);
    return it != checked_.end() && it->second;
}

void CMemoryPage::SetChecked(int id, bool checked) {
    if (checked) {
        for (const auto& group : optionGroups_) {
            if (std::find(group.begin(), group.end(), id) != group.end()) {
                for (int other : group) {
                    checked_[other] = false;
                }
            }
        }
    }
    checked_[id] = checked;
}

bool CMemoryPage::IsEnabled(int id) const {
    auto it = disabled_.find(id);
    return it == disabled_.end() || !it->second;
}

void CMemoryPage::SetEnabled(int id, bool enabled) {
    disabled_[id] = !enabled;
}

std::string CMemoryPage::Text(int id) const {
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second;
}

void CMemoryPage::SetText(int id, const std::string& text) {
    texts_[id] = text;
}

LocalDateTime CMemoryPage::DateTime(int id) const {
    auto it = dateTimes_.find(id);
    return it == dateTimes_.end() ? created_ : it->second;
}

void CMemoryPage::SetDateTime(int id, const LocalDateTime& value) {
    dateTimes_[id] = value;
}

int CMemoryPage::Selection(int id) const {
    auto it = selections_.find(id);
    return it == selections_.end() ? -1 : it->second;
}

void CMemoryPage::SetSelection(int id, int index) {
    selections_[id] = index;
}

int CMemoryPage::RowCount(int id) const {
    auto it = rows_.find(id);
    return it == rows_.end() ? 0 : static_cast<int>(it->second.size());
}

std::string CMemoryPage::RowText(int id, int row, int column) const {
    auto it = rows_.find(id);
    if (it == rows_.end() || row < 0 || row >= static_cast<int>(it->second.size())) {
        return {};
    }
    const auto& columns = it->second[static_cast<size_t>(row)].columns;
    return column >= 0 && column < static_cast<int>(columns.size())
               ? columns[static_cast<size_t>(column)]
               : std::string();
}

bool CMemoryPage::IsRowChecked(int id, int row) const {
    auto it = rows_.find(id);
    return it != rows_.end() && row >= 0 && row < static_cast<int>(it->second.size()) &&
           it->second[static_cast<size_t>(row)].checked;
}

void CMemoryPage::SetRowChecked(int id, int row, bool checked) {
    auto it = rows_.find(id);
    if (it != rows_.end() && row >= 0 && row < static_cast<int>(it->second.size())) {
        it->second[static_cast<size_t>(row)].checked = checked;
    }
}

void CMemoryPage::ClearRows(int id) {
    rows_.erase(id);
}

void CMemoryPage::AddUniqueRow(int id, const std::string& text) {
    auto& rows = rows_[id];
    for (const Row& row : rows) {
        if (!row.columns.empty() && EqualsIgnoreCase(row.columns[0], text)) {
            return;
        }
    }
    // The desktop lists keep their rows sorted by text; so does this one.
    Row row{{text}, false};
    auto at = std::upper_bound(rows.begin(), rows.end(), row, [](const Row& a, const Row& b) {
        return a.columns[0] < b.columns[0];
    });
    rows.insert(at, std::move(row));
}

void CMemoryPage::AddRow(int id, std::vector<std::string> columns, bool checked) {
    rows_[id].push_back(Row{std::move(columns), checked});
}

}  // namespace quorvan
