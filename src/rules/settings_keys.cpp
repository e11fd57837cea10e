#include "rules/settings_keys.h"

#include <array>
#include <vector>

#include "common/text.h"
#include "rules/more_rules_keys.h"

namespace quorvan {

namespace {

using S = RenameSettings;
using Row = SettingsKey<S>;
using namespace keys;

bool InTextMode(const S& s) {
    return s.TextMode;
}
bool InSeqMode(const S& s) {
    return !s.TextMode;
}

// Rows read only under a known mode line.
constexpr Row InMode(Row row) {
    row.inSection = true;
    return row;
}

constexpr Row kMode{"TextSeqModifications",
                    ValueForm::Word,
                    nullptr,
                    [](CSettingsStore& st, const char* k, const S& s) {
                        st.SetValue(k, s.TextMode ? "Text" : "Seq");
                    },
                    [](const CSettingsStore& st, const char* k, S& s) {
                        std::string mode;
                        st.GetValue(k, mode);
                        if (EqualsIgnoreCase(mode, "Text")) {
                            s.TextMode = true;
                        } else if (mode == "Seq") {
                            s.TextMode = false;
                        } else {
                            return false;
                        }
                        return true;
                    },
                    true};

constexpr Row kCase{"Case", ValueForm::Word, [](const S& s) { return s.TextMode && s.CaseChange; },
                    [](CSettingsStore& st, const char* k, const S& s) {
                        st.SetValue(k, s.UpperCase != 0 ? "Upper" : "Lower");
                    },
                    [](const CSettingsStore& st, const char* k, S& s) {
                        std::string word;
                        if (!st.GetValue(k, word)) {
                            return false;
                        }
                        s.UpperCase = EqualsIgnoreCase(word, "Upper") ? 1 : 0;
                        return true;
                    }};

constexpr const char* kPlacementWords[] = {"Prefix", "Replace", "Suffix"};

constexpr Row kPlacement{"SequencePlacement", ValueForm::Word, InSeqMode,
                         [](CSettingsStore& st, const char* k, const S& s) {
                             // "none chosen" has no word and no line.
                             if (s.SequencePlacement >= 0 && s.SequencePlacement <= 2) {
                                 st.SetValue(k, kPlacementWords[s.SequencePlacement]);
                             }
                         },
                         [](const CSettingsStore& st, const char* k, S& s) {
                             std::string word;
                             st.GetValue(k, word);
                             for (int32_t i = 0; i < 3; ++i) {
                                 if (EqualsIgnoreCase(word, kPlacementWords[i])) {
                                     s.SequencePlacement = i;
                                     return true;
                                 }
                             }
                             return false;
                         }};

constexpr Row kSequenceKind{"NumericAlphaSequence", ValueForm::Word, InSeqMode,
                            [](CSettingsStore& st, const char* k, const S& s) {
                                st.SetValue(k, s.NumericSequence ? "Num" : "Alpha");
                            },
                            [](const CSettingsStore& st, const char* k, S& s) {
                                std::string word;
                                if (!st.GetValue(k, word)) {
                                    return false;
                                }
                                s.NumericSequence = EqualsIgnoreCase(word, "Num");
                                return true;
                            }};

const std::array kRows{
    Text<&S::SourcePath>("SourcePath"),
    kMode,
    InMode(Flag<&S::AddPrefix>("AddPrefix")),
    InMode(Text<&S::Prefix>("Prefix", [](const S& s) { return s.AddPrefix; })),
    InMode(Flag<&S::AddSuffix>("AddSuffix")),
    InMode(Text<&S::Suffix>("Suffix", [](const S& s) { return s.AddSuffix; })),
    InMode(Flag<&S::CaseChange>("CaseChange", InTextMode)),
    InMode(kCase),
    InMode(Flag<&S::ReplaceString>("ReplaceString", InTextMode)),
    InMode(Text<&S::SourceString>("SourceString",
                                  [](const S& s) { return s.TextMode && s.ReplaceString; })),
    InMode(Text<&S::DestString>("DestString",
                                [](const S& s) { return s.TextMode && s.ReplaceString; })),
    InMode(kPlacement),
    InMode(kSequenceKind),
    // One key, two fields: the start of a numeric or of an alpha sequence.
    InMode(Number<&S::StartWith>("StartWith",
                                 [](const S& s) { return !s.TextMode && s.NumericSequence; })),
    InMode(Text<&S::AlphaStartWith>("StartWith",
                                    [](const S& s) { return !s.TextMode && !s.NumericSequence; })),
    InMode(Number<&S::DigitCount>("DigitCount", InSeqMode)),
    Flag<&S::ChangeExtension>("ChangeExtension"),
    Text<&S::ChangeExtensionString>("ChangeExtensionString",
                                    [](const S& s) { return s.ChangeExtension; }),
    Flag<&S::ConcatExtension>("ConcatExtension"),
    Text<&S::ConcatExtensionString>("ConcatExtensionString",
                                    [](const S& s) { return s.ConcatExtension; }),
    Flag<&S::IncludeSubFolders>("IncludeSubFolders"),
    Flag<&S::LogFile>("LogFile"),
    Flag<&S::UndoBatchFile>("UndoBatchFile"),
    Flag<&S::RenameInPlace>("RenameInPlace"),
    Text<&S::RenameDestFolder>("RenameDestFolder", [](const S& s) { return !s.RenameInPlace; }),
    Flag<&S::ModifyAttributes>("ModifyAttributes"),
    Flag<&S::ModifyReadOnly>("ModifyReadOnly", [](const S& s) { return s.ModifyAttributes; }),
    Flag<&S::ModifyHidden>("ModifyHidden", [](const S& s) { return s.ModifyAttributes; }),
    Flag<&S::ModifySystem>("ModifySystem", [](const S& s) { return s.ModifyAttributes; }),
    Flag<&S::ModifyArchive>("ModifyArchive", [](const S& s) { return s.ModifyAttributes; }),
    Flag<&S::ModifyDatesTimes>("ModifyDatesTimes"),
    Flag<&S::ModifyCreationDateTime>("ModifyCreationDateTime",
                                     [](const S& s) { return s.ModifyDatesTimes; }),
    Date<&S::CreationDate>(
        "ModifyCreationDate",
        [](const S& s) { return s.ModifyDatesTimes && s.ModifyCreationDateTime; }),
    Time<&S::CreationTime>(
        "ModifyCreationTime",
        [](const S& s) { return s.ModifyDatesTimes && s.ModifyCreationDateTime; }),
    Flag<&S::ModifyModDateTime>("ModifyModDateTime", [](const S& s) { return s.ModifyDatesTimes; }),
    Date<&S::ModDate>("ModifyModDate",
                      [](const S& s) { return s.ModifyDatesTimes && s.ModifyModDateTime; }),
    Time<&S::ModTime>("ModifyModTime",
                      [](const S& s) { return s.ModifyDatesTimes && s.ModifyModDateTime; }),
    Flag<&S::ModifyLastAccessedDateTime>("ModifyLastAccessedDateTime",
                                         [](const S& s) { return s.ModifyDatesTimes; }),
    Date<&S::LastAccessedDate>(
        "ModifyLastAccessedDate",
        [](const S& s) { return s.ModifyDatesTimes && s.ModifyLastAccessedDateTime; }),
    Time<&S::LastAccessedTime>(
        "ModifyLastAccessedTime",
        [](const S& s) { return s.ModifyDatesTimes && s.ModifyLastAccessedDateTime; }),
};

}  // namespace

std::span<const SettingsKey<RenameSettings>> SettingsFileKeys() {
    // The More Rules lines come last: none of the lines above depends on them.
    static const std::vector<Row> rows = [] {
        std::vector<Row> all(kRows.begin(), kRows.end());
        std::span<const Row> more = MoreRulesKeys();
        all.insert(all.end(), more.begin(), more.end());
        return all;
    }();
    return rows;
}

void WriteSettingsKeys(const RenameSettings& settings, CSettingsStore& store) {
    WriteKeys(SettingsFileKeys(), settings, store);
}

void ReadSettingsKeys(const CSettingsStore& store, RenameSettings& settings) {
    ReadKeys(SettingsFileKeys(), store, settings);
}

bool IsSettingsKey(std::string_view key) {
    return TableHasKey(SettingsFileKeys(), key);
}

}  // namespace quorvan
