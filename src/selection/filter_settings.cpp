#include "selection/filter_settings.h"

#include "common/path.h"
#include "common/text.h"
#include "platform/file_system.h"
#include "rules/control_ids.h"

namespace quorvan {

namespace {

// The controls of one time rule on the Filter page.
struct TimeRuleControls {
    int box;
    int date;
    int time;
    int direction;
};

constexpr TimeRuleControls kCreationControls{ids::kFilterCreation, ids::kFilterCreationDate,
                                             ids::kFilterCreationTime, ids::kFilterCreationDir};
constexpr TimeRuleControls kModifiedControls{ids::kFilterModified, ids::kFilterModifiedDate,
                                             ids::kFilterModifiedTime, ids::kFilterModifiedDir};
constexpr TimeRuleControls kLastAccessedControls{
    ids::kFilterLastAccessed, ids::kFilterLastAccessedDate, ids::kFilterLastAccessedTime,
    ids::kFilterLastAccessedDir};

// The filter-file keys of one time rule.
struct TimeRuleKeys {
    const char* on;
    const char* date;
    const char* time;
    const char* direction;
};

constexpr TimeRuleKeys kCreationKeys{"FilterOnCreationDateTime", "FilterOnCreationDate",
                                     "FilterOnCreationTime", "FilterOnCreationDateTimeDir"};
constexpr TimeRuleKeys kModifiedKeys{"FilterOnModDateTime", "FilterOnModifiedDate",
                                     "FilterOnModifiedTime", "FilterOnModifiedDateTimeDir"};
constexpr TimeRuleKeys kLastAccessedKeys{"FilterOnLastAccessDateTime", "FilterOnLastAccessedDate",
                                         "FilterOnLastAccessedTime",
                                         "FilterOnLastAccessedDateTimeDir"};

const char* const kDirectionWords[] = {"Before", "On", "After"};

bool IsDirection(TimeComparison comparison) {
    auto value = static_cast<int32_t>(comparison);
    return value >= 0 && value <= 2;
}

void ReadTimeRule(const CPageControls& page, const TimeRuleControls& controls, bool& on,
                  LocalDateTime& date, LocalDateTime& time, TimeComparison& comparison) {
    on = page.IsChecked(controls.box);
    if (on) {
        date = page.DateTime(controls.date);
        time = page.DateTime(controls.time);
        comparison = static_cast<TimeComparison>(page.Selection(controls.direction));
    }
}

// Rebuilds a pattern list from the ticked rows, reusing the text's buffer: the
// page is read before every single evaluation.
void ReadPatternList(const CPageControls& page, int listId, std::string& list) {
    list.clear();
    int rows = page.RowCount(listId);
    for (int row = 0; row < rows; ++row) {
        if (page.IsRowChecked(listId, row)) {
            list += page.RowText(listId, row);
            list += ';';
        }
    }
}

void ApplyTimeRule(CPageControls& page, const TimeRuleControls& controls, bool on,
                   const LocalDateTime& date, const LocalDateTime& time,
                   TimeComparison comparison) {
    page.SetChecked(controls.box, on);
    if (!on) {
        return;
    }
    page.SetEnabled(controls.date, true);
    page.SetEnabled(controls.time, true);
    page.SetDateTime(controls.date, date);
    page.SetDateTime(controls.time, time);
    page.SetEnabled(controls.direction, true);
    page.SetSelection(controls.direction,
                      IsDirection(comparison) ? static_cast<int>(comparison) : -1);
}

// Ticks every row whose text equals one of the list's patterns. Only
// ";"-terminated patterns are entries, as for ListContains: text after the
// last ";" of a hand-edited list is none.
void CheckListedRows(CPageControls& page, int listId, std::string_view list) {
    int rows = page.RowCount(listId);
    for (size_t end = list.find(';'); end != std::string_view::npos; end = list.find(';')) {
        std::string_view pattern = list.substr(0, end);
        list.remove_prefix(end + 1);
        if (pattern.empty()) {
            continue;
        }
        for (int row = 0; row < rows; ++row) {
            if (EqualsIgnoreCase(page.RowText(listId, row), pattern)) {
                page.SetRowChecked(listId, row, true);
            }
        }
    }
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive equality without allocating for the usual ASCII patterns.
bool PatternEquals(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size()) {
            return false;
        }
        for (size_t i = 0; i < a.size(); ++i) {
            if (AsciiLower(a[i]) != AsciiLower(b[i])) {
                return false;
            }
        }
        return true;
    }
    return EqualsIgnoreCase(a, b);
}

void WriteTimeRule(CSettingsStore& store, const TimeRuleKeys& keys, bool on,
                   const LocalDateTime& date, const LocalDateTime& time,
                   TimeComparison comparison) {
    store.SetFlag(keys.on, on);
    if (!on) {
        return;
    }
    store.SetDate(keys.date, date);
    store.SetTime(keys.time, time);
    if (IsDirection(comparison)) {
        store.SetValue(keys.direction, kDirectionWords[static_cast<int32_t>(comparison)]);
    }
}

void ReadTimeRuleKeys(const CSettingsStore& store, const TimeRuleKeys& keys, bool& on,
                      LocalDateTime& date, LocalDateTime& time, TimeComparison& comparison) {
    bool onGiven = store.GetFlag(keys.on, on);
    if (!on) {
        return;
    }
    store.GetDate(keys.date, date);
    store.GetTime(keys.time, time);
    // The direction line is written only when a direction was chosen, so a
    // file that turns the rule on without one had none.
    std::string word;
    if (!store.GetValue(keys.direction, word) && !onGiven) {
        return;
    }
    comparison = TimeComparison::None;
    for (int32_t i = 0; i < 3; ++i) {
        if (EqualsIgnoreCase(word, kDirectionWords[i])) {
            comparison = static_cast<TimeComparison>(i);
        }
    }
}

}  // namespace

bool CFilterSettings::ReadFromPage() {
    if (page_ == nullptr) {
        return AnyGroupOn();
    }
    const CPageControls& page = *page_;

    FilterOnAttributes = page.IsChecked(ids::kFilterOnAttributes);
    if (FilterOnAttributes) {
        AttributeMode = page.IsChecked(ids::kFilterInclude);
        FilterOnReadOnly = page.IsChecked(ids::kFilterReadOnly);
        FilterOnHidden = page.IsChecked(ids::kFilterHidden);
        FilterOnSystem = page.IsChecked(ids::kFilterSystem);
        FilterOnArchive = page.IsChecked(ids::kFilterArchive);
    }

    FilterOnTimes = page.IsChecked(ids::kFilterOnTimes);
    if (FilterOnTimes) {
        ReadTimeRule(page, kCreationControls, FilterOnCreationDateTime, CreationDate, CreationTime,
                     CreationComparison);
        ReadTimeRule(page, kModifiedControls, FilterOnModDateTime, ModifiedDate, ModifiedTime,
                     ModifiedComparison);
        ReadTimeRule(page, kLastAccessedControls, FilterOnLastAccessDateTime, LastAccessedDate,
                     LastAccessedTime, LastAccessedComparison);
    }

    FilterOnExtension = page.IsChecked(ids::kFilterOnExtensions);
    if (FilterOnExtension) {
        FilterOnIncludeExtensions = page.IsChecked(ids::kFilterIncludeExtensions);
        if (FilterOnIncludeExtensions) {
            ReadPatternList(page, ids::kFilterIncludeList, FilterIncludeExtensions);
        }
        FilterOnExcludeExtensions = page.IsChecked(ids::kFilterExcludeExtensions);
        if (FilterOnExcludeExtensions) {
            ReadPatternList(page, ids::kFilterExcludeList, FilterExcludeExtensions);
        }
    }
    return AnyGroupOn();
}

bool CFilterSettings::Matches(const std::string& path) {
    // The page is read first so that the status query fetches only what the
    // switched-on rules look at; with every group off only existence counts.
    ReadFromPage();
    bool timeRules = FilterOnTimes && (FilterOnCreationDateTime || FilterOnModDateTime ||
                                       FilterOnLastAccessDateTime);
    unsigned parts = kStatusExists;
    if (FilterOnAttributes) {
        parts |= kStatusAttributes;
    }
    if (timeRules) {
        parts |= kStatusTimes;
    }
    FileStatus status;
    if (!GetFileStatus(path, status, parts)) {
        return false;
    }

    if (FilterOnAttributes) {
        uint8_t wanted = (FilterOnReadOnly ? kAttrReadOnly : 0) |
                         (FilterOnHidden ? kAttrHidden : 0) | (FilterOnSystem ? kAttrSystem : 0) |
                         (FilterOnArchive ? kAttrArchive : 0);
        bool same = wanted == status.attributes;
        if (AttributeMode ? !same : same) {
            return false;
        }
    }

    if (timeRules) {
        if (FilterOnCreationDateTime &&
            !CompareTimeCached(status.creationTime, CreationDate, CreationTime, CreationComparison,
                               creationBound_)) {
            return false;
        }
        if (FilterOnModDateTime &&
            !CompareTimeCached(status.modificationTime, ModifiedDate, ModifiedTime,
                               ModifiedComparison, modifiedBound_)) {
            return false;
        }
        if (FilterOnLastAccessDateTime &&
            !CompareTimeCached(status.lastAccessTime, LastAccessedDate, LastAccessedTime,
                               LastAccessedComparison, lastAccessedBound_)) {
            return false;
        }
    }

    if (FilterOnExtension) {
        std::string pattern = PatternOf(path);
        if (FilterOnIncludeExtensions && !ListContains(pattern, FilterIncludeExtensions)) {
            return false;
        }
        if (FilterOnExcludeExtensions && ListContains(pattern, FilterExcludeExtensions)) {
            return false;
        }
    }
    return true;
}

bool CFilterSettings::CompareTime(int64_t fileTime, const LocalDateTime& date,
                                  const LocalDateTime& time, TimeComparison comparison) {
    TimeBound bound;
    return CompareTimeCached(fileTime, date, time, comparison, bound);
}

bool CFilterSettings::CompareTimeCached(int64_t fileTime, const LocalDateTime& date,
                                        const LocalDateTime& time, TimeComparison comparison,
                                        TimeBound& bound) {
    if (!IsDirection(comparison)) {
        return true;
    }
    if (!bound.valid || !(bound.date == date) || !(bound.time == time)) {
        bound.date = date;
        bound.time = time;
        bound.seconds = CombineDateAndTime(date, time);
        bound.valid = true;
    }
    switch (comparison) {
        case TimeComparison::Before:
            return fileTime < bound.seconds;
        case TimeComparison::On:
            return fileTime == bound.seconds;
        case TimeComparison::After:
            return fileTime > bound.seconds;
        default:
            return true;
    }
}

bool CFilterSettings::ListContains(std::string_view pattern, std::string_view list) {
    for (size_t end = list.find(';'); end != std::string_view::npos; end = list.find(';')) {
        if (PatternEquals(list.substr(0, end), pattern)) {
            return true;
        }
        list.remove_prefix(end + 1);
    }
    return false;
}

std::string CFilterSettings::PatternOf(std::string_view path) {
    size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string pattern = "*";
    pattern += ExtensionOf(name);
    return pattern;
}

void CFilterSettings::ApplyToPage() {
    if (page_ == nullptr) {
        return;
    }
    CPageControls& page = *page_;

    page.ClearRows(ids::kFilterIncludeList);
    page.ClearRows(ids::kFilterExcludeList);
    for (int id : {ids::kFilterInclude,
                   ids::kFilterExclude,
                   ids::kFilterReadOnly,
                   ids::kFilterHidden,
                   ids::kFilterSystem,
                   ids::kFilterArchive,
                   ids::kFilterCreation,
                   ids::kFilterModified,
                   ids::kFilterLastAccessed,
                   ids::kFilterCreationDate,
                   ids::kFilterCreationTime,
                   ids::kFilterModifiedDate,
                   ids::kFilterModifiedTime,
                   ids::kFilterLastAccessedDate,
                   ids::kFilterLastAccessedTime,
                   ids::kFilterCreationDir,
                   ids::kFilterModifiedDir,
                   ids::kFilterLastAccessedDir,
                   ids::kFilterIncludeExtensions,
                   ids::kFilterExcludeExtensions,
                   ids::kFilterIncludeList,
                   ids::kFilterExcludeList}) {
        page.SetEnabled(id, false);
    }

    page.SetChecked(ids::kFilterOnAttributes, FilterOnAttributes);
    if (FilterOnAttributes) {
        page.SetEnabled(ids::kFilterInclude, true);
        page.SetEnabled(ids::kFilterExclude, true);
        page.SetChecked(ids::kFilterInclude, AttributeMode);
        page.SetChecked(ids::kFilterExclude, !AttributeMode);
        const std::pair<int, bool> boxes[] = {{ids::kFilterReadOnly, FilterOnReadOnly},
                                              {ids::kFilterHidden, FilterOnHidden},
                                              {ids::kFilterSystem, FilterOnSystem},
                                              {ids::kFilterArchive, FilterOnArchive}};
        for (const auto& [id, ticked] : boxes) {
            page.SetEnabled(id, true);
            page.SetChecked(id, ticked);
        }
    }

    page.SetChecked(ids::kFilterOnTimes, FilterOnTimes);
    if (FilterOnTimes) {
        page.SetEnabled(ids::kFilterCreation, true);
        page.SetEnabled(ids::kFilterModified, true);
        page.SetEnabled(ids::kFilterLastAccessed, true);
        ApplyTimeRule(page, kCreationControls, FilterOnCreationDateTime, CreationDate, CreationTime,
                      CreationComparison);
        ApplyTimeRule(page, kModifiedControls, FilterOnModDateTime, ModifiedDate, ModifiedTime,
                      ModifiedComparison);
        ApplyTimeRule(page, kLastAccessedControls, FilterOnLastAccessDateTime, LastAccessedDate,
                      LastAccessedTime, LastAccessedComparison);
    }

    page.SetChecked(ids::kFilterOnExtensions, FilterOnExtension);
    if (FilterOnExtension) {
        page.SetEnabled(ids::kFilterIncludeExtensions, true);
        page.SetEnabled(ids::kFilterExcludeExtensions, true);
        page.SetChecked(ids::kFilterIncludeExtensions, FilterOnIncludeExtensions);
        page.SetEnabled(ids::kFilterIncludeList, FilterOnIncludeExtensions);
        page.SetChecked(ids::kFilterExcludeExtensions, FilterOnExcludeExtensions);
        page.SetEnabled(ids::kFilterExcludeList, FilterOnExcludeExtensions);
    }
}

void CFilterSettings::ApplyExtensionChecks() {
    if (page_ == nullptr) {
        return;
    }
    CheckListedRows(*page_, ids::kFilterIncludeList, FilterIncludeExtensions);
    CheckListedRows(*page_, ids::kFilterExcludeList, FilterExcludeExtensions);
}

bool CFilterSettings::SaveSettings(const std::string& settingsPath) {
    store_.Clear();
    ReadFromPage();
    WriteFilterKeys();
    return store_.WriteToFile(FilterFilePath(settingsPath));
}

bool CFilterSettings::LoadSettings(const std::string& settingsPath) {
    store_.Clear();
    if (!store_.ReadFromFile(FilterFilePath(settingsPath))) {
        return false;
    }
    if (ReadFilterKeys()) {
        ApplyToPage();
    }
    return true;
}

void CFilterSettings::WriteFilterKeys() {
    store_.SetFlag("HasFilters", AnyGroupOn());

    store_.SetFlag("FilterOnAttributes", FilterOnAttributes);
    if (FilterOnAttributes) {
        store_.SetValue("FilterAttribsIncludeExclude", AttributeMode ? "Include" : "Exclude");
        store_.SetFlag("FilterOnReadOnly", FilterOnReadOnly);
        store_.SetFlag("FilterOnHidden", FilterOnHidden);
        store_.SetFlag("FilterOnSystem", FilterOnSystem);
        store_.SetFlag("FilterOnArchive", FilterOnArchive);
    }

    store_.SetFlag("FilterOnTimes", FilterOnTimes);
    if (FilterOnTimes) {
        WriteTimeRule(store_, kCreationKeys, FilterOnCreationDateTime, CreationDate, CreationTime,
                      CreationComparison);
        WriteTimeRule(store_, kModifiedKeys, FilterOnModDateTime, ModifiedDate, ModifiedTime,
                      ModifiedComparison);
        WriteTimeRule(store_, kLastAccessedKeys, FilterOnLastAccessDateTime, LastAccessedDate,
                      LastAccessedTime, LastAccessedComparison);
    }

    store_.SetFlag("FilterOnExtension", FilterOnExtension);
    if (FilterOnExtension) {
        store_.SetFlag("FilterOnIncludeExtensions", FilterOnIncludeExtensions);
        if (FilterOnIncludeExtensions) {
            store_.SetValue("FilterIncludeExtensions", FilterIncludeExtensions);
        }
        store_.SetFlag("FilterOnExcludeExtensions", FilterOnExcludeExtensions);
        if (FilterOnExcludeExtensions) {
            store_.SetValue("FilterExcludeExtensions", FilterExcludeExtensions);
        }
    }
}

bool CFilterSettings::ReadFilterKeys() {
    bool hasFilters = false;
    store_.GetFlag("HasFilters", hasFilters);

    store_.GetFlag("FilterOnAttributes", FilterOnAttributes);
    if (FilterOnAttributes) {
        std::string mode;
        if (store_.GetValue("FilterAttribsIncludeExclude", mode)) {
            if (EqualsIgnoreCase(mode, "Include")) {
                AttributeMode = true;
            } else if (EqualsIgnoreCase(mode, "Exclude")) {
                AttributeMode = false;
            }
        }
        store_.GetFlag("FilterOnReadOnly", FilterOnReadOnly);
        store_.GetFlag("FilterOnHidden", FilterOnHidden);
        store_.GetFlag("FilterOnSystem", FilterOnSystem);
        store_.GetFlag("FilterOnArchive", FilterOnArchive);
    }

    store_.GetFlag("FilterOnTimes", FilterOnTimes);
    if (FilterOnTimes) {
        ReadTimeRuleKeys(store_, kCreationKeys, FilterOnCreationDateTime, CreationDate,
                         CreationTime, CreationComparison);
        ReadTimeRuleKeys(store_, kModifiedKeys, FilterOnModDateTime, ModifiedDate, ModifiedTime,
                         ModifiedComparison);
        ReadTimeRuleKeys(store_, kLastAccessedKeys, FilterOnLastAccessDateTime, LastAccessedDate,
                         LastAccessedTime, LastAccessedComparison);
    }

    store_.GetFlag("FilterOnExtension", FilterOnExtension);
    if (FilterOnExtension) {
        store_.GetFlag("FilterOnIncludeExtensions", FilterOnIncludeExtensions);
        if (FilterOnIncludeExtensions) {
            store_.GetValue("FilterIncludeExtensions", FilterIncludeExtensions);
        }
        store_.GetFlag("FilterOnExcludeExtensions", FilterOnExcludeExtensions);
        if (FilterOnExcludeExtensions) {
            store_.GetValue("FilterExcludeExtensions", FilterExcludeExtensions);
        }
    }
    return hasFilters;
}

}  // namespace quorvan
