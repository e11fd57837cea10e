#include "selection/filter_settings.h"

#include "common/path.h"
#include "common/text.h"
#include "platform/file_system.h"
#include "selection/filter_keys.h"

namespace quorvan {

namespace {

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
    if (page_ != nullptr) {
        rules_ = FilterRulesFromPage(page_->State(), rules_);
    }
    return AnyGroupOn();
}

bool CFilterSettings::Matches(const std::string& path) {
    const FilterRules& f = rules_;
    // The status query fetches only what the switched-on rules look at; with
    // every group off only existence counts.
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
    std::string pattern = "*";
    pattern += ExtensionOf(NameOf(path));
    return pattern;
}

void CFilterSettings::ApplyToPage() {
    if (page_ != nullptr) {
        page_->SetState(FilterPageFrom(rules_, page_->State()));
    }
}

void CFilterSettings::ApplyExtensionChecks() {
    if (page_ == nullptr) {
        return;
    }
    FilterPageState page = page_->State();
    TickListedExtensions(page, rules_);
    page_->SetState(page);
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
