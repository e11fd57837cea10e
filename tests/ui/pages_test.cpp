// The Filter page driven through its real widgets: enabled states that
// follow the boxes, and the filter reading and writing them.
#include <QDateEdit>
#include <QTimeEdit>

#include "named_widgets.h"
#include "selection/filter_settings.h"
#include "selection/source_scan.h"
#include "support/test_dir.h"
#include "ui/pages/filter_page.h"

namespace quorvan {
namespace {

// --- Filter page ---

// The page's named controls that are enabled, by the end of their names
// ("filterReadOnlyCheckBox" is "ReadOnlyCheckBox").
std::set<std::string> EnabledOn(CFilterSettingsDlg& page) {
    std::set<std::string> on;
    for (QWidget* widget : page.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.startsWith("filter") && widget->isEnabled()) {
            on.insert(name.mid(6).toStdString());
        }
    }
    return on;
}

test::Strings ListRows(CFilterSettingsDlg& page, const char* name) {
    test::Strings rows;
    auto* list = test::On<QListWidget>(&page, name);
    for (int row = 0; row < list->count(); ++row) {
        rows.push_back(list->item(row)->text().toStdString() +
                       (list->item(row)->checkState() == Qt::Checked ? "+" : ""));
    }
    return rows;
}

// The page opens with only the three groups usable; each box enables what
// stands under it, and only while its group is on.
TEST(FilterPage, EachBoxEnablesWhatStandsUnderIt) {
    using Names = std::set<std::string>;
    const Names groups = {"OnAttributesCheckBox", "OnTimesCheckBox", "OnExtensionsCheckBox"};
    const Names attributes = {"IncludeAttributesRadioButton",
                              "ExcludeAttributesRadioButton",
                              "ReadOnlyCheckBox",
                              "HiddenCheckBox",
                              "SystemCheckBox",
                              "ArchiveCheckBox"};
    const Names ruleBoxes = {"CreationCheckBox", "ModifiedCheckBox", "LastAccessedCheckBox"};
    const Names extensionBoxes = {"IncludeExtensionsCheckBox", "ExcludeExtensionsCheckBox"};
    auto rule = [](const std::string& name) {
        return Names{name + "DateEdit", name + "TimeEdit", name + "ComboBox"};
    };
    auto all = [](std::initializer_list<Names> sets) {
        Names joined;
        for (const auto& set : sets) {
            joined.insert(set.begin(), set.end());
        }
        return joined;
    };
    const Names times = all({groups, ruleBoxes, rule("Creation"), rule("LastAccessed")});
    const Names exclude = all({groups, extensionBoxes, {"ExcludeListWidget"}});
    struct Step {
        const char* click;  // without the "filter" every name starts with
        Names enabled;
    };
    const Step steps[] = {
        {"OnAttributesCheckBox", all({groups, attributes})},
        {"OnAttributesCheckBox", groups},
        {"OnTimesCheckBox", all({groups, ruleBoxes})},
        {"CreationCheckBox", all({groups, ruleBoxes, rule("Creation")})},
        {"LastAccessedCheckBox", times},
        {"OnTimesCheckBox", groups},
        {"OnTimesCheckBox", times},
        {"OnTimesCheckBox", groups},
        {"OnExtensionsCheckBox", all({groups, extensionBoxes})},
        {"ExcludeExtensionsCheckBox", exclude},
        {"OnExtensionsCheckBox", groups},
        {"OnExtensionsCheckBox", exclude},
    };
    CFilterSettingsDlg page;
    EXPECT_EQ(EnabledOn(page), groups);
    for (const Step& step : steps) {
        test::Click(&page, ("filter" + std::string(step.click)).c_str());
        EXPECT_EQ(EnabledOn(page), step.enabled) << "after " << step.click;
    }
}

// No rule has a comparison until the user picks one. Switching a group or a
// rule off keeps every tick, choice and comparison; ticking a rule again
// clears its comparison.
TEST(FilterPage, SwitchedOffControlsKeepTheirValues) {
    CFilterSettingsDlg page;
    test::Click(&page, "filterOnAttributesCheckBox");
    test::Click(&page, "filterExcludeAttributesRadioButton");
    test::Click(&page, "filterSystemCheckBox");
    test::Click(&page, "filterOnAttributesCheckBox");
    test::Click(&page, "filterOnTimesCheckBox");
    test::Click(&page, "filterCreationCheckBox");
    EXPECT_EQ(page.State().creation.comparison, TimeComparison::None);
    auto* creation = test::On<QComboBox>(&page, "filterCreationComboBox");
    creation->setCurrentIndex(creation->findText("After"));
    test::Click(&page, "filterLastAccessedCheckBox");
    test::On<QComboBox>(&page, "filterLastAccessedComboBox")->setCurrentIndex(0);
    test::Click(&page, "filterOnTimesCheckBox");
    test::Click(&page, "filterOnTimesCheckBox");
    FilterPageState s = page.State();
    EXPECT_FALSE(s.onAttributes);
    EXPECT_FALSE(s.includeAttributes);
    EXPECT_TRUE(s.system);
    EXPECT_EQ(s.creation.comparison, TimeComparison::After);
    EXPECT_EQ(s.lastAccessed.comparison, TimeComparison::Before);

    test::Click(&page, "filterCreationCheckBox");
    EXPECT_EQ(page.State().creation.comparison, TimeComparison::After);
    test::Click(&page, "filterCreationCheckBox");
    EXPECT_EQ(page.State().creation.comparison, TimeComparison::None);
}

// --- The filter over the real page ---

TEST(FilterOnPage, AppliedSettingsShowAndReadBackUnchanged) {
    CFilterSettingsDlg page;
    CFilterSettings filter;
    filter.SetPage(&page);
    FilterRules& r = filter.Rules();
    r.FilterOnAttributes = true;
    r.AttributeMode = false;
    r.FilterOnHidden = true;
    r.FilterOnTimes = true;
    r.FilterOnModDateTime = true;
    r.ModifiedDate = {2002, 5, 1, 0, 0, 0};
    r.ModifiedTime = {2000, 1, 1, 10, 0, 0};
    r.ModifiedComparison = TimeComparison::On;
    r.FilterOnExtension = true;
    r.FilterOnIncludeExtensions = true;
    r.FilterIncludeExtensions = "*.TXT;*.jpeg;*.gone;";
    r.FilterOnExcludeExtensions = false;
    filter.ApplyToPage();

    EXPECT_TRUE(
        test::On<QAbstractButton>(&page, "filterExcludeAttributesRadioButton")->isChecked());
    const std::set<std::string> on = EnabledOn(page);
    for (const char* name :
         {"HiddenCheckBox", "ModifiedDateEdit", "ModifiedComboBox", "IncludeListWidget"}) {
        EXPECT_EQ(on.count(name), 1u) << name;
    }
    EXPECT_EQ(on.count("ExcludeListWidget"), 0u);
    EXPECT_EQ(test::On<QComboBox>(&page, "filterModifiedComboBox")->currentIndex(), 1);

    // The rescan after a load refills the lists; the saved ticks come back.
    FillExtensionLists(page, test::Strings{"*.txt", "*.jpeg", "*.doc"});
    filter.ApplyExtensionChecks();
    EXPECT_EQ(ListRows(page, "filterIncludeListWidget"),
              (test::Strings{"*.doc", "*.jpeg+", "*.txt+"}));
    EXPECT_EQ(ListRows(page, "filterExcludeListWidget"),
              (test::Strings{"*.doc", "*.jpeg", "*.txt"}));

    CFilterSettings copy;
    copy.SetPage(&page);
    EXPECT_TRUE(copy.ReadFromPage());
    EXPECT_FALSE(copy.Rules().AttributeMode);
    EXPECT_TRUE(copy.Rules().FilterOnHidden);
    EXPECT_TRUE(copy.Rules().FilterOnModDateTime);
    EXPECT_EQ(copy.Rules().ModifiedComparison, TimeComparison::On);
    EXPECT_EQ(CombineDateAndTime(copy.Rules().ModifiedDate, copy.Rules().ModifiedTime),
              LocalToSeconds({2002, 5, 1, 10, 0, 0}));
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
    test::Click(&page, "filterOnTimesCheckBox");
    test::Click(&page, "filterModifiedCheckBox");
    test::On<QDateEdit>(&page, "filterModifiedDateEdit")->setDate(QDate(2001, 1, 1));
    test::On<QTimeEdit>(&page, "filterModifiedTimeEdit")->setTime(QTime(12, 0, 0));
    auto* comparison = test::On<QComboBox>(&page, "filterModifiedComboBox");
    auto passes = [&] {
        filter.ReadFromPage();
        return filter.Matches(file);
    };
    EXPECT_TRUE(passes());
    comparison->setCurrentIndex(comparison->findText("Before"));
    EXPECT_FALSE(passes());
    // Switching the group off lets the file through whatever the rule says.
    test::Click(&page, "filterOnTimesCheckBox");
    EXPECT_TRUE(passes());
}

}  // namespace
}  // namespace quorvan
