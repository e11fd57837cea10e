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
    std::string stored;
    const bool loaded = rules_.LoadSettings(path, stored);
    std::string failedPath = loaded ? std::string() : path;
    int error = rules_.Store().LastError();
    // The filter file is read whatever became of the settings file. A missing
    // one is no fault; beside settings that were read it means no filters.
    const bool filterLoaded = filter_.LoadSettings(path);
    if (!filterLoaded) {
        const int filterError = filter_.Store().LastError();
        if (filterError != ENOENT) {
            if (failedPath.empty()) {
                failedPath = CFilterSettings::FilterFilePath(path);
                error = filterError;
            }
        } else if (loaded) {
            filter_.ClearGroups();
            filter_.ApplyToPage();
        }
    }
    // The folder shows as stored (a link, a relative or a Windows path); the
    // files are read from the real folder it names, ".." taken after links as
    // the system does. Settings that could not be read leave the folder.
    if (loaded) {
        SetSourceFolder(stored, CanonicalPath(stored));
    }
    // The scan refills the extension lists a loaded filter emptied.
    if (loaded || filterLoaded) {
        ScanSourceFolder(SourceFolder());
        filter_.ApplyExtensionChecks();
    }
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
    // The text as shown: a stored link or relative folder stays what it was.
    const bool saved = rules_.SaveSettings(path, FolderText());
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
