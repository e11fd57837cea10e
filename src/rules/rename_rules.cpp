#include "rules/rename_rules.h"

#include "common/text.h"
#include "rules/control_ids.h"
#include "rules/plan_names.h"

namespace quorvan {

bool CRenameRules::SetPages(CPageControls* renamePage, CPageControls* extendedPage,
                            CPageControls* attributePage, CPageControls* cdPage) {
    renamePage_ = renamePage;
    extendedPage_ = extendedPage;
    attributePage_ = attributePage;
    cdPage_ = cdPage;
    return true;
}

void CRenameRules::SetSubfolderControls(CPageControls* window, std::array<int, 4> controlIds) {
    window_ = window;
    subfolderControls_ = controlIds;
}

std::array<CRenameRules::DateTimeGroup, 3> CRenameRules::DateTimeGroups() {
    RenameSettings& s = settings_;
    return {{
        {ids::kCreationDateTime, ids::kCreationDate, ids::kCreationTime, s.ModifyCreationDateTime,
         s.CreationDate, s.CreationTime},
        {ids::kModifiedDateTime, ids::kModifiedDate, ids::kModifiedTime, s.ModifyModDateTime,
         s.ModDate, s.ModTime},
        {ids::kLastAccessedDateTime, ids::kLastAccessedDate, ids::kLastAccessedTime,
         s.ModifyLastAccessedDateTime, s.LastAccessedDate, s.LastAccessedTime},
    }};
}

namespace {

// Reads a box and, only when it is ticked, its edit box: a box switched off
// keeps the text it had.
void ReadCheckedEdit(const CPageControls& page, int check, int edit, bool& on, std::string& text) {
    on = page.IsChecked(check);
    if (on) {
        text = page.Text(edit);
    }
}

// Checks a box, enables it, and lets its edit box follow it with `text`.
void ShowCheckedEdit(CPageControls& page, int check, int edit, bool on, const std::string& text) {
    page.SetEnabled(check, true);
    page.SetChecked(check, on);
    if (on) {
        page.SetEnabled(edit, true);
        page.SetText(edit, text);
    }
}

}  // namespace

bool CRenameRules::GatherFromPages(const std::string& sourceFolder) {
    RenameSettings& s = settings_;
    s.SourcePath = sourceFolder;
    if (moreRulesPage_ != nullptr) {
        s.More = MoreRulesFromPage(moreRulesPage_->State());
    }
    if (renamePage_ == nullptr) {
        return true;
    }
    CPageControls& r = *renamePage_;
    s.TextMode = r.IsChecked(ids::kTextModifications);
    if (s.TextMode) {
        ReadCheckedEdit(r, ids::kAddPrefix, ids::kPrefix, s.AddPrefix, s.Prefix);
        ReadCheckedEdit(r, ids::kAddSuffix, ids::kSuffix, s.AddSuffix, s.Suffix);
        s.CaseChange = r.IsChecked(ids::kChangeCase);
        if (s.CaseChange) {
            s.UpperCase = r.IsChecked(ids::kLowerCase) ? 0 : 1;
        }
        s.ReplaceString = r.IsChecked(ids::kReplaceString);
        if (s.ReplaceString) {
            s.SourceString = r.Text(ids::kSearchText);
            s.DestString = r.Text(ids::kReplaceText);
        }
    } else {
        s.NumericSequence = r.IsChecked(ids::kNumericSequence);
        s.SequencePlacement = r.IsChecked(ids::kSequencePrefix)    ? 0
                              : r.IsChecked(ids::kSequenceSuffix)  ? 2
                              : r.IsChecked(ids::kSequenceReplace) ? 1
                                                                   : 3;
        if (s.NumericSequence) {
            // Empty boxes get their defaults, shown on the page too.
            std::string start = r.Text(ids::kNumericStart);
            if (start.empty()) {
                r.SetText(ids::kNumericStart, "1");
                s.StartWith = 1;
            } else {
                s.StartWith = ParseLong(start);
            }
            std::string digits = r.Text(ids::kDigits);
            if (digits.empty()) {
                r.SetText(ids::kDigits, "4");
                s.DigitCount = 4;
            } else {
                s.DigitCount = ParseLong(digits);
            }
        } else {
            s.AlphaStartWith = r.Text(ids::kAlphaStart);
            s.DigitCount = ParseLong(r.Text(ids::kCharacters));
        }
        ReadCheckedEdit(r, ids::kSeqAddPrefix, ids::kSeqPrefix, s.AddPrefix, s.Prefix);
        ReadCheckedEdit(r, ids::kSeqAddSuffix, ids::kSeqSuffix, s.AddSuffix, s.Suffix);
    }

    CPageControls& e = *extendedPage_;
    ReadCheckedEdit(e, ids::kChangeExtension, ids::kNewExtension, s.ChangeExtension,
                    s.ChangeExtensionString);
    ReadCheckedEdit(e, ids::kConcatExtension, ids::kConcatText, s.ConcatExtension,
                    s.ConcatExtensionString);
    s.IncludeSubFolders = e.IsChecked(ids::kIncludeSubfolders);
    s.LogFile = e.IsChecked(ids::kGenerateLog);
    s.UndoBatchFile = e.IsChecked(ids::kGenerateUndo);
    s.RenameInPlace = e.IsChecked(ids::kRenameExisting);
    if (!s.RenameInPlace) {
        s.RenameDestFolder = e.Text(ids::kDestinationFolder);
    }

    CPageControls& a = *attributePage_;
    s.ModifyAttributes = a.IsChecked(ids::kModifyAttributes);
    if (s.ModifyAttributes) {
        s.ModifyReadOnly = a.IsChecked(ids::kReadOnly);
        s.ModifyHidden = a.IsChecked(ids::kHidden);
        s.ModifySystem = a.IsChecked(ids::kSystem);
        s.ModifyArchive = a.IsChecked(ids::kArchive);
    }
    s.ModifyDatesTimes = a.IsChecked(ids::kModifyDateTime);
    if (!s.ModifyDatesTimes) {
        return true;
    }
    for (const DateTimeGroup& g : DateTimeGroups()) {
        g.flag = a.IsChecked(g.check);
        if (g.flag) {
            g.date = a.DateTime(g.datePicker);
            g.time = a.DateTime(g.timePicker);
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

    CPageControls& r = *renamePage_;
    for (int id :
         {ids::kTextModifications, ids::kSequencing, ids::kNumericSequence, ids::kAlphaSequence,
          ids::kAddPrefix, ids::kAddSuffix, ids::kChangeCase, ids::kReplaceString,
          ids::kSeqAddPrefix, ids::kSeqAddSuffix, ids::kUpperCase, ids::kLowerCase}) {
        r.SetChecked(id, false);
    }
    for (int id :
         {ids::kPrefix, ids::kSuffix, ids::kSearchText, ids::kReplaceText, ids::kSeqPrefix,
          ids::kSeqSuffix, ids::kNumericStart, ids::kDigits, ids::kAlphaStart, ids::kCharacters}) {
        r.SetText(id, "");
    }
    for (int id : {ids::kAddPrefix,       ids::kPrefix,          ids::kAddSuffix,
                   ids::kSuffix,          ids::kChangeCase,      ids::kUpperCase,
                   ids::kLowerCase,       ids::kReplaceString,   ids::kSearchText,
                   ids::kReplaceText,     ids::kWithLabel,       ids::kCaseNote,
                   ids::kSequencePrefix,  ids::kSequenceSuffix,  ids::kSequenceReplace,
                   ids::kSeqAddPrefix,    ids::kSeqPrefix,       ids::kSeqAddSuffix,
                   ids::kSeqSuffix,       ids::kNumericSequence, ids::kNumericStartLabel,
                   ids::kNumericStart,    ids::kDigitsLabel,     ids::kDigits,
                   ids::kAlphaSequence,   ids::kAlphaStartLabel, ids::kAlphaStart,
                   ids::kCharactersLabel, ids::kCharacters}) {
        r.SetEnabled(id, false);
    }
    r.SetEnabled(ids::kTextModifications, true);
    r.SetEnabled(ids::kSequencing, true);

    CPageControls& e = *extendedPage_;
    e.SetText(ids::kDestinationFolder, "");
    e.SetChecked(ids::kRenameExisting, false);
    e.SetChecked(ids::kCopyThenRename, false);
    for (int id : {ids::kDestinationLabel, ids::kDestinationFolder, ids::kDestinationBrowse}) {
        e.SetEnabled(id, false);
    }

    CPageControls& a = *attributePage_;
    for (int id : {ids::kReadOnly, ids::kHidden, ids::kSystem, ids::kArchive,
                   ids::kCreationDateTime, ids::kModifiedDateTime, ids::kLastAccessedDateTime}) {
        a.SetChecked(id, false);
        a.SetEnabled(id, false);
    }
    for (int id : {ids::kCreationDate, ids::kCreationTime, ids::kModifiedDate, ids::kModifiedTime,
                   ids::kLastAccessedDate, ids::kLastAccessedTime}) {
        a.SetEnabled(id, false);
    }

    if (cdPage_ != nullptr) {
        CPageControls& c = *cdPage_;
        c.ClearRows(ids::kSelectedTracks);
        c.SetChecked(ids::kRenameCdAudio, false);
        for (int id : {ids::kCdDrive, ids::kCdDriveLabel, ids::kGetNames, ids::kSelectedTracks,
                       ids::kRetrievedNames, ids::kSelectedTracksLabel, ids::kRetrievedNamesLabel,
                       ids::kMoveUp, ids::kMoveDown, ids::kTracksSelectAll, ids::kTracksDeselectAll,
                       ids::kTracksInvert, ids::kPlay, ids::kStop}) {
            c.SetEnabled(id, false);
        }
    }

    if (s.TextMode) {
        r.SetChecked(ids::kTextModifications, true);
        ShowCheckedEdit(r, ids::kAddPrefix, ids::kPrefix, s.AddPrefix, s.Prefix);
        ShowCheckedEdit(r, ids::kAddSuffix, ids::kSuffix, s.AddSuffix, s.Suffix);
        r.SetEnabled(ids::kChangeCase, true);
        r.SetChecked(ids::kChangeCase, s.CaseChange);
        if (s.CaseChange) {
            r.SetEnabled(ids::kUpperCase, true);
            r.SetEnabled(ids::kLowerCase, true);
            r.SetChecked(s.UpperCase != 0 ? ids::kUpperCase : ids::kLowerCase, true);
        }
        r.SetEnabled(ids::kReplaceString, true);
        r.SetChecked(ids::kReplaceString, s.ReplaceString);
        if (s.ReplaceString) {
            for (int id : {ids::kSearchText, ids::kReplaceText, ids::kWithLabel, ids::kCaseNote}) {
                r.SetEnabled(id, true);
            }
            r.SetText(ids::kSearchText, s.SourceString);
            r.SetText(ids::kReplaceText, s.DestString);
        }
    } else {
        r.SetChecked(ids::kSequencing, true);
        const int placements[] = {ids::kSequencePrefix, ids::kSequenceReplace,
                                  ids::kSequenceSuffix};
        for (int id : placements) {
            r.SetEnabled(id, true);
        }
        if (s.SequencePlacement >= 0 && s.SequencePlacement <= 2) {
            for (int i = 0; i < 3; ++i) {
                r.SetChecked(placements[i], i == s.SequencePlacement);
            }
        }
        r.SetEnabled(ids::kNumericSequence, true);
        r.SetEnabled(ids::kAlphaSequence, true);
        if (s.NumericSequence) {
            r.SetChecked(ids::kNumericSequence, true);
            for (int id :
                 {ids::kNumericStart, ids::kDigits, ids::kNumericStartLabel, ids::kDigitsLabel}) {
                r.SetEnabled(id, true);
            }
            r.SetText(ids::kNumericStart, FormatLong(s.StartWith));
            r.SetText(ids::kDigits, FormatLong(s.DigitCount));
        } else {
            r.SetChecked(ids::kAlphaSequence, true);
            for (int id : {ids::kAlphaStart, ids::kCharacters, ids::kAlphaStartLabel,
                           ids::kCharactersLabel}) {
                r.SetEnabled(id, true);
            }
            r.SetText(ids::kAlphaStart, s.AlphaStartWith);
            r.SetText(ids::kCharacters, FormatLong(s.DigitCount));
        }
        ShowCheckedEdit(r, ids::kSeqAddPrefix, ids::kSeqPrefix, s.AddPrefix, s.Prefix);
        ShowCheckedEdit(r, ids::kSeqAddSuffix, ids::kSeqSuffix, s.AddSuffix, s.Suffix);
    }

    ShowCheckedEdit(e, ids::kChangeExtension, ids::kNewExtension, s.ChangeExtension,
                    s.ChangeExtensionString);
    ShowCheckedEdit(e, ids::kConcatExtension, ids::kConcatText, s.ConcatExtension,
                    s.ConcatExtensionString);
    e.SetEnabled(ids::kIncludeSubfolders, true);
    e.SetChecked(ids::kIncludeSubfolders, s.IncludeSubFolders);
    if (window_ != nullptr) {
        for (int id : subfolderControls_) {
            window_->SetEnabled(id, !s.IncludeSubFolders);
        }
    }
    e.SetEnabled(ids::kGenerateLog, true);
    e.SetChecked(ids::kGenerateLog, s.LogFile);
    e.SetEnabled(ids::kGenerateUndo, true);
    e.SetChecked(ids::kGenerateUndo, s.UndoBatchFile);
    e.SetEnabled(ids::kRenameExisting, true);
    if (s.RenameInPlace) {
        e.SetChecked(ids::kRenameExisting, true);
    } else {
        e.SetChecked(ids::kCopyThenRename, true);
        for (int id : {ids::kDestinationLabel, ids::kDestinationFolder, ids::kDestinationBrowse}) {
            e.SetEnabled(id, true);
        }
        e.SetText(ids::kDestinationFolder, s.RenameDestFolder);
    }

    a.SetEnabled(ids::kModifyAttributes, true);
    a.SetChecked(ids::kModifyAttributes, s.ModifyAttributes);
    if (s.ModifyAttributes) {
        const std::pair<int, bool> boxes[] = {{ids::kReadOnly, s.ModifyReadOnly},
                                              {ids::kHidden, s.ModifyHidden},
                                              {ids::kSystem, s.ModifySystem},
                                              {ids::kArchive, s.ModifyArchive}};
        for (const auto& [id, on] : boxes) {
            a.SetEnabled(id, true);
            a.SetChecked(id, on);
        }
    }
    a.SetEnabled(ids::kModifyDateTime, true);
    a.SetChecked(ids::kModifyDateTime, s.ModifyDatesTimes);
    if (s.ModifyDatesTimes) {
        for (const DateTimeGroup& g : DateTimeGroups()) {
            a.SetEnabled(g.check, true);
            a.SetChecked(g.check, g.flag);
            if (g.flag) {
                a.SetEnabled(g.datePicker, true);
                a.SetEnabled(g.timePicker, true);
                a.SetDateTime(g.datePicker, g.date);
                a.SetDateTime(g.timePicker, g.time);
            }
        }
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
    CdPairing cd;
    const bool paired = cdFlag && cdPage_ != nullptr;
    if (paired) {
        // A track position per retrieved title; the titles in list order.
        CPageControls& page = *cdPage_;
        const int count = page.RowCount(ids::kRetrievedNames);
        for (int row = 0; row < count; ++row) {
            cd.trackOrder.push_back(page.RowText(ids::kSelectedTracks, row, 0));
            if (page.IsRowChecked(ids::kRetrievedNames, row)) {
                cd.titles.push_back(
                    page.RowText(ids::kRetrievedNames, row, ids::kRetrievedNameColumn));
            }
        }
    }
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
