#pragma once

#include <utility>
#include <vector>

#include "ui/qt_page.h"

namespace quorvan {

// The Rename settings page: text modifications (prefix, suffix, case change,
// search and replace) or sequencing (a numeric or alpha sequence placed before,
// after or instead of the name). The page holds no settings of its own; it only
// keeps enabled states in step with the boxes and options.
class CRenameSettingsDlg final : public CQtPage {
    Q_OBJECT
  public:
    explicit CRenameSettingsDlg(QWidget* parent = nullptr);

  private:
    void BuildTextFrame(QWidget* frame);
    void BuildSequenceFrame(QWidget* frame);
    void ConnectHandlers();

    // Each check box with the controls that are enabled exactly while it is on.
    static std::vector<std::pair<int, std::vector<int>>> Followers();

    void OnTextModifications();
    void OnSequencing();
    void OnSequenceKind();
};

}  // namespace quorvan
