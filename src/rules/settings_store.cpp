#include "rules/settings_store.h"

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "common/text.h"

namespace quorvan {

void CSettingsStore::Clear() {
    entries_.clear();
}

void CSettingsStore::SetValue(const std::string& key, const std::string& value) {
    entries_[key] = value;
    modified_ = true;
}

bool CSettingsStore::GetValue(const std::string& key, std::string& value) const {
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        return false;
    }
    value = it->second;
    return true;
}

bool CSettingsStore::WriteToFile(const std::string& path) {
    if (!modified_) {
        return false;
    }
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        lastError_ = errno;
        ok_ = false;
        return false;
    }
    std::string text;
    for (const auto& [key, value] : entries_) {
        text += key;
        text += " = ";
        text += value;
        text += "\r\n";
    }
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    int writeError = written ? 0 : errno;
    if (fclose(file) != 0 && written) {
        written = false;
        writeError = errno;
    }
    if (!written) {
        lastError_ = writeError;
        ok_ = false;
        return false;
    }
    lastError_ = 0;
    ok_ = true;
    return true;
}

bool CSettingsStore::ReadFromFile(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        lastError_ = errno;
        ok_ = false;
        return false;
    }
    std::string text;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
    }
    bool failed = ferror(file) != 0;
    int readError = errno;
    fclose(file);
    if (failed) {
        lastError_ = readError;
        ok_ = false;
        return false;
    }
    ReadFromText(text);
    lastError_ = 0;
    ok_ = true;
    return true;
}

void CSettingsStore::ReadFromText(const std::string& text) {
    std::string_view rest(text);
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string key(TrimWhiteSpace(line.substr(0, equals)));
        std::string value(TrimWhiteSpace(line.substr(equals + 1)));
        entries_.try_emplace(std::move(key), std::move(value));
    }
}

void CSettingsStore::SetFlag(const std::string& key, bool value) {
    SetValue(key, value ? "Yes" : "No");
}

void CSettingsStore::SetNumber(const std::string& key, int32_t value) {
    SetValue(key, FormatLong(value));
}

void CSettingsStore::SetDate(const std::string& key, const LocalDateTime& value) {
    SetValue(key, FormatLocal(value, kDateFormat));
}

void CSettingsStore::SetTime(const std::string& key, const LocalDateTime& value) {
    SetValue(key, FormatLocal(value, kTimeFormat));
}

bool CSettingsStore::GetFlag(const std::string& key, bool& value) const {
    std::string text;
    if (!GetValue(key, text)) {
        return false;
    }
    value = EqualsIgnoreCase(text, "Yes");
    return true;
}

bool CSettingsStore::GetNumber(const std::string& key, int32_t& value) const {
    std::string text;
    if (!GetValue(key, text)) {
        return false;
    }
    value = ParseLong(text);
    return true;
}

namespace {

// The number in characters [from, from + count) of text, by position.
int FieldAt(std::string_view text, size_t from, size_t count) {
    if (from >= text.size()) {
        return 0;
    }
    return ParseLong(text.substr(from, count));
}

}  // namespace

bool CSettingsStore::GetDate(const std::string& key, LocalDateTime& value) const {
    std::string text;
    if (!GetValue(key, text)) {
        return false;
    }
    // By position: month, then the two characters after the first separator,
    // then the last four characters.
    size_t yearFrom = text.size() > 4 ? text.size() - 4 : 0;
    LocalDateTime date{
        FieldAt(text, yearFrom, 4), FieldAt(text, 0, 2), FieldAt(text, 3, 2), 1, 0, 0};
    if (!IsValidDateTime(date)) {
        return false;
    }
    value = date;
    return true;
}

bool CSettingsStore::GetTime(const std::string& key, LocalDateTime& value) const {
    std::string text;
    if (!GetValue(key, text)) {
        return false;
    }
    size_t secondFrom = text.size() > 2 ? text.size() - 2 : 0;
    LocalDateTime time{
        1980, 1, 1, FieldAt(text, 0, 2), FieldAt(text, 3, 2), FieldAt(text, secondFrom, 2)};
    if (!IsValidDateTime(time)) {
        return false;
    }
    value = time;
    return true;
}

}  // namespace quorvan
