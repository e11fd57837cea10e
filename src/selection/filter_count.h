#pragma once

#include <cstddef>

#include "selection/filter_settings.h"
#include "selection/source_scan.h"

namespace quorvan {

// What the filter does to the ticked files of the source list, as the next
// Preview or Start would find it.
struct FilterPassing {
    bool on = false;       // a group of the Filter page is switched on
    bool counted = false;  // `passing` was counted (not for very long lists)
    size_t ticked = 0;     // counted only while a group is on
    size_t passing = 0;
};

// Asking the system about every file costs about a second per million: lists
// longer than this are not counted while the user ticks.
inline constexpr size_t kMaxFilterCount = 100000;

// Reads the Filter page and, when a group is on, counts the ticked rows that
// pass (at most `limit` of them are looked at; more leave `counted` false).
FilterPassing CountFilterPassing(CFilterSettings& filter, const ISourceRows& rows,
                                 size_t limit = kMaxFilterCount);

}  // namespace quorvan
