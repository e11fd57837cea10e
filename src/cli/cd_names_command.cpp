#include "cli/cd_names_command.h"

#include <cstdlib>
#include <string>

#include "cdaudio/cddb_settings.h"
#include "cdaudio/disc_id.h"
#include "cdaudio/get_names.h"
#include "cli/cli_session.h"
#include "platform/cdrom.h"

namespace quorvan::cli {

int RunCdNames(const CliOptions& options, FILE* out, FILE* err) {
    std::string drive = options.folder;
    if (drive.empty()) {
        std::vector<CdDrive> drives = ListCdDrives();
        if (drives.empty()) {
            PrintError(err,
                       "no CD drive found (set QUORVAN_CDROM_TOC to use a table-of-contents file)");
            return kExitUsage;
        }
        drive = drives.front().path;
    }
    if (const char* server = getenv("QUORVAN_CDDB_SERVER"); server != nullptr) {
        std::string host;
        int32_t port = 0;
        if (!ParseServerAddress(server, host, port)) {
            PrintError(err,
                       std::string("QUORVAN_CDDB_SERVER must be host:port, not '") + server + "'");
            return kExitUsage;
        }
    }
    CddbSettings settings = CCddbSettingsStore().Load();
    CCddbClient client;
    ApplyCddbSettings(client, settings);
    GetNamesResult result = GetNames(client, drive, EffectiveCddbServer(settings));
    if (result.discId) {
        fprintf(out, "discid %s\n", DiscIdText(*result.discId).c_str());
    }
    if (!result.ok) {
        PrintError(err, drive + ": " + result.message);
        return kExitSomeFailed;
    }
    for (const RetrievedTitle& title : result.titles) {
        fprintf(out, "%s\t%s\t%s\n", title.number.c_str(), title.name.c_str(),
                title.length.c_str());
    }
    fflush(out);
    return ferror(out) ? kExitSomeFailed : kExitDone;
}

}  // namespace quorvan::cli
