#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/file_metadata.h"

namespace quorvan {

// What a `{token}` of a name template names.
enum class TemplateField {
    Name,
    Ext,
    Parent,
    Counter,
    Size,
    Modified,  // the file
    Taken,
    Make,
    Camera,
    Lens,
    Width,
    Height,
    Iso,  // photos and images
    Artist,
    AlbumArtist,
    Album,
    Title,
    Track,
    Disc,
    Year,
    Genre,  // audio
};

// One `{a|b:FORMAT}`: the fields tried in order, the first with a value wins.
struct TemplateToken {
    std::vector<TemplateField> fields;
    std::string format;  // strftime for dates, a width for numbers
    bool hasFormat = false;
};

// A template parsed once per plan: literal text and tokens in turn.
struct NameTemplate {
    struct Piece {
        std::string literal;  // when `isToken` is false
        TemplateToken token;
        bool isToken = false;
    };
    std::vector<Piece> pieces;
    unsigned needs = kNeedNone;  // MetadataNeeds bits its tokens ask for
    bool usesCounter = false;
    bool usesFileStatus = false;  // {size} or {mtime}
    bool makesFolders = false;    // a "/" in the literal text
};

// Parses `text`. On a fault, false with a message for the user in `error` and
// the byte offset of the fault in `errorOffset`.
bool ParseNameTemplate(std::string_view text, NameTemplate& out, std::string& error,
                       size_t& errorOffset);

// What one file gives the tokens.
struct TemplateFile {
    std::string_view name;    // base name, without the extension
    std::string_view ext;     // without its dot
    std::string_view parent;  // the folder's name
    int64_t counter = 0;
    int64_t size = 0;
    int64_t modified = 0;  // seconds since the epoch
    const FileMetadata* metadata = nullptr;
};

// The new base name. A token without a value (and no fallback that has one)
// gives false, with the reason in `missing` ("no date taken in this file").
// Values are made safe for a name; only the template's own "/" makes folders.
bool ExpandNameTemplate(const NameTemplate& nameTemplate, const TemplateFile& file,
                        std::string& out, std::string& missing);

}  // namespace quorvan
