#pragma once

#include <QDialog>

#include "cdaudio/cddb_settings.h"

class QLabel;
class QLineEdit;
class QSpinBox;

namespace quorvan {

// "CDDB Settings": the server asked for track names and the e-mail address
// its hello carries. Kept in the per-user store, never in settings files.
class CCddbServerDlg final : public QDialog {
    Q_OBJECT
  public:
    // Shows `settings`; OK stores what is entered in `store`.
    CCddbServerDlg(CCddbSettingsStore store, QWidget* parent = nullptr);

    QLineEdit* HostEdit() const { return host_; }
    QSpinBox* PortEdit() const { return port_; }
    QLineEdit* EmailEdit() const { return email_; }
    CddbSettings Entered() const;
    // A line above the fields saying why the dialog has come up.
    void SetReason(const QString& reason);
    QString Reason() const;

    // Validates and stores; the dialog stays open when either fails.
    void accept() override;

  private:
    void Show(const CddbSettings& settings);

    CCddbSettingsStore store_;
    QLineEdit* host_ = nullptr;
    QSpinBox* port_ = nullptr;
    QLineEdit* email_ = nullptr;
    QLabel* reason_ = nullptr;
};

}  // namespace quorvan
