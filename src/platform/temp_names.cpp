#include "platform/temp_names.h"

#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>

namespace quorvan {

std::string TemporaryNameIn(const std::string& folder, const std::string& tag) {
    static std::atomic<uint64_t> counter{0};
    uint64_t bits = 0;
    // getrandom rarely fails; the clock and a counter make a unique enough name.
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        bits = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
               (static_cast<uint64_t>(getpid()) << 32) ^ counter.fetch_add(1);
    }
    static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = folder;
    if (!name.empty() && name.back() != '/') {
        name += '/';
    }
    name += kTemporaryPrefix;
    if (!tag.empty()) {
        // A tag never makes the name too long for the file system.
        name += tag.substr(0, 200);
        name += '-';
    }
    for (int i = 0; i < 10; ++i) {
        name += kDigits[bits % 36];
        bits /= 36;
    }
    return name;
}

}  // namespace quorvan
