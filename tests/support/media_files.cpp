#include "support/media_files.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>

namespace quorvan::test {

namespace {

using Bytes = std::vector<uint8_t>;

void Save(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

void Segment(Bytes& out, uint8_t marker, const Bytes& body) {
    out.push_back(0xFF);
    out.push_back(marker);
    size_t length = body.size() + 2;
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), body.begin(), body.end());
}

// A flat grey block needs one Huffman code for each table: DC category 0 and
// the end of block, both "0".
Bytes GreyJpeg() {
    Bytes out = {0xFF, 0xD8};
    Bytes quant = {0x00};
    quant.insert(quant.end(), 64, 1);
    Segment(out, 0xDB, quant);
    Segment(out, 0xC0, {8, 0, 8, 0, 8, 1, 1, 0x11, 0});
    Bytes dc = {0x00, 1};
    dc.insert(dc.end(), 15, 0);
    dc.push_back(0);
    Segment(out, 0xC4, dc);
    Bytes ac = {0x10, 1};
    ac.insert(ac.end(), 15, 0);
    ac.push_back(0);
    Segment(out, 0xC4, ac);
    Segment(out, 0xDA, {1, 1, 0x00, 0, 63, 0});
    out.push_back(0x3F);
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

void Chunk(Bytes& out, const char* type, const Bytes& body) {
    uint32_t length = static_cast<uint32_t>(body.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(length >> shift));
    }
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    uint32_t crc = static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size())));
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(crc >> shift));
    }
}

Bytes GreyPng() {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Chunk(out, "IHDR", {0, 0, 0, 4, 0, 0, 0, 3, 8, 0, 0, 0, 0});
    Bytes raw;
    for (int row = 0; row < 3; ++row) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), 4, 0x80);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(size);
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(size);
    Chunk(out, "IDAT", packed);
    Chunk(out, "IEND", {});
    return out;
}

// A mono 16-bit WAV of silence, for the encoders.
Bytes SilentWav(unsigned frames) {
    auto word = [](Bytes& b, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) {
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    Bytes out = {'R', 'I', 'F', 'F'};
    word(out, 36 + frames * 2, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    word(out, 16, 4);
    word(out, 1, 2);
    word(out, 1, 2);
    word(out, 44100, 4);
    word(out, 88200, 4);
    word(out, 2, 2);
    word(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    word(out, frames * 2, 4);
    out.insert(out.end(), frames * 2, 0);
    return out;
}

// MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz holding nothing.
Bytes SilentMp3(int frames) {
    Bytes out;
    for (int i = 0; i < frames; ++i) {
        Bytes frame(417, 0);
        frame[0] = 0xFF;
        frame[1] = 0xFB;
        frame[2] = 0x90;
        frame[3] = 0x64;
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

TagLib::PropertyMap PropertiesOf(const SongTags& tags) {
    TagLib::PropertyMap map;
    auto put = [&map](const char* key, const std::string& value) {
        if (!value.empty()) {
            map.insert(key, TagLib::StringList(TagLib::String(value, TagLib::String::UTF8)));
        }
    };
    put("ARTIST", tags.artist);
    put("ALBUMARTIST", tags.albumArtist);
    put("ALBUM", tags.album);
    put("TITLE", tags.title);
    put("GENRE", tags.genre);
    put("TRACKNUMBER", tags.track);
    put("DISCNUMBER", tags.disc);
    if (tags.year != 0) {
        put("DATE", std::to_string(tags.year));
    }
    return map;
}

}  // namespace

void WriteJpeg(const std::string& path, const PhotoTags& tags) {
    Save(path, GreyJpeg());
    Exiv2::ExifData exif;
    for (const auto& [key, value] :
         {std::pair{"Exif.Photo.DateTimeOriginal", tags.dateTimeOriginal},
          {"Exif.Photo.DateTimeDigitized", tags.dateTimeDigitized},
          {"Exif.Image.Make", tags.make},
          {"Exif.Image.Model", tags.model},
          {"Exif.Photo.LensModel", tags.lens}}) {
        if (!value.empty()) {
            exif[key] = value;
        }
    }
    if (tags.iso != 0) {
        exif["Exif.Photo.ISOSpeedRatings"] = static_cast<uint16_t>(tags.iso);
    }
    if (exif.empty()) {
        return;
    }
    auto image = Exiv2::ImageFactory::open(path);
    image->setExifData(exif);
    image->writeMetadata();
}

void WritePng(const std::string& path, const std::string& createDate) {
    Save(path, GreyPng());
    if (createDate.empty()) {
        return;
    }
    auto image = Exiv2::ImageFactory::open(path);
    Exiv2::XmpData xmp;
    xmp["Xmp.xmp.CreateDate"] = createDate;
    image->setXmpData(xmp);
    image->writeMetadata();
}

void WriteSong(const std::string& path, SongKind kind, const SongTags& tags) {
    if (kind == SongKind::Flac || kind == SongKind::OggVorbis) {
        std::string wav = path + ".wav";
        Save(wav, SilentWav(4410));
        Run(std::string(kind == SongKind::Flac ? "flac -s -f -o '" : "oggenc -Q -o '") + path +
            "' '" + wav + "'");
        std::remove(wav.c_str());
        TagLib::FileRef ref(path.c_str());
        ref.file()->setProperties(PropertiesOf(tags));
        ref.save();
        return;
    }
    Save(path, SilentMp3(40));
    TagLib::MPEG::File file(path.c_str());
    if (kind == SongKind::Id3v1Only) {
        TagLib::ID3v1::Tag* tag = file.ID3v1Tag(true);
        tag->setArtist(tags.artist);
        tag->setAlbum(tags.album);
        tag->setTitle(tags.title);
        tag->setGenre(tags.genre);
        tag->setTrack(static_cast<unsigned>(std::atoi(tags.track.c_str())));
        tag->setYear(tags.year);
        file.save(TagLib::MPEG::File::ID3v1);
        return;
    }
    file.ID3v2Tag(true)->setProperties(PropertiesOf(tags));
    file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
              kind == SongKind::Id3v23 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4);
}

}  // namespace quorvan::test
