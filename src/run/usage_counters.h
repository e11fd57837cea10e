#pragma once

#include <cstdint>
#include <string>

#include "platform/counter_store.h"

namespace quorvan {

// The three usage counters (starts, runs, files processed) and the
// installation's GUID, kept as decimal texts in the per-user counter store.
// Short-lived: every read and write goes to the store. Failures are silent:
// counters read as 0 and writes report false.
class CUsageRegistry final {
  public:
    // Creates the store with "AppGuidStr" = `appGuid` and the three counters
    // at "0" when it does not exist yet; an existing store is not touched.
    explicit CUsageRegistry(const std::string& appGuid);

    bool WriteValue(const std::string& name, const std::string& text);
    bool ReadValue(const std::string& name, std::string& text) const;

    // The leading decimal digits of the value ("12abc" is 12); 0 when the value
    // is missing, empty or unreadable.
    int32_t ReadStartCount() const;
    int32_t ReadTimesUsed() const;
    int32_t ReadFilesProcessed() const;
    int32_t ReadCounter(const std::string& name) const;

    bool WriteStartCount(int32_t value);
    bool WriteTimesUsed(int32_t value);
    bool WriteFilesProcessed(int32_t value);

    // Adds `delta` to a counter in one locked step, so that a worker and a
    // window (or two program instances) never lose each other's update.
    // Returns the new value, wrapping at 32 bits; `stored` tells whether it
    // could be saved (when not, the result is what it would have been).
    int32_t AddToCounter(const std::string& name, int32_t delta, bool* stored = nullptr);

  private:
    CCounterStore store_;
};

}  // namespace quorvan
