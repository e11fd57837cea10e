#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorvan::test {

// A temporary folder removed (with everything in it) when the object dies.
class TestDir final {
  public:
    TestDir();
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    const std::string& Path() const { return path_; }
    // Full path of a relative name inside the folder.
    std::string operator/(const std::string& relative) const;

    // Creates a file (and its missing parent folders) holding `content`.
    std::string CreateFile(const std::string& relative, const std::string& content = "");
    void CreateFiles(const std::vector<std::string>& relatives);
    std::string CreateDir(const std::string& relative);
    // Sets access and modification time, seconds since the epoch.
    void SetTimes(const std::string& relative, int64_t access, int64_t modification);
    void SetMode(const std::string& relative, unsigned mode);

    bool Exists(const std::string& relative) const;
    std::string Read(const std::string& relative) const;
    // Names in one folder (not recursive), sorted.
    std::vector<std::string> List(const std::string& relative = "") const;
    // Inventory() of the folder.
    std::map<std::string, std::string> Inventory(const std::vector<std::string>& skip = {}) const;

  private:
    std::string path_;
};

// Points the usage counters (QUORVAN_STATE_DIR) at "state" in a temporary
// folder while it lives, so no test touches a real store.
class StateDirScope final {
  public:
    StateDirScope();
    ~StateDirScope();
    StateDirScope(const StateDirScope&) = delete;
    StateDirScope& operator=(const StateDirScope&) = delete;

    TestDir& Dir() { return dir_; }

  private:
    TestDir dir_;
    std::optional<std::string> saved_;
};

// Runs a shell command; returns its exit status and puts standard output (and
// standard error when asked) into `output`.
int RunCommand(const std::string& command, std::string* output = nullptr, bool withStderr = false);

// Runs quorvan-cli with a shell argument string; gives stdout, stderr and the
// status. `before` goes in front of the command (a ulimit, a timeout).
int Cli(const std::string& args, std::string* out = nullptr, std::string* err = nullptr,
        const std::string& before = "");

// Runs `body` in a forked child and gives its exit status, or nullopt when it
// had not ended after `timeoutMs` (it is killed then): for calls that must not
// hang, so that a hang fails the test instead of stopping the suite.
std::optional<int> RunInChild(const std::function<int()>& body, int timeoutMs = 5000);

// Single-quotes a text for the shell.
std::string ShellQuote(const std::string& text);

// A file system mounted on a folder for one test (root only); unmounted on
// destruction.
class ScratchMount final {
  public:
    explicit ScratchMount(const std::string& folder) : folder_(folder) {}
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    // `arguments` for mount(8) before the folder, e.g. "--bind SOURCE"; false
    // when not root or the mount fails.
    bool Mount(const std::string& arguments);

  private:
    std::string folder_;
    bool mounted_ = false;
};

// The sorted names in a folder, without "." and ".."; none when it cannot be read.
std::vector<std::string> ListNames(const std::string& folder);

// The files below `folder` (hidden ones too), by relative path: their
// contents, and "-> target" for a symbolic link, so that a link put in place
// of a file of the same contents shows. Files of the names in `skip` (the
// run's log and undo script, say) are left out.
std::map<std::string, std::string> Inventory(const std::string& folder,
                                             const std::vector<std::string>& skip = {});

}  // namespace quorvan::test
