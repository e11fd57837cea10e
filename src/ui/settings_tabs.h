#pragma once

#include <QTabWidget>
#include <array>

namespace quorvan {

// The five settings pages on tabs. Every page exists from the start, so the
// rules and the filter can read any of them whichever tab is showing.
class CVantorTabControl final : public QTabWidget {
    Q_OBJECT
  public:
    explicit CVantorTabControl(QWidget* parent = nullptr);

    // Adds the pages in tab order and shows the Rename page.
    void SetPages(QWidget* rename, QWidget* extended, QWidget* attribute, QWidget* cdAudio,
                  QWidget* filter);

    static constexpr int kTabCount = 5;
};

}  // namespace quorvan
