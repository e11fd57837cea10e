// The source list: the folder's files, their ticks, Browse and Refresh, and
// what is dropped on the window.
#include <sys/stat.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "common/path.h"
#include "selection/filter_count.h"
#include "selection/source_scan.h"
#include "ui/filter_status.h"
#include "ui/main_dlg.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/pages/filter_page.h"
#include "ui/path_label.h"
#include "ui/settings_tabs.h"
#include "ui/source_list_model.h"
#include "ui/user_dialogs.h"
#include "ui/wait_cursor.h"

namespace quorvan {

const std::string& CMainDlg::FolderText() const {
    return folderDisplay_->Path();
}

void CMainDlg::SetSourceFolder(const std::string& text, const std::string& folder) {
    folderDisplay_->SetPath(text);
    sourceFolder_ = folder;
}

QString CMainDlg::SelectionLabel() const {
    return selectionLabel_->text();
}

void CMainDlg::UpdateSelectionLabel() {
    selectionLabel_->setText(
        tr("%1 of %2 files selected").arg(sourceModel_->TickedCount()).arg(sourceModel_->Count()));
    if (filterStatus_ != nullptr) {
        filterStatus_->Refresh();
    }
}

CFilterStatusLabel* CMainDlg::CreateFilterStatus() {
    filterStatus_ =
        new CFilterStatusLabel([this] { return CountFilterPassing(filter_, *sourceModel_); }, this);
    // The Filter tab has no change signal of its own: leaving it is when a
    // change shows.
    connect(tabs_, &QTabWidget::currentChanged, filterStatus_, &CFilterStatusLabel::Refresh);
    return filterStatus_;
}

QString CMainDlg::FilterNoFilesNote() {
    filterStatus_->RefreshNow();
    return CFilterStatusLabel::NoFilesNote(filterStatus_->Last());
}

void CMainDlg::AfterSourceListChange() {
    if (sourceModel_->Count() <= 0) {
        return;
    }
    ClearPreview();
    UpdateSelectionLabel();
}

void CMainDlg::ScanSourceFolder(const std::string& folder) {
    listHoldsChosen_ = false;
    const bool hadRows = sourceModel_->Count() > 0;
    cdAudioPage_->ClearTrackFiles();
    CSourceNames names;
    int error = 0;
    // A folder that cannot be read simply lists nothing.
    names.List(folder, error);
    FillExtensionLists(*filterPage_, names.Patterns());
    sourceModel_->SetNames(std::move(names));
    // An empty folder must not keep the labels and preview of the last one.
    ClearPreview();
    if (sourceModel_->Count() > 0 || hadRows) {
        UpdateSelectionLabel();
    }
}

void CMainDlg::OnRowTickChanged(int row, bool ticked) {
    if (ticked) {
        cdAudioPage_->AddTrackFile(row);
    } else {
        cdAudioPage_->RemoveTrackFile(row);
    }
    AfterSourceListChange();
}

void CMainDlg::OnSelectAll() {
    if (sourceModel_->Count() <= 0) {
        return;
    }
    sourceModel_->SetAllTicked(true);
    for (int row = 0; row < sourceModel_->Count(); ++row) {
        cdAudioPage_->AddTrackFile(row);
    }
    AfterSourceListChange();
}

void CMainDlg::OnDeselectAll() {
    if (sourceModel_->Count() <= 0) {
        return;
    }
    sourceModel_->SetAllTicked(false);
    cdAudioPage_->ClearTrackFiles();
    AfterSourceListChange();
}

void CMainDlg::OnInvertSelected() {
    if (sourceModel_->Count() <= 0) {
        return;
    }
    for (int row = 0; row < sourceModel_->Count(); ++row) {
        if (sourceModel_->IsTicked(row)) {
            cdAudioPage_->RemoveTrackFile(row);
        } else {
            cdAudioPage_->AddTrackFile(row);
        }
    }
    sourceModel_->InvertAll();
    AfterSourceListChange();
}

void CMainDlg::OnIncludeSubfolders(bool checked) {
    // The tree walk takes every file; the list's ticks play no part meanwhile.
    if (checked) {
        OnSelectAll();
    } else {
        OnDeselectAll();
    }
    ShowSourceListUsable(!checked);
}

void CMainDlg::ShowSourceListUsable(bool usable) {
    sourceView_->setEnabled(usable);
    for (WindowButton which : {kSelectAll, kDeselectAll, kInvertSelected}) {
        buttons_[which]->setEnabled(usable);
    }
}

void CMainDlg::OnBrowse() {
    const QString folder =
        Dialogs().ChooseFolder(this, tr("Choose Source Folder"), StartFolderFor(SourceFolder()));
    if (folder.isEmpty()) {
        return;
    }
    SetSourceFolder(LocalPath(folder), LocalPath(folder));
    ScanSourceFolder(SourceFolder());
}

void CMainDlg::RefreshSourceList(bool selectAll) {
    CWaitCursor wait;
    const std::string folder = SourceFolder();
    if (listHoldsChosen_) {
        ShowChosenFiles();
        ClearPreview();
    } else if (!folder.empty()) {
        ScanSourceFolder(folder);
        ClearPreview();
    }
    if (selectAll) {
        OnSelectAll();
    }
}

void CMainDlg::OnRefresh() {
    RefreshSourceList(false);
}

CMainDlg::DropRequest CMainDlg::DropRequestFor(const QMimeData* mime) const {
    DropRequest request;
    if (mime == nullptr || !mime->hasUrls() || RunInProgress()) {
        return request;
    }
    // One item: of several dropped folders, which one to open is a guess.
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile() ||
        !(urls.front().host().isEmpty() || urls.front().host() == "localhost")) {
        return request;
    }
    // The name's own bytes, also where they are not valid UTF-8.
    std::string path =
        QByteArray::fromPercentEncoding(urls.front().path(QUrl::FullyEncoded).toLatin1())
            .toStdString();
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    struct stat status {};
    if (path.empty() || path.front() != '/' || stat(path.c_str(), &status) != 0) {
        return request;
    }
    if (S_ISDIR(status.st_mode)) {
        request.kind = DropRequest::Kind::OpenFolder;
        request.path = path;
        return request;
    }
    const std::string folder(FolderOf(path));
    const QString extension = QString::fromUtf8(ExtensionOf(NameOf(path)));
    // Only a regular file is read as settings: a FIFO would hang the window.
    if (S_ISREG(status.st_mode) && extension.compare(".qvr", Qt::CaseInsensitive) == 0) {
        request.kind = DropRequest::Kind::LoadSettings;
        request.path = path;
    } else {
        request.kind = DropRequest::Kind::OpenFolder;
        request.path = folder.empty() ? "/" : folder;
    }
    return request;
}

bool CMainDlg::AcceptDrag(QDropEvent* event) const {
    // Copy, never move: a source told that its file moved might delete it.
    const Qt::DropActions offered = event->possibleActions();
    const Qt::DropAction action = offered.testFlag(Qt::CopyAction)   ? Qt::CopyAction
                                  : offered.testFlag(Qt::LinkAction) ? Qt::LinkAction
                                                                     : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction ||
        DropRequestFor(event->mimeData()).kind == DropRequest::Kind::None) {
        event->ignore();
        return false;
    }
    event->setDropAction(action);
    event->accept();
    return true;
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
    AcceptDrag(event);
}

void CMainDlg::dragMoveEvent(QDragMoveEvent* event) {
    AcceptDrag(event);
}

void CMainDlg::dropEvent(QDropEvent* event) {
    if (!AcceptDrag(event)) {
        return;
    }
    // After the drop has ended: the source waits for it, and a scan or a
    // message box may take a while.
    const DropRequest request = DropRequestFor(event->mimeData());
    QMetaObject::invokeMethod(
        this,
        [this, request] {
            if (RunInProgress()) {
                return;
            }
            activateWindow();
            if (request.kind == DropRequest::Kind::LoadSettings) {
                LoadSettingsFrom(request.path);
            } else {
                SetSourceFolder(request.path, request.path);
                ScanSourceFolder(SourceFolder());
            }
        },
        Qt::QueuedConnection);
}

}  // namespace quorvan
