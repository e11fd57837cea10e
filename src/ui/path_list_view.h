#pragma once

#include <QListView>

namespace quorvan {

// Asked of a list's model on its first row: the rows with the longest texts
// (a QVariantList of row numbers), to measure the widest row without
// measuring every one.
constexpr int kLongestRowsRole = Qt::UserRole + 40;

// A list of paths that shows every row whole: all rows are as wide as the
// widest one, with a horizontal scroll bar where the view is narrower. Rows
// stay of uniform size (a million rows cost one measurement); the width comes
// from the model's longest rows when it is filled, and a row painted that
// needs more (wide letters) widens the list.
class CPathListView final : public QListView {
    Q_OBJECT
  public:
    explicit CPathListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // The width every row has now.

  private:
    class CWholeRowDelegate;

    // After the model was filled again.
    void Measure();
    void Widen(int width);

    CWholeRowDelegate* delegate_;
    int widest_ = 0;
};

}  // namespace quorvan
