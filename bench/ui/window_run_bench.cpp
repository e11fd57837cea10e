// Renames 100,000 files in place through the window on the offscreen platform
// (Select All, a prefix, Start with its progress dialog) and, in the same run,
// an identical folder with quorvan-cli run as the reference.
// Usage: window_run_bench [COUNT]   (QUORVAN_CLI names the command line program)
#include <cstdlib>

#include "bench_window.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "ui/user_dialogs.h"

namespace {

using quorvan::bench::Clock;
using quorvan::bench::MakeFiles;
using quorvan::bench::Since;

size_t CountPrefixed(const std::string& folder) {
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().filename().string().rfind("new_", 0) == 0 ? 1 : 0;
    }
    return count;
}

// Answers the end-of-run message without a person at the screen.
class CSilentDialogs final : public quorvan::IUserDialogs {
  public:
    QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString&,
                                        const QString& text, QMessageBox::StandardButtons,
                                        const QString&) override {
        last = text;
        return QMessageBox::Ok;
    }
    QString ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString last;
};

}  // namespace

int main(int argc, char** argv) {
    quorvan::bench::UseOffscreenPlatform();
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string cli = quorvan::bench::CliPath();

    char pattern[] = "/tmp/quorvan-window-run-bench-XXXXXX";
    const std::string work = mkdtemp(pattern);
    const std::string windowFolder = work + "/window";
    const std::string cliFolder = work + "/cli";
    const std::string state = work + "/state";
    setenv("QUORVAN_STATE_DIR", state.c_str(), 1);
    MakeFiles(windowFolder, count);
    MakeFiles(cliFolder, count);
    CSilentDialogs dialogs;
    quorvan::SetDialogs(&dialogs);

    // The command line goes first, so that neither side finds the other's
    // folder warmer in the caches.
    const std::string command =
        cli + " run --set AddPrefix=Yes --set Prefix=new_ '" + cliFolder + "' > /dev/null 2>&1";
    auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double cliTime = Since(start);
    const size_t cliDone = CountPrefixed(cliFolder);

    quorvan::CRenameRules rules;
    quorvan::CFilterSettings filter;
    quorvan::CMainDlg window(rules, filter);
    quorvan::bench::OpenWindow(window, windowFolder);
    window.Button(quorvan::CMainDlg::kSelectAll)->click();
    quorvan::bench::SetPrefix(window, "new_");

    start = Clock::now();
    window.Button(quorvan::CMainDlg::kStart)->click();  // through to the refreshed list
    const double windowTime = Since(start);
    const size_t windowDone = CountPrefixed(windowFolder);
    quorvan::SetDialogs(nullptr);
    std::filesystem::remove_all(work);

    if (status != 0 || windowDone != static_cast<size_t>(count) ||
        cliDone != static_cast<size_t>(count)) {
        std::fprintf(stderr, "bench failed: cli status %d, renamed %zu and %zu of %d (%s)\n",
                     status, windowDone, cliDone, count, dialogs.last.toUtf8().constData());
        return 1;
    }
    std::printf("files:          %d\n", count);
    std::printf("window Start:   %.3f s\n", windowTime);
    std::printf("quorvan-cli:    %.3f s\n", cliTime);
    std::printf("ratio:          %.2f (goal at most 1.3)\n", windowTime / cliTime);
    return 0;
}
