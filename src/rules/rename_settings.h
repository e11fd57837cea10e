#pragma once

#include <cstdint>
#include <string>

#include "common/local_time.h"
#include "rules/more_rules.h"

namespace quorvan {

// What the user set on the Rename, Extended and Attribute pages: a plain value,
// copied by a run at Start so that nothing the window does later reaches it.
// Fields are named after their settings-file keys.
struct RenameSettings {
    std::string SourcePath;
    bool TextMode = false;  // "TextSeqModifications": Text, else Seq
    bool AddPrefix = false;
    std::string Prefix;
    bool AddSuffix = false;
    std::string Suffix;
    bool CaseChange = false;
    int32_t UpperCase = 0;  // "Case": non-zero upper, zero lower
    bool ReplaceString = false;
    std::string SourceString;
    std::string DestString;
    bool NumericSequence = false;  // "NumericAlphaSequence"
    int32_t StartWith = 0;
    int32_t DigitCount = 0;
    std::string AlphaStartWith;  // "StartWith" of an alpha sequence
    bool ChangeExtension = false;
    std::string ChangeExtensionString;
    bool ConcatExtension = false;
    std::string ConcatExtensionString;
    bool IncludeSubFolders = false;
    bool LogFile = false;
    bool UndoBatchFile = false;
    bool RenameInPlace = false;
    std::string RenameDestFolder;
    bool ModifyAttributes = false;
    bool ModifyReadOnly = false;
    bool ModifyHidden = false;
    bool ModifySystem = false;
    bool ModifyArchive = false;
    bool ModifyDatesTimes = false;
    bool ModifyCreationDateTime = false;
    LocalDateTime CreationDate;
    LocalDateTime CreationTime;
    bool ModifyModDateTime = false;
    LocalDateTime ModDate;
    LocalDateTime ModTime;
    bool ModifyLastAccessedDateTime = false;
    LocalDateTime LastAccessedDate;
    LocalDateTime LastAccessedTime;
    int32_t SequencePlacement = 3;  // 0 prefix, 1 replace, 2 suffix, 3 none chosen
    // The More Rules page, applied after the rules above in both modes.
    MoreRuleSettings More;

    bool operator==(const RenameSettings&) const = default;
};

}  // namespace quorvan
