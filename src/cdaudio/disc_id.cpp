#include "cdaudio/disc_id.h"

#include <cstdio>

namespace quorvan {

namespace {

CdTrackEntry EntryAt(int32_t frame) {
    CdTrackEntry entry;
    entry.startMinute = frame / 4500;
    entry.startSecond = (frame / 75) % 60;
    entry.startFrame = frame % 75;
    return entry;
}

int32_t DigitSum(int32_t value) {
    int32_t sum = 0;
    for (; value > 0; value /= 10) {
        sum += value % 10;
    }
    return sum;
}

}  // namespace

CdTrackTable BuildTrackTable(const std::vector<CdTrackFacts>& tracks) {
    CdTrackTable table;
    bool anyAudio = false;
    for (const CdTrackFacts& track : tracks) {
        anyAudio = anyAudio || track.audio;
    }
    if (!anyAudio) {
        return table;
    }
    table.reserve(tracks.size() + 1);
    for (const CdTrackFacts& track : tracks) {
        CdTrackEntry entry = EntryAt(track.start);
        entry.lengthMinutes = track.length / 4500;
        entry.lengthSeconds = (track.length / 75) % 60;
        table.push_back(entry);
    }
    // The lead-out follows the last track's start and its full length, frames
    // included, as the drive reports them.
    const CdTrackFacts& last = tracks.back();
    int32_t lengthMinute = last.length / 4500;
    int32_t lengthSecond = (last.length / 75) % 60;
    int32_t lengthFrame = last.length % 75;
    const CdTrackEntry& start = table.back();
    int32_t leadOut =
        ((start.startMinute + lengthMinute) * 60 + start.startSecond + lengthSecond) * 75 +
        start.startFrame + lengthFrame + 1;
    table.push_back(EntryAt(leadOut));
    return table;
}

int32_t EntryFrame(const CdTrackEntry& entry) {
    return entry.startMinute * 4500 + entry.startSecond * 75 + entry.startFrame;
}

uint32_t ComputeDiscId(const CdTrackTable& table) {
    if (table.size() < 2) {
        return 0;
    }
    uint32_t n = static_cast<uint32_t>(table.size() - 1);
    uint32_t sum = 0;
    for (uint32_t i = 0; i < n; ++i) {
        sum += static_cast<uint32_t>(DigitSum(table[i].startMinute * 60 + table[i].startSecond));
    }
    const CdTrackEntry& leadOut = table[n];
    uint32_t playing = static_cast<uint32_t>((leadOut.startMinute * 60 + leadOut.startSecond) -
                                             (table[0].startMinute * 60 + table[0].startSecond));
    return ((sum % 255) << 24) | (playing << 8) | n;
}

std::string DiscIdText(uint32_t discId) {
    char text[16];
    snprintf(text, sizeof text, "%08x", discId);
    return text;
}

CddbQueryArguments QueryArguments(uint32_t discId, const CdTrackTable& table) {
    CddbQueryArguments arguments;
    arguments.discId = DiscIdText(discId);
    size_t n = table.empty() ? 0 : table.size() - 1;
    arguments.trackCount = std::to_string(n);
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) {
            arguments.offsets += '+';
        }
        arguments.offsets += std::to_string(EntryFrame(table[i]));
    }
    int32_t seconds = n > 0 ? table[n].startMinute * 60 + table[n].startSecond : 0;
    arguments.discLength = std::to_string(seconds);
    return arguments;
}

}  // namespace quorvan
