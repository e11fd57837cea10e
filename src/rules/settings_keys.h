#pragma once

#include <span>
#include <string_view>

#include "rules/key_table.h"
#include "rules/rename_settings.h"

namespace quorvan {

// Every line of a settings (.qvr) file, in reading order.
std::span<const SettingsKey<RenameSettings>> SettingsFileKeys();

// Puts the settings into the store, each line under its condition.
void WriteSettingsKeys(const RenameSettings& settings, CSettingsStore& store);
// Takes the lines out of the store; a line the file lacks keeps its field.
// The page lines count only under a "TextSeqModifications" of Text or Seq.
void ReadSettingsKeys(const CSettingsStore& store, RenameSettings& settings);
// Whether a settings file has a line with this key.
bool IsSettingsKey(std::string_view key);

}  // namespace quorvan
