#pragma once

#include <string>
#include <vector>

#include "common/local_time.h"
#include "rules/state_page.h"
#include "selection/filter_rules.h"

namespace quorvan {

// The day of a moment at midnight, and its time of day on the zero day: what
// a date picker and a time picker give back.
LocalDateTime DayOf(const LocalDateTime& moment);
LocalDateTime TimeOfDayOf(const LocalDateTime& moment);

// One time rule's row: its box, date picker, time picker and comparison list
// (None while nothing is chosen).
struct TimeRulePageState {
    bool on = false;
    LocalDateTime date = DayOf(CurrentLocalTime());
    LocalDateTime time = TimeOfDayOf(CurrentLocalTime());
    TimeComparison comparison = TimeComparison::None;

    bool operator==(const TimeRulePageState&) const = default;
};

// A row of an extension list: a pattern such as "*.txt" or "*", and its tick.
struct ExtensionRow {
    std::string pattern;
    bool ticked = false;

    bool operator==(const ExtensionRow&) const = default;
};

// What the Filter page shows, the values of switched-off groups included. A
// default value is the page as the window opens: every box clear, the include
// option chosen, the pickers at the current day and time, no comparison and
// both lists empty.
struct FilterPageState {
    bool onAttributes = false;
    bool includeAttributes = true;  // "Include files with ..." chosen, else "Exclude ..."
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
    bool archive = false;

    bool onTimes = false;
    TimeRulePageState creation;
    TimeRulePageState modified;
    TimeRulePageState lastAccessed;

    bool onExtensions = false;
    bool includeExtensions = false;
    std::vector<ExtensionRow> includeList;  // in the list's order
    bool excludeExtensions = false;
    std::vector<ExtensionRow> excludeList;

    bool operator==(const FilterPageState&) const = default;
};

// The rules the page stands for. A group or rule whose box is clear gives
// only its switch: its other fields keep what `kept` holds, so a rule read
// once stays as read while its group is off. A list is the ticked rows'
// patterns in list order, each followed by ";".
FilterRules FilterRulesFromPage(const FilterPageState& page, const FilterRules& kept = {});
// The page that shows loaded rules: both lists emptied (a rescan refills
// them), every switch set, and the values of each group and rule that is on;
// those of the others stay as `shown` has them. A comparison other than
// Before, On and After shows as none.
FilterPageState FilterPageFrom(const FilterRules& rules, const FilterPageState& shown = {});
// Ticks every row whose pattern the rules' list names, letter case ignored;
// rows not named keep their ticks. Only ";"-terminated entries count: text
// after the last ";" of a hand-edited list is none.
void TickListedExtensions(FilterPageState& page, const FilterRules& rules);
// Every value as the opening page shows it, the switched-off groups' too: what
// a line that switches a group on finds, as a click in the window would.
FilterRules OpeningFilterRules();

// Which controls of the page the user can change, from its boxes. The three
// group boxes always can.
struct FilterPageEnabled {
    bool attributeFields = false;  // both options and the four attribute boxes
    bool timeRuleBoxes = false;
    bool creationFields = false;  // the rule's pickers and comparison list
    bool modifiedFields = false;
    bool lastAccessedFields = false;
    bool extensionBoxes = false;  // "Include:" and "Exclude:"
    bool includeList = false;
    bool excludeList = false;

    bool operator==(const FilterPageEnabled&) const = default;
};
FilterPageEnabled EnabledControls(const FilterPageState& page);

// A Filter page held as a plain value: the command line's page, and the
// tests'.
class CFilterPageValue final : public CStatePage<FilterPageState> {
  public:
    FilterPageState State() const override { return state; }
    void SetState(const FilterPageState& value) override { state = value; }

    FilterPageState state;
};

}  // namespace quorvan
