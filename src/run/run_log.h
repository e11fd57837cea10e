#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/local_time.h"

namespace quorvan {

// The run's log, "Quorvan.log" in the source folder: a header, then the lines
// of each file's work as it is done. Write errors (a full disk) are ignored so
// that they cannot end the run.
class CRunLog final {
  public:
    static constexpr const char* kFileName = "Quorvan.log";

    CRunLog() = default;
    ~CRunLog();
    CRunLog(const CRunLog&) = delete;
    CRunLog& operator=(const CRunLog&) = delete;

    // Creates (or empties) the log and writes its header stamped with `now`.
    bool Create(const std::string& sourceFolder, const LocalDateTime& now);
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    void Renamed(const std::string& original, const std::string& target);
    // The attributes being applied to `target`.
    void NewAttributes(uint8_t attributes, const std::string& target);
    void SettingModifyTime(const LocalDateTime& value);
    void SettingLastAccessedTime(const LocalDateTime& value);
    // A failure line (see the Failed... helpers); the line feed is added.
    void Failure(const std::string& line);
    void Close();

  private:
    void Write(const std::string& text);

    std::FILE* file_ = nullptr;
    std::string path_;
};

// The failure lines of the log.
std::string FailedRenameLine(const std::string& original, const std::string& target, int error);
std::string FailedCopyLine(const std::string& original, const std::string& target, int error);
std::string FailedAttributesLine(const std::string& path, int error);
std::string FailedTimesLine(const std::string& path, int error);
// For a file whose rules give no usable name (empty, "." or "..").
std::string NoNewNameLine(const std::string& original);

// Opens `path` for writing, created with `mode` or emptied, never through a
// symbolic link planted at that name. Null on failure, errno set.
std::FILE* CreateRunFile(const std::string& path, unsigned mode, const char* fopenMode);

// The product line of both headers: "Quorvan  1.00".
std::string ProductLine();

// The line of equals signs that frames both headers.
constexpr const char* kHeaderSeparator =
    "==================================================================";

}  // namespace quorvan
