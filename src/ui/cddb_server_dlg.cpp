#include "ui/cddb_server_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/page_widgets.h"
#include "ui/qt_text.h"
#include "ui/user_dialogs.h"

namespace quorvan {

CCddbServerDlg::CCddbServerDlg(CCddbSettingsStore store, QWidget* parent)
    : QDialog(parent), store_(std::move(store)) {
    setWindowTitle(tr("CDDB Settings"));
    auto* layout = new QVBoxLayout(this);
    reason_ = new QLabel(this);
    reason_->setWordWrap(true);
    reason_->hide();
    layout->addWidget(reason_);
    auto* form = new QFormLayout;
    host_ = new QLineEdit(this);
    host_->setMinimumWidth(DluX(this, 150));
    host_->setToolTip(tr("The CDDB server that track names are retrieved from"));
    port_ = new QSpinBox(this);
    port_->setRange(1, 65535);
    port_->setToolTip(tr("The port of the server's web gateway, usually 80"));
    email_ = new QLineEdit(this);
    email_->setPlaceholderText(tr("name@example.org"));
    email_->setToolTip(
        tr("Sent to the server with every request; public servers refuse requests without one"));
    form->addRow(tr("&Server:"), host_);
    form->addRow(tr("&Port:"), port_);
    form->addRow(tr("&E-mail address:"), email_);
    layout->addLayout(form);

    auto* note = new QLabel(
        tr("Without an e-mail address, your login and computer names are sent instead."), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCddbServerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCddbServerDlg::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] { Show(CddbSettings{}); });
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Show(store_.Load());
}

void CCddbServerDlg::Show(const CddbSettings& settings) {
    host_->setText(ToQt(settings.host));
    port_->setValue(settings.port);
    email_->setText(ToQt(settings.email));
}

void CCddbServerDlg::SetReason(const QString& reason) {
    reason_->setText(reason);
    reason_->setVisible(!reason.isEmpty());
    if (!reason.isEmpty()) {
        email_->setFocus();
    }
}

QString CCddbServerDlg::Reason() const {
    return reason_->text();
}

CddbSettings CCddbServerDlg::Entered() const {
    CddbSettings settings;
    settings.host = FromQt(host_->text().trimmed());
    settings.port = port_->value();
    settings.email = FromQt(email_->text().trimmed());
    return settings;
}

void CCddbServerDlg::accept() {
    const CddbSettings settings = Entered();
    const std::string problem = ValidateCddbSettings(settings);
    if (!problem.empty()) {
        Dialogs().Message(this, QMessageBox::Warning, windowTitle(), ToQt(problem),
                          QMessageBox::Ok);
        return;
    }
    if (!store_.Save(settings)) {
        Dialogs().Message(this, QMessageBox::Critical, windowTitle(),
                          tr("The CDDB settings could not be saved."), QMessageBox::Ok);
        return;
    }
    QDialog::accept();
}

}  // namespace quorvan
