#include "ui/live_preview_worker.h"

#include <pthread.h>
#include <sched.h>

#include "platform/folder_kind.h"
#include "rules/plan_names.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"

namespace quorvan {

CLivePreviewWorker::CLivePreviewWorker(Deliver deliver) : deliver_(std::move(deliver)) {
    thread_ = std::thread([this] {
        // Never preempts the window's thread when that wakes up, yet gets
        // its full share of the processor (a lower priority would starve
        // it on a busy machine).
        sched_param param{};
        pthread_setschedparam(pthread_self(), SCHED_BATCH, &param);
        Loop();
    });
}

CLivePreviewWorker::~CLivePreviewWorker() {
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

void CLivePreviewWorker::Submit(std::unique_ptr<LivePreviewJob> job) {
    std::unique_ptr<LivePreviewJob> dropped;
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

void CLivePreviewWorker::Release(std::shared_ptr<const CRenamePlan> plan) {
    if (plan == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released_.push_back(std::move(plan));
    }
    wake_.notify_one();
}

void CLivePreviewWorker::Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stop_ || pending_ != nullptr || !released_.empty(); });
        if (stop_) {
            return;
        }
        std::vector<std::shared_ptr<const CRenamePlan>> released = std::move(released_);
        released_.clear();
        std::unique_ptr<LivePreviewJob> job = std::move(pending_);
        lock.unlock();
        released.clear();
        if (job != nullptr) {
            std::shared_ptr<LivePreviewResult> result = Compute(*job);
            if (!Cancelled(job->cancel.get())) {
                deliver_(std::move(result));
            }
        }
        lock.lock();
    }
}

std::shared_ptr<LivePreviewResult> CLivePreviewWorker::Compute(LivePreviewJob& job) {
    auto result = std::make_shared<LivePreviewResult>();
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
    result->check = CheckPlan(plan->Entries(), settings.RenameInPlace, job.cdMode,
                              IsCaseInsensitiveFolder, NameFolders(settings, job.folder), cancel);
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

}  // namespace quorvan
