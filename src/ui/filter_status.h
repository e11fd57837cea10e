#pragma once

#include <functional>

#include <QLabel>
#include <QTimer>

#include "selection/filter_count.h"

namespace quorvan {

// Beside the source list's count: whether a filter is on and how many ticked
// files pass it, so that a filter left on never empties a job unseen.
class CFilterStatusLabel final : public QLabel {
    Q_OBJECT
  public:
    using Counter = std::function<FilterPassing()>;
    CFilterStatusLabel(Counter counter, QWidget* parent = nullptr);

    // Counts again soon: ticking many rows in a row counts once.
    void Refresh();
    // Counts now.
    void RefreshNow();
    const FilterPassing& Last() const { return last_; }

    // "Filter on: 25 of 50 files pass", "Filter on", or empty when no group
    // of the Filter page is on.
    static QString TextFor(const FilterPassing& passing);
    // What the "no files" message adds when the filter let no ticked file pass.
    static QString NoFilesNote(const FilterPassing& passing);

  private:
    Counter counter_;
    QTimer timer_;
    FilterPassing last_;
};

}  // namespace quorvan
