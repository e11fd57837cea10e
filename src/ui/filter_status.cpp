#include "ui/filter_status.h"

namespace quorvan {

CFilterStatusLabel::CFilterStatusLabel(Counter counter, QWidget* parent)
    : QLabel(parent), counter_(std::move(counter)) {
    setObjectName("filterStatusLabel");
    timer_.setSingleShot(true);
    timer_.setInterval(150);
    connect(&timer_, &QTimer::timeout, this, &CFilterStatusLabel::RefreshNow);
    setVisible(false);
}

void CFilterStatusLabel::Refresh() {
    timer_.start();
}

void CFilterStatusLabel::RefreshNow() {
    timer_.stop();
    last_ = counter_();
    const QString text = TextFor(last_);
    setText(text);
    setVisible(!text.isEmpty());
}

QString CFilterStatusLabel::TextFor(const FilterPassing& passing) {
    if (!passing.on) {
        return {};
    }
    if (!passing.counted) {
        return tr("Filter on");
    }
    return tr("Filter on: %1 of %2 files pass")
        .arg(static_cast<qulonglong>(passing.passing))
        .arg(static_cast<qulonglong>(passing.ticked));
}

QString CFilterStatusLabel::NoFilesNote(const FilterPassing& passing) {
    if (!passing.on || passing.ticked == 0) {
        return {};
    }
    return tr("The filter on the Filter tab lets none of the %1 ticked files pass.")
        .arg(static_cast<qulonglong>(passing.ticked));
}

}  // namespace quorvan
