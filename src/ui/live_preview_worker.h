#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/cancel.h"
#include "rules/rename_plan.h"
#include "rules/rename_settings.h"
#include "run/plan_check.h"
#include "selection/filter_rules.h"
#include "selection/source_scan.h"
#include "ui/source_list_model.h"

namespace quorvan {

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

// What one computation of the live preview works from: copies of everything
// it reads.
struct LivePreviewJob {
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

// Everything the list shows of one job, down to the order of its rows.
struct LivePreviewResult {
    uint64_t generation = 0;
    bool selected = false;
    std::shared_ptr<const CRenamePlan> plan;
    PlanCheck check;
    CPreviewModel::Rows rows;
    bool alphaLowerCase = false;
    // Why the rules give no names at all (a name template that cannot be
    // read), for the label.
    std::string error;
};

// One thread that computes the latest job and drops any older one. It also
// frees the plans the list no longer shows: a million names take a while to
// free, too long for the window's thread.
class CLivePreviewWorker final {
  public:
    // Called on the worker's thread with a result that was not cancelled.
    using Deliver = std::function<void(std::shared_ptr<LivePreviewResult>)>;

    explicit CLivePreviewWorker(Deliver deliver);
    ~CLivePreviewWorker();

    // Cancels the job under way or waiting; `job` (if any) comes next.
    void Submit(std::unique_ptr<LivePreviewJob> job);
    // Frees the plan on the worker's thread.
    void Release(std::shared_ptr<const CRenamePlan> plan);

  private:
    void Loop();
    static std::shared_ptr<LivePreviewResult> Compute(LivePreviewJob& job);

    Deliver deliver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::unique_ptr<LivePreviewJob> pending_;
    std::shared_ptr<CancelFlag> latest_;
    std::vector<std::shared_ptr<const CRenamePlan>> released_;
    std::thread thread_;
};

}  // namespace quorvan
