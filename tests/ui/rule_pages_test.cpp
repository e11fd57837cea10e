// The Rename, Extended and Attribute pages driven through their real
// widgets: enabled states that follow the boxes, and the rules reading and
// showing them.

#include <QDateEdit>
#include <QDir>
#include <QLocale>
#include <QTimeEdit>
#include <cstdlib>

#include "ui_fixture.h"

namespace quorvan::test {
namespace {

using Names = std::set<std::string>;

void Type(QWidget* page, const char* name, const char* text) {
    QTest::keyClicks(On<QLineEdit>(page, name), QString::fromUtf8(text));
}

QString Tip(QWidget* page, const char* name) {
    return On(page, name)->toolTip();
}

// --- Rename page ---

const Strings kRenameControls = Words(
    "textModificationsRadioButton sequencingRadioButton addPrefixCheckBox prefixLineEdit "
    "addSuffixCheckBox suffixLineEdit replaceStringCheckBox searchTextLineEdit "
    "replaceTextLineEdit changeCaseCheckBox upperCaseRadioButton lowerCaseRadioButton withLabel "
    "caseNoteLabel sequencePrefixRadioButton sequenceSuffixRadioButton "
    "sequenceReplaceRadioButton seqAddPrefixCheckBox seqPrefixLineEdit seqAddSuffixCheckBox "
    "seqSuffixLineEdit numericSequenceRadioButton numericStartLabel numericStartLineEdit "
    "digitsLabel digitsLineEdit alphaSequenceRadioButton alphaStartLabel alphaStartLineEdit "
    "charactersLabel charactersLineEdit");
const Names kModes = {"textModificationsRadioButton", "sequencingRadioButton"};
const Names kTextBoxes = {"addPrefixCheckBox", "addSuffixCheckBox", "replaceStringCheckBox",
                          "changeCaseCheckBox"};
const Names kSequenceChoices = {"sequencePrefixRadioButton",  "sequenceSuffixRadioButton",
                                "sequenceReplaceRadioButton", "numericSequenceRadioButton",
                                "alphaSequenceRadioButton",   "seqAddPrefixCheckBox",
                                "seqAddSuffixCheckBox"};
const Names kNumericFields = {"numericStartLabel", "numericStartLineEdit", "digitsLabel",
                              "digitsLineEdit"};
const Names kAlphaFields = {"alphaStartLabel", "alphaStartLineEdit", "charactersLabel",
                            "charactersLineEdit"};
const Names kCaseChoices = {"upperCaseRadioButton", "lowerCaseRadioButton"};
const Names kReplaceFields = {"searchTextLineEdit", "replaceTextLineEdit", "withLabel",
                              "caseNoteLabel"};

Names Join(std::initializer_list<Names> parts) {
    Names all;
    for (const Names& part : parts) {
        all.insert(part.begin(), part.end());
    }
    return all;
}

TEST(RenamePage, OpensInTextModeWithOnlyTheModesAndTextBoxesUsable) {
    CRenameSettingsDlg page;
    EXPECT_EQ(Enabled(&page, kRenameControls), Join({kModes, kTextBoxes}));
    EXPECT_EQ(page.State(), RenamePageState{});
    EXPECT_TRUE(IsChecked(&page, "upperCaseRadioButton"));
    EXPECT_TRUE(IsChecked(&page, "sequencePrefixRadioButton"));
    EXPECT_EQ(Text(&page, "caseNoteLabel"), "This search and replace is case sensitive");
    EXPECT_EQ(Text(&page, "sequenceReplaceRadioButton"), "Sequence replaces original file name");
    EXPECT_EQ(Tip(&page, "seqAddSuffixCheckBox"),
              "Specifies the suffix to add to the file names (before the extension)");
    EXPECT_EQ(Tip(&page, "sequencingRadioButton"), "Enables numeric sequencing modifications");
}

// Each click, and what is then usable: the switches' followers, the mode's
// controls.
TEST(RenamePage, EachClickEnablesExactlyItsOwnControls) {
    struct Step {
        const char* click;
        Names enabled;
    };
    const Step steps[] = {
        {"replaceStringCheckBox", Join({kModes, kTextBoxes, kReplaceFields})},
        {"changeCaseCheckBox", Join({kModes, kTextBoxes, kReplaceFields, kCaseChoices})},
        {"replaceStringCheckBox", Join({kModes, kTextBoxes, kCaseChoices})},
        {"addSuffixCheckBox", Join({kModes, kTextBoxes, kCaseChoices, {"suffixLineEdit"}})},
        {"sequencingRadioButton", Join({kModes, kSequenceChoices, kNumericFields})},
        {"alphaSequenceRadioButton", Join({kModes, kSequenceChoices, kAlphaFields})},
        {"seqAddPrefixCheckBox",
         Join({kModes, kSequenceChoices, kAlphaFields, {"seqPrefixLineEdit"}})},
        // Leaving sequencing and coming back keeps the alpha choice in force.
        {"textModificationsRadioButton",
         Join({kModes, kTextBoxes, kCaseChoices, {"suffixLineEdit"}})},
        {"sequencingRadioButton",
         Join({kModes, kSequenceChoices, kAlphaFields, {"seqPrefixLineEdit"}})},
        {"numericSequenceRadioButton",
         Join({kModes, kSequenceChoices, kNumericFields, {"seqPrefixLineEdit"}})},
    };
    CRenameSettingsDlg page;
    for (const Step& step : steps) {
        Click(&page, step.click);
        EXPECT_EQ(Enabled(&page, kRenameControls), step.enabled) << "after " << step.click;
    }
}

TEST(RenamePage, SwitchingModesKeepsEveryTickAndText) {
    CRenameSettingsDlg page;
    Click(&page, "addPrefixCheckBox");
    Type(&page, "prefixLineEdit", "pre_");
    Click(&page, "changeCaseCheckBox");
    Click(&page, "lowerCaseRadioButton");
    // The case options are a group of their own: the mode stays chosen.
    EXPECT_TRUE(IsChecked(&page, "textModificationsRadioButton"));
    Click(&page, "sequencingRadioButton");
    Click(&page, "seqAddSuffixCheckBox");
    Type(&page, "seqSuffixLineEdit", "_s");
    Click(&page, "sequenceSuffixRadioButton");
    Click(&page, "textModificationsRadioButton");
    EXPECT_TRUE(IsEnabled(&page, "prefixLineEdit"));
    Click(&page, "sequencingRadioButton");

    RenamePageState expected;
    expected.textMode = false;
    expected.addPrefix = true;
    expected.prefix = "pre_";
    expected.changeCase = true;
    expected.caseChoice = CaseChoice::Lower;
    expected.seqAddSuffix = true;
    expected.seqSuffix = "_s";
    expected.placement = 2;
    EXPECT_EQ(page.State(), expected);
    EXPECT_TRUE(IsEnabled(&page, "seqSuffixLineEdit"));
    EXPECT_FALSE(IsEnabled(&page, "seqPrefixLineEdit"));
}

// A load that does not change the case selects neither case; a later tick of
// "Change case:" must not bring back the case that was shown before.
TEST(RenamePage, ALoadWithoutACaseChangeClearsBothCaseOptions) {
    CRenameSettingsDlg page;
    CExtendedSettingsDlg extended;
    CAttributeSettingsDlg attribute;
    CRenameRules rules;
    rules.SetPages(&page, &extended, &attribute, nullptr);
    Click(&page, "changeCaseCheckBox");
    Click(&page, "lowerCaseRadioButton");
    rules.Settings().TextMode = true;  // as a file without "CaseChange = Yes" leaves it
    rules.ApplyToPages("/data");
    EXPECT_FALSE(IsChecked(&page, "lowerCaseRadioButton"));
    EXPECT_FALSE(IsChecked(&page, "upperCaseRadioButton"));
    Click(&page, "changeCaseCheckBox");
    rules.GatherFromPages("/data");
    EXPECT_EQ(rules.Settings().UpperCase, 1);
    // The group still excludes: choosing one clears the other.
    Click(&page, "lowerCaseRadioButton");
    Click(&page, "upperCaseRadioButton");
    EXPECT_FALSE(IsChecked(&page, "lowerCaseRadioButton"));
}

// --- Extended page ---

TEST(ExtendedPage, DestinationFollowsTheCopyOptionAndKeepsItsText) {
    CExtendedSettingsDlg page;
    const Strings destination = {"destinationLabel", "destinationFolderLineEdit",
                                 "destinationBrowseButton"};
    EXPECT_EQ(page.State(), ExtendedPageState{});
    EXPECT_EQ(
        Enabled(&page,
                {"changeExtensionCheckBox", "newExtensionLineEdit", "concatExtensionCheckBox",
                 "concatTextLineEdit", "includeSubfoldersCheckBox", "generateLogCheckBox",
                 "generateUndoCheckBox", "renameExistingRadioButton", "copyThenRenameRadioButton",
                 "destinationLabel", "destinationFolderLineEdit", "destinationBrowseButton"}),
        (Names{"changeExtensionCheckBox", "concatExtensionCheckBox", "includeSubfoldersCheckBox",
               "generateLogCheckBox", "generateUndoCheckBox", "renameExistingRadioButton",
               "copyThenRenameRadioButton"}));

    Click(&page, "copyThenRenameRadioButton");
    EXPECT_EQ(Enabled(&page, destination).size(), 3u);
    Type(&page, "destinationFolderLineEdit", "/srv/out");
    Click(&page, "renameExistingRadioButton");
    EXPECT_TRUE(Enabled(&page, destination).empty());
    EXPECT_EQ(page.State().destinationFolder, "/srv/out");
    // A long path loaded from a settings file survives whole.
    ExtendedPageState loaded;
    loaded.destinationFolder = "/" + std::string(40000, 'd');
    page.SetState(loaded);
    EXPECT_EQ(page.State(), loaded);
    EXPECT_EQ(Text(&page, "generateUndoCheckBox"), "Generate \"Undo\" batch file");
    EXPECT_EQ(Text(&page, "destinationBrowseButton"), "&Browse...");
}

TEST(ExtendedPage, ExtensionEditsFollowTheirBoxesAlsoWhenShown) {
    CExtendedSettingsDlg page;
    Click(&page, "concatExtensionCheckBox");
    EXPECT_TRUE(IsEnabled(&page, "concatTextLineEdit"));
    EXPECT_FALSE(IsEnabled(&page, "newExtensionLineEdit"));
    Click(&page, "changeExtensionCheckBox");
    Type(&page, "newExtensionLineEdit", "txt");
    Click(&page, "changeExtensionCheckBox");
    EXPECT_FALSE(IsEnabled(&page, "newExtensionLineEdit"));
    EXPECT_EQ(Text(&page, "newExtensionLineEdit"), "txt");
    // A load that switches a box off leaves its edit greyed, text kept.
    RenameSettings settings;
    page.SetState(ExtendedPageFrom(settings, page.State()));
    EXPECT_FALSE(IsEnabled(&page, "concatTextLineEdit"));
}

TEST(ExtendedPage, IncludeSubfoldersTellsTheWindowEachClick) {
    CExtendedSettingsDlg page;
    Click(&page, "includeSubfoldersCheckBox");  // no window listening yet
    EXPECT_TRUE(page.State().includeSubfolders);
    std::vector<bool> calls;
    page.SetSubfolderHandler([&](bool checked) { calls.push_back(checked); });
    Click(&page, "includeSubfoldersCheckBox");
    Click(&page, "includeSubfoldersCheckBox");
    EXPECT_EQ(calls, (std::vector<bool>{false, true}));
    // Loading settings sets the box without a click; the rules handle the window.
    ExtendedPageState loaded;
    page.SetState(loaded);
    EXPECT_EQ(calls.size(), 2u);
}

TEST(ExtendedPage, BrowseFillsTheDestinationUnlessCancelledAndStartsAtIt) {
    TestDir dir;
    CExtendedSettingsDlg page;
    Click(&page, "copyThenRenameRadioButton");
    CScriptedDialogs dialogs;  // every chooser cancelled
    for (const std::string& typed : {std::string(), dir / "no such folder", dir.Path()}) {
        SetText(&page, "destinationFolderLineEdit", typed);
        Click(&page, "destinationBrowseButton");
    }
    EXPECT_EQ(dialogs.chooserTitles.front(), "Choose Source Folder");
    EXPECT_EQ(dialogs.chooserStarts,
              (std::vector<QString>{QDir::homePath(), QDir::homePath(), ToQt(dir.Path())}));
    EXPECT_EQ(page.State().destinationFolder, dir.Path());
    dialogs.choices = {QStringLiteral("/srv/Müsik out")};
    Click(&page, "destinationBrowseButton");
    EXPECT_EQ(page.State().destinationFolder, "/srv/Müsik out");
}

// --- Attribute page ---

const Strings kAttributeBoxes =
    Words("readOnlyCheckBox hiddenCheckBox systemCheckBox archiveCheckBox");
const Strings kPickers = Words(
    "creationDateEdit creationTimeEdit modifiedDateEdit modifiedTimeEdit "
    "lastAccessedDateEdit lastAccessedTimeEdit");
const Strings kGroupBoxes =
    Words("creationDateTimeCheckBox modifiedDateTimeCheckBox lastAccessedDateTimeCheckBox");

TEST(AttributePage, OpensWithOnlyTheTwoSwitchesUsableAndPickersAtNow) {
    CAttributeSettingsDlg page;
    Strings all = kAttributeBoxes;
    all.insert(all.end(), kPickers.begin(), kPickers.end());
    all.insert(all.end(), kGroupBoxes.begin(), kGroupBoxes.end());
    all.insert(all.end(), {"modifyAttributesCheckBox", "modifyDateTimeCheckBox"});
    EXPECT_EQ(Enabled(&page, all), (Names{"modifyAttributesCheckBox", "modifyDateTimeCheckBox"}));

    const int64_t now = LocalToSeconds(CurrentLocalTime());
    const DateTimePick modified = page.State().modified;
    EXPECT_LE(std::llabs(CombineDateAndTime(modified.date, modified.time) - now), 5);
    auto* time = On<QTimeEdit>(&page, "modifiedTimeEdit");
    EXPECT_TRUE(time->displayFormat().contains('s')) << "seconds must be visible";
    EXPECT_TRUE(time->alignment() & Qt::AlignRight);
    EXPECT_TRUE(On<QDateEdit>(&page, "modifiedDateEdit")->calendarPopup());
    EXPECT_EQ(Tip(&page, "modifyDateTimeCheckBox"), "Modifies file date and time settings");
    // Linux keeps a file's creation time whatever the box says.
    EXPECT_TRUE(Tip(&page, "creationDateTimeCheckBox").startsWith("Linux cannot set"));
}

TEST(AttributePage, PickersShowFourDigitYearsAndSeconds) {
    // A two-digit year typed into the edit would land in the 1900s, and the
    // rules work to the second; the locale's short forms have neither.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CAttributeSettingsDlg page;
    QLocale::setDefault(saved);
    EXPECT_EQ(On<QDateEdit>(&page, "creationDateEdit")->displayFormat(), "M/d/yyyy");
    EXPECT_EQ(On<QTimeEdit>(&page, "creationTimeEdit")->displayFormat(), "h:mm:ss AP");
}

TEST(AttributePage, SwitchingAGroupOffKeepsItsTicksAndOnlyTickedPickersAreUsable) {
    CAttributeSettingsDlg page;
    Click(&page, "modifyAttributesCheckBox");
    EXPECT_EQ(Enabled(&page, kAttributeBoxes).size(), 4u);
    Click(&page, "hiddenCheckBox");
    Click(&page, "archiveCheckBox");
    Click(&page, "modifyAttributesCheckBox");
    EXPECT_TRUE(Enabled(&page, kAttributeBoxes).empty());
    EXPECT_TRUE(page.State().hidden && page.State().archive && !page.State().readOnly);

    Click(&page, "modifyDateTimeCheckBox");
    Click(&page, "lastAccessedDateTimeCheckBox");
    const Names lastAccessed = {"lastAccessedDateEdit", "lastAccessedTimeEdit"};
    EXPECT_EQ(Enabled(&page, kPickers), lastAccessed);
    Click(&page, "modifyDateTimeCheckBox");
    EXPECT_TRUE(Enabled(&page, kPickers).empty());
    EXPECT_TRUE(Enabled(&page, kGroupBoxes).empty());
    EXPECT_TRUE(page.State().lastAccessed.on);
    Click(&page, "modifyDateTimeCheckBox");
    EXPECT_EQ(Enabled(&page, kPickers), lastAccessed);
    EXPECT_EQ(Enabled(&page, kGroupBoxes).size(), 3u);
}

// --- The rename rules over the three real pages ---

struct RulePages {
    CRenameSettingsDlg rename;
    CExtendedSettingsDlg extended;
    CAttributeSettingsDlg attribute;
    CRenameRules rules;
    RulePages() { rules.SetPages(&rename, &extended, &attribute, nullptr); }
};

TEST(RenameRulesOnPages, GathersWhatTheUserClickedAndTyped) {
    RulePages p;
    Click(&p.rename, "sequencingRadioButton");
    Click(&p.rename, "sequenceReplaceRadioButton");
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.Settings().TextMode);
    EXPECT_EQ(p.rules.Settings().SequencePlacement, 1);
    // Empty numeric boxes get their defaults on screen too.
    EXPECT_EQ(Text(&p.rename, "numericStartLineEdit"), "1");
    EXPECT_EQ(Text(&p.rename, "digitsLineEdit"), "4");
    EXPECT_EQ(p.rules.Settings().DigitCount, 4);

    Click(&p.rename, "alphaSequenceRadioButton");
    Type(&p.rename, "alphaStartLineEdit", "b9");
    Type(&p.rename, "charactersLineEdit", "x");  // letters are accepted and read as 0
    Click(&p.extended, "copyThenRenameRadioButton");
    Type(&p.extended, "destinationFolderLineEdit", "/out");
    Click(&p.attribute, "modifyDateTimeCheckBox");
    Click(&p.attribute, "creationDateTimeCheckBox");
    Pick(&p.attribute, "creationDateEdit", {2002, 12, 6, 0, 0, 0});
    Pick(&p.attribute, "creationTimeEdit", {2000, 1, 1, 23, 7, 30});
    p.rules.GatherFromPages("/data");
    const RenameSettings& s = p.rules.Settings();
    EXPECT_FALSE(s.NumericSequence);
    EXPECT_EQ(s.AlphaStartWith, "b9");
    EXPECT_EQ(s.DigitCount, 0);
    EXPECT_EQ(Text(&p.rename, "charactersLineEdit"), "x");
    EXPECT_FALSE(s.RenameInPlace);
    EXPECT_EQ(s.RenameDestFolder, "/out");
    EXPECT_TRUE(s.ModifyCreationDateTime);
    EXPECT_EQ(CombineDateAndTime(s.CreationDate, s.CreationTime),
              LocalToSeconds({2002, 12, 6, 23, 7, 30}));
}

TEST(RenameRulesOnPages, AppliedSettingsShowAndGatherBackUnchanged) {
    struct Case {
        const char* name;
        void (*set)(RenameSettings&);
        Names renameEnabled;
    };
    const Case cases[] = {
        {"alpha sequencing",
         [](RenameSettings& r) {
             r.TextMode = false;
             r.NumericSequence = false;
             r.AlphaStartWith = "aa";
             r.DigitCount = 3;
             r.SequencePlacement = 2;
             r.AddSuffix = true;
             r.Suffix = "_x";
             r.ChangeExtension = true;
             r.ChangeExtensionString = "jpg";
             r.IncludeSubFolders = true;
             r.UndoBatchFile = true;
             r.RenameInPlace = false;
             r.RenameDestFolder = "/copies";
             r.ModifyAttributes = true;
             r.ModifyReadOnly = true;
             r.ModifyDatesTimes = true;
             r.ModifyModDateTime = true;
             r.ModDate = {1999, 12, 31, 0, 0, 0};
             r.ModTime = {2000, 1, 1, 8, 9, 10};
         },
         Join({kModes, kSequenceChoices, kAlphaFields, {"seqSuffixLineEdit"}})},
        {"text rules",
         [](RenameSettings& r) {
             r.TextMode = true;
             r.ReplaceString = true;
             r.SourceString = " ";
             r.CaseChange = true;
             r.UpperCase = 0;
             r.RenameInPlace = true;
         },
         Join({kModes, kTextBoxes, kReplaceFields, kCaseChoices})},
    };
    for (const Case& c : cases) {
        RulePages p;
        c.set(p.rules.Settings());
        const RenameSettings applied = p.rules.Settings();
        p.rules.ApplyToPages("/data");
        EXPECT_EQ(Enabled(&p.rename, kRenameControls), c.renameEnabled) << c.name;
        EXPECT_EQ(IsEnabled(&p.extended, "destinationBrowseButton"), !applied.RenameInPlace);
        const Names modified = {"modifiedDateEdit", "modifiedTimeEdit"};
        EXPECT_EQ(Enabled(&p.attribute, kPickers), applied.ModifyDatesTimes ? modified : Names{});

        CRenameRules copy;
        copy.Settings() = applied;
        copy.SetPages(&p.rename, &p.extended, &p.attribute, nullptr);
        copy.GatherFromPages("/data");
        RenameSettings expected = applied;
        expected.SourcePath = "/data";
        EXPECT_EQ(copy.Settings(), expected) << c.name;
    }

    // A load in text mode leaves the sequence kind as it was shown, so that
    // switching to sequencing never offers a page with no kind chosen.
    RulePages p;
    p.rules.Settings().TextMode = true;
    p.rules.ApplyToPages("/data");
    Click(&p.rename, "sequencingRadioButton");
    EXPECT_TRUE(IsChecked(&p.rename, "numericSequenceRadioButton"));
    EXPECT_TRUE(IsEnabled(&p.rename, "numericStartLineEdit"));
}

}  // namespace
}  // namespace quorvan::test
