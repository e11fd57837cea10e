#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::Cli;
using test::RunCommand;
using test::ShellQuote;
using test::TestDir;

// Every new key drives the preview, in text mode and in sequencing.
TEST(CliMoreRules, EveryKeyDrivesThePreview) {
    struct Case {
        std::string sets;
        std::string file;
        std::string expected;
    };
    const std::string seq =
        "--set TextSeqModifications=Seq --set NumericAlphaSequence=Num --set StartWith=1 "
        "--set DigitCount=1 --set SequencePlacement=Suffix ";
    const std::vector<Case> cases = {
        {"--set RemoveChars=Yes --set RemoveCount=2 --set RemoveFrom=-2", "abcd.txt", "ab.txt"},
        {"--set InsertText=Yes --set InsertString=_ --set InsertAt=2", "ab.txt", "a_b.txt"},
        {"--set RegexReplace=Yes --set 'RegexPattern=^img_(\\d+)' --set 'RegexReplacement=p$1' "
         "--set RegexIgnoreCase=Yes",
         "IMG_42.jpg", "p42.jpg"},
        {"--set RegexReplace=Yes --set 'RegexPattern=\\.JPG$' --set RegexReplacement=.jpeg "
         "--set RegexIncludeExtension=Yes",
         "a.JPG", "a.jpeg"},
        {"--set ReplaceBlanks=Yes --set ReplaceBlanksWith=_", "a  b.txt", "a_b.txt"},
        {"--set RemoveAccents=Yes", "Crème.txt", "Creme.txt"},
        {"--set TransliterateAscii=Yes", "Привет.txt", "Privet.txt"},
        {"--set UnicodeForm=NFD", "é.txt", "e\xCC\x81.txt"},
        {"--set TrimName=Yes", " a .txt", "a.txt"},
        {"--set NameCaseStyle=Title --set ExtensionCaseStyle=Upper", "the fox.mp3", "The Fox.MP3"},
        {seq + "--set SequenceOrder=Natural --set SequenceStep=10", "p10.tif", "p1011.tif"},
        {seq + "--set SequenceOrder=Natural --set SequenceStep=10", "p2.tif", "p21.tif"},
        {seq + "--set SequencePerFolder=Yes --set IncludeSubFolders=Yes", "sub/z.tif", "z1.tif"},
        {seq + "--set NameCaseStyle=Upper", "p2.tif", "P22.tif"},
    };
    for (const Case& c : cases) {
        TestDir dir;
        dir.CreateFiles({"p10.tif", "p2.tif", c.file});
        std::string out, err;
        const std::string file = dir / c.file;
        ASSERT_EQ(Cli("preview --set RenameInPlace=Yes " + c.sets + " " + ShellQuote(dir.Path()),
                      &out, &err),
                  0)
            << c.sets << err;
        const size_t line = out.find(file + "\t");
        ASSERT_NE(line, std::string::npos) << c.sets;
        const size_t start = line + file.size() + 1;
        const std::string target = out.substr(start, out.find('\n', start) - start);
        EXPECT_EQ(target.substr(target.rfind('/') + 1), c.expected) << c.sets;
    }
}

TEST(CliMoreRules, RunRenamesWithTheRulesAndSavesThem) {
    TestDir dir;
    dir.CreateFiles({"IMG_20240601_101500.jpg", "IMG_20240602_091500.jpg"});
    std::string out, err;
    const std::string sets =
        "--set RenameInPlace=Yes --set RegexReplace=Yes "
        "--set 'RegexPattern=^IMG_(\\d{4})(\\d{2})(\\d{2})_' --set 'RegexReplacement=$1-$2-$3_' ";
    ASSERT_EQ(Cli("run " + sets + "--save-settings " + ShellQuote(dir / "r.qvr") + " " +
                      ShellQuote(dir.Path()),
                  &out, &err),
              0)
        << err;
    std::vector<std::string> names = dir.List();
    EXPECT_TRUE(std::find(names.begin(), names.end(), "2024-06-01_101500.jpg") != names.end());
    EXPECT_TRUE(std::find(names.begin(), names.end(), "2024-06-02_091500.jpg") != names.end());
    EXPECT_NE(dir.Read("r.qvr").find("RegexPattern = ^IMG_(\\d{4})(\\d{2})(\\d{2})_\r\n"),
              std::string::npos);
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

TEST(CliMoreRules, TheTemplateComesFirstAndItsFoldersStay) {
    TestDir dir;
    dir.CreateFiles({"ab c.txt"});
    std::string out, err;
    ASSERT_EQ(Cli("preview --set RenameInPlace=Yes --set UseTemplate=Yes "
                  "--set 'Template={ext}/x {name}' --set NameCaseStyle=Upper "
                  "--set ReplaceBlanks=Yes --set ReplaceBlanksWith=_ " +
                      ShellQuote(dir.Path()),
                  &out, &err),
              0)
        << err;
    EXPECT_EQ(out, dir / "ab c.txt" + "\t" + dir / "txt/X_AB_C.txt" + "\n");
}

}  // namespace
}  // namespace quorvan
