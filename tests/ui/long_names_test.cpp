#include <QScrollBar>

#include "ui/path_list_view.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

// The width `view` gives row `row`, as far as the horizontal scroll bar
// reaches, and what its path needs to be seen whole.
struct RowRoom {
    int given;
    int reachable;
    int needed;
};

RowRoom Room(QListView& view, int row) {
    const QModelIndex index = view.model()->index(row, 0);
    return {view.visualRect(index).width(),
            view.viewport()->width() + view.horizontalScrollBar()->maximum(),
            view.fontMetrics().horizontalAdvance(index.data().toString())};
}

// Rows longer than the list show whole, with a horizontal scroll bar, in both
// lists: measured from the longest names, and widened for a row of wide
// letters once it is seen.
TEST(LongNames, BothListsShowEveryPathWholeWithAScrollBar) {
    TestDir dir;
    dir.CreateFile("a.txt");
    // More long names of narrow letters than are measured up front, and a
    // shorter one of wide letters that is still the widest.
    for (int i = 0; i < 40; ++i) {
        dir.CreateFile("b" + std::to_string(100 + i) + std::string(150, 'i') + ".txt");
    }
    const std::string wide = "c" + std::string(120, 'W') + ".txt";
    dir.CreateFile(wide);
    dir.CreateFile("d.txt");
    WindowFixture f(dir.Path());
    CMainDlg& w = f.Window();
    ShowAndWait(w);
    UsePrefix(w, "new_");
    f.Click(CMainDlg::kSelectAll);
    f.Click(kPreview);

    QList<CPathListView*> views = w.findChildren<CPathListView*>();
    ASSERT_EQ(views.size(), 2);
    for (CPathListView* view : views) {
        SCOPED_TRACE(view == w.SourceView() ? "source list" : "preview list");
        ASSERT_EQ(view->model()->rowCount(), 43);
        // The list is shown and laid out as the user sees it.
        QApplication::processEvents();
        for (int row : {1, 41}) {
            // The row of wide letters is measured once it is seen.
            view->scrollTo(view->model()->index(row, 0));
            view->viewport()->repaint();
            QApplication::processEvents();
            const RowRoom room = Room(*view, row);
            EXPECT_GT(room.needed, view->viewport()->width()) << row;
            EXPECT_GE(room.given, room.needed) << row;
            EXPECT_GE(room.reachable, room.needed) << row;
        }
        EXPECT_GT(Room(*view, 41).needed, Room(*view, 1).needed);
        // Short rows are as wide: a click anywhere on the row hits it.
        EXPECT_EQ(Room(*view, 0).given, Room(*view, 41).given);
    }
    EXPECT_NE(w.SourceModel().Path(41).find(wide), std::string::npos);
}

}  // namespace
}  // namespace quorvan::test
