// Start and the end of a run: the engine's questions and reports, shown by
// the window.
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QTimer>

#include "ui/core_texts.h"
#include "ui/main_dlg.h"
#include "ui/main_dlg_run_host.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/pages/extended_page.h"
#include "ui/processing_dlg.h"
#include "ui/user_dialogs.h"
#include "ui/wait_cursor.h"

namespace quorvan {
namespace {

constexpr int kProgressIntervalMs = 40;

}  // namespace

bool CMainDlg::CWindowRunHost::AskYesNo(const std::string& caption, const std::string& text) {
    // Files that cannot be renamed: the question sends the user to the
    // preview list, which then shows the plan that Start checked.
    const bool leaveOut = caption == CRunEngine::kIssueCaption;
    if (leaveOut) {
        window_.ShowPlan();
    }
    const bool yes =
        Dialogs().Message(&window_, QMessageBox::Question, CoreText(caption), CoreText(text),
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    if (leaveOut && yes) {
        // The run takes the plan; a list still sharing it would cost a copy.
        window_.ClearPreview(true);
    }
    return yes;
}

void CMainDlg::CWindowRunHost::ShowMessage(MessageKind kind, const std::string& caption,
                                           const std::string& text) {
    const auto icon = kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information;
    // The end of a run names every failed file: with the log off, nothing
    // else does.
    const QString details = runEnded_ ? window_.bridge_->TakeFailures() : QString();
    runEnded_ = false;
    QString shown = CoreText(text);
    if (text == CRunEngine::kNoFilesText && !noFilesNote_.isEmpty()) {
        shown += "\n" + noFilesNote_;
    }
    Dialogs().Message(&window_, icon, CoreText(caption), shown, QMessageBox::Ok, details);
}

int32_t CMainDlg::CWindowRunHost::BuildFileList() {
    CWaitCursor wait;
    window_.BuildFileList();
    noFilesNote_ = window_.fileCount_ > 0 ? QString() : window_.FilterNoFilesNote();
    return window_.fileCount_;
}

IRunReporter& CMainDlg::CWindowRunHost::Reporter() {
    return *window_.bridge_;
}

bool CMainDlg::CWindowRunHost::ShowProgress(int32_t fileCount,
                                            std::atomic<uint8_t>& cancelRequested,
                                            CCompletionEvent&) {
    CProcessingDlg dialog(fileCount, cancelRequested, &window_);
    // The worker has been reporting since it started; its reports queue up
    // for the window and reach this dialog once it runs.
    window_.progress_ = &dialog;
    emit window_.ProgressDialogOpening(&dialog);
    const bool finished = dialog.exec() == QDialog::Accepted;
    window_.progress_ = nullptr;
    runEnded_ = true;
    return finished;
}

void CMainDlg::CWindowRunHost::ShowWait(CCompletionEvent& completion) {
    CWaitDlg dialog(completion, &window_);
    dialog.exec();
}

void CMainDlg::CWindowRunHost::RefreshSourceList() {
    window_.RefreshSourceList(false);
}

void CMainDlg::SetUpRuns() {
    bridge_ = new CRunReportBridge(this);
    // Reports that come when no progress dialog is open are dropped.
    connect(bridge_, &CRunReportBridge::Started, this, [this] {
        if (progress_ != nullptr) {
            progress_->OnProgress(0);
        }
    });
    // The dialog shows the latest values a few times a second; redrawing it
    // for every file would take the worker's processor time.
    progressTimer_ = new QTimer(this);
    progressTimer_->setSingleShot(true);
    progressTimer_->setInterval(kProgressIntervalMs);
    connect(bridge_, &CRunReportBridge::Changed, progressTimer_, qOverload<>(&QTimer::start));
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        const CRunReportBridge::Snapshot latest = bridge_->TakeLatest();
        if (progress_ != nullptr) {
            progress_->OnUpdate(latest);
        }
    });
    connect(bridge_, &CRunReportBridge::Error, this, [this](const QByteArray& message) {
        if (progress_ != nullptr) {
            progress_->OnError(message);
        }
    });
    connect(bridge_, &CRunReportBridge::Finished, this, [this] {
        progressTimer_->stop();
        const CRunReportBridge::Snapshot latest = bridge_->TakeLatest();
        if (progress_ != nullptr) {
            progress_->OnUpdate(latest);
            progress_->OnFinished();
        }
    });
    runHost_ = std::make_unique<CWindowRunHost>(*this);
    engine_ = std::make_unique<CRunEngine>(rules_);
}

void CMainDlg::OnStart() {
    if (RefuseRulesThatCannotMakeNames()) {
        return;
    }
    RunRequest request;
    request.sourceFolder = SourceFolder();
    const ExtendedPageState extended = extendedPage_->State();
    request.destinationFolder = extended.destinationFolder;
    request.writeLog = extended.generateLog;
    request.writeUndo = extended.generateUndo;
    request.inPlace = extended.renameInPlace;
    request.cdMode = cdAudioPage_->RenameCdAudio();
    const QScopedValueRollback<bool> running(runInProgress_, true);
    const StartOutcome outcome = engine_->OnStart(*runHost_, request);
    if (outcome.timesUsedCounted) {
        ++timesUsed_;
    }
}

bool CMainDlg::RunInProgress() const {
    return runInProgress_ || engine_->Busy();
}

}  // namespace quorvan
