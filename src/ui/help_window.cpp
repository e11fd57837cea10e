#include "ui/help_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/product.h"
#include "ui/user_dialogs.h"

static void InitQuorvanResources() {
    Q_INIT_RESOURCE(quorvan);
}

namespace quorvan {

void InitResources() {
    InitQuorvanResources();
}

QUrl CHelpWindow::ContentsUrl() {
    return QUrl(QStringLiteral("qrc:/manual/index.html"));
}

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("%1 Help").arg(QString::fromUtf8(kProductName)));
    setWindowFlags(Qt::Window);
    browser_ = new QTextBrowser(this);
    // Links out of the manual go to the desktop's browser or mail program.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() != QLatin1String("qrc") && !url.isRelative()) {
            Dialogs().OpenUrl(url);
            browser_->setSource(browser_->source());
        }
    });

    auto* contents = new QPushButton(tr("&Contents"), this);
    auto* back = new QPushButton(tr("&Back"), this);
    auto* forward = new QPushButton(tr("&Forward"), this);
    auto* close = new QPushButton(tr("C&lose"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, &CHelpWindow::ShowContents);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 40);
}

void CHelpWindow::ShowContents() {
    browser_->setSource(ContentsUrl());
    show();
    raise();
    activateWindow();
}

}  // namespace quorvan
