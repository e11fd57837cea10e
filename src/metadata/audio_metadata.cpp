#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include <taglib/fileref.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>

#include "metadata/file_metadata.h"

namespace quorvan {

namespace {

constexpr size_t kMaxText = 1024;

class CQuietListener final : public TagLib::DebugListener {
  public:
    void printMessage(const TagLib::String&) override {}
};

void Initialise() {
    static std::once_flag once;
    static CQuietListener quiet;
    std::call_once(once, [] { TagLib::setDebugListener(&quiet); });
}

std::string Text(const TagLib::String& value) {
    if (value.isEmpty()) {
        return {};
    }
    std::string text = value.to8Bit(true);
    size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    if (text.size() > kMaxText) {
        return {};
    }
    return text;
}

// "3/12" and "3" both give 3.
std::optional<int64_t> LeadingNumber(const std::string& text) {
    int64_t value = 0;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    size_t start = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 9; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    if (i == start || value <= 0) {
        return std::nullopt;
    }
    return value;
}

std::string FirstOf(const TagLib::PropertyMap& properties, const char* key) {
    auto it = properties.find(key);
    if (it == properties.end() || it->second.isEmpty()) {
        return {};
    }
    return Text(it->second.front());
}

}  // namespace

void ReadAudioMetadata(int fd, FileMetadata& out) {
    Initialise();
    // The stream closes what it is given; the caller keeps its own descriptor.
    int own = dup(fd);
    if (own < 0) {
        return;
    }
    FileMetadata got;
    try {
        TagLib::FileStream stream(own, true);
        if (!stream.isOpen()) {
            close(own);
            return;
        }
        // Told by content, not by the name's extension.
        TagLib::FileRef ref(&stream, false);
        if (ref.isNull() || ref.tag() == nullptr) {
            return;
        }
        const TagLib::Tag* tag = ref.tag();
        got.artist = Text(tag->artist());
        got.album = Text(tag->album());
        got.title = Text(tag->title());
        got.genre = Text(tag->genre());
        if (tag->track() > 0) {
            got.track = tag->track();
        }
        if (tag->year() > 0) {
            got.year = tag->year();
        }
        TagLib::PropertyMap properties = ref.file()->properties();
        got.albumArtist = FirstOf(properties, "ALBUMARTIST");
        got.disc = LeadingNumber(FirstOf(properties, "DISCNUMBER"));
        CopyKinds(got, out, kNeedAudio);
    } catch (...) {
        // A tag too damaged to read has no values.
    }
}

}  // namespace quorvan
