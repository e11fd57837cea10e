#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rules/more_rules.h"

namespace quorvan {

// What the numbering orders by time or size read of a source.
struct SourceFacts {
    int64_t modified = 0;  // seconds since the epoch
    int64_t size = 0;
    // When a photo was taken, as YYYYMMDDhhmmss; kNotTaken for none.
    int64_t taken = kNotTaken;
    static constexpr int64_t kNotTaken = INT64_MAX;
};
using SourceFactsReader = std::function<SourceFacts(const std::string& path)>;
// The file's own status (a link's target); a file that cannot be read gives zeros.
SourceFacts ReadSourceFacts(const std::string& path);
// The same and the date the photo was taken, from the program's metadata cache.
SourceFacts ReadSourceFactsAndTaken(const std::string& path);

// Natural order: runs of digits compare by their value (page2 before page10),
// other characters with their case folded; names equal so compare byte-wise.
bool NaturalLess(std::string_view a, std::string_view b);

// The positions of `sources` (in plan order) in the order their sequence
// numbers go, grouped by folder first when numbering restarts per folder.
// Ties keep plan order; files without a date taken come after the others.
// Without `facts`, the files themselves are read (their dates taken on every
// core, first).
std::vector<size_t> NumberingOrder(const std::vector<std::pair<std::string, std::string>>& sources,
                                   const MoreRuleSettings& settings,
                                   const SourceFactsReader& facts = {});

}  // namespace quorvan
