#include "ui/history_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/file_system.h"
#include "ui/core_texts.h"
#include "ui/page_widgets.h"
#include "ui/processing_dlg.h"
#include "ui/undo_runner.h"
#include "ui/user_dialogs.h"
#include "ui/window_geometry.h"

namespace quorvan {
namespace {

constexpr const char* kGeometryKey = "HistoryWindow";

QTreeView* MakeTableView(QWidget* parent) {
    QTreeView* view = MakeReportView(parent);
    view->setTextElideMode(Qt::ElideMiddle);
    return view;
}

QString RunDescription(const RunSummary& run) {
    QString text =
        QObject::tr("Run %1, started %2: %3 in %4")
            .arg(QString::fromStdString(run.start.id), QString::fromStdString(run.start.time),
                 ModeText(run.start.mode), ShownText(run.start.folder));
    if (run.start.mode == RunMode::Copy && !run.start.destination.empty()) {
        text += QObject::tr(", copies to %1").arg(ShownText(run.start.destination));
    }
    text += '\n' + QObject::tr("%1 files planned, %2 done, %3 failed. State: %4.")
                       .arg(run.start.files)
                       .arg(run.done)
                       .arg(run.failed)
                       .arg(CoreText(RunStateName(run.state)));
    if (run.restored > 0 || run.skipped > 0) {
        text +=
            ' ' +
            QObject::tr("Last undo: %1 restored, %2 skipped.").arg(run.restored).arg(run.skipped);
    }
    return text;
}

}  // namespace

CHistoryDlg::CHistoryDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("History"));
    setSizeGripEnabled(true);

    runs_ = new CRunListModel(this);
    runView_ = MakeTableView(this);
    runView_->setObjectName("runListView");
    runView_->setModel(runs_);
    runView_->setAccessibleName(tr("Past runs"));
    QHeaderView* runHeader = runView_->header();
    runHeader->setStretchLastSection(false);
    for (int column = 0; column < CRunListModel::kColumnCount; ++column) {
        runHeader->setSectionResizeMode(column, column == CRunListModel::kFolder
                                                    ? QHeaderView::Stretch
                                                    : QHeaderView::ResizeToContents);
    }

    details_ = new QLabel(this);
    details_->setTextFormat(Qt::PlainText);
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    operationsLabel_ = new QLabel(tr("&Operations:"), this);
    operations_ = new COperationsModel(this);
    operationView_ = MakeTableView(this);
    operationView_->setObjectName("operationListView");
    operationView_->setModel(operations_);
    operationView_->setAccessibleName(tr("Operations of the selected run"));
    // Fixed starting widths: sizing columns to their contents would read
    // every row.
    QHeaderView* operationHeader = operationView_->header();
    const int charWidth = fontMetrics().averageCharWidth();
    operationHeader->resizeSection(COperationsModel::kOperation, charWidth * 24);
    operationHeader->resizeSection(COperationsModel::kFile, charWidth * 40);
    operationHeader->setStretchLastSection(true);

    undo_ = new QPushButton(tr("&Undo Run"), this);
    undo_->setObjectName("undoRunButton");
    undo_->setToolTip(
        tr("Puts back what the selected run did, as far as nothing has changed since"));
    undo_->setAutoDefault(false);
    undo_->setEnabled(false);
    auto* close = new QPushButton(tr("&Close"), this);
    close->setDefault(true);

    auto* runsLabel = new QLabel(tr("&Runs:"), this);
    runsLabel->setBuddy(runView_);
    operationsLabel_->setBuddy(operationView_);
    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(runsLabel);
    topLayout->addWidget(runView_);
    auto* bottom = new QWidget(this);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(details_);
    bottomLayout->addWidget(operationsLabel_);
    bottomLayout->addWidget(operationView_, 1);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(top);
    splitter->addWidget(bottom);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(undo_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    const int line = fontMetrics().height();
    runView_->setMinimumHeight(line * 5);
    operationView_->setMinimumHeight(line * 5);
    setMinimumSize(charWidth * 60, line * 22);
    resize(charWidth * 120, line * 36);

    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(undo_, &QPushButton::clicked, this, &CHistoryDlg::OnUndoRun);
    connect(runView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { OnRunSelected(current.row()); });

    Refresh();
    const QByteArray geometry = CWindowGeometryStore().Load(kGeometryKey);
    if (!geometry.isEmpty()) {
        restoreGeometry(geometry);
    }
}

CHistoryDlg::~CHistoryDlg() {
    stopLoading_.store(true);
    if (loader_.joinable()) {
        loader_.join();
    }
}

void CHistoryDlg::done(int result) {
    if (isVisible()) {
        CWindowGeometryStore().Save(kGeometryKey, saveGeometry());
    }
    QDialog::done(result);
}

void CHistoryDlg::Refresh() {
    const RunSummary* selected = SelectedRun();
    const std::string id = selected != nullptr ? selected->start.id : std::string();
    runs_->SetRuns(ListRuns(HistoryFolder()));
    // What the run's journal holds may have grown (an undo): read it anew.
    shownPath_.clear();
    const int row = runs_->RowOf(id);
    SelectRun(row >= 0 ? row : 0);
    if (runs_->rowCount() == 0) {
        OnRunSelected(-1);
    }
}

void CHistoryDlg::SelectRun(int row) {
    const QModelIndex index = runs_->index(row, 0);
    if (!index.isValid()) {
        return;
    }
    if (runView_->currentIndex().row() == row) {
        // Re-listed: the selection model sees no change.
        OnRunSelected(row);
    }
    runView_->setCurrentIndex(index);
    runView_->scrollTo(index);
}

const RunSummary* CHistoryDlg::SelectedRun() const {
    const QModelIndex current = runView_->currentIndex();
    return current.isValid() ? runs_->Run(current.row()) : nullptr;
}

QString CHistoryDlg::DetailsText() const {
    return details_->text();
}

void CHistoryDlg::OnRunSelected(int row) {
    const RunSummary* run = runs_->Run(row);
    undo_->setEnabled(run != nullptr && CanUndo(run->state));
    ShowDetails(run);
}

void CHistoryDlg::ShowDetails(const RunSummary* run) {
    if (run == nullptr) {
        details_->setText(runs_->rowCount() == 0 ? tr("No run has been recorded yet.") : QString());
        wantedPath_.clear();
        shownPath_.clear();
        operations_->Clear();
        operationsLabel_->setText(tr("&Operations:"));
        return;
    }
    details_->setText(RunDescription(*run));
    if (run->path == shownPath_) {
        return;
    }
    wantedPath_ = run->path;
    operations_->Clear();
    shownPath_.clear();
    operationsLabel_->setText(tr("&Operations: reading the journal..."));
    StartLoading();
}

void CHistoryDlg::StartLoading() {
    if (loading_ || wantedPath_.empty()) {
        return;
    }
    if (loader_.joinable()) {
        loader_.join();
    }
    loading_ = true;
    loader_ = std::thread([this, path = wantedPath_] {
        JournalRows rows = LoadJournalRows(path, &stopLoading_);
        // Queued to the window thread; dropped with the dialog if it is gone
        // (the destructor waits for this thread first).
        QMetaObject::invokeMethod(
            this,
            [this, path, rows = std::move(rows)]() mutable { OnLoaded(path, std::move(rows)); },
            Qt::QueuedConnection);
    });
}

void CHistoryDlg::OnLoaded(const std::string& path, JournalRows rows) {
    loading_ = false;
    if (path != wantedPath_) {
        // Another run was selected meanwhile.
        StartLoading();
        return;
    }
    shownPath_ = path;
    if (rows.error != 0) {
        operationsLabel_->setText(tr("&Operations: the journal cannot be read: %1")
                                      .arg(QString::fromStdString(ErrorText(rows.error))));
    } else {
        operationsLabel_->setText(tr("&Operations (%1):").arg(rows.shown.size()));
    }
    operations_->SetRows(std::move(rows));
}

void CHistoryDlg::OnUndoRun() {
    const RunSummary* run = SelectedRun();
    if (run == nullptr || !CanUndo(run->state)) {
        return;
    }
    const std::string path = run->path;
    const QString question =
        tr("Undo the run of %1 in %2?\n\n"
           "Renamed files get their old names back, copies it made go to the trash and files "
           "it replaced come back from the trash. A file changed or taken since is left "
           "alone.")
            .arg(QString::fromStdString(run->start.time), ShownText(run->start.folder));
    if (Dialogs().Message(this, QMessageBox::Question, tr("Info..."), question,
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    const UndoSummary summary =
        RunUndoWithProgress(this, path, UndoKind::Undo,
                            [this](CProcessingDlg* dialog) { emit ProgressDialogOpening(dialog); });
    undoneAny_ = true;
    ShowUndoEnd(this, summary, UndoKind::Undo);
    Refresh();
}

}  // namespace quorvan
