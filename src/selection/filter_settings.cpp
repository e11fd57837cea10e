#include "selection/filter_settings.h"

#include "common/path.h"
#include "common/text.h"
#include "platform/file_system.h"
#include "rules/control_ids.h"
#include "selection/filter_keys.h"

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

}  // namespace

bool CFilterSettings::ReadFromPage() {
    FilterRules& f = rules_;
    if (page_ == nullptr) {
        return AnyGroupOn();
    }
    const CPageControls& page = *page_;

    f.FilterOnAttributes = page.IsChecked(ids::kFilterOnAttributes);
    if (f.FilterOnAttributes) {
        f.AttributeMode = page.IsChecked(ids::kFilterInclude);
        f.FilterOnReadOnly = page.IsChecked(ids::kFilterReadOnly);
        f.FilterOnHidden = page.IsChecked(ids::kFilterHidden);
        f.FilterOnSystem = page.IsChecked(ids::kFilterSystem);
        f.FilterOnArchive = page.IsChecked(ids::kFilterArchive);
    }

    f.FilterOnTimes = page.IsChecked(ids::kFilterOnTimes);
    if (f.FilterOnTimes) {
        ReadTimeRule(page, kCreationControls, f.FilterOnCreationDateTime, f.CreationDate,
                     f.CreationTime, f.CreationComparison);
        ReadTimeRule(page, kModifiedControls, f.FilterOnModDateTime, f.ModifiedDate, f.ModifiedTime,
                     f.ModifiedComparison);
        ReadTimeRule(page, kLastAccessedControls, f.FilterOnLastAccessDateTime, f.LastAccessedDate,
                     f.LastAccessedTime, f.LastAccessedComparison);
    }

    f.FilterOnExtension = page.IsChecked(ids::kFilterOnExtensions);
    if (f.FilterOnExtension) {
        f.FilterOnIncludeExtensions = page.IsChecked(ids::kFilterIncludeExtensions);
        if (f.FilterOnIncludeExtensions) {
            ReadPatternList(page, ids::kFilterIncludeList, f.FilterIncludeExtensions);
        }
        f.FilterOnExcludeExtensions = page.IsChecked(ids::kFilterExcludeExtensions);
        if (f.FilterOnExcludeExtensions) {
            ReadPatternList(page, ids::kFilterExcludeList, f.FilterExcludeExtensions);
        }
    }
    return AnyGroupOn();
}

bool CFilterSettings::Matches(const std::string& path) {
    FilterRules& f = rules_;
    // The page is read first so that the status query fetches only what the
    // switched-on rules look at; with every group off only existence counts.
    ReadFromPage();
    bool timeRules = f.FilterOnTimes && (f.FilterOnCreationDateTime || f.FilterOnModDateTime ||
                                         f.FilterOnLastAccessDateTime);
    unsigned parts = kStatusExists;
    if (f.FilterOnAttributes) {
        parts |= kStatusAttributes;
    }
    if (timeRules) {
        parts |= kStatusTimes;
    }
    FileStatus status;
    if (!GetFileStatus(path, status, parts)) {
        return false;
    }

    if (f.FilterOnAttributes) {
        uint8_t wanted =
            (f.FilterOnReadOnly ? kAttrReadOnly : 0) | (f.FilterOnHidden ? kAttrHidden : 0) |
            (f.FilterOnSystem ? kAttrSystem : 0) | (f.FilterOnArchive ? kAttrArchive : 0);
        bool same = wanted == status.attributes;
        if (f.AttributeMode ? !same : same) {
            return false;
        }
    }

    if (timeRules) {
        if (f.FilterOnCreationDateTime &&
            !CompareTimeCached(status.creationTime, f.CreationDate, f.CreationTime,
                               f.CreationComparison, creationBound_)) {
            return false;
        }
        if (f.FilterOnModDateTime &&
            !CompareTimeCached(status.modificationTime, f.ModifiedDate, f.ModifiedTime,
                               f.ModifiedComparison, modifiedBound_)) {
            return false;
        }
        if (f.FilterOnLastAccessDateTime &&
            !CompareTimeCached(status.lastAccessTime, f.LastAccessedDate, f.LastAccessedTime,
                               f.LastAccessedComparison, lastAccessedBound_)) {
            return false;
        }
    }

    if (f.FilterOnExtension) {
        std::string pattern = PatternOf(path);
        if (f.FilterOnIncludeExtensions && !ListContains(pattern, f.FilterIncludeExtensions)) {
            return false;
        }
        if (f.FilterOnExcludeExtensions && ListContains(pattern, f.FilterExcludeExtensions)) {
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
    FilterRules& f = rules_;
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

    page.SetChecked(ids::kFilterOnAttributes, f.FilterOnAttributes);
    if (f.FilterOnAttributes) {
        page.SetEnabled(ids::kFilterInclude, true);
        page.SetEnabled(ids::kFilterExclude, true);
        page.SetChecked(ids::kFilterInclude, f.AttributeMode);
        page.SetChecked(ids::kFilterExclude, !f.AttributeMode);
        const std::pair<int, bool> boxes[] = {{ids::kFilterReadOnly, f.FilterOnReadOnly},
                                              {ids::kFilterHidden, f.FilterOnHidden},
                                              {ids::kFilterSystem, f.FilterOnSystem},
                                              {ids::kFilterArchive, f.FilterOnArchive}};
        for (const auto& [id, ticked] : boxes) {
            page.SetEnabled(id, true);
            page.SetChecked(id, ticked);
        }
    }

    page.SetChecked(ids::kFilterOnTimes, f.FilterOnTimes);
    if (f.FilterOnTimes) {
        page.SetEnabled(ids::kFilterCreation, true);
        page.SetEnabled(ids::kFilterModified, true);
        page.SetEnabled(ids::kFilterLastAccessed, true);
        ApplyTimeRule(page, kCreationControls, f.FilterOnCreationDateTime, f.CreationDate,
                      f.CreationTime, f.CreationComparison);
        ApplyTimeRule(page, kModifiedControls, f.FilterOnModDateTime, f.ModifiedDate,
                      f.ModifiedTime, f.ModifiedComparison);
        ApplyTimeRule(page, kLastAccessedControls, f.FilterOnLastAccessDateTime, f.LastAccessedDate,
                      f.LastAccessedTime, f.LastAccessedComparison);
    }

    page.SetChecked(ids::kFilterOnExtensions, f.FilterOnExtension);
    if (f.FilterOnExtension) {
        page.SetEnabled(ids::kFilterIncludeExtensions, true);
        page.SetEnabled(ids::kFilterExcludeExtensions, true);
        page.SetChecked(ids::kFilterIncludeExtensions, f.FilterOnIncludeExtensions);
        page.SetEnabled(ids::kFilterIncludeList, f.FilterOnIncludeExtensions);
        page.SetChecked(ids::kFilterExcludeExtensions, f.FilterOnExcludeExtensions);
        page.SetEnabled(ids::kFilterExcludeList, f.FilterOnExcludeExtensions);
    }
}

void CFilterSettings::ApplyExtensionChecks() {
    FilterRules& f = rules_;
    if (page_ == nullptr) {
        return;
    }
    CheckListedRows(*page_, ids::kFilterIncludeList, f.FilterIncludeExtensions);
    CheckListedRows(*page_, ids::kFilterExcludeList, f.FilterExcludeExtensions);
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
    // The page shows what the file says, "no filters" included: filters left
    // on from before would silently hide files.
    if (!ReadFilterKeys()) {
        ClearGroups();
    }
    ApplyToPage();
    return true;
}

void CFilterSettings::ClearGroups() {
    rules_.FilterOnAttributes = false;
    rules_.FilterOnTimes = false;
    rules_.FilterOnExtension = false;
}

void CFilterSettings::WriteFilterKeys() {
    quorvan::WriteFilterKeys(rules_, store_);
}

bool CFilterSettings::ReadFilterKeys() {
    return quorvan::ReadFilterKeys(store_, rules_);
}

}  // namespace quorvan
