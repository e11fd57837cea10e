#include "cdaudio/musicbrainz_disc_id.h"

#include <discid/discid.h>

#include <memory>

namespace quorvan {

namespace {

// Between the audio session and the data session of an enhanced CD: the
// lead-out, lead-in and pregap of the second session.
constexpr int32_t kSessionGap = 11400;

}  // namespace

MusicBrainzToc MusicBrainzTocOf(const std::vector<CdTrackFacts>& tracks) {
    MusicBrainzToc toc;
    size_t end = tracks.size();
    while (end > 0 && !tracks[end - 1].audio) {
        --end;
    }
    if (end == 0) {
        return toc;
    }
    for (size_t i = 0; i < end; ++i) {
        toc.offsets.push_back(tracks[i].start);
    }
    toc.last = static_cast<int>(end);
    if (end < tracks.size()) {
        toc.leadOut = tracks[end].start - kSessionGap;
    } else {
        // A track's length ends one frame short of the next start.
        toc.leadOut = tracks.back().start + tracks.back().length + 1;
    }
    return toc;
}

std::string MusicBrainzDiscId(const MusicBrainzToc& toc, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error != nullptr) {
            *error = why;
        }
        return std::string();
    };
    if (toc.offsets.empty() || toc.last != toc.first + toc.TrackCount() - 1 || toc.last > 99) {
        return fail("the disc has no audio tracks");
    }
    std::unique_ptr<DiscId, decltype(&discid_free)> disc(discid_new(), &discid_free);
    if (!disc) {
        return fail("out of memory");
    }
    int offsets[100] = {};
    offsets[0] = toc.leadOut;
    for (int i = 0; i < toc.TrackCount(); ++i) {
        offsets[toc.first + i] = toc.offsets[static_cast<size_t>(i)];
    }
    if (discid_put(disc.get(), toc.first, toc.last, offsets) == 0) {
        return fail(discid_get_error_msg(disc.get()));
    }
    return discid_get_id(disc.get());
}

std::string MusicBrainzTocText(const MusicBrainzToc& toc) {
    std::string text = std::to_string(toc.first) + " " + std::to_string(toc.last) + " " +
                       std::to_string(toc.leadOut);
    for (int32_t offset : toc.offsets) {
        text += " " + std::to_string(offset);
    }
    return text;
}

}  // namespace quorvan
