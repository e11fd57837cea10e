#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvan {

// Where "Get names" looks a disc up.
enum class CdLookupSource { Cddb, MusicBrainz };

// "cddb" or "musicbrainz", as the command line's --source and the store say.
const char* LookupSourceName(CdLookupSource source);
std::optional<CdLookupSource> ParseLookupSource(std::string_view name);

// The choice of the CD Audio page, kept beside the CDDB settings (the same
// per-user store, value "CdLookupSource"). Missing or unreadable: CDDB.
class CLookupSourceStore final {
  public:
    CLookupSourceStore();  // the usage counters' folder
    explicit CLookupSourceStore(std::string folder);

    CdLookupSource Load() const;
    bool Save(CdLookupSource source);

  private:
    std::string folder_;
};

}  // namespace quorvan
