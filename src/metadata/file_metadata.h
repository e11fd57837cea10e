#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "common/local_time.h"

namespace quorvan {

// What a name template can read from inside a file. An empty text and an
// empty optional both mean "no value".
struct FileMetadata {
    // Photos and images.
    std::optional<LocalDateTime> taken;  // Exif DateTimeOriginal, else a create date
    std::string make;
    std::string camera;  // the model
    std::string lens;
    std::optional<int64_t> width;
    std::optional<int64_t> height;
    std::optional<int64_t> iso;
    // Audio.
    std::string artist;
    std::string albumArtist;
    std::string album;
    std::string title;
    std::string genre;
    std::optional<int64_t> track;
    std::optional<int64_t> disc;
    std::optional<int64_t> year;

    bool operator==(const FileMetadata&) const = default;
};

// Which groups of values to read: only those a template names, since opening
// a file's metadata costs far more than the rest of a name.
enum MetadataNeeds : unsigned {
    kNeedNone = 0u,
    kNeedImage = 1u,  // Exiv2: photos, images, raw files
    kNeedAudio = 2u,  // TagLib: MP3, FLAC, Ogg, Opus, MP4, WAV
};

// Reads what `needs` asks of the file at `path`. A file that is no regular
// file, that vanished, or whose metadata is damaged or hostile gives no values,
// never an exception or a wait.
FileMetadata ReadFileMetadata(const std::string& path, unsigned needs);

// The readers behind it, on a file already opened (a regular file).
void ReadImageMetadata(int fd, FileMetadata& out);
void ReadAudioMetadata(int fd, FileMetadata& out);

// Copies the values of the groups in `kinds` (MetadataNeeds bits).
void CopyKinds(const FileMetadata& from, FileMetadata& to, unsigned kinds);

// A date as Exif ("2024:06:01 08:15:00") or XMP ("2024-06-01T08:15:00+02:00",
// or a date alone) writes it, as the wall-clock value it names; none for a
// text that names no real date.
std::optional<LocalDateTime> ParseMetadataDate(std::string_view text);

}  // namespace quorvan
