#include "common/text.h"

#include <locale.h>
#include <wctype.h>

#include <climits>

namespace quorvan {

int32_t ParseLong(std::string_view text) {
    size_t i = 0;
    auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{INT32_MAX} + 1) {
            value = int64_t{INT32_MAX} + 1;
        }
        ++i;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        value = INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

std::string FormatLong(int32_t value) {
    return std::to_string(value);
}

std::string_view TrimWhiteSpace(std::string_view text) {
    constexpr std::string_view kWhite = " \t\r\n\v\f";
    size_t first = text.find_first_not_of(kWhite);
    if (first == std::string_view::npos) {
        return {};
    }
    size_t last = text.find_last_not_of(kWhite);
    return text.substr(first, last - first + 1);
}

namespace {

locale_t Utf8Locale() {
    static locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

}  // namespace

// Decodes one strictly valid UTF-8 character at text[i]; returns its length or
// 0 when the bytes there are not a valid character.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& out) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    size_t len;
    char32_t cp;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < len; ++k) {
        unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    out = cp;
    return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

template <typename Map>
std::string MapCase(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size());
    locale_t locale = Utf8Locale();
    for (size_t i = 0; i < text.size();) {
        char32_t cp;
        size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out += text[i];
            ++i;
            continue;
        }
        if (cp < 0x80) {
            out += static_cast<char>(map(static_cast<char>(cp)));
        } else if (locale != static_cast<locale_t>(0)) {
            wint_t mapped = map(static_cast<wint_t>(cp), locale);
            AppendUtf8(out, static_cast<char32_t>(mapped));
        } else {
            out.append(text.substr(i, len));
        }
        i += len;
    }
    return out;
}

struct ToUpper {
    char operator()(char c) const { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }
    wint_t operator()(wint_t c, locale_t l) const { return towupper_l(c, l); }
};
struct ToLower {
    char operator()(char c) const { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }
    wint_t operator()(wint_t c, locale_t l) const { return towlower_l(c, l); }
};

}  // namespace

std::string Utf8ToUpper(std::string_view text) {
    return MapCase(text, ToUpper{});
}

std::string Utf8ToLower(std::string_view text) {
    return MapCase(text, ToLower{});
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() == b.size() && a == b) {
        return true;
    }
    return Utf8ToLower(a) == Utf8ToLower(b);
}

namespace {

void AppendOctal(std::string& out, unsigned char byte) {
    out += '\\';
    out += static_cast<char>('0' + (byte >> 6));
    out += static_cast<char>('0' + ((byte >> 3) & 7));
    out += static_cast<char>('0' + (byte & 7));
}

}  // namespace

std::string EscapeForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            AppendOctal(out, static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        if (cp >= 0x20 && cp != 0x7F && !(cp >= 0x80 && cp <= 0x9F) && cp != '\\') {
            out.append(text.substr(i, len));
        } else {
            switch (cp) {
                case '\\':
                    out += "\\\\";
                    break;
                case '\a':
                    out += "\\a";
                    break;
                case '\b':
                    out += "\\b";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\v':
                    out += "\\v";
                    break;
                case '\f':
                    out += "\\f";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                default:
                    for (size_t k = 0; k < len; ++k) {
                        AppendOctal(out, static_cast<unsigned char>(text[i + k]));
                    }
            }
        }
        i += len;
    }
    return out;
}

}  // namespace quorvan
