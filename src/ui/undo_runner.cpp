#include "ui/undo_runner.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <thread>

#include <QCoreApplication>
#include <QDialog>
#include <QMessageBox>

#include "platform/file_system.h"
#include "ui/history_models.h"
#include "ui/processing_dlg.h"
#include "ui/user_dialogs.h"
#include "ui/wait_cursor.h"

namespace quorvan {
namespace {

// lupdate, told that Tr spells tr, files these texts under the namespace.
QString Tr(const char* text) {
    return QCoreApplication::translate("quorvan", text);
}

int32_t Clamped(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

QString Files(int64_t count) {
    return count == 1 ? Tr("1 file") : Tr("%1 files").arg(count);
}

QString Counts(const UndoSummary& summary) {
    return Tr("%1 restored, %2 skipped.")
        .arg(Files(summary.filesRestored))
        .arg(summary.filesSkipped);
}

std::function<void()>& UndoStepHook() {
    static std::function<void()> hook;
    return hook;
}

}  // namespace

void SetUndoStepHook(std::function<void()> hook) {
    UndoStepHook() = std::move(hook);
}

UndoSummary RunUndoWithProgress(QWidget* parent, const std::string& journalPath, UndoKind kind,
                                const ProgressWatcher& watcher) {
    CRunReportBridge bridge;
    std::atomic<uint8_t> cancelRequested{0};
    std::atomic<bool> cancel{false};
    CCompletionEvent completion;
    CProcessingDlg dialog(0, cancelRequested, parent);
    dialog.Listen(bridge);
    QObject::connect(&dialog, &QDialog::rejected, [&cancel] { cancel.store(true); });

    UndoSummary summary;
    // Joined before the dialog and the bridge go: its reports never outlive them.
    std::thread worker([&] {
        int64_t totalShown = -1;
        UndoOptions options;
        options.cancel = &cancel;
        options.progress = [&](int64_t done, int64_t total) {
            if (total != totalShown) {
                totalShown = total;
                // Queued like the counts, so it reaches the dialog before them.
                QMetaObject::invokeMethod(
                    &dialog, [&dialog, total] { dialog.SetTotal(Clamped(total)); },
                    Qt::QueuedConnection);
            }
            bridge.ReportProgress(std::max<int32_t>(Clamped(done), 1));
            if (const auto& hook = UndoStepHook()) {
                hook();
            }
        };
        options.onStep = [&](const UndoStep& step) {
            bridge.ReportOriginalName(step.path);
            bridge.ReportRenamedName(!step.target.empty()  ? step.target
                                     : !step.trash.empty() ? step.trash
                                                           : step.path);
        };
        summary =
            kind == UndoKind::Undo ? UndoRun(journalPath, options) : KeepRun(journalPath, options);
        completion.Set();
        bridge.ReportFinished(RunResult{});
    });
    if (watcher) {
        watcher(&dialog);
    }
    if (dialog.exec() != QDialog::Accepted) {
        // Cancelled: the undo still gives every file at a temporary name its
        // name before it ends.
        CWaitDlg wait(completion, parent);
        wait.exec();
    }
    {
        CWaitCursor waitCursor;
        worker.join();
    }
    return summary;
}

QString SkippedSteps(const UndoSummary& summary) {
    QString lines;
    if (summary.unreadRecords > 0) {
        lines = QCoreApplication::translate(
            "UndoRunner",
            "%n record(s) of the journal could not be read: what they did is not undone.", "",
            Clamped(summary.unreadRecords));
    }
    for (const UndoStep& step : summary.steps) {
        if (step.outcome != UndoOutcome::Skipped) {
            continue;
        }
        if (!lines.isEmpty()) {
            lines += '\n';
        }
        lines += ShownText(DescribeStep(step) + ": " + step.reason);
    }
    return lines;
}

void ShowUndoEnd(QWidget* parent, const UndoSummary& summary, UndoKind kind) {
    const QString details = SkippedSteps(summary);
    const bool skipped = summary.stepsSkipped > 0 || summary.unreadRecords > 0;
    QMessageBox::Icon icon = QMessageBox::Information;
    QString caption = Tr("Info...");
    QString text;
    switch (summary.ended) {
        case UndoSummary::Ended::Done:
        case UndoSummary::Ended::Cancelled:
            if (kind == UndoKind::Keep) {
                if (!skipped) {
                    return;
                }
                text = Tr("The files of the run were kept as they are, but %1 could not be "
                          "given a name. The details say why.")
                           .arg(Files(summary.filesSkipped));
            } else if (summary.ended == UndoSummary::Ended::Cancelled) {
                text =
                    Tr("Undo cancelled: %1\nUndo the run again to finish it.").arg(Counts(summary));
            } else if (skipped) {
                text = Tr("Undo finished: %1\nThe details say why each step was skipped.")
                           .arg(Counts(summary));
            } else {
                text = Tr("Undo complete: %1").arg(Counts(summary));
            }
            if (skipped || summary.ended == UndoSummary::Ended::Cancelled) {
                icon = QMessageBox::Warning;
                caption = Tr("Issue...");
            }
            break;
        case UndoSummary::Ended::Running:
            icon = QMessageBox::Warning;
            caption = Tr("Issue...");
            text =
                Tr("This run is still going, or being undone elsewhere. Try again once it "
                   "has ended.");
            break;
        case UndoSummary::Ended::Unreadable:
            icon = QMessageBox::Critical;
            caption = Tr("Error...");
            text = Tr("The journal of this run cannot be read:\n%1")
                       .arg(summary.error != 0 ? QString::fromStdString(ErrorText(summary.error))
                                               : Tr("it does not begin with the run's start."));
            break;
        case UndoSummary::Ended::NewerFormat:
            icon = QMessageBox::Critical;
            caption = Tr("Error...");
            text =
                Tr("This run was recorded by a newer version of Quorvan, which alone can "
                   "undo it.");
            break;
        case UndoSummary::Ended::Refused:
            icon = QMessageBox::Critical;
            caption = Tr("Error...");
            if (kind == UndoKind::Keep) {
                text = Tr("The files of this run were not kept as they are: %1\nThe run stays "
                          "interrupted; you will be asked again.")
                           .arg(ShownText(summary.refusal));
            } else {
                text = Tr("This run is not undone: %1").arg(ShownText(summary.refusal));
            }
            break;
        case UndoSummary::Ended::JournalFailed:
            icon = QMessageBox::Critical;
            caption = Tr("Error...");
            text = Tr("The undo stopped: the run's journal cannot be written:\n%1\nSo far: %2")
                       .arg(QString::fromStdString(ErrorText(summary.error)), Counts(summary));
            break;
    }
    Dialogs().Message(parent, icon, caption, text, QMessageBox::Ok, details);
}

QString InterruptedRunQuestion(const RunSummary& run) {
    // One call: a "%1" in a folder name must stay as it is.
    return Tr("The rename run of %1 in %2 was interrupted after %3 of %4 files. Undo what it "
              "did?")
        .arg(QString::fromStdString(run.start.time), ShownText(run.start.folder),
             QString::number(run.done), QString::number(run.start.files));
}

int AskAboutInterruptedRuns(QWidget* parent, const ProgressWatcher& watcher) {
    int answered = 0;
    for (const RunSummary& run : ListRuns(HistoryFolder())) {
        if (run.state != RunState::Interrupted) {
            continue;
        }
        const UndoKind kind =
            Dialogs().Message(parent, QMessageBox::Question, Tr("Issue..."),
                              InterruptedRunQuestion(run),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes
                ? UndoKind::Undo
                : UndoKind::Keep;
        ShowUndoEnd(parent, RunUndoWithProgress(parent, run.path, kind, watcher), kind);
        ++answered;
    }
    return answered;
}

}  // namespace quorvan
