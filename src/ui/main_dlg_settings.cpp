// Save Settings and Load Settings: the settings file and its filter file.
#include <QFileInfo>
#include <QMessageBox>
#include <cerrno>

#include "common/path.h"
#include "common/product.h"
#include "platform/file_system.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "ui/main_dlg.h"
#include "ui/path_label.h"
#include "ui/user_dialogs.h"

namespace quorvan {
namespace {

const char* const kSettingsFilter =
    QT_TRANSLATE_NOOP("quorvan::CMainDlg", "Quorvan Files (*.qvr);;All Files (*)");

}  // namespace

void CMainDlg::SetCaptionFor(const std::string& settingsPath) {
    const QString title = QFileInfo(QFile::decodeName(settingsPath.c_str())).completeBaseName();
    setWindowTitle(QString::fromUtf8(kProductName) + " - " + title);
}

void CMainDlg::OnLoadSettings() {
    const QString path = Dialogs().ChooseOpenFile(this, tr(kSettingsFilter), "qvr");
    if (!path.isEmpty()) {
        LoadSettingsFrom(LocalPath(path));
    }
}

void CMainDlg::LoadSettingsFrom(const std::string& path) {
    std::string folder;
    const bool loaded = rules_.LoadSettings(path, folder);
    std::string failedPath = loaded ? std::string() : path;
    int error = rules_.Store().LastError();
    // A stored "a/../b/" or relative folder means the real folder it names.
    folder = CanonicalPath(folder);
    // A settings file that could not be read changes no page, the filter's
    // neither. A missing filter file is no fault; one that cannot be read is.
    if (loaded && !filter_.LoadSettings(path)) {
        if (filter_.Store().LastError() != ENOENT) {
            failedPath = CFilterSettings::FilterFilePath(path);
            error = filter_.Store().LastError();
        } else {
            // Settings without a filter file have no filters.
            filter_.ClearGroups();
            filter_.ApplyToPage();
        }
    }
    folderDisplay_->SetPath(folder);
    ScanSourceFolder(folder);
    filter_.ApplyExtensionChecks();
    SetCaptionFor(path);
    // Without a word the user would take the old settings for the loaded ones.
    if (!failedPath.empty()) {
        Dialogs().Message(this, QMessageBox::Warning, tr("Issue..."),
                          tr("The settings could not be loaded from %1:\n%2")
                              .arg(ToQt(failedPath), ToQt(ErrorText(error))),
                          QMessageBox::Ok);
    }
}

void CMainDlg::OnSaveSettings() {
    const QString path = Dialogs().ChooseSaveFile(this, tr(kSettingsFilter), "qvr");
    if (!path.isEmpty()) {
        SaveSettingsTo(LocalPath(path));
    }
}

void CMainDlg::SaveSettingsTo(const std::string& path) {
    const bool saved = rules_.SaveSettings(path, SourceFolder());
    int error = rules_.Store().LastError();
    const bool filterSaved = filter_.SaveSettings(path);
    if (saved && !filterSaved) {
        error = filter_.Store().LastError();
    }
    SetCaptionFor(path);
    if (!saved || !filterSaved) {
        Dialogs().Message(this, QMessageBox::Warning, tr("Issue..."),
                          tr("The settings could not be saved to %1:\n%2")
                              .arg(ToQt(saved ? CFilterSettings::FilterFilePath(path) : path),
                                   ToQt(ErrorText(error))),
                          QMessageBox::Ok);
    }
}

}  // namespace quorvan
