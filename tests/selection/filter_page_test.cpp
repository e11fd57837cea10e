#include "selection/filter_page.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvan {
namespace {

TEST(FilterPageEnabled, EachBoxEnablesWhatStandsUnderItWhileItsGroupIsOn) {
    using Change = std::function<void(FilterPageState&)>;
    struct Case {
        const char* name;
        Change change;
        FilterPageEnabled enabled;
    };
    const Case cases[] = {
        {"opening", [](FilterPageState&) {}, {}},
        {"attributes",
         [](FilterPageState& p) { p.onAttributes = true; },
         {.attributeFields = true}},
        {"times", [](FilterPageState& p) { p.onTimes = true; }, {.timeRuleBoxes = true}},
        {"a rule under times",
         [](FilterPageState& p) { p.onTimes = p.modified.on = true; },
         {.timeRuleBoxes = true, .modifiedFields = true}},
        {"rules without their group",
         [](FilterPageState& p) { p.creation.on = p.lastAccessed.on = true; },
         {}},
        {"extensions", [](FilterPageState& p) { p.onExtensions = true; }, {.extensionBoxes = true}},
        {"the exclude list",
         [](FilterPageState& p) { p.onExtensions = p.excludeExtensions = true; },
         {.extensionBoxes = true, .excludeList = true}},
        {"lists without their group",
         [](FilterPageState& p) { p.includeExtensions = p.excludeExtensions = true; },
         {}},
    };
    for (const Case& c : cases) {
        FilterPageState page;
        c.change(page);
        EXPECT_EQ(EnabledControls(page), c.enabled) << c.name;
    }
}

TEST(FilterPageRules, LoadedRulesShowOnlyWhatTheirGroupsHold) {
    FilterRules rules;
    rules.FilterOnTimes = rules.FilterOnCreationDateTime = true;
    rules.CreationDate = {2002, 3, 27, 14, 0, 0};
    rules.CreationTime = {1980, 1, 1, 7, 8, 9};
    rules.CreationComparison = static_cast<TimeComparison>(7);  // a stored value out of range
    rules.FilterOnHidden = true;                                // under attributes, which are off
    FilterPageState shown;
    shown.includeList = {{"*.jpg", true}};
    shown.readOnly = true;
    const FilterPageState page = FilterPageFrom(rules, shown);
    EXPECT_TRUE(page.creation.on);
    EXPECT_EQ(page.creation.date, (LocalDateTime{2002, 3, 27, 0, 0, 0}));
    EXPECT_EQ(page.creation.time, TimeOfDayOf({1980, 1, 1, 7, 8, 9}));
    EXPECT_EQ(page.creation.comparison, TimeComparison::None);
    EXPECT_TRUE(page.readOnly);
    EXPECT_FALSE(page.hidden);
    EXPECT_TRUE(page.includeList.empty());
    // Read back, the rule passes every file as the stored value did.
    EXPECT_EQ(FilterRulesFromPage(page).CreationComparison, TimeComparison::None);
}

}  // namespace
}  // namespace quorvan
