#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "support/test_dir.h"
#include "ui/main_dlg.h"
#include "ui/user_dialogs.h"

namespace quorvan::test {

// Answers the program's message boxes and file choosers from a script and
// remembers every message shown.
class CScriptedDialogs final : public IUserDialogs {
  public:
    struct Shown {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QString details;
    };

    CScriptedDialogs() { previous_ = SetDialogs(this); }
    ~CScriptedDialogs() override { SetDialogs(previous_); }

    QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                        const QString& text, QMessageBox::StandardButtons buttons,
                                        const QString& details) override;
    QString ChooseFolder(QWidget*, const QString& title, const QString& startFolder) override;
    QString ChooseOpenFile(QWidget*, const QString&, const QString&) override;
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override;
    void OpenUrl(const QUrl& url) override { opened.push_back(url); }
    // Remembers the dialog and lets `onDialog` answer it (Rejected without).
    int Exec(QDialog& dialog) override;

    // Answers for the next message boxes, in order; when none is left, a box
    // is answered with its first button.
    std::deque<QMessageBox::StandardButton> answers;
    // What the next folder, open and save choosers return (empty: cancelled).
    std::deque<QString> choices;
    std::vector<Shown> shown;
    std::vector<QString> chooserTitles;
    std::vector<QString> chooserStarts;
    std::vector<QUrl> opened;
    std::vector<QString> dialogTitles;
    std::function<int(QDialog&)> onDialog;

  private:
    QString NextChoice();
    IUserDialogs* previous_ = nullptr;
};

// The paths a window is started on, as a file manager hands them over.
struct StartPaths {
    std::vector<std::string> paths;
};

// A main window over fresh rules and filter, counters in a private store.
class WindowFixture {
  public:
    explicit WindowFixture(const std::string& folder = "");
    explicit WindowFixture(const StartPaths& start);

    CMainDlg& Window() { return *window_; }
    CRenameRules rules;
    CFilterSettings filter;
    CScriptedDialogs dialogs;
    // The counter store the window uses.
    TestDir& StateDir() { return state_.Dir(); }

    // Texts of the source and preview lists, and of a page's check list.
    std::vector<std::string> SourceRows() const;
    std::vector<std::string> PreviewRows() const;
    std::vector<bool> Ticks() const;
    // Clicks the check box of a source row as a user would.
    void ClickRow(int row);
    void Click(int windowButtonId);

  private:
    StateDirScope state_;
    std::unique_ptr<CMainDlg> window_;
};

}  // namespace quorvan::test
