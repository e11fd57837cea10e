// Preview: the plan of the ticked files and its check, shown in the preview
// list.
#include <QMessageBox>

#include "rules/rename_rules.h"
#include "run/plan_check.h"
#include "selection/source_scan.h"
#include "ui/count_label.h"
#include "ui/live_preview.h"
#include "ui/main_dlg.h"
#include "ui/metadata_progress.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/pages/extended_page.h"
#include "ui/pages/more_rules_page.h"
#include "ui/settings_tabs.h"
#include "ui/source_list_model.h"
#include "ui/user_dialogs.h"
#include "ui/wait_cursor.h"

namespace quorvan {

QString CMainDlg::PreviewLabel() const {
    return previewLabel_->Count();
}

void CMainDlg::ClearPreview(bool evenLive) {
    if (live_->IsOn() && !evenLive) {
        return;
    }
    previewModel_->Clear();
    previewLabel_->SetCount(tr("(0 files in preview)"));
}

bool CMainDlg::BuildFileList() {
    FileListRequest request;
    request.sourceFolder = SourceFolder();
    request.rows = sourceModel_;
    request.renameCdAudio = cdAudioPage_->RenameCdAudio();
    request.treeFromRows = listHoldsChosen_;
    if (request.renameCdAudio) {
        request.cdTrackOrder = cdAudioPage_->TrackFiles();
    }
    CFileListBuilder builder(rules_, filter_);
    const bool selected = builder.BuildFileList(request);
    fileCount_ = builder.fileCount;
    return selected;
}

void CMainDlg::FillPreviewList() {
    // Dates and tags are read first, with a progress dialog that can cancel.
    if (!cdAudioPage_->RenameCdAudio() && !ReadTemplateMetadata(this, rules_)) {
        previewModel_->Clear();
        previewLabel_->SetCount(tr("(%1 files in preview)").arg(0));
        return;
    }
    rules_.ComputePlan(SourceFolder(), cdAudioPage_->RenameCdAudio());
    ShowPlan();
}

void CMainDlg::ShowPlan() {
    const bool cdMode = cdAudioPage_->RenameCdAudio();
    // The old plan goes first: the check must not hold two plans' worth.
    previewModel_->Clear();
    PlanCheck check = CheckPlan(rules_.PlanEntries(), rules_.Settings().RenameInPlace, cdMode,
                                NameFolders(rules_.Settings(), SourceFolder()));
    ApplyPlanNotes(rules_.Plan(), check);
    previewModel_->SetPlan(rules_.SharedPlan(), std::move(check));
    previewLabel_->SetCount(
        PreviewCountText(previewModel_->Count(), previewModel_->FailingCount()));
}

bool CMainDlg::RefuseRulesThatCannotMakeNames() {
    const QString problem = moreRulesPage_->Problem();
    if (problem.isEmpty()) {
        return false;
    }
    tabs_->setCurrentWidget(moreRulesPage_);
    Dialogs().Message(this, QMessageBox::Warning, tr("Issue..."), problem, QMessageBox::Ok);
    return true;
}

void CMainDlg::OnPreview() {
    if (RefuseRulesThatCannotMakeNames()) {
        return;
    }
    if (extendedPage_->State().includeSubfolders) {
        const QString question =
            tr("With the \"Include Subfolders\" option set, the preview\n"
               "generation can take a while depending upon the number\n"
               "of files in the sub folders.\n"
               "\n"
               "Do you wish to proceed?");
        if (Dialogs().Message(this, QMessageBox::Question, tr("Info..."), question,
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            return;
        }
    }
    CWaitCursor wait;
    if (BuildFileList()) {
        FillPreviewList();
    } else {
        Dialogs().Message(this, QMessageBox::Warning, tr("Issue..."),
                          tr("No files have been selected."), QMessageBox::Ok);
    }
}

}  // namespace quorvan
