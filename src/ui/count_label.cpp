#include "ui/count_label.h"

#include <QResizeEvent>
#include <algorithm>

namespace quorvan {

CCountLabel::CCountLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    count_ = text;
}

void CCountLabel::SetCount(const QString& text) {
    count_ = text;
    Fit();
}

QString CCountLabel::Broken() const {
    return QString(count_).replace(QStringLiteral(", "), QStringLiteral(",\n"));
}

QSize CCountLabel::minimumSizeHint() const {
    // As narrow as the broken text; as high as what is shown.
    int widest = 0;
    for (const QString& line : Broken().split('\n')) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(line));
    }
    const QMargins margins = contentsMargins();
    return {widest + margins.left() + margins.right() + 2 * margin(),
            QLabel::minimumSizeHint().height()};
}

void CCountLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void CCountLabel::Fit() {
    const bool fits = fontMetrics().horizontalAdvance(count_) <= contentsRect().width();
    const QString shown = fits ? count_ : Broken();
    if (shown != text()) {
        setText(shown);
    }
}

}  // namespace quorvan
