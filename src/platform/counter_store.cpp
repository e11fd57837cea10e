#include "platform/counter_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/file_system.h"

namespace quorvan {

namespace {

std::string EnvText(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}

bool ValidName(const std::string& name) {
    return !name.empty() && name.find_first_of("=\r\n") == std::string::npos;
}

bool ValidValue(const std::string& value) {
    return value.find_first_of("\r\n") == std::string::npos;
}

// The store holds a few counters; anything larger is no store of ours.
constexpr size_t kMaxStoreSize = size_t{1} << 20;

// The whole file; nothing when it cannot be read, with the reason in `error`.
std::optional<std::string> ReadFile(const std::string& path, int& error) {
    std::string text;
    if ((error = ReadSmallFile(path, kMaxStoreSize, text)) != 0) {
        return std::nullopt;
    }
    return text;
}

CCounterStore::Values ParseValues(const std::string& text) {
    CCounterStore::Values values;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        size_t eq = line.find('=');
        if (eq != std::string::npos && eq > 0) {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
        start = end + 1;
    }
    return values;
}

// Holds the exclusive lock for one read-modify-write.
class StoreLock final {
  public:
    StoreLock(const std::string& folder, const std::string& name) {
        if (MakePrivateFolders(folder) != 0) {
            return;
        }
        fd_ = open((folder + "/" + name + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            return;
        }
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~StoreLock() {
        if (fd_ >= 0) {
            close(fd_);  // releases the lock
        }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

}  // namespace

CCounterStore::CCounterStore() : folder_(DefaultFolder()) {}

CCounterStore::CCounterStore(std::string folder) : folder_(std::move(folder)) {}

CCounterStore::CCounterStore(std::string folder, std::string name)
    : folder_(std::move(folder)), name_(std::move(name)) {}

std::string CCounterStore::DefaultFolder() {
    std::string dir = EnvText("QUORVAN_STATE_DIR");
    if (!dir.empty()) {
        return dir;
    }
    // Relative values are to be ignored, as the XDG base directory rules say.
    std::string state = EnvText("XDG_STATE_HOME");
    if (!state.empty() && state[0] == '/') {
        return state + "/quorvan";
    }
    std::string home = EnvText("HOME");
    if (home.empty()) {
        if (passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
            home = pw->pw_dir;
        }
    }
    return home + "/.local/state/quorvan";
}

std::string CCounterStore::DataPath() const {
    return folder_ + "/" + name_;
}

bool CCounterStore::Exists() const {
    struct stat st {};
    return stat(DataPath().c_str(), &st) == 0;
}

std::optional<CCounterStore::Values> CCounterStore::ReadAll() const {
    int error = 0;
    auto text = ReadFile(DataPath(), error);
    if (!text) {
        return std::nullopt;
    }
    return ParseValues(*text);
}

std::optional<std::string> CCounterStore::Read(const std::string& name) const {
    auto values = ReadAll();
    if (!values) {
        return std::nullopt;
    }
    auto it = values->find(name);
    if (it == values->end()) {
        return std::nullopt;
    }
    return it->second;
}

bool CCounterStore::Write(const std::string& name, const std::string& value) {
    if (!ValidName(name) || !ValidValue(value)) {
        return false;
    }
    return Update([&](Values& values) {
        values[name] = value;
        return true;
    });
}

bool CCounterStore::CreateIfMissing(const Values& defaults) {
    bool existed = false;
    bool ok = Update([&](Values& values) {
        existed = Exists();
        if (existed) {
            return false;
        }
        values = defaults;
        return true;
    });
    return existed || ok;
}

bool CCounterStore::Update(const std::function<bool(Values&)>& change) {
    StoreLock lock(folder_, name_);
    if (!lock.Held()) {
        return false;
    }
    Values values;
    std::string path = DataPath();
    int error = 0;
    if (auto text = ReadFile(path, error)) {
        values = ParseValues(*text);
    } else if (error != ENOENT) {
        return false;  // an unreadable store is not overwritten with a fresh one
    }
    if (!change(values)) {
        return false;
    }
    std::string text;
    for (const auto& [name, value] : values) {
        if (!ValidName(name) || !ValidValue(value)) {
            return false;
        }
        text += name + "=" + value + "\n";
    }
    // Only the lock holder writes, so one temporary name is enough.
    std::string temp = path + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, text.data(), text.size()) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace quorvan
