// Opens a folder of 100,000 files in the window on the offscreen platform,
// ticks them all with Select All and previews them (with the check of the
// whole plan) with a prefix; then runs quorvan-cli preview on the same folder
// as the reference.
// Usage: window_bench [COUNT]   (QUORVAN_CLI names the command line program)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "bench_window.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "ui/source_list_model.h"

namespace {

using quorvan::bench::Clock;
using quorvan::bench::Since;

long PeakKib(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    quorvan::bench::UseOffscreenPlatform();
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string cli = quorvan::bench::CliPath();

    char pattern[] = "/tmp/quorvan-window-bench-XXXXXX";
    const std::string work = mkdtemp(pattern);
    const std::string folder = work + "/files";
    const std::string state = work + "/state";
    quorvan::bench::MakeFiles(folder, count);
    setenv("QUORVAN_STATE_DIR", state.c_str(), 1);

    quorvan::CRenameRules rules;
    quorvan::CFilterSettings filter;
    auto start = Clock::now();
    quorvan::CMainDlg window(rules, filter);
    quorvan::bench::OpenWindow(window, folder);
    const double open = Since(start);

    start = Clock::now();
    window.Button(quorvan::CMainDlg::kSelectAll)->click();
    QApplication::processEvents();
    const double selectAll = Since(start);

    quorvan::bench::SetPrefix(window, "new_");
    start = Clock::now();
    window.Button(quorvan::CMainDlg::kPreview)->click();
    QApplication::processEvents();
    const double preview = Since(start);
    const int shown = window.PreviewModel().Count();
    const long windowPeak = PeakKib(RUSAGE_SELF);

    const std::string command =
        cli + " preview --set AddPrefix=Yes --set Prefix=new_ '" + folder + "' > /dev/null";
    start = Clock::now();
    const int status = std::system(command.c_str());
    const double cliTime = Since(start);
    std::filesystem::remove_all(work);

    if (status != 0 || shown != count) {
        std::fprintf(stderr, "bench failed: cli status %d, %d of %d names shown\n", status, shown,
                     count);
        return 1;
    }
    const double total = open + selectAll + preview;
    std::printf("files:              %d\n", count);
    std::printf("window open+scan:   %.3f s\n", open);
    std::printf("Select All:         %.3f s (goal under 0.5 s)\n", selectAll);
    std::printf("Preview:            %.3f s\n", preview);
    std::printf("window total:       %.3f s\n", total);
    std::printf("quorvan-cli:        %.3f s\n", cliTime);
    std::printf("ratio:              %.2f (goal at most 1.5)\n", total / cliTime);
    std::printf("window peak memory: %.0f MB (goal at most 400)\n", windowPeak / 1024.0);
    return 0;
}
