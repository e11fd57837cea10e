#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLayout>
#include <QProgressBar>
#include <QTextBrowser>
#include <QTimer>
#include <cerrno>

#include "common/product.h"
#include "platform/file_system.h"
#include "platform/folder_lock.h"
#include "run/usage_counters.h"
#include "support/worker_gate.h"
#include "ui/about_dlg.h"
#include "ui/help_window.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

struct ProgressSeen {
    std::vector<QString> texts;
    std::vector<std::pair<int, int>> bar;  // value, maximum
};

// Records what each progress dialog of the window shows.
void Watch(CMainDlg& window, ProgressSeen& seen) {
    QObject::connect(&window, &CMainDlg::ProgressDialogOpening, [&seen](CProcessingDlg* dialog) {
        QObject::connect(dialog, &CProcessingDlg::ProgressShown, [&seen, dialog] {
            seen.texts.push_back(dialog->ProcessedText());
            seen.bar.emplace_back(dialog->Bar()->value(), dialog->Bar()->maximum());
        });
    });
}

int32_t StoredCounter(const char* name) {
    return CUsageRegistry(kAppGuid).ReadCounter(name);
}

void UseCopyTo(CMainDlg& w, const std::string& destination) {
    On<QRadioButton>(w.ExtendedPage(), "copyThenRenameRadioButton")->click();
    SetText(w.ExtendedPage(), "destinationFolderLineEdit", destination);
}

TEST(WindowRun, ShowsEveryCountUpToAFullBarThenCompleteAndCountsTheRun) {
    TestDir dir;
    WindowFixture f(dir, {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"});
    CMainDlg& w = f.Window();
    ProgressSeen seen;
    Watch(w, seen);
    UsePrefix(w, "new_");
    f.Click(CMainDlg::kSelectAll);
    f.Click(kStart);

    ASSERT_FALSE(seen.texts.empty());
    EXPECT_EQ(seen.texts.front(), "0 of 5");
    EXPECT_EQ(seen.texts.back(), "5 of 5");
    EXPECT_EQ(seen.bar.back().first, seen.bar.back().second);
    EXPECT_EQ(f.dialogs.Texts(), Strings{"Rename process complete."});
    EXPECT_EQ(f.dialogs.shown.at(0).caption, "Info...");
    EXPECT_EQ(dir.List(),
              (Strings{"new_1.txt", "new_2.txt", "new_3.txt", "new_4.txt", "new_5.txt"}));
    // The list shows the files as they are now.
    EXPECT_EQ(f.SourceRows().front(), dir / "new_1.txt");

    w.Engine().WaitForWorker();
    EXPECT_EQ(StoredCounter(kValueTimesUsed), 1);
    EXPECT_EQ(StoredCounter(kValueFilesProcessed), 5);

    QString counters[3];
    QObject::connect(&w, &CMainDlg::InfoDialogOpening, [&counters](CProductInfoDlg* about) {
        for (int i = 0; i < 3; ++i) {
            counters[i] = about->CounterText(i);
        }
        QMetaObject::invokeMethod(about, &QDialog::accept, Qt::QueuedConnection);
    });
    f.Click(kAbout);
    EXPECT_EQ(counters[0], "1");
    EXPECT_EQ(counters[1], "1");
    EXPECT_EQ(counters[2], "5");
}

// A state folder that cannot take the journal: the window asks once, and the
// answer decides; Yes renames and the end says the run is not in the history.
TEST(WindowRun, AnUnwritableStateFolderAsksOnceBeforeRenaming) {
    for (auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        TestDir dir;
        WindowFixture f(dir, {"1.txt"});
        const std::string blocked = f.StateDir().CreateFile("a-file", "x");
        setenv("QUORVAN_STATE_DIR", blocked.c_str(), 1);
        CMainDlg& w = f.Window();
        UsePrefix(w, "new_");
        f.Click(CMainDlg::kSelectAll);
        f.dialogs.answers = {answer};
        f.Click(kStart);
        w.Engine().WaitForWorker();
        setenv("QUORVAN_STATE_DIR", f.StateDir().Path().c_str(), 1);

        const bool yes = answer == QMessageBox::Yes;
        ASSERT_EQ(f.dialogs.shown.size(), yes ? 2u : 1u);
        EXPECT_EQ(f.dialogs.shown[0].icon, QMessageBox::Question);
        EXPECT_EQ(f.dialogs.shown[0].text.toStdString(),
                  "This run cannot be recorded for undo (" + blocked +
                      "/history: Not a directory). Rename anyway?");
        EXPECT_EQ(dir.List(), Strings{yes ? "new_1.txt" : "1.txt"});
        if (yes) {
            EXPECT_EQ(f.dialogs.shown[1].text,
                      "Rename process complete.\n"
                      "This run is not in the history and cannot be undone from there.");
        }
    }
}

// Counts beyond 65535 fill the bar exactly; Escape and the close box cancel
// like the button, and reports after the cancel change nothing on screen.
TEST(WindowRun, TheProgressDialogCountsPastSixtyFiveThousandAndEscapeOrCloseCancel) {
    for (bool useEscape : {true, false}) {
        std::atomic<uint8_t> cancel{0};
        CProcessingDlg dialog(100000, cancel);
        CRunReportBridge bridge;
        dialog.Listen(bridge);
        bridge.ReportProgress(70000);
        EXPECT_EQ(dialog.Bar()->value(), 70000);
        EXPECT_EQ(dialog.ProcessedText(), "70000 of 100000");
        bridge.ReportProgress(100000);
        EXPECT_EQ(dialog.Bar()->value(), dialog.Bar()->maximum());
        dialog.show();
        if (useEscape) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else {
            dialog.close();
        }
        EXPECT_EQ(cancel.load(), 1);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        bridge.ReportProgress(7);
        EXPECT_EQ(dialog.ProcessedText(), "100000 of 100000");
    }
}

TEST(WindowRun, CancelClosesAtOnceWithoutWaitingForAFileThatTakesLong) {
    TestDir dir;
    // The second file takes until the test lets it go.
    WorkerGate gate(2);
    TestDir out;
    WindowFixture f(dir, {"a.txt", "b.txt", "c.txt", "d.txt"});
    CMainDlg& w = f.Window();
    UseCopyTo(w, out.Path());
    f.Click(CMainDlg::kSelectAll);
    bool cancelled = false;
    QObject::connect(&w, &CMainDlg::ProgressDialogOpening, [&cancelled](CProcessingDlg* dialog) {
        QObject::connect(dialog, &CProcessingDlg::ProgressShown, [&cancelled, dialog](int passes) {
            if (passes >= 1 && !cancelled) {
                cancelled = true;
                dialog->CancelButton()->click();
            }
        });
    });
    QElapsedTimer clock;
    clock.start();
    f.Click(kStart);
    const qint64 startTook = clock.elapsed();

    ASSERT_TRUE(cancelled);
    ASSERT_FALSE(f.dialogs.shown.empty());
    EXPECT_TRUE(f.dialogs.shown[0].text.startsWith("Rename process aborted."));
    // The worker was still held: the wait dialog gave it about a second, no more.
    EXPECT_GE(startTook, 900);
    EXPECT_LT(startTook, 5000);
    EXPECT_TRUE(w.Engine().Busy());

    gate.Open();
    w.Engine().WaitForWorker();
    // The copy it was let go to do saw the cancel and left nothing.
    EXPECT_EQ(out.List(), Strings{"a.txt"});
    EXPECT_EQ(StoredCounter(kValueTimesUsed), 1);
    EXPECT_EQ(StoredCounter(kValueFilesProcessed), 2);
}

// Its second of waiting for a worker still busy is timed by the cancel test.
TEST(WindowRun, TheWaitDialogClosesAsSoonAsTheWorkerEnds) {
    CCompletionEvent done;
    done.Set();
    QElapsedTimer clock;
    clock.start();
    CWaitDlg(done).exec();
    EXPECT_LT(clock.elapsed(), 500);

    CCompletionEvent soon;
    QTimer::singleShot(100, [&soon] { soon.Set(); });
    clock.restart();
    CWaitDlg(soon).exec();
    EXPECT_LT(clock.elapsed(), 800);
}

TEST(WindowRun, NothingTickedMeansNoRunAndNoCount) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt"});
    f.Click(kStart);
    EXPECT_EQ(f.dialogs.Texts(), Strings{"There are no files to process."});
    EXPECT_EQ(f.dialogs.shown.at(0).caption, "Info...");
    EXPECT_EQ(StoredCounter(kValueTimesUsed), 0);
    EXPECT_EQ(f.Window().TimesUsed(), 0);
}

TEST(WindowRun, AMissingDestinationIsCreatedOnlyWhenTheUserSaysYes) {
    TestDir dir;
    TestDir out;
    WindowFixture f(dir, {"a.txt", "b.txt"});
    UseCopyTo(f.Window(), out / "one/two/three");
    f.Click(CMainDlg::kSelectAll);

    f.dialogs.answers = {QMessageBox::No};
    f.Click(kStart);
    EXPECT_EQ(f.dialogs.Texts(), Strings{"The destination folder for the rename does not exist.\n"
                                         "Do you wish to create this folder?"});
    EXPECT_EQ(f.dialogs.shown.at(0).caption, "Create folder?");
    EXPECT_TRUE(out.List().empty());
    EXPECT_EQ(StoredCounter(kValueTimesUsed), 0);

    f.dialogs.answers = {QMessageBox::Yes};
    f.Click(CMainDlg::kSelectAll);
    f.Click(kStart);
    EXPECT_EQ(out.List("one/two/three"), (Strings{"a.txt", "b.txt"}));
    EXPECT_EQ(dir.List(), (Strings{"a.txt", "b.txt"}));
    EXPECT_EQ(f.dialogs.shown.back().text, "Rename process complete.");
}

// With the log off, the end message is the only place that names them.
TEST(WindowRun, TheEndMessageDetailsNameEveryFailedFileAndWhy) {
    TestDir dir;
    constexpr int kFailing = 1500;
    for (int i = 0; i < kFailing; ++i) {
        dir.CreateFile("f" + std::to_string(i) + ".txt");
        dir.CreateFile("new_f" + std::to_string(i) + ".txt");
    }
    dir.CreateFile("ok.txt");
    WindowFixture f(dir.Path());
    UsePrefix(f.Window(), "new_");
    const Strings rows = f.SourceRows();
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].rfind(dir / "f", 0) == 0 || rows[row] == dir / "ok.txt") {
            f.ClickRow(static_cast<int>(row));
        }
    }
    f.Click(kStart);
    ASSERT_FALSE(f.dialogs.shown.empty());
    EXPECT_EQ(f.dialogs.shown.back().text, "Rename process complete.\n1500 files failed.");
    const QString details = f.dialogs.shown.back().details;
    const QStringList lines = details.split('\n');
    ASSERT_EQ(lines.size(), kFailing) << details.left(500).toStdString();
    for (int i : {0, 777, kFailing - 1}) {
        const QString name = ToQt(dir / ("f" + std::to_string(i) + ".txt"));
        EXPECT_EQ(lines.filter(name + " ").size(), 1) << name.toStdString();
    }
    EXPECT_TRUE(lines.front().contains(ToQt(ErrorText(EEXIST)))) << lines.front().toStdString();
    EXPECT_FALSE(details.contains("ok.txt"));
    EXPECT_TRUE(dir.Exists("new_ok.txt"));

    // The next run that fails nothing has no details.
    f.ClickRow(0);
    f.dialogs.shown.clear();
    std::filesystem::remove(dir / "new_f0.txt");
    f.Click(kStart);
    ASSERT_FALSE(f.dialogs.shown.empty());
    EXPECT_EQ(f.dialogs.shown.back().details, "");
}

// The standard box shows them under "Show Details...".
TEST(MessageBox, DetailsGoIntoTheShowDetailsArea) {
    QString lines;
    for (int i = 0; i < 5000; ++i) {
        lines += QString("failed to rename /d/%1: File exists\n").arg(i);
    }
    lines.chop(1);
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->detailedText();
        box->accept();
    });
    Dialogs().Message(nullptr, QMessageBox::Information, "Info...",
                      "Rename process complete.\n5000 files failed.", QMessageBox::Ok, lines);
    EXPECT_EQ(shown, lines);
}

TEST(StartupScreen, ShowsBeforeTheWindowWithThisStartCounted) {
    StateDirScope state;
    CRenameRules rules;
    CFilterSettings filter;
    CMainDlg window(rules, filter);
    window.SetShowSplash(true);
    QString started;
    bool windowVisible = true;
    bool okEnabled = false;
    QObject::connect(&window, &CMainDlg::InfoDialogOpening, [&](CProductInfoDlg* splash) {
        started = splash->CounterText(0);
        windowVisible = window.isVisible();
        okEnabled = splash->OkButton()->isEnabled();
        EXPECT_TRUE(splash->windowTitle().isEmpty());
        // No tooltips on the start-up screen, not even on its links.
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(splash->Link(i)->toolTip(), "") << i;
            EXPECT_EQ(splash->CounterField(i)->toolTip(), "") << i;
        }
        QMetaObject::invokeMethod(splash, &QDialog::accept, Qt::QueuedConnection);
    });
    window.Initialise();
    EXPECT_EQ(started, "1");
    EXPECT_FALSE(windowVisible);
    EXPECT_TRUE(okEnabled);
}

// A link is as wide as its text: beside it, in the same row, the pointer is
// an arrow and a click opens nothing; on it, the hand, and the desktop opens it.
TEST(AboutBox, LinksOpenThroughTheDesktopAndReachNoFurtherThanTheirText) {
    for (auto kind : {CProductInfoDlg::Kind::AboutBox, CProductInfoDlg::Kind::StartupScreen}) {
        CScriptedDialogs dialogs;
        CProductInfoDlg dialog(kind);
        ShowAndWait(dialog);
        for (int i = 0; i < 3; ++i) {
            CLinkLabel* link = dialog.Link(i);
            const QRect area = link->geometry();
            EXPECT_LE(area.width(), link->sizeHint().width()) << i;
            const QPoint beside(dialog.layout()->contentsRect().left() + 1, area.center().y());
            EXPECT_NE(dialog.childAt(beside), link) << i;
            QTest::mouseClick(&dialog, Qt::LeftButton, {}, beside);
        }
        EXPECT_TRUE(dialogs.opened.empty());
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(dialog.Link(i)->cursor().shape(), Qt::PointingHandCursor);
            QTest::mouseClick(dialog.Link(i), Qt::LeftButton);
        }
        ASSERT_EQ(dialogs.opened.size(), 3u);
        EXPECT_EQ(dialogs.opened[1].scheme(), "mailto");
        EXPECT_EQ(dialogs.opened[0].host(), "www.example.com");
    }
}

// F1 anywhere in the window, or the Help button.
TEST(HelpWindow, OpensTheManualOnItsContents) {
    for (const bool f1 : {true, false}) {
        SCOPED_TRACE(f1 ? "F1" : "Help");
        WindowFixture f;
        CMainDlg& w = f.Window();
        if (f1) {
            ShowAndWait(w, true);
            auto* prefix = On<QLineEdit>(w.RenamePage(), "prefixLineEdit");
            Click(w.RenamePage(), "addPrefixCheckBox");
            prefix->setFocus();
            QTest::keyClick(prefix, Qt::Key_F1);
        } else {
            f.Click(kHelp);
        }
        CHelpWindow* help = w.HelpWindow();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->Browser()->source(), CHelpWindow::ContentsUrl());
        EXPECT_TRUE(help->Browser()->toPlainText().contains("Quorvan"));
        EXPECT_GT(help->Browser()->toPlainText().size(), 200);
        help->close();
    }
}

// A run of another process in the folder: the window says so and does nothing.
TEST(WindowRun, AFolderWhereAnotherRunWorksIsRefusedWithAMessage) {
    TestDir dir;
    WindowFixture f(dir, {"a.txt", "b.txt"});
    UsePrefix(f.Window(), "new_");
    f.Click(CMainDlg::kSelectAll);
    CFolderLock other;
    ASSERT_EQ(other.TryLock(dir.Path()), 0);
    f.Click(kStart);
    EXPECT_EQ(
        f.dialogs.Texts(),
        Strings{"Another rename run is working in this folder. Try again when it has finished."});
    EXPECT_EQ(f.dialogs.shown.at(0).icon, QMessageBox::Critical);
    EXPECT_EQ(dir.List(), (Strings{"a.txt", "b.txt"}));
    EXPECT_EQ(StoredCounter(kValueTimesUsed), 0);
}

// Settings saved without filters, their filter file gone since, switch off
// the filters loaded before: filters left on would hide files without a word.
TEST(WindowRun, SettingsWithoutAFilterFileLeaveNoFilterOn) {
    TestDir dir;
    TestDir jobs;
    WindowFixture f(dir, {"a.txt", "b.jpg"});
    CMainDlg& w = f.Window();
    w.SaveSettingsTo(jobs / "plain.qvr");
    unlink(CFilterSettings::FilterFilePath(jobs / "plain.qvr").c_str());
    CFilterSettingsDlg* filter = w.FilterPage();
    for (const char* box : {"filterOnTimesCheckBox", "filterModifiedCheckBox",
                            "filterOnExtensionsCheckBox", "filterIncludeExtensionsCheckBox"}) {
        Click(filter, box);
    }
    On<QComboBox>(filter, "filterModifiedComboBox")->setCurrentIndex(0);  // before
    On<QListWidget>(filter, "filterIncludeListWidget")->item(0)->setCheckState(Qt::Checked);
    w.SaveSettingsTo(jobs / "filtered.qvr");

    w.LoadSettingsFrom(jobs / "filtered.qvr");
    ASSERT_TRUE(filter->State().onTimes);
    w.LoadSettingsFrom(jobs / "plain.qvr");
    const FilterPageState page = filter->State();
    EXPECT_FALSE(page.onAttributes || page.onTimes || page.onExtensions);
    f.Click(CMainDlg::kSelectAll);
    f.Click(kPreview);
    EXPECT_EQ(f.PreviewRows().size(), 2u);
    EXPECT_TRUE(f.dialogs.shown.empty());
}

}  // namespace
}  // namespace quorvan::test
