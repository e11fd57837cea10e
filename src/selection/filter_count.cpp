#include "selection/filter_count.h"

namespace quorvan {

FilterPassing CountFilterPassing(CFilterSettings& filter, const ISourceRows& rows, size_t limit) {
    FilterPassing passing;
    passing.on = filter.ReadFromPage();
    // No walk of a million rows on every tick while no filter is on.
    if (!passing.on) {
        return passing;
    }
    std::vector<size_t> ticked;
    for (size_t row = 0; row < rows.RowCount(); ++row) {
        if (rows.RowTicked(row)) {
            ticked.push_back(row);
        }
    }
    passing.ticked = ticked.size();
    if (ticked.size() > limit) {
        return passing;
    }
    for (size_t row : ticked) {
        const std::string path = rows.RowPath(row);
        if (!path.empty() && filter.Matches(path)) {
            ++passing.passing;
        }
    }
    passing.counted = true;
    return passing;
}

}  // namespace quorvan
