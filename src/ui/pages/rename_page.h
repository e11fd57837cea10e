#pragma once

#include <QWidget>

#include "rules/rule_pages.h"
#include "rules/state_page.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace quorvan {

// The Rename settings page: text modifications (prefix, suffix, case change,
// search and replace) or sequencing (a numeric or alpha sequence placed before,
// after or instead of the name). Switching the mode keeps every tick and text.
class CRenameSettingsDlg final : public QWidget, public CStatePage<RenamePageState> {
    Q_OBJECT
  public:
    explicit CRenameSettingsDlg(QWidget* parent = nullptr);

    RenamePageState State() const override;
    void SetState(const RenamePageState& state) override;

  private:
    void BuildTextFrame(QWidget* frame);
    void BuildSequenceFrame(QWidget* frame);
    // The one place that decides what is enabled.
    void UpdateControls();

    QRadioButton* textMode_;
    QRadioButton* sequencing_;

    QCheckBox* addPrefix_;
    QLineEdit* prefix_;
    QCheckBox* addSuffix_;
    QLineEdit* suffix_;
    QCheckBox* changeCase_;
    QRadioButton* upperCase_;
    QRadioButton* lowerCase_;
    QButtonGroup* caseGroup_;
    QCheckBox* replaceString_;
    QLineEdit* searchText_;
    QLabel* withLabel_;
    QLineEdit* replaceText_;
    QLabel* caseNote_;

    QRadioButton* sequencePrefix_;
    QRadioButton* sequenceSuffix_;
    QRadioButton* sequenceReplace_;
    QButtonGroup* placementGroup_;
    QRadioButton* numericSequence_;
    QRadioButton* alphaSequence_;
    QCheckBox* seqAddPrefix_;
    QLineEdit* seqPrefix_;
    QCheckBox* seqAddSuffix_;
    QLineEdit* seqSuffix_;
    QLabel* numericStartLabel_;
    QLineEdit* numericStart_;
    QLabel* digitsLabel_;
    QLineEdit* digits_;
    QLabel* alphaStartLabel_;
    QLineEdit* alphaStart_;
    QLabel* charactersLabel_;
    QLineEdit* characters_;
};

}  // namespace quorvan
