#include "ui/help_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/product.h"
#include "ui/palette_colours.h"
#include "ui/user_dialogs.h"

static void InitQuorvanResources() {
    Q_INIT_RESOURCE(quorvan);
}

namespace quorvan {
namespace {

// Shows the manual in the palette's colours: its style sheet is written for
// a light page and also serves web browsers.
class CManualBrowser final : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::StyleSheetResource || resource.isNull()) {
            return resource;
        }
        const QString css = resource.typeId() == QMetaType::QByteArray
                                ? QString::fromUtf8(resource.toByteArray())
                                : resource.toString();
        return StyleSheetForPalette(css, palette());
    }

  protected:
    void changeEvent(QEvent* event) override {
        QTextBrowser::changeEvent(event);
        if (event->type() == QEvent::PaletteChange && !source().isEmpty()) {
            reload();
        }
    }
};

}  // namespace

void InitResources() {
    InitQuorvanResources();
}

QUrl CHelpWindow::ContentsUrl() {
    return QUrl(QStringLiteral("qrc:/manual/index.html"));
}

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("%1 Help").arg(QString::fromUtf8(kProductName)));
    setWindowFlags(Qt::Window);
    browser_ = new CManualBrowser(this);
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
    QSize wanted(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 40);
    if (const QScreen* shownOn = screen()) {
        wanted = wanted.boundedTo(shownOn->availableGeometry().size() * 0.9);
    }
    resize(wanted);
}

void CHelpWindow::ShowContents() {
    browser_->setSource(ContentsUrl());
    show();
    raise();
    activateWindow();
}

}  // namespace quorvan
