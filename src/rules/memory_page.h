#pragma once

#include <map>
#include <string>
#include <vector>

#include "rules/page.h"

namespace quorvan {

// A page held in memory: what the command line uses instead of the filter
// page's widgets, and what the tests drive. Option buttons of one group clear each other.
class CMemoryPage final : public CPageControls {
  public:
    struct Row {
        std::vector<std::string> columns;
        bool checked = false;
    };

    // Declares a group of option buttons: selecting one clears the others.
    void AddOptionGroup(std::vector<int> ids);

    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;
    bool IsEnabled(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    LocalDateTime DateTime(int id) const override;
    void SetDateTime(int id, const LocalDateTime& value) override;
    int Selection(int id) const override;
    void SetSelection(int id, int index) override;
    int RowCount(int id) const override;
    std::string RowText(int id, int row, int column = 0) const override;
    bool IsRowChecked(int id, int row) const override;
    void SetRowChecked(int id, int row, bool checked) override;
    void ClearRows(int id) override;
    void AddUniqueRow(int id, const std::string& text) override;

    // Appends a row without the duplicate check.
    void AddRow(int id, std::vector<std::string> columns, bool checked = false);

  private:
    std::map<int, bool> checked_;
    std::map<int, bool> disabled_;
    std::map<int, std::string> texts_;
    std::map<int, LocalDateTime> dateTimes_;
    std::map<int, int> selections_;
    std::map<int, std::vector<Row>> rows_;
    std::vector<std::vector<int>> optionGroups_;
    LocalDateTime created_ = CurrentLocalTime();
};


}  // namespace quorvan
