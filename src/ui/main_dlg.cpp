#include "ui/main_dlg.h"

#include <sys/stat.h>

#include <cerrno>

#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "common/path.h"
#include "common/product.h"
#include "platform/file_system.h"
#include "rules/control_ids.h"
#include "rules/rename_rules.h"
#include "run/plan_check.h"
#include "run/run_engine.h"
#include "run/usage_counters.h"
#include "selection/filter_count.h"
#include "selection/filter_settings.h"
#include "selection/source_scan.h"
#include "ui/about_dlg.h"
#include "ui/core_texts.h"
#include "ui/count_label.h"
#include "ui/filter_page.h"
#include "ui/filter_status.h"
#include "ui/help_window.h"
#include "ui/history_dlg.h"
#include "ui/live_preview.h"
#include "ui/metadata_progress.h"
#include "ui/pages/attribute_page.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/pages/extended_page.h"
#include "ui/pages/more_rules_page.h"
#include "ui/pages/rename_page.h"
#include "ui/path_label.h"
#include "ui/path_list_view.h"
#include "ui/processing_dlg.h"
#include "ui/settings_tabs.h"
#include "ui/source_list_model.h"
#include "ui/undo_runner.h"
#include "ui/user_dialogs.h"
#include "ui/wait_cursor.h"
#include "ui/window_geometry.h"
#include "ui/window_keys.h"

namespace quorvan {
namespace {

// Main-window control numbers that only the window uses.
constexpr int kFolderDisplay = 1116;
constexpr int kBrowse = 1001;
constexpr int kTabControl = 1007;
constexpr int kSelectionLabel = 1105;
constexpr int kPreviewLabel = 1106;
constexpr int kPreviewList = 1005;
constexpr int kPreview = 1078;
constexpr int kRefresh = 1151;
constexpr int kStart = 1006;
constexpr int kSaveSettings = 1045;
constexpr int kLoadSettings = 1046;
constexpr int kHelp = 1150;
constexpr int kAbout = 1003;
constexpr int kExit = 1152;
constexpr int kHistory = 1153;

constexpr int kProgressIntervalMs = 40;

// The lists' height when the window had a fixed size, and the least they keep
// where the screen is smaller than that window.
constexpr int kCompactListRows = 12;
constexpr int kFewestListRows = 5;
constexpr const char* kGeometryKey = "MainWindow";

const char* const kSettingsFilter =
    QT_TRANSLATE_NOOP("quorvan::CMainDlg", "Quorvan Files (*.qvr);;All Files (*)");

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QListView* MakeListView(QWidget* parent) {
    // Uniform rows, as wide as the widest, keep a list of a million files
    // quick to show and every path whole.
    auto* view = new CPathListView(parent);
    view->setLayoutMode(QListView::Batched);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return view;
}

// The desktop theme's icon when one is installed; else the program's own,
// drawn from the SVG where Qt can read it.
QIcon ProgramIcon() {
    QIcon own;
    if (QImageReader::supportedImageFormats().contains("svg")) {
        own.addFile(":/icons/quorvan.svg");
    }
    own.addFile(":/icons/quorvan-48.png", QSize(48, 48));
    own.addFile(":/icons/quorvan-256.png", QSize(256, 256));
    return QIcon::fromTheme("quorvan", own);
}

}  // namespace

// What a run asks of the window, answered on the window thread.
class CMainDlg::CWindowRunHost final : public IRunHost {
  public:
    explicit CWindowRunHost(CMainDlg& window) : window_(window) {}

    bool AskYesNo(const std::string& caption, const std::string& text) override {
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
    void ShowMessage(MessageKind kind, const std::string& caption,
                     const std::string& text) override {
        const auto icon =
            kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information;
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
    int32_t BuildFileList() override {
        CWaitCursor wait;
        window_.BuildFileList();
        noFilesNote_ = window_.fileCount_ > 0 ? QString() : window_.FilterNoFilesNote();
        return window_.fileCount_;
    }
    IRunReporter& Reporter() override { return *window_.bridge_; }
    bool ShowProgress(int32_t fileCount, std::atomic<uint8_t>& cancelRequested,
                      CCompletionEvent&) override {
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
    void ShowWait(CCompletionEvent& completion) override {
        CWaitDlg dialog(completion, &window_);
        dialog.exec();
    }
    void RefreshSourceList() override { window_.RefreshSourceList(false); }

  private:
    CMainDlg& window_;
    bool runEnded_ = false;
    QString noFilesNote_;
};

CMainDlg::CMainDlg(CRenameRules& rules, CFilterSettings& filter, QWidget* parent)
    : QDialog(parent), rules_(rules), filter_(filter), controls_(this) {
    InitResources();
    setWindowTitle(QString::fromUtf8(kProductName));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAcceptDrops(true);
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
    BuildLayout();
}

CMainDlg::~CMainDlg() = default;

QPushButton* CMainDlg::MakeButton(int id, const QString& text, const QString& tip) {
    auto* button = new QPushButton(text, this);
    // Enter must never press a button of this window.
    button->setAutoDefault(false);
    if (!tip.isEmpty()) {
        button->setToolTip(tip);
    }
    controls_.Bind(id, button);
    return button;
}

QPushButton* CMainDlg::Button(int id) const {
    return controls_.ControlAs<QPushButton>(id);
}

void CMainDlg::BuildLayout() {
    folderDisplay_ = new CPathLabel(this);
    folderDisplay_->setToolTip(tr("Main folder from which to process files"));
    controls_.Bind(kFolderDisplay, folderDisplay_);
    QPushButton* browse = MakeButton(kBrowse, tr("&Browse..."),
                                     tr("Browse to the folder containing files to be renamed"));

    tabs_ = new CVantorTabControl(this);
    controls_.Bind(kTabControl, tabs_);
    renamePage_ = new CRenameSettingsDlg(tabs_);
    extendedPage_ = new CExtendedSettingsDlg(tabs_);
    attributePage_ = new CAttributeSettingsDlg(tabs_);
    cdAudioPage_ = new CCDDBSettingsDlg(tabs_);
    cdAudioPage_->SetTrackSource([this](int row) { return sourceModel_->Path(row); });
    filterPage_ = new CFilterSettingsDlg(tabs_);
    tabs_->SetPages(renamePage_, extendedPage_, attributePage_, cdAudioPage_, filterPage_);
    moreRulesPage_ = new CMoreRulesPage(tabs_);
    tabs_->addTab(moreRulesPage_, tr("More Rules"));

    selectionLabel_ = new QLabel(tr("(0 of 0 files selected)"), this);
    previewLabel_ = new CCountLabel(tr("(0 files in preview)"), this);
    previewLabel_->SetLongest(
        tr("(%1 files in preview, %2 cannot be renamed)").arg(9999999).arg(9999999));
    controls_.Bind(kSelectionLabel, selectionLabel_);
    controls_.Bind(kPreviewLabel, previewLabel_);

    sourceModel_ = new CSourceListModel(this);
    sourceView_ = MakeListView(this);
    sourceView_->setModel(sourceModel_);
    sourceView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    sourceView_->setAccessibleName(tr("Source Filename"));
    controls_.Bind(ids::kSourceList, sourceView_);
    previewModel_ = new CPreviewModel(this);
    previewView_ = MakeListView(this);
    previewView_->setModel(previewModel_);
    previewView_->setSelectionMode(QAbstractItemView::SingleSelection);
    previewView_->setAccessibleName(tr("Preview Filename"));
    // A marked row's icon fits the line, so marked rows are as high as others.
    const int iconSide = fontMetrics().height();
    previewView_->setIconSize(QSize(iconSide, iconSide));
    controls_.Bind(kPreviewList, previewView_);

    QPushButton* preview =
        MakeButton(kPreview, tr("&Preview"), tr("Generates a sample list of file names"));
    QPushButton* refresh =
        MakeButton(kRefresh, tr("&Refresh"), tr("Updates the source list box view"));
    QPushButton* selectAll = MakeButton(ids::kSelectAll, tr("S&elect All"),
                                        tr("Selects all the files in the source file list box"));
    QPushButton* deselectAll =
        MakeButton(ids::kDeselectAll, tr("&Deselect All"),
                   tr("Deselects all the files in the source file list box"));
    QPushButton* invert = MakeButton(ids::kInvertSelected, tr("&Invert Selected"),
                                     tr("Inverts the selections in the source file list box"));
    QPushButton* start = MakeButton(kStart, tr("S&tart"), tr("Executes the rename process"));
    QPushButton* save = MakeButton(kSaveSettings, tr("&Save Settings"),
                                   tr("Saves the rename settings to a specified text file"));
    QPushButton* load = MakeButton(kLoadSettings, tr("&Load Settings"),
                                   tr("Loads the rename settings from a specified text file"));
    QPushButton* history =
        MakeButton(kHistory, tr("Hist&ory..."), tr("Lists past runs and undoes one of them"));
    QPushButton* help = MakeButton(kHelp, tr("&Help"), QString());
    QPushButton* about = MakeButton(kAbout, tr("&About"), QString());
    QPushButton* exitButton = MakeButton(kExit, tr("E&xit"), QString());
    exitButton->setDefault(true);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(tr("Source Folder:"), this));
    folderRow->addWidget(folderDisplay_, 1);
    folderRow->addWidget(browse);

    auto* commandColumn = new QVBoxLayout;
    commandColumn->addWidget(preview);
    live_ = new CLivePreview(*this);
    commandColumn->addWidget(live_->CheckBox());
    commandColumn->addWidget(refresh);
    commandColumn->addSpacing(fontMetrics().height());
    commandColumn->addWidget(selectAll);
    commandColumn->addWidget(deselectAll);
    commandColumn->addWidget(invert);
    commandColumn->addStretch(1);
    commandColumn->addWidget(start);

    auto* lists = new QGridLayout;
    // Captions sit on the lists, whatever height the count keeps free.
    auto* sourceCaption = new QHBoxLayout;
    sourceCaption->addWidget(new QLabel(tr("Source File List:"), this), 0, Qt::AlignBottom);
    sourceCaption->addWidget(selectionLabel_, 1, Qt::AlignBottom);
    sourceCaption->addWidget(CreateFilterStatus(), 0, Qt::AlignBottom);
    auto* previewCaption = new QHBoxLayout;
    previewCaption->addWidget(new QLabel(tr("Preview File List:"), this), 0, Qt::AlignBottom);
    previewCaption->addWidget(previewLabel_, 1);
    lists->addLayout(sourceCaption, 0, 0);
    lists->addLayout(previewCaption, 0, 2);
    lists->addWidget(sourceView_, 1, 0);
    lists->addLayout(commandColumn, 1, 1);
    lists->addWidget(previewView_, 1, 2);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(save);
    bottomRow->addWidget(load);
    bottomRow->addWidget(history);
    bottomRow->addWidget(help);
    bottomRow->addStretch(1);
    bottomRow->addWidget(about);
    bottomRow->addWidget(exitButton);

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addLayout(folderRow);
    // Extra height goes to the file lists; the tabs take a share of it (see
    // resizeEvent).
    layout->addWidget(tabs_);
    layout->addLayout(lists, 1);
    layout->addLayout(bottomRow);
    // Scroll bars appear only where the screen is too small for the window
    // (a large scale factor): then nothing is out of reach.
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidgetResizable(true);
    scroller->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroller);
    const int lineHeight = fontMetrics().height();
    sourceView_->setFixedHeight(lineHeight * kCompactListRows);
    previewView_->setFixedHeight(lineHeight * kCompactListRows);
    ensurePolished();
    compactSize_ = layout->totalSizeHint();
    tabsCompactHeight_ = tabs_->sizeHint().height();
    for (QListView* view : {sourceView_, previewView_}) {
        view->setMinimumHeight(lineHeight * kFewestListRows);
        view->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    ApplySizeLimits();
    resize(minimumSize());

    connect(browse, &QPushButton::clicked, this, &CMainDlg::OnBrowse);
    connect(preview, &QPushButton::clicked, this, &CMainDlg::OnPreview);
    connect(refresh, &QPushButton::clicked, this, &CMainDlg::OnRefresh);
    connect(selectAll, &QPushButton::clicked, this, &CMainDlg::OnSelectAll);
    connect(deselectAll, &QPushButton::clicked, this, &CMainDlg::OnDeselectAll);
    connect(invert, &QPushButton::clicked, this, &CMainDlg::OnInvertSelected);
    connect(save, &QPushButton::clicked, this, &CMainDlg::OnSaveSettings);
    connect(load, &QPushButton::clicked, this, &CMainDlg::OnLoadSettings);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(start, &QPushButton::clicked, this, &CMainDlg::OnStart);
    connect(about, &QPushButton::clicked, this, &CMainDlg::OnAbout);
    connect(help, &QPushButton::clicked, this, &CMainDlg::OnHelp);
    connect(history, &QPushButton::clicked, this, &CMainDlg::OnHistory);
    connect(sourceModel_, &CSourceListModel::RowTickChanged, this, &CMainDlg::OnRowTickChanged);
    extendedPage_->SetSubfolderHandler([this](bool checked) { OnIncludeSubfolders(checked); });
    live_->Watch();

    KeepEnterFromButtons(this);
    PreferPageMnemonic(deselectAll, cdAudioPage_->MoveDownButton());
    PreferPageMnemonic(browse, extendedPage_->BrowseButton());
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &CMainDlg::OnHelp);
}

void CMainDlg::SetInitialFolder(const std::string& commandLine) {
    if (!commandLine.empty()) {
        SetInitialPaths({commandLine});
    }
}

void CMainDlg::Initialise() {
    CUsageRegistry registry(kAppGuid, kProductName);
    timesUsed_ = registry.ReadTimesUsed();
    filesProcessed_ = registry.ReadFilesProcessed();
    startCount_ = registry.AddToCounter(kValueStartCount, 1);
    if (showSplash_) {
        CProductInfoDlg splash(CProductInfoDlg::Kind::StartupScreen, this);
        splash.SetCounters(startCount_, timesUsed_, filesProcessed_);
        emit InfoDialogOpening(&splash);
        splash.exec();
    }

    rules_.SetPages(renamePage_, extendedPage_, attributePage_, cdAudioPage_);
    rules_.SetMoreRulesPage(moreRulesPage_);
    rules_.SetSubfolderControls([this](bool usable) {
        for (int id : {ids::kSourceList, ids::kSelectAll, ids::kDeselectAll, ids::kInvertSelected}) {
            controls_.SetEnabled(id, usable);
        }
    });
    filter_.SetPage(filterPage_);

    // Before the scan, so that the list shows the files as the answer left them.
    AskAboutInterruptedRuns(this,
                            [this](CProcessingDlg* dialog) { emit ProgressDialogOpening(dialog); });

    OpenStartSelection();
    RestoreWindowGeometry();
}

void CMainDlg::ApplySizeLimits() {
    QSize available;
    if (const QScreen* shownOn = screen()) {
        // The screen's free area includes the title bar.
        available = shownOn->availableGeometry().size() -
                    QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    }
    setMinimumSize(SmallestWindowSize(compactSize_, layout()->totalMinimumSize(), available,
                                      style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
}

void CMainDlg::RestoreWindowGeometry() {
    const QByteArray geometry = CWindowGeometryStore().Load(kGeometryKey);
    // Qt moves a geometry that would be off every screen back onto one.
    if (!geometry.isEmpty() && restoreGeometry(geometry)) {
        ApplySizeLimits();
    }
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
    // A quarter of the height beyond the compact window goes to the tabs, for
    // the CD Audio page's lists; the other pages keep their controls on top.
    const int extra = std::max(0, height() - compactSize_.height());
    tabs_->setMinimumHeight(tabsCompactHeight_ + extra / 4);
    QDialog::resizeEvent(event);
}

void CMainDlg::showEvent(QShowEvent* event) {
    // The screen is known for sure only now.
    ApplySizeLimits();
    QDialog::showEvent(event);
}

void CMainDlg::done(int result) {
    if (isVisible()) {
        CWindowGeometryStore().Save(kGeometryKey, saveGeometry());
    }
    QDialog::done(result);
}

bool CMainDlg::RunInProgress() const {
    return runInProgress_ || engine_->Busy();
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
    std::string folder;
    std::string name;
    SplitPath(path, folder, name);
    const QString extension = QString::fromUtf8(ExtensionOf(name));
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
                folderDisplay_->SetPath(request.path);
                ScanSourceFolder(SourceFolder());
            }
        },
        Qt::QueuedConnection);
}

const std::string& CMainDlg::SourceFolder() const {
    return folderDisplay_->Path();
}

QString CMainDlg::SelectionLabel() const {
    return selectionLabel_->text();
}
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
    for (int id : {ids::kSourceList, ids::kSelectAll, ids::kDeselectAll, ids::kInvertSelected}) {
        controls_.SetEnabled(id, !checked);
    }
}

void CMainDlg::OnBrowse() {
    const QString folder =
        Dialogs().ChooseFolder(this, tr("Choose Source Folder"), StartFolderFor(SourceFolder()));
    if (folder.isEmpty()) {
        return;
    }
    folderDisplay_->SetPath(LocalPath(folder));
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

void CMainDlg::OnAbout() {
    CUsageRegistry registry(kAppGuid, kProductName);
    // A worker may have added to it since the window read it.
    filesProcessed_ = registry.ReadFilesProcessed();
    CAboutDlg about(this);
    about.SetCounters(startCount_, timesUsed_, filesProcessed_);
    emit InfoDialogOpening(&about);
    about.exec();
}

void CMainDlg::OnHelp() {
    if (help_ == nullptr) {
        help_ = new CHelpWindow(this);
    }
    help_->ShowContents();
}

void CMainDlg::OnHistory() {
    CHistoryDlg history(this);
    connect(&history, &CHistoryDlg::ProgressDialogOpening, this, &CMainDlg::ProgressDialogOpening);
    emit HistoryDialogOpening(&history);
    history.exec();
    if (history.UndoneAny()) {
        RefreshSourceList(false);
    }
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape never close this window; only Exit and the close box do.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

}  // namespace quorvan
