#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cdaudio/cddb_types.h"

namespace quorvan {

inline constexpr const char* kDefaultCddbHost = "gnudb.gnudb.org";
inline constexpr int32_t kDefaultCddbPort = 80;
inline constexpr const char* kCddbPath = "/~cddb/cddb.cgi";

// What the "CDDB settings" dialog edits. An empty e-mail address means the
// hello names the login and host instead.
struct CddbSettings {
    std::string host = kDefaultCddbHost;
    int32_t port = kDefaultCddbPort;
    std::string email;

    bool operator==(const CddbSettings&) const = default;
};

// The CDDB settings in the per-user store (file "cddb" beside the usage
// counters), never in settings files. Missing or unreadable values read as
// the defaults.
class CCddbSettingsStore final {
  public:
    // The store in the usage counters' folder.
    CCddbSettingsStore();
    explicit CCddbSettingsStore(std::string folder);

    CddbSettings Load() const;
    // Stores valid settings; false (nothing stored) when they are invalid or
    // the store cannot be written.
    bool Save(const CddbSettings& settings);

  private:
    std::string folder_;
};

// Why the settings cannot be used, as a sentence for the dialog; empty when
// they are fine.
std::string ValidateCddbSettings(const CddbSettings& settings);

// "host:port" or "[v6 address]:port".
bool ParseServerAddress(std::string_view text, std::string& host, int32_t& port);

// The server to ask: QUORVAN_CDDB_SERVER when it holds a valid "host:port",
// else the stored host and port; the gateway path is fixed.
CddbSite EffectiveCddbServer(const CddbSettings& settings);

}  // namespace quorvan
