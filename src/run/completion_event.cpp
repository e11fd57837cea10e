#include <chrono>

#include "run/run_context.h"

namespace quorvan {

void CCompletionEvent::Reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

void CCompletionEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    changed_.notify_all();
}

bool CCompletionEvent::IsSet() {
    std::lock_guard lock(mutex_);
    return set_;
}

bool CCompletionEvent::WaitFor(int64_t milliseconds) {
    std::unique_lock lock(mutex_);
    if (milliseconds < 0) {
        milliseconds = 0;
    }
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                             [this] { return set_; });
}

}  // namespace quorvan
