#include "rules/rename_rules.h"

#include "rules/plan_names.h"

namespace quorvan {

bool CRenameRules::SetPages(CStatePage<RenamePageState>* renamePage,
                            CStatePage<ExtendedPageState>* extendedPage,
                            CStatePage<AttributePageState>* attributePage,
                            CStatePage<CdAudioPageState>* cdPage) {
    renamePage_ = renamePage;
    extendedPage_ = extendedPage;
    attributePage_ = attributePage;
    cdPage_ = cdPage;
    return true;
}

RenameSettings CRenameRules::GatheredSettings(const std::string& sourceFolder) const {
    RenameSettings s = settings_;
    s.SourcePath = sourceFolder;
    if (moreRulesPage_ != nullptr) {
        s.More = MoreRulesFromPage(moreRulesPage_->State());
    }
    if (renamePage_ != nullptr) {
        s = SettingsFromPages(std::move(s), renamePage_->State(), extendedPage_->State(),
                              attributePage_->State());
    }
    return s;
}

bool CRenameRules::GatherFromPages(const std::string& sourceFolder) {
    settings_ = GatheredSettings(sourceFolder);
    if (renamePage_ != nullptr) {
        // Empty numeric boxes show the defaults they were read as.
        const RenamePageState shown = renamePage_->State();
        const RenamePageState filled = WithNumericDefaults(shown);
        if (filled != shown) {
            renamePage_->SetState(filled);
        }
    }
    return true;
}

void CRenameRules::ApplyToPages(const std::string& sourceFolder) {
    RenameSettings& s = settings_;
    s.SourcePath = sourceFolder;
    if (moreRulesPage_ != nullptr) {
        moreRulesPage_->SetState(MoreRulesPageFrom(s.More, moreRulesPage_->State()));
    }
    if (renamePage_ == nullptr) {
        return;
    }
    renamePage_->SetState(RenamePageFrom(s, renamePage_->State()));
    const ExtendedPageState extended = ExtendedPageFrom(s, extendedPage_->State());
    extendedPage_->SetState(extended);
    if (subfolderControls_) {
        subfolderControls_(SourceListUsable(extended));
    }
    attributePage_->SetState(AttributePageFrom(s, attributePage_->State()));
    if (cdPage_ != nullptr) {
        cdPage_->SetState(CdAudioPageAfterLoad(cdPage_->State()));
    }
}

bool CRenameRules::ComputeName(const std::string& sourceRoot, const std::string& sourcePath,
                               std::string& target, bool cdFlag) {
    quorvan::ComputeName(settings_, sequence_, sourceRoot, sourcePath, target, cdFlag);
    return true;
}

bool CRenameRules::ClearPlan() {
    if (plan_.use_count() > 1) {
        plan_ = std::make_shared<CRenamePlan>();
    } else {
        plan_->Clear();
    }
    cursor_ = 0;
    return true;
}

CRenamePlan& CRenameRules::MutablePlan() {
    if (plan_.use_count() > 1) {
        plan_ = std::make_shared<CRenamePlan>(*plan_);
    }
    return *plan_;
}

std::shared_ptr<const CRenamePlan> CRenameRules::SharedPlan() const {
    // Sorted now: a shared plan is only ever read.
    plan_->Entries();
    return plan_;
}

void CRenameRules::AddSource(const std::string& sourcePath) {
    MutablePlan().Add(sourcePath);
}

bool CRenameRules::ComputePlan(const std::string& sourceRoot, bool cdFlag) {
    const bool paired = cdFlag && cdPage_ != nullptr;
    const CdPairing cd = paired ? PairingFrom(cdPage_->State()) : CdPairing();
    return ComputePlanNames(settings_, MutablePlan(), sourceRoot, sequence_, cdFlag,
                            paired ? &cd : nullptr);
}

bool CRenameRules::FirstTarget(std::string& target) {
    cursor_ = 0;
    return NextTarget(target);
}

bool CRenameRules::NextTarget(std::string& target) {
    const std::vector<PlanEntry>& entries = plan_->Entries();
    if (cursor_ >= entries.size()) {
        return false;
    }
    target = entries[cursor_++].second;
    return true;
}

bool CRenameRules::FirstPair(std::string& source, std::string& target) {
    cursor_ = 0;
    return NextPair(source, target);
}

bool CRenameRules::NextPair(std::string& source, std::string& target) {
    const std::vector<PlanEntry>& entries = plan_->Entries();
    if (cursor_ >= entries.size()) {
        return false;
    }
    source = entries[cursor_].first;
    target = entries[cursor_].second;
    ++cursor_;
    return true;
}

CRenamePlan CRenameRules::TakePlan() {
    // A plan a reader still shares is copied; the reader keeps its own.
    CRenamePlan plan = plan_.use_count() > 1 ? CRenamePlan(*plan_) : std::move(*plan_);
    ClearPlan();
    return plan;
}

}  // namespace quorvan
