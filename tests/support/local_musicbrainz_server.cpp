#include "support/local_musicbrainz_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvan::test {

namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 503:
            return "Service Unavailable";
        default:
            return "Error";
    }
}

std::string Reply(int status, const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) +
           "\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

void SendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<size_t>(n);
    }
}

// The value of `name` in the query of `target`, "+" kept.
std::string QueryValue(const std::string& target, const std::string& name) {
    size_t query = target.find('?');
    if (query == std::string::npos) {
        return {};
    }
    std::string rest = "&" + target.substr(query + 1);
    size_t at = rest.find("&" + name + "=");
    if (at == std::string::npos) {
        return {};
    }
    at += name.size() + 2;
    return rest.substr(at, rest.find('&', at) - at);
}

}  // namespace

CLocalMusicBrainzServer::CLocalMusicBrainzServer(std::string dataDir)
    : dataDir_(std::move(dataDir)) {}

CLocalMusicBrainzServer::~CLocalMusicBrainzServer() {
    Stop();
}

bool CLocalMusicBrainzServer::Start() {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenFd_, 8) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    port_ = ntohs(address.sin_port);
    stop_ = false;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void CLocalMusicBrainzServer::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (listenFd_ >= 0) {
        close(listenFd_);
        listenFd_ = -1;
    }
}

std::string CLocalMusicBrainzServer::Url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void CLocalMusicBrainzServer::QueueStatus(int status) {
    std::lock_guard lock(mutex_);
    queued_.push_back(status);
}

std::vector<std::string> CLocalMusicBrainzServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void CLocalMusicBrainzServer::Serve() {
    while (!stop_) {
        pollfd waiting{listenFd_, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0) {
            continue;
        }
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            Handle(fd);
            close(fd);
        }
    }
}

void CLocalMusicBrainzServer::Handle(int fd) {
    std::string request;
    const auto started = std::chrono::steady_clock::now();
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        if (stop_ || std::chrono::steady_clock::now() - started > std::chrono::seconds(10)) {
            return;
        }
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0) {
            continue;
        }
        char buffer[4096];
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        request.append(buffer, static_cast<size_t>(n));
    }
    request.resize(request.find("\r\n\r\n") == std::string::npos ? request.size()
                                                                 : request.find("\r\n\r\n"));
    int queued = 0;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (!queued_.empty()) {
            queued = queued_.front();
            queued_.pop_front();
        }
    }
    if (silent_) {
        while (!stop_) {
            pollfd waiting{fd, POLLIN, 0};
            char scratch[256];
            if (poll(&waiting, 1, 50) > 0 && recv(fd, scratch, sizeof scratch, 0) <= 0) {
                return;
            }
        }
        return;
    }
    if (queued != 0) {
        std::string reply = Reply(queued, ReadText(dataDir_ + "/replies/error_not_found.json"));
        if (queued == 503) {  // as the service asks for a pause
            reply.insert(reply.find("\r\n") + 2, "Retry-After: 2\r\n");
        }
        SendAll(fd, reply);
        return;
    }
    // "GET /ws/2/discid/ID?... HTTP/1.1"
    const size_t space = request.find(' ');
    const std::string target = request.substr(space + 1, request.find(' ', space + 1) - space - 1);
    SendAll(fd, Answer(target));
}

std::string CLocalMusicBrainzServer::Answer(const std::string& target) const {
    constexpr std::string_view kPrefix = "/ws/2/discid/";
    const std::string notFound = ReadText(dataDir_ + "/replies/error_not_found.json");
    if (target.rfind(kPrefix, 0) != 0) {
        return Reply(404, notFound);
    }
    const std::string id = target.substr(kPrefix.size(), target.find('?') - kPrefix.size());
    const std::string toc = QueryValue(target, "toc");
    std::filesystem::path file;
    if (toc.empty()) {
        file = std::filesystem::path(dataDir_) / "replies" / ("discid_" + id + ".json");
    } else {
        // toc=1+9+189343+150+... : the reply is named after its first three.
        std::istringstream numbers(toc);
        std::string first, last, leadOut;
        std::getline(numbers, first, '+');
        std::getline(numbers, last, '+');
        std::getline(numbers, leadOut, '+');
        const std::string start = "toc_" + first + "_" + last + "_" + leadOut + "_";
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(dataDir_) / "replies")) {
            if (entry.path().filename().string().rfind(start, 0) == 0) {
                file = entry.path();
            }
        }
    }
    if (file.empty() || id.find('/') != std::string::npos || !std::filesystem::exists(file)) {
        return Reply(404, notFound);
    }
    return Reply(200, ReadText(file));
}

}  // namespace quorvan::test
