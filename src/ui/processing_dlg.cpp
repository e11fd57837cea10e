#include "ui/processing_dlg.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/path_label.h"
#include "ui/user_dialogs.h"

namespace quorvan {
namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromBytes(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

CRunReportBridge::Snapshot CRunReportBridge::TakeLatest() {
    std::lock_guard lock(mutex_);
    pending_.store(false);
    return latest_;
}

void CRunReportBridge::Touch() {
    if (!pending_.exchange(true)) {
        emit Changed();
    }
}

void CRunReportBridge::ReportOriginalName(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        latest_.original = Bytes(path);
    }
    Touch();
}

void CRunReportBridge::ReportRenamedName(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        latest_.renamed = Bytes(path);
    }
    Touch();
}

void CRunReportBridge::ReportProgress(int32_t passes) {
    if (passes == 0) {
        // A run begins: nothing of an earlier run may show in it.
        {
            std::lock_guard lock(mutex_);
            latest_ = Snapshot();
            failures_.clear();
        }
        emit Started();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        latest_.passes = passes;
    }
    Touch();
}

void CRunReportBridge::ReportFinished(const RunResult&) {
    emit Finished();
}
void CRunReportBridge::ReportError(const std::string& message) {
    emit Error(Bytes(message));
}
// Kept for the end message: with the log off, nothing else names them.
void CRunReportBridge::ReportFileFailed(const std::string& failure) {
    std::lock_guard lock(mutex_);
    failures_.push_back(failure);
}

QString CRunReportBridge::TakeFailures() {
    std::vector<std::string> failures;
    {
        std::lock_guard lock(mutex_);
        failures.swap(failures_);
    }
    std::string text;
    for (const std::string& failure : failures) {
        if (!text.empty()) {
            text += '\n';
        }
        text += failure;
    }
    return QString::fromStdString(text);
}

CProcessingDlg::CProcessingDlg(int32_t total, std::atomic<uint8_t>& cancelRequested,
                               QWidget* parent)
    : QDialog(parent), total_(total), cancelRequested_(cancelRequested) {
    setWindowTitle(tr("Processing names..."));
    setModal(true);
    original_ = new CPathLabel(this);
    renamed_ = new CPathLabel(this);
    original_->SetPath(tr("n/a").toStdString());
    renamed_->SetPath(tr("n/a").toStdString());
    processed_ = new QLabel(tr("n/a"), this);
    processed_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    processed_->setTextFormat(Qt::PlainText);
    bar_ = new QProgressBar(this);
    // QProgressBar counts in int, so runs far beyond 65,535 files fill it
    // exactly.
    bar_->setRange(0, std::max(total, 1));
    bar_->setValue(0);
    bar_->setTextVisible(false);
    cancel_ = new QPushButton(tr("&Cancel"), this);
    cancel_->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(tr("Original File Name:"), this), 0, 0, Qt::AlignRight);
    fields->addWidget(original_, 0, 1);
    fields->addWidget(new QLabel(tr("Renamed File Name:"), this), 1, 0, Qt::AlignRight);
    fields->addWidget(renamed_, 1, 1);
    fields->addWidget(new QLabel(tr("Processed:"), this), 2, 0, Qt::AlignRight);
    fields->addWidget(processed_, 2, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 80);

    connect(cancel_, &QPushButton::clicked, this, &CProcessingDlg::reject);
}

void CProcessingDlg::Listen(CRunReportBridge& bridge) {
    CRunReportBridge* source = &bridge;
    connect(source, &CRunReportBridge::Started, this, [this] { OnProgress(0); });
    connect(source, &CRunReportBridge::Changed, this,
            [this, source] { OnUpdate(source->TakeLatest()); });
    connect(source, &CRunReportBridge::Error, this, &CProcessingDlg::OnError);
    connect(source, &CRunReportBridge::Finished, this, [this, source] {
        OnUpdate(source->TakeLatest());
        OnFinished();
    });
}

void CProcessingDlg::OnUpdate(const CRunReportBridge::Snapshot& latest) {
    if (!alive_) {
        return;
    }
    if (!latest.original.isEmpty()) {
        original_->SetPath(FromBytes(latest.original));
    }
    if (!latest.renamed.isEmpty()) {
        renamed_->SetPath(FromBytes(latest.renamed));
    }
    if (latest.passes >= 0) {
        OnProgress(latest.passes);
    }
}

void CProcessingDlg::OnFinished() {
    if (alive_) {
        endedEarly_ = QDialog::Accepted;
        done(QDialog::Accepted);
    }
}

int CProcessingDlg::exec() {
    if (endedEarly_) {
        return *endedEarly_;
    }
    return QDialog::exec();
}

void CProcessingDlg::OnProgress(int passes) {
    if (!alive_) {
        return;
    }
    bar_->setValue(std::min(passes, bar_->maximum()));
    processed_->setText(tr("%1 of %2").arg(passes).arg(total_));
    emit ProgressShown(passes, total_);
}

void CProcessingDlg::SetTotal(int32_t total) {
    total_ = total;
    bar_->setRange(0, std::max(total, 1));
}

void CProcessingDlg::OnError(const QByteArray& message) {
    Dialogs().Message(this, QMessageBox::Critical, tr("Error..."), QString::fromUtf8(message),
                      QMessageBox::Ok);
}

QString CProcessingDlg::ProcessedText() const {
    return processed_->text();
}

void CProcessingDlg::reject() {
    // Cancel, Escape and the close box: the worker stops before its next file.
    cancelRequested_.store(1);
    alive_ = false;
    endedEarly_ = QDialog::Rejected;
    QDialog::reject();
}

CWaitDlg::CWaitDlg(CCompletionEvent& completion, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), completion_(completion) {
    setModal(true);
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* text = new QLabel(tr("Waiting for last file processing to complete..."), frame);
    text->setAlignment(Qt::AlignCenter);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(fontMetrics().averageCharWidth() * 4, fontMetrics().height() * 2,
                              fontMetrics().averageCharWidth() * 4, fontMetrics().height() * 2);
    inner->addWidget(text);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
}

int CWaitDlg::exec() {
    if (completion_.IsSet()) {
        return QDialog::Accepted;
    }
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [this, &waited] {
        if (completion_.IsSet() || waited.elapsed() >= kLongestWaitMs) {
            done(QDialog::Accepted);
        }
    });
    poll.start(10);
    return QDialog::exec();
}

}  // namespace quorvan
