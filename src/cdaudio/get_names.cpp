#include "cdaudio/get_names.h"

#include <cstdio>

#include "cdaudio/disc_id.h"

namespace quorvan {

GetNamesResult GetNames(CCddbClient& client, const std::string& drive, const CddbSite& server) {
    GetNamesResult result;
    if (drive.empty()) {
        result.message = kNoDriveSelected;
        return result;
    }
    uint32_t discId = 0;
    if (!client.ReadDiscId(drive, discId)) {
        char text[512];
        snprintf(text, sizeof text,
                 "An error occurred while retrieving the DISC ID, Error:%d, Text:%s",
                 client.GetErrorCode(), client.GetErrorText().c_str());
        result.message = text;
        return result;
    }
    result.discId = discId;
    std::vector<CddbSite> sites;
    CdTrackTable table;
    std::vector<CddbMatch> matches;
    if (!client.QuerySites(server.host, server.port, server.path, sites) ||
        !client.ReadToc(table, drive) || !client.QueryDisc(server, discId, table, matches) ||
        !client.ReadDisc(server, matches.front().category, matches.front().discId, result.record)) {
        result.message = kCdInfoError;
        result.serverStatus = client.ServerStatusLine();
        return result;
    }
    result.titles = RetrievedTitles(result.record, table);
    result.ok = true;
    return result;
}

void ApplyCddbSettings(CCddbClient& client, const CddbSettings& settings) {
    client.SetEmailAddress(settings.email);
}

}  // namespace quorvan
