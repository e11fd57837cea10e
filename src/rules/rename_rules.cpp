#include "rules/rename_rules.h"

#include "common/text.h"
#include "rules/control_ids.h"

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
    return {{
        {ids::kCreationDateTime, ids::kCreationDate, ids::kCreationTime, ModifyCreationDateTime,
         CreationDate, CreationTime},
        {ids::kModifiedDateTime, ids::kModifiedDate, ids::kModifiedTime, ModifyModDateTime, ModDate,
         ModTime},
        {ids::kLastAccessedDateTime, ids::kLastAccessedDate, ids::kLastAccessedTime,
         ModifyLastAccessedDateTime, LastAccessedDate, LastAccessedTime},
    }};
}

bool CRenameRules::GatherFromPages(const std::string& sourceFolder) {
    SourcePath = sourceFolder;
    CPageControls& r = *renamePage_;
    TextMode = r.IsChecked(ids::kTextModifications);
    if (TextMode) {
        AddPrefix = r.IsChecked(ids::kAddPrefix);
        if (AddPrefix) {
            Prefix = r.Text(ids::kPrefix);
        }
        AddSuffix = r.IsChecked(ids::kAddSuffix);
        if (AddSuffix) {
            Suffix = r.Text(ids::kSuffix);
        }
        CaseChange = r.IsChecked(ids::kChangeCase);
        if (CaseChange) {
            UpperCase = r.IsChecked(ids::kLowerCase) ? 0 : 1;
        }
        ReplaceString = r.IsChecked(ids::kReplaceString);
        if (ReplaceString) {
            SourceString = r.Text(ids::kSearchText);
            DestString = r.Text(ids::kReplaceText);
        }
    } else {
        NumericSequence = r.IsChecked(ids::kNumericSequence);
        SequencePlacement = r.IsChecked(ids::kSequencePrefix)    ? 0
                            : r.IsChecked(ids::kSequenceSuffix)  ? 2
                            : r.IsChecked(ids::kSequenceReplace) ? 1
                                                                 : 3;
        if (NumericSequence) {
            // Empty boxes get their defaults, shown on the page too.
            std::string start = r.Text(ids::kNumericStart);
            if (start.empty()) {
                r.SetText(ids::kNumericStart, "1");
                StartWith = 1;
            } else {
                StartWith = ParseLong(start);
            }
            std::string digits = r.Text(ids::kDigits);
            if (digits.empty()) {
                r.SetText(ids::kDigits, "4");
                DigitCount = 4;
            } else {
                DigitCount = ParseLong(digits);
            }
        } else {
            AlphaStartWith = r.Text(ids::kAlphaStart);
            DigitCount = ParseLong(r.Text(ids::kCharacters));
        }
        AddPrefix = r.IsChecked(ids::kSeqAddPrefix);
        if (AddPrefix) {
            Prefix = r.Text(ids::kSeqPrefix);
        }
        AddSuffix = r.IsChecked(ids::kSeqAddSuffix);
        if (AddSuffix) {
            Suffix = r.Text(ids::kSeqSuffix);
        }
    }

    CPageControls& e = *extendedPage_;
    ChangeExtension = e.IsChecked(ids::kChangeExtension);
    if (ChangeExtension) {
        ChangeExtensionString = e.Text(ids::kNewExtension);
    }
    ConcatExtension = e.IsChecked(ids::kConcatExtension);
    if (ConcatExtension) {
        ConcatExtensionString = e.Text(ids::kConcatText);
    }
    IncludeSubFolders = e.IsChecked(ids::kIncludeSubfolders);
    LogFile = e.IsChecked(ids::kGenerateLog);
    UndoBatchFile = e.IsChecked(ids::kGenerateUndo);
    RenameInPlace = e.IsChecked(ids::kRenameExisting);
    if (!RenameInPlace) {
        RenameDestFolder = e.Text(ids::kDestinationFolder);
    }

    CPageControls& a = *attributePage_;
    ModifyAttributes = a.IsChecked(ids::kModifyAttributes);
    if (ModifyAttributes) {
        ModifyReadOnly = a.IsChecked(ids::kReadOnly);
        ModifyHidden = a.IsChecked(ids::kHidden);
        ModifySystem = a.IsChecked(ids::kSystem);
        ModifyArchive = a.IsChecked(ids::kArchive);
    }
    ModifyDatesTimes = a.IsChecked(ids::kModifyDateTime);
    if (!ModifyDatesTimes) {
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

namespace {

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

void CRenameRules::ApplyToPages(const std::string& sourceFolder) {
    SourcePath = sourceFolder;

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

    if (TextMode) {
        r.SetChecked(ids::kTextModifications, true);
        ShowCheckedEdit(r, ids::kAddPrefix, ids::kPrefix, AddPrefix, Prefix);
        ShowCheckedEdit(r, ids::kAddSuffix, ids::kSuffix, AddSuffix, Suffix);
        r.SetEnabled(ids::kChangeCase, true);
        r.SetChecked(ids::kChangeCase, CaseChange);
        if (CaseChange) {
            r.SetEnabled(ids::kUpperCase, true);
            r.SetEnabled(ids::kLowerCase, true);
            r.SetChecked(UpperCase != 0 ? ids::kUpperCase : ids::kLowerCase, true);
        }
        r.SetEnabled(ids::kReplaceString, true);
        r.SetChecked(ids::kReplaceString, ReplaceString);
        if (ReplaceString) {
            for (int id : {ids::kSearchText, ids::kReplaceText, ids::kWithLabel, ids::kCaseNote}) {
                r.SetEnabled(id, true);
            }
            r.SetText(ids::kSearchText, SourceString);
            r.SetText(ids::kReplaceText, DestString);
        }
    } else {
        r.SetChecked(ids::kSequencing, true);
        const int placements[] = {ids::kSequencePrefix, ids::kSequenceReplace,
                                  ids::kSequenceSuffix};
        for (int id : placements) {
            r.SetEnabled(id, true);
        }
        if (SequencePlacement >= 0 && SequencePlacement <= 2) {
            for (int i = 0; i < 3; ++i) {
                r.SetChecked(placements[i], i == SequencePlacement);
            }
        }
        r.SetEnabled(ids::kNumericSequence, true);
        r.SetEnabled(ids::kAlphaSequence, true);
        if (NumericSequence) {
            r.SetChecked(ids::kNumericSequence, true);
            for (int id :
                 {ids::kNumericStart, ids::kDigits, ids::kNumericStartLabel, ids::kDigitsLabel}) {
                r.SetEnabled(id, true);
            }
            r.SetText(ids::kNumericStart, FormatLong(StartWith));
            r.SetText(ids::kDigits, FormatLong(DigitCount));
        } else {
            r.SetChecked(ids::kAlphaSequence, true);
            for (int id : {ids::kAlphaStart, ids::kCharacters, ids::kAlphaStartLabel,
                           ids::kCharactersLabel}) {
                r.SetEnabled(id, true);
            }
            r.SetText(ids::kAlphaStart, AlphaStartWith);
            r.SetText(ids::kCharacters, FormatLong(DigitCount));
        }
        ShowCheckedEdit(r, ids::kSeqAddPrefix, ids::kSeqPrefix, AddPrefix, Prefix);
        ShowCheckedEdit(r, ids::kSeqAddSuffix, ids::kSeqSuffix, AddSuffix, Suffix);
    }

    ShowCheckedEdit(e, ids::kChangeExtension, ids::kNewExtension, ChangeExtension,
                    ChangeExtensionString);
    ShowCheckedEdit(e, ids::kConcatExtension, ids::kConcatText, ConcatExtension,
                    ConcatExtensionString);
    e.SetEnabled(ids::kIncludeSubfolders, true);
    e.SetChecked(ids::kIncludeSubfolders, IncludeSubFolders);
    if (window_ != nullptr) {
        for (int id : subfolderControls_) {
            window_->SetEnabled(id, !IncludeSubFolders);
        }
    }
    e.SetEnabled(ids::kGenerateLog, true);
    e.SetChecked(ids::kGenerateLog, LogFile);
    e.SetEnabled(ids::kGenerateUndo, true);
    e.SetChecked(ids::kGenerateUndo, UndoBatchFile);
    e.SetEnabled(ids::kRenameExisting, true);
    if (RenameInPlace) {
        e.SetChecked(ids::kRenameExisting, true);
    } else {
        e.SetChecked(ids::kCopyThenRename, true);
        for (int id : {ids::kDestinationLabel, ids::kDestinationFolder, ids::kDestinationBrowse}) {
            e.SetEnabled(id, true);
        }
        e.SetText(ids::kDestinationFolder, RenameDestFolder);
    }

    a.SetEnabled(ids::kModifyAttributes, true);
    a.SetChecked(ids::kModifyAttributes, ModifyAttributes);
    if (ModifyAttributes) {
        const std::pair<int, bool> boxes[] = {{ids::kReadOnly, ModifyReadOnly},
                                              {ids::kHidden, ModifyHidden},
                                              {ids::kSystem, ModifySystem},
                                              {ids::kArchive, ModifyArchive}};
        for (const auto& [id, on] : boxes) {
            a.SetEnabled(id, true);
            a.SetChecked(id, on);
        }
    }
    a.SetEnabled(ids::kModifyDateTime, true);
    a.SetChecked(ids::kModifyDateTime, ModifyDatesTimes);
    if (ModifyDatesTimes) {
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

}  // namespace quorvan
