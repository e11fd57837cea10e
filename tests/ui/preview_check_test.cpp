#include <QIcon>
#include <QLayout>
#include <QPalette>
#include <algorithm>

#include "ui/count_label.h"
#include "ui/palette_colours.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

// What a user sees of one preview row.
struct SeenRow {
    std::string name;
    bool marked = false;
    QString tip;
    QString spoken;  // what a screen reader adds
};

std::vector<SeenRow> Seen(CPreviewModel& model) {
    std::vector<SeenRow> rows;
    for (int row = 0; row < model.Count(); ++row) {
        const QModelIndex at = model.index(row);
        const bool icon = !model.data(at, Qt::DecorationRole).value<QIcon>().isNull();
        const bool coloured = model.data(at, Qt::ForegroundRole).isValid();
        EXPECT_EQ(icon, coloured) << model.Name(row);
        rows.push_back({model.Name(row), icon, model.data(at, Qt::ToolTipRole).toString(),
                        model.data(at, Qt::AccessibleDescriptionRole).toString()});
    }
    return rows;
}

void UseRules(CMainDlg& w, const char* prefix, const char* search) {
    QWidget* page = w.RenamePage();
    if (prefix != nullptr) {
        UsePrefix(w, prefix);
    }
    Click(page, "replaceStringCheckBox");
    SetText(page, "searchTextLineEdit", search);
    SetText(page, "replaceTextLineEdit", "");
}

// "aq.dat" and "a.dat" both become "n_a.dat": the later one in plan order
// cannot be renamed. Start checks the plan as it is then and shows it in the
// preview, so its question's "see the preview list" holds without a Preview.
TEST(PreviewCheck, ACollisionIsMarkedAndStartAsksBeforeRenamingTheOthers) {
    TestDir dir;
    dir.CreateFile("a.dat", "a");
    dir.CreateFile("aq.dat", "aq");
    dir.CreateFile("b.dat", "b");
    WindowFixture f(dir.Path());
    CMainDlg& w = f.Window();
    f.Click(CMainDlg::kSelectAll);
    UseRules(w, "n_", "q");

    // No: nothing is renamed and nothing counts as a run.
    f.dialogs.answers = {QMessageBox::No};
    const int32_t timesUsed = w.TimesUsed();
    f.Click(kStart);
    EXPECT_EQ(w.TimesUsed(), timesUsed);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].caption, "Issue...");
    EXPECT_EQ(f.dialogs.shown[0].text,
              "1 of 3 files cannot be renamed (see the preview list). Rename the other 2?");
    EXPECT_EQ(dir.List(), (Strings{"a.dat", "aq.dat", "b.dat"}));

    const std::vector<SeenRow> rows = Seen(w.PreviewModel());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(w.PreviewLabel(), "(3 files in preview, 1 cannot be renamed)");
    int marked = 0;
    for (const SeenRow& row : rows) {
        if (row.marked) {
            ++marked;
            EXPECT_EQ(row.name, dir / "n_a.dat");
            EXPECT_EQ(row.tip, ToQt(dir / "n_a.dat") +
                                   "\nAnother file gets this name: " + ToQt(dir / "a.dat"));
            EXPECT_EQ(row.spoken, "Another file gets this name: " + ToQt(dir / "a.dat"));
        } else {
            EXPECT_EQ(row.tip.toStdString(), row.name);
        }
    }
    EXPECT_EQ(marked, 1);

    // Yes: the others are renamed; the one left out keeps its name and data.
    f.dialogs.answers = {QMessageBox::Yes};
    f.Click(kStart);
    w.Engine().WaitForWorker();
    EXPECT_EQ(dir.List(), (Strings{"aq.dat", "n_a.dat", "n_b.dat"}));
    EXPECT_EQ(dir.Read("n_a.dat"), "a");
    EXPECT_EQ(dir.Read("aq.dat"), "aq");
}

// Rows that cannot be renamed, and an unchanged one that can stay: every
// failing entry is listed, one without any new name under its current name.
TEST(PreviewCheck, EveryFailingEntryIsListedWithItsReason) {
    TestDir dir;
    WindowFixture f(dir, {"a.dat", "aq.dat", "q", "qb.dat"});
    CMainDlg& w = f.Window();
    UseRules(w, nullptr, "q");
    f.Click(CMainDlg::kSelectAll);
    f.Click(kPreview);

    struct Expected {
        std::string name;
        bool marked;
        std::string reason;
    };
    const Expected expected[] = {
        {dir / "a.dat", false, ""},  // unchanged
        {dir / "a.dat", true,
         "A file with this name already exists and keeps it: " + dir / "a.dat"},
        {dir / "b.dat", false, ""},
        {dir / "q", true, "The rules give no valid new name"},
    };
    std::vector<SeenRow> rows = Seen(w.PreviewModel());
    // Equal names come in either order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SeenRow& a, const SeenRow& b) { return a.marked < b.marked; });
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SeenRow& a, const SeenRow& b) { return a.name < b.name; });
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].marked, expected[i].marked);
        if (expected[i].marked) {
            EXPECT_TRUE(rows[i].tip.endsWith("\n" + ToQt(expected[i].reason)))
                << rows[i].tip.toStdString();
        }
    }
    EXPECT_EQ(w.PreviewLabel(), "(4 files in preview, 2 cannot be renamed)");
}

// At the window's smallest width a long count takes two lines; the window
// keeps its width and the text stays whole.
TEST(PreviewCheck, ALongCountBreaksOntoASecondLineInsteadOfWideningTheWindow) {
    TestDir dir;
    WindowFixture f(dir.Path());
    CMainDlg& w = f.Window();
    ShowAndWait(w);
    w.resize(w.minimumSize());
    CCountLabel* count = w.findChild<CCountLabel*>();
    ASSERT_NE(count, nullptr);
    const int width = w.width();
    // Neither the lists nor the button column move when the count grows.
    auto listTop = [&w] { return w.SourceView()->mapTo(&w, QPoint()).y(); };
    auto startTop = [&w] { return w.Button(kStart)->mapTo(&w, QPoint()).y(); };
    const int listAt = listTop();
    const int startAt = startTop();
    for (const char* text :
         {"(12 files in preview)", "(1000000 files in preview, 1000000 cannot be renamed)"}) {
        SCOPED_TRACE(text);
        count->SetCount(text);
        QApplication::processEvents();
        EXPECT_LE(w.layout()->totalMinimumSize().width(), width);
        EXPECT_EQ(w.width(), width);
        EXPECT_EQ(listTop(), listAt);
        EXPECT_EQ(startTop(), startAt);
        // The count ends on the list's top, like its caption.
        EXPECT_LE(count->mapTo(&w, QPoint(0, count->height())).y(), listAt);
        EXPECT_EQ(w.PreviewLabel(), text);
        EXPECT_EQ(QString(count->text()).replace(",\n", ", "), text);
        EXPECT_LE(
            count->fontMetrics().boundingRect(count->contentsRect(), 0, count->text()).width(),
            count->contentsRect().width());
    }
    EXPECT_TRUE(count->text().contains('\n'));
}

// The mark's colour comes from the palette and reads on light and dark ones.
TEST(PreviewCheck, TheMarkReadsOnLightAndDarkPalettes) {
    TestDir dir;
    WindowFixture f(dir, {"a.dat", "aq.dat"});
    CMainDlg& w = f.Window();
    UseRules(w, "n_", "q");
    f.Click(CMainDlg::kSelectAll);
    f.Click(kPreview);
    ASSERT_EQ(w.PreviewModel().FailingCount(), 1u);
    const int row = w.PreviewModel().IsFailing(0) ? 0 : 1;

    for (const QPalette& palette : {QApplication::palette(), DarkPalette()}) {
        PaletteScope scope(palette);
        const QColor colour =
            w.PreviewModel().data(w.PreviewModel().index(row), Qt::ForegroundRole).value<QColor>();
        EXPECT_GE(ContrastRatio(colour, palette.color(QPalette::Base)), 4.5)
            << colour.name().toStdString();
        EXPECT_NE(colour, palette.color(QPalette::Text));
    }
}

}  // namespace
}  // namespace quorvan::test
