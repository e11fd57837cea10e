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

// Whether a value the line's form takes (TakesValue) is one the More Rules can
// use too: a step that is not 0; true for every other key.
bool IsValidMoreRulesValue(std::string_view key, std::string_view value);

}  // namespace quorvan
