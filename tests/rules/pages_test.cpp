// The Rename, Extended, Attribute and CD Audio pages as values: what
// gathering reads from them, what a load shows on them, what is enabled.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "rules/rename_rules.h"
#include "rules/rule_pages.h"
#include "support/held_page.h"
#include "support/settings_fixtures.h"

namespace quorvan {
namespace {

using Pages = test::HeldPages;

TEST(GatherFromPages, EachModeLeavesTheOtherModesFieldsAlone) {
    RenameSettings kept;
    kept.NumericSequence = true;
    kept.StartWith = 42;
    kept.DigitCount = 3;
    kept.AlphaStartWith = "Q";
    kept.SequencePlacement = 2;
    RenamePageState text;
    text.changeCase = true;
    text.caseChoice = CaseChoice::Lower;
    RenameSettings s = SettingsFromPages(kept, text, {}, {});
    EXPECT_EQ(std::tuple(s.TextMode, s.CaseChange, s.UpperCase), std::tuple(true, true, 0));
    EXPECT_EQ(std::tuple(s.StartWith, s.DigitCount, s.AlphaStartWith, s.SequencePlacement),
              std::tuple(42, 3, "Q", 2));

    s.ReplaceString = true;
    s.SourceString = "a";
    s.DestString = "b";
    RenamePageState sequencing;
    sequencing.textMode = false;
    s = SettingsFromPages(s, sequencing, {}, {});
    EXPECT_EQ(std::tuple(s.TextMode, s.CaseChange, s.UpperCase), std::tuple(false, true, 0));
    EXPECT_EQ(std::tuple(s.ReplaceString, s.SourceString, s.SequencePlacement),
              std::tuple(true, "a", 0));
}

TEST(GatherFromPages, SequenceBoxesReadLenientlyAndEmptyNumericBoxesGetTheirDefaults) {
    struct Case {
        bool numeric;
        const char* start;
        const char* count;
        int32_t startWith, digitCount;
        const char* shownStart;
        const char* shownCount;
    };
    const Case cases[] = {
        {true, "", "", 1, 4, "1", "4"},
        {true, "  12abc", "x", 12, 0, "  12abc", "x"},
        {true, "-7", "3", -7, 3, "-7", "3"},
        {false, "b9", "", 0, 0, "b9", ""},  // an empty "Characters:" stays empty
    };
    for (const Case& c : cases) {
        Pages p;
        p.rename.state.textMode = false;
        p.rename.state.numericSequence = c.numeric;
        (c.numeric ? p.rename.state.numericStart : p.rename.state.alphaStart) = c.start;
        (c.numeric ? p.rename.state.digits : p.rename.state.characters) = c.count;
        p.rules.GatherFromPages("/data");
        const RenameSettings& s = p.rules.Settings();
        EXPECT_EQ(s.SourcePath, "/data");
        if (c.numeric) {
            EXPECT_EQ(s.StartWith, c.startWith) << c.start;
            EXPECT_EQ(p.rename.state.numericStart, c.shownStart);
            EXPECT_EQ(p.rename.state.digits, c.shownCount);
        } else {
            EXPECT_EQ(s.AlphaStartWith, c.start);
            EXPECT_EQ(p.rename.state.characters, c.shownCount);
        }
        EXPECT_EQ(s.DigitCount, c.digitCount) << c.count;
    }
    // Reading for the live preview writes nothing back.
    Pages reader;
    reader.rename.state.textMode = false;
    EXPECT_EQ(reader.rules.GatheredSettings("/data").DigitCount, 4);
    EXPECT_EQ(reader.rename.state.digits, "");
}

TEST(GatherFromPages, TextsFollowTheirBoxesAndDatesTheirGroups) {
    RenameSettings kept;
    kept.Prefix = "old";
    kept.RenameDestFolder = "/kept";
    kept.ModifyModDateTime = true;
    kept.ModDate = {2001, 2, 3, 4, 5, 6};
    RenamePageState rename;
    rename.prefix = "ignored";
    ExtendedPageState extended;
    extended.destinationFolder = "/typed";
    AttributePageState attribute;
    attribute.modified.date = {2020, 1, 1, 0, 0, 0};
    RenameSettings s = SettingsFromPages(kept, rename, extended, attribute);
    EXPECT_EQ(s.Prefix, "old");
    EXPECT_EQ(s.RenameDestFolder, "/kept");
    EXPECT_FALSE(s.ModifyDatesTimes);
    EXPECT_TRUE(s.ModifyModDateTime);
    EXPECT_EQ(s.ModDate, kept.ModDate);

    extended.renameInPlace = false;
    extended.destinationFolder = "";  // read even when empty
    attribute.modifyDateTime = true;
    attribute.modified = {true, {2020, 1, 1, 0, 0, 0}, {2019, 5, 6, 7, 8, 9}};
    s = SettingsFromPages(kept, rename, extended, attribute);
    EXPECT_FALSE(s.RenameInPlace);
    EXPECT_EQ(s.RenameDestFolder, "");
    EXPECT_FALSE(s.ModifyCreationDateTime);
    EXPECT_EQ(s.ModDate, (LocalDateTime{2020, 1, 1, 0, 0, 0}));
    EXPECT_EQ(s.ModTime, (LocalDateTime{2019, 5, 6, 7, 8, 9}));
}

TEST(ApplyToPages, ShowsAlphaSequencingAndSwitchesCdNamingOff) {
    Pages p;
    p.cd.state.renameCdAudio = true;
    p.cd.state.tracks = {"/cd/1.wav"};
    p.cd.state.titles = {{"01", "Intro", "1:00", true}};
    p.rename.state.addPrefix = true;
    p.rename.state.prefix = "stale";
    RenameSettings& r = p.rules.Settings();
    r.TextMode = false;
    r.NumericSequence = false;
    r.AlphaStartWith = "aa";
    r.DigitCount = 2;
    r.SequencePlacement = 1;
    r.IncludeSubFolders = true;
    r.RenameInPlace = false;
    r.RenameDestFolder = "/out";
    std::vector<bool> sourceListUsable;
    p.rules.SetSubfolderControls([&](bool usable) { sourceListUsable.push_back(usable); });
    p.rules.ApplyToPages("/data");

    const RenamePageState& shown = p.rename.state;
    EXPECT_EQ(shown.alphaStart, "aa");
    EXPECT_EQ(shown.characters, "2");
    EXPECT_FALSE(shown.addPrefix);
    EXPECT_EQ(shown.prefix, "");  // the other mode's boxes are emptied
    EXPECT_EQ(shown.caseChoice, CaseChoice::None);
    const RenamePageEnabled on = EnabledControls(shown);
    EXPECT_TRUE(on.alphaFields);
    EXPECT_FALSE(on.numericFields);
    EXPECT_FALSE(on.textBoxes);

    EXPECT_FALSE(p.cd.state.renameCdAudio);
    EXPECT_TRUE(p.cd.state.tracks.empty());
    EXPECT_EQ(p.cd.state.titles.size(), 1u);
    EXPECT_FALSE(CdControlsUsable(p.cd.state));
    EXPECT_EQ(sourceListUsable, std::vector<bool>{false});
    EXPECT_FALSE(p.extended.state.renameInPlace);
    EXPECT_EQ(p.extended.state.destinationFolder, "/out");
    EXPECT_TRUE(EnabledControls(p.extended.state).destination);
}

TEST(ApplyToPages, KeepsOnlyWhatEachPageKeepsOfWhatItShowed) {
    RenameSettings s;
    s.TextMode = true;
    s.SequencePlacement = 3;  // none chosen changes nothing
    RenamePageState rename;
    rename.textMode = false;
    rename.numericSequence = false;
    rename.placement = 2;
    rename.caseChoice = CaseChoice::Lower;
    rename.numericStart = "9";
    // A case left over would come back when "Change case:" is ticked.
    RenamePageState shown = RenamePageFrom(s, rename);
    EXPECT_EQ(shown.caseChoice, CaseChoice::None);
    EXPECT_FALSE(shown.numericSequence);
    EXPECT_EQ(shown.placement, 2);
    EXPECT_EQ(shown.numericStart, "");
    s.TextMode = false;
    s.NumericSequence = true;
    EXPECT_EQ(RenamePageFrom(s, rename).placement, 2);

    ExtendedPageState extended;
    extended.newExtension = "txt";
    extended.concatText = ".bak";
    extended.destinationFolder = "/typed";
    const ExtendedPageState ext = ExtendedPageFrom(s, extended);
    EXPECT_EQ(ext.newExtension, "txt");
    EXPECT_EQ(ext.concatText, ".bak");
    EXPECT_EQ(ext.destinationFolder, "");

    AttributePageState attribute;
    attribute.readOnly = true;
    attribute.creation = {true, {2001, 1, 1, 0, 0, 0}, {2000, 1, 1, 9, 0, 0}};
    const AttributePageState attr = AttributePageFrom(s, attribute);
    EXPECT_FALSE(attr.readOnly);
    EXPECT_FALSE(attr.creation.on);
    EXPECT_EQ(attr.creation.date, attribute.creation.date);
}

// Every setting of each mode shown on the pages and gathered back.
TEST(ApplyToPages, RoundTripsEverySettingThroughThePages) {
    for (RenameSettings before : test::FullRenameSettings()) {
        SCOPED_TRACE(before.TextMode ? "text" : before.NumericSequence ? "numeric" : "alpha");
        before.More = {};  // the More Rules page is not among these four
        Pages p;
        p.rules.Settings() = before;
        p.rules.ApplyToPages("/data");
        CRenameRules copy;
        copy.SetPages(&p.rename, &p.extended, &p.attribute, &p.cd);
        copy.GatherFromPages("/data");
        before.SourcePath = "/data";
        EXPECT_EQ(copy.Settings(), before);
    }
}

TEST(EnabledControls, EachSwitchEnablesOnlyItsOwnControls) {
    using R = RenamePageEnabled;
    struct Case {
        std::function<void(RenamePageState&)> set;
        std::vector<bool R::*> on;
    };
    const Case cases[] = {
        {[](RenamePageState&) {}, {&R::textBoxes}},
        {[](RenamePageState& p) { p.addPrefix = true; }, {&R::textBoxes, &R::prefix}},
        {[](RenamePageState& p) { p.changeCase = true; }, {&R::textBoxes, &R::caseOptions}},
        {[](RenamePageState& p) { p.replaceString = true; }, {&R::textBoxes, &R::replaceFields}},
        // The other mode's ticks stay but count for nothing.
        {[](RenamePageState& p) {
             p.textMode = false;
             p.addPrefix = true;
         },
         {&R::sequenceChoices, &R::numericFields}},
        {[](RenamePageState& p) {
             p.textMode = false;
             p.numericSequence = false;
             p.seqAddSuffix = true;
         },
         {&R::sequenceChoices, &R::alphaFields, &R::seqSuffix}},
    };
    const std::vector<bool R::*> all = {
        &R::textBoxes,       &R::prefix,        &R::suffix,      &R::caseOptions, &R::replaceFields,
        &R::sequenceChoices, &R::numericFields, &R::alphaFields, &R::seqPrefix,   &R::seqSuffix};
    for (size_t i = 0; i < std::size(cases); ++i) {
        RenamePageState page;
        cases[i].set(page);
        const R enabled = EnabledControls(page);
        for (bool R::*field : all) {
            const bool expected =
                std::find(cases[i].on.begin(), cases[i].on.end(), field) != cases[i].on.end();
            EXPECT_EQ(enabled.*field, expected) << "case " << i;
        }
    }

    AttributePageState attribute;
    attribute.lastAccessed.on = true;
    EXPECT_EQ(EnabledControls(attribute).pickers, (std::array<bool, 3>{false, false, false}));
    attribute.modifyDateTime = true;
    EXPECT_EQ(EnabledControls(attribute).pickers, (std::array<bool, 3>{false, false, true}));
    EXPECT_FALSE(EnabledControls(attribute).attributeBoxes);
    ExtendedPageState extended;
    extended.includeSubfolders = true;
    EXPECT_FALSE(SourceListUsable(extended));
    EXPECT_FALSE(EnabledControls(extended).destination);
}

TEST(PairingFrom, GivesATrackPlacePerTitleAndTheTickedTitles) {
    CdAudioPageState page;
    page.tracks = {"/cd/a.wav", "/cd/b.wav"};
    page.titles = {{"01", "One", "", true}, {"02", "Two", "", false}, {"03", "Three", "", true}};
    const CdPairing cd = PairingFrom(page);
    EXPECT_EQ(cd.trackOrder, (std::vector<std::string>{"/cd/a.wav", "/cd/b.wav", ""}));
    EXPECT_EQ(cd.titles, (std::vector<std::string>{"One", "Three"}));
}

}  // namespace
}  // namespace quorvan
