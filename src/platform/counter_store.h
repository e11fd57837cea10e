#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace quorvan {

// A small per-user text store of "name=value" lines, for the usage counters.
// Reads need no lock: the data file is only ever replaced whole (temporary
// file + rename). Every change holds an exclusive flock on a separate lock
// file around its read-modify-write, so concurrent processes never lose each
// other's update. All failures are silent: reads give nothing, writes false.
class CCounterStore final {
  public:
    using Values = std::map<std::string, std::string>;

    // The store in DefaultFolder().
    CCounterStore();
    explicit CCounterStore(std::string folder);
    // Another data file ("name", locked through "name.lock") in `folder`, for
    // per-user values that are not counters.
    CCounterStore(std::string folder, std::string name);

    // $QUORVAN_STATE_DIR if set, else $XDG_STATE_HOME/quorvan, else
    // ~/.local/state/quorvan.
    static std::string DefaultFolder();

    const std::string& Folder() const { return folder_; }
    std::string DataPath() const;

    // True when the data file exists.
    bool Exists() const;
    std::optional<std::string> Read(const std::string& name) const;
    std::optional<Values> ReadAll() const;

    // A name may not be empty nor hold "=", CR or LF; a value may not hold CR
    // or LF.
    bool Write(const std::string& name, const std::string& value);

    // Under the lock: creates the data file with `defaults` when it does not
    // exist yet. An existing file is left alone. True when the file exists
    // afterwards.
    bool CreateIfMissing(const Values& defaults);

    // Under the lock: reads all values (none when there is no file yet), lets
    // `change` edit them and stores the result when `change` returns true.
    bool Update(const std::function<bool(Values&)>& change);

  private:
    std::string folder_;
    std::string name_ = "counters";
};

}  // namespace quorvan
