#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "common/local_time.h"

namespace quorvan {

// Ordered key/value lines "key = value" of a settings or filter file.
class CSettingsStore final {
  public:
    // Removes every entry; the modified flag stays as it is.
    void Clear();
    // Replaces or inserts; marks the store modified.
    void SetValue(const std::string& key, const std::string& value);
    // Copies the value when the key exists; otherwise leaves `value` alone.
    bool GetValue(const std::string& key, std::string& value) const;

    // A settings file is a few kilobytes; anything far larger is not one, and
    // reading it whole could exhaust the memory.
    static constexpr size_t kMaxFileSize = size_t{1} << 20;
    static constexpr size_t kMaxLineLength = size_t{64} << 10;

    // Writes every entry in key order, each line ending in CR LF. Writes
    // nothing and returns false while nothing was set. Only a regular file
    // (or a new one) is written. A value that a line cannot carry as it is
    // (blanks at its ends, a line break) is written as the reader would read
    // it, then whole on a line of its own, key + kQuotedSuffix, which
    // readers that do not know it ignore.
    bool WriteToFile(const std::string& path);
    // Reads lines "key = value" (LF or CR LF); a line without "=" is skipped,
    // and for a repeated key the first line counts. Refuses, without waiting
    // and without taking any line, what is not a regular file, a file over
    // kMaxFileSize and one with a line over kMaxLineLength.
    bool ReadFromFile(const std::string& path);
    // The same parsing of text already in memory. A quoted line gives its key
    // its value when that key has none or the same one without its blanks
    // (a plain line edited since keeps its edit).
    void ReadFromText(const std::string& text);

    static constexpr const char* kQuotedSuffix = ".Quoted";
    // The value between double quotes, with \\, \", \t, \n, \r, \v and \f.
    static std::string QuoteValue(std::string_view value);
    // The value of a quoted text; false when it is not one.
    static bool UnquoteValue(std::string_view quoted, std::string& value);
    // The value as a plain line carries it: white space trimmed off its ends,
    // line breaks inside as blanks.
    static std::string PlainValue(std::string_view value);

    int32_t LastError() const { return lastError_; }
    const std::map<std::string, std::string>& Entries() const { return entries_; }

    // Typed helpers over the value encodings of the file.
    void SetFlag(const std::string& key, bool value);
    void SetNumber(const std::string& key, int32_t value);
    void SetDate(const std::string& key, const LocalDateTime& value);
    void SetTime(const std::string& key, const LocalDateTime& value);
    // Each leaves `value` unchanged when the key is missing (or, for dates and
    // times, does not name a real day or time of day).
    bool GetFlag(const std::string& key, bool& value) const;
    bool GetNumber(const std::string& key, int32_t& value) const;
    bool GetDate(const std::string& key, LocalDateTime& value) const;
    bool GetTime(const std::string& key, LocalDateTime& value) const;

  private:
    int32_t lastError_ = 0;
    bool modified_ = false;
    std::map<std::string, std::string> entries_;
};

}  // namespace quorvan
