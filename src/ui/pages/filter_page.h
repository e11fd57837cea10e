#pragma once

#include <QWidget>
#include <vector>

#include "rules/state_page.h"
#include "selection/filter_page.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QListWidget;
class QRadioButton;
class QTimeEdit;

namespace quorvan {

// The Filter settings page: the attribute rule, the three time rules and the
// extension include and exclude lists, each group switched on by its own box.
// The extension rows come from the last scan; the user only ticks them.
class CFilterSettingsDlg final : public QWidget, public CStatePage<FilterPageState> {
    Q_OBJECT
  public:
    explicit CFilterSettingsDlg(QWidget* parent = nullptr);

    FilterPageState State() const override;
    void SetState(const FilterPageState& state) override;

  private:
    struct TimeRuleWidgets {
        QCheckBox* box;
        QDateEdit* date;
        QTimeEdit* time;
        QComboBox* comparison;
    };

    void BuildAttributeFrame(QWidget* frame);
    void BuildTimeFrame(QWidget* frame);
    void BuildExtensionFrame(QWidget* frame);
    // The page without its two lists: all that its enabled states depend on.
    FilterPageState Boxes() const;
    // The one place that decides what is enabled.
    void UpdateControls();

    QCheckBox* onAttributes_;
    QRadioButton* includeAttributes_;
    QRadioButton* excludeAttributes_;
    QCheckBox* readOnly_;
    QCheckBox* hidden_;
    QCheckBox* system_;
    QCheckBox* archive_;
    QCheckBox* onTimes_;
    TimeRuleWidgets creation_{};
    TimeRuleWidgets modified_{};
    TimeRuleWidgets lastAccessed_{};
    QCheckBox* onExtensions_;
    QCheckBox* includeExtensions_;
    QListWidget* includeList_;
    QCheckBox* excludeExtensions_;
    QListWidget* excludeList_;
};

}  // namespace quorvan
