#include "app/main_app.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/product.h"
#include "common/text.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "ui/main_dlg.h"
#include "ui/translations.h"

namespace quorvan {
namespace {

const char kUsage[] =
    "Usage: quorvan [--no-splash] [--] [FOLDER | FILE...]\n"
    "Bulk file renamer: opens the main window on FOLDER when one is given.\n"
    "Given files (one or more), it opens their folder with exactly those files\n"
    "ticked; files in several folders open the folder that holds them all, with\n"
    "\"Include subfolders\" on and only those files taking part.\n"
    "\n"
    "  --no-splash  skip the start-up screen (so does QUORVAN_NO_SPLASH=1)\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "For scripts and very large jobs, see quorvan-cli --help.\n";

}  // namespace

StartOptions ParseStartOptions(int argc, char** argv) {
    StartOptions options;
    const char* noSplash = std::getenv("QUORVAN_NO_SPLASH");
    if (noSplash != nullptr && std::strcmp(noSplash, "1") == 0) {
        options.showSplash = false;
    }
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--no-splash") {
            options.showSplash = false;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            options.showHelp = true;
        } else if (!optionsEnded && arg == "--version") {
            options.showVersion = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            options.error = "unknown option " + arg;
        } else {
            options.paths.push_back(arg);
        }
    }
    return options;
}

int AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", kProductName, kVersionText);
            return 0;
        }
    }
    return -1;
}

CMainApp::CMainApp(int& argc, char** argv) : QApplication(argc, argv), argc_(argc), argv_(argv) {
    setApplicationName(QString::fromUtf8(kProductName));
    setApplicationVersion(QString::fromUtf8(kVersionText));
    InstallTranslations(DesktopLanguages());
}

int CMainApp::Run() {
    // QApplication has taken its own options out of argv by now.
    const StartOptions options = ParseStartOptions(argc_, argv_);
    if (!options.error.empty()) {
        std::fprintf(stderr, "quorvan: %s\n%s", EscapeForTerminal(options.error).c_str(), kUsage);
        return 2;
    }
    if (options.showHelp) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.showVersion) {
        std::printf("%s %s\n", kProductName, kVersionText);
        return 0;
    }
    CRenameRules rules;
    CFilterSettings filter;
    CMainDlg window(rules, filter);
    window.SetShowSplash(options.showSplash);
    window.SetInitialPaths(options.paths);
    window.Initialise();
    window.exec();
    return 0;
}

}  // namespace quorvan
