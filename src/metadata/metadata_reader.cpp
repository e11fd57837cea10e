#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "metadata/file_metadata.h"

namespace quorvan {

namespace {

bool ReadNumber(std::string_view text, size_t& at, size_t digits, int& out) {
    if (at + digits > text.size()) {
        return false;
    }
    int value = 0;
    for (size_t i = 0; i < digits; ++i) {
        char c = text[at + i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    at += digits;
    out = value;
    return true;
}

bool Skip(std::string_view text, size_t& at, std::string_view oneOf) {
    if (at < text.size() && oneOf.find(text[at]) != std::string_view::npos) {
        ++at;
        return true;
    }
    return false;
}

}  // namespace

// The image and the audio values are read apart; each kind is copied whole.
void CopyKinds(const FileMetadata& from, FileMetadata& to, unsigned kinds) {
    if (kinds & kNeedImage) {
        to.taken = from.taken;
        to.make = from.make;
        to.camera = from.camera;
        to.lens = from.lens;
        to.width = from.width;
        to.height = from.height;
        to.iso = from.iso;
    }
    if (kinds & kNeedAudio) {
        to.artist = from.artist;
        to.albumArtist = from.albumArtist;
        to.album = from.album;
        to.title = from.title;
        to.genre = from.genre;
        to.track = from.track;
        to.disc = from.disc;
        to.year = from.year;
    }
}

std::optional<LocalDateTime> ParseMetadataDate(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    LocalDateTime value;
    size_t at = 0;
    if (!ReadNumber(text, at, 4, value.year) || !Skip(text, at, ":-") ||
        !ReadNumber(text, at, 2, value.month) || !Skip(text, at, ":-") ||
        !ReadNumber(text, at, 2, value.day)) {
        return std::nullopt;
    }
    value.hour = value.minute = value.second = 0;
    if (Skip(text, at, "T ")) {
        if (!ReadNumber(text, at, 2, value.hour) || !Skip(text, at, ":") ||
            !ReadNumber(text, at, 2, value.minute)) {
            return std::nullopt;
        }
        // XMP may leave out the seconds.
        if (Skip(text, at, ":") && !ReadNumber(text, at, 2, value.second)) {
            return std::nullopt;
        }
    }
    // Cameras without a clock write zeros; that names no date.
    if (!IsValidDateTime(value)) {
        return std::nullopt;
    }
    return value;
}

FileMetadata ReadFileMetadata(const std::string& path, unsigned needs) {
    FileMetadata out;
    if (needs == kNeedNone) {
        return out;
    }
    // Without blocking: a FIFO or a device must not hold the preview.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return out;
    }
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        if (needs & kNeedImage) {
            ReadImageMetadata(fd, out);
        }
        if (needs & kNeedAudio) {
            ReadAudioMetadata(fd, out);
        }
    }
    close(fd);
    return out;
}

}  // namespace quorvan
