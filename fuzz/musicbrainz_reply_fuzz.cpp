// Replies of the MusicBrainz disc lookup, whatever bytes the network brings:
// the reader never crashes, keeps to its limits, and the titles it gives make
// file names that stay in the track's folder.
#include <cstdint>
#include <string>
#include <string_view>

#include "cdaudio/musicbrainz_client.h"
#include "cdaudio/musicbrainz_reply.h"
#include "fuzz_support.h"

using quorvan::fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    // The seeds' own disc ids and track counts are among those tried.
    static const std::pair<const char*, int> kDiscs[] = {
        {"nN2g3a0ZSjovyIgK3bJl6_.j8C4-", 1},
        {"xAq8L4ELMW14.6wI6tt7QAcxiDI-", 12},
        {"f7XO36a7n1LCCskkCiulReWbwZA-", 18},
        {"IeldkVfIh1wep_M8CMuDvA0nQ7Q-", 9},
    };
    size_t pick = size % 4;
    for (size_t i = 0; i < 4; ++i) {
        if (body.find(kDiscs[i].first) != std::string_view::npos) {
            pick = i;
            break;
        }
    }
    const auto& [discId, trackCount] = kDiscs[pick];
    std::vector<quorvan::MusicBrainzRelease> releases;
    std::string error;
    const bool read = quorvan::ParseMusicBrainzReleases(body, discId, trackCount, releases, error);
    QUORVAN_FUZZ_CHECK(read == error.empty(), "success %d with error %s", read,
                       Shown(error).c_str());
    QUORVAN_FUZZ_CHECK(releases.size() <= 500, "%zu releases", releases.size());
    quorvan::CdTrackTable table(static_cast<size_t>(trackCount) + 1);
    for (const quorvan::MusicBrainzRelease& release : releases) {
        QUORVAN_FUZZ_CHECK(release.tracks.size() <= 99, "%zu tracks", release.tracks.size());
        std::vector<quorvan::RetrievedTitle> titles;
        std::string message;
        if (!quorvan::TitlesOfRelease(release, table, titles, message)) {
            QUORVAN_FUZZ_CHECK(release.tracks.empty() && !message.empty(), "no titles: %s",
                               Shown(message).c_str());
            continue;
        }
        for (const quorvan::RetrievedTitle& title : titles) {
            QUORVAN_FUZZ_CHECK(!title.name.empty() && title.name != "." && title.name != ".." &&
                                   title.name.find('/') == std::string::npos &&
                                   title.name.find('\0') == std::string::npos,
                               "title %s", Shown(title.name).c_str());
        }
    }
    quorvan::MusicBrainzErrorText(body);
    return 0;
}
