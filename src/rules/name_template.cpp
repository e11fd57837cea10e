#include "rules/name_template.h"

#include <locale.h>
#include <cstdio>
#include <ctime>

#include "common/local_time.h"
#include "common/path.h"

namespace quorvan {

namespace {

struct FieldName {
    std::string_view name;
    TemplateField field;
    const char* missing;  // the reason when a file has no value
};

constexpr FieldName kFields[] = {
    {"name", TemplateField::Name, ""},
    {"ext", TemplateField::Ext, ""},
    {"parent", TemplateField::Parent, ""},
    {"n", TemplateField::Counter, ""},
    {"size", TemplateField::Size, ""},
    {"mtime", TemplateField::Modified, ""},
    {"taken", TemplateField::Taken, "no date taken in this file"},
    {"make", TemplateField::Make, "no camera make in this file"},
    {"camera", TemplateField::Camera, "no camera model in this file"},
    {"lens", TemplateField::Lens, "no lens in this file"},
    {"width", TemplateField::Width, "no image size in this file"},
    {"height", TemplateField::Height, "no image size in this file"},
    {"iso", TemplateField::Iso, "no ISO speed in this file"},
    {"artist", TemplateField::Artist, "no artist in this file"},
    {"albumartist", TemplateField::AlbumArtist, "no album artist in this file"},
    {"album", TemplateField::Album, "no album in this file"},
    {"title", TemplateField::Title, "no title in this file"},
    {"track", TemplateField::Track, "no track number in this file"},
    {"disc", TemplateField::Disc, "no disc number in this file"},
    {"year", TemplateField::Year, "no year in this file"},
    {"genre", TemplateField::Genre, "no genre in this file"},
};

const FieldName& Describe(TemplateField field) {
    for (const FieldName& f : kFields) {
        if (f.field == field) {
            return f;
        }
    }
    return kFields[0];
}

unsigned NeedsOf(TemplateField field) {
    if (field >= TemplateField::Taken && field <= TemplateField::Iso) {
        return kNeedImage;
    }
    if (field >= TemplateField::Artist) {
        return kNeedAudio;
    }
    return kNeedNone;
}

// Parses "a|b:FORMAT" (the text between the braces).
bool ParseToken(std::string_view body, size_t offset, TemplateToken& token, std::string& error,
                size_t& errorOffset) {
    size_t colon = body.find(':');
    std::string_view names = body.substr(0, colon);
    if (colon != std::string_view::npos) {
        token.format = std::string(body.substr(colon + 1));
        token.hasFormat = true;
    }
    size_t at = 0;
    while (true) {
        size_t bar = names.find('|', at);
        std::string_view name = names.substr(at, bar == std::string_view::npos ? bar : bar - at);
        const FieldName* found = nullptr;
        for (const FieldName& f : kFields) {
            if (f.name == name) {
                found = &f;
            }
        }
        if (found == nullptr) {
            error = name.empty() ? "A token needs a name, as in {name}"
                                 : "Unknown token {" + std::string(name) + "}";
            errorOffset = offset + at;
            return false;
        }
        token.fields.push_back(found->field);
        if (bar == std::string_view::npos) {
            return true;
        }
        at = bar + 1;
    }
}

std::string Padded(int64_t value, const TemplateToken& token) {
    int width = 0;
    if (token.hasFormat) {
        for (char c : token.format) {
            if (c < '0' || c > '9' || width > 100) {
                width = 0;
                break;
            }
            width = width * 10 + (c - '0');
        }
    }
    char text[160];
    snprintf(text, sizeof text, "%0*lld", width, static_cast<long long>(value));
    return text;
}

std::string Dated(const LocalDateTime& value, const TemplateToken& token) {
    static locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    const char* format =
        token.hasFormat && !token.format.empty() ? token.format.c_str() : "%Y-%m-%d %H.%M.%S";
    std::tm tm{};
    tm.tm_year = value.year - 1900;
    tm.tm_mon = value.month - 1;
    tm.tm_mday = value.day;
    tm.tm_hour = value.hour;
    tm.tm_min = value.minute;
    tm.tm_sec = value.second;
    // The calendar alone gives the weekday and the day of the year (%a, %j);
    // no time zone shifts the wall-clock value.
    std::tm calendar = tm;
    timegm(&calendar);
    tm.tm_wday = calendar.tm_wday;
    tm.tm_yday = calendar.tm_yday;
    char buffer[512];
    size_t n = strftime_l(buffer, sizeof buffer, format, &tm, classic);
    return std::string(buffer, n);
}

// The text of one field for one file; false when the file has none.
bool ValueOf(TemplateField field, const TemplateToken& token, const TemplateFile& file,
             std::string& out) {
    static const FileMetadata kNone;
    const FileMetadata& m = file.metadata != nullptr ? *file.metadata : kNone;
    auto text = [&out](const std::string& value) {
        out = value;
        return !value.empty();
    };
    auto number = [&out, &token](const std::optional<int64_t>& value) {
        if (!value) {
            return false;
        }
        out = Padded(*value, token);
        return true;
    };
    switch (field) {
        case TemplateField::Name:
            out = file.name;
            return true;
        case TemplateField::Ext:
            out = file.ext;
            return true;
        case TemplateField::Parent:
            out = file.parent;
            return true;
        case TemplateField::Counter:
            out = Padded(file.counter, token);
            return true;
        case TemplateField::Size:
            out = Padded(file.size, token);
            return true;
        case TemplateField::Modified:
            out = Dated(SecondsToLocal(file.modified), token);
            return true;
        case TemplateField::Taken:
            if (!m.taken) {
                return false;
            }
            out = Dated(*m.taken, token);
            return true;
        case TemplateField::Make:
            return text(m.make);
        case TemplateField::Camera:
            return text(m.camera);
        case TemplateField::Lens:
            return text(m.lens);
        case TemplateField::Width:
            return number(m.width);
        case TemplateField::Height:
            return number(m.height);
        case TemplateField::Iso:
            return number(m.iso);
        case TemplateField::Artist:
            return text(m.artist);
        case TemplateField::AlbumArtist:
            return text(m.albumArtist);
        case TemplateField::Album:
            return text(m.album);
        case TemplateField::Title:
            return text(m.title);
        case TemplateField::Track:
            return number(m.track);
        case TemplateField::Disc:
            return number(m.disc);
        case TemplateField::Year:
            return number(m.year);
        case TemplateField::Genre:
            return text(m.genre);
    }
    return false;
}

// A value as part of a name: nothing in it can make a folder or hide a byte.
std::string SafeValue(const std::string& value) {
    std::string safe = SafeNameText(value, 200);
    size_t start = safe.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : safe.substr(start);
}

}  // namespace

bool ParseNameTemplate(std::string_view text, NameTemplate& out, std::string& error,
                       size_t& errorOffset) {
    out = NameTemplate{};
    std::string literal;
    auto flush = [&] {
        if (!literal.empty()) {
            NameTemplate::Piece piece;
            piece.literal = std::move(literal);
            out.pieces.push_back(std::move(piece));
            literal.clear();
        }
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if ((c == '{' || c == '}') && i + 1 < text.size() && text[i + 1] == c) {
            literal += c;
            ++i;
            continue;
        }
        if (c == '}') {
            error = "A \"}\" outside a token is written \"}}\"";
            errorOffset = i;
            return false;
        }
        if (c != '{') {
            if (c == '/') {
                out.makesFolders = true;
            }
            literal += c;
            continue;
        }
        size_t close = text.find('}', i + 1);
        if (close == std::string_view::npos) {
            error = "A \"{\" without its \"}\"";
            errorOffset = i;
            return false;
        }
        NameTemplate::Piece piece;
        piece.isToken = true;
        if (!ParseToken(text.substr(i + 1, close - i - 1), i + 1, piece.token, error,
                        errorOffset)) {
            return false;
        }
        for (TemplateField field : piece.token.fields) {
            out.needs |= NeedsOf(field);
            out.usesCounter |= field == TemplateField::Counter;
            out.usesFileStatus |= field == TemplateField::Size || field == TemplateField::Modified;
        }
        flush();
        out.pieces.push_back(std::move(piece));
        i = close;
    }
    flush();
    return true;
}

bool ExpandNameTemplate(const NameTemplate& nameTemplate, const TemplateFile& file,
                        std::string& out, std::string& missing) {
    out.clear();
    missing.clear();
    std::string value;
    for (const NameTemplate::Piece& piece : nameTemplate.pieces) {
        if (!piece.isToken) {
            out += piece.literal;
            continue;
        }
        bool found = false;
        for (TemplateField field : piece.token.fields) {
            if (ValueOf(field, piece.token, file, value)) {
                // The file's own name is kept byte for byte; what comes from
                // inside a file or from a format is made safe.
                found = true;
                bool own = field == TemplateField::Name || field == TemplateField::Ext ||
                           field == TemplateField::Parent;
                out += own ? value : SafeValue(value);
                break;
            }
        }
        if (!found) {
            missing = Describe(piece.token.fields.front()).missing;
            return false;
        }
    }
    if (nameTemplate.makesFolders) {
        // Folders are made below the run's folder, never beside or above it.
        size_t from = 0;
        while (true) {
            size_t slash = out.find('/', from);
            std::string_view part = std::string_view(out).substr(
                from, slash == std::string::npos ? std::string::npos : slash - from);
            if (part.empty() || part == "." || part == "..") {
                missing = "the template gives a folder name that cannot be used";
                return false;
            }
            if (slash == std::string::npos) {
                break;
            }
            from = slash + 1;
        }
    }
    return true;
}

}  // namespace quorvan
