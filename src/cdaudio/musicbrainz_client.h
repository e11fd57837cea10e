#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cdaudio/cddb_types.h"
#include "cdaudio/http_fetcher.h"
#include "cdaudio/musicbrainz_disc_id.h"
#include "cdaudio/musicbrainz_reply.h"
#include "cdaudio/track_names.h"

namespace quorvan {

inline constexpr const char* kMusicBrainzUrl = "https://musicbrainz.org";
// The service asks every client to name a way to reach its makers; the same
// web site as the About box's.
inline constexpr const char* kMusicBrainzContact = "https://www.example.com/quorvan/";

inline constexpr const char* kMusicBrainzUnknownDisc = "MusicBrainz does not know this CD.";
inline constexpr const char* kMusicBrainzBusy =
    "The MusicBrainz service is busy and refused the request. Please try again in a minute.";
inline constexpr const char* kMusicBrainzRefused =
    "The MusicBrainz service refused the request (HTTP status %ld).";
inline constexpr const char* kMusicBrainzUnreachable =
    "Unable to reach the MusicBrainz service: %s";
inline constexpr const char* kMusicBrainzBadReply =
    "The MusicBrainz service sent a reply that is not a disc lookup's.";
inline constexpr const char* kMusicBrainzNoTitles =
    "MusicBrainz lists this release without its track titles.";

// Whether `url` may be the service's base URL: https://HOST[:PORT][/PATH], or
// plain http:// only on a loopback address (127.x.x.x, [::1]), which is how
// tests reach a local server. `error` says why not.
bool CheckMusicBrainzUrl(std::string_view url, std::string& error);
// QUORVAN_MUSICBRAINZ_URL when set (it must pass the check), else the
// public service. No trailing "/".
bool EffectiveMusicBrainzUrl(std::string& url, std::string& error);

// "Quorvan/1.00 ( https://... )", as the service requires of every client.
std::string MusicBrainzUserAgent();
// Every request's header lines.
std::vector<std::string> MusicBrainzHeaders();
// GET <base>/ws/2/discid/<id>?inc=recordings+artist-credits&fmt=json
std::string DiscIdLookupUrl(const std::string& base, const std::string& discId);
// The same with toc=<first>+<last>+<leadout>+<offsets> first, which also
// finds discs of a similar table of contents, and without CD stubs.
std::string TocLookupUrl(const std::string& base, const std::string& discId,
                         const MusicBrainzToc& toc);

// What a lookup came to. On failure `message` is the sentence for the user
// and `details` the service's own words, when it sent any.
struct MusicBrainzLookup {
    bool ok = false;
    std::string message;
    std::string details;
    std::vector<MusicBrainzRelease> releases;
};

// The web service's disc lookup: at most one request a second (the service's
// rule), a 503 (its answer to too many requests) waited out and retried once.
class CMusicBrainzClient final {
  public:
    CMusicBrainzClient(std::string baseUrl, IHttpFetcher& fetcher, IClock& clock);

    // Looks the disc up by its id; when the id is unknown, by its table.
    MusicBrainzLookup Lookup(const MusicBrainzToc& toc, const std::string& discId);

    // The least time between two requests, and the longest wait a 503's
    // Retry-After may ask for.
    static constexpr std::chrono::milliseconds kSpacing{1000};
    static constexpr std::chrono::milliseconds kLongestRetryWait{10000};

  private:
    HttpReply Fetch(const std::string& url);
    HttpReply FetchOnce(const std::string& url);

    std::string baseUrl_;
    IHttpFetcher& fetcher_;
    IClock& clock_;
    // The earliest moment of the next request.
    std::optional<IClock::TimePoint> notBefore_;
};

// "Get names" from MusicBrainz for `drive`. On success `releases` holds one
// or more releases: with one, `titles` is filled; with several, the user
// picks one and TitlesOfRelease gives its rows.
struct MusicBrainzNamesResult {
    bool ok = false;
    std::string message;
    std::string details;
    std::string discId;
    CdTrackTable table;
    std::vector<MusicBrainzRelease> releases;
    std::vector<RetrievedTitle> titles;
};

MusicBrainzNamesResult GetMusicBrainzNames(CMusicBrainzClient& client, const std::string& drive);

// The retrieved-list rows of one release, lengths from the disc's table.
// False, with `message` set, when the release lists no track titles.
bool TitlesOfRelease(const MusicBrainzRelease& release, const CdTrackTable& table,
                     std::vector<RetrievedTitle>& titles, std::string& message);

}  // namespace quorvan
