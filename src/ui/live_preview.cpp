#include "ui/live_preview.h"

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
#include <optional>
#include <vector>

#include "platform/counter_store.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "ui/count_label.h"
#include "ui/live_preview_worker.h"
#include "ui/main_dlg.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/pages/filter_page.h"
#include "ui/settings_tabs.h"
#include "ui/source_list_model.h"

namespace quorvan {
namespace {

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

}  // namespace

QString PreviewCountText(int count, size_t failing) {
    return failing > 0 ? WindowText("(%1 files in preview, %2 cannot be renamed)")
                             .arg(count)
                             .arg(static_cast<qulonglong>(failing))
                       : WindowText("(%1 files in preview)").arg(count);
}

CLivePreview::CLivePreview(CMainDlg& window)
    : QObject(&window), window_(window), model_(window.PreviewModel()) {
    view_ = window.PreviewView();
    label_ = window.PreviewCountLabel();

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

    worker_ =
        std::make_unique<CLivePreviewWorker>([this](std::shared_ptr<LivePreviewResult> result) {
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

std::unique_ptr<LivePreviewJob> CLivePreview::Snapshot() {
    auto job = std::make_unique<LivePreviewJob>();
    job->generation = ++requested_;
    job->folder = window_.SourceFolder();
    // Read as the pages show them: an empty numeric box is not filled in
    // under the user's cursor.
    job->settings = window_.Rules().GatheredSettings(job->folder);
    job->filter = FilterRulesFromPage(window_.FilterPage()->State(), window_.Filter().Rules());
    const CSourceListModel& source = window_.SourceModel();
    job->rows = std::make_unique<CSourceSnapshot>(source.SharedNames(), source.Ticks());
    CCDDBSettingsDlg& cd = *window_.CdAudioPage();
    job->cdMode = cd.RenameCdAudio();
    if (job->cdMode) {
        CdAudioPageState state = cd.State();
        job->pairing = PairingFrom(state);
        job->trackOrder = std::move(state.tracks);
    }
    job->alphaLowerCase = alphaLowerCase_;
    return job;
}

void CLivePreview::OnResult(const std::shared_ptr<LivePreviewResult>& result) {
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
