#pragma once

// What the window benchmarks share: a clock, a folder of empty files, and a
// window over fresh rules with everything ticked and a prefix set.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ui/main_dlg.h"
#include "ui/pages/rename_page.h"

namespace quorvan::bench {

using Clock = std::chrono::steady_clock;

// Sets the offscreen platform unless one is chosen; call before QApplication.
inline void UseOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

// The command line program measured against the window.
inline std::string CliPath() {
    const char* fromEnvironment = std::getenv("QUORVAN_CLI");
    return fromEnvironment != nullptr ? fromEnvironment : QUORVAN_CLI_PATH;
}

inline double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// file_000000.dat, file_000001.dat, ... in a new folder.
inline void MakeFiles(const std::string& folder, int count) {
    std::filesystem::create_directory(folder);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/file_%06d.dat", i);
        std::ofstream(folder + name);
    }
}

// Opens the window on the folder and shows it.
inline void OpenWindow(CMainDlg& window, const std::string& folder) {
    window.SetInitialFolder(folder);
    window.Initialise();
    window.show();
    QApplication::processEvents();
}

inline void SetPrefix(CMainDlg& window, const char* prefix) {
    window.RenamePage()->findChild<QCheckBox*>("addPrefixCheckBox")->click();
    window.RenamePage()->findChild<QLineEdit*>("prefixLineEdit")->setText(prefix);
}

}  // namespace quorvan::bench
