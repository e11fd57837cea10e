#include "history/journal_codec.h"

#include <array>
#include <cstring>

#include "common/text.h"

namespace quorvan {

namespace {

using journal_detail::JsonValue;

// ---- Strings ------------------------------------------------------------

void AppendHex4(std::string& out, unsigned value) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\u";
    out += kHex[(value >> 12) & 0xF];
    out += kHex[(value >> 8) & 0xF];
    out += kHex[(value >> 4) & 0xF];
    out += kHex[value & 0xF];
}

bool ReadHex4(std::string_view text, size_t pos, uint32_t& value) {
    if (pos + 4 > text.size()) {
        return false;
    }
    value = 0;
    for (size_t i = pos; i < pos + 4; ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return true;
}

size_t SkipSpace(std::string_view text, size_t pos) {
    while (pos < text.size() &&
           (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n')) {
        ++pos;
    }
    return pos;
}

// The extent of the JSON string starting at `pos` (its quotes included).
bool StringExtent(std::string_view text, size_t pos, size_t& end) {
    if (pos >= text.size() || text[pos] != '"') {
        return false;
    }
    for (size_t i = pos + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            end = i + 1;
            return true;
        }
    }
    return false;
}

bool ParseValue(std::string_view text, size_t& pos, JsonValue& value) {
    if (pos >= text.size()) {
        return false;
    }
    char c = text[pos];
    if (c == '"') {
        size_t end = 0;
        if (!StringExtent(text, pos, end) ||
            !DecodeJsonString(text.substr(pos, end - pos), value.text)) {
            return false;
        }
        value.kind = JsonValue::Kind::String;
        pos = end;
        return true;
    }
    for (auto [word, kind, flag] : {std::tuple{"true", JsonValue::Kind::Bool, true},
                                    std::tuple{"false", JsonValue::Kind::Bool, false},
                                    std::tuple{"null", JsonValue::Kind::Null, false}}) {
        std::string_view w(word);
        if (text.substr(pos, w.size()) == w) {
            value.kind = kind;
            value.flag = flag;
            pos += w.size();
            return true;
        }
    }
    value.kind = JsonValue::Kind::Number;
    value.negative = c == '-';
    size_t start = pos + (value.negative ? 1 : 0);
    auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value.number);
    if (ec != std::errc() || ptr == text.data() + start) {
        return false;
    }
    pos = static_cast<size_t>(ptr - text.data());
    // Only integers are written.
    return pos >= text.size() || (text[pos] != '.' && text[pos] != 'e' && text[pos] != 'E');
}

}  // namespace

namespace journal_detail {

bool Fields::Parse(std::string_view line) {
    items_.clear();
    size_t pos = SkipSpace(line, 0);
    if (pos >= line.size() || line[pos] != '{') {
        return false;
    }
    pos = SkipSpace(line, pos + 1);
    if (pos < line.size() && line[pos] == '}') {
        return SkipSpace(line, pos + 1) == line.size();
    }
    for (;;) {
        size_t end = 0;
        std::string key;
        if (!StringExtent(line, pos, end) || !DecodeJsonString(line.substr(pos, end - pos), key)) {
            return false;
        }
        pos = SkipSpace(line, end);
        if (pos >= line.size() || line[pos] != ':') {
            return false;
        }
        pos = SkipSpace(line, pos + 1);
        JsonValue value;
        if (!ParseValue(line, pos, value)) {
            return false;
        }
        items_.emplace_back(std::move(key), std::move(value));
        pos = SkipSpace(line, pos);
        if (pos < line.size() && line[pos] == ',') {
            pos = SkipSpace(line, pos + 1);
            continue;
        }
        if (pos < line.size() && line[pos] == '}') {
            return SkipSpace(line, pos + 1) == line.size();
        }
        return false;
    }
}

}  // namespace journal_detail

// Bytes that go across as they are: printable ASCII but for " and \.
constexpr auto kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c) {
        plain[static_cast<size_t>(c)] = c != '"' && c != '\\';
    }
    return plain;
}();

void EncodeJsonString(std::string& out, std::string_view bytes) {
    out += '"';
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    size_t i = 0;
    while (i < size) {
        unsigned char c = p[i];
        if (kPlain[c]) {
            // Plain runs go across in one append.
            size_t start = i;
            while (++i < size && kPlain[p[i]]) {
            }
            out.append(bytes.data() + start, i - start);
            continue;
        }
        if (c < 0x80) {
            switch (c) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                default:
                    AppendHex4(out, c);  // other controls and DEL
            }
            ++i;
            continue;
        }
        char32_t character = 0;
        const size_t length = DecodeUtf8(bytes, i, character);
        if (length == 0) {
            AppendHex4(out, 0xDC00u + c);  // a byte that is not UTF-8
            ++i;
        } else {
            out.append(bytes.data() + i, length);
            i += length;
        }
    }
    out += '"';
}

bool DecodeJsonString(std::string_view quoted, std::string& bytes) {
    bytes.clear();
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
        return false;
    }
    std::string_view text = quoted.substr(1, quoted.size() - 2);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
        if (c != '\\') {
            bytes += c;
            continue;
        }
        if (++i >= text.size()) {
            return false;
        }
        switch (text[i]) {
            case '"':
                bytes += '"';
                break;
            case '\\':
                bytes += '\\';
                break;
            case '/':
                bytes += '/';
                break;
            case 'b':
                bytes += '\b';
                break;
            case 'f':
                bytes += '\f';
                break;
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case 'u': {
                uint32_t unit = 0;
                if (!ReadHex4(text, i + 1, unit)) {
                    return false;
                }
                i += 4;
                if (unit >= 0xDC80 && unit <= 0xDCFF) {
                    bytes += static_cast<char>(unit - 0xDC00);  // an escaped byte
                } else if (unit >= 0xD800 && unit <= 0xDBFF) {
                    uint32_t low = 0;
                    if (i + 2 >= text.size() || text[i + 1] != '\\' || text[i + 2] != 'u' ||
                        !ReadHex4(text, i + 3, low) || low < 0xDC00 || low > 0xDFFF) {
                        return false;
                    }
                    i += 6;
                    AppendUtf8(bytes, static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) +
                                                            (low - 0xDC00)));
                } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    return false;  // a lone low surrogate that stands for no byte
                } else {
                    AppendUtf8(bytes, static_cast<char32_t>(unit));
                }
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

}  // namespace quorvan
