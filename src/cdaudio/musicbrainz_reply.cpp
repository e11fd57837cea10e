#include "cdaudio/musicbrainz_reply.h"

#include <nlohmann/json.hpp>

namespace quorvan {

namespace {

using Json = nlohmann::json;

// More than any real lookup lists; a hostile reply is cut there.
constexpr size_t kMaxReleases = 500;
constexpr size_t kMaxTracks = 99;

std::string StringAt(const Json& object, const char* key) {
    if (!object.is_object()) {
        return {};
    }
    auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

long NumberAt(const Json& object, const char* key, long fallback) {
    if (!object.is_object()) {
        return fallback;
    }
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer()) {
        return fallback;
    }
    return it->get<long>();
}

const Json* ArrayAt(const Json& object, const char* key) {
    if (!object.is_object()) {
        return nullptr;
    }
    auto it = object.find(key);
    return it != object.end() && it->is_array() ? &*it : nullptr;
}

// "Isobel Campbell & Mark Lanegan": each credited name and its join phrase.
std::string CreditText(const Json& owner) {
    const Json* credit = ArrayAt(owner, "artist-credit");
    std::string text;
    if (credit == nullptr) {
        return text;
    }
    for (const Json& part : *credit) {
        text += StringAt(part, "name");
        text += StringAt(part, "joinphrase");
    }
    return text;
}

bool ListsDisc(const Json& medium, const std::string& discId) {
    const Json* discs = ArrayAt(medium, "discs");
    if (discs == nullptr || discId.empty()) {
        return false;
    }
    for (const Json& disc : *discs) {
        if (StringAt(disc, "id") == discId) {
            return true;
        }
    }
    return false;
}

long TrackCountOf(const Json& medium) {
    const Json* tracks = ArrayAt(medium, "tracks");
    return NumberAt(medium, "track-count",
                    tracks != nullptr ? static_cast<long>(tracks->size()) : -1);
}

const Json* MatchingMedium(const Json& media, const std::string& discId, int trackCount,
                           size_t& position) {
    for (size_t i = 0; i < media.size(); ++i) {
        if (ListsDisc(media[i], discId)) {
            position = i;
            return &media[i];
        }
    }
    for (size_t i = 0; i < media.size(); ++i) {
        if (TrackCountOf(media[i]) == trackCount) {
            position = i;
            return &media[i];
        }
    }
    return nullptr;
}

MusicBrainzTrack TrackOf(const Json& track) {
    MusicBrainzTrack result;
    result.title = StringAt(track, "title");
    result.artist = CreditText(track);
    auto recording = track.is_object() ? track.find("recording") : track.end();
    if (recording != track.end() && recording->is_object()) {
        if (result.title.empty()) {
            result.title = StringAt(*recording, "title");
        }
        if (result.artist.empty()) {
            result.artist = CreditText(*recording);
        }
    }
    return result;
}

bool ReadRelease(const Json& release, const std::string& discId, int trackCount,
                 MusicBrainzRelease& result) {
    const Json* media = ArrayAt(release, "media");
    if (media == nullptr) {
        return false;
    }
    size_t position = 0;
    const Json* medium = MatchingMedium(*media, discId, trackCount, position);
    if (medium == nullptr) {
        return false;
    }
    result.id = StringAt(release, "id");
    result.title = StringAt(release, "title");
    result.artist = CreditText(release);
    result.date = StringAt(release, "date");
    result.country = StringAt(release, "country");
    result.format = StringAt(*medium, "format");
    if (media->size() > 1) {
        const long number = NumberAt(*medium, "position", static_cast<long>(position) + 1);
        result.format += (result.format.empty() ? "" : " ") + std::to_string(number) + "/" +
                         std::to_string(media->size());
    }
    if (const Json* tracks = ArrayAt(*medium, "tracks")) {
        for (const Json& track : *tracks) {
            if (result.tracks.size() >= kMaxTracks) {
                break;
            }
            result.tracks.push_back(TrackOf(track));
        }
    }
    return true;
}

}  // namespace

bool ParseMusicBrainzReleases(std::string_view body, const std::string& discId, int trackCount,
                              std::vector<MusicBrainzRelease>& releases, std::string& error) {
    releases.clear();
    Json reply = Json::parse(body, nullptr, false);
    if (reply.is_discarded() || !reply.is_object()) {
        error = "the reply is not a JSON object";
        return false;
    }
    const Json* list = ArrayAt(reply, "releases");
    if (list == nullptr) {
        // A CD stub (an unchecked track list some user once sent) stands in
        // for releases when the id has none; it is no release to name files by.
        if (ArrayAt(reply, "tracks") != nullptr) {
            return true;
        }
        error = "the reply lists no releases";
        return false;
    }
    for (const Json& release : *list) {
        if (releases.size() >= kMaxReleases) {
            break;
        }
        MusicBrainzRelease read;
        if (release.is_object() && ReadRelease(release, discId, trackCount, read)) {
            releases.push_back(std::move(read));
        }
    }
    return true;
}

std::string MusicBrainzErrorText(std::string_view body) {
    Json reply = Json::parse(body, nullptr, false);
    return reply.is_discarded() ? std::string() : StringAt(reply, "error");
}

std::string MusicBrainzTrackTitle(const MusicBrainzRelease& release, size_t track) {
    if (track >= release.tracks.size()) {
        return {};
    }
    const MusicBrainzTrack& entry = release.tracks[track];
    if (!entry.artist.empty() && entry.artist != release.artist) {
        return entry.artist + " - " + entry.title;
    }
    return entry.title;
}

}  // namespace quorvan
