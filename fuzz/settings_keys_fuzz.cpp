// Loading arbitrary settings and filter files into the rules and the filter,
// and saving what was loaded: a second load and save must give the same file.
#include <cstdint>
#include <map>
#include <string>

#include "fuzz_support.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"

using quorvan::CFilterSettings;
using quorvan::CRenameRules;
using quorvan::CSettingsStore;
using quorvan::fuzz::ScratchFile;
using quorvan::fuzz::Shown;

namespace {

using Entries = std::map<std::string, std::string>;

std::string Describe(const Entries& a, const Entries& b) {
    std::string out;
    for (const auto& [key, value] : a) {
        auto it = b.find(key);
        if (it == b.end()) {
            out += "only first: " + Shown(key) + " = " + Shown(value) + "\n";
        } else if (it->second != value) {
            out +=
                "changed: " + Shown(key) + ": " + Shown(value) + " -> " + Shown(it->second) + "\n";
        }
    }
    for (const auto& [key, value] : b) {
        if (a.count(key) == 0) {
            out += "only second: " + Shown(key) + " = " + Shown(value) + "\n";
        }
    }
    return out;
}

// Writes the store to the scratch file and reads it into `into`.
void WriteAndRead(CSettingsStore& from, CSettingsStore& into) {
    QUORVAN_FUZZ_CHECK(from.WriteToFile(ScratchFile()), "write failed");
    into.Clear();
    QUORVAN_FUZZ_CHECK(into.ReadFromFile(ScratchFile()), "read failed");
}

void CheckRenameRules(const std::string& text) {
    CRenameRules loaded;
    loaded.Store().ReadFromText(text);
    loaded.ReadSettingsKeys();
    loaded.Store().Clear();
    loaded.WriteSettingsKeys();
    const Entries saved = loaded.Store().Entries();

    CRenameRules reloaded;
    WriteAndRead(loaded.Store(), reloaded.Store());
    reloaded.ReadSettingsKeys();
    reloaded.Store().Clear();
    reloaded.WriteSettingsKeys();
    QUORVAN_FUZZ_CHECK(reloaded.Store().Entries() == saved, "settings file changed:\n%s",
                       Describe(saved, reloaded.Store().Entries()).c_str());
}

void CheckFilter(const std::string& text) {
    CFilterSettings loaded;
    loaded.Store().ReadFromText(text);
    loaded.ReadFilterKeys();
    loaded.Store().Clear();
    loaded.WriteFilterKeys();
    const Entries saved = loaded.Store().Entries();

    CFilterSettings reloaded;
    WriteAndRead(loaded.Store(), reloaded.Store());
    reloaded.ReadFilterKeys();
    reloaded.Store().Clear();
    reloaded.WriteFilterKeys();
    QUORVAN_FUZZ_CHECK(reloaded.Store().Entries() == saved, "filter file changed:\n%s",
                       Describe(saved, reloaded.Store().Entries()).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Settings and filter keys differ, so one text can feed both readers.
    CheckRenameRules(text);
    CheckFilter(text);
    return 0;
}
