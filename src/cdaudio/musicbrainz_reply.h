#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvan {

// One track of the medium that holds the disc.
struct MusicBrainzTrack {
    std::string title;
    std::string artist;  // the artist credit as printed ("A feat. B")
};

// A release that holds the disc, with the one medium that matches it.
struct MusicBrainzRelease {
    std::string id;
    std::string artist;
    std::string title;
    std::string date;     // "1991-04-01", "2007" or empty
    std::string country;  // "US", "XE" or empty
    std::string format;   // the medium's ("CD"), with "2/3" for a set
    std::vector<MusicBrainzTrack> tracks;

    std::string Year() const { return date.substr(0, 4); }
};

// Reads a reply of /ws/2/discid/... (a disc with its releases, or the
// releases of a table-of-contents search). In each release the medium that
// lists `discId` is taken, else the first with `trackCount` tracks; releases
// without such a medium are left out; a CD stub gives no release. False,
// with `error` set, when the body is not such a reply.
bool ParseMusicBrainzReleases(std::string_view body, const std::string& discId, int trackCount,
                              std::vector<MusicBrainzRelease>& releases, std::string& error);

// The "error" text of an error reply ({"error": "Not Found", ...}); empty
// when the body holds none.
std::string MusicBrainzErrorText(std::string_view body);

// The title a track gets in the retrieved list: "Artist - Title" when the
// track's artist is not the release's (a compilation), else the title.
std::string MusicBrainzTrackTitle(const MusicBrainzRelease& release, size_t track);

}  // namespace quorvan
