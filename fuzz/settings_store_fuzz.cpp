// CSettingsStore: parsing arbitrary file text, and writing then reading back.
#include <cstdint>
#include <map>
#include <string>

#include "common/local_time.h"
#include "common/text.h"
#include "fuzz_support.h"
#include "rules/settings_store.h"

using quorvan::CSettingsStore;
using quorvan::LocalDateTime;
using quorvan::fuzz::ScratchFile;
using quorvan::fuzz::Shown;

namespace {

using Entries = std::map<std::string, std::string>;

// What the line format can hold: no line break, no "=" in the key, nothing the
// reader trims at either end of key or value.
bool Representable(const std::string& key, const std::string& value) {
    return key.find_first_of("=\n") == std::string::npos && value.find('\n') == std::string::npos &&
           quorvan::TrimWhiteSpace(key) == key && quorvan::TrimWhiteSpace(value) == value;
}

void CheckWriteAndReadBack(const Entries& entries) {
    if (entries.empty()) {
        return;  // an unmodified store writes nothing
    }
    CSettingsStore out;
    for (const auto& [key, value] : entries) {
        out.SetValue(key, value);
    }
    QUORVAN_FUZZ_CHECK(out.WriteToFile(ScratchFile()), "write failed");
    CSettingsStore in;
    QUORVAN_FUZZ_CHECK(in.ReadFromFile(ScratchFile()), "read failed");
    // A value a plain line cannot hold goes out once more in its quoted form,
    // which older readers take for a key of its own; keys of that form are
    // the store's own and never written as they are.
    const std::string quoted = CSettingsStore::kQuotedSuffix;
    auto isQuoted = [&](const std::string& key) { return key.ends_with(quoted); };
    Entries want;
    for (const auto& [key, value] : entries) {
        if (!isQuoted(key)) {
            want.emplace(key, value);
        }
    }
    Entries back;
    for (const auto& [key, value] : in.Entries()) {
        if (!isQuoted(key)) {
            back.emplace(key, value);
        }
    }
    QUORVAN_FUZZ_CHECK(back == want, "%zu entries written, %zu read back", want.size(),
                       back.size());
}

// Typed values written by the store read back as the same value.
void CheckTypedValues(const CSettingsStore& parsed) {
    for (const auto& [key, value] : parsed.Entries()) {
        CSettingsStore typed;
        bool flag = false;
        if (parsed.GetFlag(key, flag)) {
            typed.SetFlag("k", flag);
            bool back = !flag;
            QUORVAN_FUZZ_CHECK(typed.GetFlag("k", back) && back == flag, "flag %s",
                               Shown(value).c_str());
        }
        int32_t number = 0;
        if (parsed.GetNumber(key, number)) {
            typed.SetNumber("k", number);
            int32_t back = 0;
            QUORVAN_FUZZ_CHECK(typed.GetNumber("k", back) && back == number, "number %s",
                               Shown(value).c_str());
        }
        LocalDateTime date;
        if (parsed.GetDate(key, date)) {
            typed.SetDate("k", date);
            LocalDateTime back;
            QUORVAN_FUZZ_CHECK(typed.GetDate("k", back) && back == date, "date %s",
                               Shown(value).c_str());
        }
        LocalDateTime time;
        if (parsed.GetTime(key, time)) {
            typed.SetTime("k", time);
            LocalDateTime back;
            QUORVAN_FUZZ_CHECK(typed.GetTime("k", back) && back == time, "time %s",
                               Shown(value).c_str());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CSettingsStore parsed;
    parsed.ReadFromText(text);

    // Reading the same text from a file parses it the same way.
    FILE* file = fopen(ScratchFile().c_str(), "wb");
    QUORVAN_FUZZ_CHECK(file != nullptr, "cannot write %s", ScratchFile().c_str());
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    CSettingsStore fromFile;
    QUORVAN_FUZZ_CHECK(fromFile.ReadFromFile(ScratchFile()), "read failed");
    QUORVAN_FUZZ_CHECK(fromFile.Entries() == parsed.Entries(), "file and text parse differ");

    // Whatever was read can be written and read back unchanged.
    CheckWriteAndReadBack(parsed.Entries());
    CheckTypedValues(parsed);

    // Entries set directly, one per line as key TAB value, untrimmed: those
    // the format can hold come back unchanged.
    Entries direct;
    size_t from = 0;
    while (from <= text.size()) {
        size_t end = text.find('\n', from);
        std::string line = text.substr(from, end == std::string::npos ? end : end - from);
        size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            std::string key = line.substr(0, tab);
            std::string value = line.substr(tab + 1);
            if (Representable(key, value)) {
                direct.emplace(std::move(key), std::move(value));
            }
        }
        if (end == std::string::npos) {
            break;
        }
        from = end + 1;
    }
    CheckWriteAndReadBack(direct);
    return 0;
}
