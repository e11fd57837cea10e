#include "cdaudio/cddb_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace quorvan {

namespace {

// Connects a non-blocking socket within the time left; 0 or an errno value.
int ConnectWithin(int fd, const addrinfo& address, int timeoutMs) {
    if (connect(fd, address.ai_addr, address.ai_addrlen) == 0) {
        return 0;
    }
    if (errno != EINPROGRESS) {
        return errno;
    }
    pollfd waiting{fd, POLLOUT, 0};
    int ready;
    do {
        ready = poll(&waiting, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return errno;
    }
    if (ready == 0) {
        return ETIMEDOUT;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        return errno;
    }
    return error;
}

}  // namespace

CCddbSocket::~CCddbSocket() {
    Close();
}

int CCddbSocket::Connect(const std::string& host, int port, int timeoutMs) {
    Close();
    if (port <= 0 || port > 65535 || host.empty()) {
        return EINVAL;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 ||
        found == nullptr) {
        return EINVAL;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int error = ECONNREFUSED;
    for (addrinfo* address = found; address != nullptr; address = address->ai_next) {
        int fd = socket(address->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            error = errno;
            continue;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        error = left > 0 ? ConnectWithin(fd, *address, static_cast<int>(left)) : ETIMEDOUT;
        if (error == 0) {
            fd_ = fd;
            break;
        }
        close(fd);
    }
    freeaddrinfo(found);
    return error;
}

int CCddbSocket::Send(const std::string& data) {
    if (fd_ < 0) {
        return EBADF;
    }
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd waiting{fd_, POLLOUT, 0};
                if (poll(&waiting, 1, 2000) <= 0) {
                    return ETIMEDOUT;
                }
                continue;
            }
            return errno;
        }
        sent += static_cast<size_t>(n);
    }
    return 0;
}

int CCddbSocket::Poll(int timeoutMs, bool& readable) {
    readable = false;
    if (fd_ < 0) {
        return EBADF;
    }
    pollfd waiting{fd_, POLLIN, 0};
    int ready = poll(&waiting, 1, timeoutMs);
    if (ready < 0) {
        return errno == EINTR ? 0 : errno;
    }
    // A closed or failed connection counts as readable: the receive tells why.
    readable = ready > 0 && (waiting.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    return 0;
}

int CCddbSocket::Receive(char* buffer, size_t size, size_t& received) {
    received = 0;
    if (fd_ < 0) {
        return EBADF;
    }
    for (;;) {
        ssize_t n = recv(fd_, buffer, size, 0);
        if (n >= 0) {
            received = static_cast<size_t>(n);
            return 0;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

void CCddbSocket::Close() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

}  // namespace quorvan
