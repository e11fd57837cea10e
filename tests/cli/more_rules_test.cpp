#include <gtest/gtest.h>

#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::Cli;
using test::ShellQuote;
using test::TestDir;

// Each rule is checked case by case in the rules tests; here the keys of
// both modes reach the rules through the command line.
TEST(CliMoreRules, TheNewKeysDriveThePreview) {
    struct Case {
        std::string sets;
        std::string file;
        std::string expected;
    };
    const std::string seq =
        "--set TextSeqModifications=Seq --set NumericAlphaSequence=Num --set StartWith=1 "
        "--set DigitCount=1 --set SequencePlacement=Suffix ";
    const std::vector<Case> cases = {
        {"--set RegexReplace=Yes --set 'RegexPattern=^img_(\\d+)' --set 'RegexReplacement=p$1' "
         "--set RegexIgnoreCase=Yes",
         "IMG_42.jpg", "p42.jpg"},
        {"--set NameCaseStyle=Title --set ExtensionCaseStyle=Upper", "the fox.mp3", "The Fox.MP3"},
        // In natural order p2 comes before p10.
        {seq + "--set SequenceOrder=Natural --set SequenceStep=10", "p2.tif", "p21.tif"},
        // The template comes first, and the other rules leave its folders alone.
        {"--set UseTemplate=Yes --set 'Template={ext}/x {name}' --set NameCaseStyle=Upper "
         "--set ReplaceBlanks=Yes --set ReplaceBlanksWith=_",
         "ab c.txt", "txt/X_AB_C.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sets);
        TestDir dir;
        dir.CreateFiles({"p10.tif", "p2.tif", c.file});
        std::string out, err;
        const std::string file = dir / c.file;
        ASSERT_EQ(Cli("preview --set RenameInPlace=Yes " + c.sets + " " + ShellQuote(dir.Path()),
                      &out, &err),
                  0)
            << err;
        const size_t line = out.find(file + "\t");
        ASSERT_NE(line, std::string::npos);
        const size_t start = line + file.size() + 1;
        const std::string target = out.substr(start, out.find('\n', start) - start);
        EXPECT_EQ(target, dir / c.expected);
    }
}

TEST(CliMoreRules, RulesThatCannotMakeNamesExitTwoWithOneLine) {
    struct Case {
        std::string sets;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"--set RegexReplace=Yes --set 'RegexPattern=a(b'",
         "quorvan-cli: Invalid regular expression at offset 3: missing closing parenthesis\n"},
        {"--set SequenceStep=0", "quorvan-cli: invalid value '0' for SequenceStep\n"},
        {"--set NameCaseStyle=Titel", "quorvan-cli: invalid value 'Titel' for NameCaseStyle\n"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"preview ", "run "}) {
            TestDir dir;
            dir.CreateFiles({"ab.txt"});
            std::string out, err;
            EXPECT_EQ(Cli(command + c.sets + " " + ShellQuote(dir.Path()), &out, &err), 2)
                << c.sets;
            EXPECT_EQ(err, c.message);
            EXPECT_EQ(out, "");
            EXPECT_EQ(dir.List(), std::vector<std::string>{"ab.txt"});
        }
    }
}

TEST(CliMoreRules, ARegexThatEmptiesANameMarksItInvalid) {
    TestDir dir;
    dir.CreateFiles({"ab.txt", "keep.txt"});
    std::string out, err;
    EXPECT_EQ(Cli("preview --status --set RegexReplace=Yes --set RegexIncludeExtension=Yes "
                  "--set 'RegexPattern=^ab\\.txt$' " +
                      ShellQuote(dir.Path()),
                  &out, &err),
              1);
    EXPECT_EQ(out, "invalid\t" + dir / "ab.txt" + "\t\n" + "unchanged\t" + dir / "keep.txt" + "\t" +
                       dir / "keep.txt" + "\n");
    EXPECT_EQ(err, "quorvan-cli: 2 files: 1 unchanged, 1 invalid\n");
}

}  // namespace
}  // namespace quorvan
