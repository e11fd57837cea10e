#include "cdaudio/lookup_source.h"

#include "platform/counter_store.h"

namespace quorvan {

namespace {

// The CDDB settings' store: the choice belongs with them.
constexpr const char* kStoreName = "cddb";
constexpr const char* kValueSource = "CdLookupSource";

}  // namespace

const char* LookupSourceName(CdLookupSource source) {
    return source == CdLookupSource::MusicBrainz ? "musicbrainz" : "cddb";
}

std::optional<CdLookupSource> ParseLookupSource(std::string_view name) {
    if (name == "cddb") {
        return CdLookupSource::Cddb;
    }
    if (name == "musicbrainz") {
        return CdLookupSource::MusicBrainz;
    }
    return std::nullopt;
}

CLookupSourceStore::CLookupSourceStore() : folder_(CCounterStore::DefaultFolder()) {}

CLookupSourceStore::CLookupSourceStore(std::string folder) : folder_(std::move(folder)) {}

CdLookupSource CLookupSourceStore::Load() const {
    std::optional<std::string> value = CCounterStore(folder_, kStoreName).Read(kValueSource);
    std::optional<CdLookupSource> source = value ? ParseLookupSource(*value) : std::nullopt;
    return source.value_or(CdLookupSource::Cddb);
}

bool CLookupSourceStore::Save(CdLookupSource source) {
    CCounterStore store(folder_, kStoreName);
    return store.Update([&](CCounterStore::Values& values) {
        values[kValueSource] = LookupSourceName(source);
        return true;
    });
}

}  // namespace quorvan
