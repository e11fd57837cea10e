#include "common/path.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/file_system.h"

namespace quorvan {

namespace {

// The path without the "/" that end it; the root stays "/".
std::string_view WithoutEndSlashes(std::string_view path) {
    const size_t last = path.find_last_not_of('/');
    return last == std::string_view::npos ? path.substr(0, std::min<size_t>(path.size(), 1))
                                          : path.substr(0, last + 1);
}

}  // namespace

std::string_view FolderOf(std::string_view path) {
    const std::string_view whole = WithoutEndSlashes(path);
    const size_t slash = whole.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    const size_t last = whole.find_last_not_of('/', slash);
    return last == std::string_view::npos ? whole.substr(0, 1) : whole.substr(0, last + 1);
}

std::string_view NameOf(std::string_view path) {
    const std::string_view whole = WithoutEndSlashes(path);
    const size_t slash = whole.rfind('/');
    return slash == std::string_view::npos ? whole : whole.substr(slash + 1);
}

size_t ExtensionDot(std::string_view name) {
    const size_t dot = name.rfind('.');
    // Leading dots make a hidden name, not an extension: .bashrc has none.
    if (dot == std::string_view::npos || name.find_first_not_of('.') > dot) {
        return std::string_view::npos;
    }
    return dot;
}

std::string_view ExtensionOf(std::string_view name) {
    size_t dot = ExtensionDot(name);
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || out.back() != '/') {
        out += '/';
    }
    size_t skip = 0;
    while (skip < name.size() && name[skip] == '/') {
        ++skip;
    }
    out.append(name.substr(skip));
    return out;
}

bool IsRootPath(std::string_view path) {
    return path == "/";
}

bool PathExists(const std::string& path) {
    return IsRootPath(path) || EntryExists(path);
}

bool CreateFolderPath(const std::string& path) {
    if (IsRootPath(path) || PathExists(path)) {
        return true;
    }
    // A relative first level has no folder to make first.
    const std::string_view parent = FolderOf(path);
    if (!parent.empty() &&
        (parent.size() >= path.size() || !CreateFolderPath(std::string(parent)))) {
        return false;
    }
    MakeFolder(path);
    return true;
}

bool IsInvalidNameCharacter(char c) {
    switch (c) {
        case '"':
        case '*':
        case '/':
        case ':':
        case '<':
        case '>':
        case '?':
        case '\\':
        case '|':
            return true;
        default:
            return false;
    }
}

std::string SafeNameText(std::string_view text, size_t maxBytes) {
    std::string name;
    name.reserve(text.size());
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        name += IsInvalidNameCharacter(c) || u < 0x20 || u == 0x7f ? '_' : c;
    }
    if (name.size() > maxBytes) {
        size_t cut = maxBytes;
        // Back up over UTF-8 continuation bytes so no character is split.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        name.resize(cut);
    }
    // Blanks and dots at the end would sit before the extension
    // ("City  .wav"), and Windows shares cannot hold such names.
    size_t end = name.find_last_not_of(" .");
    name.resize(end == std::string::npos ? 0 : end + 1);
    return name;
}

std::string AbsoluteFromWorkingFolder(std::string_view path) {
    if (!path.empty() && path.front() == '/') {
        return std::string(path);
    }
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) {
            return std::string(path);  // no working folder to take it from
        }
        buffer.resize(buffer.size() * 2);
    }
    std::string full = buffer.data();
    if (full.back() != '/') {
        full += '/';
    }
    full.append(path);
    return full;
}

std::string MakeAbsolutePath(std::string_view path) {
    const std::string full = AbsoluteFromWorkingFolder(path);
    if (full.empty() || full.front() != '/') {
        // Without a working folder (it was deleted) a relative path stays
        // relative, so that it names nothing rather than a folder below "/".
        return full;
    }

    std::vector<std::string_view> parts;
    std::string_view rest(full);
    while (!rest.empty()) {
        size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out.append(part);
    }
    return out.empty() ? "/" : out;
}

std::string CanonicalPath(const std::string& path) {
    if (path.empty()) {
        return path;
    }
    // "a/../b" where a is a link leads elsewhere than the text suggests.
    if (char* real = realpath(path.c_str(), nullptr); real != nullptr) {
        std::string resolved = real;
        free(real);
        return resolved;
    }
    return MakeAbsolutePath(path);
}

}  // namespace quorvan
