#pragma once

#include <vector>

#include "rules/rename_settings.h"
#include "selection/filter_rules.h"

namespace quorvan::test {

// Dates and times are in the form a file gives them back: a date at 01:00:00,
// a time of day on 1 January 1980.

// Settings with every switch on and every text set: one in text mode, one
// numeric and one alpha sequence, so that between them every settings-file
// line is written.
inline std::vector<RenameSettings> FullRenameSettings() {
    RenameSettings text;
    text.SourcePath = "/photos/2024";
    text.TextMode = true;
    text.AddPrefix = true;
    text.Prefix = "new_";
    text.AddSuffix = true;
    text.Suffix = "_v 2";
    text.CaseChange = true;
    text.UpperCase = 1;
    text.ReplaceString = true;
    text.SourceString = "IMG";
    text.DestString = "photo";
    text.ChangeExtension = true;
    text.ChangeExtensionString = "jpeg";
    text.ConcatExtension = true;
    text.ConcatExtensionString = ".bak";
    text.IncludeSubFolders = true;
    text.LogFile = true;
    text.UndoBatchFile = true;
    text.RenameInPlace = false;
    text.RenameDestFolder = "/backup/photos";
    text.ModifyAttributes = true;
    text.ModifyReadOnly = true;
    text.ModifyHidden = true;
    text.ModifySystem = true;
    text.ModifyArchive = true;
    text.ModifyDatesTimes = true;
    text.ModifyCreationDateTime = true;
    text.CreationDate = {2002, 12, 6, 1, 0, 0};
    text.CreationTime = {1980, 1, 1, 23, 7, 30};
    text.ModifyModDateTime = true;
    text.ModDate = {2010, 2, 28, 1, 0, 0};
    text.ModTime = {1980, 1, 1, 1, 2, 3};
    text.ModifyLastAccessedDateTime = true;
    text.LastAccessedDate = {1999, 12, 31, 1, 0, 0};
    text.LastAccessedTime = {1980, 1, 1, 12, 0, 0};

    RenameSettings numeric;
    numeric.SourcePath = "/music";
    numeric.TextMode = false;
    numeric.SequencePlacement = 2;
    numeric.NumericSequence = true;
    numeric.StartWith = -5;
    numeric.DigitCount = 3;
    numeric.AddPrefix = true;
    numeric.Prefix = "(";
    numeric.AddSuffix = true;
    numeric.Suffix = ")";
    numeric.RenameInPlace = true;

    RenameSettings alpha = numeric;
    alpha.NumericSequence = false;
    alpha.StartWith = 0;  // an alpha sequence has no numeric start line
    alpha.SequencePlacement = 1;
    alpha.AlphaStartWith = "ba";
    alpha.DigitCount = 2;
    // Every More Rules line, away from its default.
    MoreRuleSettings& m = numeric.More;
    m.RemoveChars = m.InsertText = m.RegexReplace = m.RegexIgnoreCase = true;
    m.RegexIncludeExtension = m.ReplaceBlanks = m.RemoveAccents = m.TransliterateAscii = true;
    m.TrimName = m.SequencePerFolder = m.UseTemplate = true;
    m.Template = "{taken:%Y}/{name} {{n}}";
    m.RemoveCount = 3;
    m.RemoveFrom = -4;
    m.InsertString = "ins";
    m.InsertAt = 7;
    m.RegexPattern = "(a)";
    m.RegexReplacement = "$1$1";
    m.ReplaceBlanksWith = "_";
    m.Form = UnicodeForm::Nfd;
    m.NameCase = NameCaseStyle::Invert;
    m.ExtensionCase = ExtensionCaseStyle::Lower;
    m.Order = SequenceOrder::Size;
    m.SequenceStep = -2;
    return {text, numeric, alpha};
}

// Filters with every group and rule on, in both attribute modes.
inline std::vector<FilterRules> FullFilterRules() {
    FilterRules on;
    on.FilterOnAttributes = true;
    on.AttributeMode = true;
    on.FilterOnHidden = true;
    on.FilterOnArchive = true;
    on.FilterOnTimes = true;
    on.FilterOnCreationDateTime = true;
    on.CreationDate = {2001, 5, 6, 1, 0, 0};
    on.CreationTime = {1980, 1, 1, 7, 8, 9};
    on.CreationComparison = TimeComparison::Before;
    on.FilterOnModDateTime = true;
    on.ModifiedDate = {2002, 6, 7, 1, 0, 0};
    on.ModifiedTime = {1980, 1, 1, 10, 11, 12};
    on.ModifiedComparison = TimeComparison::On;
    on.FilterOnLastAccessDateTime = true;
    on.LastAccessedDate = {2003, 7, 8, 1, 0, 0};
    on.LastAccessedTime = {1980, 1, 1, 13, 14, 15};
    on.LastAccessedComparison = TimeComparison::After;
    on.FilterOnExtension = true;
    on.FilterOnIncludeExtensions = true;
    on.FilterIncludeExtensions = "*.jpg;";
    on.FilterOnExcludeExtensions = true;
    on.FilterExcludeExtensions = "*.tmp;";

    FilterRules exclude = on;
    exclude.AttributeMode = false;
    exclude.FilterOnReadOnly = true;
    exclude.FilterOnSystem = true;
    return {on, exclude};
}

}  // namespace quorvan::test
