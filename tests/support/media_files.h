#pragma once

#include <string>

namespace quorvan::test {

// Small media files made here with the libraries' own writers (Exiv2, TagLib)
// and Debian's encoders, never copied from elsewhere.

// What to write into a photo's Exif; empty fields are left out.
struct PhotoTags {
    std::string dateTimeOriginal;  // "2024:06:01 08:15:00"
    std::string dateTimeDigitized;
    std::string make;
    std::string model;
    std::string lens;
    int iso = 0;
};

// An 8x8 grey baseline JPEG, with Exif when any tag is given.
void WriteJpeg(const std::string& path, const PhotoTags& tags = {});
// A 4x3 PNG carrying XMP xmp:CreateDate when `createDate` is given.
void WritePng(const std::string& path, const std::string& createDate = "");

struct SongTags {
    std::string artist, albumArtist, album, title, genre, track, disc;
    unsigned year = 0;
};

enum class SongKind { Id3v23, Id3v24, Id3v1Only, Flac, OggVorbis };
// A second of silence in the given format, tagged.
void WriteSong(const std::string& path, SongKind kind, const SongTags& tags);

}  // namespace quorvan::test
