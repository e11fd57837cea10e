#include "ui/path_label.h"

#include "ui/qt_text.h"

namespace quorvan {

CPathLabel::CPathLabel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void CPathLabel::SetPath(const std::string& path) {
    path_ = path;
    UpdateShownText();
}

QSize CPathLabel::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 20, QLabel::minimumSizeHint().height()};
}

void CPathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    UpdateShownText();
}

void CPathLabel::UpdateShownText() {
    const QString full = ToQt(path_);
    const int room = contentsRect().width() - 2 * margin() - 4;
    setText(fontMetrics().elidedText(full, Qt::ElideMiddle, std::max(room, 0)));
}

}  // namespace quorvan
