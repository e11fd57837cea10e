#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace quorvan::test {

// A stand-in for the MusicBrainz web service on 127.0.0.1, answering disc id
// lookups with captured replies from <dataDir>/replies:
//   /ws/2/discid/ID?...            discid_ID.json, else 404 error_not_found.json
//   /ws/2/discid/ID?toc=F+L+O+...  the file whose name starts toc_F_L_O_, else 404
// One connection at a time, each closed after its reply.
//
//     CLocalMusicBrainzServer server(std::string(QUORVAN_TEST_DATA) + "/musicbrainz");
//     ASSERT_TRUE(server.Start());
//     setenv("QUORVAN_MUSICBRAINZ_URL", server.Url().c_str(), 1);
class CLocalMusicBrainzServer final {
  public:
    explicit CLocalMusicBrainzServer(std::string dataDir);
    ~CLocalMusicBrainzServer();
    CLocalMusicBrainzServer(const CLocalMusicBrainzServer&) = delete;
    CLocalMusicBrainzServer& operator=(const CLocalMusicBrainzServer&) = delete;

    bool Start();
    void Stop();
    // "http://127.0.0.1:PORT".
    std::string Url() const;

    // The next requests get these statuses (with the not-found body) instead
    // of their answers, oldest first: 503 (with "Retry-After: 2") tests the
    // retry.
    void QueueStatus(int status);
    // Reads requests but never answers them.
    void SetSilent(bool silent) { silent_ = silent; }

    // Request line and headers of every request so far.
    std::vector<std::string> Requests() const;

  private:
    void Handle(int fd);
    std::string Answer(const std::string& target) const;

    std::string dataDir_;
    CLoopbackListener listener_;
    std::atomic<bool> silent_{false};
    mutable std::mutex mutex_;
    std::deque<int> queued_;
    std::vector<std::string> requests_;
};

}  // namespace quorvan::test
