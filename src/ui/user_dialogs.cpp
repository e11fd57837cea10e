#include "ui/user_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>

namespace quorvan {
namespace {

class CRealDialogs final : public IUserDialogs {
  public:
    QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons) override {
        QMessageBox box(icon, caption, text, buttons, parent);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    QString ChooseFolder(QWidget* parent, const QString& title) override {
        return QFileDialog::getExistingDirectory(parent, title, QString(),
                                                 QFileDialog::ShowDirsOnly);
    }

    QString ChooseOpenFile(QWidget* parent, const QString& filter,
                           const QString& defaultSuffix) override {
        return ChooseFile(parent, filter, defaultSuffix, QFileDialog::AcceptOpen);
    }

    QString ChooseSaveFile(QWidget* parent, const QString& filter,
                           const QString& defaultSuffix) override {
        return ChooseFile(parent, filter, defaultSuffix, QFileDialog::AcceptSave);
    }

  private:
    static QString ChooseFile(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                              QFileDialog::AcceptMode mode) {
        QFileDialog dialog(parent, QString(), QString(), filter);
        dialog.setAcceptMode(mode);
        // Opening needs an existing file; saving asks before replacing one.
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }
};

CRealDialogs realDialogs;
IUserDialogs* current = &realDialogs;

}  // namespace

void IUserDialogs::OpenUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

IUserDialogs& Dialogs() {
    return *current;
}

IUserDialogs* SetDialogs(IUserDialogs* dialogs) {
    IUserDialogs* previous = current;
    current = dialogs != nullptr ? dialogs : &realDialogs;
    return previous;
}

}  // namespace quorvan
