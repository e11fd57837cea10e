#include "rules/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "common/text.h"
#include "platform/file_system.h"

namespace quorvan {

namespace {

// True when no line of `text` is longer than `limit` bytes.
bool LinesWithin(std::string_view text, size_t limit) {
    while (!text.empty()) {
        size_t end = text.find('\n');
        if ((end == std::string_view::npos ? text.size() : end) > limit) {
            return false;
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return true;
}

constexpr size_t kQuotedLength = std::string_view(CSettingsStore::kQuotedSuffix).size();

bool IsQuotedKey(std::string_view key) {
    return key.size() >= kQuotedLength &&
           key.substr(key.size() - kQuotedLength) == CSettingsStore::kQuotedSuffix;
}

}  // namespace

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
    auto fail = [this](int error) {
        lastError_ = error;
        return false;
    };
    // Whatever stands at the name must be a regular file before it is
    // emptied; opening a FIFO for writing would wait for a reader.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return fail(S_ISDIR(st.st_mode) ? EISDIR : kErrorNotRegularFile);
    }
    int error = 0;
    int fd = OpenRegularFile(path, O_WRONLY | O_CREAT, error);
    if (fd < 0) {
        // ENXIO: a FIFO without a reader appeared since the check.
        return fail(error == ENXIO ? kErrorNotRegularFile : error);
    }
    std::string text;
    for (const auto& [key, value] : entries_) {
        if (IsQuotedKey(key)) {
            continue;  // made again from the value it stands for
        }
        std::string plain = PlainValue(value);
        text += key;
        text += " = ";
        text += plain;
        text += "\r\n";
        if (plain != value) {
            text += key;
            text += kQuotedSuffix;
            text += " = ";
            text += QuoteValue(value);
            text += "\r\n";
        }
    }
    error = ftruncate(fd, 0) == 0 ? WriteAll(fd, text.data(), text.size()) : errno;
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        return fail(error);
    }
    lastError_ = 0;
    return true;
}

bool CSettingsStore::ReadFromFile(const std::string& path) {
    auto fail = [this](int error) {
        lastError_ = error;
        return false;
    };
    std::string text;
    int error = ReadSmallFile(path, kMaxFileSize, text);
    if (error == 0 && !LinesWithin(text, kMaxLineLength)) {
        error = kErrorLineTooLong;
    }
    if (error != 0) {
        return fail(error);
    }
    ReadFromText(text);
    lastError_ = 0;
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
    for (const auto& [key, quoted] : entries_) {
        std::string value;
        if (!IsQuotedKey(key) || !UnquoteValue(quoted, value)) {
            continue;
        }
        auto [it, added] = entries_.try_emplace(key.substr(0, key.size() - kQuotedLength), value);
        if (!added && it->second == PlainValue(value)) {
            it->second = std::move(value);
        }
    }
}

std::string CSettingsStore::QuoteValue(std::string_view value) {
    std::string out = "\"";
    for (char c : value) {
        const char* escape = c == '\\'   ? "\\\\"
                             : c == '"'  ? "\\\""
                             : c == '\t' ? "\\t"
                             : c == '\n' ? "\\n"
                             : c == '\r' ? "\\r"
                             : c == '\v' ? "\\v"
                             : c == '\f' ? "\\f"
                                         : nullptr;
        if (escape != nullptr) {
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

bool CSettingsStore::UnquoteValue(std::string_view quoted, std::string& value) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
        return false;
    }
    quoted = quoted.substr(1, quoted.size() - 2);
    std::string out;
    for (size_t i = 0; i < quoted.size(); ++i) {
        char c = quoted[i];
        if (c == '"') {
            return false;
        }
        if (c == '\\') {
            if (++i == quoted.size()) {
                return false;
            }
            constexpr std::string_view kFrom = "\\\"tnrvf";
            constexpr std::string_view kTo = "\\\"\t\n\r\v\f";
            const size_t at = kFrom.find(quoted[i]);
            if (at == std::string_view::npos) {
                return false;
            }
            c = kTo[at];
        }
        out += c;
    }
    value = std::move(out);
    return true;
}

std::string CSettingsStore::PlainValue(std::string_view value) {
    std::string plain(TrimWhiteSpace(value));
    for (char& c : plain) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return plain;
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
