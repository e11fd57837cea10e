#include <sys/stat.h>

#include <QFile>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeView>

#include "platform/counter_store.h"
#include "ui/about_dlg.h"
#include "ui/help_window.h"
#include "ui/palette_colours.h"
#include "ui/window_geometry.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

void Settle(QWidget& widget) {
    ShowAndWait(widget);
    QCoreApplication::processEvents();
}

QScrollArea* Scroller(CMainDlg& w) {
    return w.findChild<QScrollArea*>();
}

TEST(WindowSize, SmallestIsTheFixedLayoutOfOldAndTheListsTakeTheRoomBeyondIt) {
    TestDir dir;
    WindowFixture f(dir, Numbered("f", 40, ".txt"));
    CMainDlg& w = f.Window();
    Settle(w);
    const QSize smallest = w.minimumSize();
    EXPECT_EQ(w.size(), smallest);
    QListView* source = w.SourceView();
    auto* preview = w.Controls().ControlAs<QListView>(kPreviewList);
    ASSERT_NE(preview, nullptr);
    // Twelve rows, and every control in reach without scrolling.
    EXPECT_GE(source->height(), source->fontMetrics().height() * 12);
    EXPECT_FALSE(Scroller(w)->verticalScrollBar()->isVisible());
    EXPECT_FALSE(Scroller(w)->horizontalScrollBar()->isVisible());

    w.resize(smallest - QSize(150, 150));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.size(), smallest);

    w.Tabs()->setCurrentIndex(3);
    auto* tracks = On<QTreeView>(w.CdAudioPage(), "selectedTracksView");
    ASSERT_NE(tracks, nullptr);
    QCoreApplication::processEvents();
    const QSize sourceBefore = source->size();
    const QSize previewBefore = preview->size();
    const QSize tracksBefore = tracks->size();
    const QSize buttonBefore = w.Button(kPreview)->size();
    const int tabsBefore = w.Tabs()->height();

    const QSize extra(400, 300);
    w.resize(smallest + extra);
    QCoreApplication::processEvents();
    EXPECT_GE(source->height() - sourceBefore.height(), extra.height() / 2);
    EXPECT_EQ(preview->height(), source->height());
    EXPECT_GE(source->width() - sourceBefore.width(), extra.width() * 2 / 5);
    EXPECT_GE(preview->width() - previewBefore.width(), extra.width() * 2 / 5);
    EXPECT_GT(tracks->height(), tracksBefore.height());
    EXPECT_GT(tracks->width(), tracksBefore.width());
    EXPECT_LT(w.Tabs()->height() - tabsBefore, source->height() - sourceBefore.height());
    EXPECT_EQ(w.Button(kPreview)->size(), buttonBefore);
}

TEST(WindowSize, TheSmallestSizeGivesWayWhereTheScreenIsSmaller) {
    struct Case {
        const char* what;
        QSize available;
        QSize expected;
    };
    const QSize compact(770, 610);
    const QSize needed(300, 200);
    const int bar = 15;
    const Case cases[] = {
        {"a screen with room keeps the compact size", {1920, 1050}, compact},
        {"too low: as high as the screen, wider by a scroll bar", {960, 510}, {785, 510}},
        {"too narrow: as wide as the screen, higher by a scroll bar", {700, 1000}, {700, 625}},
        {"too small both ways: the whole screen", {600, 400}, {600, 400}},
        {"smaller than the layout can go: what the layout needs", {200, 100}, needed},
        {"no screen known: the compact size", {}, compact},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SmallestWindowSize(compact, needed, c.available, bar), c.expected) << c.what;
    }
}

TEST(WindowGeometry, SizePositionAndMaximisedComeBackAfterARestartButNotInSettingsFiles) {
    StateDirScope state;
    TestDir dir;
    CRenameRules rules;
    CFilterSettings filter;
    QRect placed;
    {
        CMainDlg first(rules, filter);
        first.Initialise();
        Settle(first);
        placed = QRect(QPoint(23, 31), first.minimumSize() + QSize(50, 40));
        first.setGeometry(placed);
        QCoreApplication::processEvents();
        placed = first.geometry();
        first.SaveSettingsTo(dir / "rules.qvr");
        first.Button(kExit)->click();
    }
    EXPECT_FALSE(dir.Read("rules.qvr").empty());
    EXPECT_EQ(dir.Read("rules.qvr").find("MainWindow"), std::string::npos);
    {
        CMainDlg second(rules, filter);
        second.Initialise();
        Settle(second);
        EXPECT_EQ(second.geometry(), placed);
        EXPECT_FALSE(second.isMaximized());
        second.showMaximized();
        QCoreApplication::processEvents();
        second.close();
    }
    CMainDlg third(rules, filter);
    third.Initialise();
    Settle(third);
    EXPECT_TRUE(third.isMaximized());
}

TEST(WindowGeometry, AStoredValueThatMakesNoSenseOpensTheWindowAtItsSmallestSize) {
    StateDirScope state;
    CCounterStore(CCounterStore::DefaultFolder(), "windows")
        .Write("MainWindow", "%%not a geometry");
    CRenameRules rules;
    CFilterSettings filter;
    CMainDlg window(rules, filter);
    window.Initialise();
    Settle(window);
    EXPECT_EQ(window.size(), window.minimumSize());
}

TEST(WindowDrop, AFolderOrAFileOpensItsFolderAsBrowseDoes) {
    TestDir dir;
    const std::string odd = dir.CreateDir("odd \xff name");
    dir.CreateFiles({"odd \xff name/b.txt", "odd \xff name/a.jpg", "other/c.txt"});
    struct Case {
        const char* what;
        QUrl url;
        std::string folder;
    };
    const Case cases[] = {
        {"a folder", FileUrl(dir / "other"), dir / "other"},
        {"a folder given with a trailing slash", FileUrl(dir / "other/"), dir / "other"},
        {"a folder whose name is not UTF-8", FileUrl(odd), odd},
        {"a file opens its folder", FileUrl(odd + "/b.txt"), odd},
    };
    for (const Case& c : cases) {
        WindowFixture f;
        const DragResult drag = Drag(f.Window(), {c.url});
        EXPECT_TRUE(drag.accepted) << c.what;
        // Copy, never move: the source keeps its file.
        EXPECT_EQ(drag.action, Qt::CopyAction) << c.what;
        EXPECT_TRUE(Drop(f.Window(), {c.url}).accepted) << c.what;
        EXPECT_EQ(f.Window().SourceFolder(), c.folder) << c.what;
        EXPECT_FALSE(f.SourceRows().empty()) << c.what;
        EXPECT_EQ(f.SourceRows().front().rfind(c.folder + "/", 0), 0u) << c.what;
    }
}

TEST(WindowDrop, ASettingsFileLoadsAsLoadSettingsDoesWhateverTheLetterCase) {
    TestDir files;
    files.CreateFiles({"x.txt", "y.txt"});
    TestDir settings;
    {
        WindowFixture author(files.Path());
        On<QCheckBox>(author.Window().RenamePage(), "addPrefixCheckBox")->setChecked(true);
        author.Window().SaveSettingsTo(settings / "rules.qvr");
        author.Window().SaveSettingsTo(settings / "LOUD.QVR");
    }
    for (const char* name : {"rules.qvr", "LOUD.QVR"}) {
        WindowFixture f;
        const QUrl url = FileUrl(settings / name);
        EXPECT_TRUE(Drag(f.Window(), {url}).accepted) << name;
        Drop(f.Window(), {url});
        EXPECT_EQ(f.Window().windowTitle(),
                  "Quorvan - " + QFileInfo(QString::fromUtf8(name)).completeBaseName())
            << name;
        EXPECT_EQ(f.Window().SourceFolder(), files.Path()) << name;
        EXPECT_EQ(f.SourceRows().size(), 2u) << name;
        EXPECT_TRUE(IsChecked(f.Window().RenamePage(), "addPrefixCheckBox")) << name;
    }
}

TEST(WindowDrop, WhatCannotBeOpenedIsRefusedAndChangesNothing) {
    TestDir dir;
    dir.CreateFiles({"a/1.txt", "b/2.txt"});
    // A settings file that is a FIFO would hang the window if it were read.
    ASSERT_EQ(mkfifo((dir / "a/pipe.qvr").c_str(), 0600), 0);
    struct Case {
        const char* what;
        QList<QUrl> urls;
        Qt::DropActions offered;
    };
    const Case cases[] = {
        {"two folders", {FileUrl(dir / "a"), FileUrl(dir / "b")}, Qt::CopyAction},
        {"a web address", {QUrl("https://example.com/a.qvr")}, Qt::CopyAction},
        {"a path that names nothing", {FileUrl(dir / "missing")}, Qt::CopyAction},
        {"a file on another host", {QUrl("file://elsewhere/tmp")}, Qt::CopyAction},
        {"a source that only moves", {FileUrl(dir / "a")}, Qt::MoveAction},
    };
    for (const Case& c : cases) {
        WindowFixture f(dir / "b");
        EXPECT_FALSE(Drag(f.Window(), c.urls, c.offered).accepted) << c.what;
        // Qt hands over a drop only after an accepted drag; a folder was.
        Drag(f.Window(), {FileUrl(dir / "a")});
        EXPECT_FALSE(Drop(f.Window(), c.urls, c.offered).accepted) << c.what;
        EXPECT_EQ(f.Window().SourceFolder(), dir / "b") << c.what;
        EXPECT_EQ(f.Window().windowTitle(), "Quorvan") << c.what;
    }

    WindowFixture f(dir / "b");
    EXPECT_TRUE(Drag(f.Window(), {FileUrl(dir / "a/pipe.qvr")}).accepted);
    EXPECT_TRUE(Drop(f.Window(), {FileUrl(dir / "a/pipe.qvr")}).accepted);
    EXPECT_EQ(f.Window().SourceFolder(), dir / "a");
    EXPECT_EQ(f.Window().windowTitle(), "Quorvan");
}

TEST(WindowDrop, ADropDuringARunIsRefused) {
    TestDir dir;
    WindowFixture f(dir, {"1.txt", "2.txt", "other/3.txt"});
    CMainDlg& w = f.Window();
    DragResult duringRun;
    DragResult dropDuringRun;
    QObject::connect(&w, &CMainDlg::ProgressDialogOpening, [&](CProcessingDlg*) {
        dropDuringRun = Drop(w, {FileUrl(dir / "other")});
        duringRun = Drag(w, {FileUrl(dir / "other")});
    });
    // A drag that began before the run.
    ASSERT_TRUE(Drag(w, {FileUrl(dir / "other")}).accepted);
    f.Click(CMainDlg::kSelectAll);
    f.Click(kStart);
    EXPECT_FALSE(duringRun.accepted);
    EXPECT_FALSE(dropDuringRun.accepted);
    EXPECT_EQ(w.SourceFolder(), dir.Path());
    w.Engine().WaitForWorker();
    EXPECT_TRUE(Drag(w, {FileUrl(dir / "other")}).accepted);
}

TEST(Palette, AboutLinksKeepTheirColoursWhereReadableAndTheirHueWhereNot) {
    const QColor blue(0, 0, 255);
    const QColor darkRed(75, 0, 0);
    for (const bool dark : {false, true}) {
        PaletteScope scope(dark ? DarkPalette() : QApplication::style()->standardPalette());
        CAboutDlg about;
        const QColor background = about.palette().color(QPalette::Window);
        const QColor given[3] = {blue, darkRed, blue};
        for (int i = 0; i < 3; ++i) {
            const QColor shown = about.Link(i)->palette().color(QPalette::WindowText);
            EXPECT_GE(ContrastRatio(shown, background), 4.5) << dark << " link " << i;
            if (dark) {
                EXPECT_NEAR(shown.hslHue(), given[i].hslHue(), 2) << "link " << i;
            } else {
                EXPECT_EQ(shown, given[i]) << "link " << i;
            }
        }
    }
}

TEST(Palette, TheManualTakesItsColoursFromThePalette) {
    InitResources();
    QFile file(":/manual/manual.css");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString css = QString::fromUtf8(file.readAll());
    static const QRegularExpression textColour("(?:^|[^-])color\\s*:\\s*(#[0-9a-f]{6})");
    for (const QPalette& palette : {QApplication::style()->standardPalette(), DarkPalette()}) {
        const QString shown = StyleSheetForPalette(css, palette);
        const QColor base = palette.color(QPalette::Base);
        int colours = 0;
        for (auto match = textColour.globalMatch(shown); match.hasNext(); ++colours) {
            const QColor colour(match.next().captured(1));
            EXPECT_GE(ContrastRatio(colour, base), 4.5) << colour.name().toStdString();
        }
        EXPECT_GE(colours, 8);
        EXPECT_TRUE(shown.contains("body { color: " + palette.color(QPalette::Text).name()));
        if (base.lightness() < 128) {
            EXPECT_FALSE(shown.contains("#ffffff"));
        }
    }
}

}  // namespace
}  // namespace quorvan::test
