#pragma once

#include <QListView>
#include <QPalette>
#include <QString>
#include <QUrl>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "named_widgets.h"
#include "rules/rename_rules.h"
#include "run/run_engine.h"
#include "selection/filter_settings.h"
#include "support/test_dir.h"
// The window and every page it holds, for the tests that drive them.
#include "ui/main_dlg.h"
#include "ui/pages/attribute_page.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/pages/extended_page.h"
#include "ui/pages/filter_page.h"
#include "ui/pages/more_rules_page.h"
#include "ui/pages/rename_page.h"
#include "ui/processing_dlg.h"
#include "ui/settings_tabs.h"
#include "ui/source_list_model.h"
#include "ui/user_dialogs.h"

namespace quorvan::test {

using WindowButton = CMainDlg::WindowButton;
constexpr WindowButton kBrowse = CMainDlg::kBrowse;
constexpr WindowButton kAbout = CMainDlg::kAbout;
constexpr WindowButton kStart = CMainDlg::kStart;
constexpr WindowButton kSaveSettings = CMainDlg::kSaveSettings;
constexpr WindowButton kLoadSettings = CMainDlg::kLoadSettings;
constexpr WindowButton kPreview = CMainDlg::kPreview;
constexpr WindowButton kHelp = CMainDlg::kHelp;
constexpr WindowButton kRefresh = CMainDlg::kRefresh;
constexpr WindowButton kExit = CMainDlg::kExit;
constexpr WindowButton kHistory = CMainDlg::kHistory;

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

    // The texts of the messages shown, in order.
    std::vector<std::string> Texts() const;

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
    // Makes `files` in `dir`, then opens on it.
    WindowFixture(TestDir& dir, const std::vector<std::string>& files);
    // Runs `beforeOpening` with the counter store in place (a history for
    // the window to find at its start), then opens on `folder`.
    WindowFixture(const std::string& folder,
                  const std::function<void(WindowFixture&)>& beforeOpening);

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
    void Click(WindowButton which);

  private:
    StateDirScope state_;
    std::unique_ptr<CMainDlg> window_;
};

// Names for `count` files: `stem` and a number from 0, then `extension`.
Strings Numbered(const std::string& stem, int count, const std::string& extension);

// Ticks the Rename page's "Prefix:" and types `prefix` into its field.
void UsePrefix(CMainDlg& window, const std::string& prefix);

// Shows `widget` and waits until it is on screen, with the keyboard on it
// when `active` (as a user at the screen has it).
void ShowAndWait(QWidget& widget, bool active = false);

// What a desktop drag of `urls` onto the window comes to.
struct DragResult {
    bool accepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// A drag entering the window, and a drop on it.
DragResult Drag(QWidget& window, const QList<QUrl>& urls,
                Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction);
DragResult Drop(QWidget& window, const QList<QUrl>& urls,
                Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction);
// Percent-encoded bytes, as a file manager sends names that are not UTF-8.
QUrl FileUrl(const std::string& path);

// Sets an environment variable (unsets it for nullopt) while it lives.
class EnvScope final {
  public:
    EnvScope(const char* name, const std::optional<std::string>& value);
    ~EnvScope();
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

// A dark desktop palette, for the colours that must read on it.
QPalette DarkPalette();

// Sets the application's palette while it lives.
class PaletteScope final {
  public:
    explicit PaletteScope(const QPalette& palette) : saved_(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~PaletteScope() { QApplication::setPalette(saved_); }
    PaletteScope(const PaletteScope&) = delete;
    PaletteScope& operator=(const PaletteScope&) = delete;

  private:
    QPalette saved_;
};

// Changes the working folder while it lives.
class WorkingFolderScope final {
  public:
    explicit WorkingFolderScope(const std::string& folder)
        : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolderScope() { std::filesystem::current_path(saved_); }
    WorkingFolderScope(const WorkingFolderScope&) = delete;
    WorkingFolderScope& operator=(const WorkingFolderScope&) = delete;

  private:
    std::filesystem::path saved_;
};

}  // namespace quorvan::test
