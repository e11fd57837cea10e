#include "selection/filter_settings.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstdio>
#include <tuple>

#include "common/local_time.h"
#include "platform/dos_attrib.h"
#include "platform/file_system.h"
#include "rules/control_ids.h"
#include "rules/memory_page.h"
#include "selection/source_scan.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::TestDir;

// Stores DOS attributes the way Samba does, so the file-status query sees them.
void SetDosAttributes(const std::string& path, uint32_t attributes) {
    std::string value = EncodeDosAttrib(DosAttrib{attributes, false, 0});
    ASSERT_EQ(setxattr(path.c_str(), kDosAttribName, value.data(), value.size(), 0), 0);
}

class FilterTest : public ::testing::Test {
  protected:
    FilterTest() {
        InitFilterPage(page);
        filter.SetPage(&page);
    }

    void TickAttributes(bool include, bool readOnly, bool hidden, bool system, bool archive) {
        page.SetChecked(ids::kFilterOnAttributes, true);
        page.SetChecked(include ? ids::kFilterInclude : ids::kFilterExclude, true);
        page.SetChecked(ids::kFilterReadOnly, readOnly);
        page.SetChecked(ids::kFilterHidden, hidden);
        page.SetChecked(ids::kFilterSystem, system);
        page.SetChecked(ids::kFilterArchive, archive);
    }

    void SetModifiedRule(const LocalDateTime& at, int direction) {
        page.SetChecked(ids::kFilterOnTimes, true);
        page.SetChecked(ids::kFilterModified, true);
        page.SetDateTime(ids::kFilterModifiedDate, {at.year, at.month, at.day, 17, 33, 5});
        page.SetDateTime(ids::kFilterModifiedTime, {2020, 6, 6, at.hour, at.minute, at.second});
        page.SetSelection(ids::kFilterModifiedDir, direction);
    }

    // Puts patterns on both extension lists as a scan would and ticks some.
    void SetExtensionRows(const std::vector<std::string>& patterns,
                          const std::vector<std::string>& includeTicks,
                          const std::vector<std::string>& excludeTicks) {
        page.ClearRows(ids::kFilterIncludeList);
        page.ClearRows(ids::kFilterExcludeList);
        FillExtensionLists(page, patterns);
        auto tick = [&](int list, const std::vector<std::string>& ticks) {
            for (int row = 0; row < page.RowCount(list); ++row) {
                for (const auto& t : ticks) {
                    if (page.RowText(list, row) == t) {
                        page.SetRowChecked(list, row, true);
                    }
                }
            }
        };
        tick(ids::kFilterIncludeList, includeTicks);
        tick(ids::kFilterExcludeList, excludeTicks);
    }

    CMemoryPage page;
    CFilterSettings filter;
    TestDir dir;
};

TEST(FilterDefaults, EverythingOffAndNoComparisonChosen) {
    CFilterSettings filter;
    EXPECT_FALSE(filter.Rules().FilterOnAttributes || filter.Rules().FilterOnTimes ||
                 filter.Rules().FilterOnExtension);
    EXPECT_FALSE(filter.Rules().AttributeMode);
    EXPECT_EQ(filter.Rules().CreationComparison, TimeComparison::None);
    EXPECT_EQ(filter.Rules().ModifiedComparison, TimeComparison::None);
    EXPECT_EQ(filter.Rules().LastAccessedComparison, TimeComparison::None);
    EXPECT_EQ(static_cast<int>(TimeComparison::Before), 0);
    EXPECT_EQ(static_cast<int>(TimeComparison::On), 1);
    EXPECT_EQ(static_cast<int>(TimeComparison::After), 2);
    EXPECT_EQ(static_cast<int>(TimeComparison::None), 3);
    EXPECT_TRUE(filter.Rules().FilterIncludeExtensions.empty());
}

TEST_F(FilterTest, AllGroupsOffAcceptsEveryExistingFileOnly) {
    std::string plain = dir.CreateFile("plain.txt");
    std::string hidden = dir.CreateFile(".hidden");
    std::string gone = dir.CreateFile("gone.txt");
    std::remove(gone.c_str());  // deleted after the scan, before Preview
    EXPECT_TRUE(filter.Matches(plain));
    EXPECT_TRUE(filter.Matches(hidden));
    EXPECT_FALSE(filter.Matches(gone));
    EXPECT_FALSE(filter.Matches(dir / "never-there"));
    EXPECT_FALSE(filter.ReadFromPage());
}

TEST_F(FilterTest, AttributeIncludeNeedsExactlyTheChosenSet) {
    std::string readOnly = dir.CreateFile("ro.txt");
    dir.SetMode("ro.txt", 0444);
    std::string readOnlyArchive = dir.CreateFile("ro-archive.txt");
    SetDosAttributes(readOnlyArchive, kAttrReadOnly | kAttrArchive);
    std::string plain = dir.CreateFile("plain.txt");

    TickAttributes(true, true, false, false, false);
    EXPECT_TRUE(filter.Matches(readOnly));
    EXPECT_FALSE(filter.Matches(readOnlyArchive));
    EXPECT_FALSE(filter.Matches(plain));

    // Include with nothing ticked: only files without any of the flags.
    TickAttributes(true, false, false, false, false);
    EXPECT_TRUE(filter.Matches(plain));
    EXPECT_FALSE(filter.Matches(readOnly));
}

TEST_F(FilterTest, AttributeExcludeWithNothingTickedRejectsPlainFiles) {
    std::string plain = dir.CreateFile("plain.txt");
    std::string hidden = dir.CreateFile(".profile");
    std::string archive = dir.CreateFile("archive.txt");
    SetDosAttributes(archive, kAttrArchive);
    std::string system = dir.CreateFile("system.txt");
    SetDosAttributes(system, kAttrSystem);

    TickAttributes(false, false, false, false, false);
    EXPECT_FALSE(filter.Matches(plain));
    EXPECT_TRUE(filter.Matches(hidden));
    EXPECT_TRUE(filter.Matches(archive));
    EXPECT_TRUE(filter.Matches(system));
}

TEST_F(FilterTest, ModifiedRuleComparesToTheSecond) {
    LocalDateTime rule{2002, 5, 1, 10, 0, 0};
    int64_t at = LocalToSeconds(rule);
    dir.CreateFile("exact.txt");
    dir.SetTimes("exact.txt", at, at);
    dir.CreateFile("later.txt");
    dir.SetTimes("later.txt", at, at + 1);
    dir.CreateFile("earlier.txt");
    dir.SetTimes("earlier.txt", at, at - 1);

    SetModifiedRule(rule, 1);  // On
    EXPECT_TRUE(filter.Matches(dir / "exact.txt"));
    EXPECT_FALSE(filter.Matches(dir / "later.txt"));
    SetModifiedRule(rule, 0);  // Before
    EXPECT_FALSE(filter.Matches(dir / "exact.txt"));
    EXPECT_TRUE(filter.Matches(dir / "earlier.txt"));
    SetModifiedRule(rule, 2);  // After
    EXPECT_TRUE(filter.Matches(dir / "later.txt"));
    EXPECT_FALSE(filter.Matches(dir / "exact.txt"));

    // A freshly ticked rule has no comparison chosen: every file passes.
    SetModifiedRule(rule, -1);
    EXPECT_TRUE(filter.Matches(dir / "later.txt"));
    EXPECT_TRUE(filter.Matches(dir / "earlier.txt"));
}

TEST_F(FilterTest, LastAccessRuleFallsBackToModificationTime) {
    LocalDateTime rule{2010, 1, 15, 8, 30, 0};
    int64_t at = LocalToSeconds(rule);
    dir.CreateFile("noatime.txt");
    dir.SetTimes("noatime.txt", 0, at);  // no last-access time recorded

    page.SetChecked(ids::kFilterOnTimes, true);
    page.SetChecked(ids::kFilterLastAccessed, true);
    page.SetDateTime(ids::kFilterLastAccessedDate, rule);
    page.SetDateTime(ids::kFilterLastAccessedTime, rule);
    page.SetSelection(ids::kFilterLastAccessedDir, 1);
    EXPECT_TRUE(filter.Matches(dir / "noatime.txt"));
}

TEST_F(FilterTest, CreationRuleUsesTheFileBirth) {
    std::string file = dir.CreateFile("new.txt");
    LocalDateTime tomorrow = SecondsToLocal(LocalToSeconds(CurrentLocalTime()) + 86400);
    page.SetChecked(ids::kFilterOnTimes, true);
    page.SetChecked(ids::kFilterCreation, true);
    page.SetDateTime(ids::kFilterCreationDate, tomorrow);
    page.SetDateTime(ids::kFilterCreationTime, tomorrow);
    page.SetSelection(ids::kFilterCreationDir, 0);
    EXPECT_TRUE(filter.Matches(file));
    page.SetSelection(ids::kFilterCreationDir, 2);
    EXPECT_FALSE(filter.Matches(file));
}

TEST_F(FilterTest, GroupSwitchedOffIgnoresItsRules) {
    std::string file = dir.CreateFile("a.txt");
    dir.SetTimes("a.txt", 1000000000, 1000000000);
    SetModifiedRule({2030, 1, 1, 0, 0, 0}, 2);  // After 2030: rejects the file
    EXPECT_FALSE(filter.Matches(file));

    page.SetChecked(ids::kFilterOnTimes, false);
    EXPECT_TRUE(filter.Matches(file));
    // The rule's fields stay as they were read.
    EXPECT_TRUE(filter.Rules().FilterOnModDateTime);
    EXPECT_EQ(filter.Rules().ModifiedComparison, TimeComparison::After);
    EXPECT_EQ(filter.Rules().ModifiedDate.year, 2030);

    // Changes made while the group is off are not read until it is on again.
    page.SetSelection(ids::kFilterModifiedDir, 0);
    filter.ReadFromPage();
    EXPECT_EQ(filter.Rules().ModifiedComparison, TimeComparison::After);
    page.SetChecked(ids::kFilterOnTimes, true);
    filter.ReadFromPage();
    EXPECT_EQ(filter.Rules().ModifiedComparison, TimeComparison::Before);
}

TEST_F(FilterTest, IncludeListIgnoresLetterCase) {
    std::string upper = dir.CreateFile("report.TXT");
    std::string text = dir.CreateFile("notes.text");
    std::string bare = dir.CreateFile("README");
    page.SetChecked(ids::kFilterOnExtensions, true);
    page.SetChecked(ids::kFilterIncludeExtensions, true);

    SetExtensionRows({"*.txt", "*.text", "*"}, {"*.txt"}, {});
    EXPECT_TRUE(filter.Matches(upper));
    EXPECT_FALSE(filter.Matches(text));
    EXPECT_FALSE(filter.Matches(bare));
    EXPECT_EQ(filter.Rules().FilterIncludeExtensions, "*.txt;");

    SetExtensionRows({"*.txt", "*.text", "*"}, {"*.txt", "*"}, {});
    EXPECT_TRUE(filter.Matches(bare));

    // Include on with no row ticked lets nothing through.
    SetExtensionRows({"*.txt", "*.text", "*"}, {}, {});
    EXPECT_FALSE(filter.Matches(upper));
    EXPECT_FALSE(filter.Matches(bare));
    EXPECT_EQ(filter.Rules().FilterIncludeExtensions, "");
}

TEST_F(FilterTest, ExcludeWinsOverInclude) {
    std::string txt = dir.CreateFile("a.txt");
    std::string doc = dir.CreateFile("b.doc");
    page.SetChecked(ids::kFilterOnExtensions, true);
    page.SetChecked(ids::kFilterIncludeExtensions, true);
    page.SetChecked(ids::kFilterExcludeExtensions, true);
    SetExtensionRows({"*.txt", "*.doc"}, {"*.txt", "*.doc"}, {"*.txt"});
    EXPECT_FALSE(filter.Matches(txt));
    EXPECT_TRUE(filter.Matches(doc));

    // Exclude alone.
    page.SetChecked(ids::kFilterIncludeExtensions, false);
    EXPECT_FALSE(filter.Matches(txt));
    EXPECT_TRUE(filter.Matches(doc));
}

TEST_F(FilterTest, ExtensionOfAFolderNameWithADotIsNotTaken) {
    std::string file = dir.CreateFile("v1.2/plain");
    page.SetChecked(ids::kFilterOnExtensions, true);
    page.SetChecked(ids::kFilterIncludeExtensions, true);
    SetExtensionRows({"*", "*.2"}, {"*"}, {});
    EXPECT_TRUE(filter.Matches(file));
}

// After Refresh or a run the folder is read again: ticks of extensions it
// still has stay, so the filter left on does not silently empty the next job.
TEST_F(FilterTest, ARescanKeepsTheTicksOfExtensionsStillThere) {
    page.SetChecked(ids::kFilterOnExtensions, true);
    page.SetChecked(ids::kFilterIncludeExtensions, true);
    page.SetChecked(ids::kFilterExcludeExtensions, true);
    SetExtensionRows({"*.jpg", "*.png", "*"}, {"*.jpg", "*.png"}, {"*"});
    FillExtensionLists(page, {"*.jpg", "*.gif", "*"});
    std::string jpg = dir.CreateFile("a.jpg");
    std::string png = dir.CreateFile("b.png");
    std::string gif = dir.CreateFile("c.gif");
    EXPECT_TRUE(filter.Matches(jpg));
    EXPECT_FALSE(filter.Matches(png));  // gone from the folder, so no longer ticked
    EXPECT_FALSE(filter.Matches(gif));  // new, so not ticked
    EXPECT_EQ(filter.Rules().FilterIncludeExtensions, "*.jpg;");
    EXPECT_EQ(filter.Rules().FilterExcludeExtensions, "*;");
}

TEST(FilterCompareTime, OnNeedsTheSameSecondBeforeAndAfterAreStrict) {
    LocalDateTime date{2002, 5, 1, 1, 0, 0};   // only the day counts
    LocalDateTime time{1980, 1, 1, 10, 0, 0};  // only the time of day counts
    int64_t ten = LocalToSeconds({2002, 5, 1, 10, 0, 0});
    int64_t lateEvening = LocalToSeconds({2002, 4, 30, 23, 59, 59});
    using TC = TimeComparison;

    EXPECT_TRUE(CFilterSettings::CompareTime(ten, date, time, TC::On));
    EXPECT_FALSE(CFilterSettings::CompareTime(ten + 1, date, time, TC::On));
    EXPECT_FALSE(CFilterSettings::CompareTime(ten, date, time, TC::Before));
    EXPECT_TRUE(CFilterSettings::CompareTime(lateEvening, date, time, TC::Before));
    EXPECT_FALSE(CFilterSettings::CompareTime(ten, date, time, TC::After));
    EXPECT_TRUE(CFilterSettings::CompareTime(ten + 1, date, time, TC::After));
    for (int other : {-1, 3, 7}) {
        EXPECT_TRUE(CFilterSettings::CompareTime(ten + 5, date, time, static_cast<TC>(other)));
    }
}

TEST(FilterCompareTime, UsesLocalSummerAndWinterTime) {
    // 10:00 in Berlin is 08:00 UTC in summer and 09:00 UTC in winter.
    LocalDateTime time{1980, 1, 1, 10, 0, 0};
    EXPECT_TRUE(CFilterSettings::CompareTime(LocalToSeconds({2002, 7, 1, 10, 0, 0}),
                                             {2002, 7, 1, 1, 0, 0}, time, TimeComparison::On));
    EXPECT_TRUE(CFilterSettings::CompareTime(LocalToSeconds({2002, 1, 1, 10, 0, 0}),
                                             {2002, 1, 1, 1, 0, 0}, time, TimeComparison::On));
}

TEST(FilterListContains, SemicolonTerminatedEntriesIgnoringCase) {
    EXPECT_TRUE(CFilterSettings::ListContains("*.DOC", "*.txt;*.doc;"));
    EXPECT_TRUE(CFilterSettings::ListContains("*.txt", "*.txt;*.doc;"));
    EXPECT_FALSE(CFilterSettings::ListContains("*.doc", "*.txt;*.doc"));  // no ";" after it
    EXPECT_FALSE(CFilterSettings::ListContains("*.do", "*.txt;*.doc;"));
    EXPECT_FALSE(CFilterSettings::ListContains("*", ""));
    EXPECT_TRUE(CFilterSettings::ListContains("*", "*.txt;*;"));
    EXPECT_FALSE(CFilterSettings::ListContains("*", "*.txt;"));
    EXPECT_TRUE(CFilterSettings::ListContains("*.été", "*.ÉTÉ;"));
}

// --- the filter file ---

class FilterFileTest : public FilterTest {
  protected:
    // Every group and rule on, each with distinct values.
    void SetEverything() {
        TickAttributes(false, true, false, true, true);
        page.SetChecked(ids::kFilterOnTimes, true);
        page.SetChecked(ids::kFilterCreation, true);
        page.SetDateTime(ids::kFilterCreationDate, {2002, 3, 27, 14, 0, 0});
        page.SetDateTime(ids::kFilterCreationTime, {2024, 1, 2, 7, 8, 9});
        page.SetSelection(ids::kFilterCreationDir, 0);
        page.SetChecked(ids::kFilterModified, true);
        page.SetDateTime(ids::kFilterModifiedDate, {1999, 12, 31, 0, 0, 0});
        page.SetDateTime(ids::kFilterModifiedTime, {2024, 1, 2, 23, 59, 58});
        page.SetSelection(ids::kFilterModifiedDir, 1);
        page.SetChecked(ids::kFilterLastAccessed, true);
        page.SetDateTime(ids::kFilterLastAccessedDate, {2010, 7, 4, 0, 0, 0});
        page.SetDateTime(ids::kFilterLastAccessedTime, {2024, 1, 2, 0, 0, 1});
        page.SetSelection(ids::kFilterLastAccessedDir, 2);
        page.SetChecked(ids::kFilterOnExtensions, true);
        page.SetChecked(ids::kFilterIncludeExtensions, true);
        page.SetChecked(ids::kFilterExcludeExtensions, true);
        SetExtensionRows({"*.jpg", "*.gif", "*.txt", "*"}, {"*.jpg", "*.gif"}, {"*"});
    }

    std::string settingsPath() const { return dir / "a.qvr"; }
};

TEST_F(FilterFileTest, FilterFileSitsBesideTheSettingsFile) {
    EXPECT_EQ(CFilterSettings::FilterFilePath("/jobs/a.qvr"), "/jobs/a.qvrfltr");
    page.SetChecked(ids::kFilterOnAttributes, true);
    ASSERT_TRUE(filter.SaveSettings(settingsPath()));
    EXPECT_TRUE(dir.Exists("a.qvrfltr"));
    EXPECT_FALSE(dir.Exists("a.qvr"));
}

TEST_F(FilterFileTest, WritesOnlyTheKeysOfGroupsThatAreOn) {
    TickAttributes(false, false, true, false, false);
    page.SetChecked(ids::kFilterOnExtensions, true);
    page.SetChecked(ids::kFilterIncludeExtensions, true);
    SetExtensionRows({"*.txt", "*.doc"}, {"*.txt"}, {"*.doc"});
    // Rules whose group is off are not written, whatever their boxes say.
    page.SetChecked(ids::kFilterCreation, true);
    page.SetSelection(ids::kFilterCreationDir, 0);

    ASSERT_TRUE(filter.SaveSettings(settingsPath()));
    EXPECT_EQ(dir.Read("a.qvrfltr"),
              "FilterAttribsIncludeExclude = Exclude\r\n"
              "FilterIncludeExtensions = *.txt;\r\n"
              "FilterOnArchive = No\r\n"
              "FilterOnAttributes = Yes\r\n"
              "FilterOnExcludeExtensions = No\r\n"
              "FilterOnExtension = Yes\r\n"
              "FilterOnHidden = Yes\r\n"
              "FilterOnIncludeExtensions = Yes\r\n"
              "FilterOnReadOnly = No\r\n"
              "FilterOnSystem = No\r\n"
              "FilterOnTimes = No\r\n"
              "HasFilters = Yes\r\n");
}

TEST_F(FilterFileTest, NothingOnWritesFourLines) {
    ASSERT_TRUE(filter.SaveSettings(settingsPath()));
    EXPECT_EQ(dir.Read("a.qvrfltr"),
              "FilterOnAttributes = No\r\nFilterOnExtension = No\r\nFilterOnTimes = No\r\n"
              "HasFilters = No\r\n");
}

TEST_F(FilterFileTest, TimeRuleWithoutComparisonWritesNoDirection) {
    page.SetChecked(ids::kFilterOnTimes, true);
    page.SetChecked(ids::kFilterModified, true);
    page.SetDateTime(ids::kFilterModifiedDate, {2002, 3, 27, 0, 0, 0});
    page.SetDateTime(ids::kFilterModifiedTime, {2002, 3, 27, 9, 5, 0});
    ASSERT_TRUE(filter.SaveSettings(settingsPath()));
    std::string text = dir.Read("a.qvrfltr");
    EXPECT_NE(text.find("FilterOnModifiedDate = 03-27-2002\r\n"), std::string::npos);
    EXPECT_NE(text.find("FilterOnModifiedTime = 09:05:00\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Dir ="), std::string::npos);
    EXPECT_NE(text.find("FilterOnCreationDateTime = No\r\n"), std::string::npos);
    EXPECT_EQ(text.find("FilterOnCreationDate ="), std::string::npos);

    // Loaded over a filter that had "Before", the rule comes back without a
    // comparison, letting every file pass as it did when saved.
    CFilterSettings loaded;
    loaded.Rules().ModifiedComparison = TimeComparison::Before;
    ASSERT_TRUE(loaded.LoadSettings(settingsPath()));
    EXPECT_EQ(loaded.Rules().ModifiedComparison, TimeComparison::None);
}

TEST_F(FilterFileTest, RoundTripRestoresEveryFieldAndThePage) {
    SetEverything();
    ASSERT_TRUE(filter.SaveSettings(settingsPath()));

    CMemoryPage other;
    InitFilterPage(other);
    other.AddRow(ids::kFilterIncludeList, {"*.old"}, true);
    CFilterSettings loaded;
    loaded.SetPage(&other);
    ASSERT_TRUE(loaded.LoadSettings(settingsPath()));

    EXPECT_TRUE(loaded.Rules().FilterOnAttributes);
    EXPECT_FALSE(loaded.Rules().AttributeMode);
    EXPECT_TRUE(loaded.Rules().FilterOnReadOnly);
    EXPECT_FALSE(loaded.Rules().FilterOnHidden);
    EXPECT_TRUE(loaded.Rules().FilterOnSystem);
    EXPECT_TRUE(loaded.Rules().FilterOnArchive);
    EXPECT_TRUE(loaded.Rules().FilterOnTimes);
    EXPECT_TRUE(loaded.Rules().FilterOnCreationDateTime);
    EXPECT_TRUE(loaded.Rules().FilterOnModDateTime);
    EXPECT_TRUE(loaded.Rules().FilterOnLastAccessDateTime);
    auto day = [](const LocalDateTime& v) { return std::tuple(v.year, v.month, v.day); };
    auto clock = [](const LocalDateTime& v) { return std::tuple(v.hour, v.minute, v.second); };
    EXPECT_EQ(day(loaded.Rules().CreationDate), std::tuple(2002, 3, 27));
    EXPECT_EQ(clock(loaded.Rules().CreationTime), std::tuple(7, 8, 9));
    EXPECT_EQ(day(loaded.Rules().ModifiedDate), std::tuple(1999, 12, 31));
    EXPECT_EQ(clock(loaded.Rules().ModifiedTime), std::tuple(23, 59, 58));
    EXPECT_EQ(day(loaded.Rules().LastAccessedDate), std::tuple(2010, 7, 4));
    EXPECT_EQ(clock(loaded.Rules().LastAccessedTime), std::tuple(0, 0, 1));
    EXPECT_EQ(loaded.Rules().CreationComparison, TimeComparison::Before);
    EXPECT_EQ(loaded.Rules().ModifiedComparison, TimeComparison::On);
    EXPECT_EQ(loaded.Rules().LastAccessedComparison, TimeComparison::After);
    EXPECT_TRUE(loaded.Rules().FilterOnExtension);
    EXPECT_TRUE(loaded.Rules().FilterOnIncludeExtensions);
    EXPECT_EQ(loaded.Rules().FilterIncludeExtensions, "*.gif;*.jpg;");
    EXPECT_TRUE(loaded.Rules().FilterOnExcludeExtensions);
    EXPECT_EQ(loaded.Rules().FilterExcludeExtensions, "*;");

    // The page shows what was loaded; the extension lists wait for a rescan.
    EXPECT_TRUE(other.IsChecked(ids::kFilterOnAttributes));
    EXPECT_TRUE(other.IsChecked(ids::kFilterExclude));
    EXPECT_FALSE(other.IsChecked(ids::kFilterInclude));
    EXPECT_TRUE(other.IsEnabled(ids::kFilterReadOnly));
    EXPECT_TRUE(other.IsChecked(ids::kFilterReadOnly));
    EXPECT_FALSE(other.IsChecked(ids::kFilterHidden));
    EXPECT_TRUE(other.IsChecked(ids::kFilterOnTimes));
    EXPECT_TRUE(other.IsChecked(ids::kFilterModified));
    EXPECT_TRUE(other.IsEnabled(ids::kFilterModifiedDir));
    EXPECT_EQ(other.Selection(ids::kFilterModifiedDir), 1);
    EXPECT_EQ(other.Selection(ids::kFilterLastAccessedDir), 2);
    EXPECT_EQ(clock(other.DateTime(ids::kFilterCreationTime)), std::tuple(7, 8, 9));
    EXPECT_TRUE(other.IsChecked(ids::kFilterIncludeExtensions));
    EXPECT_TRUE(other.IsEnabled(ids::kFilterIncludeList));
    EXPECT_EQ(other.RowCount(ids::kFilterIncludeList), 0);

    // After the rescan the saved ticks come back, and the page then reads as saved.
    FillExtensionLists(other, std::vector<std::string>{"*.jpg", "*.png", "*.gif", "*"});
    loaded.ApplyExtensionChecks();
    EXPECT_TRUE(loaded.ReadFromPage());
    EXPECT_EQ(loaded.Rules().FilterIncludeExtensions, "*.gif;*.jpg;");
    EXPECT_EQ(loaded.Rules().FilterExcludeExtensions, "*;");
    EXPECT_EQ(loaded.Rules().CreationComparison, TimeComparison::Before);
    EXPECT_EQ(day(loaded.Rules().CreationDate), std::tuple(2002, 3, 27));
}

TEST_F(FilterFileTest, ApplyToPageLeavesGroupsThatAreOffAlone) {
    dir.CreateFile("a.qvrfltr",
                   "HasFilters = Yes\r\nFilterOnAttributes = No\r\nFilterOnTimes = No\r\n"
                   "FilterOnExtension = Yes\r\nFilterOnIncludeExtensions = No\r\n"
                   "FilterOnExcludeExtensions = Yes\r\nFilterExcludeExtensions = *.tmp;\r\n");
    page.SetChecked(ids::kFilterOnAttributes, true);
    page.SetChecked(ids::kFilterHidden, true);
    page.SetSelection(ids::kFilterCreationDir, 2);
    ASSERT_TRUE(filter.LoadSettings(settingsPath()));
    EXPECT_FALSE(page.IsChecked(ids::kFilterOnAttributes));
    EXPECT_TRUE(page.IsChecked(ids::kFilterHidden));  // tick kept, box disabled
    EXPECT_FALSE(page.IsEnabled(ids::kFilterHidden));
    EXPECT_EQ(page.Selection(ids::kFilterCreationDir), 2);
    EXPECT_FALSE(page.IsEnabled(ids::kFilterCreation));
    EXPECT_TRUE(page.IsChecked(ids::kFilterOnExtensions));
    EXPECT_FALSE(page.IsChecked(ids::kFilterIncludeExtensions));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterIncludeList));
    EXPECT_TRUE(page.IsEnabled(ids::kFilterExcludeList));
}

TEST_F(FilterFileTest, MissingKeysKeepTheirValues) {
    SetEverything();
    filter.ReadFromPage();
    dir.CreateFile("a.qvrfltr",
                   "HasFilters = Yes\r\nFilterOnTimes = Yes\r\n"
                   "FilterOnModDateTime = Yes\r\n"
                   "FilterOnModifiedDateTimeDir = after\r\n");
    ASSERT_TRUE(filter.LoadSettings(settingsPath()));
    EXPECT_TRUE(filter.Rules().FilterOnAttributes);
    EXPECT_TRUE(filter.Rules().FilterOnSystem);
    EXPECT_TRUE(filter.Rules().FilterOnExtension);
    EXPECT_EQ(filter.Rules().FilterIncludeExtensions, "*.gif;*.jpg;");
    EXPECT_TRUE(filter.Rules().FilterOnCreationDateTime);
    EXPECT_EQ(filter.Rules().CreationComparison, TimeComparison::Before);
    EXPECT_EQ(filter.Rules().ModifiedComparison, TimeComparison::After);  // word case ignored
    EXPECT_EQ(filter.Rules().ModifiedDate.year, 1999);
    EXPECT_TRUE(page.IsChecked(ids::kFilterOnAttributes));
}

// A file saved without filters leaves none switched on, whatever was on
// before: filters left on would hide files without a word.
TEST_F(FilterFileTest, NoFiltersInTheFileMeansNoneOnThePage) {
    SetEverything();
    filter.ReadFromPage();
    for (const char* text : {"HasFilters = No\r\n", "HasFilters = No\r\nFilterOnTimes = Yes\r\n",
                             "FilterOnAttributes = No\r\n"}) {
        SCOPED_TRACE(text);
        dir.CreateFile("a.qvrfltr", text);
        ASSERT_TRUE(filter.LoadSettings(settingsPath()));
        for (int group :
             {ids::kFilterOnAttributes, ids::kFilterOnTimes, ids::kFilterOnExtensions}) {
            EXPECT_FALSE(page.IsChecked(group)) << group;
        }
        EXPECT_FALSE(filter.ReadFromPage());
        EXPECT_TRUE(filter.Matches(dir.CreateFile("any.bin")));
    }
}

TEST_F(FilterFileTest, UnknownDirectionWordMeansNoComparison) {
    filter.Rules().CreationComparison = TimeComparison::On;
    dir.CreateFile("a.qvrfltr",
                   "FilterOnTimes = Yes\nFilterOnCreationDateTime = Yes\n"
                   "FilterOnCreationDateTimeDir = Sometime\n");
    ASSERT_TRUE(filter.LoadSettings(settingsPath()));
    EXPECT_EQ(filter.Rules().CreationComparison, TimeComparison::None);
}

TEST_F(FilterFileTest, LinesPutIntoTheStoreAreTakenOut) {
    // A caller may put lines into the store before taking the keys out.
    filter.Store().Clear();
    filter.Store().SetValue("FilterOnExtension", "Yes");
    filter.Store().SetValue("FilterOnIncludeExtensions", "yes");
    filter.Store().SetValue("FilterIncludeExtensions", "*.jpg;");
    filter.Store().SetValue("FilterAttribsIncludeExclude", "Include");
    EXPECT_FALSE(filter.ReadFilterKeys());
    EXPECT_TRUE(filter.Rules().FilterOnExtension);
    EXPECT_TRUE(filter.Rules().FilterOnIncludeExtensions);
    EXPECT_EQ(filter.Rules().FilterIncludeExtensions, "*.jpg;");
    EXPECT_FALSE(filter.Rules().AttributeMode);  // attribute group off: mode not read
}

TEST_F(FilterFileTest, FailedLoadChangesNothing) {
    SetEverything();
    filter.ReadFromPage();
    page.SetChecked(ids::kFilterOnTimes, false);
    EXPECT_FALSE(filter.LoadSettings(dir / "missing.qvr"));
    EXPECT_NE(filter.Store().LastError(), 0);
    EXPECT_TRUE(filter.Rules().FilterOnTimes);
    EXPECT_FALSE(page.IsChecked(ids::kFilterOnTimes));
    EXPECT_EQ(page.RowCount(ids::kFilterIncludeList), 4);
}

TEST_F(FilterFileTest, SaveIntoAMissingFolderFails) {
    EXPECT_FALSE(filter.SaveSettings(dir / "no/such/folder/a.qvr"));
    EXPECT_NE(filter.Store().LastError(), 0);
}

TEST_F(FilterFileTest, ExtensionChecksTickEveryListedRowButNotAnUnterminatedTail) {
    // Hand-edited lists: the text after the last ";" is no entry.
    filter.Rules().FilterIncludeExtensions = "*.TXT;*.jpeg;*.gone;*.doc";
    filter.Rules().FilterExcludeExtensions = "*.tmp";
    FillExtensionLists(page, std::vector<std::string>{"*.txt", "*.jpeg", "*.tmp", "*.doc"});
    filter.ApplyExtensionChecks();
    auto ticked = [&](int list) {
        std::vector<std::string> rows;
        for (int row = 0; row < page.RowCount(list); ++row) {
            if (page.IsRowChecked(list, row)) {
                rows.push_back(page.RowText(list, row));
            }
        }
        return rows;
    };
    EXPECT_EQ(ticked(ids::kFilterIncludeList), (std::vector<std::string>{"*.jpeg", "*.txt"}));
    EXPECT_EQ(ticked(ids::kFilterExcludeList), std::vector<std::string>{});

    // And so the filter, which reads the page, lets no .doc file through.
    page.SetChecked(ids::kFilterOnExtensions, true);
    page.SetChecked(ids::kFilterIncludeExtensions, true);
    EXPECT_TRUE(filter.Matches(dir.CreateFile("a.txt")));
    EXPECT_FALSE(filter.Matches(dir.CreateFile("b.doc")));
}

}  // namespace
}  // namespace quorvan
