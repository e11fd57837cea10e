#include "ui/release_choice_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvan {

namespace {

QString Text(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CReleaseChoiceDlg::CReleaseChoiceDlg(const std::vector<MusicBrainzRelease>& releases,
                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Choose a release"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(
        tr("Several releases hold this CD. Choose the one whose track titles to use:"), this);
    label->setWordWrap(true);
    layout->addWidget(label);

    view_ = new QTreeWidget(this);
    view_->setObjectName("releasesView");
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setHeaderLabels({tr("Artist"), tr("Title"), tr("Year"), tr("Country"), tr("Format")});
    for (const MusicBrainzRelease& release : releases) {
        view_->addTopLevelItem(
            new QTreeWidgetItem({Text(release.artist), Text(release.title), Text(release.Year()),
                                 Text(release.country), Text(release.format)}));
    }
    for (int column = 0; column < view_->columnCount(); ++column) {
        view_->resizeColumnToContents(column);
    }
    if (view_->topLevelItemCount() > 0) {
        view_->setCurrentItem(view_->topLevelItem(0));
    }
    label->setBuddy(view_);
    layout->addWidget(view_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(view_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(std::max(sizeHint().width(), view_->header()->length() + 40), sizeHint().height());
}

int CReleaseChoiceDlg::Chosen() const {
    QTreeWidgetItem* item = view_->currentItem();
    return item != nullptr ? view_->indexOfTopLevelItem(item) : -1;
}

}  // namespace quorvan
