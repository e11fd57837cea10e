#include "selection/filter_page.h"

#include <string_view>
#include <unordered_set>

#include "common/text.h"

namespace quorvan {

namespace {

// One time rule's fields in FilterRules.
struct RuleFields {
    bool& on;
    LocalDateTime& date;
    LocalDateTime& time;
    TimeComparison& comparison;
};

struct ConstRuleFields {
    const bool& on;
    const LocalDateTime& date;
    const LocalDateTime& time;
    const TimeComparison& comparison;
};

void ReadRule(const TimeRulePageState& page, RuleFields rule) {
    rule.on = page.on;
    if (page.on) {
        rule.date = page.date;
        rule.time = page.time;
        rule.comparison = page.comparison;
    }
}

void ShowRule(ConstRuleFields rule, TimeRulePageState& page) {
    page.on = rule.on;
    if (rule.on) {
        page.date = DayOf(rule.date);
        page.time = TimeOfDayOf(rule.time);
        page.comparison = IsDirection(rule.comparison) ? rule.comparison : TimeComparison::None;
    }
}

std::string TickedPatterns(const std::vector<ExtensionRow>& rows) {
    std::string list;
    for (const ExtensionRow& row : rows) {
        if (row.ticked) {
            list += row.pattern;
            list += ';';
        }
    }
    return list;
}

void TickNamedRows(std::vector<ExtensionRow>& rows, std::string_view list) {
    std::unordered_set<std::string> named;
    for (size_t end = list.find(';'); end != std::string_view::npos; end = list.find(';')) {
        if (end > 0) {
            named.insert(Utf8ToLower(list.substr(0, end)));
        }
        list.remove_prefix(end + 1);
    }
    if (named.empty()) {
        return;
    }
    for (ExtensionRow& row : rows) {
        if (named.count(Utf8ToLower(row.pattern)) != 0) {
            row.ticked = true;
        }
    }
}

}  // namespace

LocalDateTime DayOf(const LocalDateTime& moment) {
    return {moment.year, moment.month, moment.day, 0, 0, 0};
}

LocalDateTime TimeOfDayOf(const LocalDateTime& moment) {
    LocalDateTime time;
    time.hour = moment.hour;
    time.minute = moment.minute;
    time.second = moment.second;
    return time;
}

FilterRules FilterRulesFromPage(const FilterPageState& p, const FilterRules& kept) {
    FilterRules f = kept;
    f.FilterOnAttributes = p.onAttributes;
    if (p.onAttributes) {
        f.AttributeMode = p.includeAttributes;
        f.FilterOnReadOnly = p.readOnly;
        f.FilterOnHidden = p.hidden;
        f.FilterOnSystem = p.system;
        f.FilterOnArchive = p.archive;
    }
    f.FilterOnTimes = p.onTimes;
    if (p.onTimes) {
        ReadRule(p.creation, {f.FilterOnCreationDateTime, f.CreationDate, f.CreationTime,
                              f.CreationComparison});
        ReadRule(p.modified,
                 {f.FilterOnModDateTime, f.ModifiedDate, f.ModifiedTime, f.ModifiedComparison});
        ReadRule(p.lastAccessed, {f.FilterOnLastAccessDateTime, f.LastAccessedDate,
                                  f.LastAccessedTime, f.LastAccessedComparison});
    }
    f.FilterOnExtension = p.onExtensions;
    if (p.onExtensions) {
        f.FilterOnIncludeExtensions = p.includeExtensions;
        if (p.includeExtensions) {
            f.FilterIncludeExtensions = TickedPatterns(p.includeList);
        }
        f.FilterOnExcludeExtensions = p.excludeExtensions;
        if (p.excludeExtensions) {
            f.FilterExcludeExtensions = TickedPatterns(p.excludeList);
        }
    }
    return f;
}

FilterPageState FilterPageFrom(const FilterRules& f, const FilterPageState& shown) {
    FilterPageState p = shown;
    p.includeList.clear();
    p.excludeList.clear();
    p.onAttributes = f.FilterOnAttributes;
    if (f.FilterOnAttributes) {
        p.includeAttributes = f.AttributeMode;
        p.readOnly = f.FilterOnReadOnly;
        p.hidden = f.FilterOnHidden;
        p.system = f.FilterOnSystem;
        p.archive = f.FilterOnArchive;
    }
    p.onTimes = f.FilterOnTimes;
    if (f.FilterOnTimes) {
        ShowRule({f.FilterOnCreationDateTime, f.CreationDate, f.CreationTime, f.CreationComparison},
                 p.creation);
        ShowRule({f.FilterOnModDateTime, f.ModifiedDate, f.ModifiedTime, f.ModifiedComparison},
                 p.modified);
        ShowRule({f.FilterOnLastAccessDateTime, f.LastAccessedDate, f.LastAccessedTime,
                  f.LastAccessedComparison},
                 p.lastAccessed);
    }
    p.onExtensions = f.FilterOnExtension;
    if (f.FilterOnExtension) {
        p.includeExtensions = f.FilterOnIncludeExtensions;
        p.excludeExtensions = f.FilterOnExcludeExtensions;
    }
    return p;
}

void TickListedExtensions(FilterPageState& page, const FilterRules& rules) {
    TickNamedRows(page.includeList, rules.FilterIncludeExtensions);
    TickNamedRows(page.excludeList, rules.FilterExcludeExtensions);
}

FilterRules OpeningFilterRules() {
    const FilterPageState opening;
    FilterPageState everyBox = opening;
    everyBox.onAttributes = everyBox.onTimes = everyBox.onExtensions = true;
    everyBox.creation.on = everyBox.modified.on = everyBox.lastAccessed.on = true;
    everyBox.includeExtensions = everyBox.excludeExtensions = true;
    FilterPageState groups = opening;
    groups.onAttributes = groups.onTimes = groups.onExtensions = true;
    // The values first, then the inner boxes as the page shows them (read only
    // under their groups), then the groups themselves.
    return FilterRulesFromPage(opening, FilterRulesFromPage(groups, FilterRulesFromPage(everyBox)));
}

FilterPageEnabled EnabledControls(const FilterPageState& p) {
    FilterPageEnabled on;
    on.attributeFields = p.onAttributes;
    on.timeRuleBoxes = p.onTimes;
    on.creationFields = p.onTimes && p.creation.on;
    on.modifiedFields = p.onTimes && p.modified.on;
    on.lastAccessedFields = p.onTimes && p.lastAccessed.on;
    on.extensionBoxes = p.onExtensions;
    on.includeList = p.onExtensions && p.includeExtensions;
    on.excludeList = p.onExtensions && p.excludeExtensions;
    return on;
}

}  // namespace quorvan
