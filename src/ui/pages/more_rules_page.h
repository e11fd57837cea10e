#pragma once

#include <QWidget>

#include "rules/more_rules_page.h"
#include "rules/state_page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace quorvan {

// The More Rules page: positions, a regular expression, clean-ups, case
// styles and the numbering order, each group switched by its own box.
class CMoreRulesPage final : public QWidget, public CStatePage<MoreRulesPageState> {
    Q_OBJECT
  public:
    explicit CMoreRulesPage(QWidget* parent = nullptr);

    MoreRulesPageState State() const override;
    void SetState(const MoreRulesPageState& state) override;
    // Why the page's rules cannot make names (shown under the pattern), or
    // empty.
    QString Problem() const;

  private:
    // The one place that decides what is enabled, and the problem line.
    void UpdateControls();

    QCheckBox* useTemplate_;
    QLineEdit* template_;
    QLabel* templateProblem_;
    QCheckBox* removeChars_;
    QSpinBox* removeCount_;
    QSpinBox* removeFrom_;
    QCheckBox* insertText_;
    QLineEdit* insertString_;
    QSpinBox* insertAt_;
    QCheckBox* regexReplace_;
    QLineEdit* regexPattern_;
    QLabel* regexWithLabel_;
    QLineEdit* regexReplacement_;
    QCheckBox* regexIgnoreCase_;
    QCheckBox* regexIncludeExtension_;
    QLabel* problem_;
    QCheckBox* replaceBlanks_;
    QLineEdit* replaceBlanksWith_;
    QCheckBox* removeAccents_;
    QCheckBox* transliterateAscii_;
    QComboBox* unicodeForm_;
    QCheckBox* trimName_;
    QGroupBox* caseStyle_;
    QComboBox* nameCase_;
    QComboBox* extensionCase_;
    QGroupBox* numbering_;
    QComboBox* order_;
    QSpinBox* step_;
    QLabel* stepProblem_;
    QCheckBox* perFolder_;
};

}  // namespace quorvan
