#include "cdaudio/cddb_client.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "cdaudio/cddb_charset.h"
#include "cdaudio/cddb_reply.h"
#include "cdaudio/cddb_socket.h"
#include "cdaudio/disc_id.h"
#include "platform/cdrom.h"
#include "platform/file_system.h"

namespace quorvan {

namespace {

constexpr const char* kTerminator = "\r\n.\r\n";
constexpr size_t kBlockSize = 4096;
// Waiting for a server to accept is not covered by the silence time-out; a
// dead address should not hang the window for minutes either.
constexpr int kConnectTimeoutMs = 10000;
// Longest single wait between two checks of the time-out.
constexpr int kPollStepMs = 250;
// "401 No site information available."
constexpr int kNoSiteInformation = 401;

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// An e-mail part as a query-string field: characters that would end or split
// the field are percent-encoded, dots kept.
std::string EncodeHelloPart(std::string_view part) {
    std::string text;
    for (char c : part) {
        if (IsAsciiAlnum(c) || c == '.' || c == '-' || c == '_') {
            text += c;
        } else {
            char hex[4];
            snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            text += hex;
        }
    }
    return text;
}

bool SplitEmail(const std::string& address, std::string_view& local, std::string_view& domain) {
    size_t at = address.rfind('@');
    if (at == std::string::npos || at == 0 || at + 1 >= address.size()) {
        return false;
    }
    local = std::string_view(address).substr(0, at);
    domain = std::string_view(address).substr(at + 1);
    return true;
}

bool IsPlainWord(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!IsAsciiAlnum(c) && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

std::string HostHeader(const CddbSite& site) {
    std::string host = site.host.find(':') != std::string::npos ? "[" + site.host + "]" : site.host;
    if (site.port != 80) {
        host += ":" + std::to_string(site.port);
    }
    return host;
}

}  // namespace

std::string SanitizeHelloField(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (!IsAsciiAlnum(c)) {
            c = '_';
        }
    }
    return result;
}

bool CCddbClient::Fail(int systemError) {
    error_ = 0;
    systemError_ = systemError;
    return false;
}

bool CCddbClient::ReadToc(CdTrackTable& table, const std::string& drive) {
    table.clear();
    std::vector<CdTrackFacts> tracks;
    error_ = ReadCdTracks(drive, tracks);
    if (error_ != 0) {
        return false;
    }
    if (tracks.empty()) {
        return Fail(ENOMEDIUM);
    }
    table = BuildTrackTable(tracks);
    if (table.empty()) {
        return Fail(EMEDIUMTYPE);  // data tracks only
    }
    return true;
}

bool CCddbClient::ReadDiscId(const std::string& drive, uint32_t& discId) {
    CdTrackTable table;
    if (!ReadToc(table, drive)) {
        return false;
    }
    discId = ComputeDiscId(table);
    return true;
}

int CCddbClient::GetErrorCode() const {
    return error_ != 0 ? error_ : systemError_;
}

std::string CCddbClient::GetErrorText() const {
    int code = GetErrorCode();
    return code != 0 ? ErrorText(code) : std::string();
}

std::string CCddbClient::GetUserNameField() {
    std::string_view local, domain;
    if (SplitEmail(email_, local, domain)) {
        return EncodeHelloPart(local);
    }
    std::string name;
    if (passwd* pw = getpwuid(geteuid()); pw != nullptr && pw->pw_name != nullptr) {
        name = pw->pw_name;
    } else if (const char* user = getenv("USER"); user != nullptr) {
        name = user;
    }
    return name.empty() ? "Unknown" : SanitizeHelloField(name);
}

std::string CCddbClient::GetHostNameField() {
    std::string_view local, domain;
    if (SplitEmail(email_, local, domain)) {
        return EncodeHelloPart(domain);
    }
    char name[260] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "Unknown";
    }
    return SanitizeHelloField(name);
}

std::string CCddbClient::GetHelloString() {
    return "hello=" + GetUserNameField() + "+" + GetHostNameField() + "+" + clientName_ + "+" +
           clientVersion_ + "&proto=" + std::to_string(protocolLevel_);
}

namespace {

// A status-aware reply that the server closed after a status line not
// followed by a list (no 21x), its CR LF missing: the reply is whole.
bool EndsWithStatusLine(const std::string& text, size_t received) {
    std::optional<std::string_view> body = ReplyBody(std::string_view(text.data(), received));
    if (!body) {
        return false;
    }
    int status = StatusCode(*body);
    return status >= 0 && (status < 210 || status > 219);
}

}  // namespace

bool CCddbClient::ReceiveReply(CCddbSocket& socket, const std::string& terminator,
                               std::string& buffer, size_t blockSize, int mode) {
    using Clock = std::chrono::steady_clock;
    blockSize = std::max<size_t>(blockSize, 2);
    std::string text(blockSize, '\0');
    size_t received = 0;
    auto lastData = Clock::now();
    bool keepReading = true;
    auto fail = [&](int systemError) {
        text.resize(received);
        lastReply_ = std::move(text);
        return Fail(systemError);
    };
    for (;;) {
        if (!keepReading) {
            text.resize(received);
            buffer = std::move(text);
            return true;
        }
        auto silent =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastData).count();
        if (silent > static_cast<int64_t>(timeoutMs_)) {
            return fail(ETIMEDOUT);
        }
        bool readable = false;
        int wait = static_cast<int>(
            std::min<int64_t>(kPollStepMs, static_cast<int64_t>(timeoutMs_) - silent + 1));
        if (int error = socket.Poll(wait, readable); error != 0) {
            return fail(error);
        }
        if (!readable) {
            continue;
        }
        size_t room = text.size() - received - 1;
        size_t count = 0;
        int error = socket.Receive(text.data() + received, room, count);
        if (error == EAGAIN || error == EWOULDBLOCK) {
            continue;
        }
        if (error == 0 && count == 0 && mode == 1 && EndsWithStatusLine(text, received)) {
            text.resize(received);
            buffer = std::move(text);
            return true;
        }
        if (error != 0 || count == 0) {
            return fail(error != 0 ? error : ECONNRESET);
        }
        size_t searchFrom = received >= terminator.size() ? received - terminator.size() + 1 : 0;
        received += count;
        lastData = Clock::now();
        if (count == room) {
            // Doubling keeps a large reply linear; growing by one block each
            // time would copy a 10 MB reply thousands of times.
            if (text.size() >= MaxReplySize()) {
                return fail(EMSGSIZE);
            }
            text.resize(std::min(text.size() * 2, MaxReplySize()));
        }
        std::string_view seen(text.data(), received);
        if (mode == 1) {
            std::optional<std::string_view> body = ReplyBody(seen);
            // Judge the status once its line is whole: a 200 reply's match
            // must not be cut short.
            if (body && body->find('\n') != std::string_view::npos) {
                int status = StatusCode(*body);
                if (status < 210 || status > 219) {
                    keepReading = false;
                }
            }
        }
        if (!terminator.empty()) {
            size_t end = seen.find(terminator, searchFrom);
            if (end != std::string_view::npos) {
                text.resize(end);
                buffer = std::move(text);
                return true;
            }
        }
    }
}

bool CCddbClient::Exchange(const CddbSite& site, const std::string& command, int mode,
                           std::string& reply) {
    replyStatus_.clear();
    CCddbSocket socket;
    if (int error = socket.Connect(site.host, site.port, kConnectTimeoutMs); error != 0) {
        return Fail(error);
    }
    lastRequest_ = "GET " + site.path + "?cmd=" + command + "&" + GetHelloString() +
                   " HTTP/1.0\r\nHost: " + HostHeader(site) + "\r\n\r\n";
    if (int error = socket.Send(lastRequest_); error != 0) {
        return Fail(error);
    }
    if (!ReceiveReply(socket, kTerminator, reply, kBlockSize, mode)) {
        replyStatus_ = ReplyStatusLine(lastReply_);
        return Fail(EPROTONOSUPPORT);
    }
    replyStatus_ = ReplyStatusLine(reply);
    return true;
}

std::optional<std::string_view> CCddbClient::ExchangeForBody(const CddbSite& site,
                                                             const std::string& command, int mode,
                                                             std::string& reply) {
    if (!Exchange(site, command, mode, reply)) {
        return std::nullopt;
    }
    std::optional<std::string_view> body = ReplyBody(reply);
    // Kept for the error text until the reply has been understood.
    lastReply_ = body ? std::string(*body) : reply;
    if (!body) {
        Fail(EPROTONOSUPPORT);
    }
    return body;
}

bool CCddbClient::QuerySites(const std::string& host, int32_t port, const std::string& path,
                             std::vector<CddbSite>& sites) {
    replyStatus_.clear();
    CddbSite site;
    site.host = host;
    site.port = port;
    site.path = path;
    std::string reply;
    // Status-aware: a one-line refusal has no terminator before the close.
    std::optional<std::string_view> body = ExchangeForBody(site, "sites", 1, reply);
    if (!body) {
        return false;
    }
    // A server with an empty list says so with 401; it still serves queries.
    if (StatusCode(*body) == kNoSiteInformation) {
        sites.clear();
    } else if (CddbParseResult result = ParseSitesReply(*body, sites); !result.ok) {
        return Fail(result.error);
    }
    lastReply_.clear();
    replyStatus_.clear();
    return true;
}

bool CCddbClient::QueryDisc(const CddbSite& site, uint32_t discId, const CdTrackTable& table,
                            std::vector<CddbMatch>& matches) {
    replyStatus_.clear();
    matches.clear();
    if (table.size() < 2) {
        return Fail(EINVAL);
    }
    CddbQueryArguments arguments = QueryArguments(discId, table);
    std::string reply;
    std::optional<std::string_view> body =
        ExchangeForBody(site,
                        "cddb+query+" + arguments.discId + "+" + arguments.trackCount + "+" +
                            arguments.offsets + "+" + arguments.discLength,
                        1, reply);
    if (!body) {
        return false;
    }
    CddbParseResult result = ParseQueryReply(CddbTextToUtf8(*body, protocolLevel_), matches);
    if (!result.ok) {
        if (result.error != 0) {
            return Fail(result.error);
        }
        return false;
    }
    lastReply_.clear();
    replyStatus_.clear();
    return true;
}

bool CCddbClient::ReadDisc(const CddbSite& site, const std::string& category, uint32_t discId,
                           CddbDiscRecord& record) {
    replyStatus_.clear();
    // A category from a reply goes into the next request line: anything but a
    // plain word could add to or end that request.
    if (!IsPlainWord(category)) {
        return Fail(EINVAL);
    }
    std::string reply;
    std::optional<std::string_view> body =
        ExchangeForBody(site, "cddb+read+" + category + "+" + DiscIdText(discId), 0, reply);
    if (!body) {
        return false;
    }
    if (!ParseDiscRecord(*body, record, protocolLevel_)) {
        return Fail(EPROTONOSUPPORT);
    }
    record.discId = discId;
    lastReply_.clear();
    replyStatus_.clear();
    return true;
}

}  // namespace quorvan
