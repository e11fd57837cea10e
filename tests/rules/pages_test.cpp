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
    p.rules.Settings().NumericSequence = true;
    p.rules.Settings().StartWith = 42;
    p.rules.Settings().DigitCount = 3;
    p.rules.Settings().AlphaStartWith = "Q";
    p.rules.Settings().SequencePlacement = 2;
    p.rename.SetChecked(ids::kChangeCase, true);
    p.rename.SetChecked(ids::kLowerCase, true);
    p.rules.GatherFromPages("/data");
    EXPECT_TRUE(p.rules.Settings().TextMode);
    EXPECT_TRUE(p.rules.Settings().CaseChange);
    EXPECT_EQ(p.rules.Settings().UpperCase, 0);
    EXPECT_TRUE(p.rules.Settings().NumericSequence);
    EXPECT_EQ(p.rules.Settings().StartWith, 42);
    EXPECT_EQ(p.rules.Settings().DigitCount, 3);
    EXPECT_EQ(p.rules.Settings().AlphaStartWith, "Q");
    EXPECT_EQ(p.rules.Settings().SequencePlacement, 2);

    p.rules.Settings().ReplaceString = true;
    p.rules.Settings().SourceString = "a";
    p.rules.Settings().DestString = "b";
    p.rename.SetChecked(ids::kSequencing, true);
    p.rename.SetChecked(ids::kChangeCase, false);
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.Settings().TextMode);
    EXPECT_TRUE(p.rules.Settings().CaseChange);
    EXPECT_EQ(p.rules.Settings().UpperCase, 0);
    EXPECT_TRUE(p.rules.Settings().ReplaceString);
    EXPECT_EQ(p.rules.Settings().SourceString, "a");
    EXPECT_EQ(p.rules.Settings().DestString, "b");
    EXPECT_EQ(p.rules.Settings().SequencePlacement, 0);
}

TEST(GatherFromPages, NumericDefaultsAreWrittenBackAndNumbersParsedLeniently) {
    Pages p;
    p.rename.SetChecked(ids::kSequencing, true);
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rename.Text(ids::kNumericStart), "1");
    EXPECT_EQ(p.rename.Text(ids::kDigits), "4");
    EXPECT_EQ(p.rules.Settings().StartWith, 1);
    EXPECT_EQ(p.rules.Settings().DigitCount, 4);

    p.rename.SetText(ids::kNumericStart, "  12abc");
    p.rename.SetText(ids::kDigits, "x");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.Settings().StartWith, 12);
    EXPECT_EQ(p.rules.Settings().DigitCount, 0);
    p.rename.SetText(ids::kNumericStart, "-7");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.Settings().StartWith, -7);

    p.rename.SetChecked(ids::kAlphaSequence, true);
    p.rename.SetText(ids::kAlphaStart, "b9");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.Settings().AlphaStartWith, "b9");
    EXPECT_EQ(p.rules.Settings().DigitCount, 0);
    EXPECT_EQ(p.rename.Text(ids::kCharacters), "");
}

TEST(GatherFromPages, TextsFollowTheirFlagsAndDatesTheirGroups) {
    Pages p;
    p.rules.Settings().Prefix = "old";
    p.rename.SetText(ids::kPrefix, "ignored");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.Settings().Prefix, "old");

    p.rules.Settings().RenameDestFolder = "/kept";
    p.extended.SetText(ids::kDestinationFolder, "/typed");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.Settings().RenameDestFolder, "/kept");
    p.extended.SetChecked(ids::kCopyThenRename, true);
    p.extended.SetText(ids::kDestinationFolder, "");
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.Settings().RenameInPlace);
    EXPECT_EQ(p.rules.Settings().RenameDestFolder, "");

    LocalDateTime held{2001, 2, 3, 4, 5, 6};
    p.rules.Settings().ModifyModDateTime = true;
    p.rules.Settings().ModDate = held;
    p.attribute.SetChecked(ids::kModifiedDateTime, false);
    p.attribute.SetDateTime(ids::kModifiedDate, {2020, 1, 1, 0, 0, 0});
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.Settings().ModifyDatesTimes);
    EXPECT_TRUE(p.rules.Settings().ModifyModDateTime);
    EXPECT_EQ(p.rules.Settings().ModDate, held);

    p.attribute.SetChecked(ids::kModifyDateTime, true);
    p.attribute.SetChecked(ids::kModifiedDateTime, true);
    p.attribute.SetDateTime(ids::kModifiedTime, {2019, 5, 6, 7, 8, 9});
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.Settings().ModDate, (LocalDateTime{2020, 1, 1, 0, 0, 0}));
    EXPECT_EQ(p.rules.Settings().ModTime, (LocalDateTime{2019, 5, 6, 7, 8, 9}));
}

TEST(ApplyToPages, ShowsAlphaSequencingAndSwitchesCdNamingOff) {
    Pages p;
    p.cd.SetChecked(ids::kRenameCdAudio, true);
    p.cd.AddRow(ids::kSelectedTracks, {"/cd/1.wav"});
    p.rules.Settings().TextMode = false;
    p.rules.Settings().NumericSequence = false;
    p.rules.Settings().AlphaStartWith = "aa";
    p.rules.Settings().DigitCount = 2;
    p.rules.Settings().SequencePlacement = 1;
    p.rules.Settings().IncludeSubFolders = true;
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
    RenameSettings& r = p.rules.Settings();
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
    p.rules.ApplyToPages("/data");

    CRenameRules copy;
    copy.SetPages(&p.rename, &p.extended, &p.attribute, &p.cd);
    copy.GatherFromPages("/data");
    EXPECT_EQ(copy.Settings().Prefix, "p_");
    EXPECT_EQ(copy.Settings().Suffix, "_s");
    EXPECT_TRUE(copy.Settings().CaseChange);
    EXPECT_EQ(copy.Settings().UpperCase, 0);
    EXPECT_EQ(copy.Settings().SourceString, "a");
    EXPECT_EQ(copy.Settings().DestString, "b");
    EXPECT_EQ(copy.Settings().ChangeExtensionString, "txt");
    EXPECT_EQ(copy.Settings().ConcatExtensionString, ".bak");
    EXPECT_TRUE(copy.Settings().LogFile);
    EXPECT_TRUE(copy.Settings().UndoBatchFile);
    EXPECT_FALSE(copy.Settings().RenameInPlace);
    EXPECT_EQ(copy.Settings().RenameDestFolder, "/out");
    EXPECT_TRUE(copy.Settings().ModifyHidden);
    EXPECT_FALSE(copy.Settings().ModifyReadOnly);
    EXPECT_TRUE(copy.Settings().ModifyLastAccessedDateTime);
    EXPECT_EQ(copy.Settings().LastAccessedDate, r.LastAccessedDate);
    EXPECT_EQ(copy.Settings().LastAccessedTime, r.LastAccessedTime);
}

}  // namespace
}  // namespace quorvan
