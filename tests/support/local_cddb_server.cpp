#include "support/local_cddb_server.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <sstream>

#include "cdaudio/cddb_reply.h"
#include "support/file_text.h"

namespace quorvan::test {

namespace {

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
    return listener_.Start(port, [this](int fd) { Handle(fd); });
}

void CLocalCddbServer::Stop() {
    listener_.Stop();
}

std::string CLocalCddbServer::Address() const {
    return "127.0.0.1:" + std::to_string(listener_.Port());
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

void CLocalCddbServer::Handle(int fd) {
    const std::optional<std::string> read = listener_.ReadRequest(fd);
    if (!read) {
        return;
    }
    const std::string& request = *read;
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
            listener_.HoldOpen(fd);
            return;
        case Behaviour::HalfThenSilent:
            SendAll(fd, reply.data(), reply.size() / 2);
            listener_.HoldOpen(fd);
            return;
        case Behaviour::CloseEarly:
            SendAll(fd, reply.data(), reply.size() / 2);
            return;
        case Behaviour::Slow:
            for (size_t at = 0; at < reply.size() && !listener_.Stopping(); at += slowBytes_) {
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
    return "210 Ok, site information follows (until terminating `.')\r\n"
           "127.0.0.1 http " +
           std::to_string(listener_.Port()) +
           " /~cddb/cddb.cgi N000.00 W000.00 Local test server\r\n"
           "127.0.0.1 cddbp 8880 - N000.00 W000.00 Local test server\r\n.\r\n";
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
        std::string record = FileText(file);
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
           " CD database entry follows (until terminating `.')\r\n" + WithCrLf(FileText(file)) +
           ".\r\n";
}

}  // namespace quorvan::test
