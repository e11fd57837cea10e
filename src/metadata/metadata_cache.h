#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "metadata/file_metadata.h"

namespace quorvan {

// What a file's metadata was read from: the same device, inode, size and
// modification time mean the same content, so the values still hold.
struct MetadataKey {
    uint64_t dev = 0;
    uint64_t ino = 0;
    int64_t size = 0;
    int64_t mtimeSec = 0;
    int64_t mtimeNsec = 0;

    bool operator==(const MetadataKey&) const = default;
};

struct MetadataKeyHash {
    size_t operator()(const MetadataKey& k) const noexcept;
};

// The values read so far, kept while the files stay as they are, so that a
// preview after each keystroke reads every file once. Safe for several readers.
class CMetadataCache final {
  public:
    // The values of `path` for `needs`, read only when not known yet for the
    // file as it is now. The key, size and modification time go to `file`
    // when given (a template names them too).
    FileMetadata Get(const std::string& path, unsigned needs, MetadataKey* file = nullptr);

    size_t Size() const;
    void Clear();

  private:
    struct Cached {
        unsigned needs = 0;
        FileMetadata values;
    };
    mutable std::mutex mutex_;
    std::unordered_map<MetadataKey, Cached, MetadataKeyHash> entries_;
};

// Reads the metadata of every path into `cache` on all cores, before a plan
// is computed. `progress` (when given) hears how many are done, from any of
// the reading threads; a set `cancel` stops between files. False when
// cancelled.
bool ReadAllMetadata(const std::vector<std::string>& paths, unsigned needs, CMetadataCache& cache,
                     const std::atomic<bool>* cancel = nullptr,
                     const std::function<void(size_t)>& progress = {});

}  // namespace quorvan
