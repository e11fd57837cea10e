#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "selection/start_paths.h"
#include "ui/qt_text.h"

class QDropEvent;
class QLabel;
class QListView;
class QMimeData;
class QPushButton;
class QTimer;

namespace quorvan {

class CAttributeSettingsDlg;
class CHelpWindow;
class CHistoryDlg;
class CProcessingDlg;
class CProductInfoDlg;
class CRunEngine;
class CRunReportBridge;
class CCDDBSettingsDlg;
class CCountLabel;
class CExtendedSettingsDlg;
class CFilterSettings;
class CFilterSettingsDlg;
class CFilterStatusLabel;
class CMoreRulesPage;
class CLivePreview;
class CPathLabel;
class CPreviewModel;
class CRenameRules;
class CRenameSettingsDlg;
class CSourceListModel;
class CVantorTabControl;

// The main window: the folder, the settings tabs, the source and preview
// lists and the command buttons.
class CMainDlg final : public QDialog {
    Q_OBJECT
  public:
    CMainDlg(CRenameRules& rules, CFilterSettings& filter, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The folder to open at start (the program's argument); call before
    // Initialise. An empty text means none.
    void SetInitialFolder(const std::string& commandLine);
    // The paths the program was started on (a file manager's selection): one
    // folder opens as SetInitialFolder does, files open their folder with
    // exactly those ticked. Call before Initialise.
    void SetInitialPaths(const std::vector<std::string>& paths);
    // Counts this start, hands the pages to the rules and the filter, and
    // scans the initial folder.
    void Initialise();
    // Whether Initialise shows the start-up screen (the program decides).
    void SetShowSplash(bool show) { showSplash_ = show; }

    // The window's own buttons.
    enum WindowButton {
        kBrowse,
        kPreview,
        kRefresh,
        kSelectAll,
        kDeselectAll,
        kInvertSelected,
        kStart,
        kSaveSettings,
        kLoadSettings,
        kHistory,
        kHelp,
        kAbout,
        kExit,
        kButtonCount
    };
    QPushButton* Button(WindowButton which) const { return buttons_[which]; }
    // What the last gathering or loaded settings file left, pages or not.
    const CRenameRules& Rules() const { return rules_; }
    const CFilterSettings& Filter() const { return filter_; }
    CSourceListModel& SourceModel() const { return *sourceModel_; }
    CPreviewModel& PreviewModel() const { return *previewModel_; }
    QListView* SourceView() const { return sourceView_; }
    QListView* PreviewView() const { return previewView_; }
    CCountLabel* PreviewCountLabel() const { return previewLabel_; }
    CVantorTabControl* Tabs() const { return tabs_; }
    CRenameSettingsDlg* RenamePage() const { return renamePage_; }
    CExtendedSettingsDlg* ExtendedPage() const { return extendedPage_; }
    CAttributeSettingsDlg* AttributePage() const { return attributePage_; }
    CCDDBSettingsDlg* CdAudioPage() const { return cdAudioPage_; }
    CFilterSettingsDlg* FilterPage() const { return filterPage_; }
    CMoreRulesPage* MoreRulesPage() const { return moreRulesPage_; }
    QString SelectionLabel() const;
    QString PreviewLabel() const;

    // The folder the files are read from, and the folder display's text: a
    // loaded settings file's folder shows as stored, read where it leads.
    const std::string& SourceFolder() const { return sourceFolder_; }
    const std::string& FolderText() const;
    // Files the last BuildFileList put into the plan.
    int32_t FileCount() const { return fileCount_; }
    int32_t StartCount() const { return startCount_; }
    int32_t TimesUsed() const { return timesUsed_; }
    int32_t FilesProcessed() const { return filesProcessed_; }

    void ScanSourceFolder(const std::string& folder);
    void RefreshSourceList(bool selectAll);
    // Fills the plan with the selected files the filter accepts; true when
    // something was selected. FileCount() tells how many were taken.
    bool BuildFileList();
    // Computes the plan's new names and shows them with the check's marks.
    void FillPreviewList();

    void OnSelectAll();
    void OnDeselectAll();
    void OnInvertSelected();
    void OnBrowse();
    void OnRefresh();
    void OnPreview();
    void OnLoadSettings();
    void OnSaveSettings();
    // Loads or saves a chosen settings file, as the two buttons do after
    // their file dialog.
    void LoadSettingsFrom(const std::string& path);
    void SaveSettingsTo(const std::string& path);
    // Start: runs the plan with the progress dialog, then rescans.
    void OnStart();
    void OnAbout();
    void OnHelp();
    // History...: past runs, and undoing one; the source list is read again
    // after an undo.
    void OnHistory();
    CRunEngine& Engine() { return *engine_; }
    CHelpWindow* HelpWindow() const { return help_; }
    // From Start until the run's end message and rescan are over.
    bool RunInProgress() const;

    // Exit and the close box: the size and position are kept for the next
    // start.
    void done(int result) override;

  signals:
    // Emitted right before a modal dialog of a run or the start-up screen and
    // About box is shown, for whoever watches (the tests do).
    void ProgressDialogOpening(CProcessingDlg* dialog);
    void InfoDialogOpening(CProductInfoDlg* dialog);
    void HistoryDialogOpening(CHistoryDlg* dialog);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A folder dropped opens as Browse opens it (a file: its folder); a
    // settings file loads as Load Settings loads it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    class CWindowRunHost;
    // The run's reports reach the progress dialog; the engine and its host.
    void SetUpRuns();
    void BuildLayout();
    // Opens what the program was started on, and names the paths that were
    // not found.
    void OpenStartSelection();
    // Lists the start's chosen files that still exist, all ticked while
    // "Include subfolders" is on.
    void ShowChosenFiles();
    void OnRowTickChanged(int row, bool ticked);
    void OnIncludeSubfolders(bool checked);
    // The source list and its three selection buttons.
    void ShowSourceListUsable(bool usable);
    // The state every change of the source list leaves: preview emptied,
    // selection label current.
    void AfterSourceListChange();
    // Live preview keeps the rows until its own result replaces them, unless
    // `evenLive`.
    void ClearPreview(bool evenLive = false);
    // Shows the rules' plan as it is, checked now, in the preview list.
    void ShowPlan();
    // Shows why the More Rules cannot make names, if they cannot.
    bool RefuseRulesThatCannotMakeNames();
    void UpdateSelectionLabel();
    // The filter's line beside the source list's count.
    CFilterStatusLabel* CreateFilterStatus();
    // What the "no files" message adds when the filter let no ticked file pass.
    QString FilterNoFilesNote();
    void SetCaptionFor(const std::string& settingsPath);
    // Shows `text` in the folder display; the files are read from `folder`.
    void SetSourceFolder(const std::string& text, const std::string& folder);
    QPushButton* MakeButton(WindowButton which, const QString& text, const QString& tip);
    // The window is as small as it was when its size was fixed, unless the
    // screen is smaller; the lists take any room beyond that.
    void ApplySizeLimits();
    void RestoreWindowGeometry();
    struct DropRequest {
        enum class Kind { None, OpenFolder, LoadSettings } kind = Kind::None;
        std::string path;
    };
    DropRequest DropRequestFor(const QMimeData* mime) const;
    bool AcceptDrag(QDropEvent* event) const;

    CRenameRules& rules_;
    CFilterSettings& filter_;
    std::array<QPushButton*, kButtonCount> buttons_{};
    int32_t fileCount_ = 0;

    CPathLabel* folderDisplay_ = nullptr;
    std::string sourceFolder_;
    CVantorTabControl* tabs_ = nullptr;
    QLabel* selectionLabel_ = nullptr;
    CFilterStatusLabel* filterStatus_ = nullptr;
    CCountLabel* previewLabel_ = nullptr;
    QListView* sourceView_ = nullptr;
    QListView* previewView_ = nullptr;
    CSourceListModel* sourceModel_ = nullptr;
    CPreviewModel* previewModel_ = nullptr;

    CRenameSettingsDlg* renamePage_ = nullptr;
    CExtendedSettingsDlg* extendedPage_ = nullptr;
    CAttributeSettingsDlg* attributePage_ = nullptr;
    CCDDBSettingsDlg* cdAudioPage_ = nullptr;
    CFilterSettingsDlg* filterPage_ = nullptr;
    CMoreRulesPage* moreRulesPage_ = nullptr;
    CLivePreview* live_ = nullptr;

    CRunReportBridge* bridge_ = nullptr;
    // The open progress dialog, null between runs: reports find it here.
    CProcessingDlg* progress_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    std::unique_ptr<CWindowRunHost> runHost_;
    // Declared last among the run's parts: its worker ends before the rest.
    std::unique_ptr<CRunEngine> engine_;
    CHelpWindow* help_ = nullptr;

    bool showSplash_ = false;
    bool runInProgress_ = false;
    // The size of the window laid out with twelve-row lists.
    QSize compactSize_;
    int tabsCompactHeight_ = 0;
    StartSelection start_;
    // The source list holds the start's chosen files from several folders,
    // not a folder's listing.
    bool listHoldsChosen_ = false;
    int32_t startCount_ = 0;
    int32_t timesUsed_ = 0;
    int32_t filesProcessed_ = 0;
};

}  // namespace quorvan
