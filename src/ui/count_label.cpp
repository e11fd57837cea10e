#include "ui/count_label.h"

#include <QResizeEvent>
#include <algorithm>

namespace quorvan {

CCountLabel::CCountLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    count_ = text;
    // A short count stands on the list, below the lines kept free.
    setAlignment(Qt::AlignLeft | Qt::AlignBottom);
}

void CCountLabel::SetCount(const QString& text) {
    count_ = text;
    Fit();
}

void CCountLabel::SetLongest(const QString& text) {
    longest_ = text;
    Fit();
}

QString CCountLabel::Broken(const QString& text) const {
    return QString(text).replace(QStringLiteral(", "), QStringLiteral(",\n"));
}

int CCountLabel::ReservedHeight() const {
    const QMargins margins = contentsMargins();
    return reservedLines_ * fontMetrics().lineSpacing() + margins.top() + margins.bottom() +
           2 * margin();
}

QSize CCountLabel::sizeHint() const {
    QSize size = QLabel::sizeHint();
    size.setHeight(std::max(size.height(), ReservedHeight()));
    return size;
}

QSize CCountLabel::minimumSizeHint() const {
    // As narrow as the broken text; as high as what is shown.
    int widest = 0;
    for (const QString& line : Broken(count_).split('\n')) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(line));
    }
    const QMargins margins = contentsMargins();
    return {widest + margins.left() + margins.right() + 2 * margin(),
            std::max(QLabel::minimumSizeHint().height(), ReservedHeight())};
}

void CCountLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void CCountLabel::Fit() {
    const int room = contentsRect().width();
    const bool fits = fontMetrics().horizontalAdvance(count_) <= room;
    const QString shown = fits ? count_ : Broken(count_);
    if (shown != text()) {
        setText(shown);
    }
    const bool longestFits =
        longest_.isEmpty() || fontMetrics().horizontalAdvance(longest_) <= room;
    const int lines = longestFits ? 1 : static_cast<int>(Broken(longest_).count('\n')) + 1;
    if (lines != reservedLines_) {
        reservedLines_ = lines;
        updateGeometry();
    }
}

}  // namespace quorvan
