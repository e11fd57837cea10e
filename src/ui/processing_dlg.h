#pragma once

#include <QByteArray>
#include <QDialog>
#include <QObject>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "run/run_context.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quorvan {

class CPathLabel;

// Carries the worker's reports to the window thread as queued signals. The
// names and counts of a run are coalesced: while one update waits for the
// window, later reports only replace its values, so a run of many small files
// never floods the window. The first count (0) and the end always arrive.
// The bridge outlives every run, so a worker that still finishes a file after
// its dialog has closed reports into the void, not into freed memory.
class CRunReportBridge final : public QObject, public IRunReporter {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The latest values; passes is -1 until the first count after 0.
    struct Snapshot {
        QByteArray original;
        QByteArray renamed;
        int passes = -1;
    };
    // The values of the waiting update; the next report sends a new one.
    Snapshot TakeLatest();
    // Every failure reported since the run began, one line or more each, and
    // forgets them.
    QString TakeFailures();

    void ReportOriginalName(const std::string& path) override;
    void ReportRenamedName(const std::string& path) override;
    void ReportProgress(int32_t passes) override;
    void ReportFinished(const RunResult& result) override;
    void ReportError(const std::string& message) override;
    void ReportFileFailed(const std::string& failure) override;

  signals:
    void Started();
    void Changed();
    void Finished();
    void Error(QByteArray message);

  private:
    void Touch();

    std::mutex mutex_;
    Snapshot latest_;
    std::vector<std::string> failures_;
    std::atomic<bool> pending_{false};
};

// "Processing names...": the file in progress, the count and a bar, with
// Cancel. Closes with Accepted when the worker reports the end; Cancel,
// Escape and the close box cancel the run.
class CProcessingDlg final : public QDialog {
    Q_OBJECT
  public:
    CProcessingDlg(int32_t total, std::atomic<uint8_t>& cancelRequested, QWidget* parent = nullptr);

    // Listens to a bridge's reports until the dialog closes.
    void Listen(CRunReportBridge& bridge);
    // The reports, on the window thread.
    void OnUpdate(const CRunReportBridge::Snapshot& latest);
    void OnProgress(int passes);
    void OnFinished();
    void OnError(const QByteArray& message);
    // For work whose size is known only once it has begun (an undo).
    void SetTotal(int32_t total);

    QString ProcessedText() const;
    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }

    void reject() override;
    // Ends at once when the run ended (or was cancelled) before the dialog
    // ran: something that let events through in between took the finish.
    int exec() override;

  signals:
    // Each "%d of %d" shown, for whoever watches the run.
    void ProgressShown(int passes, int total);

  private:
    int32_t total_;
    std::atomic<uint8_t>& cancelRequested_;
    bool alive_ = true;
    std::optional<int> endedEarly_;
    CPathLabel* original_ = nullptr;
    CPathLabel* renamed_ = nullptr;
    QLabel* processed_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// "Waiting for last file processing to complete...": shown when the worker
// still finishes a file after the run's end message. Closes as soon as the
// completion event is set, or after a second.
class CWaitDlg final : public QDialog {
    Q_OBJECT
  public:
    explicit CWaitDlg(CCompletionEvent& completion, QWidget* parent = nullptr);
    int exec() override;

    static constexpr int kLongestWaitMs = 1000;

  private:
    CCompletionEvent& completion_;
};

}  // namespace quorvan
