#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/local_time.h"
#include "common/product.h"

namespace quorvan {

// The run's log, "Quorvan.log" in the source folder: a header, then the lines
// of each file's work, reaching the file as each file is done. A write error
// (a full disk) does not end the run; it is kept for the end message.
class CRunLog final {
  public:
    static constexpr const char* kFileName = kLogFileName;

    CRunLog() = default;
    ~CRunLog();
    CRunLog(const CRunLog&) = delete;
    CRunLog& operator=(const CRunLog&) = delete;

    // Creates (or empties) the log and writes its header stamped with `now`;
    // in `folderFd` when given, the source folder as the run opened it.
    bool Create(const std::string& sourceFolder, const LocalDateTime& now, int folderFd = -1);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    void Renamed(const std::string& original, const std::string& target);
    // The attributes being applied to `target`.
    void NewAttributes(uint8_t attributes, const std::string& target);
    void SettingModifyTime(const LocalDateTime& value);
    void SettingLastAccessedTime(const LocalDateTime& value);
    // A failure line (see the Failed... helpers); the line feed is added.
    void Failure(const std::string& line);
    // Any other line; the line feed is added.
    void Note(const std::string& line);
    // Writes out the lines so far: after each file.
    void Flush();
    // Flushes and closes. False when any write or the close failed; Error()
    // then says why.
    bool Close();
    int Error() const { return error_; }

  private:
    void Write(const std::string& text);

    int fd_ = -1;
    std::string path_;
    std::string pending_;
    int error_ = 0;
};

// The failure lines of the log.
std::string FailedRenameLine(const std::string& original, const std::string& target, int error);
std::string FailedCopyLine(const std::string& original, const std::string& target, int error);
std::string FailedAttributesLine(const std::string& path, int error);
std::string FailedTimesLine(const std::string& path, int error);
// Linux keeps no creation time that a program could set.
std::string FailedCreationTimeLine(const std::string& path);
// For a file of a cycle of renames, held under a temporary name while the
// others move.
std::string HeldLine(const std::string& path, const std::string& temporary);
// For a file the run itself writes (its log or undo script), left out.
std::string LeftOutLine(const std::string& path);
// For a file whose rules give no usable name (empty, "." or "..").
std::string NoNewNameLine(const std::string& original);

// Opens `path` for appending, created with `mode` or emptied, never through a
// symbolic link planted at that name; with `folderFd`, its name in that open
// folder. -1 on failure, errno set.
int CreateRunFile(const std::string& path, unsigned mode, int folderFd = -1);

// The product line of both headers: "Quorvan  1.00".
std::string ProductLine();

// The line of equals signs that frames both headers.
constexpr const char* kHeaderSeparator =
    "==================================================================";

}  // namespace quorvan
