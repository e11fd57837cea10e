#pragma once

#include <span>
#include <string_view>

#include "rules/key_table.h"
#include "rules/rename_settings.h"

namespace quorvan {

// The More Rules lines of a settings file. Each is written only when its value
// differs from the default (texts and numbers only under their ticked box),
// so a file without these rules is byte for byte what it was; a missing line
// reads as the default.
std::span<const SettingsKey<RenameSettings>> MoreRulesKeys();

// Whether `value` is one a More Rules line can hold (a known word, a step
// that is not 0); true for every other key.
bool IsValidMoreRulesValue(std::string_view key, std::string_view value);

}  // namespace quorvan
