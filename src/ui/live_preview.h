#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

class QCheckBox;
class QListView;
class QTimer;

namespace quorvan {

class CCountLabel;
class CLivePreviewWorker;
class CMainDlg;
class CPreviewModel;
class CRenamePlan;
class CRenameRules;
struct LivePreviewJob;
struct LivePreviewResult;

// The preview label's text for a list of `count` rows of which `failing`
// cannot be renamed.
QString PreviewCountText(int count, size_t failing);

// "Live preview": with the box ticked, every change that would change the
// preview (a rule, an option, the ticks, a scan, a loaded settings file, the
// filter, the CD track list) refills the preview list by itself. The names
// are computed on a worker thread from a copy of what the window shows, so
// typing never waits for them; a newer change cancels the computation under
// way, and only the latest change's result is ever shown. While one takes
// longer than a moment the old rows stay, dimmed, and the label says so.
// Unticked, the window is exactly as without it.
class CLivePreview final : public QObject {
    Q_OBJECT
  public:
    // Remembers the box per user, beside the window's size. Call once the
    // window's pages, lists and labels exist.
    explicit CLivePreview(CMainDlg& window);
    ~CLivePreview() override;

    // The check box, for the window to place beside Preview.
    QCheckBox* CheckBox() const { return box_; }
    bool IsOn() const;
    // Connects the change signals of every control of every page, and of the
    // source list, once all of them exist.
    void Watch();
    // True from a change until its result is on the list.
    bool Pending() const;
    // True while the label says the preview is being updated.
    bool Updating() const { return updating_; }

  signals:
    // The latest change's names are on the list.
    void Updated();

  private:
    void OnToggled(bool on);
    // Asks for a computation once control is back in the event loop, so
    // that a burst of changes makes one.
    void Schedule();
    void Fire();
    void Cancel();
    std::unique_ptr<LivePreviewJob> Snapshot();
    void OnResult(const std::shared_ptr<LivePreviewResult>& result);
    void SetUpdating(bool on);
    void Dim(bool on);

    CMainDlg& window_;
    CPreviewModel& model_;
    QListView* view_ = nullptr;
    CCountLabel* label_ = nullptr;
    QCheckBox* box_ = nullptr;
    QTimer* slowTimer_ = nullptr;
    QTimer* holdOffTimer_ = nullptr;
    std::unique_ptr<CLivePreviewWorker> worker_;
    // The plan on the list, released on the worker when the next one comes.
    std::shared_ptr<const CRenamePlan> shown_;
    uint64_t requested_ = 0;
    uint64_t shownGeneration_ = 0;
    bool scheduled_ = false;
    bool updating_ = false;
    bool alphaLowerCase_ = false;
};

}  // namespace quorvan
