#include "ui/about_dlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "common/product.h"
#include "ui/palette_colours.h"
#include "ui/user_dialogs.h"

namespace quorvan {
namespace {

constexpr QSize kBannerSize(480, 300);

}  // namespace

CLinkLabel::CLinkLabel(const QString& text, const QUrl& target, const QColor& colour,
                       QWidget* parent)
    : QLabel(text, parent), target_(target), colour_(colour) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    ApplyColour();
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    setToolTip(target.toString());
}

void CLinkLabel::ApplyColour() {
    applyingColour_ = true;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText,
                     ReadableColour(colour_, colours.color(QPalette::Window)));
    setPalette(colours);
    applyingColour_ = false;
}

void CLinkLabel::changeEvent(QEvent* event) {
    // A new desktop palette (light to dark) may need another shade.
    if (event->type() == QEvent::PaletteChange && !applyingColour_) {
        ApplyColour();
    }
    QLabel::changeEvent(event);
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Dialogs().OpenUrl(target_);
    }
    QLabel::mouseReleaseEvent(event);
}

CProductInfoDlg::CProductInfoDlg(Kind kind, QWidget* parent) : QDialog(parent) {
    const bool about = kind == Kind::AboutBox;
    if (about) {
        setWindowTitle(tr("About %1").arg(QString::fromUtf8(kProductName)));
    } else {
        // The start-up screen has no caption, only its frame.
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    }
    setModal(true);

    logo_ = new QLabel(this);
    logo_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    logo_->setAlignment(Qt::AlignCenter);
    ShowBanner(kBannerSize.height());

    auto* name = new QLabel(QString::fromUtf8(kProductName) + ":", this);
    name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* version = new QLabel(QString::fromUtf8(kVersionText), this);
    version->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    version->setMinimumWidth(fontMetrics().averageCharWidth() * 14);
    auto* nameRow = new QHBoxLayout;
    nameRow->addStretch(1);
    nameRow->addWidget(name);
    nameRow->addWidget(version);
    nameRow->addStretch(1);
    auto* notice =
        new QLabel(tr("Free to use. Always keep a copy of files you cannot replace."), this);
    notice->setAlignment(Qt::AlignCenter);

    auto* counterForm = new QFormLayout;
    counterForm->setLabelAlignment(Qt::AlignRight);
    const QString labels[3] = {tr("Times Started:"), tr("Times Used:"), tr("Files Processed:")};
    const QString tips[3] = {tr("The number of times that the application has been started"),
                             tr("The number of times the rename process has been executed"),
                             tr("The number of files that have been processed")};
    for (int i = 0; i < 3; ++i) {
        counters_[i] = new QLabel(QStringLiteral("0"), this);
        counters_[i]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        counters_[i]->setMinimumWidth(fontMetrics().averageCharWidth() * 14);
        if (about) {
            counters_[i]->setToolTip(tips[i]);
        }
        counterForm->addRow(labels[i], counters_[i]);
    }
    auto* counterRow = new QHBoxLayout;
    counterRow->addStretch(1);
    counterRow->addLayout(counterForm);
    counterRow->addStretch(1);

    const QColor blue(0, 0, 255);
    links_[0] =
        new CLinkLabel(QString::fromUtf8(links::kWebSiteText), QUrl(links::kWebSite), blue, this);
    links_[1] = new CLinkLabel(tr("Questions, ideas or problems? Send a mail to\n"
                                  "quorvan@example.com and let us know."),
                               QUrl(links::kMail), QColor(75, 0, 0), this);
    links_[2] = new CLinkLabel(about ? tr("Also check out other downloads on our web site")
                                     : tr("Also check out other downloads on our web site."),
                               QUrl(links::kDownloads), blue, this);

    ok_ = new QPushButton(tr("&OK"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(ok_);
    buttonRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(logo_);
    layout->addLayout(nameRow);
    layout->addWidget(notice);
    layout->addLayout(counterRow);
    for (CLinkLabel* link : links_) {
        // The start-up screen shows no tooltips at all.
        if (!about) {
            link->setToolTip(QString());
        }
        // As wide as its text: the hand pointer and the click mean the link only.
        layout->addWidget(link, 0, Qt::AlignHCenter);
    }
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!about) {
        // Without a caption the frame has to come from the dialog itself.
        setStyleSheet("CProductInfoDlg { border: 1px solid palette(dark); }");
    }
}

void CProductInfoDlg::ShowBanner(int bannerHeight) {
    const QSize size = kBannerSize.scaled(
        kBannerSize.width(), std::min(bannerHeight, kBannerSize.height()), Qt::KeepAspectRatio);
    const qreal ratio = devicePixelRatioF();
    QPixmap banner;
    if (QImageReader::supportedImageFormats().contains("svg")) {
        banner = QIcon(":/icons/splash.svg").pixmap(size, ratio);
    }
    if (banner.isNull() || banner.size() != size * ratio) {
        banner = QPixmap(":/icons/splash.png")
                     .scaled(size * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        banner.setDevicePixelRatio(ratio);
    }
    logo_->setPixmap(banner);
}

void CProductInfoDlg::showEvent(QShowEvent* event) {
    // Centred on the screen: the start-up screen comes before any window.
    ShowBanner(kBannerSize.height());
    adjustSize();
    if (QScreen* shownOn = screen()) {
        // On a small screen (or a large scale factor) the banner gives way, so
        // that the OK button stays on the screen.
        const int room =
            shownOn->availableGeometry().height() - style()->pixelMetric(QStyle::PM_TitleBarHeight);
        if (height() > room) {
            ShowBanner(std::max(kBannerSize.height() - (height() - room), 60));
            adjustSize();
        }
        move(shownOn->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void CProductInfoDlg::SetCounters(int32_t startCount, int32_t timesUsed, int32_t filesProcessed) {
    counters_[0]->setText(QString::number(startCount));
    counters_[1]->setText(QString::number(timesUsed));
    counters_[2]->setText(QString::number(filesProcessed));
}

QString CProductInfoDlg::CounterText(int row) const {
    return counters_[row]->text();
}

}  // namespace quorvan
