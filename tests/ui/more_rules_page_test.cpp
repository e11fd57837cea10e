#include <QGroupBox>
#include <QSpinBox>

#include "support/media_files.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

TEST(MoreRulesPage, EachBoxEnablesOnlyItsOwnFields) {
    WindowFixture f;
    CMoreRulesPage& page = *f.Window().MoreRulesPage();

    struct Group {
        const char* box;
        std::vector<const char*> fields;
    };
    const std::vector<Group> groups = {
        {"removeCharsCheckBox", {"removeCountSpinBox", "removeFromSpinBox"}},
        {"insertTextCheckBox", {"insertStringLineEdit", "insertAtSpinBox"}},
        {"regexReplaceCheckBox",
         {"regexPatternLineEdit", "regexReplacementLineEdit", "regexIgnoreCaseCheckBox",
          "regexIncludeExtensionCheckBox"}},
        {"replaceBlanksCheckBox", {"replaceBlanksWithLineEdit"}},
    };
    auto enabled = [&](const char* name) { return On<QWidget>(&page, name)->isEnabled(); };
    for (const Group& g : groups) {
        for (const char* field : g.fields) {
            EXPECT_FALSE(enabled(field)) << field;
        }
    }
    for (const Group& g : groups) {
        On<QCheckBox>(&page, g.box)->click();
        for (const Group& other : groups) {
            for (const char* field : other.fields) {
                EXPECT_EQ(enabled(field), &other == &g) << g.box << " ticked: " << field;
            }
        }
        On<QCheckBox>(&page, g.box)->click();
    }
    // The two frames with their own box take their fields with them.
    for (auto [frame, field] : {std::pair{"caseStyleGroupBox", "nameCaseComboBox"},
                                std::pair{"numberingGroupBox", "sequenceStepSpinBox"}}) {
        EXPECT_FALSE(enabled(field));
        On<QGroupBox>(&page, frame)->setChecked(true);
        EXPECT_TRUE(enabled(field));
    }
}

TEST(MoreRulesPage, AnInvalidPatternIsShownUnderTheFieldAndRefusesPreviewAndStart) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt"});
    CMoreRulesPage& page = *f.Window().MoreRulesPage();
    QLabel* problem = On<QLabel>(&page, "regexProblemLabel");
    On<QCheckBox>(&page, "regexReplaceCheckBox")->click();
    QTest::keyClicks(On<QLineEdit>(&page, "regexPatternLineEdit"), "a(b");
    const QString message = "Invalid regular expression at offset 3: missing closing parenthesis";
    EXPECT_EQ(problem->text(), "Offset 3: missing closing parenthesis");
    EXPECT_EQ(problem->toolTip(), message);
    f.Click(CMainDlg::kSelectAll);
    for (int button : {kPreview, kStart}) {
        f.dialogs.shown.clear();
        f.Click(button);
        EXPECT_EQ(f.dialogs.Texts(), Strings{FromQt(message)}) << button;
        EXPECT_EQ(f.dialogs.shown.at(0).caption, "Issue...");
        EXPECT_EQ(f.Window().PreviewModel().Count(), 0);
    }
    EXPECT_EQ(dir.List(), (Strings{"a.txt"}));
    QTest::keyClick(On<QLineEdit>(&page, "regexPatternLineEdit"), Qt::Key_Backspace);
    QTest::keyClicks(On<QLineEdit>(&page, "regexPatternLineEdit"), ")");
    EXPECT_EQ(problem->text(), "");
}

TEST(MoreRulesPage, ATemplateTypedOnThePageGivesThePreviewsNamesOrItsFaultBesideIt) {
    TestDir dir;
    WriteJpeg(dir / "IMG_4821.JPG", {"2024:06:01 08:15:00", "", "Canon", "EOS R6", "", 0});
    dir.CreateFile("notes.txt");
    WindowFixture f(dir.Path());
    CMoreRulesPage& page = *f.Window().MoreRulesPage();
    QLineEdit* field = On<QLineEdit>(&page, "templateLineEdit");
    EXPECT_FALSE(field->isEnabled());
    On<QCheckBox>(&page, "useTemplateCheckBox")->click();
    EXPECT_TRUE(field->isEnabled());
    QTest::keyClicks(field, "{taken:%Y-%m-%d} {camra}");
    EXPECT_EQ(On<QLabel>(&page, "templateProblemLabel")->text(),
              "Unknown token {camra} (at character 19)");
    f.Click(CMainDlg::kSelectAll);
    f.Click(kPreview);
    EXPECT_EQ(f.Window().PreviewModel().Count(), 0);

    field->clear();
    QTest::keyClicks(field, "{taken:%Y-%m-%d} {camera}");
    EXPECT_EQ(On<QLabel>(&page, "templateProblemLabel")->text(), "");
    f.dialogs.shown.clear();
    f.Click(kPreview);
    // The file without a date keeps its name and is marked with the reason.
    EXPECT_EQ(f.PreviewRows(), (Strings{dir / "2024-06-01 EOS R6.JPG", dir / "notes.txt"}));
    EXPECT_EQ(f.Window().PreviewModel().FailingCount(), 1u);
}

TEST(MoreRulesPage, SaveAndLoadRoundTripThePage) {
    TestDir dir;
    MoreRulesPageState state;
    state.useTemplate = true;
    state.templateText = "{taken:%Y}/{name} {{n}}";
    state.removeChars = true;
    state.removeCount = 3;
    state.removeFrom = -2;
    state.insertText = true;
    state.insertString = "é_";
    state.regexReplace = true;
    state.regexPattern = "(\\w+)";
    state.regexReplacement = "[$1]";
    state.regexIncludeExtension = true;
    state.replaceBlanks = true;
    state.replaceBlanksWith = "-";
    state.form = UnicodeForm::Nfd;
    state.caseStyle = true;
    state.nameCase = NameCaseStyle::Sentence;
    state.extensionCase = ExtensionCaseStyle::Upper;
    state.numbering = true;
    state.order = SequenceOrder::Size;
    state.step = -3;
    state.perFolder = true;
    {
        WindowFixture author;
        author.Window().MoreRulesPage()->SetState(state);
        author.Window().SaveSettingsTo(dir / "rules.qvr");
    }
    WindowFixture reader;
    reader.Window().LoadSettingsFrom(dir / "rules.qvr");
    EXPECT_EQ(reader.Window().MoreRulesPage()->State(), state);
    // A file without the rules clears the page's boxes again.
    WindowFixture plain;
    plain.Window().SaveSettingsTo(dir / "plain.qvr");
    reader.Window().LoadSettingsFrom(dir / "plain.qvr");
    const MoreRulesPageState after = reader.Window().MoreRulesPage()->State();
    EXPECT_EQ(MoreRulesFromPage(after), MoreRuleSettings{});
}

}  // namespace
}  // namespace quorvan::test
