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

// The rename rules over the three real pages.
struct RulePages {
    CRenameSettingsDlg rename;
    CExtendedSettingsDlg extended;
    CAttributeSettingsDlg attribute;
    CRenameRules rules;
    RulePages() { rules.SetPages(&rename, &extended, &attribute, nullptr); }
};

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

// What is usable on the opening page and after each click: the switches'
// followers, the mode's controls.
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
    EXPECT_EQ(Enabled(&page, kRenameControls), Join({kModes, kTextBoxes}));
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
}

// A load that does not change the case selects neither case; a later tick of
// "Change case:" must not bring back the case that was shown before. The
// sequence kind stays as shown, so that sequencing always has one chosen.
TEST(RenamePage, ATextModeLoadClearsBothCaseOptionsAndKeepsTheSequenceKind) {
    RulePages p;
    CRenameSettingsDlg& page = p.rename;
    Click(&page, "changeCaseCheckBox");
    Click(&page, "lowerCaseRadioButton");
    p.rules.Settings().TextMode = true;  // as a file without "CaseChange = Yes" leaves it
    p.rules.ApplyToPages("/data");
    EXPECT_FALSE(IsChecked(&page, "lowerCaseRadioButton"));
    EXPECT_FALSE(IsChecked(&page, "upperCaseRadioButton"));
    Click(&page, "changeCaseCheckBox");
    p.rules.GatherFromPages("/data");
    EXPECT_EQ(p.rules.Settings().UpperCase, 1);
    // The group still excludes: choosing one clears the other.
    Click(&page, "lowerCaseRadioButton");
    Click(&page, "upperCaseRadioButton");
    EXPECT_FALSE(IsChecked(&page, "lowerCaseRadioButton"));
    Click(&page, "sequencingRadioButton");
    EXPECT_TRUE(IsChecked(&page, "numericSequenceRadioButton"));
    EXPECT_TRUE(IsEnabled(&page, "numericStartLineEdit"));
}

// --- Extended page ---

// What is usable on the opening page and after each click; an edit switched
// off keeps its text, also when a load switches it off.
TEST(ExtendedPage, EachClickEnablesItsOwnEditsAndTheyKeepTheirText) {
    const Strings controls = Words(
        "changeExtensionCheckBox newExtensionLineEdit concatExtensionCheckBox concatTextLineEdit "
        "includeSubfoldersCheckBox generateLogCheckBox generateUndoCheckBox "
        "renameExistingRadioButton copyThenRenameRadioButton destinationLabel "
        "destinationFolderLineEdit destinationBrowseButton");
    const Names boxes = {"changeExtensionCheckBox",   "concatExtensionCheckBox",
                         "includeSubfoldersCheckBox", "generateLogCheckBox",
                         "generateUndoCheckBox",      "renameExistingRadioButton",
                         "copyThenRenameRadioButton"};
    const Names destination = {"destinationLabel", "destinationFolderLineEdit",
                               "destinationBrowseButton"};
    struct Step {
        const char* click;
        Names enabled;
    };
    const Step steps[] = {
        {"concatExtensionCheckBox", Join({boxes, {"concatTextLineEdit"}})},
        {"changeExtensionCheckBox", Join({boxes, {"concatTextLineEdit", "newExtensionLineEdit"}})},
        {"copyThenRenameRadioButton",
         Join({boxes, destination, {"concatTextLineEdit", "newExtensionLineEdit"}})},
        {"changeExtensionCheckBox", Join({boxes, destination, {"concatTextLineEdit"}})},
        {"renameExistingRadioButton", Join({boxes, {"concatTextLineEdit"}})},
    };
    CExtendedSettingsDlg page;
    EXPECT_EQ(Enabled(&page, controls), boxes);
    SetText(&page, "newExtensionLineEdit", "txt");
    SetText(&page, "destinationFolderLineEdit", "/srv/out");
    for (const Step& step : steps) {
        Click(&page, step.click);
        EXPECT_EQ(Enabled(&page, controls), step.enabled) << "after " << step.click;
    }
    EXPECT_EQ(page.State().newExtension, "txt");
    EXPECT_EQ(page.State().destinationFolder, "/srv/out");
    page.SetState(ExtendedPageFrom(OpeningSettings(), page.State()));
    EXPECT_EQ(Enabled(&page, controls), boxes);
    // A long path loaded from a settings file survives whole.
    ExtendedPageState loaded;
    loaded.destinationFolder = "/" + std::string(40000, 'd');
    page.SetState(loaded);
    EXPECT_EQ(page.State(), loaded);
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

// A two-digit year typed into the edit would land in the 1900s, and the rules
// work to the second; the locale's short forms have neither.
TEST(AttributePage, OpensWithOnlyTheTwoSwitchesUsableAndPickersAtNowToTheSecond) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CAttributeSettingsDlg page;
    QLocale::setDefault(saved);
    Strings all = kAttributeBoxes;
    all.insert(all.end(), kPickers.begin(), kPickers.end());
    all.insert(all.end(), kGroupBoxes.begin(), kGroupBoxes.end());
    all.insert(all.end(), {"modifyAttributesCheckBox", "modifyDateTimeCheckBox"});
    EXPECT_EQ(Enabled(&page, all), (Names{"modifyAttributesCheckBox", "modifyDateTimeCheckBox"}));

    const int64_t now = LocalToSeconds(CurrentLocalTime());
    const DateTimePick modified = page.State().modified;
    EXPECT_LE(std::llabs(CombineDateAndTime(modified.date, modified.time) - now), 5);
    EXPECT_EQ(On<QDateEdit>(&page, "creationDateEdit")->displayFormat(), "M/d/yyyy");
    EXPECT_EQ(On<QTimeEdit>(&page, "creationTimeEdit")->displayFormat(), "h:mm:ss AP");
    // Linux keeps a file's creation time whatever the box says.
    EXPECT_TRUE(On(&page, "creationDateTimeCheckBox")->toolTip().startsWith("Linux cannot set"));
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

}  // namespace
}  // namespace quorvan::test
