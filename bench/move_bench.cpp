// Time of MoveNoReplace against bare renameat2 calls, 100,000 renames each.
// Prints the ratio; the goal is at most 1.5.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/file_ops.h"

namespace {

constexpr int kFiles = 100000;

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvan-bench-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    std::string dir = buffer.data();
    std::vector<std::string> a, b, c;
    for (int i = 0; i < kFiles; ++i) {
        a.push_back(dir + "/a" + std::to_string(i));
        b.push_back(dir + "/b" + std::to_string(i));
        c.push_back(dir + "/c" + std::to_string(i));
        int fd = open(a.back().c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0) {
            perror("open");
            return 1;
        }
        close(fd);
    }

    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFiles; ++i) {
        renameat2(AT_FDCWD, a[i].c_str(), AT_FDCWD, b[i].c_str(), RENAME_NOREPLACE);
    }
    double bare = Seconds(std::chrono::steady_clock::now() - start);

    int failed = 0;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFiles; ++i) {
        int error = 0;
        failed += !quorvan::MoveNoReplace(b[i], c[i], error);
    }
    double ours = Seconds(std::chrono::steady_clock::now() - start);

    for (const auto& name : c) {
        unlink(name.c_str());
    }
    rmdir(dir.c_str());
    printf("renameat2: %.3f s, MoveNoReplace: %.3f s, ratio %.2f (goal <= 1.50), failed %d\n", bare,
           ours, ours / bare, failed);
    return failed == 0 ? 0 : 1;
}
