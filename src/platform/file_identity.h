#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvan {

// A time as stat gives it: seconds since the epoch and nanoseconds.
struct FileTimeNs {
    int64_t sec = 0;
    int64_t nsec = 0;

    bool operator==(const FileTimeNs&) const = default;
};

// When a file was made, where the file system keeps it; zero when not. An
// inode number freed by a deletion is soon given to a new file, and the birth
// time tells the two apart.
bool SameBirth(const FileTimeNs& a, const FileTimeNs& b);

// What recognises a file later: device, inode and birth time say which file
// it is, size and modification time whether its content changed since.
struct FileStamp {
    uint64_t dev = 0;
    uint64_t ino = 0;
    int64_t size = 0;
    FileTimeNs mtime;
    FileTimeNs btime;  // zero where the file system keeps none

    bool SameFile(const FileStamp& other) const {
        return dev == other.dev && ino == other.ino && SameBirth(btime, other.btime);
    }
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the entry at `path` itself (a symbolic link is not followed),
// with statx; `mode` gets its st_mode when given. 0 or an errno value.
int StampOf(const std::string& path, FileStamp& stamp, uint32_t* mode = nullptr);

// One directory entry held open without following a link, so that a file is
// changed only when it is still the one expected, even if its name is reused
// meanwhile. Changes go through /proc/self/fd, which reaches the held inode.
class CPinnedEntry final {
  public:
    CPinnedEntry() = default;
    ~CPinnedEntry();
    CPinnedEntry(const CPinnedEntry&) = delete;
    CPinnedEntry& operator=(const CPinnedEntry&) = delete;

    // 0 or an errno value (ENOENT when nothing has the name).
    int Open(const std::string& path);
    const FileStamp& Stamp() const { return stamp_; }
    uint32_t Mode() const { return mode_; }  // st_mode
    bool IsRegularFile() const;

    // Each returns 0 or an errno value; the entry must be a regular file.
    int SetPermissions(uint32_t permissions);
    // Stores `value` as user.DOSATTRIB, or removes it for none (an absent
    // value is no error).
    int SetDosAttrib(const std::optional<std::string>& value);
    int SetTimes(FileTimeNs access, FileTimeNs modification);

  private:
    int fd_ = -1;
    FileStamp stamp_;
    uint32_t mode_ = 0;
    std::string procPath_;
};

}  // namespace quorvan
