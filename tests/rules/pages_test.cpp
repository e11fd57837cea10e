#include <gtest/gtest.h>

#include "rules/control_ids.h"
#include "rules/memory_page.h"
#include "rules/rename_rules.h"

namespace quorvan {
namespace {

struct Pages {
    CMemoryPage rename, extended, attribute, cd, window;
    CRenameRules rules;
    Pages() {
        InitRenamePage(rename);
        InitExtendedPage(extended);
        InitAttributePage(attribute);
        rules.SetPages(&rename, &extended, &attribute, &cd);
        rules.SetSubfolderControls(
            &window, {ids::kSourceList, ids::kSelectAll, ids::kDeselectAll, ids::kInvertSelected});
    }
};

TEST(GatherFromPages, EachModeLeavesTheOtherModesFieldsAlone) {
    Pages p;
    p.rules.NumericSequence = true;
    p.rules.StartWith = 42;
    p.rules.DigitCount = 3;
    p.rules.AlphaStartWith = "Q";
    p.rules.SequencePlacement = 2;
    p.rename.SetChecked(ids::kChangeCase, true);
    p.rename.SetChecked(ids::kLowerCase, true);
    p.rules.GatherFromPages("/data");
    EXPECT_TRUE(p.rules.TextMode);
    EXPECT_TRUE(p.rules.CaseChange);
    EXPECT_EQ(p.rules.UpperCase, 0);
    EXPECT_TRUE(p.rules.NumericSequence);
    EXPECT_EQ(p.rules.StartWith, 42);
    EXPECT_EQ(p.rules.DigitCount, 3);
    EXPECT_EQ(p.rules.AlphaStartWith, "Q");
    EXPECT_EQ(p.rules.SequencePlacement, 2);

    p.rules.ReplaceString = true;
    p.rules.SourceString = "a";
    p.rules.DestString = "b";
    p.rename.SetChecked(ids::kSequencing, true);
    p.rename.SetChecked(ids::kChangeCase, false);
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.TextMode);
    EXPECT_TRUE(p.rules.CaseChange);
    EXPECT_EQ(p.rules.UpperCase, 0);
    EXPECT_TRUE(p.rules.ReplaceString);
    EXPECT_EQ(p.rules.SourceString, "a");
    EXPECT_EQ(p.rules.DestString, "b");
    EXPECT_EQ(p.rules.SequencePlacement, 0);
}

TEST(GatherFromPages, NumericDefaultsAreWrittenBackAndNumbersParsedLeniently) {
    Pages p;
    p.rename.SetChecked(ids::kSequencing, true);
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rename.Text(ids::kNumericStart), "1");
    EXPECT_EQ(p.rename.Text(ids::kDigits), "4");
    EXPECT_EQ(p.rules.StartWith, 1);
    EXPECT_EQ(p.rules.DigitCount, 4);

    p.rename.SetText(ids::kNumericStart, "  12abc");
    p.rename.SetText(ids::kDigits, "x");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.StartWith, 12);
    EXPECT_EQ(p.rules.DigitCount, 0);
    p.rename.SetText(ids::kNumericStart, "-7");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.StartWith, -7);

    p.rename.SetChecked(ids::kAlphaSequence, true);
    p.rename.SetText(ids::kAlphaStart, "b9");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.AlphaStartWith, "b9");
    EXPECT_EQ(p.rules.DigitCount, 0);
    EXPECT_EQ(p.rename.Text(ids::kCharacters), "");
}

TEST(GatherFromPages, TextsFollowTheirFlagsAndDatesTheirGroups) {
    Pages p;
    p.rules.Prefix = "old";
    p.rename.SetText(ids::kPrefix, "ignored");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.Prefix, "old");

    p.rules.RenameDestFolder = "/kept";
    p.extended.SetText(ids::kDestinationFolder, "/typed");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.RenameDestFolder, "/kept");
    p.extended.SetChecked(ids::kCopyThenRename, true);
    p.extended.SetText(ids::kDestinationFolder, "");
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.RenameInPlace);
    EXPECT_EQ(p.rules.RenameDestFolder, "");

    LocalDateTime held{2001, 2, 3, 4, 5, 6};
    p.rules.ModifyModDateTime = true;
    p.rules.ModDate = held;
    p.attribute.SetChecked(ids::kModifiedDateTime, false);
    p.attribute.SetDateTime(ids::kModifiedDate, {2020, 1, 1, 0, 0, 0});
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.ModifyDatesTimes);
    EXPECT_TRUE(p.rules.ModifyModDateTime);
    EXPECT_EQ(p.rules.ModDate, held);

    p.attribute.SetChecked(ids::kModifyDateTime, true);
    p.attribute.SetChecked(ids::kModifiedDateTime, true);
    p.attribute.SetDateTime(ids::kModifiedTime, {2019, 5, 6, 7, 8, 9});
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.ModDate, (LocalDateTime{2020, 1, 1, 0, 0, 0}));
    EXPECT_EQ(p.rules.ModTime, (LocalDateTime{2019, 5, 6, 7, 8, 9}));
}

TEST(ApplyToPages, ShowsAlphaSequencingAndSwitchesCdNamingOff) {
    Pages p;
    p.cd.SetChecked(ids::kRenameCdAudio, true);
    p.cd.AddRow(ids::kSelectedTracks, {"/cd/1.wav"});
    p.rules.TextMode = false;
    p.rules.NumericSequence = false;
    p.rules.AlphaStartWith = "aa";
    p.rules.DigitCount = 2;
    p.rules.SequencePlacement = 1;
    p.rules.IncludeSubFolders = true;
    p.rules.ApplyToPages("/data");

    EXPECT_TRUE(p.rename.IsChecked(ids::kSequencing));
    EXPECT_FALSE(p.rename.IsChecked(ids::kTextModifications));
    EXPECT_TRUE(p.rename.IsChecked(ids::kAlphaSequence));
    EXPECT_FALSE(p.rename.IsChecked(ids::kNumericSequence));
    EXPECT_TRUE(p.rename.IsEnabled(ids::kAlphaStart));
    EXPECT_TRUE(p.rename.IsEnabled(ids::kCharacters));
    EXPECT_FALSE(p.rename.IsEnabled(ids::kNumericStart));
    EXPECT_FALSE(p.rename.IsEnabled(ids::kDigits));
    EXPECT_EQ(p.rename.Text(ids::kAlphaStart), "aa");
    EXPECT_EQ(p.rename.Text(ids::kCharacters), "2");
    EXPECT_TRUE(p.rename.IsChecked(ids::kSequenceReplace));
    EXPECT_FALSE(p.rename.IsChecked(ids::kSequencePrefix));
    EXPECT_FALSE(p.rename.IsEnabled(ids::kAddPrefix));

    EXPECT_FALSE(p.cd.IsChecked(ids::kRenameCdAudio));
    EXPECT_EQ(p.cd.RowCount(ids::kSelectedTracks), 0);
    EXPECT_FALSE(p.cd.IsEnabled(ids::kGetNames));

    EXPECT_FALSE(p.window.IsEnabled(ids::kSourceList));
    EXPECT_FALSE(p.window.IsEnabled(ids::kSelectAll));
    // Copy mode shows the destination.
    EXPECT_TRUE(p.extended.IsChecked(ids::kCopyThenRename));
    EXPECT_TRUE(p.extended.IsEnabled(ids::kDestinationFolder));
}

TEST(ApplyToPages, RoundTripsEverySettingThroughThePages) {
    Pages p;
    CRenameRules& r = p.rules;
    r.TextMode = true;
    r.AddPrefix = true;
    r.Prefix = "p_";
    r.AddSuffix = true;
    r.Suffix = "_s";
    r.CaseChange = true;
    r.UpperCase = 0;
    r.ReplaceString = true;
    r.SourceString = "a";
    r.DestString = "b";
    r.ChangeExtension = true;
    r.ChangeExtensionString = "txt";
    r.ConcatExtension = true;
    r.ConcatExtensionString = ".bak";
    r.LogFile = true;
    r.UndoBatchFile = true;
    r.RenameInPlace = false;
    r.RenameDestFolder = "/out";
    r.ModifyAttributes = true;
    r.ModifyHidden = true;
    r.ModifyDatesTimes = true;
    r.ModifyLastAccessedDateTime = true;
    r.LastAccessedDate = {2002, 12, 6, 1, 0, 0};
    r.LastAccessedTime = {1980, 1, 1, 23, 7, 30};
    r.ApplyToPages("/data");

    CRenameRules copy;
    copy.SetPages(&p.rename, &p.extended, &p.attribute, &p.cd);
    copy.GatherFromPages("/data");
    EXPECT_EQ(copy.Prefix, "p_");
    EXPECT_EQ(copy.Suffix, "_s");
    EXPECT_TRUE(copy.CaseChange);
    EXPECT_EQ(copy.UpperCase, 0);
    EXPECT_EQ(copy.SourceString, "a");
    EXPECT_EQ(copy.DestString, "b");
    EXPECT_EQ(copy.ChangeExtensionString, "txt");
    EXPECT_EQ(copy.ConcatExtensionString, ".bak");
    EXPECT_TRUE(copy.LogFile);
    EXPECT_TRUE(copy.UndoBatchFile);
    EXPECT_FALSE(copy.RenameInPlace);
    EXPECT_EQ(copy.RenameDestFolder, "/out");
    EXPECT_TRUE(copy.ModifyHidden);
    EXPECT_FALSE(copy.ModifyReadOnly);
    EXPECT_TRUE(copy.ModifyLastAccessedDateTime);
    EXPECT_EQ(copy.LastAccessedDate, r.LastAccessedDate);
    EXPECT_EQ(copy.LastAccessedTime, r.LastAccessedTime);
}

}  // namespace
}  // namespace quorvan
