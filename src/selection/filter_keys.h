#pragma once

#include <span>
#include <string_view>

#include "rules/key_table.h"
#include "selection/filter_rules.h"

namespace quorvan {

// Every line of a filter file, in reading order.
std::span<const SettingsKey<FilterRules>> FilterFileKeys();

// Puts the filter into the store, each line under its condition.
void WriteFilterKeys(const FilterRules& rules, CSettingsStore& store);
// Takes the lines out of the store; a line the file lacks keeps its field.
// Returns the "HasFilters" flag (false when missing).
bool ReadFilterKeys(const CSettingsStore& store, FilterRules& rules);
// Whether a filter file has a line with this key.
bool IsFilterKey(std::string_view key);

}  // namespace quorvan
