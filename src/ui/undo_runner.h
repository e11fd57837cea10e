#pragma once

#include <QString>
#include <functional>
#include <string>

#include "history/run_history.h"
#include "history/undo_run.h"

class QWidget;

namespace quorvan {

class CProcessingDlg;

enum class UndoKind {
    Undo,  // put everything back
    Keep,  // an interrupted run's files stay; only temporary names are resolved
};

// Whoever wants to see the progress dialog before it shows (the tests do).
using ProgressWatcher = std::function<void(CProcessingDlg*)>;

// Undoes (or keeps) the run of `journalPath` on a worker thread behind the
// run's progress dialog, whose Cancel stops the undo between two steps.
UndoSummary RunUndoWithProgress(QWidget* parent, const std::string& journalPath, UndoKind kind,
                                const ProgressWatcher& watcher = {});

// For tests: called on the undo's worker thread after each step's progress. Set it only
// while no undo works; an empty one removes it.
void SetUndoStepHook(std::function<void()> hook);

// The message that ends an undo: how many files were restored and skipped,
// and every skipped step with its reason in the details. Keeping files says
// something only when a step was skipped or the work could not be done.
void ShowUndoEnd(QWidget* parent, const UndoSummary& summary, UndoKind kind);

// The lines of the details: each skipped step and why.
QString SkippedSteps(const UndoSummary& summary);

// "The rename run of <date> in <folder> was interrupted after <k> of <n>
// files. Undo what it did?"
QString InterruptedRunQuestion(const RunSummary& run);

// Asks about each interrupted run of the history, newest first, and undoes
// it or keeps its files as the user answers; either way it is no longer
// interrupted, so the question does not come back. Returns how many were
// answered.
int AskAboutInterruptedRuns(QWidget* parent, const ProgressWatcher& watcher = {});

}  // namespace quorvan
