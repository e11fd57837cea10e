#include <sys/stat.h>

#include <QDir>
#include <QSignalSpy>
#include <algorithm>

#include "ui_fixture.h"

namespace quorvan::test {
namespace {

// Brings the tab holding `widget` to the front, if it is on one.
void ShowPageOf(CMainDlg& w, QWidget* widget) {
    for (int tab = 0; tab < w.Tabs()->count(); ++tab) {
        if (w.Tabs()->widget(tab)->isAncestorOf(widget)) {
            w.Tabs()->setCurrentIndex(tab);
        }
    }
}

// The patterns of the Filter page's Include or Exclude list.
Strings FilterRows(CMainDlg& w, bool include = true) {
    const FilterPageState page = w.FilterPage()->State();
    Strings rows;
    for (const ExtensionRow& row : include ? page.includeList : page.excludeList) {
        rows.push_back(row.pattern);
    }
    return rows;
}

// Ticks a row of the Include list as the user does.
void TickIncludeRow(CMainDlg& w, int row) {
    auto* list = On<QListWidget>(w.FilterPage(), "filterIncludeListWidget");
    list->item(row)->setCheckState(Qt::Checked);
}

TEST(MainWindow, OpensOnTheFolderGivenWithItsFilesSortedAndTheExtensionsListed) {
    TestDir dir;
    WindowFixture f(dir, {"b.TXT", "A.txt", "sub/inner.txt"});
    CMainDlg& w = f.Window();

    EXPECT_EQ(w.SourceFolder(), dir.Path());
    EXPECT_EQ(f.SourceRows(), (Strings{dir / "A.txt", dir / "b.TXT"}));
    EXPECT_EQ(w.SelectionLabel(), "0 of 2 files selected");
    EXPECT_EQ(w.PreviewLabel(), "(0 files in preview)");
    EXPECT_EQ(FilterRows(w), Strings{"*.txt"});
    EXPECT_EQ(FilterRows(w, false), Strings{"*.txt"});
}

// Without a folder, or with one that names nothing (shown as given), the list
// is empty and Browse starts at home.
TEST(MainWindow, ATailThatNamesNothingIsShownAsGivenWithAnEmptyList) {
    for (const std::string& folder : {std::string(), std::string("/no/such folder here")}) {
        SCOPED_TRACE(folder);
        WindowFixture f(folder);
        EXPECT_EQ(f.Window().SourceFolder(), folder);
        EXPECT_TRUE(f.SourceRows().empty());
        EXPECT_EQ(f.Window().SelectionLabel(), "(0 of 0 files selected)");
        f.Click(kBrowse);
        EXPECT_EQ(f.dialogs.chooserStarts, std::vector<QString>{QDir::homePath()});
    }
}

// Each tick keeps the label current and empties the preview; Invert Selected
// flips every row, and the track order follows.
TEST(MainWindow, TicksKeepTheLabelCurrentAndInvertFlipsEveryRow) {
    TestDir dir;
    WindowFixture f(dir, {"1.mp3", "2.mp3", "3.mp3", "4.mp3"});
    CMainDlg& w = f.Window();
    f.Click(CMainDlg::kSelectAll);
    EXPECT_EQ(w.SelectionLabel(), "4 of 4 files selected");
    f.Click(kPreview);
    EXPECT_EQ(w.PreviewLabel(), "(4 files in preview)");
    f.ClickRow(3);
    EXPECT_EQ(w.SelectionLabel(), "3 of 4 files selected");
    EXPECT_EQ(w.PreviewLabel(), "(0 files in preview)");

    f.Click(CMainDlg::kDeselectAll);
    f.ClickRow(2);
    f.ClickRow(0);
    EXPECT_EQ(w.SelectionLabel(), "2 of 4 files selected");
    EXPECT_EQ(w.CdAudioPage()->TrackFiles(), (Strings{dir / "3.mp3", dir / "1.mp3"}));
    f.Click(CMainDlg::kInvertSelected);
    EXPECT_EQ(f.Ticks(), (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(w.SelectionLabel(), "2 of 4 files selected");
    EXPECT_EQ(w.CdAudioPage()->TrackFiles(), (Strings{dir / "2.mp3", dir / "4.mp3"}));
}

// The track list keeps source rows: a row ticked again goes to the end, the
// selected track stays on its file, and a list read again never lends the
// selection to another file.
TEST(MainWindow, TheTrackListFollowsTicksAndKeepsItsSelectionOnOneFile) {
    TestDir dir;
    WindowFixture f(dir, {"1.mp3", "2.mp3", "3.mp3", "4.mp3"});
    CCDDBSettingsDlg* cd = f.Window().CdAudioPage();
    for (int row : {3, 1, 2, 1, 1}) {
        f.ClickRow(row);
    }
    EXPECT_EQ(cd->TrackFiles(), (Strings{dir / "4.mp3", dir / "3.mp3", dir / "2.mp3"}));
    cd->SelectTrack(2);
    f.ClickRow(3);
    QApplication::processEvents();
    EXPECT_EQ(cd->TrackFiles(), (Strings{dir / "3.mp3", dir / "2.mp3"}));
    ASSERT_EQ(cd->SelectedTrack(), 1);
    EXPECT_EQ(cd->TrackFiles().at(1), dir / "2.mp3");

    dir.CreateFile("0.mp3");
    f.Click(kRefresh);
    for (int row : {0, 1, 2, 3, 4, 4}) {
        f.ClickRow(row);
    }
    QApplication::processEvents();
    const int selected = cd->SelectedTrack();
    EXPECT_TRUE(selected < 0 || cd->TrackFiles().at(static_cast<size_t>(selected)) == dir / "2.mp3")
        << selected;
}

TEST(MainWindow, PreviewWithNothingTickedSaysSoAndAFilteredOutSelectionShowsNothing) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt", "b.txt", "c.jpg"});
    f.Click(kPreview);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].caption, "Issue...");
    EXPECT_EQ(f.dialogs.shown[0].text, "No files have been selected.");

    // Only *.jpg may pass; the two ticked files are both .txt.
    On<QCheckBox>(f.Window().FilterPage(), "filterOnExtensionsCheckBox")->click();
    On<QCheckBox>(f.Window().FilterPage(), "filterIncludeExtensionsCheckBox")->click();
    ASSERT_EQ(FilterRows(f.Window()).at(0), "*.jpg");
    TickIncludeRow(f.Window(), 0);
    f.ClickRow(0);
    f.ClickRow(1);
    f.Click(kPreview);
    EXPECT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.Window().PreviewLabel(), "(0 files in preview)");
    EXPECT_EQ(f.Window().FileCount(), 0);
}

TEST(MainWindow, IncludeSubfoldersTicksAndLocksTheListAndPreviewAsksFirst) {
    TestDir dir;
    WindowFixture f(dir, {"top.txt", "one/two/deep.txt"});
    CMainDlg& w = f.Window();
    QCheckBox* subfolders = On<QCheckBox>(w.ExtendedPage(), "includeSubfoldersCheckBox");

    subfolders->click();
    EXPECT_EQ(f.Ticks(), std::vector<bool>{true});
    for (WindowButton id :
         {CMainDlg::kSelectAll, CMainDlg::kDeselectAll, CMainDlg::kInvertSelected}) {
        EXPECT_FALSE(w.Button(id)->isEnabled());
    }
    EXPECT_FALSE(w.SourceView()->isEnabled());

    f.dialogs.answers = {QMessageBox::No};
    f.Click(kPreview);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].caption, "Info...");
    EXPECT_TRUE(f.dialogs.shown[0].text.startsWith("With the \"Include Subfolders\" option set"));
    EXPECT_EQ(w.PreviewModel().Count(), 0);

    UsePrefix(w, "x");
    f.dialogs.answers = {QMessageBox::Yes};
    f.Click(kPreview);
    EXPECT_EQ(f.PreviewRows(), (Strings{dir / "one/two/xdeep.txt", dir / "xtop.txt"}));

    subfolders->click();
    EXPECT_EQ(f.Ticks(), std::vector<bool>{false});
    EXPECT_TRUE(w.Button(CMainDlg::kSelectAll)->isEnabled());
    EXPECT_TRUE(w.SourceView()->isEnabled());
}

// Enter never presses a button, not even a focused Exit, the default button;
// neither Enter nor Escape closes the window.
TEST(MainWindow, EnterAndEscapePressNoButtonWhicheverHasTheFocus) {
    TestDir dir;
    WindowFixture f(dir, {"a.mp3"});
    CMainDlg& w = f.Window();
    ShowAndWait(w, true);
    // Every button usable: CD mode on, copying chosen.
    On<QCheckBox>(w.CdAudioPage(), "renameCdAudioCheckBox")->click();
    On<QRadioButton>(w.ExtendedPage(), "copyThenRenameRadioButton")->click();
    int finished = 0;
    QObject::connect(&w, &QDialog::finished, [&finished] { ++finished; });
    QList<QPushButton*> buttons = w.findChildren<QPushButton*>();
    ASSERT_GE(buttons.size(), 20);
    // Exit last: pressed by mistake it would close the window.
    std::stable_partition(buttons.begin(), buttons.end(),
                          [&w](QPushButton* b) { return b != w.Button(kExit); });
    for (QPushButton* button : buttons) {
        const std::string name = button->text().toStdString();
        ShowPageOf(w, button);
        ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name;
        button->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), button) << name;
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter);
        QTest::keyClick(button, Qt::Key_Escape);
        EXPECT_EQ(clicked.count(), 0) << name;
        ASSERT_EQ(finished, 0) << name;
    }
    Click(w.RenamePage(), "addPrefixCheckBox");
    QLineEdit* prefix = On<QLineEdit>(w.RenamePage(), "prefixLineEdit");
    for (QWidget* target : {static_cast<QWidget*>(&w), static_cast<QWidget*>(prefix)}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Escape);
    }
    EXPECT_EQ(finished, 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(f.dialogs.shown.empty());
    EXPECT_TRUE(f.dialogs.chooserTitles.empty());
    EXPECT_TRUE(w.Button(kExit)->isDefault());
    // The space bar still presses the focused button.
    QTest::keyClick(w.Button(kExit), Qt::Key_Space);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

// Alt+D and Alt+B each belong to two buttons; the page in view wins, else
// the window's own button.
TEST(MainWindow, SharedMnemonicsPressTheButtonOnThePageInView) {
    TestDir dir;
    TestDir out;
    WindowFixture f(dir, {"1.mp3", "2.mp3"});
    CMainDlg& w = f.Window();
    ShowAndWait(w, true);
    f.Click(CMainDlg::kSelectAll);
    CCDDBSettingsDlg* cd = w.CdAudioPage();
    On<QCheckBox>(cd, "renameCdAudioCheckBox")->click();
    w.Tabs()->setCurrentWidget(cd);
    cd->SelectTrack(0);
    QTest::keyClick(&w, Qt::Key_D, Qt::AltModifier);
    const Strings swapped = {dir / "2.mp3", dir / "1.mp3"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return cd->TrackFiles() == swapped; }));
    EXPECT_EQ(f.Ticks(), (std::vector<bool>{true, true}));
    w.Tabs()->setCurrentWidget(w.RenamePage());
    QTest::keyClick(&w, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.Ticks() == std::vector<bool>{false, false}; }));

    CExtendedSettingsDlg* extended = w.ExtendedPage();
    On<QRadioButton>(extended, "copyThenRenameRadioButton")->click();
    w.Tabs()->setCurrentWidget(extended);
    f.dialogs.choices = {ToQt(out.Path())};
    QTest::keyClick(&w, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return Text(extended, "destinationFolderLineEdit") == out.Path(); }));
    EXPECT_EQ(w.SourceFolder(), dir.Path());
    // Renaming in place: the destination's Browse is off, the window's works.
    On<QRadioButton>(extended, "renameExistingRadioButton")->click();
    f.dialogs.choices = {ToQt(out.Path())};
    QTest::keyClick(&w, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.SourceFolder() == out.Path(); }));
    EXPECT_EQ(f.dialogs.chooserTitles.size(), 2u);
}

TEST(MainWindow, BrowseScansThePickedFolderAndCancelChangesNothing) {
    TestDir first;
    TestDir second;
    second.CreateFiles({"y.doc", "z"});
    WindowFixture f(first, {"x.txt"});
    f.dialogs.choices = {QString()};
    f.Click(kBrowse);
    EXPECT_EQ(f.Window().SourceFolder(), first.Path());
    EXPECT_EQ(f.dialogs.chooserTitles.at(0), "Choose Source Folder");

    f.dialogs.choices = {ToQt(second.Path())};
    f.Click(kBrowse);
    EXPECT_EQ(f.Window().SourceFolder(), second.Path());
    // The chooser opened where the list was.
    EXPECT_EQ(f.dialogs.chooserStarts,
              (std::vector<QString>{ToQt(first.Path()), ToQt(first.Path())}));
    EXPECT_EQ(f.SourceRows(), (Strings{second / "y.doc", second / "z"}));
    EXPECT_EQ(FilterRows(f.Window()), (Strings{"*", "*.doc"}));

    // Whatever the last folder showed, an empty one shows nothing of it.
    f.Click(CMainDlg::kSelectAll);
    f.Click(kPreview);
    ASSERT_EQ(f.Window().PreviewModel().Count(), 2);
    f.dialogs.choices = {ToQt(second.CreateDir("empty"))};
    f.Click(kBrowse);
    EXPECT_TRUE(f.SourceRows().empty());
    EXPECT_EQ(f.Window().SelectionLabel(), "0 of 0 files selected");
    EXPECT_EQ(f.Window().PreviewLabel(), "(0 files in preview)");
    EXPECT_EQ(f.Window().PreviewModel().Count(), 0);
}

TEST(MainWindow, RefreshRescansLosingTicksAndEmptyingThePreview) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt"});
    f.Click(CMainDlg::kSelectAll);
    f.Click(kPreview);
    ASSERT_EQ(f.Window().PreviewModel().Count(), 1);
    TickIncludeRow(f.Window(), 0);
    dir.CreateFile("b.txt");
    f.Click(kRefresh);
    EXPECT_EQ(f.SourceRows().size(), 2u);
    EXPECT_EQ(f.Ticks(), (std::vector<bool>{false, false}));
    EXPECT_EQ(f.Window().PreviewModel().Count(), 0);
    EXPECT_EQ(f.Window().PreviewLabel(), "(0 files in preview)");
}

TEST(MainWindow, NamesThatAreNotUtf8AreShownReadablyAndRenamedByTheirBytes) {
    TestDir dir;
    const std::string raw = "caf\xe9 \xff.txt";
    dir.CreateFile(raw, "data");
    WindowFixture f(dir.Path());
    CMainDlg& w = f.Window();
    const QString shown =
        w.SourceModel().data(w.SourceModel().index(0), Qt::DisplayRole).toString();
    EXPECT_TRUE(shown.endsWith(QString::fromUtf8("caf\uFFFD \uFFFD.txt"))) << shown.toStdString();
    EXPECT_EQ(f.SourceRows().at(0), dir / raw);

    UsePrefix(w, "n_");
    f.ClickRow(0);
    f.Click(kPreview);
    EXPECT_EQ(f.PreviewRows(), Strings{dir / ("n_" + raw)});
}

// Puts something non-default on every page, saves, and loads it into a fresh
// window: everything must come back, the filter's extension ticks included.
TEST(MainWindow, SaveAndLoadSettingsRestoreEveryPage) {
    TestDir dir;
    TestDir jobs;
    const std::string file = jobs / "rules.qvr";
    ExtendedPageState extended;
    {
        WindowFixture f(dir, {"a.txt", "b.jpeg", "c.png"});
        CMainDlg& w = f.Window();
        QWidget* renamePage = w.RenamePage();
        On<QRadioButton>(renamePage, "sequencingRadioButton")->click();
        On<QRadioButton>(renamePage, "alphaSequenceRadioButton")->click();
        On<QLineEdit>(renamePage, "alphaStartLineEdit")->setText("C");
        On<QLineEdit>(renamePage, "charactersLineEdit")->setText("3");
        On<QRadioButton>(renamePage, "sequenceSuffixRadioButton")->click();
        QWidget* extendedPage = w.ExtendedPage();
        On<QCheckBox>(extendedPage, "changeExtensionCheckBox")->click();
        On<QLineEdit>(extendedPage, "newExtensionLineEdit")->setText("bak");
        On<QCheckBox>(extendedPage, "generateLogCheckBox")->click();
        On<QRadioButton>(extendedPage, "copyThenRenameRadioButton")->click();
        On<QLineEdit>(extendedPage, "destinationFolderLineEdit")->setText(ToQt(jobs / "out"));
        QWidget* attribute = w.AttributePage();
        On<QCheckBox>(attribute, "modifyAttributesCheckBox")->click();
        On<QCheckBox>(attribute, "hiddenCheckBox")->click();
        On<QCheckBox>(attribute, "modifyDateTimeCheckBox")->click();
        On<QCheckBox>(attribute, "modifiedDateTimeCheckBox")->click();
        Pick(attribute, "modifiedDateEdit", {2021, 3, 4, 0, 0, 0});
        Pick(attribute, "modifiedTimeEdit", {2000, 1, 1, 5, 6, 7});
        for (const char* box : {"filterOnTimesCheckBox", "filterModifiedCheckBox",
                                "filterOnExtensionsCheckBox", "filterIncludeExtensionsCheckBox"}) {
            On<QCheckBox>(w.FilterPage(), box)->click();
        }
        On<QComboBox>(w.FilterPage(), "filterModifiedComboBox")->setCurrentIndex(2);
        ASSERT_EQ(FilterRows(w), (Strings{"*.jpeg", "*.png", "*.txt"}));
        TickIncludeRow(w, 0);
        TickIncludeRow(w, 2);

        f.dialogs.choices = {ToQt(file)};
        f.Click(kSaveSettings);
        EXPECT_EQ(w.windowTitle(), "Quorvan - rules");
        EXPECT_TRUE(f.dialogs.shown.empty());
        extended = w.ExtendedPage()->State();
    }

    WindowFixture g;
    CMainDlg& w = g.Window();
    g.dialogs.choices = {ToQt(file)};
    g.Click(kLoadSettings);
    EXPECT_TRUE(g.dialogs.shown.empty());
    EXPECT_EQ(w.windowTitle(), "Quorvan - rules");
    EXPECT_EQ(w.SourceFolder(), dir.Path());
    EXPECT_EQ(g.SourceRows().size(), 3u);

    QWidget* rename = w.RenamePage();
    EXPECT_TRUE(IsChecked(rename, "sequencingRadioButton"));
    EXPECT_TRUE(IsChecked(rename, "alphaSequenceRadioButton"));
    EXPECT_TRUE(IsChecked(rename, "sequenceSuffixRadioButton"));
    EXPECT_EQ(Text(rename, "alphaStartLineEdit"), "C");
    EXPECT_EQ(Text(rename, "charactersLineEdit"), "3");
    EXPECT_TRUE(IsEnabled(rename, "alphaStartLineEdit"));
    EXPECT_EQ(w.ExtendedPage()->State(), extended);
    EXPECT_TRUE(IsEnabled(w.ExtendedPage(), "destinationFolderLineEdit"));
    QWidget* attribute = w.AttributePage();
    EXPECT_TRUE(IsChecked(attribute, "hiddenCheckBox"));
    EXPECT_FALSE(IsChecked(attribute, "readOnlyCheckBox"));
    EXPECT_TRUE(IsChecked(attribute, "modifiedDateTimeCheckBox"));
    EXPECT_FALSE(IsChecked(attribute, "creationDateTimeCheckBox"));
    const LocalDateTime date = Picked(attribute, "modifiedDateEdit");
    const LocalDateTime time = Picked(attribute, "modifiedTimeEdit");
    EXPECT_EQ((std::vector<int>{date.year, date.month, date.day}), (std::vector<int>{2021, 3, 4}));
    EXPECT_EQ((std::vector<int>{time.hour, time.minute, time.second}), (std::vector<int>{5, 6, 7}));
    const FilterPageState filter = w.FilterPage()->State();
    EXPECT_TRUE(filter.onTimes && filter.modified.on);
    EXPECT_EQ(filter.modified.comparison, TimeComparison::After);
    EXPECT_TRUE(filter.includeExtensions);
    EXPECT_EQ(filter.includeList,
              (std::vector<ExtensionRow>{{"*.jpeg", true}, {"*.png", false}, {"*.txt", true}}));
}

TEST(MainWindow, ASettingsFileThatCannotBeSavedIsReported) {
    TestDir dir;
    WindowFixture f;
    f.Window().SaveSettingsTo(dir / "no/such/folder/x.qvr");
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_TRUE(f.dialogs.shown[0].text.contains("could not be saved"));
}

TEST(MainWindow, WhatCannotBeASettingsFileIsReportedWithoutWaitingAndChangesNothing) {
    TestDir dir;
    ASSERT_EQ(mkfifo((dir / "pipe.qvr").c_str(), 0600), 0);
    // A settings file that reads well beside a filter file that cannot.
    dir.CreateFile("good.qvr", "TextSeqModifications = Text\nAddPrefix = Yes\nPrefix = new_\n");
    ASSERT_EQ(mkfifo((dir / "good.qvrfltr").c_str(), 0600), 0);
    struct Case {
        std::string file;
        std::string named;  // the file the message names
        std::string reason;
        std::string prefix;  // the prefix afterwards
    };
    const Case cases[] = {
        {"pipe.qvr", "pipe.qvr", "Not a regular file", "keep_"},
        {"good.qvr", "good.qvrfltr", "Not a regular file", "new_"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WindowFixture f;
        CMainDlg& w = f.Window();
        UsePrefix(w, "keep_");
        On<QCheckBox>(w.FilterPage(), "filterOnAttributesCheckBox")->click();
        w.LoadSettingsFrom(dir / c.file);
        ASSERT_EQ(f.dialogs.shown.size(), 1u);
        EXPECT_TRUE(f.dialogs.shown[0].text.contains(ToQt(dir / c.named)))
            << f.dialogs.shown[0].text.toStdString();
        EXPECT_TRUE(f.dialogs.shown[0].text.contains(ToQt(c.reason)))
            << f.dialogs.shown[0].text.toStdString();
        EXPECT_EQ(Text(w.RenamePage(), "prefixLineEdit"), c.prefix);
        EXPECT_TRUE(w.FilterPage()->State().onAttributes);
    }
}

}  // namespace
}  // namespace quorvan::test
