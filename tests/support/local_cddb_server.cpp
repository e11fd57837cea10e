#include "support/local_cddb_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cdaudio/cddb_reply.h"

namespace quorvan::test {

namespace {

constexpr size_t kMaxRequest = 64 * 1024;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every line ended by CR LF.
std::string WithCrLf(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        if (text[i] == '\n') {
            result += "\r\n";
        } else {
            result += text[i];
        }
    }
    if (!result.empty() && (result.size() < 2 || result.compare(result.size() - 2, 2, "\r\n"))) {
        result += "\r\n";
    }
    return result;
}

std::string HttpReply(const std::string& status, const std::string& body) {
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\n\r\n" + body;
}

bool SendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::vector<std::string> SplitPlus(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, '+')) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

std::string DiscTitleOf(const std::string& record) {
    std::string title;
    std::istringstream in(record);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("DTITLE=", 0) == 0) {
            title += line.substr(7);
        }
    }
    return title;
}

}  // namespace

CLocalCddbServer::CLocalCddbServer(std::string dataDir) : dataDir_(std::move(dataDir)) {}

CLocalCddbServer::~CLocalCddbServer() {
    Stop();
}

bool CLocalCddbServer::Start(int port) {
    Stop();
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        return false;
    }
    int yes = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
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

void CLocalCddbServer::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (listenFd_ >= 0) {
        close(listenFd_);
        listenFd_ = -1;
    }
}

std::string CLocalCddbServer::Address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

void CLocalCddbServer::SetSlowPace(size_t bytes, int pauseMs) {
    slowBytes_ = std::max<size_t>(bytes, 1);
    slowPauseMs_ = pauseMs;
}

void CLocalCddbServer::SetCannedReply(std::optional<std::string> reply) {
    std::lock_guard lock(mutex_);
    canned_ = std::move(reply);
}

void CLocalCddbServer::SetReadReply(std::optional<std::string> body) {
    std::lock_guard lock(mutex_);
    readReply_ = std::move(body);
}

void CLocalCddbServer::SetSitesReply(std::optional<std::string> body) {
    std::lock_guard lock(mutex_);
    sitesReply_ = std::move(body);
}

std::vector<std::string> CLocalCddbServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> CLocalCddbServer::Hellos() const {
    std::vector<std::string> hellos;
    for (const std::string& request : Requests()) {
        std::string line = request.substr(0, request.find("\r\n"));
        size_t start = line.find("&hello=");
        if (start == std::string::npos) {
            hellos.emplace_back();
            continue;
        }
        start += 7;
        hellos.push_back(line.substr(start, line.find_first_of("& ", start) - start));
    }
    return hellos;
}

void CLocalCddbServer::Serve() {
    while (!stop_) {
        pollfd waiting{listenFd_, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0) {
            continue;
        }
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        Handle(fd);
        close(fd);
    }
}

void CLocalCddbServer::HoldOpen(int fd) {
    while (!stop_) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 50) > 0) {
            char scratch[256];
            if (recv(fd, scratch, sizeof scratch, 0) <= 0) {
                return;
            }
        }
    }
}

void CLocalCddbServer::Handle(int fd) {
    std::string request;
    auto started = std::chrono::steady_clock::now();
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequest) {
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
    size_t end = request.find("\r\n\r\n");
    request.resize(end == std::string::npos ? request.size() : end);
    std::string reply;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (canned_) {
            reply = *canned_;
        }
    }
    if (reply.empty()) {
        reply = Answer(request);
    }
    switch (behaviour_.load()) {
        case Behaviour::Answer:
            SendAll(fd, reply.data(), reply.size());
            return;
        case Behaviour::Silent:
            HoldOpen(fd);
            return;
        case Behaviour::HalfThenSilent:
            SendAll(fd, reply.data(), reply.size() / 2);
            HoldOpen(fd);
            return;
        case Behaviour::CloseEarly:
            SendAll(fd, reply.data(), reply.size() / 2);
            return;
        case Behaviour::Slow:
            for (size_t at = 0; at < reply.size() && !stop_; at += slowBytes_) {
                size_t count = std::min<size_t>(slowBytes_, reply.size() - at);
                if (!SendAll(fd, reply.data() + at, count)) {
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(slowPauseMs_));
            }
            return;
    }
}

std::string CLocalCddbServer::Answer(const std::string& request) const {
    static const std::regex kRequestLine(
        R"(GET /~cddb/cddb\.cgi\?cmd=(sites|cddb\+query\+([0-9a-f]{8})\+([0-9]{1,2})((?:\+[0-9]+)+)\+([0-9]+)|cddb\+read\+([A-Za-z0-9_-]+)\+([0-9a-f]{8}))&hello=[^+&\s]+\+[^+&\s]+\+[^+&\s]+\+[^+&\s]+&proto=[1-6] HTTP/1\.0)");
    static const std::regex kHostHeader(R"(\r\nHost: [^\s]+(\r\n|$))", std::regex::icase);
    const std::string syntaxError = HttpReply("400 Bad Request", "500 Command syntax error.\r\n");
    std::string line = request.substr(0, request.find("\r\n"));
    std::smatch parts;
    if (!std::regex_match(line, parts, kRequestLine) || !std::regex_search(request, kHostHeader)) {
        return syntaxError;
    }
    if (parts[1] == "sites") {
        std::lock_guard lock(mutex_);
        return HttpReply("200 OK", sitesReply_ ? *sitesReply_ : SitesBody());
    }
    if (parts[2].matched) {
        std::vector<std::string> offsets = SplitPlus(parts[4]);
        if (offsets.size() != std::stoul(parts[3])) {
            return syntaxError;
        }
        return HttpReply("200 OK", QueryBody(parts[2], offsets));
    }
    {
        std::lock_guard lock(mutex_);
        if (readReply_) {
            return HttpReply("200 OK", *readReply_);
        }
    }
    return HttpReply("200 OK", ReadBody(parts[6], parts[7]));
}

std::string CLocalCddbServer::SitesBody() const {
    std::string sites = ReadText(std::filesystem::path(dataDir_) / "sites");
    if (sites.empty()) {
        sites = "127.0.0.1 http " + std::to_string(port_) +
                " /~cddb/cddb.cgi N000.00 W000.00 Local test server\n"
                "127.0.0.1 cddbp 8880 - N000.00 W000.00 Local test server\n";
    }
    return "210 Ok, site information follows (until terminating `.')\r\n" + WithCrLf(sites) +
           ".\r\n";
}

std::string CLocalCddbServer::QueryBody(const std::string& discId,
                                        const std::vector<std::string>& offsets) const {
    struct Found {
        std::string category;
        std::string title;
        bool exact;
    };
    std::vector<Found> found;
    std::error_code error;
    std::vector<std::filesystem::path> categories;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir_, error)) {
        if (entry.is_directory()) {
            categories.push_back(entry.path());
        }
    }
    std::sort(categories.begin(), categories.end());
    for (const auto& category : categories) {
        std::filesystem::path file = category / discId;
        if (!std::filesystem::is_regular_file(file)) {
            continue;
        }
        std::string record = ReadText(file);
        CddbDiscRecord parsed;
        bool exact = false;
        if (ParseDiscRecord("210 x\r\n" + WithCrLf(record), parsed) &&
            parsed.frameOffsets.size() == offsets.size()) {
            exact = true;
            for (size_t i = 0; i < offsets.size(); ++i) {
                exact = exact && std::to_string(parsed.frameOffsets[i]) == offsets[i];
            }
        }
        found.push_back({category.filename().string(), DiscTitleOf(record), exact});
    }
    if (found.empty()) {
        return "202 No match for disc ID " + discId + ".\r\n";
    }
    bool allExact = std::all_of(found.begin(), found.end(), [](const Found& f) { return f.exact; });
    if (allExact && found.size() == 1) {
        return "200 " + found[0].category + " " + discId + " " + found[0].title + "\r\n";
    }
    std::string body = allExact
                           ? "210 Found exact matches, list follows (until terminating `.')\r\n"
                           : "211 Found inexact matches, list follows (until terminating `.')\r\n";
    for (const Found& f : found) {
        body += f.category + " " + discId + " " + f.title + "\r\n";
    }
    return body + ".\r\n";
}

std::string CLocalCddbServer::ReadBody(const std::string& category,
                                       const std::string& discId) const {
    std::filesystem::path file = std::filesystem::path(dataDir_) / category / discId;
    if (!std::filesystem::is_regular_file(file)) {
        return "401 " + category + " " + discId + " No such CD entry in database.\r\n";
    }
    return "210 " + category + " " + discId +
           " CD database entry follows (until terminating `.')\r\n" + WithCrLf(ReadText(file)) +
           ".\r\n";
}

}  // namespace quorvan::test
