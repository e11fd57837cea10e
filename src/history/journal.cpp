#include "history/journal.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <system_error>
#include <tuple>
#include <type_traits>

#include "common/text.h"
#include "platform/file_system.h"

namespace quorvan {

namespace {

// ---- Strings ------------------------------------------------------------

// The length of the valid UTF-8 character at `p` (strict: no overlong forms,
// no surrogates, nothing above U+10FFFF), 0 when the byte starts none.
size_t Utf8Length(const unsigned char* p, size_t left) {
    unsigned char c = p[0];
    auto cont = [&](size_t i) { return i < left && (p[i] & 0xC0) == 0x80; };
    if (c >= 0xC2 && c <= 0xDF) {
        return cont(1) ? 2 : 0;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !cont(1) || !cont(2)) {
            return 0;
        }
        if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] > 0x9F)) {
            return 0;
        }
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !cont(1) || !cont(2) || !cont(3)) {
            return 0;
        }
        if ((c == 0xF0 && p[1] < 0x90) || (c == 0xF4 && p[1] > 0x8F)) {
            return 0;
        }
        return 4;
    }
    return 0;
}

void AppendHex4(std::string& out, unsigned value) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\u";
    out += kHex[(value >> 12) & 0xF];
    out += kHex[(value >> 8) & 0xF];
    out += kHex[(value >> 4) & 0xF];
    out += kHex[value & 0xF];
}

bool ReadHex4(std::string_view text, size_t pos, uint32_t& value) {
    if (pos + 4 > text.size()) {
        return false;
    }
    value = 0;
    for (size_t i = pos; i < pos + 4; ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return true;
}

// ---- Objects ------------------------------------------------------------

struct JsonValue {
    enum class Kind { String, Number, Bool, Null } kind = Kind::Null;
    std::string text;
    uint64_t number = 0;
    bool negative = false;
    bool flag = false;
};

// The members of one flat JSON object, in their order.
class Fields final {
  public:
    bool Parse(std::string_view line);

    const JsonValue* Find(std::string_view key) const {
        for (const auto& [name, value] : items_) {
            if (name == key) {
                return &value;
            }
        }
        return nullptr;
    }
    bool Str(std::string_view key, std::string& out) const {
        const JsonValue* v = Find(key);
        if (v == nullptr || v->kind != JsonValue::Kind::String) {
            return false;
        }
        out = v->text;
        return true;
    }
    // Absent leaves `out` empty; present must be a string.
    bool OptStr(std::string_view key, std::string& out) const {
        return Find(key) == nullptr || Str(key, out);
    }
    bool U64(std::string_view key, uint64_t& out) const {
        const JsonValue* v = Find(key);
        if (v == nullptr || v->kind != JsonValue::Kind::Number || v->negative) {
            return false;
        }
        out = v->number;
        return true;
    }
    bool I64(std::string_view key, int64_t& out) const {
        const JsonValue* v = Find(key);
        if (v == nullptr || v->kind != JsonValue::Kind::Number ||
            v->number > (v->negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1)) {
            return false;
        }
        out = v->negative ? static_cast<int64_t>(0 - v->number) : static_cast<int64_t>(v->number);
        return true;
    }
    bool Bool(std::string_view key, bool& out) const {
        const JsonValue* v = Find(key);
        if (v == nullptr || v->kind != JsonValue::Kind::Bool) {
            return false;
        }
        out = v->flag;
        return true;
    }
    bool Time(const std::string& key, FileTimeNs& out) const {
        return I64(key, out.sec) && I64(key + "_ns", out.nsec);
    }
    // Absent leaves `out` zero.
    bool OptTime(const std::string& key, FileTimeNs& out) const {
        return Find(key) == nullptr || Time(key, out);
    }
    // Device, file system, inode, generation and birth time; the last three
    // may be absent.
    bool Identity(FileStamp& out) const {
        uint64_t gen = 0;
        out.hasGen = Find("gen") != nullptr;
        if (!U64("dev", out.dev) || !OptU64("fs", out.fsid) || !U64("ino", out.ino) ||
            !OptU64("gen", gen) || gen > UINT32_MAX || !OptTime("btime", out.btime)) {
            return false;
        }
        out.gen = static_cast<uint32_t>(gen);
        return true;
    }
    bool Stamp(FileStamp& out) const {
        return Identity(out) && I64("size", out.size) && Time("mtime", out.mtime);
    }
    // Absent leaves `out` zero.
    bool OptU64(std::string_view key, uint64_t& out) const {
        return Find(key) == nullptr || U64(key, out);
    }

  private:
    std::vector<std::pair<std::string, JsonValue>> items_;
};

size_t SkipSpace(std::string_view text, size_t pos) {
    while (pos < text.size() &&
           (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n')) {
        ++pos;
    }
    return pos;
}

// The extent of the JSON string starting at `pos` (its quotes included).
bool StringExtent(std::string_view text, size_t pos, size_t& end) {
    if (pos >= text.size() || text[pos] != '"') {
        return false;
    }
    for (size_t i = pos + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            end = i + 1;
            return true;
        }
    }
    return false;
}

bool ParseValue(std::string_view text, size_t& pos, JsonValue& value) {
    if (pos >= text.size()) {
        return false;
    }
    char c = text[pos];
    if (c == '"') {
        size_t end = 0;
        if (!StringExtent(text, pos, end) ||
            !DecodeJsonString(text.substr(pos, end - pos), value.text)) {
            return false;
        }
        value.kind = JsonValue::Kind::String;
        pos = end;
        return true;
    }
    for (auto [word, kind, flag] : {std::tuple{"true", JsonValue::Kind::Bool, true},
                                    std::tuple{"false", JsonValue::Kind::Bool, false},
                                    std::tuple{"null", JsonValue::Kind::Null, false}}) {
        std::string_view w(word);
        if (text.substr(pos, w.size()) == w) {
            value.kind = kind;
            value.flag = flag;
            pos += w.size();
            return true;
        }
    }
    value.kind = JsonValue::Kind::Number;
    value.negative = c == '-';
    size_t start = pos + (value.negative ? 1 : 0);
    auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value.number);
    if (ec != std::errc() || ptr == text.data() + start) {
        return false;
    }
    pos = static_cast<size_t>(ptr - text.data());
    // Only integers are written.
    return pos >= text.size() || (text[pos] != '.' && text[pos] != 'e' && text[pos] != 'E');
}

bool Fields::Parse(std::string_view line) {
    items_.clear();
    size_t pos = SkipSpace(line, 0);
    if (pos >= line.size() || line[pos] != '{') {
        return false;
    }
    pos = SkipSpace(line, pos + 1);
    if (pos < line.size() && line[pos] == '}') {
        return SkipSpace(line, pos + 1) == line.size();
    }
    for (;;) {
        size_t end = 0;
        std::string key;
        if (!StringExtent(line, pos, end) || !DecodeJsonString(line.substr(pos, end - pos), key)) {
            return false;
        }
        pos = SkipSpace(line, end);
        if (pos >= line.size() || line[pos] != ':') {
            return false;
        }
        pos = SkipSpace(line, pos + 1);
        JsonValue value;
        if (!ParseValue(line, pos, value)) {
            return false;
        }
        items_.emplace_back(std::move(key), std::move(value));
        pos = SkipSpace(line, pos);
        if (pos < line.size() && line[pos] == ',') {
            pos = SkipSpace(line, pos + 1);
            continue;
        }
        if (pos < line.size() && line[pos] == '}') {
            return SkipSpace(line, pos + 1) == line.size();
        }
        return false;
    }
}

// ---- Lines ----------------------------------------------------------------

// Writes one record's members, "t" first.
class LineBuilder final {
  public:
    LineBuilder(std::string& out, const char* kind) : out_(out) {
        out_ += "{\"t\":\"";
        out_ += kind;
        out_ += '"';
    }
    LineBuilder& Str(const char* key, std::string_view value) {
        Key(key);
        EncodeJsonString(out_, value);
        return *this;
    }
    template <typename T>
    LineBuilder& Num(const char* key, T value) {
        static_assert(std::is_integral_v<T>);
        Key(key);
        AppendNumber(value);
        return *this;
    }
    LineBuilder& Bool(const char* key, bool value) {
        Key(key);
        out_ += value ? "true" : "false";
        return *this;
    }
    LineBuilder& Null(const char* key) {
        Key(key);
        out_ += "null";
        return *this;
    }
    LineBuilder& Time(const char* key, const FileTimeNs& time) {
        Num(key, time.sec);
        out_ += ",\"";
        out_ += key;
        out_ += "_ns\":";
        AppendNumber(time.nsec);
        return *this;
    }
    LineBuilder& Identity(const FileStamp& stamp) {
        Num("dev", stamp.dev);
        if (stamp.fsid != 0) {
            Num("fs", stamp.fsid);
        }
        Num("ino", stamp.ino);
        if (stamp.hasGen) {
            Num("gen", stamp.gen);
        }
        return Birth(stamp.btime);
    }
    LineBuilder& Stamp(const FileStamp& stamp) {
        Identity(stamp).Num("size", stamp.size);
        return Time("mtime", stamp.mtime);
    }
    // Only where the file system keeps one.
    LineBuilder& Birth(const FileTimeNs& btime) {
        return btime == FileTimeNs{} ? *this : Time("btime", btime);
    }
    void End() { out_ += "}\n"; }

  private:
    template <typename T>
    void AppendNumber(T value) {
        char digits[24];
        auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
        out_.append(digits, end);
    }
    void Key(const char* key) {
        out_ += ",\"";
        out_ += key;
        out_ += "\":";
    }
    std::string& out_;
};

void EncodeRename(std::string& out, std::string_view from, std::string_view to,
                  const FileStamp& file, TempSide temp, std::string_view then) {
    LineBuilder line(out, "rename");
    line.Str("from", from).Str("to", to).Stamp(file);
    if (temp == TempSide::To) {
        line.Str("temp", "to");
        if (!then.empty()) {
            line.Str("then", then);
        }
    } else if (temp == TempSide::From) {
        line.Str("temp", "from");
    }
    line.End();
}

const char* ModeName(RunMode mode) {
    return mode == RunMode::Copy ? "copy" : "rename";
}
const char* EndName(RunEnd status) {
    switch (status) {
        case RunEnd::Cancelled:
            return "cancelled";
        case RunEnd::Aborted:
            return "aborted";
        default:
            return "complete";
    }
}
const char* OutcomeName(UndoOutcome outcome) {
    switch (outcome) {
        case UndoOutcome::Skipped:
            return "skipped";
        case UndoOutcome::Unchanged:
            return "unchanged";
        default:
            return "restored";
    }
}

std::string OctalMode(uint32_t mode) {
    char digits[16];
    snprintf(digits, sizeof digits, "%04o", mode & 07777);
    return digits;
}

bool ParseOctalMode(const std::string& text, uint32_t& mode) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    mode = 0;
    for (char c : text) {
        if (c < '0' || c > '7') {
            return false;
        }
        mode = mode * 8 + static_cast<uint32_t>(c - '0');
    }
    return mode <= 07777;
}

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

std::optional<JournalRecord> DecodeFields(const Fields& f, const std::string& kind) {
    if (kind == "rename") {
        RenameRecord r;
        std::string temp;
        if (!f.Str("from", r.from) || !f.Str("to", r.to) || !f.Stamp(r.file) ||
            !f.OptStr("temp", temp) || !f.OptStr("then", r.then)) {
            return std::nullopt;
        }
        if (temp == "to") {
            r.temp = TempSide::To;
        } else if (temp == "from") {
            r.temp = TempSide::From;
        } else if (!temp.empty()) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "file") {
        FileRecord r;
        if (!f.Bool("ok", r.ok) || !f.OptStr("from", r.from) || !f.OptStr("to", r.to) ||
            !f.OptStr("error", r.error)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "copy") {
        CopyRecord r;
        if (!f.Str("from", r.from) || !f.Str("to", r.to) || !f.Str("tmp", r.temp) ||
            !f.Stamp(r.copy)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "trash") {
        TrashRecord r;
        if (!f.Str("path", r.path) || !f.Stamp(r.file)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "trashed") {
        TrashedRecord r;
        if (!f.Str("path", r.path) || !f.Str("file", r.trashFile) || !f.Str("info", r.trashInfo)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "attrs") {
        AttrsRecord r;
        std::string mode;
        const JsonValue* dos = f.Find("dosattrib");
        if (!f.Str("path", r.path) || !f.Identity(r.file) || !f.Str("mode", mode) || !ParseOctalMode(mode, r.mode) ||
            dos == nullptr) {
            return std::nullopt;
        }
        if (dos->kind == JsonValue::Kind::String) {
            r.dosAttrib = dos->text;
        } else if (dos->kind != JsonValue::Kind::Null) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "times") {
        TimesRecord r;
        if (!f.Str("path", r.path) || !f.Identity(r.file) || !f.Time("atime", r.oldAtime) ||
            !f.Time("mtime", r.oldMtime) || !f.Time("new_atime", r.newAtime) ||
            !f.Time("new_mtime", r.newMtime)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "tmpdir") {
        TempFolderRecord r;
        if (!f.Str("path", r.path)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "start") {
        StartRecord r;
        int64_t version = 0;
        std::string mode;
        if (!f.I64("v", version) || !f.Str("id", r.id) || !f.Str("time", r.time) ||
            !f.I64("epoch", r.epoch) || !f.I64("nsec", r.nsec) || !f.Str("folder", r.folder) ||
            !f.Str("mode", mode) || !f.OptStr("dest", r.destination) || !f.I64("files", r.files) ||
            !f.I64("pid", r.pid) || (mode != "rename" && mode != "copy")) {
            return std::nullopt;
        }
        r.version = static_cast<int>(version);
        r.mode = mode == "copy" ? RunMode::Copy : RunMode::Rename;
        return r;
    }
    if (kind == "end") {
        EndRecord r;
        std::string status;
        if (!f.Str("status", status) || !f.I64("done", r.done) || !f.I64("failed", r.failed) ||
            !f.Str("time", r.time) || !f.I64("epoch", r.epoch) || !f.OptStr("reason", r.reason)) {
            return std::nullopt;
        }
        if (status == "complete") {
            r.status = RunEnd::Complete;
        } else if (status == "cancelled") {
            r.status = RunEnd::Cancelled;
        } else if (status == "aborted") {
            r.status = RunEnd::Aborted;
        } else {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "undo") {
        UndoStartRecord r;
        if (!f.Str("time", r.time) || !f.I64("epoch", r.epoch) || !f.I64("pid", r.pid)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "undo-step") {
        UndoStepRecord r;
        std::string result;
        std::string action;
        if (!f.I64("rec", r.record) || !f.OptStr("act", action) || !f.Str("result", result) ||
            !f.OptStr("reason", r.reason) || !f.OptStr("trash", r.trash) ||
            !f.OptStr("to", r.target)) {
            return std::nullopt;
        }
        if (action == "resolve") {
            r.action = UndoAction::Resolve;
        } else if (action == "remove") {
            r.action = UndoAction::RemoveTemp;
        } else if (!action.empty()) {
            return std::nullopt;
        }
        if (result == "restored") {
            r.outcome = UndoOutcome::Restored;
        } else if (result == "skipped") {
            r.outcome = UndoOutcome::Skipped;
        } else if (result == "unchanged") {
            r.outcome = UndoOutcome::Unchanged;
        } else {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "undo-end") {
        UndoEndRecord r;
        if (!f.I64("restored", r.restored) || !f.I64("skipped", r.skipped) ||
            !f.Bool("cancelled", r.cancelled) || !f.I64("done", r.done) ||
            !f.I64("failed", r.failed) || !f.Str("time", r.time) || !f.I64("epoch", r.epoch)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "kept") {
        KeptRecord r;
        if (!f.I64("resolved", r.resolved) || !f.I64("done", r.done) ||
            !f.I64("failed", r.failed) || !f.Str("time", r.time) || !f.I64("epoch", r.epoch)) {
            return std::nullopt;
        }
        return r;
    }
    return std::nullopt;
}

// ---- Files --------------------------------------------------------------

// Space reserved and mapped at a time.
constexpr int64_t kWindow = int64_t{1} << 20;
// Space reserved beyond each window, for the end record of a run whose
// journal found the disk full.
constexpr int64_t kEndReserve = 4096;

int ReadWholeFile(int fd, std::string& text) {
    text.clear();
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size > 0) {
        text.reserve(static_cast<size_t>(st.st_size));
    }
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
}

int SyncFolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int result = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return result == EINVAL ? 0 : result;  // some file systems cannot sync a folder
}

}  // namespace

// ---- Public: format -----------------------------------------------------------

std::string RunTempPrefix(const std::string& runId) {
    return ".quorvan-tmp-" + runId + "-";
}

// Bytes that go across as they are: printable ASCII but for " and \.
constexpr auto kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c) {
        plain[static_cast<size_t>(c)] = c != '"' && c != '\\';
    }
    return plain;
}();

void EncodeJsonString(std::string& out, std::string_view bytes) {
    out += '"';
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    size_t i = 0;
    while (i < size) {
        unsigned char c = p[i];
        if (kPlain[c]) {
            // Plain runs go across in one append.
            size_t start = i;
            while (++i < size && kPlain[p[i]]) {
            }
            out.append(bytes.data() + start, i - start);
            continue;
        }
        if (c < 0x80) {
            switch (c) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                default:
                    AppendHex4(out, c);  // other controls and DEL
            }
            ++i;
            continue;
        }
        size_t length = Utf8Length(p + i, size - i);
        if (length == 0) {
            AppendHex4(out, 0xDC00u + c);  // a byte that is not UTF-8
            ++i;
        } else {
            out.append(bytes.data() + i, length);
            i += length;
        }
    }
    out += '"';
}

bool DecodeJsonString(std::string_view quoted, std::string& bytes) {
    bytes.clear();
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
        return false;
    }
    std::string_view text = quoted.substr(1, quoted.size() - 2);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
        if (c != '\\') {
            bytes += c;
            continue;
        }
        if (++i >= text.size()) {
            return false;
        }
        switch (text[i]) {
            case '"':
                bytes += '"';
                break;
            case '\\':
                bytes += '\\';
                break;
            case '/':
                bytes += '/';
                break;
            case 'b':
                bytes += '\b';
                break;
            case 'f':
                bytes += '\f';
                break;
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case 'u': {
                uint32_t unit = 0;
                if (!ReadHex4(text, i + 1, unit)) {
                    return false;
                }
                i += 4;
                if (unit >= 0xDC80 && unit <= 0xDCFF) {
                    bytes += static_cast<char>(unit - 0xDC00);  // an escaped byte
                } else if (unit >= 0xD800 && unit <= 0xDBFF) {
                    uint32_t low = 0;
                    if (i + 2 >= text.size() || text[i + 1] != '\\' || text[i + 2] != 'u' ||
                        !ReadHex4(text, i + 3, low) || low < 0xDC00 || low > 0xDFFF) {
                        return false;
                    }
                    i += 6;
                    AppendUtf8(bytes, static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) +
                                                            (low - 0xDC00)));
                } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    return false;  // a lone low surrogate that stands for no byte
                } else {
                    AppendUtf8(bytes, static_cast<char32_t>(unit));
                }
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

const char* RecordKindName(const JournalRecord& record) {
    static const char* const kNames[] = {"start", "rename",    "copy",     "trash", "trashed",
                                         "attrs", "times",     "tmpdir",   "file",  "end",
                                         "undo",  "undo-step", "undo-end", "kept"};
    static_assert(std::size(kNames) == std::variant_size_v<JournalRecord>);
    return kNames[record.index()];
}

void EncodeRecordInto(std::string& out, const JournalRecord& record) {
    if (const auto* r = std::get_if<RenameRecord>(&record)) {
        EncodeRename(out, r->from, r->to, r->file, r->temp, r->then);
        return;
    }
    LineBuilder line(out, RecordKindName(record));
    std::visit(
        Overloaded{
            [&](const StartRecord& r) {
                line.Num("v", r.version).Str("id", r.id).Str("time", r.time);
                line.Num("epoch", r.epoch).Num("nsec", r.nsec).Str("folder", r.folder);
                line.Str("mode", ModeName(r.mode));
                if (r.mode == RunMode::Copy) {
                    line.Str("dest", r.destination);
                }
                line.Num("files", r.files).Num("pid", r.pid);
            },
            [&](const RenameRecord&) {},
            [&](const CopyRecord& r) {
                line.Str("from", r.from).Str("to", r.to).Str("tmp", r.temp).Stamp(r.copy);
            },
            [&](const TrashRecord& r) { line.Str("path", r.path).Stamp(r.file); },
            [&](const TrashedRecord& r) {
                line.Str("path", r.path).Str("file", r.trashFile).Str("info", r.trashInfo);
            },
            [&](const AttrsRecord& r) {
                line.Str("path", r.path).Identity(r.file);
                line.Str("mode", OctalMode(r.mode));
                if (r.dosAttrib) {
                    line.Str("dosattrib", *r.dosAttrib);
                } else {
                    line.Null("dosattrib");
                }
            },
            [&](const TimesRecord& r) {
                line.Str("path", r.path).Identity(r.file);
                line.Time("atime", r.oldAtime).Time("mtime", r.oldMtime);
                line.Time("new_atime", r.newAtime).Time("new_mtime", r.newMtime);
            },
            [&](const TempFolderRecord& r) { line.Str("path", r.path); },
            [&](const FileRecord& r) {
                // A file done is named by its operation's record already.
                line.Bool("ok", r.ok);
                if (!r.ok) {
                    line.Str("from", r.from).Str("to", r.to).Str("error", r.error);
                }
            },
            [&](const EndRecord& r) {
                line.Str("status", EndName(r.status)).Num("done", r.done).Num("failed", r.failed);
                line.Str("time", r.time).Num("epoch", r.epoch);
                if (!r.reason.empty()) {
                    line.Str("reason", r.reason);
                }
            },
            [&](const UndoStartRecord& r) {
                line.Str("time", r.time).Num("epoch", r.epoch).Num("pid", r.pid);
            },
            [&](const UndoStepRecord& r) {
                line.Num("rec", r.record);
                if (r.action != UndoAction::Reverse) {
                    line.Str("act", r.action == UndoAction::Resolve ? "resolve" : "remove");
                }
                line.Str("result", OutcomeName(r.outcome));
                if (!r.reason.empty()) {
                    line.Str("reason", r.reason);
                }
                if (!r.trash.empty()) {
                    line.Str("trash", r.trash);
                }
                if (!r.target.empty()) {
                    line.Str("to", r.target);
                }
            },
            [&](const UndoEndRecord& r) {
                line.Num("restored", r.restored).Num("skipped", r.skipped);
                line.Bool("cancelled", r.cancelled).Num("done", r.done).Num("failed", r.failed);
                line.Str("time", r.time).Num("epoch", r.epoch);
            },
            [&](const KeptRecord& r) {
                line.Num("resolved", r.resolved).Num("done", r.done).Num("failed", r.failed);
                line.Str("time", r.time).Num("epoch", r.epoch);
            },
        },
        record);
    line.End();
}

std::string EncodeRecord(const JournalRecord& record) {
    std::string out;
    EncodeRecordInto(out, record);
    return out;
}

std::optional<JournalRecord> DecodeRecord(std::string_view line) {
    Fields fields;
    std::string kind;
    if (!fields.Parse(line) || !fields.Str("t", kind)) {
        return std::nullopt;
    }
    return DecodeFields(fields, kind);
}

int64_t JournalDataEnd(std::string_view text) {
    // Only zeros at the very end are a killed writer's; zeros inside (a
    // crash of the file system) are a damaged line, and what follows them
    // is read.
    size_t limit = text.size();
    while (limit > 0 && text[limit - 1] == '\0') {
        --limit;
    }
    if (limit == 0) {
        return 0;
    }
    size_t last = text.rfind('\n', limit - 1);
    return last == std::string_view::npos ? 0 : static_cast<int64_t>(last + 1);
}

void ParseJournal(std::string_view text, Journal& journal) {
    journal = Journal{};
    size_t end = static_cast<size_t>(JournalDataEnd(text));
    size_t tail = text.find_last_not_of('\0');
    journal.tornTail = tail != std::string_view::npos && tail >= end;
    int64_t number = 0;
    for (size_t pos = 0; pos < end;) {
        size_t eol = text.find('\n', pos);
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++number;
        if (auto record = DecodeRecord(line)) {
            journal.entries.push_back({number, std::move(*record)});
        } else {
            ++journal.damagedLines;
        }
    }
}

int ReadJournal(const std::string& path, Journal& journal) {
    int openError = 0;
    int fd = OpenRegularFile(path, O_RDONLY, openError);
    if (fd < 0) {
        return openError;
    }
    std::string text;
    int result = ReadWholeFile(fd, text);
    close(fd);
    if (result == 0) {
        ParseJournal(text, journal);
    }
    return result;
}

// ---- Public: writer -----------------------------------------------------------

CJournalWriter::~CJournalWriter() {
    if (IsOpen()) {
        Close();
    }
}

int CJournalWriter::Error() const {
    return error_ != 0 ? error_ : syncError_.load();
}

int CJournalWriter::Fail(int error) {
    if (error_ == 0) {
        error_ = error;
    }
    return error_;
}

void CJournalWriter::Unmap() {
    if (map_ != nullptr) {
        munmap(map_, static_cast<size_t>(kWindow));
        map_ = nullptr;
    }
}

// Maps the window holding `offset`, reserving its space first, so that a full
// disk is an error here and never a SIGBUS on a store. Returns 0, an errno
// value, or -1 when this file system cannot do it (the caller then writes).
int CJournalWriter::MapWindow(int64_t offset) {
    int64_t start = offset - offset % kWindow;
    if (map_ != nullptr && start == mapStart_) {
        return 0;
    }
    Unmap();
    int result = 0;
    do {
        result = fallocate(fd_, 0, start, kWindow + kEndReserve) == 0 ? 0 : errno;
    } while (result == EINTR);
    if (result == EOPNOTSUPP || result == ENOSYS) {
        return -1;
    }
    if (result != 0) {
        return result;
    }
    void* map =
        mmap(nullptr, static_cast<size_t>(kWindow), PROT_READ | PROT_WRITE, MAP_SHARED, fd_, start);
    if (map == MAP_FAILED) {
        return -1;
    }
    // Faulting the pages in writable all at once costs less than a fault
    // for each page as records fill it; older kernels just fault later.
    madvise(map, static_cast<size_t>(kWindow), MADV_POPULATE_WRITE);
    map_ = static_cast<char*>(map);
    mapStart_ = start;
    return 0;
}

// Copies into the mapping, window by window; 0, an errno value or -1 as
// MapWindow gives them.
int CJournalWriter::CopyMapped(const char* data, size_t size) {
    while (size > 0) {
        if (int result = MapWindow(offset_)) {
            return result;
        }
        size_t part = std::min(size, static_cast<size_t>(mapStart_ + kWindow - offset_));
        std::memcpy(map_ + (offset_ - mapStart_), data, part);
        data += part;
        size -= part;
        offset_ += static_cast<int64_t>(part);
    }
    return 0;
}

int CJournalWriter::Put(const char* data, size_t size) {
    const int64_t start = offset_;
    if (backend_ == Backend::Mapped) {
        // The line feed goes in last, so a record is never complete before
        // all of its bytes are in place.
        int result = CopyMapped(data, size - 1);
        if (result == 0) {
            std::atomic_signal_fence(std::memory_order_seq_cst);
            result = CopyMapped(data + size - 1, 1);
        }
        if (result == 0) {
            recordsEnd_ = offset_;
            return 0;
        }
        if (result > 0) {
            return Fail(result);
        }
        // This file system cannot reserve space: drop the reservation and
        // write the rest.
        Unmap();
        backend_ = Backend::Write;
        if (ftruncate(fd_, offset_) != 0) {
            return Fail(errno);
        }
        data += offset_ - start;
        size -= static_cast<size_t>(offset_ - start);
    }
    while (size > 0) {
        ssize_t n = pwrite(fd_, data, size, offset_);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(n < 0 ? errno : EIO);
        }
        data += n;
        size -= static_cast<size_t>(n);
        offset_ += n;
    }
    recordsEnd_ = offset_;
    return 0;
}

int CJournalWriter::AppendFinal(const JournalRecord& record) {
    if (!IsOpen()) {
        return EBADF;
    }
    if (Error() == 0) {
        return Append(record);
    }
    // Over any record cut off by the failure, into the space reserved.
    buffer_.clear();
    EncodeRecordInto(buffer_, record);
    Unmap();
    offset_ = recordsEnd_;
    const char* data = buffer_.data();
    size_t size = buffer_.size();
    while (size > 0) {
        ssize_t n = pwrite(fd_, data, size, offset_);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            offset_ = recordsEnd_;
            return n < 0 ? errno : EIO;
        }
        data += n;
        size -= static_cast<size_t>(n);
        offset_ += n;
    }
    recordsEnd_ = offset_;
    return 0;
}

int CJournalWriter::Append(const JournalRecord& record) {
    if (!IsOpen()) {
        return EBADF;
    }
    if (int error = Error()) {
        return error;
    }
    if (const auto* folder = std::get_if<TempFolderRecord>(&record)) {
        if (!tempFolders_.insert(folder->path).second) {
            return 0;
        }
    }
    buffer_.clear();
    EncodeRecordInto(buffer_, record);
    int result = Put(buffer_.data(), buffer_.size());
    dirty_.store(true, std::memory_order_relaxed);
    return result;
}

int CJournalWriter::AppendRename(std::string_view from, std::string_view to, const FileStamp& file,
                                 TempSide temp, std::string_view then) {
    if (!IsOpen()) {
        return EBADF;
    }
    if (int error = Error()) {
        return error;
    }
    buffer_.clear();
    EncodeRename(buffer_, from, to, file, temp, then);
    int result = Put(buffer_.data(), buffer_.size());
    dirty_.store(true, std::memory_order_relaxed);
    return result;
}

int CJournalWriter::Sync() {
    if (!IsOpen()) {
        return EBADF;
    }
    if (fdatasync(fd_) != 0) {
        return Fail(errno);
    }
    return Error();
}

void CJournalWriter::StartSyncThread() {
    syncStop_ = false;
    syncThread_ = std::thread([this] {
        std::unique_lock lock(syncMutex_);
        while (!syncStop_) {
            syncWake_.wait_for(lock, syncInterval_);
            if (dirty_.exchange(false)) {
                lock.unlock();
                if (fdatasync(fd_) != 0) {
                    int expected = 0;
                    syncError_.compare_exchange_strong(expected, errno);
                }
                lock.lock();
            }
        }
    });
}

void CJournalWriter::StopSyncThread() {
    if (!syncThread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(syncMutex_);
        syncStop_ = true;
    }
    syncWake_.notify_all();
    syncThread_.join();
}

int CJournalWriter::Create(const std::string& path, const StartRecord& start) {
    if (IsOpen()) {
        return EBUSY;
    }
    size_t slash = path.rfind('/');
    std::string temp = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".new";
    int fd = open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno;
    }
    fd_ = fd;
    path_ = path;
    offset_ = 0;
    recordsEnd_ = 0;
    error_ = 0;
    syncError_ = 0;
    tempFolders_.clear();
    int result = flock(fd_, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    if (result == 0) {
        result = Append(start);
    }
    // The start record reaches the disk with the first batch, like every
    // record after it: waiting here would hold up every run's start.
    bool named = false;
    if (result == 0) {
        named = renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0;
        result = named ? 0 : errno;
    }
    if (result == 0) {
        result = SyncFolderOf(path);
    }
    if (result == 0) {
        try {
            StartSyncThread();
        } catch (const std::system_error& e) {
            result = e.code().value() != 0 ? e.code().value() : EAGAIN;
        }
    }
    if (result != 0) {
        Unmap();
        close(fd_);
        fd_ = -1;
        unlink(named ? path.c_str() : temp.c_str());
        error_ = 0;
        return result;
    }
    return 0;
}

int CJournalWriter::OpenToAppend(const std::string& path) {
    if (IsOpen()) {
        return EBUSY;
    }
    int openError = 0;
    int fd = OpenRegularFile(path, O_RDWR, openError);
    if (fd < 0) {
        return openError;
    }
    // A reader looking at the lock holds it for a moment only.
    int result = EWOULDBLOCK;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            result = 0;
            break;
        }
        if (errno != EWOULDBLOCK) {
            result = errno;
            break;
        }
        usleep(20000);
    }
    std::string text;
    if (result == 0) {
        result = ReadWholeFile(fd, text);
    }
    int64_t end = JournalDataEnd(text);
    if (result == 0 && static_cast<size_t>(end) != text.size() && ftruncate(fd, end) != 0) {
        result = errno;
    }
    if (result != 0) {
        close(fd);
        return result;
    }
    fd_ = fd;
    path_ = path;
    offset_ = end;
    recordsEnd_ = end;
    error_ = 0;
    syncError_ = 0;
    tempFolders_.clear();
    try {
        StartSyncThread();
    } catch (const std::system_error& e) {
        close(fd_);
        fd_ = -1;
        return e.code().value() != 0 ? e.code().value() : EAGAIN;
    }
    return 0;
}

int CJournalWriter::Close() {
    if (!IsOpen()) {
        return error_;
    }
    StopSyncThread();
    int result = Error();
    Unmap();
    // Without a record cut off by a failure, or the space reserved ahead.
    if (ftruncate(fd_, recordsEnd_) != 0 && result == 0) {
        result = errno;
    }
    if (fdatasync(fd_) != 0 && result == 0) {
        result = errno;
    }
    if (close(fd_) != 0 && result == 0) {
        result = errno;
    }
    fd_ = -1;
    error_ = result;
    return result;
}

}  // namespace quorvan
