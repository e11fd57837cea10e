#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "run/run_worker.h"

namespace quorvan::test {

// Holds a run's worker before the work of each file from the `holdFrom`-th on
// (1-based) until the test opens the gate: a file that takes as long as the
// test wants. The worker's hook is removed when the gate goes.
class WorkerGate final {
  public:
    explicit WorkerGate(int holdFrom = 1) : holdFrom_(holdFrom) {
        SetBeforeFileHook([this](const std::string&) {
            std::unique_lock lock(mutex_);
            if (++reached_ >= holdFrom_) {
                changed_.notify_all();
                changed_.wait(lock, [this] { return open_; });
            }
        });
    }
    ~WorkerGate() {
        Open();
        SetBeforeFileHook({});
    }
    WorkerGate(const WorkerGate&) = delete;
    WorkerGate& operator=(const WorkerGate&) = delete;

    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // Waits until the worker is held (true) or the time is up.
    bool WaitUntilHeld(int timeoutMs = 20000) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [this] { return reached_ >= holdFrom_; });
    }

  private:
    const int holdFrom_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int reached_ = 0;
    bool open_ = false;
};

}  // namespace quorvan::test
