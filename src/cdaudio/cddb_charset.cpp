#include "cdaudio/cddb_charset.h"

#include <iconv.h>

#include <cerrno>

#include "common/text.h"

namespace quorvan {

namespace {

bool IsUtf8(std::string_view bytes) {
    char32_t cp = 0;
    for (size_t i = 0; i < bytes.size();) {
        size_t length = DecodeUtf8(bytes, i, cp);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

// The bytes as GB18030 in UTF-8; false when they are no valid GB18030 (a
// sequence that is not one, or one cut off at the end).
bool Gb18030ToUtf8(std::string_view bytes, std::string& out) {
    iconv_t convert = iconv_open("UTF-8", "GB18030");
    if (convert == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    out.clear();
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char block[4096];
    bool ok = true;
    while (inLeft > 0) {
        char* to = block;
        size_t toLeft = sizeof block;
        size_t result = iconv(convert, &in, &inLeft, &to, &toLeft);
        out.append(block, static_cast<size_t>(to - block));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;  // EILSEQ or EINVAL
            break;
        }
    }
    iconv_close(convert);
    return ok;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        AppendUtf8(out, static_cast<unsigned char>(c));
    }
    return out;
}

}  // namespace

std::string CddbTextToUtf8(std::string_view bytes, int32_t protocolLevel) {
    if (IsAscii(bytes)) {
        return std::string(bytes);
    }
    bool utf8 = IsUtf8(bytes);
    if (protocolLevel >= 6 && utf8) {
        return std::string(bytes);
    }
    std::string decoded;
    if (!utf8 && Gb18030ToUtf8(bytes, decoded)) {
        return decoded;
    }
    return Latin1ToUtf8(bytes);
}

}  // namespace quorvan
