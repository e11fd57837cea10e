#include <sys/stat.h>
#include <condition_variable>
#include <mutex>

#include <QHeaderView>
#include <QProgressBar>
#include <QTreeView>

#include "history/run_history.h"
#include "history/undo_run.h"
#include "platform/file_system.h"
#include "support/journaled_run.h"
#include "ui/history_dlg.h"
#include "ui/undo_runner.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

std::string TempNamesIn(const std::string& folder) {
    std::string found;
    for (const auto& [name, content] : Inventory(folder)) {
        if (name.find(".quorvan-tmp-") != std::string::npos) {
            found += name + " ";
        }
    }
    return found;
}

Strings Column(const QAbstractItemModel& model, int column) {
    Strings texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts.push_back(model.index(row, column).data().toString().toStdString());
    }
    return texts;
}

// One row of the operations list: operation, file, detail.
Strings Row(const COperationsModel& model, int row) {
    const OperationText text = model.Text(row);
    return {FromQt(text.operation), FromQt(text.file), FromQt(text.detail)};
}

void WaitForDetails(CHistoryDlg& dialog) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.DetailsLoading(); }));
}

// A run of the history: renames `names` pairwise (from, to) and ends.
std::string RenameRun(const std::vector<std::pair<std::string, std::string>>& names,
                      const std::string& folder, bool end = true) {
    JournaledRun run(HistoryFolder(), RunMode::Rename, folder, static_cast<int64_t>(names.size()));
    for (const auto& [from, to] : names) {
        run.Rename(folder + "/" + from, folder + "/" + to);
    }
    if (end) {
        run.End();
    }
    return run.Journal();
}

// The messages shown whose text starts with `start`.
std::vector<CScriptedDialogs::Shown> ShownStarting(const CScriptedDialogs& dialogs,
                                                   const QString& start) {
    std::vector<CScriptedDialogs::Shown> found;
    for (const auto& shown : dialogs.shown) {
        if (shown.text.startsWith(start)) {
            found.push_back(shown);
        }
    }
    return found;
}

TEST(HistoryDialog, ListsRunsNewestFirstWithTheirStateAndOperations) {
    StateDirScope state;
    TestDir dir;
    dir.CreateFile("a.txt", "A");
    dir.CreateFile("b.txt", "B");
    dir.CreateFile("c.txt", "C");
    dir.CreateFile("src/d.txt", "D");
    dir.CreateDir("dest");
    RenameRun({{"a.txt", "a1.txt"}, {"missing.txt", "m.txt"}}, dir.Path());
    UndoRun(RenameRun({{"b.txt", "b1.txt"}}, dir.Path()));
    {
        JournaledRun copy(HistoryFolder(), RunMode::Copy, dir / "src", 1, dir / "dest");
        copy.Copy(dir / "src/d.txt", dir / "dest/d2.txt");
        copy.End();
    }
    RenameRun({{"c.txt", "c1.txt"}}, dir.Path(), false);

    CHistoryDlg dialog;
    const CRunListModel& runs = dialog.Runs();
    EXPECT_EQ(Column(runs, CRunListModel::kState),
              (Strings{"interrupted", "complete", "undone", "complete"}));
    EXPECT_EQ(Column(runs, CRunListModel::kMode), (Strings{"rename", "copy", "rename", "rename"}));
    EXPECT_EQ(Column(runs, CRunListModel::kFolder),
              (Strings{dir.Path(), dir / "src", dir.Path(), dir.Path()}));
    EXPECT_EQ(Column(runs, CRunListModel::kDone), (Strings{"1", "1", "1", "1"}));
    EXPECT_EQ(Column(runs, CRunListModel::kFailed), (Strings{"0", "0", "0", "1"}));
    EXPECT_EQ(Column(runs, CRunListModel::kDate)[0], ListRuns(HistoryFolder())[0].start.time);

    // Undo Run is offered for every run but the one undone already.
    const std::vector<bool> undoable = {true, true, false, true};
    for (int row = 0; row < 4; ++row) {
        dialog.SelectRun(row);
        WaitForDetails(dialog);
        EXPECT_EQ(dialog.UndoButton()->isEnabled(), undoable[static_cast<size_t>(row)]) << row;
    }
    // The oldest run: its rename, the file that failed and its end, paths
    // shown below the run's folder.
    const COperationsModel& operations = dialog.Operations();
    ASSERT_EQ(operations.rowCount(), 3);
    EXPECT_EQ(Row(operations, 0), (Strings{"Rename", "a.txt", "→ a1.txt"}));
    EXPECT_EQ(operations.Text(1).operation, "Failed");
    EXPECT_EQ(operations.Text(1).file, "missing.txt");
    EXPECT_EQ(Row(operations, 2).at(2), "complete: 1 done, 1 failed");
    EXPECT_TRUE(dialog.DetailsText().contains("2 files planned, 1 done, 1 failed. State: complete"))
        << dialog.DetailsText().toStdString();
    // The undone run lists what its undo did, chosen last while other runs
    // are still being read.
    dialog.SelectRun(2);
    dialog.SelectRun(0);
    dialog.SelectRun(2);
    WaitForDetails(dialog);
    EXPECT_EQ(Column(operations, COperationsModel::kOperation),
              (Strings{"Rename", "Run ended", "Undo started", "Undo: restored", "Undo ended"}));
    EXPECT_EQ(Row(operations, 3), (Strings{"Undo: restored", "b1.txt", "→ b.txt"}));
}

TEST(HistoryDialog, FolderNamesWithControlCharactersStayOnOneLine) {
    StateDirScope state;
    TestDir dir;
    const std::string folder = dir.CreateDir("two\nlines\x1b");
    {
        JournaledRun run(HistoryFolder(), RunMode::Rename, folder, 0);
        run.End();
    }
    CHistoryDlg dialog;
    EXPECT_EQ(Column(dialog.Runs(), CRunListModel::kFolder)[0], dir.Path() + "/two\\nlines\\x1b");
    EXPECT_TRUE(dialog.DetailsText().section('\n', 0, 0).endsWith("/two\\nlines\\x1b"))
        << dialog.DetailsText().toStdString();
}

TEST(HistoryDialog, UndoRunAsksThenRestoresAndTellsTheCounts) {
    StateDirScope state;
    CScriptedDialogs dialogs;
    TestDir dir;
    dir.CreateFiles({"1.txt", "2.txt", "3.txt", "x.txt"});
    dir.CreateFile("1.txt", "one");
    const auto before = dir.Inventory();
    {
        JournaledRun run(HistoryFolder(), RunMode::Rename, dir.Path(), 4);
        run.Cycle({dir / "1.txt", dir / "2.txt", dir / "3.txt"});
        run.Rename(dir / "x.txt", dir / "y.txt");
        run.End();
    }
    ASSERT_NE(dir.Inventory(), before);
    CHistoryDlg dialog;
    WaitForDetails(dialog);
    std::vector<QString> progress;
    QObject::connect(&dialog, &CHistoryDlg::ProgressDialogOpening, [&](CProcessingDlg* shown) {
        QObject::connect(shown, &CProcessingDlg::ProgressShown,
                         [&progress, shown] { progress.push_back(shown->ProcessedText()); });
    });

    // No: nothing happens.
    dialogs.answers = {QMessageBox::No};
    dialog.UndoButton()->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith("Undo the run of "))
        << dialogs.shown[0].text.toStdString();
    EXPECT_NE(dir.Inventory(), before);

    dialogs.answers = {QMessageBox::Yes, QMessageBox::Ok};
    dialog.UndoButton()->click();
    EXPECT_EQ(dir.Inventory(), before);
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[2].text, "Undo complete: 4 files restored, 0 skipped.");
    EXPECT_EQ(dialogs.shown[2].icon, QMessageBox::Information);
    EXPECT_EQ(dialogs.shown[2].details, "");
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), "5 of 5");
    // Listed again: undone, nothing left to undo, the undo's steps shown.
    EXPECT_TRUE(dialog.UndoneAny());
    EXPECT_EQ(Column(dialog.Runs(), CRunListModel::kState)[0], "undone");
    EXPECT_FALSE(dialog.UndoButton()->isEnabled());
    WaitForDetails(dialog);
    EXPECT_EQ(dialog.Operations().Text(dialog.Operations().rowCount() - 1).operation, "Undo ended");
}

TEST(HistoryDialog, CancelStopsTheUndoBetweenSteps) {
    StateDirScope state;
    CScriptedDialogs dialogs;
    TestDir dir;
    std::vector<std::pair<std::string, std::string>> names;
    for (int i = 0; i < 300; ++i) {
        const std::string name = std::to_string(i) + ".txt";
        dir.CreateFile(name, name);
        names.emplace_back(name, "new-" + name);
    }
    RenameRun(names, dir.Path());
    CHistoryDlg dialog;
    // The undo waits after its first step until Cancel was pressed.
    std::mutex mutex;
    std::condition_variable pressed;
    bool cancelled = false;
    SetUndoStepHook([&] {
        std::unique_lock lock(mutex);
        pressed.wait(lock, [&] { return cancelled; });
    });
    QObject::connect(&dialog, &CHistoryDlg::ProgressDialogOpening, [&](CProcessingDlg* shown) {
        QObject::connect(shown, &CProcessingDlg::ProgressShown, [&, shown](int passes) {
            if (passes >= 1 && !cancelled) {
                shown->CancelButton()->click();
                std::lock_guard lock(mutex);
                cancelled = true;
                pressed.notify_all();
            }
        });
    });
    dialogs.answers = {QMessageBox::Yes, QMessageBox::Ok};
    dialog.OnUndoRun();
    SetUndoStepHook({});
    ASSERT_TRUE(cancelled);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(dialogs.shown[1].text.startsWith("Undo cancelled: "))
        << dialogs.shown[1].text.toStdString();
    size_t back = 0;
    for (const auto& [name, content] : dir.Inventory()) {
        back += name == content ? 1 : 0;
    }
    EXPECT_GT(back, 0u);
    EXPECT_LT(back, names.size());
    EXPECT_EQ(Column(dialog.Runs(), CRunListModel::kState)[0], "partly undone");
    EXPECT_TRUE(dialog.UndoButton()->isEnabled());
}

TEST(HistoryDialog, AHundredThousandOperationsAreReadAwayFromTheWindow) {
    StateDirScope state;
    constexpr int kCount = 100000;
    {
        CJournalWriter writer;
        StartRecord start;
        start.folder = "/photos";
        start.files = kCount;
        ASSERT_EQ(OpenRunJournal(writer, start, HistoryFolder()), 0);
        FileStamp stamp;
        for (int i = 0; i < kCount; ++i) {
            const std::string n = std::to_string(i);
            ASSERT_EQ(writer.AppendRename("/photos/" + n, "/photos/new-" + n, stamp), 0);
            ASSERT_EQ(writer.Append(FileRecord{"/photos/" + n, "/photos/new-" + n, true, ""}), 0);
        }
        ASSERT_EQ(writer.Append(MakeEndRecord(RunEnd::Complete, kCount, 0)), 0);
        ASSERT_EQ(writer.Close(), 0);
    }
    CHistoryDlg dialog;
    // The dialog is up before the journal is read.
    EXPECT_TRUE(dialog.DetailsLoading());
    EXPECT_EQ(dialog.Operations().rowCount(), 0);
    WaitForDetails(dialog);
    ASSERT_EQ(dialog.Operations().rowCount(), kCount + 1);
    EXPECT_TRUE(dialog.OperationView()->uniformRowHeights());
    EXPECT_EQ(Row(dialog.Operations(), kCount - 1), (Strings{"Rename", "99999", "→ new-99999"}));
}

TEST(HistoryDialog, DamagedLinesAndAKilledWritersTailAreNoRows) {
    StateDirScope state;
    TestDir dir;
    dir.CreateFiles({"a", "b"});
    const std::string journal = RenameRun({{"a", "a1"}, {"b", "b1"}}, dir.Path(), false);
    {
        FILE* file = fopen(journal.c_str(), "ab");
        ASSERT_NE(file, nullptr);
        const std::string tail =
            std::string("not a record\n{\"t\":\"rename\",\"from\":\"/x") + std::string(100, '\0');
        fwrite(tail.data(), 1, tail.size(), file);
        fclose(file);
    }
    CHistoryDlg dialog;
    WaitForDetails(dialog);
    EXPECT_EQ(Column(dialog.Runs(), CRunListModel::kState)[0], "interrupted");
    EXPECT_EQ(Column(dialog.Operations(), COperationsModel::kFile), (Strings{"a", "b"}));
}

TEST(HistoryDialog, AJournalThatIsNoFileIsRefusedWithoutWaiting) {
    TestDir dir;
    const std::string fifo = dir / "run.jsonl";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto status =
        RunInChild([&] { return LoadJournalRows(fifo).error == kErrorNotRegularFile ? 0 : 1; });
    EXPECT_EQ(status, 0);
}

TEST(HistoryDialog, EmptyHistorySaysSoAndOffersNoUndo) {
    StateDirScope state;
    CHistoryDlg dialog;
    EXPECT_EQ(dialog.Runs().rowCount(), 0);
    EXPECT_FALSE(dialog.UndoButton()->isEnabled());
    EXPECT_EQ(dialog.DetailsText(), "No run has been recorded yet.");
}

TEST(MainWindowHistory, ButtonOpensTheDialogAndTheSourceListFollowsAnUndo) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt", "b.txt"});
    CMainDlg& w = f.Window();
    RenameRun({{"a.txt", "c.txt"}}, dir.Path());
    f.Click(kRefresh);
    EXPECT_EQ(f.SourceRows(), (Strings{dir / "b.txt", dir / "c.txt"}));

    ShowAndWait(w);
    int opened = 0;
    QObject::connect(&w, &CMainDlg::HistoryDialogOpening, [&](CHistoryDlg* history) {
        ++opened;
        QMetaObject::invokeMethod(
            history,
            [&, history] {
                WaitForDetails(*history);
                f.dialogs.answers = {QMessageBox::Yes, QMessageBox::Ok};
                history->UndoButton()->click();
                history->accept();
            },
            Qt::QueuedConnection);
    });
    QTest::keyClick(&w, Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened == 1; }));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return f.SourceRows() == Strings{dir / "a.txt", dir / "b.txt"};
    }));
}

// Runs a renumbering (a plain rename, then a cycle of three names) in a
// child killed in the middle of the cycle, with one file at a temporary name.
void InterruptedRenumbering(const TestDir& dir) {
    const auto status = RunInChild([&] {
        JournaledRun run(HistoryFolder(), RunMode::Rename, dir.Path(), 4);
        run.KillAfter(8);
        run.Rename(dir / "x.txt", dir / "y.txt");
        run.Cycle({dir / "1.txt", dir / "2.txt", dir / "3.txt"});
        return 1;
    });
    ASSERT_EQ(status, 0);
}

TEST(InterruptedRuns, QuestionShowsFolderNamesAsTheyAre) {
    struct Case {
        std::string folder;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"/tmp/%3 and %1 100%", "/tmp/%3 and %1 100%"},
        {"/tmp/two\nlines", "/tmp/two\\nlines"},
    };
    for (const Case& c : cases) {
        RunSummary run;
        run.start.time = "2024-06-12 23:07:30";
        run.start.folder = c.folder;
        run.start.files = 20000;
        run.done = 7;
        EXPECT_EQ(InterruptedRunQuestion(run).toStdString(),
                  "The rename run of 2024-06-12 23:07:30 in " + c.shown +
                      " was interrupted after 7 of 20000 files. Undo what it did?");
    }
}

class InterruptedRunAnswer : public ::testing::TestWithParam<bool> {};

TEST_P(InterruptedRunAnswer, IsAskedOnceAndEitherAnswerEndsIt) {
    const bool undo = GetParam();
    TestDir dir;
    for (const char* name : {"1.txt", "2.txt", "3.txt", "x.txt"}) {
        dir.CreateFile(name, name);
    }
    const auto before = dir.Inventory();
    RunSummary run;
    WindowFixture f(dir.Path(), [&](WindowFixture& opening) {
        InterruptedRenumbering(dir);
        ASSERT_NE(TempNamesIn(dir.Path()), "");
        run = ListRuns(HistoryFolder()).at(0);
        ASSERT_EQ(run.state, RunState::Interrupted);
        opening.dialogs.answers = {undo ? QMessageBox::Yes : QMessageBox::No, QMessageBox::Ok};
    });
    const CScriptedDialogs& dialogs = f.dialogs;
    const auto questions = ShownStarting(dialogs, "The rename run of ");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text.toStdString(),
              "The rename run of " + run.start.time + " in " + dir.Path() +
                  " was interrupted after 2 of 4 files. Undo what it did?");
    EXPECT_EQ(questions[0].icon, QMessageBox::Question);
    EXPECT_EQ(TempNamesIn(dir.Path()), "");
    if (undo) {
        EXPECT_EQ(dir.Inventory(), before);
        EXPECT_EQ(ShownStarting(dialogs, "Undo complete: 3 files restored, 0 skipped.").size(), 1u);
        EXPECT_EQ(ListRuns(HistoryFolder())[0].state, RunState::Undone);
    } else {
        // The file done stays renamed; the cycle cut in the middle is put
        // back whole, as no file can have both its names.
        EXPECT_EQ(
            dir.Inventory(),
            (std::map<std::string, std::string>{
                {"1.txt", "1.txt"}, {"2.txt", "2.txt"}, {"3.txt", "3.txt"}, {"y.txt", "x.txt"}}));
        EXPECT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(ListRuns(HistoryFolder())[0].state, RunState::Kept);
    }
    // The list shows the folder as the answer left it.
    Strings expected;
    for (const auto& [name, content] : dir.Inventory()) {
        expected.push_back(dir / name);
    }
    EXPECT_EQ(f.SourceRows(), expected);

    // Not asked again.
    const size_t shown = dialogs.shown.size();
    CRenameRules rules;
    CFilterSettings filter;
    CMainDlg again(rules, filter);
    again.Initialise();
    EXPECT_EQ(dialogs.shown.size(), shown);
}

INSTANTIATE_TEST_SUITE_P(Answers, InterruptedRunAnswer, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& answer) {
                             return std::string(answer.param ? "Yes" : "No");
                         });

TEST(InterruptedRuns, EachIsAskedAboutNewestFirst) {
    TestDir dir;
    dir.CreateFiles({"old/a", "new/b"});
    WindowFixture f("", [&](WindowFixture& opening) {
        RenameRun({{"a", "a1"}}, dir / "old", false);
        RenameRun({{"b", "b1"}}, dir / "new", false);
        RenameRun({{"a1", "a2"}}, dir / "old");
        opening.dialogs.answers = {QMessageBox::No, QMessageBox::Yes, QMessageBox::Ok};
    });
    const CScriptedDialogs& dialogs = f.dialogs;
    const auto questions = ShownStarting(dialogs, "The rename run of ");
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_TRUE(questions[0].text.contains(ToQt(dir / "new")));
    EXPECT_TRUE(questions[1].text.contains(ToQt(dir / "old")));
    EXPECT_EQ(dir.List("new"), (Strings{"b1"}));
    // The older run's file was renamed again since: its undo says why not.
    EXPECT_EQ(dir.List("old"), (Strings{"a2"}));
    const auto ends = ShownStarting(dialogs, "Undo finished: 0 files restored, 1 skipped.");
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends[0].details.contains("moved away")) << ends[0].details.toStdString();
    std::vector<RunState> states;
    for (const RunSummary& run : ListRuns(HistoryFolder())) {
        states.push_back(run.state);
    }
    EXPECT_EQ(states,
              (std::vector<RunState>{RunState::Complete, RunState::Kept, RunState::PartlyUndone}));
}

}  // namespace
}  // namespace quorvan::test
