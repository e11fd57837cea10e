#include "cli/cd_names_command.h"

#include <cstdlib>
#include <string>

#include "cdaudio/cddb_settings.h"
#include "cdaudio/disc_id.h"
#include "cdaudio/get_names.h"
#include "cdaudio/musicbrainz_client.h"
#include "cli/cli_session.h"
#include "platform/cdrom.h"

namespace quorvan::cli {

namespace {

int PrintTitles(const std::vector<RetrievedTitle>& titles, FILE* out) {
    for (const RetrievedTitle& title : titles) {
        fprintf(out, "%s\t%s\t%s\n", title.number.c_str(), title.name.c_str(),
                title.length.c_str());
    }
    fflush(out);
    return ferror(out) ? kExitSomeFailed : kExitDone;
}

// A text from the service in a tab-separated line: tabs and line breaks
// would break the columns, other control characters could drive a terminal.
std::string Field(const std::string& text) {
    std::string field = text;
    for (char& c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            c = ' ';
        }
    }
    return field;
}

int RunMusicBrainzNames(const CliOptions& options, const std::string& drive, FILE* out, FILE* err) {
    std::string base, error;
    if (!EffectiveMusicBrainzUrl(base, error)) {
        PrintError(err, error);
        return kExitUsage;
    }
    CCurlFetcher fetcher;
    CSystemClock clock;
    CMusicBrainzClient client(base, fetcher, clock);
    MusicBrainzNamesResult result = GetMusicBrainzNames(client, drive);
    if (!result.discId.empty()) {
        fprintf(out, "discid %s\n", result.discId.c_str());
    }
    if (!result.ok) {
        PrintError(err, drive + ": " + result.message +
                            (result.details.empty() ? "" : " (" + result.details + ")"));
        return kExitSomeFailed;
    }
    if (result.releases.size() > 1 && options.release == 0) {
        for (size_t i = 0; i < result.releases.size(); ++i) {
            const MusicBrainzRelease& release = result.releases[i];
            fprintf(out, "release\t%zu\t%s\t%s\t%s\t%s\t%s\n", i + 1, Field(release.artist).c_str(),
                    Field(release.title).c_str(), Field(release.Year()).c_str(),
                    Field(release.country).c_str(), Field(release.format).c_str());
        }
        fflush(out);
        PrintError(err, drive + ": " + std::to_string(result.releases.size()) +
                            " releases hold this disc; choose one with --release N");
        return kExitSomeFailed;
    }
    if (options.release > 0) {
        if (static_cast<size_t>(options.release) > result.releases.size()) {
            PrintError(err, "--release " + std::to_string(options.release) + ": only " +
                                std::to_string(result.releases.size()) +
                                " releases hold this disc");
            return kExitUsage;
        }
        std::string message;
        if (!TitlesOfRelease(result.releases[static_cast<size_t>(options.release) - 1],
                             result.table, result.titles, message)) {
            PrintError(err, drive + ": " + message);
            return kExitSomeFailed;
        }
    }
    return PrintTitles(result.titles, out);
}

}  // namespace

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
    if (options.source == "musicbrainz") {
        return RunMusicBrainzNames(options, drive, out, err);
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
    return PrintTitles(result.titles, out);
}

}  // namespace quorvan::cli
