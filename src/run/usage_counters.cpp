#include "run/usage_counters.h"

#include "common/product.h"
#include "common/text.h"

namespace quorvan {

CUsageRegistry::CUsageRegistry(const std::string& appGuid) {
    store_.CreateIfMissing({{kValueAppGuid, appGuid},
                            {kValueStartCount, "0"},
                            {kValueTimesUsed, "0"},
                            {kValueFilesProcessed, "0"}});
}

bool CUsageRegistry::WriteValue(const std::string& name, const std::string& text) {
    return store_.Write(name, text);
}

bool CUsageRegistry::ReadValue(const std::string& name, std::string& text) const {
    auto value = store_.Read(name);
    if (!value) {
        return false;
    }
    text = *value;
    return true;
}

int32_t CUsageRegistry::ReadCounter(const std::string& name) const {
    std::string text;
    return ReadValue(name, text) ? ParseLong(text) : 0;
}

int32_t CUsageRegistry::ReadStartCount() const {
    return ReadCounter(kValueStartCount);
}
int32_t CUsageRegistry::ReadTimesUsed() const {
    return ReadCounter(kValueTimesUsed);
}
int32_t CUsageRegistry::ReadFilesProcessed() const {
    return ReadCounter(kValueFilesProcessed);
}

bool CUsageRegistry::WriteStartCount(int32_t value) {
    return WriteValue(kValueStartCount, FormatLong(value));
}
bool CUsageRegistry::WriteTimesUsed(int32_t value) {
    return WriteValue(kValueTimesUsed, FormatLong(value));
}
bool CUsageRegistry::WriteFilesProcessed(int32_t value) {
    return WriteValue(kValueFilesProcessed, FormatLong(value));
}

int32_t CUsageRegistry::AddToCounter(const std::string& name, int32_t delta, bool* stored) {
    int32_t result = 0;
    bool computed = false;
    bool ok = store_.Update([&](CCounterStore::Values& values) {
        auto it = values.find(name);
        int32_t old = it == values.end() ? 0 : ParseLong(it->second);
        // Unsigned arithmetic wraps without overflow; the conversion back is modular.
        result = static_cast<int32_t>(static_cast<uint32_t>(old) + static_cast<uint32_t>(delta));
        computed = true;
        values[name] = FormatLong(result);
        return true;
    });
    if (!computed) {
        result = static_cast<int32_t>(static_cast<uint32_t>(ReadCounter(name)) +
                                      static_cast<uint32_t>(delta));
    }
    if (stored) {
        *stored = ok;
    }
    return result;
}

}  // namespace quorvan
