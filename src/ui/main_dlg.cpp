#include "ui/main_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

#include "common/product.h"
#include "rules/rename_rules.h"
#include "run/run_engine.h"
#include "run/usage_counters.h"
#include "selection/filter_settings.h"
#include "ui/about_dlg.h"
#include "ui/core_texts.h"
#include "ui/count_label.h"
#include "ui/filter_status.h"
#include "ui/help_window.h"
#include "ui/history_dlg.h"
#include "ui/live_preview.h"
#include "ui/main_dlg_run_host.h"
#include "ui/pages/attribute_page.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/pages/extended_page.h"
#include "ui/pages/filter_page.h"
#include "ui/pages/more_rules_page.h"
#include "ui/pages/rename_page.h"
#include "ui/path_label.h"
#include "ui/path_list_view.h"
#include "ui/processing_dlg.h"
#include "ui/settings_tabs.h"
#include "ui/source_list_model.h"
#include "ui/undo_runner.h"
#include "ui/user_dialogs.h"
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

// The lists' height when the window had a fixed size, and the least they keep
// where the screen is smaller than that window.
constexpr int kCompactListRows = 12;
constexpr int kFewestListRows = 5;
constexpr const char* kGeometryKey = "MainWindow";

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

CMainDlg::CMainDlg(CRenameRules& rules, CFilterSettings& filter, QWidget* parent)
    : QDialog(parent), rules_(rules), filter_(filter) {
    InitResources();
    setWindowTitle(QString::fromUtf8(kProductName));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAcceptDrops(true);
    SetUpRuns();
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
    controls_.Bind(kSourceList, sourceView_);
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
    QPushButton* selectAll = MakeButton(kSelectAll, tr("S&elect All"),
                                        tr("Selects all the files in the source file list box"));
    QPushButton* deselectAll =
        MakeButton(kDeselectAll, tr("&Deselect All"),
                   tr("Deselects all the files in the source file list box"));
    QPushButton* invert = MakeButton(kInvertSelected, tr("&Invert Selected"),
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
    CUsageRegistry registry(kAppGuid);
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
    rules_.SetSubfolderControls([this](bool usable) { ShowSourceListUsable(usable); });
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

void CMainDlg::OnAbout() {
    CUsageRegistry registry(kAppGuid);
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
