#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvan {

// An advisory lock for a run in a folder: exclusive on the folder itself
// (flock), shared on every folder above it. So two runs never work in one
// folder, whatever its spelling and in whatever process, and neither does a
// run in a folder inside another run's folder, whose subfolders that run may
// reach. The lock dies with its process, so a killed run never blocks.
class CFolderLock final {
  public:
    CFolderLock() = default;
    ~CFolderLock() { Release(); }
    CFolderLock(CFolderLock&& other) noexcept;
    CFolderLock& operator=(CFolderLock&& other) noexcept;
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Takes the lock without waiting. 0; EWOULDBLOCK when another run works
    // in this folder; EBUSY when another works in a folder above it or
    // inside it; or the errno of opening the folder. A folder above that
    // cannot be read is passed over.
    int TryLock(const std::string& folder);
    void Release();
    bool Held() const { return fd_ >= 0; }
    // The locked folder's device and inode; false when none is held.
    bool Identity(uint64_t& device, uint64_t& inode) const;

  private:
    int fd_ = -1;
    std::vector<int> above_;  // shared locks of the folders above
};

}  // namespace quorvan
