#pragma once

#include <QWidget>
#include <functional>

#include "rules/rule_pages.h"
#include "rules/state_page.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quorvan {

// The Extended settings page: the extension change, the text appended after
// the extension, the three processing switches, and renaming in place versus
// copying to a destination folder first.
class CExtendedSettingsDlg final : public QWidget, public CStatePage<ExtendedPageState> {
    Q_OBJECT
  public:
    explicit CExtendedSettingsDlg(QWidget* parent = nullptr);

    ExtendedPageState State() const override;
    void SetState(const ExtendedPageState& state) override;

    // Called with the new state whenever the user clicks "Include subfolders";
    // the main window ticks its source list and disables its selection there.
    void SetSubfolderHandler(std::function<void(bool checked)> handler);
    QPushButton* BrowseButton() const { return browse_; }
    // "Include subfolders", for a click made on the user's behalf.
    QAbstractButton* IncludeSubfoldersBox() const;

  private:
    // The one place that decides what is enabled.
    void UpdateControls();
    void OnBrowse();

    QCheckBox* changeExtension_;
    QLineEdit* newExtension_;
    QCheckBox* concatExtension_;
    QLineEdit* concatText_;
    QCheckBox* includeSubfolders_;
    QCheckBox* generateLog_;
    QCheckBox* generateUndo_;
    QRadioButton* renameExisting_;
    QRadioButton* copyThenRename_;
    QLabel* destinationLabel_;
    QLineEdit* destinationFolder_;
    QPushButton* browse_;
    std::function<void(bool)> subfolderHandler_;
};

}  // namespace quorvan
