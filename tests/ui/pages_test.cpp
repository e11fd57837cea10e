// The Filter page driven through its real widgets: enabled states that
// follow the boxes, and the filter reading and writing them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <set>
#include <string>
#include <vector>

#include "common/local_time.h"
#include "rules/control_ids.h"
#include "selection/filter_settings.h"
#include "selection/source_scan.h"
#include "support/test_dir.h"
#include "ui/filter_page.h"

namespace quorvan {
namespace {

void Click(CQtPage& page, int id) {
    auto* button = page.ControlAs<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << "control " << id;
    button->click();
}

// The numbered controls of `ids` that are enabled.
std::set<int> Enabled(const CQtPage& page, const std::vector<int>& ids) {
    std::set<int> on;
    for (int id : ids) {
        EXPECT_NE(page.Control(id), nullptr) << "control " << id << " is not bound";
        if (page.IsEnabled(id)) {
            on.insert(id);
        }
    }
    return on;
}

QString Tip(const CQtPage& page, int id) {
    return page.Control(id)->toolTip();
}

// --- Filter page ---

struct TimeRuleIds {
    int box, date, time, comparison;
};
const TimeRuleIds kRules[] = {
    {ids::kFilterCreation, ids::kFilterCreationDate, ids::kFilterCreationTime,
     ids::kFilterCreationDir},
    {ids::kFilterModified, ids::kFilterModifiedDate, ids::kFilterModifiedTime,
     ids::kFilterModifiedDir},
    {ids::kFilterLastAccessed, ids::kFilterLastAccessedDate, ids::kFilterLastAccessedTime,
     ids::kFilterLastAccessedDir},
};
const std::vector<int> kFilterAttributeControls = {ids::kFilterInclude,  ids::kFilterExclude,
                                                   ids::kFilterReadOnly, ids::kFilterHidden,
                                                   ids::kFilterSystem,   ids::kFilterArchive};

std::vector<int> RuleControls(const TimeRuleIds& rule) {
    return {rule.date, rule.time, rule.comparison};
}

void Choose(CQtPage& page, int combo, const char* text) {
    auto* box = page.ControlAs<QComboBox>(combo);
    box->setCurrentIndex(box->findText(text));
}

std::vector<std::string> Rows(const CQtPage& page, int list) {
    std::vector<std::string> rows;
    for (int row = 0; row < page.RowCount(list); ++row) {
        rows.push_back(page.RowText(list, row) + (page.IsRowChecked(list, row) ? "+" : ""));
    }
    return rows;
}

TEST(FilterPage, OpensWithTheThreeGroupsOffAndNoComparisonChosen) {
    CFilterSettingsDlg page;
    std::vector<int> all = kFilterAttributeControls;
    for (const TimeRuleIds& rule : kRules) {
        all.insert(all.end(), {rule.box, rule.date, rule.time, rule.comparison});
    }
    all.insert(all.end(), {ids::kFilterOnAttributes, ids::kFilterOnTimes, ids::kFilterOnExtensions,
                           ids::kFilterIncludeExtensions, ids::kFilterIncludeList,
                           ids::kFilterExcludeExtensions, ids::kFilterExcludeList});
    EXPECT_EQ(Enabled(page, all), (std::set<int>{ids::kFilterOnAttributes, ids::kFilterOnTimes,
                                                 ids::kFilterOnExtensions}));
    EXPECT_TRUE(page.IsChecked(ids::kFilterInclude));
    for (const TimeRuleIds& rule : kRules) {
        auto* combo = page.ControlAs<QComboBox>(rule.comparison);
        EXPECT_EQ(combo->currentIndex(), -1);
        ASSERT_EQ(combo->count(), 3);
        EXPECT_EQ(combo->itemText(0), "Before");
        EXPECT_EQ(combo->itemText(2), "After");
    }
    EXPECT_EQ(page.RowCount(ids::kFilterIncludeList), 0);
    EXPECT_EQ(Tip(page, ids::kFilterExclude),
              "Specifies attributes for files that should be excluded from the renaming");
}

TEST(FilterPage, AttributeGroupKeepsTicksAndChoiceWhenSwitchedOff) {
    CFilterSettingsDlg page;
    Click(page, ids::kFilterOnAttributes);
    EXPECT_EQ(Enabled(page, kFilterAttributeControls).size(), 6u);
    Click(page, ids::kFilterExclude);
    Click(page, ids::kFilterSystem);
    Click(page, ids::kFilterOnAttributes);
    EXPECT_TRUE(Enabled(page, kFilterAttributeControls).empty());
    EXPECT_TRUE(page.IsChecked(ids::kFilterExclude));
    EXPECT_FALSE(page.IsChecked(ids::kFilterInclude));
    EXPECT_TRUE(page.IsChecked(ids::kFilterSystem));
}

TEST(FilterPage, TickingATimeRuleClearsItsComparison) {
    CFilterSettingsDlg page;
    Click(page, ids::kFilterOnTimes);
    const TimeRuleIds& creation = kRules[0];
    Click(page, creation.box);
    EXPECT_EQ(Enabled(page, RuleControls(creation)).size(), 3u);
    EXPECT_EQ(page.Selection(creation.comparison), -1);
    Choose(page, creation.comparison, "After");
    EXPECT_EQ(page.Selection(creation.comparison), 2);

    Click(page, creation.box);
    EXPECT_TRUE(Enabled(page, RuleControls(creation)).empty());
    EXPECT_EQ(page.Selection(creation.comparison), 2);
    Click(page, creation.box);
    EXPECT_EQ(page.Selection(creation.comparison), -1);
}

TEST(FilterPage, RegroupingTimesRestoresEachRuleFromItsBox) {
    CFilterSettingsDlg page;
    Click(page, ids::kFilterOnTimes);
    Click(page, kRules[0].box);
    Choose(page, kRules[0].comparison, "On");
    Click(page, kRules[2].box);
    Choose(page, kRules[2].comparison, "Before");

    Click(page, ids::kFilterOnTimes);
    for (const TimeRuleIds& rule : kRules) {
        EXPECT_FALSE(page.IsEnabled(rule.box));
        EXPECT_TRUE(Enabled(page, RuleControls(rule)).empty());
    }
    Click(page, ids::kFilterOnTimes);
    EXPECT_EQ(Enabled(page, RuleControls(kRules[0])).size(), 3u);
    EXPECT_TRUE(Enabled(page, RuleControls(kRules[1])).empty());
    EXPECT_TRUE(page.IsEnabled(kRules[1].box));
    EXPECT_EQ(Enabled(page, RuleControls(kRules[2])).size(), 3u);
    // The chosen comparisons stay.
    EXPECT_EQ(page.Selection(kRules[0].comparison), 1);
    EXPECT_EQ(page.Selection(kRules[2].comparison), 0);
}

TEST(FilterPage, ExtensionListsFollowTheirBoxesAndTheGroup) {
    CFilterSettingsDlg page;
    Click(page, ids::kFilterOnExtensions);
    EXPECT_EQ(Enabled(page, {ids::kFilterIncludeExtensions, ids::kFilterIncludeList,
                             ids::kFilterExcludeExtensions, ids::kFilterExcludeList}),
              (std::set<int>{ids::kFilterIncludeExtensions, ids::kFilterExcludeExtensions}));
    Click(page, ids::kFilterExcludeExtensions);
    EXPECT_TRUE(page.IsEnabled(ids::kFilterExcludeList));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterIncludeList));
    Click(page, ids::kFilterOnExtensions);
    EXPECT_FALSE(page.IsEnabled(ids::kFilterExcludeList));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterExcludeExtensions));
    Click(page, ids::kFilterOnExtensions);
    EXPECT_TRUE(page.IsEnabled(ids::kFilterExcludeList));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterIncludeList));
}

TEST(FilterPage, ExtensionRowsAreSortedUniqueAndKeepTheirTicksAfterARefill) {
    CFilterSettingsDlg page;
    page.AddIncludeExtension("*.txt");
    page.AddIncludeExtension("*.TXT");
    page.AddIncludeExtension("*.doc");
    page.AddIncludeExtension("*");
    page.AddExcludeExtension("*.tmp");
    EXPECT_EQ(Rows(page, ids::kFilterIncludeList),
              (std::vector<std::string>{"*", "*.doc", "*.txt"}));
    EXPECT_EQ(Rows(page, ids::kFilterExcludeList), (std::vector<std::string>{"*.tmp"}));

    // A rescan refills both lists; a tick stays where its extension does.
    page.SetRowChecked(ids::kFilterIncludeList, 2, true);
    FillExtensionLists(page, std::vector<std::string>{"*.txt", "*.jpeg"});
    EXPECT_EQ(Rows(page, ids::kFilterIncludeList), (std::vector<std::string>{"*.jpeg", "*.txt+"}));
    EXPECT_EQ(Rows(page, ids::kFilterExcludeList), (std::vector<std::string>{"*.jpeg", "*.txt"}));
    page.ClearIncludeExtensions();
    page.ClearExcludeExtensions();
    EXPECT_EQ(page.RowCount(ids::kFilterIncludeList), 0);
    EXPECT_EQ(page.RowCount(ids::kFilterExcludeList), 0);
}

// --- The filter over the real page ---

TEST(FilterOnPage, AppliedSettingsShowAndReadBackUnchanged) {
    CFilterSettingsDlg page;
    CFilterSettings filter;
    filter.SetPage(&page);
    filter.Rules().FilterOnAttributes = true;
    filter.Rules().AttributeMode = false;
    filter.Rules().FilterOnHidden = true;
    filter.Rules().FilterOnTimes = true;
    filter.Rules().FilterOnModDateTime = true;
    filter.Rules().ModifiedDate = {2002, 5, 1, 0, 0, 0};
    filter.Rules().ModifiedTime = {2000, 1, 1, 10, 0, 0};
    filter.Rules().ModifiedComparison = TimeComparison::On;
    filter.Rules().FilterOnLastAccessDateTime = true;
    filter.Rules().LastAccessedComparison = TimeComparison::None;
    filter.Rules().FilterOnExtension = true;
    filter.Rules().FilterOnIncludeExtensions = true;
    filter.Rules().FilterIncludeExtensions = "*.TXT;*.jpeg;*.gone;";
    filter.Rules().FilterOnExcludeExtensions = false;
    page.AddIncludeExtension("*.stale");
    filter.ApplyToPage();

    EXPECT_EQ(page.RowCount(ids::kFilterIncludeList), 0);
    EXPECT_TRUE(page.IsChecked(ids::kFilterExclude));
    EXPECT_EQ(Enabled(page, kFilterAttributeControls).size(), 6u);
    EXPECT_EQ(Enabled(page, RuleControls(kRules[1])).size(), 3u);
    EXPECT_TRUE(Enabled(page, RuleControls(kRules[0])).empty());
    EXPECT_EQ(page.Selection(ids::kFilterModifiedDir), 1);
    EXPECT_EQ(page.Selection(ids::kFilterLastAccessedDir), -1);
    EXPECT_TRUE(page.IsEnabled(ids::kFilterIncludeList));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterExcludeList));

    // The rescan after a load refills the lists; the saved ticks come back.
    FillExtensionLists(page, std::vector<std::string>{"*.txt", "*.jpeg", "*.doc"});
    filter.ApplyExtensionChecks();
    EXPECT_EQ(Rows(page, ids::kFilterIncludeList),
              (std::vector<std::string>{"*.doc", "*.jpeg+", "*.txt+"}));
    EXPECT_EQ(Rows(page, ids::kFilterExcludeList),
              (std::vector<std::string>{"*.doc", "*.jpeg", "*.txt"}));

    CFilterSettings copy;
    copy.SetPage(&page);
    EXPECT_TRUE(copy.ReadFromPage());
    EXPECT_FALSE(copy.Rules().AttributeMode);
    EXPECT_TRUE(copy.Rules().FilterOnHidden);
    EXPECT_FALSE(copy.Rules().FilterOnReadOnly);
    EXPECT_TRUE(copy.Rules().FilterOnModDateTime);
    EXPECT_EQ(copy.Rules().ModifiedComparison, TimeComparison::On);
    EXPECT_EQ(CombineDateAndTime(copy.Rules().ModifiedDate, copy.Rules().ModifiedTime),
              LocalToSeconds({2002, 5, 1, 10, 0, 0}));
    EXPECT_EQ(static_cast<int>(copy.Rules().LastAccessedComparison), -1);
    EXPECT_EQ(copy.Rules().FilterIncludeExtensions, "*.jpeg;*.txt;");
}

TEST(FilterOnPage, AFreshlyTickedTimeRuleKeepsEveryFileUntilAComparisonIsChosen) {
    test::TestDir dir;
    const std::string file = dir.CreateFile("old.txt", "x");
    dir.SetTimes("old.txt", LocalToSeconds({2001, 1, 1, 12, 0, 0}),
                 LocalToSeconds({2001, 1, 1, 12, 0, 0}));
    CFilterSettingsDlg page;
    CFilterSettings filter;
    filter.SetPage(&page);
    Click(page, ids::kFilterOnTimes);
    Click(page, ids::kFilterModified);
    page.SetDateTime(ids::kFilterModifiedDate, {2001, 1, 1, 0, 0, 0});
    page.SetDateTime(ids::kFilterModifiedTime, {2000, 1, 1, 12, 0, 0});
    EXPECT_TRUE(filter.Matches(file));
    Choose(page, ids::kFilterModifiedDir, "Before");
    EXPECT_FALSE(filter.Matches(file));
    Choose(page, ids::kFilterModifiedDir, "On");
    EXPECT_TRUE(filter.Matches(file));
    // Switching the group off lets the file through whatever the rule says.
    Choose(page, ids::kFilterModifiedDir, "After");
    EXPECT_FALSE(filter.Matches(file));
    Click(page, ids::kFilterOnTimes);
    EXPECT_TRUE(filter.Matches(file));
}

}  // namespace
}  // namespace quorvan
