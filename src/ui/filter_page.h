#pragma once

#include <string>

#include "ui/qt_page.h"

namespace quorvan {

// The Filter settings page: the attribute rule, the three time rules and the
// extension include and exclude lists, each group switched on by its own box.
// The extension rows come from the last scan; the user only ticks them.
class CFilterSettingsDlg final : public CQtPage {
    Q_OBJECT
  public:
    explicit CFilterSettingsDlg(QWidget* parent = nullptr);

    // Adds an unticked row for the pattern unless one matches it, letter case
    // ignored; the list keeps its rows sorted.
    void AddIncludeExtension(const std::string& pattern);
    void AddExcludeExtension(const std::string& pattern);
    void ClearIncludeExtensions();
    void ClearExcludeExtensions();

  private:
    void BuildAttributeFrame(QWidget* frame);
    void BuildTimeFrame(QWidget* frame);
    void BuildExtensionFrame(QWidget* frame);

    void OnFilterOnTimes();
    void OnTimeRule(int rule);
    void OnFilterOnExtensions();
};

}  // namespace quorvan
