#include "selection/filter_count.h"

namespace quorvan {

FilterPassing CountFilterPassing(CFilterSettings& filter, const ISourceRows& rows, size_t limit) {
    FilterPassing passing;
    passing.on = filter.ReadFromPage();
    std::vector<size_t> ticked;
    for (size_t row = 0; row < rows.RowCount(); ++row) {
        if (rows.RowTicked(row)) {
            ticked.push_back(row);
        }
    }
    passing.ticked = ticked.size();
    if (!passing.on || ticked.size() > limit) {
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
