#pragma once

#include <string>

#include "common/local_time.h"

namespace quorvan {

// A settings page as the core sees it: its controls addressed by control
// number. The desktop pages implement it over their widgets; the command line
// and the tests use an in-memory page.
class CPageControls {
  public:
    virtual ~CPageControls() = default;

    // Check boxes and option buttons (an option is "checked" when selected).
    virtual bool IsChecked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    virtual bool IsEnabled(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;

    // Edit boxes.
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;

    // Date and time pickers.
    virtual LocalDateTime DateTime(int id) const = 0;
    virtual void SetDateTime(int id, const LocalDateTime& value) = 0;

    // Drop-down lists: the selected position, -1 for none.
    virtual int Selection(int id) const = 0;
    virtual void SetSelection(int id, int index) = 0;

    // Lists: rows with texts in columns and, where the list has them, check
    // boxes. Rows are in the list's own order.
    virtual int RowCount(int id) const = 0;
    virtual std::string RowText(int id, int row, int column = 0) const = 0;
    virtual bool IsRowChecked(int id, int row) const = 0;
    virtual void SetRowChecked(int id, int row, bool checked) = 0;
    virtual void ClearRows(int id) = 0;
    // Adds a row (first column) unless a row with that text exists, letter case
    // ignored, as the extension lists of the filter page do.
    virtual void AddUniqueRow(int id, const std::string& text) = 0;
};

}  // namespace quorvan
