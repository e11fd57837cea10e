#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace quorvan::test {

// A CDDB server over HTTP/1.0 on loopback, for tests and demonstrations. It
// answers "sites", "cddb query" (200, 210, 211, 202) and "cddb read" (210,
// 401) with "Content-Type: text/plain", from xmcd records kept as files
// <dataDir>/<category>/<discid> (LF or CR LF lines; sent with CR LF). Request
// lines of any other form, and requests without a Host header, get "400 Bad
// Request" with the body "500 Command syntax error.".
//
//     CLocalCddbServer server(std::string(QUORVAN_TEST_DATA) + "/cddb/server");
//     ASSERT_TRUE(server.Start());              // 127.0.0.1, a free port
//     setenv("QUORVAN_CDDB_SERVER", server.Address().c_str(), 1);
//
// Query matching: every record whose file name is the disc id matches; it is
// exact when its frame offsets equal the query's. All exact: one gives 200,
// several 210; any inexact gives 211 listing all.
//
// Connections are served one at a time on a thread of its own; Stop (or the
// destructor) ends it.
class CLocalCddbServer final {
  public:
    enum class Behaviour {
        Answer,          // a whole reply at once
        Silent,          // reads the request, then sends nothing
        HalfThenSilent,  // sends the first half of the reply, then nothing
        CloseEarly,      // sends the first half of the reply and closes
        Slow,            // sends the reply in small pieces with pauses
    };

    explicit CLocalCddbServer(std::string dataDir);
    ~CLocalCddbServer();
    CLocalCddbServer(const CLocalCddbServer&) = delete;
    CLocalCddbServer& operator=(const CLocalCddbServer&) = delete;

    // Listens on 127.0.0.1 (`port` 0: any free port). False when it cannot.
    bool Start(int port = 0);
    void Stop();
    int Port() const { return listener_.Port(); }
    // "127.0.0.1:port", as QUORVAN_CDDB_SERVER takes it.
    std::string Address() const;

    void SetBehaviour(Behaviour behaviour) { behaviour_ = behaviour; }
    // Slow: `bytes` at a time, `pauseMs` apart.
    void SetSlowPace(size_t bytes, int pauseMs);
    // Sends exactly these bytes (HTTP header included) to every request
    // instead of an answer of its own; nullopt goes back to answering.
    void SetCannedReply(std::optional<std::string> reply);
    // Answers every "cddb read" with this CDDB reply (body only) instead of
    // the record; nullopt goes back to the records.
    void SetReadReply(std::optional<std::string> body);
    // Answers every "sites" with this CDDB reply (body only), such as
    // "401 No site information available.\r\n"; nullopt goes back to the list.
    void SetSitesReply(std::optional<std::string> body);

    // The requests received so far (request line and headers, without the
    // empty line), oldest first.
    std::vector<std::string> Requests() const;
    // The hello of each request received ("user+host+client+version", as
    // sent), oldest first.
    std::vector<std::string> Hellos() const;

    // The reply (HTTP header and body) this server gives to a request.
    std::string Answer(const std::string& request) const;

  private:
    void Handle(int fd);
    std::string QueryBody(const std::string& discId, const std::vector<std::string>& offsets) const;
    std::string ReadBody(const std::string& category, const std::string& discId) const;
    std::string SitesBody() const;

    std::string dataDir_;
    CLoopbackListener listener_;
    std::atomic<Behaviour> behaviour_{Behaviour::Answer};
    std::atomic<size_t> slowBytes_{64};
    std::atomic<int> slowPauseMs_{20};
    mutable std::mutex mutex_;
    std::optional<std::string> canned_;
    std::optional<std::string> readReply_;
    std::optional<std::string> sitesReply_;
    std::vector<std::string> requests_;
};

}  // namespace quorvan::test
