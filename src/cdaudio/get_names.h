#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cdaudio/cddb_client.h"
#include "cdaudio/cddb_settings.h"
#include "cdaudio/track_names.h"

namespace quorvan {

inline constexpr const char* kCdInfoError = "Unable to get this CD's information.";
inline constexpr const char* kNoDriveSelected = "No CD drive is selected.";
inline constexpr const char* kErrorCaption = "Error...";

// The outcome of "Get names". On failure `message` is the one message box to
// show (caption kErrorCaption) and the lists stay as they were.
struct GetNamesResult {
    bool ok = false;
    std::string message;
    // On failure after the server answered: its status line, which says why
    // ("500 Invalid e-mail address."); empty otherwise.
    std::string serverStatus;
    std::optional<uint32_t> discId;  // known once the table of contents was read
    CddbDiscRecord record;
    std::vector<RetrievedTitle> titles;
};

// "Get names" for `drive` (empty: none selected): reads the table of contents
// and disc id, asks `server` for its sites (a server without other sites
// still answers the rest), the disc's matches and the first match's entry,
// and turns its titles into rows. Blocks until done.
GetNamesResult GetNames(CCddbClient& client, const std::string& drive, const CddbSite& server);

// Gives the client the stored e-mail address for its hello. The page then
// calls, for example:
//     CddbSettings settings = CCddbSettingsStore().Load();
//     ApplyCddbSettings(client, settings);
//     GetNamesResult result = GetNames(client, drive, EffectiveCddbServer(settings));
void ApplyCddbSettings(CCddbClient& client, const CddbSettings& settings);

}  // namespace quorvan
