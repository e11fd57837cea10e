#pragma once

#include <cstddef>
#include <string>

namespace quorvan {

// A TCP connection for one CDDB command. Every operation returns 0 or an errno
// value; closing a socket that is not open does nothing, and the destructor
// closes.
class CCddbSocket final {
  public:
    CCddbSocket() = default;
    ~CCddbSocket();
    CCddbSocket(const CCddbSocket&) = delete;
    CCddbSocket& operator=(const CCddbSocket&) = delete;

    // Resolves `host` (a name or an IPv4/IPv6 address) and connects to the
    // first address that answers within `timeoutMs`. EINVAL when the name does
    // not resolve.
    int Connect(const std::string& host, int port, int timeoutMs);
    // Sends all of `data`; a peer that closed gives EPIPE, never a signal.
    int Send(const std::string& data);
    // Waits up to `timeoutMs` for data; `readable` tells whether any came.
    int Poll(int timeoutMs, bool& readable);
    // Receives at most `size` bytes; `received` is 0 when the peer closed.
    int Receive(char* buffer, size_t size, size_t& received);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

}  // namespace quorvan
