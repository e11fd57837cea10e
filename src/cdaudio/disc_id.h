#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cdaudio/cddb_types.h"
#include "platform/cdrom.h"

namespace quorvan {

// The track table of a disc from its tracks as the drive reports them: starts
// as minute/second/frame, lengths in whole minutes and seconds, and a lead-out
// one frame past the end of the last track. Empty when there is no track or no
// audio track.
CdTrackTable BuildTrackTable(const std::vector<CdTrackFacts>& tracks);

// The absolute frame of an entry's start.
int32_t EntryFrame(const CdTrackEntry& entry);

// The CDDB disc id of a table of n tracks and the lead-out (n ≥ 1; 0 for a
// table without tracks).
uint32_t ComputeDiscId(const CdTrackTable& table);

// "%08x" of an id.
std::string DiscIdText(uint32_t discId);

// The arguments of "cddb query" after the disc id: track count, the frame
// offsets joined by "+", and the disc length in whole seconds.
struct CddbQueryArguments {
    std::string discId;
    std::string trackCount;
    std::string offsets;
    std::string discLength;
};
CddbQueryArguments QueryArguments(uint32_t discId, const CdTrackTable& table);

}  // namespace quorvan
