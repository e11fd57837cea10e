#include "ui/settings_tabs.h"

namespace quorvan {

CVantorTabControl::CVantorTabControl(QWidget* parent) : QTabWidget(parent) {
    setUsesScrollButtons(false);
}

void CVantorTabControl::SetPages(QWidget* rename, QWidget* extended, QWidget* attribute,
                                 QWidget* cdAudio, QWidget* filter) {
    addTab(rename, tr("Rename Settings"));
    addTab(extended, tr("Extended Settings"));
    addTab(attribute, tr("Attribute Settings"));
    addTab(cdAudio, tr("CD Audio Settings"));
    addTab(filter, tr("Filter Settings"));
    setCurrentIndex(0);
}

}  // namespace quorvan
