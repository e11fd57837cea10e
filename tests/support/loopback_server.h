#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace quorvan::test {

// Accepts connections on 127.0.0.1 on a thread of its own and hands them, one
// at a time, to a handler; the connection is closed after it. Kept in a header
// so that the demonstration server builds without the rest of the support.
class CLoopbackListener final {
  public:
    CLoopbackListener() = default;
    ~CLoopbackListener() { Stop(); }
    CLoopbackListener(const CLoopbackListener&) = delete;
    CLoopbackListener& operator=(const CLoopbackListener&) = delete;

    // `port` 0: any free port. False when it cannot listen.
    bool Start(int port, std::function<void(int)> handle) {
        Stop();
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            return false;
        }
        int yes = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        socklen_t size = sizeof address;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(fd_, 8) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            Stop();
            return false;
        }
        port_ = ntohs(address.sin_port);
        stop_ = false;
        thread_ = std::thread([this, handle = std::move(handle)] {
            while (!stop_) {
                pollfd waiting{fd_, POLLIN, 0};
                if (poll(&waiting, 1, 50) <= 0) {
                    continue;
                }
                const int connection = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
                if (connection >= 0) {
                    handle(connection);
                    close(connection);
                }
            }
        });
        return true;
    }

    void Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

    int Port() const { return port_; }
    const std::atomic<bool>& Stopping() const { return stop_; }

    // A request up to its empty line (left out); nullopt when the client
    // closes first, the listener stops or ten seconds pass.
    std::optional<std::string> ReadRequest(int fd) const {
        std::string request;
        const auto started = std::chrono::steady_clock::now();
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            if (stop_ || std::chrono::steady_clock::now() - started > std::chrono::seconds(10)) {
                return std::nullopt;
            }
            pollfd waiting{fd, POLLIN, 0};
            if (poll(&waiting, 1, 50) <= 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return std::nullopt;
            }
            request.append(buffer, static_cast<size_t>(n));
        }
        return request.substr(0, request.find("\r\n\r\n"));
    }

    // Waits until the client closes or the listener stops.
    void HoldOpen(int fd) const {
        while (!stop_) {
            pollfd waiting{fd, POLLIN, 0};
            char scratch[256];
            if (poll(&waiting, 1, 50) > 0 && recv(fd, scratch, sizeof scratch, 0) <= 0) {
                return;
            }
        }
    }

  private:
    int fd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

// False when the peer is gone before everything is sent.
inline bool SendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace quorvan::test
