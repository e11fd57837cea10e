#include "ui/live_preview.h"

#include <pthread.h>
#include <sched.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListView>
#include <QPalette>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/counter_store.h"
#include "platform/folder_kind.h"
#include "rules/control_ids.h"
#include "rules/plan_names.h"
#include "rules/rename_rules.h"
#include "run/plan_check.h"
#include "selection/filter_settings.h"
#include "selection/source_scan.h"
#include "ui/attribute_page.h"
#include "ui/cd_audio_page.h"
#include "ui/count_label.h"
#include "ui/extended_page.h"
#include "ui/filter_page.h"
#include "ui/main_dlg.h"
#include "ui/rename_page.h"
#include "ui/settings_tabs.h"
#include "ui/source_list_model.h"

namespace quorvan {
namespace {

constexpr int kPreviewList = 1005;
constexpr int kPreviewLabel = 1106;
// How long a computation may take before the list shows that it is stale.
constexpr int kSlowMs = 150;
// How often a change made during a run looks whether the run is over.
constexpr int kHoldOffMs = 100;
// A longer list keeps only the rows around those in view while the next plan
// is computed: the rest would hold a second plan's worth of memory.
constexpr int kWholeListUpTo = 50000;
constexpr int kKeptAround = 300;
// The per-user store the window's size lives in, and the box's value there.
constexpr const char* kStoreName = "windows";
constexpr const char* kStoreKey = "LivePreview";

QString WindowText(const char* text) {
    return QCoreApplication::translate("quorvan::CMainDlg", text);
}

// A page read as it is: what the rules would write back (a default into an
// empty box) is left out, so nothing changes under the user's cursor.
class CReadOnlyPage final : public CPageControls {
  public:
    explicit CReadOnlyPage(const CPageControls& page) : page_(page) {}

    bool IsChecked(int id) const override { return page_.IsChecked(id); }
    void SetChecked(int, bool) override {}
    bool IsEnabled(int id) const override { return page_.IsEnabled(id); }
    void SetEnabled(int, bool) override {}
    std::string Text(int id) const override { return page_.Text(id); }
    void SetText(int, const std::string&) override {}
    LocalDateTime DateTime(int id) const override { return page_.DateTime(id); }
    void SetDateTime(int, const LocalDateTime&) override {}
    int Selection(int id) const override { return page_.Selection(id); }
    void SetSelection(int, int) override {}
    int RowCount(int id) const override { return page_.RowCount(id); }
    std::string RowText(int id, int row, int column) const override {
        return page_.RowText(id, row, column);
    }
    bool IsRowChecked(int id, int row) const override { return page_.IsRowChecked(id, row); }
    void SetRowChecked(int, int, bool) override {}
    void ClearRows(int) override {}
    void AddUniqueRow(int, const std::string&) override {}

  private:
    const CPageControls& page_;
};

// The source list as it was when the change came: the names are shared, the
// ticks copied (a byte a row).
class CSourceSnapshot final : public ISourceRows {
  public:
    CSourceSnapshot(std::shared_ptr<const CSourceNames> names, std::vector<uint8_t> ticks)
        : names_(std::move(names)), ticks_(std::move(ticks)) {}
    size_t RowCount() const override { return std::min(names_->Size(), ticks_.size()); }
    std::string RowPath(size_t row) const override { return names_->Path(row); }
    bool RowTicked(size_t row) const override { return ticks_[row] != 0; }

  private:
    std::shared_ptr<const CSourceNames> names_;
    std::vector<uint8_t> ticks_;
};

}  // namespace

QString PreviewCountText(int count, size_t failing) {
    return failing > 0 ? WindowText("(%1 files in preview, %2 cannot be renamed)")
                             .arg(count)
                             .arg(static_cast<qulonglong>(failing))
                       : WindowText("(%1 files in preview)").arg(count);
}

class CLivePreview::CReadOnlyPages final {
  public:
    explicit CReadOnlyPages(CMainDlg& window)
        : rename(*window.RenamePage()),
          extended(*window.ExtendedPage()),
          attribute(*window.AttributePage()),
          cdAudio(*window.CdAudioPage()),
          filter(*window.FilterPage()) {}
    CReadOnlyPage rename, extended, attribute, cdAudio, filter;
};

// What one computation works from: copies of everything it reads.
struct CLivePreview::Job {
    uint64_t generation = 0;
    std::shared_ptr<CancelFlag> cancel = std::make_shared<CancelFlag>(false);
    RenameSettings settings;
    FilterRules filter;
    std::string folder;
    std::unique_ptr<CSourceSnapshot> rows;
    bool cdMode = false;
    std::vector<std::string> trackOrder;
    CdPairing pairing;
    bool alphaLowerCase = false;
};

struct CLivePreview::Result {
    uint64_t generation = 0;
    bool selected = false;
    std::shared_ptr<const CRenamePlan> plan;
    PlanCheck check;
    std::vector<uint32_t> rows;
    bool alphaLowerCase = false;
    // Why the rules give no names at all (a name template that cannot be
    // read), for the label.
    std::string error;
};

// One thread that computes the latest job and drops any older one. It also
// frees the plans the list no longer shows: a million names take a while to
// free, too long for the window's thread.
class CLivePreview::CWorker final {
  public:
    using Deliver = std::function<void(std::shared_ptr<Result>)>;

    explicit CWorker(Deliver deliver) : deliver_(std::move(deliver)) {
        thread_ = std::thread([this] {
            // Never preempts the window's thread when that wakes up, yet gets
            // its full share of the processor (a lower priority would starve
            // it on a busy machine).
            sched_param param{};
            pthread_setschedparam(pthread_self(), SCHED_BATCH, &param);
            Loop();
        });
    }
    ~CWorker() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
            if (latest_ != nullptr) {
                latest_->store(true);
            }
        }
        wake_.notify_one();
        thread_.join();
    }

    // Cancels the job under way or waiting; `job` (if any) comes next.
    void Submit(std::unique_ptr<Job> job) {
        std::unique_ptr<Job> dropped;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (latest_ != nullptr) {
                latest_->store(true);
            }
            latest_ = job != nullptr ? job->cancel : nullptr;
            dropped = std::move(pending_);
            pending_ = std::move(job);
        }
        wake_.notify_one();
    }

    void Release(std::shared_ptr<const CRenamePlan> plan) {
        if (plan == nullptr) {
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            released_.push_back(std::move(plan));
        }
        wake_.notify_one();
    }

  private:
    void Loop() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (true) {
            wake_.wait(lock, [this] { return stop_ || pending_ != nullptr || !released_.empty(); });
            if (stop_) {
                return;
            }
            std::vector<std::shared_ptr<const CRenamePlan>> released = std::move(released_);
            released_.clear();
            std::unique_ptr<Job> job = std::move(pending_);
            lock.unlock();
            released.clear();
            if (job != nullptr) {
                std::shared_ptr<Result> result = Compute(*job);
                if (!Cancelled(job->cancel.get())) {
                    deliver_(std::move(result));
                }
            }
            lock.lock();
        }
    }

    static std::shared_ptr<Result> Compute(Job& job) {
        auto result = std::make_shared<Result>();
        result->generation = job.generation;
        const CancelFlag* cancel = job.cancel.get();
        // The window's own steps, on rules and a filter that know no page.
        CRenameRules rules;
        rules.Settings() = job.settings;
        CFilterSettings filter;
        filter.Rules() = job.filter;
        CFileListBuilder builder(rules, filter);
        builder.SetCancelFlag(cancel);
        FileListRequest request;
        request.sourceFolder = job.folder;
        request.rows = job.rows.get();
        request.renameCdAudio = job.cdMode;
        request.cdTrackOrder = std::move(job.trackOrder);
        result->selected = builder.BuildFileList(request);
        job.rows.reset();
        if (Cancelled(cancel)) {
            return result;
        }
        auto plan = std::make_shared<CRenamePlan>(rules.TakePlan());
        SequenceState sequence;
        sequence.alphaLowerCase = job.alphaLowerCase;
        // The names as Preview and Start give them, dates and tags included.
        if (!ComputePlanNames(job.settings, *plan, job.folder, sequence, job.cdMode, &job.pairing,
                              cancel, &result->error)) {
            return result;
        }
        result->alphaLowerCase = sequence.alphaLowerCase;
        const RenameSettings& settings = job.settings;
        result->check =
            CheckPlan(plan->Entries(), settings.RenameInPlace, job.cdMode, IsCaseInsensitiveFolder,
                      NameFolders(settings, job.folder), cancel);
        if (Cancelled(cancel)) {
            return result;
        }
        ApplyPlanNotes(*plan, result->check);
        result->rows = CPreviewModel::ShownRows(*plan, result->check);
        result->check.order.clear();
        result->check.order.shrink_to_fit();
        result->plan = std::move(plan);
        return result;
    }

    Deliver deliver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::unique_ptr<Job> pending_;
    std::shared_ptr<CancelFlag> latest_;
    std::vector<std::shared_ptr<const CRenamePlan>> released_;
    std::thread thread_;
};

CLivePreview::CLivePreview(CMainDlg& window)
    : QObject(&window),
      window_(window),
      model_(window.PreviewModel()),
      rules_(std::make_unique<CRenameRules>()),
      filter_(std::make_unique<CFilterSettings>()),
      pages_(std::make_unique<CReadOnlyPages>(window)) {
    view_ = window.Controls().ControlAs<QListView>(kPreviewList);
    label_ = window.Controls().ControlAs<CCountLabel>(kPreviewLabel);
    rules_->SetPages(&pages_->rename, &pages_->extended, &pages_->attribute, &pages_->cdAudio);
    filter_->SetPage(&pages_->filter);

    box_ =
        new QCheckBox(WindowText(QT_TRANSLATE_NOOP("quorvan::CMainDlg", "Live previe&w")), &window);
    box_->setObjectName("livePreviewCheckBox");
    box_->setToolTip(
        WindowText(QT_TRANSLATE_NOOP("quorvan::CMainDlg",
                                     "Updates the preview list by itself after every change of "
                                     "the rules or of the selected files")));
    const std::optional<std::string> stored =
        CCounterStore(CCounterStore::DefaultFolder(), kStoreName).Read(kStoreKey);
    box_->setChecked(stored && *stored == "1");
    connect(box_, &QCheckBox::toggled, this, &CLivePreview::OnToggled);
    // Only the user's own choice is remembered.
    connect(box_, &QCheckBox::clicked, this, [](bool on) {
        CCounterStore(CCounterStore::DefaultFolder(), kStoreName).Write(kStoreKey, on ? "1" : "0");
    });

    slowTimer_ = new QTimer(this);
    slowTimer_->setSingleShot(true);
    slowTimer_->setInterval(kSlowMs);
    connect(slowTimer_, &QTimer::timeout, this, [this] {
        if (Pending()) {
            SetUpdating(true);
        }
    });
    holdOffTimer_ = new QTimer(this);
    holdOffTimer_->setSingleShot(true);
    holdOffTimer_->setInterval(kHoldOffMs);
    connect(holdOffTimer_, &QTimer::timeout, this, &CLivePreview::Fire);

    worker_ = std::make_unique<CWorker>([this](std::shared_ptr<Result> result) {
        QMetaObject::invokeMethod(
            this, [this, result] { OnResult(result); }, Qt::QueuedConnection);
    });
}

CLivePreview::~CLivePreview() {
    // The worker ends before the rest goes.
    worker_.reset();
}

bool CLivePreview::IsOn() const {
    return box_->isChecked();
}

bool CLivePreview::Pending() const {
    return IsOn() && (scheduled_ || holdOffTimer_->isActive() || shownGeneration_ != requested_);
}

void CLivePreview::Watch() {
    auto changed = [this] { Schedule(); };
    auto watchModel = [this, changed](QAbstractItemModel* model) {
        if (model == nullptr) {
            return;
        }
        connect(model, &QAbstractItemModel::dataChanged, this, changed);
        connect(model, &QAbstractItemModel::rowsInserted, this, changed);
        connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
        connect(model, &QAbstractItemModel::rowsMoved, this, changed);
        connect(model, &QAbstractItemModel::modelReset, this, changed);
        connect(model, &QAbstractItemModel::layoutChanged, this, changed);
    };
    // Every page, the ones added later included: whatever control a page has
    // takes part without being named here.
    QTabWidget* tabs = window_.Tabs();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        for (QWidget* control : tabs->widget(tab)->findChildren<QWidget*>()) {
            if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                connect(edit, &QLineEdit::textChanged, this, changed);
            } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                connect(button, &QAbstractButton::toggled, this, changed);
            } else if (auto* dateTime = qobject_cast<QDateTimeEdit*>(control)) {
                connect(dateTime, &QDateTimeEdit::dateTimeChanged, this, changed);
            } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
                connect(spin, &QSpinBox::valueChanged, this, changed);
            } else if (auto* real = qobject_cast<QDoubleSpinBox*>(control)) {
                connect(real, &QDoubleSpinBox::valueChanged, this, changed);
            } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
                connect(combo, &QComboBox::currentIndexChanged, this, changed);
            } else if (auto* list = qobject_cast<QAbstractItemView*>(control)) {
                watchModel(list->model());
            }
        }
    }
    watchModel(&window_.SourceModel());
}

void CLivePreview::OnToggled(bool on) {
    if (on) {
        Schedule();
        return;
    }
    Cancel();
    SetUpdating(false);
    // Rows kept only in part are no preview to stay with.
    if (model_.KeepsOnlySome()) {
        model_.Clear();
    }
    label_->SetCount(PreviewCountText(model_.Count(), model_.FailingCount()));
}

void CLivePreview::Schedule() {
    // A cheap test: Select All over a million rows reports every one.
    if (scheduled_ || !IsOn()) {
        return;
    }
    scheduled_ = true;
    if (!slowTimer_->isActive() && !updating_) {
        slowTimer_->start();
    }
    QMetaObject::invokeMethod(this, &CLivePreview::Fire, Qt::QueuedConnection);
}

void CLivePreview::Fire() {
    scheduled_ = false;
    if (!IsOn()) {
        return;
    }
    // A run shows its own plan and takes the rules' one; the list follows
    // once it is over.
    if (window_.RunInProgress()) {
        holdOffTimer_->start();
        return;
    }
    if (model_.Count() > kWholeListUpTo && !model_.KeepsOnlySome()) {
        const int top = std::max(0, view_->indexAt(QPoint(0, 0)).row());
        model_.KeepOnly(top - kKeptAround, top + kKeptAround);
        worker_->Release(std::move(shown_));
    }
    worker_->Submit(Snapshot());
}

void CLivePreview::Cancel() {
    scheduled_ = false;
    holdOffTimer_->stop();
    slowTimer_->stop();
    worker_->Submit(nullptr);
    shownGeneration_ = ++requested_;
}

std::unique_ptr<CLivePreview::Job> CLivePreview::Snapshot() {
    auto job = std::make_unique<Job>();
    job->generation = ++requested_;
    job->folder = window_.SourceFolder();
    // Values without a control (a name template, say) are as the window's
    // rules hold them; the pages overwrite the others.
    rules_->Settings() = window_.Rules().Settings();
    rules_->GatherFromPages(job->folder);
    job->settings = rules_->Settings();
    filter_->Rules() = window_.Filter().Rules();
    filter_->ReadFromPage();
    job->filter = filter_->Rules();
    const CSourceListModel& source = window_.SourceModel();
    job->rows = std::make_unique<CSourceSnapshot>(source.SharedNames(), source.Ticks());
    CCDDBSettingsDlg& cd = *window_.CdAudioPage();
    job->cdMode = cd.RenameCdAudio();
    if (job->cdMode) {
        job->trackOrder = cd.TrackFiles();
        // A track position per retrieved title; the titles in list order.
        const int count = cd.RowCount(ids::kRetrievedNames);
        for (int row = 0; row < count; ++row) {
            job->pairing.trackOrder.push_back(cd.RowText(ids::kSelectedTracks, row, 0));
            if (cd.IsRowChecked(ids::kRetrievedNames, row)) {
                job->pairing.titles.push_back(
                    cd.RowText(ids::kRetrievedNames, row, ids::kRetrievedNameColumn));
            }
        }
    }
    job->alphaLowerCase = alphaLowerCase_;
    return job;
}

void CLivePreview::OnResult(const std::shared_ptr<Result>& result) {
    // A result overtaken by a newer change is never shown.
    if (result->generation != requested_ || !IsOn()) {
        return;
    }
    if (window_.RunInProgress()) {
        holdOffTimer_->start();
        return;
    }
    shownGeneration_ = result->generation;
    slowTimer_->stop();
    SetUpdating(false);
    if (!result->error.empty()) {
        // The names shown before stay, dimmed, while the rules are unfinished.
        Dim(true);
        label_->SetCount(QString::fromStdString(result->error));
        emit Updated();
        return;
    }
    alphaLowerCase_ = result->alphaLowerCase;
    std::shared_ptr<const CRenamePlan> old = std::move(shown_);
    if (!result->selected || result->plan == nullptr) {
        model_.Clear();
    } else {
        shown_ = result->plan;
        model_.SetPlan(std::move(result->plan), std::move(result->check), std::move(result->rows));
    }
    worker_->Release(std::move(old));
    label_->SetCount(PreviewCountText(model_.Count(), model_.FailingCount()));
    emit Updated();
}

void CLivePreview::SetUpdating(bool on) {
    updating_ = on;
    if (on) {
        label_->SetCount(
            WindowText(QT_TRANSLATE_NOOP("quorvan::CMainDlg", "Updating preview\u2026")));
    }
    Dim(on);
}

void CLivePreview::Dim(bool on) {
    if (!on) {
        view_->setPalette(QPalette());
        return;
    }
    // The old rows stay readable but look stale.
    QPalette dimmed = view_->palette();
    const QColor stale = dimmed.color(QPalette::Disabled, QPalette::Text);
    dimmed.setColor(QPalette::Active, QPalette::Text, stale);
    dimmed.setColor(QPalette::Inactive, QPalette::Text, stale);
    view_->setPalette(dimmed);
}

}  // namespace quorvan
