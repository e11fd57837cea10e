#include "cdaudio/cddb_reply.h"

#include <cerrno>

#include "cdaudio/cddb_charset.h"
#include "common/text.h"

namespace quorvan {

namespace {

// Track numbers beyond this cannot occur on a CD; larger indexes would only
// let a hostile record exhaust memory.
constexpr int32_t kMaxTrackIndex = 255;

bool IsSpace(char c) {
    return c == ' ';
}

// The next field ended by a space, and the rest after the run of spaces that
// follows it. False when no space follows the field.
bool TakeField(std::string_view& rest, std::string_view& field) {
    size_t space = rest.find(' ');
    if (space == std::string_view::npos) {
        return false;
    }
    field = rest.substr(0, space);
    rest.remove_prefix(space);
    while (!rest.empty() && IsSpace(rest.front())) {
        rest.remove_prefix(1);
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Hemisphere letter and ddd.mm: degrees × 60 + minutes.
bool ParseCoordinate(std::string_view field, char positive, char negative, bool& isPositive,
                     int32_t& value) {
    if (field.size() != 7 || (field[0] != positive && field[0] != negative)) {
        return false;
    }
    isPositive = field[0] == positive;
    value = ParseLong(field.substr(1, 3)) * 60 + ParseLong(field.substr(5, 2));
    return true;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::string result;
    result.reserve(text.size());
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        result.append(text, start, at - start);
        result.append(to);
        start = at + from.size();
    }
    result.append(text, start, std::string::npos);
    text = std::move(result);
}

// An indexed key (TTITLEn, EXTTn): its entry, growing the array as needed. Null
// for an index no disc can have.
std::string* IndexedEntry(std::vector<std::string>& entries, std::string_view index) {
    int32_t n = ParseLong(index);
    if (n < 0 || n > kMaxTrackIndex) {
        return nullptr;
    }
    if (entries.size() < static_cast<size_t>(n) + 1) {
        entries.resize(static_cast<size_t>(n) + 1);
    }
    return &entries[static_cast<size_t>(n)];
}

}  // namespace

std::optional<std::string_view> ReplyBody(std::string_view reply) {
    size_t end = reply.find("\r\n\r\n");
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return reply.substr(end + 4);
}

int StatusCode(std::string_view body) {
    if (body.size() < 3) {
        return -1;
    }
    int code = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (body[i] < '0' || body[i] > '9') {
            return -1;
        }
        code = code * 10 + (body[i] - '0');
    }
    return code;
}

namespace {

// The first line of `text`, without its line end and control characters, and
// short enough for a message.
std::string FirstLine(std::string_view text) {
    constexpr size_t kMaxLine = 200;
    std::string line;
    for (char c : text.substr(0, text.find_first_of("\r\n"))) {
        if (line.size() >= kMaxLine) {
            break;
        }
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
            line += c;
        }
    }
    return line;
}

}  // namespace

std::string ReplyStatusLine(std::string_view reply) {
    if (reply.substr(0, 5) != "HTTP/") {
        return FirstLine(reply);
    }
    // "HTTP/1.0 200 OK": a refusal by the web server has no CDDB status.
    size_t blank = reply.find(' ');
    int httpStatus = blank == std::string_view::npos ? -1 : StatusCode(reply.substr(blank + 1));
    std::optional<std::string_view> body = ReplyBody(reply);
    if (httpStatus >= 200 && httpStatus < 300 && body) {
        std::string line = FirstLine(*body);
        if (!line.empty()) {
            return line;
        }
    }
    return FirstLine(reply);
}

std::vector<std::string_view> LinesAfterStatus(std::string_view body) {
    std::vector<std::string_view> lines;
    size_t first = body.find("\r\n");
    if (first != std::string_view::npos) {
        body.remove_prefix(first + 2);
    } else if (first = body.find('\n'); first != std::string_view::npos) {
        body.remove_prefix(first + 1);
    } else {
        return lines;
    }
    while (!body.empty()) {
        size_t end = body.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back(body);
            break;
        }
        std::string_view line = body.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        body.remove_prefix(end + 1);
    }
    return lines;
}

bool ParseHex32(std::string_view text, uint32_t& value) {
    uint64_t result = 0;
    size_t i = 0;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
        result = result * 16 + static_cast<uint64_t>(HexDigit(text[i]));
        if (result > UINT32_MAX) {
            result = UINT32_MAX;
        }
    }
    value = static_cast<uint32_t>(result);
    return i > 0;
}

bool ParseSiteLine(std::string_view line, CddbSite& site) {
    std::string_view host, protocol, port, path, latitude, longitude;
    std::string_view rest = line;
    if (!TakeField(rest, host) || !TakeField(rest, protocol) || !TakeField(rest, port) ||
        !TakeField(rest, path) || !TakeField(rest, latitude) || !TakeField(rest, longitude) ||
        rest.empty() || host.empty()) {
        return false;
    }
    if (!EqualsIgnoreCase(protocol, "http")) {
        return false;
    }
    CddbSite parsed;
    if (!ParseCoordinate(latitude, 'N', 'S', parsed.north, parsed.latitude) ||
        !ParseCoordinate(longitude, 'E', 'W', parsed.east, parsed.longitude)) {
        return false;
    }
    parsed.host = host;
    parsed.port = ParseLong(port);
    parsed.path = path;
    parsed.description = rest;
    site = std::move(parsed);
    return true;
}

bool ParseMatchLine(std::string_view line, CddbMatch& match) {
    std::string_view category, id;
    std::string_view rest = line;
    if (!TakeField(rest, category) || category.empty() || !TakeField(rest, id)) {
        return false;
    }
    size_t end = rest.find('\n');
    if (end != std::string_view::npos) {
        rest = rest.substr(0, end > 0 && rest[end - 1] == '\r' ? end - 1 : end);
    }
    if (rest.empty()) {
        return false;
    }
    CddbMatch parsed;
    if (!ParseHex32(id, parsed.discId)) {
        return false;
    }
    parsed.category = category;
    size_t slash = rest.find('/');
    if (slash != std::string_view::npos) {
        parsed.artist = TrimWhiteSpace(rest.substr(0, slash));
        parsed.title = TrimWhiteSpace(rest.substr(slash + 1));
    } else {
        parsed.title = rest;
    }
    match = std::move(parsed);
    return true;
}

CddbParseResult ParseSitesReply(std::string_view body, std::vector<CddbSite>& sites) {
    int status = StatusCode(body);
    if (status < 210 || status > 219) {
        return {false, EPROTONOSUPPORT};
    }
    sites.clear();
    for (std::string_view line : LinesAfterStatus(body)) {
        if (line == ".") {
            break;
        }
        CddbSite site;
        if (ParseSiteLine(line, site)) {
            sites.push_back(std::move(site));
        }
    }
    return {true, 0};
}

CddbParseResult ParseQueryReply(std::string_view body, std::vector<CddbMatch>& matches) {
    matches.clear();
    int status = StatusCode(body);
    if (status >= 210 && status <= 219) {
        for (std::string_view line : LinesAfterStatus(body)) {
            if (line == ".") {
                break;
            }
            CddbMatch match;
            if (ParseMatchLine(line, match)) {
                matches.push_back(std::move(match));
            }
        }
        return {!matches.empty(), matches.empty() ? EPROTONOSUPPORT : 0};
    }
    if (status == 200) {
        if (body.size() <= 5) {
            return {false, EPROTONOSUPPORT};
        }
        CddbMatch match;
        if (!ParseMatchLine(body.substr(4), match)) {
            return {false, 0};
        }
        matches.push_back(std::move(match));
        return {true, 0};
    }
    if (status == 202) {
        return {false, 0};
    }
    return {false, EPROTONOSUPPORT};
}

std::string UnescapeXmcdValue(std::string_view value) {
    std::string text(value);
    ReplaceAll(text, "\\n", "\n");
    ReplaceAll(text, "\\t", "\t");
    ReplaceAll(text, "\\\\", "\\");
    return text;
}

bool ParseDiscRecord(std::string_view bytes, CddbDiscRecord& record, int32_t protocolLevel) {
    const std::string decoded = CddbTextToUtf8(bytes, protocolLevel);
    std::string_view body = decoded;
    int status = StatusCode(body);
    if (status < 210 || status > 219) {
        return false;
    }
    size_t statusEnd = body.find('\n');
    if (statusEnd == std::string_view::npos) {
        return false;
    }
    record = CddbDiscRecord{};
    bool headerSeen = false, inOffsets = false, lengthSeen = false, submitterSeen = false,
         discIdSeen = false, titleSeen = false;
    std::string discTitle, playOrder;
    for (std::string_view line : LinesAfterStatus(body)) {
        if (line == ".") {
            break;  // the end of the entry where the terminator was not cut off
        }
        if (!line.empty() && line.front() == '#') {
            std::string_view text = line.substr(1);
            text = text.size() > 1 ? TrimWhiteSpace(text) : std::string_view{};
            if (StartsWith(text, "xmcd")) {
                headerSeen = true;
            } else if (text.find("Track frame offsets:") != std::string_view::npos) {
                inOffsets = true;
            } else if (StartsWith(text, "Disc length:")) {
                inOffsets = false;
                lengthSeen = true;
                record.discLength = ParseLong(text.substr(std::min<size_t>(13, text.size())));
            } else if (StartsWith(text, "Revision:")) {
                record.revision = ParseLong(text.substr(9));
            } else if (StartsWith(text, "Submitted via:")) {
                submitterSeen = true;
                std::vector<std::string_view> words;
                std::string_view rest = text.substr(14);
                while (!rest.empty()) {
                    while (!rest.empty() && rest.front() == ' ') {
                        rest.remove_prefix(1);
                    }
                    size_t end = std::min(rest.find(' '), rest.size());
                    if (end > 0) {
                        words.push_back(rest.substr(0, end));
                    }
                    rest.remove_prefix(end);
                }
                if (words.size() < 2) {
                    return false;
                }
                record.submitterName = words[0];
                record.submitterVersion = words[1];
                record.submitterComment = words.size() > 2 ? words[2] : std::string_view{};
            } else if (inOffsets && !text.empty()) {
                record.frameOffsets.push_back(ParseLong(text));
            }
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view key = line.substr(0, equals);
        std::string value = UnescapeXmcdValue(line.substr(equals + 1));
        if (key == "DISCID") {
            if (value.size() > 7) {
                discIdSeen = true;
                ParseHex32(value, record.discId);
            }
        } else if (key == "DTITLE") {
            titleSeen = true;
            discTitle += value;
        } else if (key == "DYEAR") {
            record.year = ParseLong(value);
        } else if (key == "DGENRE") {
            record.genre += value;
        } else if (StartsWith(key, "TTITLE")) {
            std::string* entry = IndexedEntry(record.trackTitles, key.substr(6));
            if (entry == nullptr) {
                return false;
            }
            *entry += value;
        } else if (key == "EXTD") {
            record.extendedData += value;
        } else if (StartsWith(key, "EXTT")) {
            std::string* entry = IndexedEntry(record.extendedTrackData, key.substr(4));
            if (entry == nullptr) {
                return false;
            }
            *entry += value;
        } else if (key == "PLAYORDER") {
            playOrder += value;
        }
    }
    if (!headerSeen || record.frameOffsets.empty() || !lengthSeen || !submitterSeen ||
        !discIdSeen || !titleSeen || record.trackTitles.empty() ||
        record.trackTitles.size() != record.extendedTrackData.size()) {
        return false;
    }
    size_t separator = discTitle.find(" / ");
    if (separator != std::string::npos) {
        record.artist = discTitle.substr(0, separator);
        record.title = discTitle.substr(separator + 3);
    } else {
        record.artist = discTitle;
        record.title = discTitle;
    }
    std::string_view order(playOrder);
    for (size_t comma = order.find(','); comma != std::string_view::npos; comma = order.find(',')) {
        record.playOrder.push_back(ParseLong(order.substr(0, comma)));
        order.remove_prefix(comma + 1);
    }
    if (!order.empty()) {
        record.playOrder.push_back(ParseLong(order));
    }
    return true;
}

}  // namespace quorvan
