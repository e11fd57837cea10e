#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rules/more_rules_page.h"
#include "rules/name_computation.h"
#include "rules/rename_plan.h"
#include "rules/rename_settings.h"
#include "rules/rule_pages.h"
#include "rules/settings_store.h"
#include "rules/state_page.h"

namespace quorvan {

// The window's rename rules: binds the Rename, Extended, Attribute and CD
// Audio pages to a settings value, computes the plan, and saves and loads
// settings files. The value and the plan are plain data (rename_settings.h,
// rename_plan.h); this class only moves them between pages, files and runs.
class CRenameRules final {
  public:
    using PlanEntry = CRenamePlan::Entry;

    // --- pages ---
    bool SetPages(CStatePage<RenamePageState>* renamePage,
                  CStatePage<ExtendedPageState>* extendedPage,
                  CStatePage<AttributePageState>* attributePage,
                  CStatePage<CdAudioPageState>* cdPage);
    // The main window's source list and its three selection buttons, told
    // whether they are usable (not while subfolders are included) whenever
    // the pages are shown.
    void SetSubfolderControls(std::function<void(bool usable)> show) {
        subfolderControls_ = std::move(show);
    }
    // The More Rules page, read and shown with the others.
    void SetMoreRulesPage(CStatePage<MoreRulesPageState>* page) { moreRulesPage_ = page; }
    // Reads the pages into the settings, and shows the numeric defaults that
    // empty boxes get. Without pages (the command line) the settings stand
    // as set, with only the folder taken.
    bool GatherFromPages(const std::string& sourceFolder);
    // The settings the pages stand for, changing nothing on them (the live
    // preview reads while the user types).
    RenameSettings GatheredSettings(const std::string& sourceFolder) const;
    void ApplyToPages(const std::string& sourceFolder);

    RenameSettings& Settings() { return settings_; }
    const RenameSettings& Settings() const { return settings_; }

    // --- new names, continuing the sequence from StartSequence ---
    bool ComputeName(const std::string& sourceRoot, const std::string& sourcePath,
                     std::string& target, bool cdFlag);
    void StartSequence() {
        sequence_ = quorvan::StartSequence(settings_, sequence_.alphaLowerCase);
    }
    const SequenceState& Sequence() const { return sequence_; }

    // --- plan ---
    bool ClearPlan();
    void ReservePlan(size_t count) { MutablePlan().Reserve(count); }
    void AddSource(const std::string& sourcePath);
    // Notes a selected file that the run writes itself and never renames.
    void LeaveOut(const std::string& path) { MutablePlan().LeaveOut(path); }
    // Computes the plan; with `cdFlag` the CD Audio page's track order and
    // ticked titles are paired.
    bool ComputePlan(const std::string& sourceRoot, bool cdFlag);
    bool FirstTarget(std::string& target);
    bool NextTarget(std::string& target);
    bool FirstPair(std::string& source, std::string& target);
    bool NextPair(std::string& source, std::string& target);
    const std::vector<PlanEntry>& PlanEntries() const { return plan_->Entries(); }
    bool IsPlanSource(const std::string& path) const { return plan_->Contains(path); }
    size_t PlanSize() const { return plan_->Size(); }
    const CRenamePlan& Plan() const { return *plan_; }
    // The plan as it is now, for a reader that keeps it (the preview list)
    // without a copy: a later change or ClearPlan leaves the reader's plan as
    // it was.
    std::shared_ptr<const CRenamePlan> SharedPlan() const;
    // Hands the plan over (to a run), leaving this one empty.
    CRenamePlan TakePlan();

    // --- settings file ---
    bool SaveSettings(const std::string& path, const std::string& sourceFolder);
    bool LoadSettings(const std::string& path, std::string& sourcePath);
    void WriteSettingsKeys();
    void ReadSettingsKeys();
    CSettingsStore& Store() { return store_; }

  private:
    // The plan for a change, copied first while a reader still shares it.
    CRenamePlan& MutablePlan();

    CStatePage<RenamePageState>* renamePage_ = nullptr;
    CStatePage<ExtendedPageState>* extendedPage_ = nullptr;
    CStatePage<AttributePageState>* attributePage_ = nullptr;
    CStatePage<CdAudioPageState>* cdPage_ = nullptr;
    CStatePage<MoreRulesPageState>* moreRulesPage_ = nullptr;
    std::function<void(bool)> subfolderControls_;

    RenameSettings settings_;
    SequenceState sequence_;
    std::shared_ptr<CRenamePlan> plan_ = std::make_shared<CRenamePlan>();
    size_t cursor_ = 0;
    CSettingsStore store_;
};

}  // namespace quorvan
