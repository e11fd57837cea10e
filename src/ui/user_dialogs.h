#pragma once

#include <QMessageBox>
#include <QString>
#include <QUrl>
#include <string>

class QDialog;
class QWidget;

namespace quorvan {

// Every message box and file chooser of the program goes through here, so that
// tests can answer them without a person at the screen.
class IUserDialogs {
  public:
    virtual ~IUserDialogs() = default;

    // A message box; returns the button pressed. Non-empty `details` go into
    // the box's "Show Details..." area.
    virtual QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                                const QString& caption, const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                const QString& details = QString()) = 0;
    // A folder picker opening at `startFolder`; an empty result means
    // cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title,
                                 const QString& startFolder) = 0;
    // Open and save choosers for settings files; empty when cancelled. The save
    // chooser asks before replacing an existing file.
    virtual QString ChooseOpenFile(QWidget* parent, const QString& filter,
                                   const QString& defaultSuffix) = 0;
    virtual QString ChooseSaveFile(QWidget* parent, const QString& filter,
                                   const QString& defaultSuffix) = 0;
    // Opens a web or mail address with the desktop's handler.
    virtual void OpenUrl(const QUrl& url);
    // Runs one of the program's own modal dialogs; returns its result.
    virtual int Exec(QDialog& dialog);
};

// Where a folder chooser opens: `chosen` when it is an existing folder, else
// the home folder.
QString StartFolderFor(const std::string& chosen);
// A path a chooser returned, in the file system's own bytes.
std::string LocalPath(const QString& path);

// The dialogs in use: the real ones unless a test has put its own in place.
IUserDialogs& Dialogs();
// Puts `dialogs` in place (null restores the real ones); returns the previous.
IUserDialogs* SetDialogs(IUserDialogs* dialogs);

}  // namespace quorvan
