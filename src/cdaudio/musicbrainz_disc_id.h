#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/cdrom.h"

namespace quorvan {

// A disc's table of contents as MusicBrainz counts it: the audio session
// only. An enhanced CD's trailing data tracks are left out and its audio ends
// 11400 frames (the gap between the sessions) before the first of them.
struct MusicBrainzToc {
    int first = 1;
    int last = 0;
    int32_t leadOut = 0;
    std::vector<int32_t> offsets;  // absolute start frames, first to last

    int TrackCount() const { return static_cast<int>(offsets.size()); }
    bool operator==(const MusicBrainzToc&) const = default;
};

// The table from the drive's tracks; last is 0 when there is no audio track.
MusicBrainzToc MusicBrainzTocOf(const std::vector<CdTrackFacts>& tracks);

// The 28-character MusicBrainz disc id of a table (libdiscid); empty when
// libdiscid refuses the table, with its reason in `error`.
std::string MusicBrainzDiscId(const MusicBrainzToc& toc, std::string* error = nullptr);

// "first last leadout offset..." separated by blanks, as the toc parameter of
// a disc id lookup takes it (before URL encoding).
std::string MusicBrainzTocText(const MusicBrainzToc& toc);

}  // namespace quorvan
