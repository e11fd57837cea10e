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

// What recognises a file later, across remounts and over time:
//  - the file system by its stable id (statfs's f_fsid, which ext4 and btrfs
//    take from the file system's UUID); the device number is only a hint, as
//    btrfs, loop devices and re-plugged disks get another one at each mount;
//  - the inode number;
//  - what tells a reused inode number from the old file: the inode's
//    generation (FS_IOC_GETVERSION) where the file system gives one, the
//    birth time where it keeps one, else size and modification time;
//  - on an overlay mount the file is first copied up to the upper layer (a
//    rename would do that and give it a new inode and birth time), so that it
//    is recorded on the terms it keeps from then on.
// Size and modification time also say whether the content changed since.
struct FileStamp {
    uint64_t dev = 0;   // a hint
    uint64_t fsid = 0;  // zero where the file system gives none
    uint64_t ino = 0;
    uint32_t gen = 0;
    bool hasGen = false;
    int64_t size = 0;
    FileTimeNs mtime;
    FileTimeNs btime;  // zero where the file system keeps none

    // The same inode of the same file system, and no reused number: for a
    // file whose content or times the run changed itself.
    bool SameInode(const FileStamp& other) const;
    // SameInode, and where neither generation nor birth time tell a reused
    // number apart, the same size and modification time.
    bool SameFile(const FileStamp& other) const;
    bool operator==(const FileStamp&) const = default;
};

// A file's device and inode as a key, for telling files apart within one
// mount (hash tables, sets); zero for not known.
struct DeviceInode {
    // A constructor, not an aggregate, so that emplace(dev, ino) builds with clang 15 too.
    DeviceInode() = default;
    DeviceInode(uint64_t d, uint64_t i) : dev(d), ino(i) {}
    uint64_t dev = 0;
    uint64_t ino = 0;
    auto operator<=>(const DeviceInode&) const = default;
};
inline DeviceInode DeviceInodeOf(const FileStamp& stamp) {
    return {stamp.dev, stamp.ino};
}

// True when the folder descriptor `dirFd` is on an overlay mount.
bool IsOverlayFolder(int dirFd);

// The stamp of the entry `name` in the folder `dirFd` (or AT_FDCWD and a
// path) itself, a symbolic link not followed. `overlay`: the folder is on an
// overlay mount, and a regular file is copied up first. 0 or an errno value.
int StampAt(int dirFd, const std::string& name, FileStamp& stamp, uint32_t* mode = nullptr,
            bool overlay = false);

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
    // Its st_mode when opened.
    uint32_t Mode() const { return mode_; }

    // Each returns 0 or an errno value. Permissions: of anything but a
    // symbolic link (a FIFO or a device is never opened for it).
    int SetPermissions(uint32_t permissions);
    // The user.DOSATTRIB value, none where there is none or the file system
    // keeps no such attributes.
    int GetDosAttrib(std::optional<std::string>& value) const;
    // Stores `value` as user.DOSATTRIB, or removes it for none (an absent
    // value is no error); only a regular file or a folder holds one.
    int SetDosAttrib(const std::optional<std::string>& value);
    // The times of the entry itself, a symbolic link's own included.
    int SetTimes(FileTimeNs access, FileTimeNs modification);

  private:
    int fd_ = -1;
    FileStamp stamp_;
    uint32_t mode_ = 0;
    std::string procPath_;
};

}  // namespace quorvan
