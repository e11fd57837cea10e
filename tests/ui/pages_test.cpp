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

}  // namespace
}  // namespace quorvan
