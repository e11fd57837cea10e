#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "support/test_dir.h"

namespace quorvan::test {

// Mounts a small case-insensitive file system: vfat, else ext4 with a
// case-folding folder. Returns the folder to work in, or "" when neither works.
inline std::string MountCaseInsensitive(TestDir& dir, ScratchMount& mount) {
    const std::string image = dir / "image";
    const std::string mnt = dir.CreateDir("mnt");
    if (RunCommand("truncate -s 8M -- " + ShellQuote(image)) != 0) {
        return "";
    }
    if (RunCommand("mkfs.vfat -- " + ShellQuote(image), nullptr, true) == 0 &&
        mount.Mount("-o loop -t vfat -- " + ShellQuote(image))) {
        return mnt;
    }
    if (RunCommand("mkfs.ext4 -q -F -O casefold -- " + ShellQuote(image), nullptr, true) == 0 &&
        mount.Mount("-o loop -t ext4 -- " + ShellQuote(image))) {
        const std::string folder = mnt + "/ci";
        if (RunCommand("mkdir -- " + ShellQuote(folder) + " && chattr +F -- " +
                       ShellQuote(folder)) == 0) {
            return folder;
        }
    }
    return "";
}

// Runs `work` in `count` child processes that all start it at one moment;
// true when every one ended with status 0.
inline bool InChildrenAtOnce(int count, const std::function<void()>& work) {
    int gate[2];
    if (pipe(gate) != 0) {
        return false;
    }
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            close(gate[1]);
            char byte;
            (void)!read(gate[0], &byte, 1);  // the gate opens when it closes
            work();
            _exit(0);
        }
        children.push_back(child);
    }
    close(gate[0]);
    close(gate[1]);
    bool ok = true;
    for (pid_t child : children) {
        int status = 0;
        ok = waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
             ok;
    }
    return ok;
}

}  // namespace quorvan::test
