#include "metadata/metadata_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <thread>

namespace quorvan {

size_t MetadataKeyHash::operator()(const MetadataKey& k) const noexcept {
    uint64_t h = k.ino * 0x9E3779B97F4A7C15ull;
    h ^= k.dev + 0x7F4A7C15ull + (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(k.mtimeNsec) + (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(k.size) + (h << 6) + (h >> 2);
    return static_cast<size_t>(h);
}

FileMetadata CMetadataCache::Get(const std::string& path, unsigned needs, MetadataKey* file) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return {};
    }
    MetadataKey key{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                    static_cast<int64_t>(st.st_size), static_cast<int64_t>(st.st_mtim.tv_sec),
                    static_cast<int64_t>(st.st_mtim.tv_nsec)};
    if (file != nullptr) {
        *file = key;
    }
    if (needs == kNeedNone || !S_ISREG(st.st_mode)) {
        return {};
    }
    unsigned missing = needs;
    {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(key);
        if (it != entries_.end()) {
            missing &= ~it->second.needs;
            if (missing == 0) {
                return it->second.values;
            }
        }
    }
    // Read outside the lock: the other cores read other files meanwhile.
    FileMetadata read = ReadFileMetadata(path, missing);
    std::lock_guard lock(mutex_);
    Cached& cached = entries_[key];
    CopyKinds(read, cached.values, missing);
    cached.needs |= missing;
    return cached.values;
}

size_t CMetadataCache::Size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void CMetadataCache::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

bool ReadAllMetadata(const std::vector<std::string>& paths, unsigned needs, CMetadataCache& cache,
                     const std::atomic<bool>* cancel, const std::function<void(size_t)>& progress) {
    if (needs == kNeedNone || paths.empty()) {
        return true;
    }
    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    auto work = [&] {
        for (size_t i = next++; i < paths.size(); i = next++) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                return;
            }
            cache.Get(paths[i], needs);
            size_t count = ++done;
            if (progress) {
                progress(count);
            }
        }
    };
    // Reading is mostly waiting for the disk and parsing headers: one thread
    // per core keeps both busy.
    unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    threads = static_cast<unsigned>(std::min<size_t>(threads, paths.size()));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    return cancel == nullptr || !cancel->load();
}

}  // namespace quorvan
