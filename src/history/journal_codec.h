#pragma once

// The JSON of journal lines, shared by the journal's own files: the members
// of one flat object read, and one record's line built.

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "history/journal.h"

namespace quorvan::journal_detail {

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

// The line of a rename record.
void EncodeRename(std::string& out, std::string_view from, std::string_view to,
                  const FileStamp& file, TempSide temp, std::string_view then);

}  // namespace quorvan::journal_detail
