#include "support/test_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "support/file_text.h"

namespace quorvan::test {

namespace {

void RemoveTree(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        chmod(path.c_str(), 0700);
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* d = readdir(dir)) {
                std::string name = d->d_name;
                if (name != "." && name != "..") {
                    RemoveTree(path + "/" + name);
                }
            }
            closedir(dir);
        }
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

void MakeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0777);
    }
}

}  // namespace

TestDir::TestDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvan-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = buffer.data();
}

TestDir::~TestDir() {
    RemoveTree(path_);
}

std::string TestDir::operator/(const std::string& relative) const {
    return relative.empty() ? path_ : path_ + "/" + relative;
}

std::string TestDir::CreateFile(const std::string& relative, const std::string& content) {
    std::string full = *this / relative;
    MakeParents(full);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        throw std::runtime_error("cannot create " + full);
    }
    return full;
}

void TestDir::CreateFiles(const std::vector<std::string>& relatives) {
    for (const auto& r : relatives) {
        CreateFile(r);
    }
}

std::string TestDir::CreateDir(const std::string& relative) {
    std::string full = *this / relative;
    MakeParents(full + "/");
    return full;
}

void TestDir::SetTimes(const std::string& relative, int64_t access, int64_t modification) {
    timespec times[2] = {{static_cast<time_t>(access), 0}, {static_cast<time_t>(modification), 0}};
    if (utimensat(AT_FDCWD, (*this / relative).c_str(), times, 0) != 0) {
        throw std::runtime_error("utimensat failed");
    }
}

void TestDir::SetMode(const std::string& relative, unsigned mode) {
    chmod((*this / relative).c_str(), mode);
}

bool TestDir::Exists(const std::string& relative) const {
    struct stat st {};
    return lstat((*this / relative).c_str(), &st) == 0;
}

std::string TestDir::Read(const std::string& relative) const {
    return FileText(*this / relative);
}

std::vector<std::string> TestDir::List(const std::string& relative) const {
    return ListNames(*this / relative);
}

ScratchMount::~ScratchMount() {
    if (mounted_) {
        RunCommand("umount -- " + ShellQuote(folder_));
    }
}

bool ScratchMount::Mount(const std::string& arguments) {
    if (geteuid() != 0) {
        return false;
    }
    mounted_ = RunCommand("mount " + arguments + " " + ShellQuote(folder_), nullptr, true) == 0;
    return mounted_;
}

std::vector<std::string> ListNames(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* d = readdir(dir)) {
            std::string name = d->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, std::string> TestDir::Inventory(const std::vector<std::string>& skip) const {
    return test::Inventory(path_, skip);
}

std::map<std::string, std::string> Inventory(const std::string& folder,
                                             const std::vector<std::string>& skip) {
    std::map<std::string, std::string> files;
    std::vector<std::string> pending = {""};
    while (!pending.empty()) {
        const std::string relative = pending.back();
        pending.pop_back();
        for (const std::string& name :
             ListNames(relative.empty() ? folder : folder + "/" + relative)) {
            const std::string rel = relative.empty() ? name : relative + "/" + name;
            const std::string path = folder + "/" + rel;
            struct stat st {};
            if (lstat(path.c_str(), &st) != 0) {
                continue;
            }
            if (S_ISDIR(st.st_mode)) {
                pending.push_back(rel);
            } else if (std::find(skip.begin(), skip.end(), name) != skip.end()) {
                continue;
            } else if (S_ISLNK(st.st_mode)) {
                char target[4096];
                const ssize_t n = readlink(path.c_str(), target, sizeof target);
                files[rel] = "-> " + std::string(target, n > 0 ? static_cast<size_t>(n) : 0);
            } else {
                files[rel] = FileText(path);
            }
        }
    }
    return files;
}

StateDirScope::StateDirScope() {
    if (const char* old = getenv("QUORVAN_STATE_DIR")) {
        saved_ = old;
    }
    setenv("QUORVAN_STATE_DIR", (dir_ / "state").c_str(), 1);
}

StateDirScope::~StateDirScope() {
    if (saved_) {
        setenv("QUORVAN_STATE_DIR", saved_->c_str(), 1);
    } else {
        unsetenv("QUORVAN_STATE_DIR");
    }
}

int RunCommand(const std::string& command, std::string* output, bool withStderr) {
    std::string full = command + (withStderr ? " 2>&1" : "");
    FILE* pipe = popen(full.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        text.append(buffer, n);
    }
    int status = pclose(pipe);
    if (output) {
        *output = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<int> RunInChild(const std::function<int()>& body, int timeoutMs) {
    pid_t pid = fork();
    if (pid < 0) {
        return std::nullopt;
    }
    if (pid == 0) {
        _exit(body());
    }
    for (int waited = 0;; waited += 10) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
        }
        if (waited >= timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
        usleep(10000);
    }
}

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

int Cli(const std::string& args, std::string* out, std::string* err, const std::string& before) {
    TestDir scratch;
    std::string command = before + " " + std::string(QUORVAN_CLI_PATH) + " " + args + " 2>" +
                          ShellQuote(scratch / "stderr") + " </dev/null";
    int status = RunCommand(command, out);
    if (err) {
        *err = scratch.Read("stderr");
    }
    return status;
}

}  // namespace quorvan::test
