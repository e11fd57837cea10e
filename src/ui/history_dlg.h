#pragma once

#include <QDialog>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "ui/history_models.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace quorvan {

class CProcessingDlg;

// "History": the runs of the journal folder, newest first, the operations of
// the selected one, and Undo Run.
class CHistoryDlg final : public QDialog {
    Q_OBJECT
  public:
    explicit CHistoryDlg(QWidget* parent = nullptr);
    ~CHistoryDlg() override;

    // Lists the runs again, keeping the selected one selected.
    void Refresh();
    void SelectRun(int row);
    // The selected run, null when none.
    const RunSummary* SelectedRun() const;

    CRunListModel& Runs() const { return *runs_; }
    COperationsModel& Operations() const { return *operations_; }
    QTreeView* OperationView() const { return operationView_; }
    QPushButton* UndoButton() const { return undo_; }
    QString DetailsText() const;
    // True while the selected run's operations are being read.
    bool DetailsLoading() const { return loading_ || shownPath_ != wantedPath_; }
    // Whether an undo changed files while the dialog was open.
    bool UndoneAny() const { return undoneAny_; }

    // Undo Run: asks, undoes the selected run with the progress dialog, tells
    // how it went and lists the runs again.
    void OnUndoRun();

    void done(int result) override;

  signals:
    void ProgressDialogOpening(CProcessingDlg* dialog);

  private:
    void OnRunSelected(int row);
    void ShowDetails(const RunSummary* run);
    // Reads the wanted journal on a worker; one read at a time, the newest
    // wish wins.
    void StartLoading();
    void OnLoaded(const std::string& path, JournalRows rows);

    CRunListModel* runs_ = nullptr;
    COperationsModel* operations_ = nullptr;
    QTreeView* runView_ = nullptr;
    QTreeView* operationView_ = nullptr;
    QLabel* details_ = nullptr;
    QLabel* operationsLabel_ = nullptr;
    QPushButton* undo_ = nullptr;
    std::thread loader_;
    std::atomic<bool> stopLoading_{false};
    bool loading_ = false;
    std::string wantedPath_;
    std::string shownPath_;
    bool undoneAny_ = false;
};

}  // namespace quorvan
