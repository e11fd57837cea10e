#pragma once

#include <functional>

#include "ui/qt_page.h"

namespace quorvan {

// The Extended settings page: the extension change, the text appended after
// the extension, the three processing switches, and renaming in place versus
// copying to a destination folder first.
class CExtendedSettingsDlg final : public CQtPage {
    Q_OBJECT
  public:
    explicit CExtendedSettingsDlg(QWidget* parent = nullptr);

    // Called with the new state whenever the user clicks "Include subfolders";
    // the main window ticks its source list and disables its selection there.
    void SetSubfolderHandler(std::function<void(bool checked)> handler);

  private:
    void OnDestinationChoice();
    void OnBrowse();

    std::function<void(bool)> subfolderHandler_;
};

}  // namespace quorvan
