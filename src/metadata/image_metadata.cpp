#include <cstdlib>
#include <mutex>
#include <string>

// Exiv2 0.27 still names std::auto_ptr in its headers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include "metadata/file_metadata.h"

namespace quorvan {

namespace {

// Values longer than this are no camera names; a hostile file may hold
// megabytes in one.
constexpr size_t kMaxText = 1024;

void Initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Damaged files are the readers' daily bread: they must not fill the
        // terminal with warnings.
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        // The XMP toolkit must be set up once before threads read files.
        Exiv2::XmpParser::initialize();
    });
}

Exiv2::ExifData::const_iterator Find(const Exiv2::ExifData& data, const char* key) {
    return data.findKey(Exiv2::ExifKey(key));
}
Exiv2::XmpData::const_iterator Find(const Exiv2::XmpData& data, const char* key) {
    return data.findKey(Exiv2::XmpKey(key));
}

template <typename Data>
std::string TextOf(const Data& data, const char* key) {
    try {
        auto it = Find(data, key);
        if (it == data.end() || it->count() == 0) {
            return {};
        }
        std::string text = it->toString();
        // Exif ASCII values are padded with NULs and blanks.
        while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) {
            text.pop_back();
        }
        size_t nul = text.find('\0');
        if (nul != std::string::npos) {
            text.resize(nul);
        }
        if (text.size() > kMaxText) {
            return {};
        }
        return text;
    } catch (...) {
        return {};
    }
}

template <typename Data>
std::optional<int64_t> NumberOf(const Data& data, const char* key) {
    try {
        auto it = Find(data, key);
        if (it == data.end() || it->count() == 0) {
            return std::nullopt;
        }
        long value = it->toLong(0);
        if (!it->value().ok() || value <= 0) {
            return std::nullopt;
        }
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

// Photos, images and camera raw files. Exiv2's video readers (ASF, RIFF,
// Matroska, QuickTime) loop for ever on some damaged files, and no photo
// date is found in a video anyway.
bool IsPhotoType(int type) {
    switch (type) {
        case 1:   // JPEG
        case 3:   // Canon CRW
        case 4:   // TIFF and the TIFF-based raw files (DNG, NEF, PEF, ARW, SR2, SRW)
        case 5:   // Minolta MRW
        case 6:   // PNG
        case 7:   // Canon CR2
        case 8:   // Fujifilm RAF
        case 9:   // Olympus ORF
        case 12:  // Photoshop PSD
        case 15:  // JPEG 2000
        case 16:  // Panasonic RW2
        case 19:  // HEIF, AVIF, CR3 where the library reads them
        case 23:  // WebP
            return true;
        default:
            return false;
    }
}

}  // namespace

void ReadImageMetadata(int fd, FileMetadata& out) {
    Initialise();
    try {
        // Through the descriptor already checked to be a regular file, so a
        // name swapped for a FIFO meanwhile cannot make the reader wait.
        // auto: the type's own name is deprecated in this Exiv2.
        auto image = Exiv2::ImageFactory::open("/proc/self/fd/" + std::to_string(fd), false);
        if (image.get() == nullptr || !IsPhotoType(image->imageType())) {
            return;
        }
        image->readMetadata();
        FileMetadata got;
        const Exiv2::ExifData& exif = image->exifData();
        const Exiv2::XmpData& xmp = image->xmpData();
        for (const char* key : {"Exif.Photo.DateTimeOriginal", "Xmp.exif.DateTimeOriginal",
                                "Xmp.xmp.CreateDate", "Exif.Photo.DateTimeDigitized"}) {
            std::string text = key[0] == 'E' ? TextOf(exif, key) : TextOf(xmp, key);
            got.taken = ParseMetadataDate(text);
            if (got.taken) {
                break;
            }
        }
        got.make = TextOf(exif, "Exif.Image.Make");
        if (got.make.empty()) {
            got.make = TextOf(xmp, "Xmp.tiff.Make");
        }
        got.camera = TextOf(exif, "Exif.Image.Model");
        if (got.camera.empty()) {
            got.camera = TextOf(xmp, "Xmp.tiff.Model");
        }
        got.lens = TextOf(exif, "Exif.Photo.LensModel");
        if (got.lens.empty()) {
            got.lens = TextOf(xmp, "Xmp.aux.Lens");
        }
        got.iso = NumberOf(exif, "Exif.Photo.ISOSpeedRatings");
        int width = image->pixelWidth();
        int height = image->pixelHeight();
        if (width > 0 && height > 0) {
            got.width = width;
            got.height = height;
        } else {
            got.width = NumberOf(exif, "Exif.Photo.PixelXDimension");
            got.height = NumberOf(exif, "Exif.Photo.PixelYDimension");
        }
        CopyKinds(got, out, kNeedImage);
    } catch (...) {
        // Exiv2 throws for files it does not know and for damaged ones alike:
        // either way the file has no values.
    }
}

}  // namespace quorvan
