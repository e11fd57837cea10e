#pragma once

#include "ui/qt_page.h"

namespace quorvan {

// The Attribute settings page: the attributes a run sets on every processed
// file, and the creation, modification and last-access times it writes.
class CAttributeSettingsDlg final : public CQtPage {
    Q_OBJECT
  public:
    explicit CAttributeSettingsDlg(QWidget* parent = nullptr);

  private:
    void OnModifyDateTime();
};

}  // namespace quorvan
