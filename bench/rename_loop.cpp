// The reference for the run benchmark: the least a program can do to give
// every file of a folder a prefix, a readdir loop of renameat2 calls.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: rename_loop FOLDER PREFIX\n");
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
