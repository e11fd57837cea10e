#pragma once

#include <QMessageBox>
#include <QString>
#include <QUrl>

class QWidget;

namespace quorvan {

// Every message box and file chooser of the program goes through here, so that
// tests can answer them without a person at the screen.
class IUserDialogs {
  public:
    virtual ~IUserDialogs() = default;

    // A message box; returns the button pressed.
    virtual QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                                const QString& caption, const QString& text,
                                                QMessageBox::StandardButtons buttons) = 0;
    // A folder picker; an empty result means cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title) = 0;
    // Open and save choosers for settings files; empty when cancelled. The save
    // chooser asks before replacing an existing file.
    virtual QString ChooseOpenFile(QWidget* parent, const QString& filter,
                                   const QString& defaultSuffix) = 0;
    virtual QString ChooseSaveFile(QWidget* parent, const QString& filter,
                                   const QString& defaultSuffix) = 0;
    // Opens a web or mail address with the desktop's handler.
    virtual void OpenUrl(const QUrl& url);
};

// The dialogs in use: the real ones unless a test has put its own in place.
IUserDialogs& Dialogs();
// Puts `dialogs` in place (null restores the real ones); returns the previous.
IUserDialogs* SetDialogs(IUserDialogs* dialogs);

}  // namespace quorvan
