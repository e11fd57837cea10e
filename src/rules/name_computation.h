#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rules/rename_settings.h"

namespace quorvan {
class CMoreRulesProgram;
}

namespace quorvan {

// Width of a sequence whose digit or character count is 0.
inline constexpr int32_t kDefaultSequenceWidth = 8;

// The running state of a sequence through one plan computation.
struct SequenceState {
    int32_t counter = 0;
    int32_t digitCount = 0;  // grows when an alpha sequence needs more letters
    bool alphaLowerCase = false;
    int32_t step = 1;  // what the counter moves by per name
};

// The state before the first name: the start value, and for an alpha
// sequence the letter case its start text is written in. An empty alpha start
// keeps the case of the sequence before (`alphaLowerCase`).
SequenceState StartSequence(const RenameSettings& settings, bool alphaLowerCase = false);

// The new full path of `sourcePath` in `target`; empty when the rules give no
// name a file can have. With `cdFlag`, `target` holds the CD title on entry,
// which replaces the name before the rules apply (a "/" in it makes folders,
// as a name template's does). False when the rules put a "/" into the name:
// such a target would take the file to another folder.
bool ComputeName(const RenameSettings& settings, SequenceState& sequence,
                 std::string_view sourceRoot, std::string_view sourcePath, std::string& target,
                 bool cdFlag);
// The same with the More Rules made ready once for a whole plan.
bool ComputeName(const RenameSettings& settings, const CMoreRulesProgram& more,
                 SequenceState& sequence, std::string_view sourceRoot, std::string_view sourcePath,
                 std::string& target, bool cdFlag);

// Appends the folder, with its final "/", that ComputeName puts the new name
// of a file of `sourceFolder` in.
void AppendNameFolder(const RenameSettings& settings, std::string_view sourceRoot,
                      std::string_view sourceFolder, std::string& out);

// The steps of ComputeName on a bare file name.
void ApplyTextRules(const RenameSettings& settings, std::string& name);
void ApplySequenceRules(const RenameSettings& settings, SequenceState& sequence, std::string& name);
void ApplyExtensionRules(const RenameSettings& settings, std::string& name);
// The next sequence text; the counter moves on.
void NextNumericText(SequenceState& sequence, std::string& text);
void NextAlphaText(SequenceState& sequence, std::string& text);

}  // namespace quorvan
