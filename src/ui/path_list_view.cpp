#include "ui/path_list_view.h"

#include <QStyledItemDelegate>
#include <algorithm>

namespace quorvan {

class CPathListView::CWholeRowDelegate final : public QStyledItemDelegate {
  public:
    explicit CWholeRowDelegate(CPathListView* view) : QStyledItemDelegate(view), view_(view) {}

    // What the row itself needs.
    QSize Needed(const QStyleOptionViewItem& option, const QModelIndex& index) const {
        return QStyledItemDelegate::sizeHint(option, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = Needed(option, index);
        size.setWidth(std::max(size.width(), view_->widest_));
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int needed = Needed(option, index).width();
        if (needed > view_->widest_) {
            view_->Widen(needed);
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

  private:
    CPathListView* view_;
};

CPathListView::CPathListView(QWidget* parent)
    : QListView(parent), delegate_(new CWholeRowDelegate(this)) {
    setItemDelegate(delegate_);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void CPathListView::setModel(QAbstractItemModel* newModel) {
    if (model() != nullptr) {
        disconnect(model(), nullptr, this, nullptr);
    }
    QListView::setModel(newModel);
    if (newModel != nullptr) {
        connect(newModel, &QAbstractItemModel::modelReset, this, &CPathListView::Measure);
    }
    Measure();
}

void CPathListView::Measure() {
    widest_ = 0;
    QAbstractItemModel* rows = model();
    if (rows == nullptr || rows->rowCount() == 0) {
        return;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int widest = 0;
    for (const QVariant& row : rows->data(rows->index(0, 0), kLongestRowsRole).toList()) {
        widest = std::max(widest, delegate_->Needed(option, rows->index(row.toInt(), 0)).width());
    }
    Widen(widest);
}

void CPathListView::Widen(int width) {
    if (width <= widest_) {
        return;
    }
    widest_ = width;
    scheduleDelayedItemsLayout();
}

}  // namespace quorvan
