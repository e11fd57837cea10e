#include "support/local_musicbrainz_server.h"

#include <filesystem>
#include <sstream>

#include "support/file_text.h"

namespace quorvan::test {

namespace {

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
    return listener_.Start(0, [this](int fd) { Handle(fd); });
}

void CLocalMusicBrainzServer::Stop() {
    listener_.Stop();
}

std::string CLocalMusicBrainzServer::Url() const {
    return "http://127.0.0.1:" + std::to_string(listener_.Port());
}

void CLocalMusicBrainzServer::QueueStatus(int status) {
    std::lock_guard lock(mutex_);
    queued_.push_back(status);
}

std::vector<std::string> CLocalMusicBrainzServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void CLocalMusicBrainzServer::Handle(int fd) {
    const std::optional<std::string> read = listener_.ReadRequest(fd);
    if (!read) {
        return;
    }
    const std::string& request = *read;
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
        listener_.HoldOpen(fd);
        return;
    }
    if (queued != 0) {
        std::string reply = Reply(queued, FileText(dataDir_ + "/replies/error_not_found.json"));
        if (queued == 503) {  // as the service asks for a pause
            reply.insert(reply.find("\r\n") + 2, "Retry-After: 2\r\n");
        }
        SendAll(fd, reply.data(), reply.size());
        return;
    }
    // "GET /ws/2/discid/ID?... HTTP/1.1"
    const size_t space = request.find(' ');
    const std::string target = request.substr(space + 1, request.find(' ', space + 1) - space - 1);
    const std::string reply = Answer(target);
    SendAll(fd, reply.data(), reply.size());
}

std::string CLocalMusicBrainzServer::Answer(const std::string& target) const {
    constexpr std::string_view kPrefix = "/ws/2/discid/";
    const std::string notFound = FileText(dataDir_ + "/replies/error_not_found.json");
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
    return Reply(200, FileText(file));
}

}  // namespace quorvan::test
