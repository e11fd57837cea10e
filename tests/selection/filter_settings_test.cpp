#include "selection/filter_settings.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cstdio>

#include "common/local_time.h"
#include "platform/dos_attrib.h"
#include "platform/file_system.h"
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
    FilterTest() { filter.SetPage(&page); }

    // What Preview and Start do: read the page, then judge the file.
    bool Passes(const std::string& path) {
        filter.ReadFromPage();
        return filter.Matches(path);
    }

    void TickAttributes(bool include, bool readOnly, bool hidden, bool system, bool archive) {
        s.onAttributes = true;
        s.includeAttributes = include;
        s.readOnly = readOnly;
        s.hidden = hidden;
        s.system = system;
        s.archive = archive;
    }

    void SetModifiedRule(const LocalDateTime& at, TimeComparison comparison) {
        s.onTimes = true;
        s.modified = {true,
                      {at.year, at.month, at.day, 17, 33, 5},
                      {2020, 6, 6, at.hour, at.minute, at.second},
                      comparison};
    }

    // Puts patterns on both extension lists as a scan would and ticks some.
    void SetExtensionRows(const std::vector<std::string>& patterns,
                          const std::vector<std::string>& includeTicks,
                          const std::vector<std::string>& excludeTicks) {
        s.includeList.clear();
        s.excludeList.clear();
        FillExtensionLists(s, patterns);
        auto tick = [](std::vector<ExtensionRow>& list, const std::vector<std::string>& ticks) {
            for (ExtensionRow& row : list) {
                row.ticked = std::find(ticks.begin(), ticks.end(), row.pattern) != ticks.end();
            }
        };
        tick(s.includeList, includeTicks);
        tick(s.excludeList, excludeTicks);
    }

    std::vector<std::string> Ticked(const std::vector<ExtensionRow>& list) {
        std::vector<std::string> rows;
        for (const ExtensionRow& row : list) {
            if (row.ticked) {
                rows.push_back(row.pattern);
            }
        }
        return rows;
    }

    CFilterPageValue page;
    FilterPageState& s = page.state;
    CFilterSettings filter;
    TestDir dir;
};

TEST_F(FilterTest, AllGroupsOffAcceptsEveryExistingFileOnly) {
    std::string plain = dir.CreateFile("plain.txt");
    std::string hidden = dir.CreateFile(".hidden");
    std::string gone = dir.CreateFile("gone.txt");
    std::remove(gone.c_str());  // deleted after the scan, before Preview
    EXPECT_TRUE(Passes(plain));
    EXPECT_TRUE(Passes(hidden));
    EXPECT_FALSE(Passes(gone));
    EXPECT_FALSE(Passes(dir / "never-there"));
    EXPECT_FALSE(filter.ReadFromPage());
}

// Include passes only files with exactly the ticked set; Exclude rejects
// exactly those.
TEST_F(FilterTest, AttributeRuleWantsExactlyTheTickedSet) {
    const std::string readOnly = dir.CreateFile("ro.txt");
    dir.SetMode("ro.txt", 0444);
    const std::string readOnlyArchive = dir.CreateFile("ro-archive.txt");
    SetDosAttributes(readOnlyArchive, kAttrReadOnly | kAttrArchive);
    const std::string plain = dir.CreateFile("plain.txt");
    const std::string hidden = dir.CreateFile(".profile");
    const std::string system = dir.CreateFile("system.txt");
    SetDosAttributes(system, kAttrSystem);
    struct Case {
        bool include, readOnly;
        std::vector<std::string> passing;
    };
    const Case cases[] = {
        {true, true, {readOnly}},
        {true, false, {plain}},  // nothing ticked: only files without any flag
        {false, false, {readOnly, readOnlyArchive, hidden, system}},
    };
    for (const Case& c : cases) {
        TickAttributes(c.include, c.readOnly, false, false, false);
        for (const std::string& file : {readOnly, readOnlyArchive, plain, hidden, system}) {
            const bool expected =
                std::find(c.passing.begin(), c.passing.end(), file) != c.passing.end();
            EXPECT_EQ(Passes(file), expected) << c.include << c.readOnly << " " << file;
        }
    }
}

TEST_F(FilterTest, ModifiedRuleComparesToTheSecond) {
    const LocalDateTime rule{2002, 5, 1, 10, 0, 0};
    const int64_t at = LocalToSeconds(rule);
    for (auto [name, time] :
         {std::pair{"earlier.txt", at - 1}, {"exact.txt", at}, {"later.txt", at + 1}}) {
        dir.CreateFile(name);
        dir.SetTimes(name, at, time);
    }
    using TC = TimeComparison;
    // Earlier, exact and later pass or not; a freshly ticked rule has no
    // comparison chosen, and a stored one out of range none known: both let
    // every file pass.
    const std::pair<TC, std::vector<bool>> cases[] = {{TC::On, {false, true, false}},
                                                      {TC::Before, {true, false, false}},
                                                      {TC::After, {false, false, true}},
                                                      {TC::None, {true, true, true}},
                                                      {static_cast<TC>(7), {true, true, true}}};
    for (const auto& [comparison, expected] : cases) {
        SetModifiedRule(rule, comparison);
        EXPECT_EQ((std::vector<bool>{Passes(dir / "earlier.txt"), Passes(dir / "exact.txt"),
                                     Passes(dir / "later.txt")}),
                  expected)
            << static_cast<int>(comparison);
    }
}

TEST_F(FilterTest, LastAccessAndCreationRulesUseTheirOwnTimes) {
    const LocalDateTime rule{2010, 1, 15, 8, 30, 0};
    const int64_t at = LocalToSeconds(rule);
    dir.CreateFile("noatime.txt");
    dir.SetTimes("noatime.txt", 0, at);  // no last-access time recorded: the modification's
    s.onTimes = true;
    s.lastAccessed = {true, rule, rule, TimeComparison::On};
    EXPECT_TRUE(Passes(dir / "noatime.txt"));

    const std::string file = dir.CreateFile("new.txt");
    const LocalDateTime tomorrow = SecondsToLocal(LocalToSeconds(CurrentLocalTime()) + 86400);
    s.lastAccessed.on = false;
    s.creation = {true, tomorrow, tomorrow, TimeComparison::Before};
    EXPECT_TRUE(Passes(file));
    s.creation.comparison = TimeComparison::After;
    EXPECT_FALSE(Passes(file));
}

TEST_F(FilterTest, GroupSwitchedOffIgnoresItsRules) {
    std::string file = dir.CreateFile("a.txt");
    dir.SetTimes("a.txt", 1000000000, 1000000000);
    SetModifiedRule({2030, 1, 1, 0, 0, 0}, TimeComparison::After);  // rejects the file
    EXPECT_FALSE(Passes(file));

    s.onTimes = false;
    EXPECT_TRUE(Passes(file));
    // The rule's fields stay as they were read.
    EXPECT_TRUE(filter.Rules().FilterOnModDateTime);
    EXPECT_EQ(filter.Rules().ModifiedComparison, TimeComparison::After);
    EXPECT_EQ(filter.Rules().ModifiedDate.year, 2030);

    // Changes made while the group is off are not read until it is on again.
    s.modified.comparison = TimeComparison::Before;
    filter.ReadFromPage();
    EXPECT_EQ(filter.Rules().ModifiedComparison, TimeComparison::After);
    s.onTimes = true;
    filter.ReadFromPage();
    EXPECT_EQ(filter.Rules().ModifiedComparison, TimeComparison::Before);
}

TEST_F(FilterTest, ExtensionListsIgnoreLetterCaseAndExcludeWins) {
    const std::string upper = dir.CreateFile("report.TXT");
    const std::string text = dir.CreateFile("notes.text");
    const std::string bare = dir.CreateFile("README");
    const std::string doc = dir.CreateFile("b.doc");
    const std::string inFolder = dir.CreateFile("v1.2/plain");  // the folder's dot is no extension
    s.onExtensions = true;
    struct Case {
        bool include, exclude;
        std::vector<std::string> includeTicks, excludeTicks;
        std::string includeList;     // as read from the page
        std::vector<bool> expected;  // upper, text, bare, doc, inFolder
    };
    const Case cases[] = {
        {true, false, {"*.txt"}, {}, "*.txt;", {true, false, false, false, false}},
        {true, false, {"*.txt", "*"}, {}, "*;*.txt;", {true, false, true, false, true}},
        {true, false, {}, {}, "", {false, false, false, false, false}},  // nothing ticked
        {true,
         true,
         {"*.txt", "*.doc"},
         {"*.txt"},
         "*.doc;*.txt;",
         {false, false, false, true, false}},
        {false, true, {}, {"*.txt"}, "*.doc;*.txt;", {false, true, true, true, true}},
    };
    for (const Case& c : cases) {
        s.includeExtensions = c.include;
        s.excludeExtensions = c.exclude;
        SetExtensionRows({"*.txt", "*.text", "*", "*.doc", "*.2"}, c.includeTicks, c.excludeTicks);
        std::vector<bool> passed;
        for (const std::string& file : {upper, text, bare, doc, inFolder}) {
            passed.push_back(Passes(file));
        }
        EXPECT_EQ(passed, c.expected) << c.includeList;
        EXPECT_EQ(filter.Rules().FilterIncludeExtensions, c.includeList);
    }
}

// After Refresh or a run the folder is read again: ticks of extensions it
// still has stay, so the filter left on does not silently empty the next job.
TEST_F(FilterTest, ARescanKeepsTheTicksOfExtensionsStillThere) {
    s.onExtensions = s.includeExtensions = s.excludeExtensions = true;
    SetExtensionRows({"*.jpg", "*.png", "*"}, {"*.jpg", "*.png"}, {"*"});
    FillExtensionLists(page, std::vector<std::string>{"*.jpg", "*.gif", "*"});
    EXPECT_TRUE(Passes(dir.CreateFile("a.jpg")));
    EXPECT_FALSE(Passes(dir.CreateFile("b.png")));  // gone from the folder, so no longer ticked
    EXPECT_FALSE(Passes(dir.CreateFile("c.gif")));  // new, so not ticked
    EXPECT_EQ(filter.Rules().FilterIncludeExtensions, "*.jpg;");
    EXPECT_EQ(filter.Rules().FilterExcludeExtensions, "*;");
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
        s.onTimes = true;
        s.creation = {true, {2002, 3, 27, 14, 0, 0}, {2024, 1, 2, 7, 8, 9}, TimeComparison::Before};
        s.modified = {true, {1999, 12, 31, 0, 0, 0}, {2024, 1, 2, 23, 59, 58}, TimeComparison::On};
        s.lastAccessed = {
            true, {2010, 7, 4, 0, 0, 0}, {2024, 1, 2, 0, 0, 1}, TimeComparison::After};
        s.onExtensions = s.includeExtensions = s.excludeExtensions = true;
        SetExtensionRows({"*.jpg", "*.gif", "*.txt", "*"}, {"*.jpg", "*.gif"}, {"*"});
    }

    std::string settingsPath() const { return dir / "a.qvr"; }
};

// With nothing on, four lines, in a file beside the settings file.
TEST_F(FilterFileTest, FilterFileSitsBesideTheSettingsFileWithTheKeysOfGroupsThatAreOn) {
    EXPECT_EQ(CFilterSettings::FilterFilePath("/jobs/a.qvr"), "/jobs/a.qvrfltr");
    ASSERT_TRUE(filter.SaveSettings(settingsPath()));
    EXPECT_EQ(dir.Read("a.qvrfltr"),
              "FilterOnAttributes = No\r\nFilterOnExtension = No\r\nFilterOnTimes = No\r\n"
              "HasFilters = No\r\n");
    EXPECT_FALSE(dir.Exists("a.qvr"));

    // With groups on, only their keys.
    TickAttributes(false, false, true, false, false);
    s.onExtensions = s.includeExtensions = true;
    SetExtensionRows({"*.txt", "*.doc"}, {"*.txt"}, {"*.doc"});
    // Rules whose group is off are not written, whatever their boxes say.
    s.creation.on = true;
    s.creation.comparison = TimeComparison::Before;

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

TEST_F(FilterFileTest, TimeRuleWithoutComparisonWritesNoDirection) {
    s.onTimes = true;
    s.modified = {true, {2002, 3, 27, 0, 0, 0}, {2002, 3, 27, 9, 5, 0}, TimeComparison::None};
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

    // So does a direction word the filter does not know.
    loaded.Rules().CreationComparison = TimeComparison::On;
    dir.CreateFile("a.qvrfltr",
                   "FilterOnTimes = Yes\nFilterOnCreationDateTime = Yes\n"
                   "FilterOnCreationDateTimeDir = Sometime\n");
    ASSERT_TRUE(loaded.LoadSettings(settingsPath()));
    EXPECT_EQ(loaded.Rules().CreationComparison, TimeComparison::None);
}

TEST_F(FilterFileTest, RoundTripRestoresEveryFieldAndThePage) {
    SetEverything();
    ASSERT_TRUE(filter.SaveSettings(settingsPath()));
    const FilterRules saved = filter.Rules();

    CFilterPageValue other;
    other.state.includeList = {{"*.old", true}};
    CFilterSettings loaded;
    loaded.SetPage(&other);
    ASSERT_TRUE(loaded.LoadSettings(settingsPath()));
    // Every field as saved; only the unused parts of the dates and times
    // (the time of a date, the day of a time) are not in the file.
    FilterRules expected = saved;
    FilterRules got = loaded.Rules();
    for (FilterRules* rules : {&expected, &got}) {
        for (LocalDateTime* date :
             {&rules->CreationDate, &rules->ModifiedDate, &rules->LastAccessedDate}) {
            *date = DayOf(*date);
        }
        for (LocalDateTime* time :
             {&rules->CreationTime, &rules->ModifiedTime, &rules->LastAccessedTime}) {
            *time = TimeOfDayOf(*time);
        }
    }
    EXPECT_EQ(got, expected);

    // The page shows what was loaded; the extension lists wait for a rescan.
    FilterPageState shown = s;
    shown.includeList.clear();
    shown.excludeList.clear();
    for (TimeRulePageState* rule : {&shown.creation, &shown.modified, &shown.lastAccessed}) {
        rule->date = DayOf(rule->date);
        rule->time = TimeOfDayOf(rule->time);
    }
    EXPECT_EQ(other.state, shown);

    // After the rescan the saved ticks come back, and the page then reads as saved.
    FillExtensionLists(other, std::vector<std::string>{"*.jpg", "*.png", "*.gif", "*"});
    loaded.ApplyExtensionChecks();
    EXPECT_EQ(Ticked(other.state.includeList), (std::vector<std::string>{"*.gif", "*.jpg"}));
    EXPECT_TRUE(loaded.ReadFromPage());
    EXPECT_EQ(loaded.Rules().FilterIncludeExtensions, "*.gif;*.jpg;");
    EXPECT_EQ(loaded.Rules().FilterExcludeExtensions, "*;");
    EXPECT_EQ(loaded.Rules().CreationComparison, TimeComparison::Before);
}

TEST_F(FilterFileTest, MissingKeysKeepTheirValues) {
    SetEverything();
    filter.ReadFromPage();
    FilterRules expected = filter.Rules();
    expected.ModifiedComparison = TimeComparison::After;  // word case ignored
    dir.CreateFile("a.qvrfltr",
                   "HasFilters = Yes\r\nFilterOnTimes = Yes\r\n"
                   "FilterOnModDateTime = Yes\r\n"
                   "FilterOnModifiedDateTimeDir = after\r\n");
    ASSERT_TRUE(filter.LoadSettings(settingsPath()));
    EXPECT_EQ(filter.Rules(), expected);
    EXPECT_TRUE(s.onAttributes);
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
        EXPECT_FALSE(s.onAttributes || s.onTimes || s.onExtensions);
        EXPECT_TRUE(Passes(dir.CreateFile("any.bin")));
        EXPECT_FALSE(filter.AnyGroupOn());
    }
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

TEST_F(FilterFileTest, AFailedLoadChangesNothingAndAFailedSaveSaysWhy) {
    SetEverything();
    filter.ReadFromPage();
    s.onTimes = false;
    const FilterPageState before = s;
    EXPECT_FALSE(filter.LoadSettings(dir / "missing.qvr"));
    EXPECT_NE(filter.Store().LastError(), 0);
    EXPECT_TRUE(filter.Rules().FilterOnTimes);
    EXPECT_EQ(s, before);
    EXPECT_FALSE(filter.SaveSettings(dir / "no/such/folder/a.qvr"));
    EXPECT_NE(filter.Store().LastError(), 0);
}

TEST_F(FilterFileTest, ExtensionChecksTickEveryListedRowButNotAnUnterminatedTail) {
    // Hand-edited lists: the text after the last ";" is no entry.
    filter.Rules().FilterIncludeExtensions = "*.TXT;*.jpeg;;*.gone;*.doc";
    filter.Rules().FilterExcludeExtensions = "*.tmp";
    FillExtensionLists(page, std::vector<std::string>{"*.txt", "*.jpeg", "*.tmp", "*.doc"});
    filter.ApplyExtensionChecks();
    EXPECT_EQ(Ticked(s.includeList), (std::vector<std::string>{"*.jpeg", "*.txt"}));
    EXPECT_EQ(Ticked(s.excludeList), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorvan
