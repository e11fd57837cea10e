#include "selection/filter_keys.h"

#include <array>

#include "common/text.h"

namespace quorvan {

namespace {

using F = FilterRules;
using Row = SettingsKey<F>;
using namespace keys;

constexpr const char* kDirectionWords[] = {"Before", "On", "After"};

bool Attributes(const F& f) {
    return f.FilterOnAttributes;
}
bool Times(const F& f) {
    return f.FilterOnTimes;
}
bool Extensions(const F& f) {
    return f.FilterOnExtension;
}

// The direction of a time rule. Its line is written only when a direction was
// chosen, so a file that turns the rule on (the `OnKey` line) without one had
// none; a file without either line keeps the direction as it was.
template <TimeComparison F::*Field, const char* OnKey>
constexpr Row Direction(const char* key, bool (*when)(const F&)) {
    return {key, ValueForm::Word, when,
            [](CSettingsStore& st, const char* k, const F& f) {
                if (IsDirection(f.*Field)) {
                    st.SetValue(k, kDirectionWords[static_cast<int32_t>(f.*Field)]);
                }
            },
            [](const CSettingsStore& st, const char* k, F& f) {
                std::string word;
                std::string on;
                if (!st.GetValue(k, word) && !st.GetValue(OnKey, on)) {
                    return false;
                }
                f.*Field = TimeComparison::None;
                for (int32_t i = 0; i < 3; ++i) {
                    if (EqualsIgnoreCase(word, kDirectionWords[i])) {
                        f.*Field = static_cast<TimeComparison>(i);
                    }
                }
                return true;
            }};
}

constexpr char kCreationOn[] = "FilterOnCreationDateTime";
constexpr char kModifiedOn[] = "FilterOnModDateTime";
constexpr char kLastAccessedOn[] = "FilterOnLastAccessDateTime";

constexpr Row kHasFilters{
    "HasFilters", ValueForm::Flag, nullptr,
    [](CSettingsStore& st, const char* k, const F& f) { st.SetFlag(k, f.AnyGroupOn()); },
    // Read by ReadFilterKeys itself: it is no field of its own.
    [](const CSettingsStore&, const char*, F&) { return true; }};

constexpr Row kAttributeMode{"FilterAttribsIncludeExclude", ValueForm::Word, Attributes,
                             [](CSettingsStore& st, const char* k, const F& f) {
                                 st.SetValue(k, f.AttributeMode ? "Include" : "Exclude");
                             },
                             [](const CSettingsStore& st, const char* k, F& f) {
                                 std::string mode;
                                 st.GetValue(k, mode);
                                 if (EqualsIgnoreCase(mode, "Include")) {
                                     f.AttributeMode = true;
                                 } else if (EqualsIgnoreCase(mode, "Exclude")) {
                                     f.AttributeMode = false;
                                 } else {
                                     return false;
                                 }
                                 return true;
                             }};

const std::array kRows{
    kHasFilters,
    Flag<&F::FilterOnAttributes>("FilterOnAttributes"),
    kAttributeMode,
    Flag<&F::FilterOnReadOnly>("FilterOnReadOnly", Attributes),
    Flag<&F::FilterOnHidden>("FilterOnHidden", Attributes),
    Flag<&F::FilterOnSystem>("FilterOnSystem", Attributes),
    Flag<&F::FilterOnArchive>("FilterOnArchive", Attributes),
    Flag<&F::FilterOnTimes>("FilterOnTimes"),
    Flag<&F::FilterOnCreationDateTime>(kCreationOn, Times),
    Date<&F::CreationDate>(
        "FilterOnCreationDate",
        [](const F& f) { return f.FilterOnTimes && f.FilterOnCreationDateTime; }),
    Time<&F::CreationTime>(
        "FilterOnCreationTime",
        [](const F& f) { return f.FilterOnTimes && f.FilterOnCreationDateTime; }),
    Direction<&F::CreationComparison, kCreationOn>(
        "FilterOnCreationDateTimeDir",
        [](const F& f) { return f.FilterOnTimes && f.FilterOnCreationDateTime; }),
    Flag<&F::FilterOnModDateTime>(kModifiedOn, Times),
    Date<&F::ModifiedDate>("FilterOnModifiedDate",
                           [](const F& f) { return f.FilterOnTimes && f.FilterOnModDateTime; }),
    Time<&F::ModifiedTime>("FilterOnModifiedTime",
                           [](const F& f) { return f.FilterOnTimes && f.FilterOnModDateTime; }),
    Direction<&F::ModifiedComparison, kModifiedOn>(
        "FilterOnModifiedDateTimeDir",
        [](const F& f) { return f.FilterOnTimes && f.FilterOnModDateTime; }),
    Flag<&F::FilterOnLastAccessDateTime>(kLastAccessedOn, Times),
    Date<&F::LastAccessedDate>(
        "FilterOnLastAccessedDate",
        [](const F& f) { return f.FilterOnTimes && f.FilterOnLastAccessDateTime; }),
    Time<&F::LastAccessedTime>(
        "FilterOnLastAccessedTime",
        [](const F& f) { return f.FilterOnTimes && f.FilterOnLastAccessDateTime; }),
    Direction<&F::LastAccessedComparison, kLastAccessedOn>(
        "FilterOnLastAccessedDateTimeDir",
        [](const F& f) { return f.FilterOnTimes && f.FilterOnLastAccessDateTime; }),
    Flag<&F::FilterOnExtension>("FilterOnExtension"),
    Flag<&F::FilterOnIncludeExtensions>("FilterOnIncludeExtensions", Extensions),
    Text<&F::FilterIncludeExtensions>(
        "FilterIncludeExtensions",
        [](const F& f) { return f.FilterOnExtension && f.FilterOnIncludeExtensions; }),
    Flag<&F::FilterOnExcludeExtensions>("FilterOnExcludeExtensions", Extensions),
    Text<&F::FilterExcludeExtensions>(
        "FilterExcludeExtensions",
        [](const F& f) { return f.FilterOnExtension && f.FilterOnExcludeExtensions; }),
};

}  // namespace

std::span<const SettingsKey<FilterRules>> FilterFileKeys() {
    return kRows;
}

void WriteFilterKeys(const FilterRules& rules, CSettingsStore& store) {
    WriteKeys(FilterFileKeys(), rules, store);
}

bool ReadFilterKeys(const CSettingsStore& store, FilterRules& rules) {
    ReadKeys(FilterFileKeys(), store, rules);
    bool hasFilters = false;
    store.GetFlag("HasFilters", hasFilters);
    return hasFilters;
}

bool IsFilterKey(std::string_view key) {
    return TableHasKey(FilterFileKeys(), key);
}

}  // namespace quorvan
