// Photo and song metadata from any bytes, and names made of it: the readers
// never crash or wait, keep texts short, and a value never makes a folder.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "metadata/file_metadata.h"
#include "rules/name_template.h"

using quorvan::fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = memfd_create("metadata", MFD_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    if (write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    quorvan::FileMetadata m;
    quorvan::ReadImageMetadata(fd, m);
    quorvan::ReadAudioMetadata(fd, m);
    close(fd);
    for (const std::string* text :
         {&m.make, &m.camera, &m.lens, &m.artist, &m.albumArtist, &m.album, &m.title, &m.genre}) {
        QUORVAN_FUZZ_CHECK(text->size() <= 1024, "a value of %zu bytes", text->size());
    }

    static quorvan::NameTemplate parsed = [] {
        quorvan::NameTemplate t;
        std::string error;
        size_t offset = 0;
        quorvan::ParseNameTemplate(
            "{taken:%Y %m %d %H %M %S %a}{make}{camera}{lens}{width}{height}{iso}{artist}"
            "{albumartist}{album}{title}{track:2}{disc}{year}{genre}",
            t, error, offset);
        return t;
    }();
    quorvan::TemplateFile file{"name", "ext", "parent", 1, 0, 0, &m};
    std::string out;
    std::string missing;
    if (quorvan::ExpandNameTemplate(parsed, file, out, missing)) {
        QUORVAN_FUZZ_CHECK(
            out.find('/') == std::string::npos && out.find('\0') == std::string::npos,
            "the name %s", Shown(out).c_str());
    }
    return 0;
}
