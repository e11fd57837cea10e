#pragma once

#include <string>

namespace quorvan {

// An exclusive advisory lock on a folder (flock on the folder itself): two
// runs in one folder, whatever its spelling and in whatever process, never
// overlap. The lock dies with its process, so a killed run never blocks.
class CFolderLock final {
  public:
    CFolderLock() = default;
    ~CFolderLock() { Release(); }
    CFolderLock(CFolderLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    CFolderLock& operator=(CFolderLock&& other) noexcept;
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Takes the lock without waiting. 0, EWOULDBLOCK when another holds it,
    // or the errno of opening the folder.
    int TryLock(const std::string& folder);
    void Release();
    bool Held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

}  // namespace quorvan
