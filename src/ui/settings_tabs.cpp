#include "ui/settings_tabs.h"

#include "ui/qt_page.h"

namespace quorvan {

CVantorTabControl::CVantorTabControl(QWidget* parent) : QTabWidget(parent) {
    setUsesScrollButtons(false);
}

void CVantorTabControl::SetPages(CQtPage* rename, CQtPage* extended, CQtPage* attribute,
                                 CQtPage* cdAudio, QWidget* filter) {
    addTab(rename, tr("Rename Settings"));
    addTab(extended, tr("Extended Settings"));
    addTab(attribute, tr("Attribute Settings"));
    addTab(cdAudio, tr("CD Audio Settings"));
    addTab(filter, tr("Filter Settings"));
    setCurrentIndex(0);
}

}  // namespace quorvan
