// The four settings pages driven through their real widgets: enabled states
// that follow the boxes, and the rules and filter reading and writing them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QTimeEdit>
#include <set>
#include <string>
#include <vector>

#include "common/local_time.h"
#include "rules/control_ids.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "selection/source_scan.h"
#include "support/test_dir.h"
#include "ui/attribute_page.h"
#include "ui/extended_page.h"
#include "ui/rename_page.h"
#include "ui/user_dialogs.h"

namespace quorvan {
namespace {

void Click(CQtPage& page, int id) {
    auto* button = page.ControlAs<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << "control " << id;
    button->click();
}

void Type(CQtPage& page, int id, const char* text) {
    auto* edit = page.ControlAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << "control " << id;
    QTest::keyClicks(edit, QString::fromUtf8(text));
}

// The numbered controls of `ids` that are enabled.
std::set<int> Enabled(const CQtPage& page, const std::vector<int>& ids) {
    std::set<int> on;
    for (int id : ids) {
        EXPECT_NE(page.Control(id), nullptr) << "control " << id << " is not bound";
        if (page.IsEnabled(id)) {
            on.insert(id);
        }
    }
    return on;
}

QString Tip(const CQtPage& page, int id) {
    return page.Control(id)->toolTip();
}

// Answers the folder chooser and remembers its title.
class CFolderAnswer final : public IUserDialogs {
  public:
    explicit CFolderAnswer(QString answer) : answer_(std::move(answer)) {
        previous_ = SetDialogs(this);
    }
    ~CFolderAnswer() override { SetDialogs(previous_); }
    QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString&, const QString&,
                                        QMessageBox::StandardButtons) override {
        return QMessageBox::Ok;
    }
    QString ChooseFolder(QWidget*, const QString& title) override {
        titles.push_back(title);
        return answer_;
    }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override { return {}; }

    std::vector<QString> titles;

  private:
    QString answer_;
    IUserDialogs* previous_ = nullptr;
};

// --- Rename page ---

const std::vector<int> kRenameControls = {
    ids::kTextModifications, ids::kSequencing,      ids::kAddPrefix,         ids::kPrefix,
    ids::kAddSuffix,         ids::kSuffix,          ids::kReplaceString,     ids::kSearchText,
    ids::kReplaceText,       ids::kChangeCase,      ids::kUpperCase,         ids::kLowerCase,
    ids::kWithLabel,         ids::kCaseNote,        ids::kSequencePrefix,    ids::kSequenceSuffix,
    ids::kSequenceReplace,   ids::kSeqAddPrefix,    ids::kSeqPrefix,         ids::kSeqAddSuffix,
    ids::kSeqSuffix,         ids::kNumericSequence, ids::kNumericStartLabel, ids::kNumericStart,
    ids::kDigitsLabel,       ids::kDigits,          ids::kAlphaSequence,     ids::kAlphaStartLabel,
    ids::kAlphaStart,        ids::kCharactersLabel, ids::kCharacters};

TEST(RenamePage, OpensInTextModeWithOnlyTheModesAndTextBoxesUsable) {
    CRenameSettingsDlg page;
    EXPECT_EQ(
        Enabled(page, kRenameControls),
        (std::set<int>{ids::kTextModifications, ids::kSequencing, ids::kAddPrefix, ids::kAddSuffix,
                       ids::kReplaceString, ids::kChangeCase, ids::kWithLabel}));
    for (int id :
         {ids::kTextModifications, ids::kUpperCase, ids::kNumericSequence, ids::kSequencePrefix}) {
        EXPECT_TRUE(page.IsChecked(id)) << id;
    }
    for (int id : {ids::kSequencing, ids::kLowerCase, ids::kAlphaSequence, ids::kSequenceSuffix,
                   ids::kSequenceReplace, ids::kAddPrefix, ids::kReplaceString}) {
        EXPECT_FALSE(page.IsChecked(id)) << id;
    }
    EXPECT_EQ(page.Text(ids::kCaseNote), "This search and replace is case sensitive");
    EXPECT_EQ(page.Text(ids::kSequenceReplace), "Sequence replaces original file name");
    EXPECT_EQ(Tip(page, ids::kSeqAddSuffix),
              "Specifies the suffix to add to the file names (before the extension)");
    EXPECT_EQ(Tip(page, ids::kSequencing), "Enables numeric sequencing modifications");
}

TEST(RenamePage, EachTextRuleEnablesItsOwnControls) {
    CRenameSettingsDlg page;
    Click(page, ids::kReplaceString);
    EXPECT_EQ(
        Enabled(page, {ids::kSearchText, ids::kReplaceText, ids::kWithLabel, ids::kCaseNote,
                       ids::kPrefix, ids::kUpperCase}),
        (std::set<int>{ids::kSearchText, ids::kReplaceText, ids::kWithLabel, ids::kCaseNote}));
    Click(page, ids::kChangeCase);
    EXPECT_TRUE(page.IsEnabled(ids::kUpperCase));
    EXPECT_TRUE(page.IsEnabled(ids::kLowerCase));
    Click(page, ids::kLowerCase);
    // The case options are a group of their own: the mode stays chosen.
    EXPECT_TRUE(page.IsChecked(ids::kLowerCase));
    EXPECT_FALSE(page.IsChecked(ids::kUpperCase));
    EXPECT_TRUE(page.IsChecked(ids::kTextModifications));
    EXPECT_TRUE(page.IsChecked(ids::kNumericSequence));

    Click(page, ids::kReplaceString);
    EXPECT_TRUE(
        Enabled(page, {ids::kSearchText, ids::kReplaceText, ids::kWithLabel, ids::kCaseNote})
            .empty());
    Click(page, ids::kAddSuffix);
    EXPECT_TRUE(page.IsEnabled(ids::kSuffix));
    EXPECT_FALSE(page.IsEnabled(ids::kPrefix));
}

TEST(RenamePage, SwitchingModesKeepsEveryTickAndText) {
    CRenameSettingsDlg page;
    Click(page, ids::kAddPrefix);
    Type(page, ids::kPrefix, "pre_");
    Click(page, ids::kChangeCase);
    Click(page, ids::kLowerCase);

    Click(page, ids::kSequencing);
    EXPECT_TRUE(Enabled(page, {ids::kAddPrefix, ids::kPrefix, ids::kAddSuffix, ids::kChangeCase,
                               ids::kUpperCase, ids::kLowerCase, ids::kReplaceString,
                               ids::kWithLabel, ids::kCaseNote})
                    .empty());
    EXPECT_EQ(
        Enabled(page, kRenameControls),
        (std::set<int>{ids::kTextModifications, ids::kSequencing, ids::kSequencePrefix,
                       ids::kSequenceSuffix, ids::kSequenceReplace, ids::kNumericSequence,
                       ids::kAlphaSequence, ids::kNumericStartLabel, ids::kNumericStart,
                       ids::kDigitsLabel, ids::kDigits, ids::kSeqAddPrefix, ids::kSeqAddSuffix}));
    EXPECT_TRUE(page.IsChecked(ids::kAddPrefix));

    Click(page, ids::kSeqAddSuffix);
    Type(page, ids::kSeqSuffix, "_s");
    Click(page, ids::kSequenceSuffix);
    EXPECT_TRUE(page.IsChecked(ids::kNumericSequence));

    Click(page, ids::kTextModifications);
    EXPECT_TRUE(page.IsChecked(ids::kAddPrefix));
    EXPECT_TRUE(page.IsEnabled(ids::kPrefix));
    EXPECT_EQ(page.Text(ids::kPrefix), "pre_");
    EXPECT_TRUE(page.IsChecked(ids::kLowerCase));
    EXPECT_TRUE(page.IsEnabled(ids::kLowerCase));
    EXPECT_FALSE(page.IsEnabled(ids::kSeqSuffix));

    Click(page, ids::kSequencing);
    EXPECT_TRUE(page.IsEnabled(ids::kSeqSuffix));
    EXPECT_EQ(page.Text(ids::kSeqSuffix), "_s");
    EXPECT_FALSE(page.IsEnabled(ids::kSeqPrefix));
    EXPECT_TRUE(page.IsChecked(ids::kSequenceSuffix));
}

TEST(RenamePage, AlphaAndNumericEditsFollowTheirOption) {
    CRenameSettingsDlg page;
    Click(page, ids::kSequencing);
    Click(page, ids::kAlphaSequence);
    const std::vector<int> numeric = {ids::kNumericStartLabel, ids::kNumericStart,
                                      ids::kDigitsLabel, ids::kDigits};
    const std::vector<int> alpha = {ids::kAlphaStartLabel, ids::kAlphaStart, ids::kCharactersLabel,
                                    ids::kCharacters};
    EXPECT_TRUE(Enabled(page, numeric).empty());
    EXPECT_EQ(Enabled(page, alpha).size(), 4u);

    // Leaving sequencing and coming back keeps the alpha choice in force.
    Click(page, ids::kTextModifications);
    EXPECT_TRUE(Enabled(page, alpha).empty());
    Click(page, ids::kSequencing);
    EXPECT_TRUE(Enabled(page, numeric).empty());
    EXPECT_EQ(Enabled(page, alpha).size(), 4u);

    Click(page, ids::kNumericSequence);
    EXPECT_EQ(Enabled(page, numeric).size(), 4u);
    EXPECT_TRUE(Enabled(page, alpha).empty());
}

// --- Extended page ---

TEST(ExtendedPage, DestinationFollowsTheCopyOptionAndKeepsItsText) {
    CExtendedSettingsDlg page;
    const std::vector<int> destination = {ids::kDestinationLabel, ids::kDestinationFolder,
                                          ids::kDestinationBrowse};
    EXPECT_TRUE(page.IsChecked(ids::kRenameExisting));
    EXPECT_FALSE(page.IsChecked(ids::kCopyThenRename));
    EXPECT_EQ(
        Enabled(page, {ids::kChangeExtension, ids::kNewExtension, ids::kConcatExtension,
                       ids::kConcatText, ids::kIncludeSubfolders, ids::kGenerateLog,
                       ids::kGenerateUndo, ids::kRenameExisting, ids::kCopyThenRename,
                       ids::kDestinationLabel, ids::kDestinationFolder, ids::kDestinationBrowse}),
        (std::set<int>{ids::kChangeExtension, ids::kConcatExtension, ids::kIncludeSubfolders,
                       ids::kGenerateLog, ids::kGenerateUndo, ids::kRenameExisting,
                       ids::kCopyThenRename}));

    Click(page, ids::kCopyThenRename);
    EXPECT_EQ(Enabled(page, destination).size(), 3u);
    Type(page, ids::kDestinationFolder, "/srv/out");
    Click(page, ids::kRenameExisting);
    EXPECT_TRUE(Enabled(page, destination).empty());
    EXPECT_EQ(page.Text(ids::kDestinationFolder), "/srv/out");
    EXPECT_EQ(page.Text(ids::kGenerateUndo), "Generate \"Undo\" batch file");
    EXPECT_EQ(page.Text(ids::kDestinationBrowse), "&Browse...");
}

TEST(ExtendedPage, ExtensionEditsFollowTheirBoxes) {
    CExtendedSettingsDlg page;
    Click(page, ids::kConcatExtension);
    EXPECT_TRUE(page.IsEnabled(ids::kConcatText));
    EXPECT_FALSE(page.IsEnabled(ids::kNewExtension));
    Click(page, ids::kChangeExtension);
    Type(page, ids::kNewExtension, "txt");
    Click(page, ids::kChangeExtension);
    EXPECT_FALSE(page.IsEnabled(ids::kNewExtension));
    EXPECT_EQ(page.Text(ids::kNewExtension), "txt");
}

TEST(ExtendedPage, IncludeSubfoldersTellsTheWindowEachClick) {
    CExtendedSettingsDlg page;
    Click(page, ids::kIncludeSubfolders);  // no window listening yet: only the box changes
    EXPECT_TRUE(page.IsChecked(ids::kIncludeSubfolders));
    std::vector<bool> calls;
    page.SetSubfolderHandler([&](bool checked) { calls.push_back(checked); });
    Click(page, ids::kIncludeSubfolders);
    Click(page, ids::kIncludeSubfolders);
    EXPECT_EQ(calls, (std::vector<bool>{false, true}));
    // Loading settings sets the box without a click; the rules handle the window.
    page.SetChecked(ids::kIncludeSubfolders, true);
    EXPECT_EQ(calls.size(), 2u);
}

TEST(ExtendedPage, BrowseFillsTheDestinationUnlessCancelled) {
    CExtendedSettingsDlg page;
    Click(page, ids::kCopyThenRename);
    Type(page, ids::kDestinationFolder, "/typed");
    {
        CFolderAnswer cancel{QString()};
        Click(page, ids::kDestinationBrowse);
        EXPECT_EQ(cancel.titles, (std::vector<QString>{"Choose Source Folder"}));
    }
    EXPECT_EQ(page.Text(ids::kDestinationFolder), "/typed");
    CFolderAnswer chosen{QStringLiteral("/srv/Müsik out")};
    Click(page, ids::kDestinationBrowse);
    EXPECT_EQ(page.Text(ids::kDestinationFolder), "/srv/Müsik out");
}

// --- Attribute page ---

const std::vector<int> kAttributeBoxes = {ids::kReadOnly, ids::kHidden, ids::kSystem,
                                          ids::kArchive};
const std::vector<int> kPickers = {ids::kCreationDate,     ids::kCreationTime,
                                   ids::kModifiedDate,     ids::kModifiedTime,
                                   ids::kLastAccessedDate, ids::kLastAccessedTime};

TEST(AttributePage, OpensWithOnlyTheTwoSwitchesUsableAndPickersAtNow) {
    CAttributeSettingsDlg page;
    std::vector<int> all = kAttributeBoxes;
    all.insert(all.end(), kPickers.begin(), kPickers.end());
    all.insert(all.end(), {ids::kModifyAttributes, ids::kModifyDateTime, ids::kCreationDateTime,
                           ids::kModifiedDateTime, ids::kLastAccessedDateTime});
    EXPECT_EQ(Enabled(page, all), (std::set<int>{ids::kModifyAttributes, ids::kModifyDateTime}));

    const int64_t now = LocalToSeconds(CurrentLocalTime());
    const int64_t shown =
        CombineDateAndTime(page.DateTime(ids::kModifiedDate), page.DateTime(ids::kModifiedTime));
    EXPECT_LE(std::llabs(shown - now), 5);
    auto* time = page.ControlAs<QTimeEdit>(ids::kModifiedTime);
    EXPECT_TRUE(time->displayFormat().contains('s')) << "seconds must be visible";
    EXPECT_TRUE(time->alignment() & Qt::AlignRight);
    EXPECT_TRUE(page.ControlAs<QDateEdit>(ids::kModifiedDate)->calendarPopup());
    EXPECT_EQ(Tip(page, ids::kModifyDateTime), "Modifies file date and time settings");
}

TEST(AttributePage, PickersShowFourDigitYearsAndSeconds) {
    // A two-digit year typed into the edit would land in the 1900s, and the
    // rules work to the second; the locale's short forms have neither.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CAttributeSettingsDlg page;
    QLocale::setDefault(saved);
    EXPECT_EQ(page.ControlAs<QDateEdit>(ids::kCreationDate)->displayFormat(), "M/d/yyyy");
    EXPECT_EQ(page.ControlAs<QTimeEdit>(ids::kCreationTime)->displayFormat(), "h:mm:ss AP");
}

TEST(AttributePage, SwitchingAttributesOffKeepsTheTicks) {
    CAttributeSettingsDlg page;
    Click(page, ids::kModifyAttributes);
    EXPECT_EQ(Enabled(page, kAttributeBoxes).size(), 4u);
    Click(page, ids::kHidden);
    Click(page, ids::kArchive);
    Click(page, ids::kModifyAttributes);
    EXPECT_TRUE(Enabled(page, kAttributeBoxes).empty());
    EXPECT_TRUE(page.IsChecked(ids::kHidden));
    EXPECT_TRUE(page.IsChecked(ids::kArchive));
    Click(page, ids::kModifyAttributes);
    EXPECT_TRUE(page.IsChecked(ids::kHidden));
    EXPECT_FALSE(page.IsChecked(ids::kReadOnly));
    EXPECT_EQ(Enabled(page, kAttributeBoxes).size(), 4u);
}

TEST(AttributePage, OnlyTheTickedGroupsPickersAreUsable) {
    CAttributeSettingsDlg page;
    Click(page, ids::kModifyDateTime);
    Click(page, ids::kLastAccessedDateTime);
    EXPECT_EQ(Enabled(page, kPickers),
              (std::set<int>{ids::kLastAccessedDate, ids::kLastAccessedTime}));

    Click(page, ids::kModifyDateTime);
    EXPECT_TRUE(Enabled(page, kPickers).empty());
    EXPECT_FALSE(page.IsEnabled(ids::kLastAccessedDateTime));
    EXPECT_TRUE(page.IsChecked(ids::kLastAccessedDateTime));
    Click(page, ids::kModifyDateTime);
    EXPECT_EQ(Enabled(page, kPickers),
              (std::set<int>{ids::kLastAccessedDate, ids::kLastAccessedTime}));
    EXPECT_TRUE(page.IsEnabled(ids::kCreationDateTime));
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
    Click(p.rename, ids::kSequencing);
    Click(p.rename, ids::kSequenceReplace);
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.TextMode);
    EXPECT_EQ(p.rules.SequencePlacement, 1);
    // Empty numeric boxes get their defaults on screen too.
    EXPECT_EQ(p.rename.Text(ids::kNumericStart), "1");
    EXPECT_EQ(p.rename.Text(ids::kDigits), "4");
    EXPECT_EQ(p.rules.DigitCount, 4);

    Click(p.rename, ids::kAlphaSequence);
    Type(p.rename, ids::kAlphaStart, "b9");
    Type(p.rename, ids::kCharacters, "x");  // letters are accepted and read as 0
    Click(p.extended, ids::kCopyThenRename);
    Type(p.extended, ids::kDestinationFolder, "/out");
    Click(p.attribute, ids::kModifyDateTime);
    Click(p.attribute, ids::kCreationDateTime);
    p.attribute.SetDateTime(ids::kCreationDate, {2002, 12, 6, 0, 0, 0});
    p.attribute.SetDateTime(ids::kCreationTime, {2000, 1, 1, 23, 7, 30});
    p.rules.GatherFromPages("/data");
    EXPECT_FALSE(p.rules.NumericSequence);
    EXPECT_EQ(p.rules.AlphaStartWith, "b9");
    EXPECT_EQ(p.rules.DigitCount, 0);
    EXPECT_EQ(p.rename.Text(ids::kCharacters), "x");
    EXPECT_FALSE(p.rules.RenameInPlace);
    EXPECT_EQ(p.rules.RenameDestFolder, "/out");
    EXPECT_TRUE(p.rules.ModifyCreationDateTime);
    EXPECT_EQ(CombineDateAndTime(p.rules.CreationDate, p.rules.CreationTime),
              LocalToSeconds({2002, 12, 6, 23, 7, 30}));
}

TEST(RenameRulesOnPages, AppliedSettingsShowAndGatherBackUnchanged) {
    RulePages p;
    CRenameRules& r = p.rules;
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
    r.ApplyToPages("/data");

    EXPECT_TRUE(p.rename.IsChecked(ids::kSequencing));
    EXPECT_TRUE(p.rename.IsChecked(ids::kAlphaSequence));
    EXPECT_FALSE(p.rename.IsChecked(ids::kNumericSequence));
    EXPECT_TRUE(p.rename.IsChecked(ids::kSequenceSuffix));
    EXPECT_EQ(Enabled(p.rename, kRenameControls),
              (std::set<int>{ids::kTextModifications, ids::kSequencing, ids::kSequencePrefix,
                             ids::kSequenceSuffix, ids::kSequenceReplace, ids::kNumericSequence,
                             ids::kAlphaSequence, ids::kAlphaStartLabel, ids::kAlphaStart,
                             ids::kCharactersLabel, ids::kCharacters, ids::kSeqAddPrefix,
                             ids::kSeqAddSuffix, ids::kSeqSuffix}));
    EXPECT_EQ(p.rename.Text(ids::kCharacters), "3");
    EXPECT_EQ(p.rename.Text(ids::kSeqSuffix), "_x");
    EXPECT_TRUE(p.extended.IsChecked(ids::kCopyThenRename));
    EXPECT_FALSE(p.extended.IsChecked(ids::kRenameExisting));
    EXPECT_TRUE(p.extended.IsEnabled(ids::kDestinationBrowse));
    EXPECT_EQ(Enabled(p.attribute, kPickers),
              (std::set<int>{ids::kModifiedDate, ids::kModifiedTime}));

    // The page's own handlers carry on from the applied state.
    Click(p.rename, ids::kTextModifications);
    EXPECT_TRUE(p.rename.IsEnabled(ids::kAddSuffix));
    EXPECT_FALSE(p.rename.IsEnabled(ids::kAlphaStart));
    Click(p.rename, ids::kSequencing);

    CRenameRules copy;
    copy.SetPages(&p.rename, &p.extended, &p.attribute, nullptr);
    copy.GatherFromPages("/data");
    EXPECT_FALSE(copy.TextMode);
    EXPECT_FALSE(copy.NumericSequence);
    EXPECT_EQ(copy.AlphaStartWith, "aa");
    EXPECT_EQ(copy.DigitCount, 3);
    EXPECT_EQ(copy.SequencePlacement, 2);
    EXPECT_TRUE(copy.AddSuffix);
    EXPECT_EQ(copy.Suffix, "_x");
    EXPECT_FALSE(copy.AddPrefix);
    EXPECT_EQ(copy.ChangeExtensionString, "jpg");
    EXPECT_TRUE(copy.IncludeSubFolders);
    EXPECT_TRUE(copy.UndoBatchFile);
    EXPECT_FALSE(copy.LogFile);
    EXPECT_EQ(copy.RenameDestFolder, "/copies");
    EXPECT_TRUE(copy.ModifyReadOnly);
    EXPECT_FALSE(copy.ModifyHidden);
    EXPECT_TRUE(copy.ModifyModDateTime);
    EXPECT_FALSE(copy.ModifyCreationDateTime);
    EXPECT_EQ(copy.ModDate.year, 1999);
    EXPECT_EQ(copy.ModDate.month, 12);
    EXPECT_EQ(copy.ModDate.day, 31);
    EXPECT_EQ(copy.ModTime.hour, 8);
    EXPECT_EQ(copy.ModTime.minute, 9);
    EXPECT_EQ(copy.ModTime.second, 10);
}

TEST(RenameRulesOnPages, ApplyingTextModeShowsItsRules) {
    RulePages p;
    CRenameRules& r = p.rules;
    r.TextMode = true;
    r.ReplaceString = true;
    r.SourceString = " ";
    r.DestString = "";
    r.CaseChange = true;
    r.UpperCase = 0;
    r.RenameInPlace = true;
    r.ApplyToPages("/data");
    EXPECT_EQ(
        Enabled(p.rename, kRenameControls),
        (std::set<int>{ids::kTextModifications, ids::kSequencing, ids::kAddPrefix, ids::kAddSuffix,
                       ids::kReplaceString, ids::kChangeCase, ids::kUpperCase, ids::kLowerCase,
                       ids::kSearchText, ids::kReplaceText, ids::kWithLabel, ids::kCaseNote}));
    EXPECT_TRUE(p.rename.IsChecked(ids::kLowerCase));
    EXPECT_EQ(p.rename.Text(ids::kSearchText), " ");
    EXPECT_TRUE(p.extended.IsChecked(ids::kRenameExisting));
    EXPECT_FALSE(p.extended.IsEnabled(ids::kDestinationFolder));

    CRenameRules copy;
    copy.SetPages(&p.rename, &p.extended, &p.attribute, nullptr);
    copy.GatherFromPages("/data");
    EXPECT_TRUE(copy.TextMode);
    EXPECT_TRUE(copy.ReplaceString);
    EXPECT_EQ(copy.SourceString, " ");
    EXPECT_EQ(copy.UpperCase, 0);
    EXPECT_TRUE(copy.RenameInPlace);
}

}  // namespace
}  // namespace quorvan
