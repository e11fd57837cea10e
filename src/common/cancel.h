#pragma once

#include <atomic>
#include <cstddef>

namespace quorvan {

// A request from another thread to give up long work. Functions take a
// pointer that may be null: nobody can cancel them then.
using CancelFlag = std::atomic<bool>;

// Whether to stop now; looked at only every 1024th step, so that a loop over
// a million names pays next to nothing for it.
inline bool CancelledAt(const CancelFlag* cancel, size_t step) {
    return cancel != nullptr && (step & 1023) == 0 && cancel->load(std::memory_order_relaxed);
}

inline bool Cancelled(const CancelFlag* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

}  // namespace quorvan
