// xmcd records from "cddb read" replies, and the file names made of their
// titles: a CD title never yields a name holding "/" or a NUL byte, nor one
// that addresses a folder ("", ".", ".."), and the new name stays in the
// track's folder.
#include <cstdint>
#include <string>
#include <string_view>

#include "cdaudio/cddb_reply.h"
#include "cdaudio/track_names.h"
#include "fuzz_support.h"
#include "rules/rename_rules.h"

using quorvan::fuzz::Shown;

namespace {

void CheckName(std::string_view title, int track) {
    const std::string name = quorvan::SafeTrackFileName(title, track);
    QUORVAN_FUZZ_CHECK(name.find('/') == std::string::npos &&
                           name.find('\0') == std::string::npos && !name.empty() && name != "." &&
                           name != "..",
                       "title %s gives the name %s", Shown(title).c_str(), Shown(name).c_str());

    // The name as the base of a track's new name, renamed in place.
    quorvan::CRenameRules rules;
    rules.Settings().TextMode = true;
    rules.Settings().RenameInPlace = true;
    for (const char* source : {"/music/cd/track01.wav", "/music/cd/track02"}) {
        std::string target = name;
        rules.ComputeName("/music/cd", source, target, true);
        const std::string_view rest = std::string_view(target).substr(sizeof "/music/cd/" - 1);
        QUORVAN_FUZZ_CHECK(
            target.rfind("/music/cd/", 0) == 0 && !rest.empty() &&
                rest.find('/') == std::string_view::npos && rest != "." && rest != "..",
            "title %s gives the target %s", Shown(title).c_str(), Shown(target).c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    quorvan::CddbDiscRecord record;
    if (quorvan::ParseDiscRecord(body, record)) {
        for (size_t i = 0; i < record.trackTitles.size() && i < 100; ++i) {
            CheckName(record.trackTitles[i], static_cast<int>(i) + 1);
        }
        quorvan::CdTrackTable table(3);
        for (const auto& row : quorvan::RetrievedTitles(record, table)) {
            QUORVAN_FUZZ_CHECK(
                row.name.find('/') == std::string::npos && row.name.find('\0') == std::string::npos,
                "retrieved name %s", Shown(row.name).c_str());
        }
    }
    // Any text may reach the list as a title (a server's bytes are not ours).
    CheckName(body.substr(0, 4096), 1);

    quorvan::UnescapeXmcdValue(body);
    uint32_t value = 0;
    quorvan::ParseHex32(body, value);
    return 0;
}
