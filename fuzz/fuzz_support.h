#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quorvan::fuzz {

// A broken property is a finding: libFuzzer keeps the input when we abort.
#define QUORVAN_FUZZ_CHECK(condition, ...)                                                    \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            fprintf(stderr, __VA_ARGS__);                                                     \
            fprintf(stderr, "\n");                                                            \
            abort();                                                                          \
        }                                                                                     \
    } while (false)

// Text as a C string literal would show it, for failure messages.
inline std::string Shown(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char buffer[8];
            snprintf(buffer, sizeof buffer, "\\x%02x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// Undoes "\xHH" and "\\" escapes, so that seeds written as settings lines can
// still carry blanks at the ends, line breaks and NUL bytes.
inline std::string Unescape(std::string_view text) {
    auto hex = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
                   hex(text[i + 2]) >= 0 && hex(text[i + 3]) >= 0) {
            out += static_cast<char>(hex(text[i + 2]) * 16 + hex(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A file of this process for write-and-read-back checks, removed at exit.
inline const std::string& ScratchFile() {
    static const std::string path = [] {
        const char* dir = getenv("TMPDIR");
        std::string pattern =
            std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/quorvan-fuzz-XXXXXX";
        int fd = mkstemp(pattern.data());
        if (fd < 0) {
            perror("mkstemp");
            abort();
        }
        close(fd);
        return pattern;
    }();
    static const bool removeAtExit = [] {
        atexit([] { unlink(ScratchFile().c_str()); });
        return true;
    }();
    (void)removeAtExit;
    return path;
}

}  // namespace quorvan::fuzz
