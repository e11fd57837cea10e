#pragma once

#include <cstdint>
#include <string>

#include "common/local_time.h"

namespace quorvan {

// Direction of a time rule. The page reports -1 for an empty drop-down; every
// value other than Before, On and After lets every file pass.
enum class TimeComparison : int32_t { Before = 0, On = 1, After = 2, None = 3 };

inline bool IsDirection(TimeComparison comparison) {
    const auto value = static_cast<int32_t>(comparison);
    return value >= 0 && value <= 2;
}

// What the user set on the Filter page: a plain value. Fields are named after
// their filter-file keys.
struct FilterRules {
    bool FilterOnAttributes = false;
    bool FilterOnReadOnly = false;
    bool FilterOnHidden = false;
    bool FilterOnSystem = false;
    bool FilterOnArchive = false;
    bool FilterOnTimes = false;
    bool FilterOnCreationDateTime = false;
    LocalDateTime CreationDate;
    LocalDateTime CreationTime;
    bool FilterOnModDateTime = false;
    LocalDateTime ModifiedDate;
    LocalDateTime ModifiedTime;
    bool FilterOnLastAccessDateTime = false;
    LocalDateTime LastAccessedDate;
    LocalDateTime LastAccessedTime;
    bool FilterOnExtension = false;
    bool FilterOnIncludeExtensions = false;
    std::string FilterIncludeExtensions;
    bool FilterOnExcludeExtensions = false;
    std::string FilterExcludeExtensions;
    TimeComparison CreationComparison = TimeComparison::None;
    TimeComparison ModifiedComparison = TimeComparison::None;
    TimeComparison LastAccessedComparison = TimeComparison::None;
    // true: only files with exactly the chosen attribute set pass; false: files
    // with exactly that set fail.
    bool AttributeMode = false;

    // True when any of the three groups is on ("HasFilters").
    bool AnyGroupOn() const { return FilterOnAttributes || FilterOnTimes || FilterOnExtension; }

    bool operator==(const FilterRules&) const = default;
};

}  // namespace quorvan
