// The reference for the run benchmark: the least a program can do to give
// every file of a folder a prefix, a readdir loop of renameat2 calls; or, with
// "--renumber N", to move files 000001.dat..N up by one, from the top down.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[2]) == "--renumber") {
        int fd = open(argv[1], O_RDONLY | O_DIRECTORY);
        int failed = 0;
        for (long n = atol(argv[3]); n > 0; --n) {
            char from[32];
            char to[32];
            snprintf(from, sizeof from, "%06ld.dat", n);
            snprintf(to, sizeof to, "%06ld.dat", n + 1);
            failed += renameat2(fd, from, fd, to, RENAME_NOREPLACE) != 0;
        }
        return failed ? 1 : 0;
    }
    if (argc != 3) {
        fprintf(stderr, "usage: rename_loop FOLDER PREFIX | rename_loop FOLDER --renumber N\n");
        return 2;
    }
    std::string prefix = argv[2];
    DIR* dir = opendir(argv[1]);
    if (dir == nullptr) {
        perror(argv[1]);
        return 1;
    }
    std::vector<std::string> names;
    while (dirent* d = readdir(dir)) {
        if (d->d_type == DT_REG) {
            names.emplace_back(d->d_name);
        }
    }
    int fd = dirfd(dir);
    int failed = 0;
    for (const std::string& name : names) {
        std::string target = prefix + name;
        if (renameat2(fd, name.c_str(), fd, target.c_str(), RENAME_NOREPLACE) != 0) {
            ++failed;
        }
    }
    closedir(dir);
    return failed ? 1 : 0;
}
