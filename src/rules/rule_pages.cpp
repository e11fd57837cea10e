#include "rules/rule_pages.h"

#include <string_view>
#include <utility>

#include "common/text.h"

namespace quorvan {

namespace {

// A box and, only when it is ticked, its edit box: a box switched off keeps
// the text the settings had.
void ReadChecked(bool on, const std::string& text, bool& flag, std::string& field) {
    flag = on;
    if (on) {
        field = text;
    }
}

constexpr const char* kStartDefault = "1";
constexpr const char* kDigitsDefault = "4";

// An empty numeric box counts as its default, which gathering writes back.
int32_t NumberOr(const std::string& text, const char* empty) {
    return ParseLong(text.empty() ? std::string_view(empty) : std::string_view(text));
}

struct DateTimeField {
    DateTimePick AttributePageState::*pick;
    bool RenameSettings::*flag;
    LocalDateTime RenameSettings::*date;
    LocalDateTime RenameSettings::*time;
};

// Creation, modified, last accessed, in that order.
constexpr DateTimeField kDateTimeFields[] = {
    {&AttributePageState::creation, &RenameSettings::ModifyCreationDateTime,
     &RenameSettings::CreationDate, &RenameSettings::CreationTime},
    {&AttributePageState::modified, &RenameSettings::ModifyModDateTime, &RenameSettings::ModDate,
     &RenameSettings::ModTime},
    {&AttributePageState::lastAccessed, &RenameSettings::ModifyLastAccessedDateTime,
     &RenameSettings::LastAccessedDate, &RenameSettings::LastAccessedTime},
};

}  // namespace

RenameSettings SettingsFromPages(RenameSettings s, const RenamePageState& r,
                                 const ExtendedPageState& e, const AttributePageState& a) {
    s.TextMode = r.textMode;
    if (r.textMode) {
        ReadChecked(r.addPrefix, r.prefix, s.AddPrefix, s.Prefix);
        ReadChecked(r.addSuffix, r.suffix, s.AddSuffix, s.Suffix);
        s.CaseChange = r.changeCase;
        if (s.CaseChange) {
            s.UpperCase = r.caseChoice == CaseChoice::Lower ? 0 : 1;
        }
        s.ReplaceString = r.replaceString;
        if (s.ReplaceString) {
            s.SourceString = r.searchText;
            s.DestString = r.replaceText;
        }
    } else {
        s.NumericSequence = r.numericSequence;
        s.SequencePlacement = r.placement;
        if (s.NumericSequence) {
            s.StartWith = NumberOr(r.numericStart, kStartDefault);
            s.DigitCount = NumberOr(r.digits, kDigitsDefault);
        } else {
            s.AlphaStartWith = r.alphaStart;
            s.DigitCount = ParseLong(r.characters);
        }
        ReadChecked(r.seqAddPrefix, r.seqPrefix, s.AddPrefix, s.Prefix);
        ReadChecked(r.seqAddSuffix, r.seqSuffix, s.AddSuffix, s.Suffix);
    }

    ReadChecked(e.changeExtension, e.newExtension, s.ChangeExtension, s.ChangeExtensionString);
    ReadChecked(e.concatExtension, e.concatText, s.ConcatExtension, s.ConcatExtensionString);
    s.IncludeSubFolders = e.includeSubfolders;
    s.LogFile = e.generateLog;
    s.UndoBatchFile = e.generateUndo;
    s.RenameInPlace = e.renameInPlace;
    if (!s.RenameInPlace) {
        s.RenameDestFolder = e.destinationFolder;
    }

    s.ModifyAttributes = a.modifyAttributes;
    if (s.ModifyAttributes) {
        s.ModifyReadOnly = a.readOnly;
        s.ModifyHidden = a.hidden;
        s.ModifySystem = a.system;
        s.ModifyArchive = a.archive;
    }
    s.ModifyDatesTimes = a.modifyDateTime;
    if (s.ModifyDatesTimes) {
        for (const DateTimeField& f : kDateTimeFields) {
            const DateTimePick& pick = a.*f.pick;
            s.*f.flag = pick.on;
            if (pick.on) {
                s.*f.date = pick.date;
                s.*f.time = pick.time;
            }
        }
    }
    return s;
}

RenamePageState WithNumericDefaults(RenamePageState page) {
    if (!page.textMode && page.numericSequence) {
        if (page.numericStart.empty()) {
            page.numericStart = kStartDefault;
        }
        if (page.digits.empty()) {
            page.digits = kDigitsDefault;
        }
    }
    return page;
}

RenamePageState RenamePageFrom(const RenameSettings& s, const RenamePageState& shown) {
    RenamePageState p;
    // Kept: the placement, and the sequence kind for a later switch to
    // sequencing, which never offers a page with no kind chosen.
    p.placement = shown.placement;
    p.numericSequence = shown.numericSequence;
    p.caseChoice = CaseChoice::None;
    p.textMode = s.TextMode;
    if (s.TextMode) {
        p.addPrefix = s.AddPrefix;
        p.prefix = s.AddPrefix ? s.Prefix : "";
        p.addSuffix = s.AddSuffix;
        p.suffix = s.AddSuffix ? s.Suffix : "";
        p.changeCase = s.CaseChange;
        if (s.CaseChange) {
            p.caseChoice = s.UpperCase != 0 ? CaseChoice::Upper : CaseChoice::Lower;
        }
        p.replaceString = s.ReplaceString;
        if (s.ReplaceString) {
            p.searchText = s.SourceString;
            p.replaceText = s.DestString;
        }
        return p;
    }
    if (s.SequencePlacement >= 0 && s.SequencePlacement <= 2) {
        p.placement = s.SequencePlacement;
    }
    p.numericSequence = s.NumericSequence;
    if (s.NumericSequence) {
        p.numericStart = FormatLong(s.StartWith);
        p.digits = FormatLong(s.DigitCount);
    } else {
        p.alphaStart = s.AlphaStartWith;
        p.characters = FormatLong(s.DigitCount);
    }
    p.seqAddPrefix = s.AddPrefix;
    p.seqPrefix = s.AddPrefix ? s.Prefix : "";
    p.seqAddSuffix = s.AddSuffix;
    p.seqSuffix = s.AddSuffix ? s.Suffix : "";
    return p;
}

ExtendedPageState ExtendedPageFrom(const RenameSettings& s, const ExtendedPageState& shown) {
    ExtendedPageState p = shown;
    p.changeExtension = s.ChangeExtension;
    if (s.ChangeExtension) {
        p.newExtension = s.ChangeExtensionString;
    }
    p.concatExtension = s.ConcatExtension;
    if (s.ConcatExtension) {
        p.concatText = s.ConcatExtensionString;
    }
    p.includeSubfolders = s.IncludeSubFolders;
    p.generateLog = s.LogFile;
    p.generateUndo = s.UndoBatchFile;
    p.renameInPlace = s.RenameInPlace;
    p.destinationFolder = s.RenameInPlace ? "" : s.RenameDestFolder;
    return p;
}

AttributePageState AttributePageFrom(const RenameSettings& s, const AttributePageState& shown) {
    AttributePageState p = shown;
    p.modifyAttributes = s.ModifyAttributes;
    p.readOnly = s.ModifyAttributes && s.ModifyReadOnly;
    p.hidden = s.ModifyAttributes && s.ModifyHidden;
    p.system = s.ModifyAttributes && s.ModifySystem;
    p.archive = s.ModifyAttributes && s.ModifyArchive;
    p.modifyDateTime = s.ModifyDatesTimes;
    for (const DateTimeField& f : kDateTimeFields) {
        DateTimePick& pick = p.*f.pick;
        pick.on = s.ModifyDatesTimes && s.*f.flag;
        if (pick.on) {
            pick.date = s.*f.date;
            pick.time = s.*f.time;
        }
    }
    return p;
}

CdAudioPageState CdAudioPageAfterLoad(CdAudioPageState shown) {
    shown.renameCdAudio = false;
    shown.tracks.clear();
    return shown;
}

CdPairing PairingFrom(const CdAudioPageState& page) {
    CdPairing cd;
    // A track position per retrieved title, empty past the listed files.
    for (size_t row = 0; row < page.titles.size(); ++row) {
        cd.trackOrder.push_back(row < page.tracks.size() ? page.tracks[row] : std::string());
        if (page.titles[row].checked) {
            cd.titles.push_back(page.titles[row].name);
        }
    }
    return cd;
}

RenameSettings OpeningSettings() {
    const RenamePageState rename;
    const ExtendedPageState extended;
    const AttributePageState attribute;

    // Every switch on, each choice as the window opens with it: the values a
    // user who switches one on finds there.
    RenamePageState alpha = rename;
    alpha.textMode = false;
    alpha.numericSequence = false;
    RenamePageState sequence = rename;
    sequence.textMode = false;
    sequence.seqAddPrefix = sequence.seqAddSuffix = true;
    RenamePageState text = rename;
    text.addPrefix = text.addSuffix = text.changeCase = text.replaceString = true;
    ExtendedPageState allExtended = extended;
    allExtended.changeExtension = allExtended.concatExtension = true;
    allExtended.renameInPlace = false;
    AttributePageState allAttributes = attribute;
    allAttributes.modifyAttributes = allAttributes.modifyDateTime = true;
    allAttributes.creation.on = allAttributes.modified.on = allAttributes.lastAccessed.on = true;
    // The inner date/time boxes as the page shows them.
    AttributePageState dateGroups = attribute;
    dateGroups.modifyDateTime = true;

    RenameSettings s = SettingsFromPages({}, alpha, extended, attribute);
    s = SettingsFromPages(std::move(s), sequence, allExtended, allAttributes);
    s = SettingsFromPages(std::move(s), text, allExtended, allAttributes);
    s = SettingsFromPages(std::move(s), rename, extended, dateGroups);
    return SettingsFromPages(std::move(s), rename, extended, attribute);
}

RenamePageEnabled EnabledControls(const RenamePageState& p) {
    RenamePageEnabled on;
    const bool text = p.textMode;
    on.textBoxes = text;
    on.prefix = text && p.addPrefix;
    on.suffix = text && p.addSuffix;
    on.caseOptions = text && p.changeCase;
    on.replaceFields = text && p.replaceString;
    on.sequenceChoices = !text;
    on.numericFields = !text && p.numericSequence;
    on.alphaFields = !text && !p.numericSequence;
    on.seqPrefix = !text && p.seqAddPrefix;
    on.seqSuffix = !text && p.seqAddSuffix;
    return on;
}

ExtendedPageEnabled EnabledControls(const ExtendedPageState& p) {
    return {p.changeExtension, p.concatExtension, !p.renameInPlace};
}

bool SourceListUsable(const ExtendedPageState& page) {
    return !page.includeSubfolders;
}

AttributePageEnabled EnabledControls(const AttributePageState& p) {
    AttributePageEnabled on;
    on.attributeBoxes = p.modifyAttributes;
    on.groupBoxes = p.modifyDateTime;
    on.pickers = {p.modifyDateTime && p.creation.on, p.modifyDateTime && p.modified.on,
                  p.modifyDateTime && p.lastAccessed.on};
    return on;
}

bool CdControlsUsable(const CdAudioPageState& page) {
    return page.renameCdAudio;
}

}  // namespace quorvan
