#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace quorvan {

// What came back from one HTTP GET. `status` is 0 when no reply arrived; then
// `error` says why (no network, a name that does not resolve, a time-out).
struct HttpReply {
    long status = 0;
    std::string body;
    std::string error;
    // The Retry-After header in whole seconds; -1 when there is none.
    long retryAfterSeconds = -1;
};

// One HTTP GET at a time; tests put canned replies in its place.
class IHttpFetcher {
  public:
    virtual ~IHttpFetcher() = default;
    // `headers` are whole header lines ("Accept: application/json").
    virtual HttpReply Get(const std::string& url, const std::vector<std::string>& headers) = 0;
};

// Steady time and waiting, so that tests need not wait for real.
class IClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IClock() = default;
    virtual TimePoint Now() = 0;
    virtual void SleepFor(std::chrono::milliseconds duration) = 0;
};

class CSystemClock final : public IClock {
  public:
    TimePoint Now() override;
    void SleepFor(std::chrono::milliseconds duration) override;
};

// GET over libcurl: HTTP and HTTPS only, no redirects followed, certificates
// verified, proxies from the environment (http_proxy, https_proxy, no_proxy),
// a time-out for the whole exchange and a limit on the reply's size.
class CCurlFetcher final : public IHttpFetcher {
  public:
    explicit CCurlFetcher(std::chrono::milliseconds timeout = std::chrono::seconds(15));
    HttpReply Get(const std::string& url, const std::vector<std::string>& headers) override;

    // Larger replies fail: no disc lookup comes near it.
    static constexpr size_t kMaxReplySize = 16u << 20;

  private:
    std::chrono::milliseconds timeout_;
};

}  // namespace quorvan
