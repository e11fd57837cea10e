#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <sstream>

#include "new_names.h"
#include "rules/more_rules.h"
#include "rules/more_rules_page.h"
#include "rules/rename_rules.h"
#include "rules/sequence_order.h"
#include "support/file_text.h"
#include "support/settings_fixtures.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::Names;

RenameSettings InPlace(bool textMode) {
    RenameSettings r;
    r.TextMode = textMode;
    r.RenameInPlace = true;
    if (!textMode) {
        r.NumericSequence = true;
        r.StartWith = 1;
        r.DigitCount = 2;
        r.SequencePlacement = 0;
        r.AddSuffix = true;
        r.Suffix = "_";
    }
    return r;
}

struct RuleCase {
    const char* what;
    std::function<void(MoreRuleSettings&)> set;
    std::string name;
    std::string expected;  // in text mode
    // In sequencing, where the rule sees the number too; else "01_" + expected.
    std::string sequencing = {};
};
void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.what;
}

class EachRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(EachRule, GivesItsNameInBothModes) {
    const RuleCase& c = GetParam();
    for (bool textMode : {true, false}) {
        RenameSettings r = InPlace(textMode);
        c.set(r.More);
        const std::string expected = textMode || c.expected == "<none>" ? c.expected
                                     : c.sequencing.empty()             ? "01_" + c.expected
                                                                        : c.sequencing;
        EXPECT_EQ(Names(r, {"/d/" + c.name}).at(0), expected)
            << c.what << (textMode ? " (text)" : " (sequencing)");
    }
}

const std::string kBad = "caf\xC3\xA9\xFF x";  // "café", a stray byte, " x"

INSTANTIATE_TEST_SUITE_P(
    MoreRules, EachRule,
    ::testing::Values(
        RuleCase{"remove 4 from 1", [](auto& m) { m.RemoveChars = true, m.RemoveCount = 4; },
                 "IMG_0001.jpg", "0001.jpg", "MG_0001.jpg"},
        RuleCase{"remove the last 2 characters, counted in characters",
                 [](auto& m) { m.RemoveChars = true, m.RemoveCount = 2, m.RemoveFrom = -2; },
                 "Привет мир.txt", "Привет м.txt"},
        RuleCase{"remove past the end",
                 [](auto& m) { m.RemoveChars = true, m.RemoveCount = 9, m.RemoveFrom = 3; },
                 "北京市.png", "北京.png", "01.png"},
        RuleCase{"insert at 3",
                 [](auto& m) { m.InsertText = true, m.InsertString = "-", m.InsertAt = 3; },
                 "北京市.png", "北京-市.png", "01-_北京市.png"},
        RuleCase{"insert at -1 appends to the base",
                 [](auto& m) { m.InsertText = true, m.InsertString = "_x", m.InsertAt = -1; },
                 "a.b.txt", "a.b_x.txt"},
        RuleCase{"positions keep a stray byte whole",
                 [](auto& m) { m.RemoveChars = true, m.RemoveCount = 1, m.RemoveFrom = 5; },
                 kBad + ".txt", "café x.txt", "01_cf\xC3\xA9\xFF x.txt"},
        RuleCase{"regex with groups",
                 [](auto& m) {
                     m.RegexReplace = true, m.RegexPattern = "^IMG_(\\d{4})(\\d{2})(\\d{2})_",
                     m.RegexReplacement = "$1-${2}-$3_";
                 },
                 "IMG_20240601_101500.jpg", "2024-06-01_101500.jpg", "01_IMG_20240601_101500.jpg"},
        RuleCase{
            "regex leaves the extension alone by default",
            [](auto& m) { m.RegexReplace = true, m.RegexPattern = "g", m.RegexReplacement = "G"; },
            "jpg.jpg", "jpG.jpg"},
        RuleCase{"regex with the extension, ignoring case",
                 [](auto& m) {
                     m.RegexReplace = true, m.RegexPattern = "JPE?G$", m.RegexReplacement = "jpg",
                     m.RegexIgnoreCase = m.RegexIncludeExtension = true;
                 },
                 "photo.JPEG", "photo.jpg"},
        RuleCase{"regex on Cyrillic, named group and $$",
                 [](auto& m) {
                     m.RegexReplace = true, m.RegexPattern = "(?<w>\\w+) (\\w+)",
                     m.RegexReplacement = "$2$$${w}";
                 },
                 "Привет мир.doc", "мир$Привет.doc", "мир$01_Привет.doc"},
        RuleCase{
            "regex over invalid UTF-8 keeps the bytes",
            [](auto& m) { m.RegexReplace = true, m.RegexPattern = "x", m.RegexReplacement = "y"; },
            kBad + ".txt", "caf\xC3\xA9\xFF y.txt"},
        RuleCase{"regex emptying the base keeps the extension",
                 [](auto& m) { m.RegexReplace = true, m.RegexPattern = ".*"; }, "abc.txt", ".txt",
                 ".txt"},
        RuleCase{
            "regex emptying the whole name gives no target",
            [](auto& m) { m.RegexReplace = m.RegexIncludeExtension = true, m.RegexPattern = ".+"; },
            "abc.txt", "<none>"},
        RuleCase{
            "regex making a folder separator gives no target",
            [](auto& m) { m.RegexReplace = true, m.RegexPattern = "_", m.RegexReplacement = "/"; },
            "a_b.txt", "<none>"},
        RuleCase{"runs of blanks",
                 [](auto& m) { m.ReplaceBlanks = true, m.ReplaceBlanksWith = "_"; },
                 "two  blanks \there.txt", "two_blanks_here.txt"},
        RuleCase{"remove accents", [](auto& m) { m.RemoveAccents = true; }, "Crème Brûlée.txt",
                 "Creme Brulee.txt"},
        RuleCase{"transliterate Cyrillic", [](auto& m) { m.TransliterateAscii = true; },
                 "Привет мир.doc", "Privet mir.doc"},
        RuleCase{"transliterate CJK", [](auto& m) { m.TransliterateAscii = true; }, "北京.png",
                 "bei jing.png"},
        RuleCase{"transliterate keeps a stray byte", [](auto& m) { m.TransliterateAscii = true; },
                 kBad + ".txt", "cafe\xFF x.txt"},
        RuleCase{"NFD", [](auto& m) { m.Form = UnicodeForm::Nfd; }, "é.txt", "e\xCC\x81.txt"},
        RuleCase{"NFC", [](auto& m) { m.Form = UnicodeForm::Nfc; }, "e\xCC\x81.txt", "é.txt"},
        RuleCase{"trim", [](auto& m) { m.TrimName = true; }, " .name.. .txt ", "name.txt",
                 "01_ .name.txt"},
        RuleCase{"title case", [](auto& m) { m.NameCase = NameCaseStyle::Title; },
                 "01 - the QUICK brown_fox (live).mp3", "01 - The Quick Brown_Fox (Live).mp3"},
        RuleCase{"title case on Greek and Cyrillic",
                 [](auto& m) { m.NameCase = NameCaseStyle::Title; }, "ΑΛΦΑ привет.txt",
                 "Αλφα Привет.txt"},
        RuleCase{"sentence case", [](auto& m) { m.NameCase = NameCaseStyle::Sentence; },
                 "01 - the QUICK Fox.mp3", "01 - The quick fox.mp3"},
        RuleCase{"lower case and upper extension",
                 [](auto& m) {
                     m.NameCase = NameCaseStyle::Lower, m.ExtensionCase = ExtensionCaseStyle::Upper;
                 },
                 "ÉCOLE.jpg", "école.JPG"},
        RuleCase{"upper case keeps ß and stray bytes",
                 [](auto& m) { m.NameCase = NameCaseStyle::Upper; }, "straße" + kBad + ".txt",
                 "STRAßECAFÉ\xFF X.txt"},
        RuleCase{"invert", [](auto& m) { m.NameCase = NameCaseStyle::Invert; }, "aBc Δδ.TXT",
                 "AbC δΔ.TXT"},
        RuleCase{"a dot-file is all base", [](auto& m) { m.NameCase = NameCaseStyle::Upper; },
                 ".profile", ".PROFILE", "01_.profile"}),
    // Named by what each case does, so a failure says which rule it was.
    [](const ::testing::TestParamInfo<RuleCase>& param) {
        std::string name = std::to_string(param.index) + "_";
        for (const char* c = param.param.what; *c != '\0'; ++c) {
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        }
        return name;
    });

TEST(MoreRules, ApplyInThePageOrderAfterTodaysRules) {
    // Positions see the prefix; the regex sees the inserted text; the clean-up
    // sees what the regex made; case style comes last.
    RenameSettings r = InPlace(true);
    r.AddPrefix = true;
    r.Prefix = "x ";
    MoreRuleSettings& m = r.More;
    m.RemoveChars = true;
    m.RemoveCount = 2;  // the prefix
    m.InsertText = true;
    m.InsertString = "élan ";
    m.RegexReplace = true;
    m.RegexPattern = "élan\\s+(\\w+)";
    m.RegexReplacement = "$1  ÉLAN";
    m.RemoveAccents = true;
    m.ReplaceBlanks = true;
    m.ReplaceBlanksWith = "-";
    m.NameCase = NameCaseStyle::Title;
    EXPECT_EQ(Names(r, {"/d/song.mp3"}).at(0), "Song-Elan.mp3");
}

TEST(MoreRules, InvalidPatternSaysWhereAndMakesNoNames) {
    RenameSettings r = InPlace(true);
    r.More.RegexReplace = true;
    r.More.RegexPattern = "é(a";
    EXPECT_EQ(MoreRulesError(r.More),
              "Invalid regular expression at offset 3: missing closing parenthesis");
    EXPECT_EQ(Names(r, {"/d/a.txt", "/d/b.txt"}), (std::vector<std::string>{"<none>", "<none>"}));
    struct Bad {
        const char* pattern;
        const char* replacement;
        const char* message;
    };
    for (const Bad& bad : {
             Bad{"(a)", "$2", "Invalid replacement at offset 0: the pattern has no group 2"},
             Bad{"(?<y>a)", "x${m}", "Invalid replacement at offset 1: the pattern has no group m"},
             Bad{"a", "é$",
                 "Invalid replacement at offset 1: a \"$\" must be followed by a group, "
                 "or written $$"},
             Bad{"(a)(?<y>b)", "$$${1}$y$2", ""},
         }) {
        r.More.RegexPattern = bad.pattern;
        r.More.RegexReplacement = bad.replacement;
        EXPECT_EQ(MoreRulesError(r.More), bad.message) << bad.replacement;
    }
    // A pattern that backtracks without end fails on its name only, and soon.
    r.More.RegexPattern = "(a+)+$";
    r.More.RegexReplacement = "";
    EXPECT_EQ(Names(r, {"/d/" + std::string(60, 'a') + "!", "/d/b"}),
              (std::vector<std::string>{"<none>", "b"}));
    r.More.RegexReplace = false;  // a switched-off box plays no part
    EXPECT_EQ(MoreRulesError(r.More), "");
    r.More.SequenceStep = 0;
    EXPECT_NE(MoreRulesError(r.More), "");
}

TEST(Numbering, OrderStepAndRestartGiveOnlyTheNumbers) {
    struct Case {
        SequenceOrder order;
        int32_t step;
        bool perFolder;
        std::vector<std::string> expected;  // plan (byte) order of the sources
    };
    const std::vector<std::string> sources = {"/d/A3",   "/d/a02",   "/d/a10", "/d/a2",
                                              "/d/s/b1", "/d/s/b10", "/d/s/b2"};
    const std::vector<Case> cases = {
        {SequenceOrder::Path,
         1,
         false,
         {"01A3", "02a02", "03a10", "04a2", "05b1", "06b10", "07b2"}},
        {SequenceOrder::Natural,
         1,
         false,
         {"03A3", "01a02", "04a10", "02a2", "05b1", "07b10", "06b2"}},
        {SequenceOrder::Natural,
         1,
         true,
         {"03A3", "01a02", "04a10", "02a2", "01b1", "03b10", "02b2"}},
        {SequenceOrder::Path,
         5,
         false,
         {"01A3", "06a02", "11a10", "16a2", "21b1", "26b10", "31b2"}},
        {SequenceOrder::Path,
         -1,
         true,
         {"01A3", "00a02", "-1a10", "-2a2", "01b1", "00b10", "-1b2"}},
    };
    for (const Case& c : cases) {
        RenameSettings r = InPlace(false);
        r.AddSuffix = false;
        r.More.Order = c.order;
        r.More.SequenceStep = c.step;
        r.More.SequencePerFolder = c.perFolder;
        EXPECT_EQ(Names(r, sources), c.expected)
            << static_cast<int>(c.order) << " step " << c.step << " per folder " << c.perFolder;
    }
}

TEST(Numbering, ByModificationTimeAndSize) {
    test::TestDir dir;
    dir.CreateFile("a", "333");
    dir.CreateFile("b", "1");
    dir.CreateFile("c", "22");
    dir.SetTimes("a", 0, 2000);
    dir.SetTimes("b", 0, 3000);
    dir.SetTimes("c", 0, 1000);
    RenameSettings r = InPlace(false);
    r.AddSuffix = false;
    const std::vector<std::string> sources = {dir / "a", dir / "b", dir / "c"};
    r.More.Order = SequenceOrder::Modified;
    EXPECT_EQ(Names(r, sources), (std::vector<std::string>{"02a", "03b", "01c"}));
    r.More.Order = SequenceOrder::Size;
    EXPECT_EQ(Names(r, sources), (std::vector<std::string>{"03a", "01b", "02c"}));
}

// Settings files saved before these rules existed, with the names they gave
// (tests/data/settings: NAME.qvr and NAME.names, "source TAB target" lines).
TEST(MoreRules, SettingsFilesOfEarlierVersionsLoadPreviewAndSaveAlike) {
    const std::string folder = std::string(QUORVAN_TEST_DATA) + "/settings";
    int files = 0;
    for (const std::string& name : test::ListNames(folder)) {
        if (name.size() < 4 || name.substr(name.size() - 4) != ".qvr") {
            continue;
        }
        ++files;
        const std::string path = folder + "/" + name;
        std::istringstream namesFile(test::FileText(path.substr(0, path.size() - 4) + ".names"));
        std::vector<std::pair<std::string, std::string>> expected;
        for (std::string line; std::getline(namesFile, line);) {
            size_t tab = line.find('\t');
            expected.emplace_back(line.substr(0, tab), line.substr(tab + 1));
        }
        ASSERT_FALSE(expected.empty()) << name;

        CRenameRules rules;
        std::string sourcePath;
        ASSERT_TRUE(rules.LoadSettings(path, sourcePath)) << name;
        EXPECT_EQ(rules.Settings().More, MoreRuleSettings{}) << name;
        rules.ClearPlan();
        for (const auto& [source, target] : expected) {
            rules.AddSource(source);
        }
        rules.ComputePlan(sourcePath, false);
        EXPECT_EQ(rules.PlanEntries(), expected) << name;

        test::TestDir out;
        ASSERT_TRUE(rules.SaveSettings(out / "again.qvr", sourcePath)) << name;
        EXPECT_EQ(out.Read("again.qvr"), test::FileText(path)) << name;
    }
    EXPECT_GE(files, 6);
}

TEST(MoreRules, AFileWithoutTheseLinesLoadsTheDefaults) {
    test::TestDir dir;
    CRenameRules rules;
    rules.Settings() = test::FullRenameSettings().at(1);
    ASSERT_TRUE(rules.SaveSettings(dir / "all.qvr", "/x"));
    EXPECT_NE(dir.Read("all.qvr").find("NameCaseStyle = Invert\r\n"), std::string::npos);
    // A file saved without the rules, loaded over them, switches them off.
    CRenameRules plain;
    ASSERT_TRUE(plain.SaveSettings(dir / "none.qvr", "/x"));
    std::string folder;
    ASSERT_TRUE(rules.LoadSettings(dir / "none.qvr", folder));
    EXPECT_EQ(rules.Settings().More, MoreRuleSettings{});
}

TEST(MoreRulesPage, TheOpeningPageMakesTodaysNamesAndAClearBoxKeepsWhatItShows) {
    EXPECT_EQ(MoreRulesFromPage(MoreRulesPageState{}), MoreRuleSettings{});
    MoreRulesPageState page;
    page.nameCase = NameCaseStyle::Upper;  // shown, but its frame's box is clear
    page.step = 5;
    page.regexPattern = "(";  // a clear box's text plays no part
    EXPECT_FALSE(ChangesNames(MoreRulesFromPage(page)));
    EXPECT_EQ(MoreRulesError(MoreRulesFromPage(page)), "");
    EXPECT_TRUE(PageProblems(page).pattern.empty());
    // Loading settings without the groups leaves what the clear boxes show.
    EXPECT_EQ(MoreRulesPageFrom(MoreRuleSettings{}, page).nameCase, NameCaseStyle::Upper);
    page.caseStyle = page.numbering = page.regexReplace = true;
    const MoreRuleSettings rules = MoreRulesFromPage(page);
    EXPECT_EQ(rules.NameCase, NameCaseStyle::Upper);
    EXPECT_EQ(rules.SequenceStep, 5);
    EXPECT_EQ(MoreRulesPageFrom(rules, MoreRulesPageState{}), page);
    EXPECT_EQ(PageProblems(page).pattern, "Offset 1: missing closing parenthesis");
    page.regexPattern = "(a)";
    page.regexReplacement = "$2";
    EXPECT_EQ(PageProblems(page).pattern, "Replacement offset 0: the pattern has no group 2");
    page.step = 0;
    EXPECT_EQ(PageProblems(page).step, "cannot be 0");
    const MoreRulesEnabled on = EnabledControls(page);
    EXPECT_TRUE(on.regexFields && on.caseFields && on.numberingFields);
    EXPECT_FALSE(on.removeFields || on.insertFields || on.blanksText);
}

}  // namespace
}  // namespace quorvan
