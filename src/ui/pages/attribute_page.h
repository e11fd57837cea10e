#pragma once

#include <QWidget>
#include <array>

#include "rules/rule_pages.h"
#include "rules/state_page.h"

class QCheckBox;
class QDateEdit;
class QTimeEdit;

namespace quorvan {

// The Attribute settings page: the attributes a run sets on every processed
// file, and the creation, modification and last-access times it writes.
class CAttributeSettingsDlg final : public QWidget, public CStatePage<AttributePageState> {
    Q_OBJECT
  public:
    explicit CAttributeSettingsDlg(QWidget* parent = nullptr);

    AttributePageState State() const override;
    void SetState(const AttributePageState& state) override;

  private:
    // The one place that decides what is enabled.
    void UpdateControls();

    // One date/time group: its box and its two pickers.
    struct Group {
        QCheckBox* box;
        QDateEdit* date;
        QTimeEdit* time;
    };

    QCheckBox* modifyAttributes_;
    QCheckBox* readOnly_;
    QCheckBox* hidden_;
    QCheckBox* system_;
    QCheckBox* archive_;
    QCheckBox* modifyDateTime_;
    std::array<Group, 3> groups_{};  // creation, modified, last accessed
};

}  // namespace quorvan
