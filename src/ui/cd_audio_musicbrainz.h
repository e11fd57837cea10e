#pragma once

#include <memory>
#include <string>

#include "cdaudio/http_fetcher.h"
#include "cdaudio/musicbrainz_client.h"

namespace quorvan {

// The CD Audio page's MusicBrainz client, made again only when the service's
// base URL changes.
class CMusicBrainzLookups final {
  public:
    CMusicBrainzClient& ClientFor(const std::string& baseUrl);

  private:
    CCurlFetcher fetcher_;
    CSystemClock clock_;
    std::string baseUrl_;
    std::unique_ptr<CMusicBrainzClient> client_;
};

}  // namespace quorvan
