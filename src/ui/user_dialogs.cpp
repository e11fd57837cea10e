#include "ui/user_dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTextEdit>

namespace quorvan {
namespace {

class CRealDialogs final : public IUserDialogs {
  public:
    QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        const QString& details) override {
        QMessageBox box(icon, caption, text, buttons, parent);
        if (!details.isEmpty()) {
            box.setDetailedText(details);
            // Thousands of lines stay quick to scroll without undo history;
            // wide enough for a path and its reason on one line.
            if (auto* area = box.findChild<QTextEdit*>()) {
                area->setUndoRedoEnabled(false);
                area->setLineWrapMode(QTextEdit::NoWrap);
                const QFontMetrics metrics = area->fontMetrics();
                area->setMinimumWidth(metrics.averageCharWidth() * 90);
                area->setFixedHeight(metrics.lineSpacing() * 14);
            }
        }
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    QString ChooseFolder(QWidget* parent, const QString& title,
                         const QString& startFolder) override {
        return QFileDialog::getExistingDirectory(parent, title, startFolder,
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

QString StartFolderFor(const std::string& chosen) {
    const QString folder = QFile::decodeName(QByteArray::fromStdString(chosen));
    return !chosen.empty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void IUserDialogs::OpenUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

int IUserDialogs::Exec(QDialog& dialog) {
    return dialog.exec();
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
