// Live preview on the offscreen platform, each figure in a process of its own:
//   latency at 10,000 and 100,000 ticked files: from a keystroke in the
//     Prefix field to the preview model showing it (median of 9), against
//     pressing Preview with live preview off;
//   typing at 1,000,000 files: 20 keystrokes 50 ms apart, the longest gap
//     between ticks of a 5 ms timer, and whether the last keystroke's names
//     are the ones shown; against the same keys with live preview off (what
//     the machine's own load costs);
//   peak memory at 1,000,000 files: live preview on (Select All, then a
//     prefix typed) against live preview off (Select All, prefix, Preview).
// Usage: live_preview_bench [SMALL MEDIUM LARGE]   (file counts)
//        live_preview_bench latency|typing|typing-off|memory-on|memory-off FOLDER
//        live_preview_bench screenshot FOLDER PICTURE.png
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <vector>

#include "bench_window.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "ui/live_preview.h"
#include "ui/source_list_model.h"

namespace {

using quorvan::bench::Clock;
using quorvan::bench::Since;

constexpr auto kPreview = quorvan::CMainDlg::kPreview;

long PeakKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QCheckBox* LiveBox(quorvan::CMainDlg& window) {
    return window.findChild<QCheckBox*>("livePreviewCheckBox");
}

QLineEdit* PrefixField(quorvan::CMainDlg& window) {
    return window.RenamePage()->findChild<QLineEdit*>("prefixLineEdit");
}

// Until the live preview shows the latest change.
void Settle(quorvan::CMainDlg& window) {
    auto* live = window.findChild<quorvan::CLivePreview*>();
    QApplication::processEvents();
    while (live->Pending()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

void Type(QWidget* field, char letter) {
    const QString text(QChar::fromLatin1(letter));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (letter - 'a'), Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + (letter - 'a'), Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
    QApplication::sendEvent(field, &release);
}

// The name the first preview row has with this prefix.
std::string FirstName(const std::string& folder, const QString& prefix) {
    return folder + "/" + prefix.toStdString() + "file_000000.dat";
}

struct Window {
    quorvan::CRenameRules rules;
    quorvan::CFilterSettings filter;
    quorvan::CMainDlg dialog{rules, filter};
};

// Opens the folder with every file ticked and "Add Prefix" on.
void Prepare(quorvan::CMainDlg& window, const std::string& folder, bool live) {
    quorvan::bench::OpenWindow(window, folder);
    if (live) {
        LiveBox(window)->setChecked(true);
    }
    window.Button(quorvan::CMainDlg::kSelectAll)->click();
    window.RenamePage()->findChild<QCheckBox*>("addPrefixCheckBox")->click();
    if (live) {
        Settle(window);
    }
}

int Latency(const std::string& folder) {
    Window w;
    Prepare(w.dialog, folder, true);
    QLineEdit* prefix = PrefixField(w.dialog);
    std::vector<double> times;
    for (char letter = 'a'; letter < 'a' + 9; ++letter) {
        const auto start = Clock::now();
        Type(prefix, letter);
        const std::string wanted = FirstName(folder, prefix->text());
        while (w.dialog.PreviewModel().Count() == 0 || w.dialog.PreviewModel().Name(0) != wanted) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        times.push_back(Since(start));
        Settle(w.dialog);
    }
    std::sort(times.begin(), times.end());
    // Today's way for the same names: live preview off, press Preview.
    LiveBox(w.dialog)->setChecked(false);
    const auto start = Clock::now();
    w.dialog.Button(kPreview)->click();
    QApplication::processEvents();
    std::printf("%.4f %.4f\n", times[times.size() / 2], Since(start));
    return 0;
}

int Typing(const std::string& folder, bool live) {
    Window w;
    Prepare(w.dialog, folder, live);
    QLineEdit* prefix = PrefixField(w.dialog);
    double longest = 0;
    auto last = Clock::now();
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, Since(last));
        last = Clock::now();
    });
    int typed = 0;
    QTimer typist;
    typist.setInterval(50);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        Type(prefix, static_cast<char>('a' + typed));
        if (++typed == 20) {
            typist.stop();
        }
    });
    ticker.start();
    last = Clock::now();
    typist.start();
    const auto start = Clock::now();
    while (typed < 20) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const double typingGap = longest;
    if (!live) {
        // The reference: the same keys with nothing computed behind them.
        std::printf("%.4f\n", typingGap);
        return 0;
    }
    Settle(w.dialog);
    const double final = Since(start);
    const bool lastShown = w.dialog.PreviewModel().Count() > 0 &&
                           w.dialog.PreviewModel().Name(0) == FirstName(folder, prefix->text()) &&
                           prefix->text() == "abcdefghijklmnopqrst";
    std::printf("%.4f %.4f %.3f %d\n", typingGap, longest, final, lastShown ? 1 : 0);
    return 0;
}

int Memory(const std::string& folder, bool live) {
    Window w;
    Prepare(w.dialog, folder, live);
    PrefixField(w.dialog)->setText("new_");
    if (live) {
        Settle(w.dialog);
    } else {
        w.dialog.Button(kPreview)->click();
        QApplication::processEvents();
    }
    const bool shown = w.dialog.PreviewModel().Count() == w.dialog.SourceModel().Count();
    std::printf("%ld %d\n", PeakKib(), shown ? 1 : 0);
    return 0;
}

// Types into the Prefix field until the list shows that it is being updated,
// and saves a picture of the window then.
int Screenshot(const std::string& folder, const char* picture) {
    Window w;
    Prepare(w.dialog, folder, true);
    w.dialog.resize(1000, 700);
    QLineEdit* prefix = PrefixField(w.dialog);
    prefix->setFocus();
    auto* live = w.dialog.findChild<quorvan::CLivePreview*>();
    for (char letter = 'a'; letter <= 'z' && !live->Updating(); ++letter) {
        Type(prefix, letter);
        const auto typed = Clock::now();
        while (!live->Updating() && live->Pending() && Since(typed) < 0.3) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
    }
    QApplication::processEvents();
    const bool saved = w.dialog.grab().save(picture);
    std::printf("%s %s\n", saved ? "saved" : "not saved",
                live->Updating() ? "while updating" : "after the update");
    return saved ? 0 : 1;
}

// Runs this program in one mode on a folder; its one line of figures.
std::string Child(const char* self, const char* mode, const std::string& folder) {
    const std::string command = std::string(self) + " " + mode + " '" + folder + "'";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            output = line;
        }
        pclose(pipe);
    }
    return output;
}

std::string MakeFolder(const std::string& work, int count) {
    const std::string folder = work + "/files" + std::to_string(count);
    quorvan::bench::MakeFiles(folder, count);
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    quorvan::bench::UseOffscreenPlatform();
    if (argc == 4 && std::strcmp(argv[1], "screenshot") == 0) {
        QApplication app(argc, argv);
        return Screenshot(argv[2], argv[3]);
    }
    if (argc == 3) {
        QApplication app(argc, argv);
        const std::string mode = argv[1];
        if (mode == "latency") {
            return Latency(argv[2]);
        }
        if (mode == "typing" || mode == "typing-off") {
            return Typing(argv[2], mode == "typing");
        }
        if (mode == "memory-on" || mode == "memory-off") {
            return Memory(argv[2], mode == "memory-on");
        }
        return 2;
    }
    const int small = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int medium = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int large = argc > 3 ? std::atoi(argv[3]) : 1000000;

    char pattern[] = "/tmp/quorvan-live-bench-XXXXXX";
    const std::string work = mkdtemp(pattern);
    const std::string state = work + "/state";
    setenv("QUORVAN_STATE_DIR", state.c_str(), 1);
    bool ok = true;

    for (const auto& [count, goal] : {std::pair{small, 0.1}, std::pair{medium, 1.0}}) {
        const std::string folder = MakeFolder(work, count);
        double median = 0;
        double preview = 0;
        ok &= std::sscanf(Child(argv[0], "latency", folder).c_str(), "%lf %lf", &median,
                          &preview) == 2;
        std::printf(
            "keystroke to preview, %7d files: median %.3f s (goal at most %.1f s); "
            "Preview pressed with live off: %.3f s; ratio %.2f\n",
            count, median, goal, preview, median / preview);
        std::filesystem::remove_all(folder);
    }

    const std::string folder = MakeFolder(work, large);
    double typingGap = 0;
    double gap = 0;
    double final = 0;
    int lastShown = 0;
    ok &= std::sscanf(Child(argv[0], "typing", folder).c_str(), "%lf %lf %lf %d", &typingGap, &gap,
                      &final, &lastShown) == 4;
    double offGap = 0;
    ok &= std::sscanf(Child(argv[0], "typing-off", folder).c_str(), "%lf", &offGap) == 1;
    std::printf(
        "typing 20 keys 50 ms apart, %d files: longest event-loop gap %.3f s while "
        "typing (goal at most 0.050 s), %.3f s until the last names were shown, "
        "%.1f s from the first key to them; last keystroke's names shown: %s\n"
        "the same keys with live preview off: longest gap %.3f s; ratio %.2f\n",
        large, typingGap, gap, final, lastShown ? "yes" : "NO", offGap, typingGap / offGap);
    long on = 0;
    long off = 0;
    int shownOn = 0;
    int shownOff = 0;
    ok &= std::sscanf(Child(argv[0], "memory-off", folder).c_str(), "%ld %d", &off, &shownOff) == 2;
    ok &= std::sscanf(Child(argv[0], "memory-on", folder).c_str(), "%ld %d", &on, &shownOn) == 2;
    std::printf(
        "peak memory, %d files: live on %.0f MB, off (Preview) %.0f MB; ratio %.2f "
        "(goal at most 1.10)\n",
        large, on / 1024.0, off / 1024.0, static_cast<double>(on) / off);
    std::filesystem::remove_all(work);
    if (!ok || !lastShown || !shownOn || !shownOff) {
        std::fprintf(stderr, "bench failed\n");
        return 1;
    }
    return 0;
}
