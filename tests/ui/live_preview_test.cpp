#include <QSignalSpy>
#include <algorithm>

#include "cdaudio/track_names.h"
#include "ui/cd_audio_models.h"
#include "ui/live_preview.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

QCheckBox* LiveBox(CMainDlg& w) {
    return w.findChild<QCheckBox*>("livePreviewCheckBox");
}

CLivePreview* Live(CMainDlg& w) {
    return w.findChild<CLivePreview*>();
}

// Waits until the live preview shows the latest change.
bool Settle(CMainDlg& w) {
    QCoreApplication::processEvents();
    return QTest::qWaitFor([&w] { return !Live(w)->Pending(); }, 10000);
}

void TurnOn(CMainDlg& w) {
    LiveBox(w)->click();
    ASSERT_TRUE(LiveBox(w)->isChecked());
}

QLineEdit* PrefixField(CMainDlg& w) {
    On<QCheckBox>(w.RenamePage(), "addPrefixCheckBox")->click();
    return On<QLineEdit>(w.RenamePage(), "prefixLineEdit");
}

// Saves the settings with the prefix "s_" on, then switches the prefix off.
std::string SavePrefixSettings(WindowFixture& f, TestDir& dir) {
    PrefixField(f.Window())->setText("s_");
    f.Window().SaveSettingsTo(dir / "s.qvr");
    On<QCheckBox>(f.Window().RenamePage(), "addPrefixCheckBox")->click();
    f.Click(CMainDlg::kSelectAll);
    EXPECT_TRUE(Settle(f.Window()));
    return dir / "s.qvr";
}

Strings Sorted(Strings rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST(LivePreview, EachKindOfChangeRefillsThePreviewByItself) {
    struct Case {
        const char* name;
        std::function<void(WindowFixture&, TestDir&)> change;
        Strings expected;  // names in the folder
    };
    const std::vector<Case> cases = {
        {"a keystroke in a rule field",
         [](WindowFixture& f, TestDir&) {
             f.Click(CMainDlg::kSelectAll);
             QTest::keyClicks(PrefixField(f.Window()), "x_");
         },
         {"x_a.txt", "x_b.txt", "x_c.jpg"}},
        {"ticking one row", [](WindowFixture& f, TestDir&) { f.ClickRow(1); }, {"b.txt"}},
        {"Select All",
         [](WindowFixture& f, TestDir&) { f.Click(CMainDlg::kSelectAll); },
         {"a.txt", "b.txt", "c.jpg"}},
        {"Deselect All after Select All",
         [](WindowFixture& f, TestDir&) {
             f.Click(CMainDlg::kSelectAll);
             ASSERT_TRUE(Settle(f.Window()));
             f.Click(CMainDlg::kDeselectAll);
         },
         {}},
        {"Invert Selected",
         [](WindowFixture& f, TestDir&) {
             f.ClickRow(0);
             ASSERT_TRUE(Settle(f.Window()));
             f.Click(CMainDlg::kInvertSelected);
         },
         {"b.txt", "c.jpg"}},
        {"an option on another page",
         [](WindowFixture& f, TestDir&) {
             f.Click(CMainDlg::kSelectAll);
             CExtendedSettingsDlg* page = f.Window().ExtendedPage();
             On<QCheckBox>(page, "changeExtensionCheckBox")->click();
             On<QLineEdit>(page, "newExtensionLineEdit")->setText("md");
         },
         {"a.md", "b.md", "c.md"}},
        {"the filter page",
         [](WindowFixture& f, TestDir&) {
             f.Click(CMainDlg::kSelectAll);
             CFilterSettingsDlg* page = f.Window().FilterPage();
             page->findChild<QCheckBox*>("filterOnExtensionsCheckBox")->click();
             page->findChild<QCheckBox*>("filterExcludeExtensionsCheckBox")->click();
             auto* list = page->findChild<QListWidget*>("filterExcludeListWidget");
             list->findItems("*.jpg", Qt::MatchExactly).front()->setCheckState(Qt::Checked);
         },
         {"a.txt", "b.txt"}},
        {"a loaded settings file",
         [](WindowFixture& f, TestDir& dir) {
             f.Window().LoadSettingsFrom(SavePrefixSettings(f, dir));
             f.Click(CMainDlg::kSelectAll);
         },
         {"s_a.txt", "s_b.txt", "s_c.jpg", "s_s.qvr", "s_s.qvrfltr"}},
        {"the CD page's track order and titles",
         [](WindowFixture& f, TestDir&) {
             CCDDBSettingsDlg* cd = f.Window().CdAudioPage();
             On<QCheckBox>(cd, "renameCdAudioCheckBox")->click();
             f.ClickRow(1);
             f.ClickRow(0);
             ASSERT_TRUE(Settle(f.Window()));
             cd->TitlesModel().SetTitles({{"01", "One", "", true}, {"02", "Two", "", true}});
         },
         {"One.txt", "Two.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        WindowFixture f(dir, {"a.txt", "b.txt", "c.jpg"});
        TurnOn(f.Window());
        c.change(f, dir);
        ASSERT_TRUE(Settle(f.Window()));
        Strings expected;
        for (const std::string& name : c.expected) {
            expected.push_back(dir / name);
        }
        EXPECT_EQ(Sorted(f.PreviewRows()), expected);
        EXPECT_EQ(f.Window().PreviewLabel(), QString("(%1 files in preview)").arg(expected.size()));
        // Nothing asked, nothing pressed: no message either.
        EXPECT_TRUE(f.dialogs.shown.empty());
    }
}

TEST(LivePreview, OffTickingEmptiesThePreviewOnItKeepsTheRowsUntilTheNewOnesCome) {
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "on" : "off");
        TestDir dir;
        WindowFixture f(dir, {"a.txt", "b.txt"});
        if (on) {
            TurnOn(f.Window());
        }
        f.Click(CMainDlg::kSelectAll);
        f.Click(kPreview);
        ASSERT_TRUE(Settle(f.Window()));
        ASSERT_EQ(f.Window().PreviewModel().Count(), 2);
        f.ClickRow(0);
        // Right after the change, before any event: no empty list that flickers.
        EXPECT_EQ(f.Window().PreviewModel().Count(), on ? 2 : 0);
        ASSERT_TRUE(Settle(f.Window()));
        EXPECT_EQ(f.PreviewRows(), on ? Strings{dir / "b.txt"} : Strings{});
    }
}

TEST(LivePreview, FastTypingShowsOnlyResultsOfTheTextAsItIsThenTheLastOne) {
    TestDir dir;
    WindowFixture f(dir, Numbered("f", 3000, ".txt"));
    CMainDlg& w = f.Window();
    TurnOn(w);
    f.Click(CMainDlg::kSelectAll);
    QLineEdit* prefix = PrefixField(w);
    ASSERT_TRUE(Settle(w));
    // Whenever the list changes, it shows the prefix the field holds then.
    Strings mismatches;
    int shown = 0;
    QObject::connect(&w.PreviewModel(), &QAbstractItemModel::modelReset, [&] {
        ++shown;
        const std::string first = w.PreviewModel().Name(0);
        const std::string expected = dir / (prefix->text().toStdString() + "f0.txt");
        if (first != expected) {
            mismatches.push_back(first);
        }
    });
    const QString typed = "abcdefghijklmnopqrst";
    for (const QChar letter : typed) {
        QTest::keyClick(prefix, letter.toLatin1());
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(Settle(w));
    EXPECT_TRUE(mismatches.empty()) << mismatches.front();
    EXPECT_GE(shown, 1);
    EXPECT_LT(shown, typed.size() + 1);
    EXPECT_EQ(w.PreviewModel().Name(0), dir / (typed.toStdString() + "f0.txt"));
}

TEST(LivePreview, MarksAndTheFailingCountFollowTheRules) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt", "x_a.txt"});
    CMainDlg& w = f.Window();
    TurnOn(w);
    f.ClickRow(0);  // a.txt
    QLineEdit* prefix = PrefixField(w);
    prefix->setText("x_");
    ASSERT_TRUE(Settle(w));
    ASSERT_EQ(w.PreviewModel().Count(), 1);
    EXPECT_TRUE(w.PreviewModel().IsFailing(0));
    EXPECT_EQ(w.PreviewLabel(), "(1 files in preview, 1 cannot be renamed)");

    prefix->setText("y_");
    ASSERT_TRUE(Settle(w));
    EXPECT_FALSE(w.PreviewModel().IsFailing(0));
    EXPECT_EQ(w.PreviewLabel(), "(1 files in preview)");
}

TEST(LivePreview, StartDuringAComputationRunsWhatTheWindowShowsNow) {
    TestDir dir;
    WindowFixture f(dir, Numbered("n", 2000, ".txt"));
    CMainDlg& w = f.Window();
    TurnOn(w);
    f.Click(CMainDlg::kSelectAll);
    QLineEdit* prefix = PrefixField(w);
    prefix->setText("old_");
    ASSERT_TRUE(Settle(w));
    prefix->setText("new_");
    QCoreApplication::processEvents();
    f.Click(kStart);
    w.Engine().WaitForWorker();
    EXPECT_TRUE(dir.Exists("new_n0.txt"));
    EXPECT_TRUE(dir.Exists("new_n1999.txt"));
    EXPECT_FALSE(dir.Exists("old_n0.txt"));
    // After the run the list shows the renamed files' preview once more.
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(w.PreviewModel().Count(), 0);  // the rescan unticked every row
    EXPECT_EQ(w.PreviewLabel(), "(0 files in preview)");
}

TEST(LivePreview, TheBoxIsRememberedPerUserAndAWindowOpensWithIt) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt"});
    EXPECT_FALSE(LiveBox(f.Window())->isChecked());
    TurnOn(f.Window());
    CRenameRules rules;
    CFilterSettings filter;
    CMainDlg again(rules, filter);
    again.SetInitialFolder(dir.Path());
    again.Initialise();
    ASSERT_TRUE(LiveBox(again)->isChecked());
    again.SourceModel().SetTicked(0, true);
    ASSERT_TRUE(Settle(again));
    EXPECT_EQ(again.PreviewModel().Count(), 1);
    // Nothing of it goes into a settings file.
    again.SaveSettingsTo(dir / "s.qvr");
    EXPECT_EQ(dir.Read("s.qvr").find("Live"), std::string::npos);
}

TEST(LivePreview, AnEmptyNumberBoxIsNotFilledInWhileTheUserTypes) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt"});
    CMainDlg& w = f.Window();
    TurnOn(w);
    f.ClickRow(0);
    On<QRadioButton>(w.RenamePage(), "sequencingRadioButton")->click();
    auto* start = On<QLineEdit>(w.RenamePage(), "numericStartLineEdit");
    start->clear();
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(start->text(), "");
    EXPECT_EQ(w.PreviewModel().Count(), 1);
}

// The More Rules page counts as it shows, before any Preview.
TEST(LivePreview, ANameTemplateOfThePageIsFollowedAndOneThatCannotBeReadIsSaid) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt"});
    CMainDlg& w = f.Window();
    TurnOn(w);
    f.ClickRow(0);
    ASSERT_TRUE(Settle(w));
    QWidget* more = w.MoreRulesPage();
    Click(more, "useTemplateCheckBox");
    SetText(more, "templateLineEdit", "{name}-{size}");
    PrefixField(w)->setText("p_");
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(f.PreviewRows(), Strings{dir / "p_a-0.txt"});
    SetText(more, "templateLineEdit", "{name");
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(f.PreviewRows(), Strings{dir / "p_a-0.txt"});  // kept, dimmed
    EXPECT_FALSE(w.PreviewLabel().contains("files in preview"));
    EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(LivePreview, AListWaitingForItsNextPlanKeepsItsCountAndTheRowsInView) {
    auto plan = std::make_shared<CRenamePlan>();
    for (const char* name : {"/d/a", "/d/b", "/d/c", "/d/d", "/d/e"}) {
        plan->Add(name);
    }
    for (auto& entry : plan->Entries()) {
        entry.second = entry.first + "2";
    }
    plan->Entries()[1].second = plan->Entries()[0].second;  // a collision
    CPreviewModel model;
    model.SetPlan(plan, CheckPlan(plan->Entries(), true, false));
    ASSERT_EQ(model.FailingCount(), 1u);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.KeepOnly(1, 2);
    EXPECT_TRUE(model.KeepsOnlySome());
    EXPECT_EQ(resets.count(), 0);  // the list keeps its place
    EXPECT_EQ(model.Count(), 5);
    EXPECT_EQ(model.FailingCount(), 1u);
    EXPECT_EQ(model.Name(1), "/d/a2");
    EXPECT_TRUE(model.IsFailing(1));
    EXPECT_EQ(model.Reason(1), "Another file gets this name: /d/a");
    EXPECT_EQ(model.Name(2), "/d/c2");
    EXPECT_EQ(model.Name(4), "");
    EXPECT_FALSE(model.IsFailing(4));
    model.SetPlan(plan, CheckPlan(plan->Entries(), true, false));
    EXPECT_FALSE(model.KeepsOnlySome());
    EXPECT_EQ(model.Name(4), "/d/e2");
}

}  // namespace
}  // namespace quorvan::test
