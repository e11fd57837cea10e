#include "ui/filter_status.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

QString FilterLine(CMainDlg& w) {
    auto* label = w.findChild<CFilterStatusLabel*>("filterStatusLabel");
    EXPECT_NE(label, nullptr);
    label->RefreshNow();
    return label->isVisibleTo(&w) ? label->text() : QString();
}

// A filter left on after Refresh keeps its ticks, says what it lets through,
// and is named when it lets nothing through.
TEST(FilterStatus, AFilterLeftOnIsShownAndNamedWhenNothingPasses) {
    TestDir dir;
    WindowFixture f(dir, {"a.jpg", "b.jpg", "c.txt", "d.txt"});
    CMainDlg& w = f.Window();
    f.Click(CMainDlg::kSelectAll);
    EXPECT_EQ(FilterLine(w), "");

    FilterPageState page = w.FilterPage()->State();
    page.onExtensions = page.includeExtensions = true;
    for (ExtensionRow& row : page.includeList) {
        row.ticked = row.pattern == "*.jpg";
    }
    w.FilterPage()->SetState(page);
    EXPECT_EQ(FilterLine(w), "Filter on: 2 of 4 files pass");

    // Refresh reads the folder again: the tick of *.jpg stays.
    dir.CreateFiles({"e.png"});
    f.Click(kRefresh);
    f.Click(CMainDlg::kSelectAll);
    EXPECT_EQ(FilterLine(w), "Filter on: 2 of 5 files pass");

    // With no extension ticked nothing passes, and Start says why.
    page = w.FilterPage()->State();
    page.includeList.clear();
    w.FilterPage()->SetState(page);
    f.Click(kRefresh);
    f.Click(CMainDlg::kSelectAll);
    EXPECT_EQ(FilterLine(w), "Filter on: 0 of 5 files pass");
    f.Click(kStart);
    ASSERT_FALSE(f.dialogs.shown.empty());
    EXPECT_EQ(f.dialogs.shown.back().text,
              "There are no files to process.\n"
              "The filter on the Filter tab lets none of the 5 ticked files pass.");
}

}  // namespace
}  // namespace quorvan::test
