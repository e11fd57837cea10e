#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/file_text.h"

extern char** environ;

namespace quorvan::test {

// quorvan-cli started as a child of the test, to be watched and sent signals;
// killed with the object. `variables` ("NAME=value") replace the test's own:
// env(1) sets them and becomes the program, under the same process ID.
class CliChild final {
  public:
    CliChild(const std::vector<std::string>& args, const std::vector<std::string>& variables,
             std::string errPath)
        : errPath_(std::move(errPath)) {
        std::vector<std::string> argv = {"/usr/bin/env"};
        argv.insert(argv.end(), variables.begin(), variables.end());
        argv.push_back(QUORVAN_CLI_PATH);
        argv.insert(argv.end(), args.begin(), args.end());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(),
                        environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CliChild() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    CliChild(const CliChild&) = delete;
    CliChild& operator=(const CliChild&) = delete;

    bool Started() const { return pid_ > 0; }
    bool Running() {
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = status;
            pid_ = -1;
        }
        return pid_ > 0;
    }
    void Signal(int number) { kill(pid_, number); }
    // Waits up to `ms` for the end; the exit status, or -1 when it had to be
    // killed or died of a signal.
    int WaitEnd(int ms) {
        for (int waited = 0; Running() && waited < ms; waited += 10) {
            usleep(10000);
        }
        if (Running()) {
            return -1;
        }
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    }
    std::string Err() const { return FileText(errPath_); }

  private:
    // The NULL-ended array of C strings posix_spawn takes.
    static std::vector<char*> Pointers(std::vector<std::string>& texts) {
        std::vector<char*> pointers;
        for (std::string& text : texts) {
            pointers.push_back(text.data());
        }
        pointers.push_back(nullptr);
        return pointers;
    }

    pid_t pid_ = -1;
    int status_ = 0;
    std::string errPath_;
};

}  // namespace quorvan::test
