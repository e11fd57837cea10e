// Opening the window on what a file manager hands over: a folder, or files.
#include <QAbstractButton>
#include <QStringList>
#include <algorithm>
#include <set>

#include "common/path.h"
#include "platform/file_system.h"
#include "selection/source_scan.h"
#include "ui/main_dlg.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/pages/extended_page.h"
#include "ui/pages/filter_page.h"
#include "ui/path_label.h"
#include "ui/source_list_model.h"
#include "ui/user_dialogs.h"

namespace quorvan {
namespace {

// More missing paths than this go into the message's details.
constexpr size_t kMissingShownInText = 10;

// Each file's extension pattern once, in the order first met.
std::vector<std::string> PatternsOf(const std::vector<std::string>& files) {
    std::vector<std::string> patterns;
    std::set<std::string> seen;
    for (const std::string& file : files) {
        std::string pattern = ScanPatternOf(std::string(NameOf(file)));
        if (seen.insert(pattern).second) {
            patterns.push_back(std::move(pattern));
        }
    }
    return patterns;
}

}  // namespace

void CMainDlg::SetInitialPaths(const std::vector<std::string>& paths) {
    start_ = ResolveStartPaths(paths);
}

void CMainDlg::OpenStartSelection() {
    if (!start_.folder.empty()) {
        SetSourceFolder(start_.folder, start_.folder);
        if (start_.acrossFolders) {
            // Files of several folders: the tree mode carries them, with the
            // list holding only them.
            QAbstractButton* subfolders = extendedPage_->IncludeSubfoldersBox();
            if (!subfolders->isChecked()) {
                subfolders->click();
            }
            listHoldsChosen_ = true;
            ShowChosenFiles();
        } else {
            ScanSourceFolder(start_.folder);
            if (start_.chosen) {
                // Both are in byte order: one walk ticks every chosen file.
                const std::vector<std::string>& files = start_.files;
                auto next = files.begin();
                for (int row = 0; row < sourceModel_->Count() && next != files.end(); ++row) {
                    const std::string_view name = sourceModel_->Names().Name(row);
                    next = std::lower_bound(next, files.end(), name,
                                            [](const std::string& a, std::string_view b) {
                                                return std::string_view(a) < b;
                                            });
                    if (next != files.end() && *next == name) {
                        sourceModel_->SetTicked(row, true);
                    }
                }
            }
        }
    }
    if (start_.missing.empty()) {
        return;
    }
    QStringList missing;
    for (const std::string& path : start_.missing) {
        missing << ToQt(path);
    }
    const QString all = missing.join('\n');
    if (static_cast<size_t>(missing.size()) > kMissingShownInText) {
        missing = missing.mid(0, kMissingShownInText);
        missing << QStringLiteral("...");
    }
    Dialogs().Message(
        this, QMessageBox::Warning, tr("Issue..."),
        tr("These files or folders do not exist and were left out:\n%1").arg(missing.join('\n')),
        QMessageBox::Ok,
        static_cast<size_t>(start_.missing.size()) > kMissingShownInText ? all : QString());
}

void CMainDlg::ShowChosenFiles() {
    std::vector<std::string> present;
    for (const std::string& file : start_.files) {
        if (EntryExists(JoinPath(start_.folder, file))) {
            present.push_back(file);
        }
    }
    cdAudioPage_->ClearTrackFiles();
    FillExtensionLists(*filterPage_, PatternsOf(present));
    CSourceNames names;
    names.Assign(start_.folder, present);
    const bool hadRows = sourceModel_->Count() > 0;
    sourceModel_->SetNames(std::move(names));
    ClearPreview();
    if (extendedPage_->State().includeSubfolders) {
        OnSelectAll();
    }
    if (sourceModel_->Count() > 0 || hadRows) {
        UpdateSelectionLabel();
    }
}

}  // namespace quorvan
