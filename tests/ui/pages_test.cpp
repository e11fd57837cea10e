// The four settings pages driven through their real widgets: enabled states
// that follow the boxes, and the rules and filter reading and writing them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
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
#include "ui/pages/attribute_page.h"
#include "ui/pages/extended_page.h"
#include "ui/filter_page.h"
#include "ui/pages/rename_page.h"
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
                                        QMessageBox::StandardButtons, const QString&) override {
        return QMessageBox::Ok;
    }
    QString ChooseFolder(QWidget*, const QString& title, const QString& startFolder) override {
        titles.push_back(title);
        startFolders.push_back(startFolder);
        return answer_;
    }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override { return {}; }

    std::vector<QString> titles;
    std::vector<QString> startFolders;

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
    // A long path loaded from a settings file survives whole.
    const std::string longPath = "/" + std::string(40000, 'd');
    page.SetText(ids::kDestinationFolder, longPath);
    EXPECT_EQ(page.Text(ids::kDestinationFolder), longPath);
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

// The chooser opens where the destination already is, else at home.
TEST(ExtendedPage, BrowseStartsAtTheDestinationChosen) {
    test::TestDir dir;
    CExtendedSettingsDlg page;
    Click(page, ids::kCopyThenRename);
    CFolderAnswer cancel{QString()};
    for (const std::string& typed : {std::string(), dir / "no such folder", dir.Path()}) {
        page.SetText(ids::kDestinationFolder, typed);
        Click(page, ids::kDestinationBrowse);
    }
    EXPECT_EQ(cancel.startFolders, (std::vector<QString>{QDir::homePath(), QDir::homePath(),
                                                         QString::fromStdString(dir.Path())}));
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
    // Linux keeps a file's creation time whatever the box says.
    EXPECT_TRUE(Tip(page, ids::kCreationDateTime).startsWith("Linux cannot set"))
        << Tip(page, ids::kCreationDateTime).toStdString();
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
    EXPECT_FALSE(p.rules.Settings().TextMode);
    EXPECT_EQ(p.rules.Settings().SequencePlacement, 1);
    // Empty numeric boxes get their defaults on screen too.
    EXPECT_EQ(p.rename.Text(ids::kNumericStart), "1");
    EXPECT_EQ(p.rename.Text(ids::kDigits), "4");
    EXPECT_EQ(p.rules.Settings().DigitCount, 4);

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
    EXPECT_FALSE(p.rules.Settings().NumericSequence);
    EXPECT_EQ(p.rules.Settings().AlphaStartWith, "b9");
    EXPECT_EQ(p.rules.Settings().DigitCount, 0);
    EXPECT_EQ(p.rename.Text(ids::kCharacters), "x");
    EXPECT_FALSE(p.rules.Settings().RenameInPlace);
    EXPECT_EQ(p.rules.Settings().RenameDestFolder, "/out");
    EXPECT_TRUE(p.rules.Settings().ModifyCreationDateTime);
    EXPECT_EQ(CombineDateAndTime(p.rules.Settings().CreationDate, p.rules.Settings().CreationTime),
              LocalToSeconds({2002, 12, 6, 23, 7, 30}));
}

TEST(RenameRulesOnPages, AppliedSettingsShowAndGatherBackUnchanged) {
    RulePages p;
    RenameSettings& r = p.rules.Settings();
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
    p.rules.ApplyToPages("/data");

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
    EXPECT_FALSE(copy.Settings().TextMode);
    EXPECT_FALSE(copy.Settings().NumericSequence);
    EXPECT_EQ(copy.Settings().AlphaStartWith, "aa");
    EXPECT_EQ(copy.Settings().DigitCount, 3);
    EXPECT_EQ(copy.Settings().SequencePlacement, 2);
    EXPECT_TRUE(copy.Settings().AddSuffix);
    EXPECT_EQ(copy.Settings().Suffix, "_x");
    EXPECT_FALSE(copy.Settings().AddPrefix);
    EXPECT_EQ(copy.Settings().ChangeExtensionString, "jpg");
    EXPECT_TRUE(copy.Settings().IncludeSubFolders);
    EXPECT_TRUE(copy.Settings().UndoBatchFile);
    EXPECT_FALSE(copy.Settings().LogFile);
    EXPECT_EQ(copy.Settings().RenameDestFolder, "/copies");
    EXPECT_TRUE(copy.Settings().ModifyReadOnly);
    EXPECT_FALSE(copy.Settings().ModifyHidden);
    EXPECT_TRUE(copy.Settings().ModifyModDateTime);
    EXPECT_FALSE(copy.Settings().ModifyCreationDateTime);
    EXPECT_EQ(copy.Settings().ModDate.year, 1999);
    EXPECT_EQ(copy.Settings().ModDate.month, 12);
    EXPECT_EQ(copy.Settings().ModDate.day, 31);
    EXPECT_EQ(copy.Settings().ModTime.hour, 8);
    EXPECT_EQ(copy.Settings().ModTime.minute, 9);
    EXPECT_EQ(copy.Settings().ModTime.second, 10);
}

TEST(RenameRulesOnPages, ApplyingTextModeShowsItsRules) {
    RulePages p;
    RenameSettings& r = p.rules.Settings();
    r.TextMode = true;
    r.ReplaceString = true;
    r.SourceString = " ";
    r.DestString = "";
    r.CaseChange = true;
    r.UpperCase = 0;
    r.RenameInPlace = true;
    p.rules.ApplyToPages("/data");
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
    EXPECT_TRUE(copy.Settings().TextMode);
    EXPECT_TRUE(copy.Settings().ReplaceString);
    EXPECT_EQ(copy.Settings().SourceString, " ");
    EXPECT_EQ(copy.Settings().UpperCase, 0);
    EXPECT_TRUE(copy.Settings().RenameInPlace);

    // A load in text mode leaves the sequence kind as it was shown, so that
    // switching to sequencing never offers a page with no kind chosen.
    Click(p.rename, ids::kSequencing);
    EXPECT_TRUE(p.rename.IsChecked(ids::kNumericSequence));
    EXPECT_TRUE(p.rename.IsEnabled(ids::kNumericStart));
    copy.GatherFromPages("/data");
    EXPECT_TRUE(copy.Settings().NumericSequence);
}

// --- Filter page ---

struct TimeRuleIds {
    int box, date, time, comparison;
};
const TimeRuleIds kRules[] = {
    {ids::kFilterCreation, ids::kFilterCreationDate, ids::kFilterCreationTime,
     ids::kFilterCreationDir},
    {ids::kFilterModified, ids::kFilterModifiedDate, ids::kFilterModifiedTime,
     ids::kFilterModifiedDir},
    {ids::kFilterLastAccessed, ids::kFilterLastAccessedDate, ids::kFilterLastAccessedTime,
     ids::kFilterLastAccessedDir},
};
const std::vector<int> kFilterAttributeControls = {ids::kFilterInclude,  ids::kFilterExclude,
                                                   ids::kFilterReadOnly, ids::kFilterHidden,
                                                   ids::kFilterSystem,   ids::kFilterArchive};

std::vector<int> RuleControls(const TimeRuleIds& rule) {
    return {rule.date, rule.time, rule.comparison};
}

void Choose(CQtPage& page, int combo, const char* text) {
    auto* box = page.ControlAs<QComboBox>(combo);
    box->setCurrentIndex(box->findText(text));
}

std::vector<std::string> Rows(const CQtPage& page, int list) {
    std::vector<std::string> rows;
    for (int row = 0; row < page.RowCount(list); ++row) {
        rows.push_back(page.RowText(list, row) + (page.IsRowChecked(list, row) ? "+" : ""));
    }
    return rows;
}

TEST(FilterPage, OpensWithTheThreeGroupsOffAndNoComparisonChosen) {
    CFilterSettingsDlg page;
    std::vector<int> all = kFilterAttributeControls;
    for (const TimeRuleIds& rule : kRules) {
        all.insert(all.end(), {rule.box, rule.date, rule.time, rule.comparison});
    }
    all.insert(all.end(), {ids::kFilterOnAttributes, ids::kFilterOnTimes, ids::kFilterOnExtensions,
                           ids::kFilterIncludeExtensions, ids::kFilterIncludeList,
                           ids::kFilterExcludeExtensions, ids::kFilterExcludeList});
    EXPECT_EQ(Enabled(page, all), (std::set<int>{ids::kFilterOnAttributes, ids::kFilterOnTimes,
                                                 ids::kFilterOnExtensions}));
    EXPECT_TRUE(page.IsChecked(ids::kFilterInclude));
    for (const TimeRuleIds& rule : kRules) {
        auto* combo = page.ControlAs<QComboBox>(rule.comparison);
        EXPECT_EQ(combo->currentIndex(), -1);
        ASSERT_EQ(combo->count(), 3);
        EXPECT_EQ(combo->itemText(0), "Before");
        EXPECT_EQ(combo->itemText(2), "After");
    }
    EXPECT_EQ(page.RowCount(ids::kFilterIncludeList), 0);
    EXPECT_EQ(Tip(page, ids::kFilterExclude),
              "Specifies attributes for files that should be excluded from the renaming");
}

TEST(FilterPage, AttributeGroupKeepsTicksAndChoiceWhenSwitchedOff) {
    CFilterSettingsDlg page;
    Click(page, ids::kFilterOnAttributes);
    EXPECT_EQ(Enabled(page, kFilterAttributeControls).size(), 6u);
    Click(page, ids::kFilterExclude);
    Click(page, ids::kFilterSystem);
    Click(page, ids::kFilterOnAttributes);
    EXPECT_TRUE(Enabled(page, kFilterAttributeControls).empty());
    EXPECT_TRUE(page.IsChecked(ids::kFilterExclude));
    EXPECT_FALSE(page.IsChecked(ids::kFilterInclude));
    EXPECT_TRUE(page.IsChecked(ids::kFilterSystem));
}

TEST(FilterPage, TickingATimeRuleClearsItsComparison) {
    CFilterSettingsDlg page;
    Click(page, ids::kFilterOnTimes);
    const TimeRuleIds& creation = kRules[0];
    Click(page, creation.box);
    EXPECT_EQ(Enabled(page, RuleControls(creation)).size(), 3u);
    EXPECT_EQ(page.Selection(creation.comparison), -1);
    Choose(page, creation.comparison, "After");
    EXPECT_EQ(page.Selection(creation.comparison), 2);

    Click(page, creation.box);
    EXPECT_TRUE(Enabled(page, RuleControls(creation)).empty());
    EXPECT_EQ(page.Selection(creation.comparison), 2);
    Click(page, creation.box);
    EXPECT_EQ(page.Selection(creation.comparison), -1);
}

TEST(FilterPage, RegroupingTimesRestoresEachRuleFromItsBox) {
    CFilterSettingsDlg page;
    Click(page, ids::kFilterOnTimes);
    Click(page, kRules[0].box);
    Choose(page, kRules[0].comparison, "On");
    Click(page, kRules[2].box);
    Choose(page, kRules[2].comparison, "Before");

    Click(page, ids::kFilterOnTimes);
    for (const TimeRuleIds& rule : kRules) {
        EXPECT_FALSE(page.IsEnabled(rule.box));
        EXPECT_TRUE(Enabled(page, RuleControls(rule)).empty());
    }
    Click(page, ids::kFilterOnTimes);
    EXPECT_EQ(Enabled(page, RuleControls(kRules[0])).size(), 3u);
    EXPECT_TRUE(Enabled(page, RuleControls(kRules[1])).empty());
    EXPECT_TRUE(page.IsEnabled(kRules[1].box));
    EXPECT_EQ(Enabled(page, RuleControls(kRules[2])).size(), 3u);
    // The chosen comparisons stay.
    EXPECT_EQ(page.Selection(kRules[0].comparison), 1);
    EXPECT_EQ(page.Selection(kRules[2].comparison), 0);
}

TEST(FilterPage, ExtensionListsFollowTheirBoxesAndTheGroup) {
    CFilterSettingsDlg page;
    Click(page, ids::kFilterOnExtensions);
    EXPECT_EQ(Enabled(page, {ids::kFilterIncludeExtensions, ids::kFilterIncludeList,
                             ids::kFilterExcludeExtensions, ids::kFilterExcludeList}),
              (std::set<int>{ids::kFilterIncludeExtensions, ids::kFilterExcludeExtensions}));
    Click(page, ids::kFilterExcludeExtensions);
    EXPECT_TRUE(page.IsEnabled(ids::kFilterExcludeList));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterIncludeList));
    Click(page, ids::kFilterOnExtensions);
    EXPECT_FALSE(page.IsEnabled(ids::kFilterExcludeList));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterExcludeExtensions));
    Click(page, ids::kFilterOnExtensions);
    EXPECT_TRUE(page.IsEnabled(ids::kFilterExcludeList));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterIncludeList));
}

TEST(FilterPage, ExtensionRowsAreSortedUniqueAndKeepTheirTicksAfterARefill) {
    CFilterSettingsDlg page;
    page.AddIncludeExtension("*.txt");
    page.AddIncludeExtension("*.TXT");
    page.AddIncludeExtension("*.doc");
    page.AddIncludeExtension("*");
    page.AddExcludeExtension("*.tmp");
    EXPECT_EQ(Rows(page, ids::kFilterIncludeList),
              (std::vector<std::string>{"*", "*.doc", "*.txt"}));
    EXPECT_EQ(Rows(page, ids::kFilterExcludeList), (std::vector<std::string>{"*.tmp"}));

    // A rescan refills both lists; a tick stays where its extension does.
    page.SetRowChecked(ids::kFilterIncludeList, 2, true);
    FillExtensionLists(page, std::vector<std::string>{"*.txt", "*.jpeg"});
    EXPECT_EQ(Rows(page, ids::kFilterIncludeList), (std::vector<std::string>{"*.jpeg", "*.txt+"}));
    EXPECT_EQ(Rows(page, ids::kFilterExcludeList), (std::vector<std::string>{"*.jpeg", "*.txt"}));
    page.ClearIncludeExtensions();
    page.ClearExcludeExtensions();
    EXPECT_EQ(page.RowCount(ids::kFilterIncludeList), 0);
    EXPECT_EQ(page.RowCount(ids::kFilterExcludeList), 0);
}

// --- The filter over the real page ---

TEST(FilterOnPage, AppliedSettingsShowAndReadBackUnchanged) {
    CFilterSettingsDlg page;
    CFilterSettings filter;
    filter.SetPage(&page);
    filter.Rules().FilterOnAttributes = true;
    filter.Rules().AttributeMode = false;
    filter.Rules().FilterOnHidden = true;
    filter.Rules().FilterOnTimes = true;
    filter.Rules().FilterOnModDateTime = true;
    filter.Rules().ModifiedDate = {2002, 5, 1, 0, 0, 0};
    filter.Rules().ModifiedTime = {2000, 1, 1, 10, 0, 0};
    filter.Rules().ModifiedComparison = TimeComparison::On;
    filter.Rules().FilterOnLastAccessDateTime = true;
    filter.Rules().LastAccessedComparison = TimeComparison::None;
    filter.Rules().FilterOnExtension = true;
    filter.Rules().FilterOnIncludeExtensions = true;
    filter.Rules().FilterIncludeExtensions = "*.TXT;*.jpeg;*.gone;";
    filter.Rules().FilterOnExcludeExtensions = false;
    page.AddIncludeExtension("*.stale");
    filter.ApplyToPage();

    EXPECT_EQ(page.RowCount(ids::kFilterIncludeList), 0);
    EXPECT_TRUE(page.IsChecked(ids::kFilterExclude));
    EXPECT_EQ(Enabled(page, kFilterAttributeControls).size(), 6u);
    EXPECT_EQ(Enabled(page, RuleControls(kRules[1])).size(), 3u);
    EXPECT_TRUE(Enabled(page, RuleControls(kRules[0])).empty());
    EXPECT_EQ(page.Selection(ids::kFilterModifiedDir), 1);
    EXPECT_EQ(page.Selection(ids::kFilterLastAccessedDir), -1);
    EXPECT_TRUE(page.IsEnabled(ids::kFilterIncludeList));
    EXPECT_FALSE(page.IsEnabled(ids::kFilterExcludeList));

    // The rescan after a load refills the lists; the saved ticks come back.
    FillExtensionLists(page, std::vector<std::string>{"*.txt", "*.jpeg", "*.doc"});
    filter.ApplyExtensionChecks();
    EXPECT_EQ(Rows(page, ids::kFilterIncludeList),
              (std::vector<std::string>{"*.doc", "*.jpeg+", "*.txt+"}));
    EXPECT_EQ(Rows(page, ids::kFilterExcludeList),
              (std::vector<std::string>{"*.doc", "*.jpeg", "*.txt"}));

    CFilterSettings copy;
    copy.SetPage(&page);
    EXPECT_TRUE(copy.ReadFromPage());
    EXPECT_FALSE(copy.Rules().AttributeMode);
    EXPECT_TRUE(copy.Rules().FilterOnHidden);
    EXPECT_FALSE(copy.Rules().FilterOnReadOnly);
    EXPECT_TRUE(copy.Rules().FilterOnModDateTime);
    EXPECT_EQ(copy.Rules().ModifiedComparison, TimeComparison::On);
    EXPECT_EQ(CombineDateAndTime(copy.Rules().ModifiedDate, copy.Rules().ModifiedTime),
              LocalToSeconds({2002, 5, 1, 10, 0, 0}));
    EXPECT_EQ(static_cast<int>(copy.Rules().LastAccessedComparison), -1);
    EXPECT_EQ(copy.Rules().FilterIncludeExtensions, "*.jpeg;*.txt;");
}

TEST(FilterOnPage, AFreshlyTickedTimeRuleKeepsEveryFileUntilAComparisonIsChosen) {
    test::TestDir dir;
    const std::string file = dir.CreateFile("old.txt", "x");
    dir.SetTimes("old.txt", LocalToSeconds({2001, 1, 1, 12, 0, 0}),
                 LocalToSeconds({2001, 1, 1, 12, 0, 0}));
    CFilterSettingsDlg page;
    CFilterSettings filter;
    filter.SetPage(&page);
    Click(page, ids::kFilterOnTimes);
    Click(page, ids::kFilterModified);
    page.SetDateTime(ids::kFilterModifiedDate, {2001, 1, 1, 0, 0, 0});
    page.SetDateTime(ids::kFilterModifiedTime, {2000, 1, 1, 12, 0, 0});
    EXPECT_TRUE(filter.Matches(file));
    Choose(page, ids::kFilterModifiedDir, "Before");
    EXPECT_FALSE(filter.Matches(file));
    Choose(page, ids::kFilterModifiedDir, "On");
    EXPECT_TRUE(filter.Matches(file));
    // Switching the group off lets the file through whatever the rule says.
    Choose(page, ids::kFilterModifiedDir, "After");
    EXPECT_FALSE(filter.Matches(file));
    Click(page, ids::kFilterOnTimes);
    EXPECT_TRUE(filter.Matches(file));
}

}  // namespace
}  // namespace quorvan
