#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvan {

// One row of the track table: start position in minute/second/frame and the
// length in minutes and seconds (its frames dropped).
struct CdTrackEntry {
    int32_t startMinute = 0;
    int32_t startSecond = 0;
    int32_t startFrame = 0;
    int32_t lengthMinutes = 0;
    int32_t lengthSeconds = 0;

    bool operator==(const CdTrackEntry&) const = default;
};

// n tracks then the lead-out (lengths 0) after a successful read; empty after
// a failed one.
using CdTrackTable = std::vector<CdTrackEntry>;

// A CDDB server, as listed by "sites" and as the address of a request.
struct CddbSite {
    std::string host;
    int32_t port = 80;
    std::string path = "/~cddb/cddb.cgi";
    bool north = true;
    int32_t latitude = 0;  // degrees × 60 + minutes
    bool east = true;
    int32_t longitude = 0;
    std::string description;
};

// One disc found by a query.
struct CddbMatch {
    std::string category;
    uint32_t discId = 0;
    std::string artist;
    std::string title;
};

// A disc's xmcd entry.
struct CddbDiscRecord {
    std::vector<int32_t> frameOffsets;
    int32_t discLength = 0;  // seconds
    int32_t revision = 0;
    std::string submitterName;
    std::string submitterVersion;
    std::string submitterComment;
    uint32_t discId = 0;
    std::string artist;
    std::string title;
    std::vector<std::string> trackTitles;
    std::string extendedData;
    std::vector<std::string> extendedTrackData;
    std::vector<int32_t> playOrder;
    int32_t year = 0;
    std::string genre;
};

}  // namespace quorvan
