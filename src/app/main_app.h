#pragma once

#include <QApplication>
#include <string>
#include <vector>

namespace quorvan {

// What the program's command line asks for.
struct StartOptions {
    bool showSplash = true;
    // Folders or files to open (a file manager's selection); empty when none
    // was given.
    std::vector<std::string> paths;
    bool showHelp = false;
    bool showVersion = false;
    std::string error;  // set for a command line that cannot be used
};

// `quorvan [--no-splash] [--] [FOLDER | FILE...]`. QUORVAN_NO_SPLASH=1 also skips the
// start-up screen.
StartOptions ParseStartOptions(int argc, char** argv);

// Answers --help and --version before Qt starts, since they need no display;
// returns the exit status, or -1 when the window is to open.
int AnswerWithoutWindow(int argc, char** argv);

// The application: parses the command line, opens the main window on the
// folder or files given and runs it until it closes.
class CMainApp final : public QApplication {
    Q_OBJECT
  public:
    CMainApp(int& argc, char** argv);
    // Returns the process's exit status.
    int Run();

  private:
    int argc_;
    char** argv_;
};

}  // namespace quorvan
