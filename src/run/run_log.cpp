#include "run/run_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/path.h"
#include "common/product.h"
#include "platform/file_system.h"

namespace quorvan {

int CreateRunFile(const std::string& path, unsigned mode, int folderFd) {
    // Without blocking and without emptying it first: a FIFO of that name
    // would hold the run until someone reads it, a device would be written.
    const std::string name(folderFd >= 0 && !FolderOf(path).empty() ? NameOf(path) : path);
    int fd = openat(folderFd >= 0 ? folderFd : AT_FDCWD, name.c_str(),
                    O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                    static_cast<mode_t>(mode));
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    int error = fstat(fd, &st) != 0 ? errno : !S_ISREG(st.st_mode) ? kErrorNotRegularFile : 0;
    const int status = error == 0 ? fcntl(fd, F_GETFL) : -1;
    if (error == 0 &&
        (ftruncate(fd, 0) != 0 || status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0)) {
        error = errno;
    }
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::string ProductLine() {
    return std::string(kProductName) + "  " + kVersionText;
}

CRunLog::~CRunLog() {
    Close();
}

bool CRunLog::Create(const std::string& sourceFolder, const LocalDateTime& now, int folderFd) {
    Close();
    path_ = JoinPath(sourceFolder, kFileName);
    error_ = 0;
    fd_ = CreateRunFile(path_, 0666, folderFd);
    if (fd_ < 0) {
        return false;
    }
    Write(std::string(kHeaderSeparator) + "\n");
    Write(" " + ProductLine() + "\n");
    Write(" Created: " + FormatLocal(now, kClassicDateTimeFormat) + "\n");
    Write(std::string(kHeaderSeparator) + "\n");
    Flush();
    return true;
}

void CRunLog::Renamed(const std::string& original, const std::string& target) {
    Write("renamed " + original + " to " + target + "\n");
}

void CRunLog::NewAttributes(uint8_t attributes, const std::string& target) {
    auto flag = [attributes](uint8_t bit) { return (attributes & bit) != 0 ? "Y" : "N"; };
    Write(std::string("New attributes: ") + " archive: " + flag(kAttrArchive) +
          " readonly: " + flag(kAttrReadOnly) + " system: " + flag(kAttrSystem) +
          " hidden: " + flag(kAttrHidden) + " on file " + target + "\n");
}

void CRunLog::SettingModifyTime(const LocalDateTime& value) {
    Write("Setting modify time to: " + FormatLocal(value, kClassicDateTimeFormat) + "  \n");
}

void CRunLog::SettingLastAccessedTime(const LocalDateTime& value) {
    Write("Setting last accessed time to: " + FormatLocal(value, kClassicDateTimeFormat) + "  \n");
}

void CRunLog::Failure(const std::string& line) {
    Write(line + "\n");
}

void CRunLog::Note(const std::string& line) {
    Write(line + "\n");
}

void CRunLog::Flush() {
    if (fd_ >= 0 && error_ == 0 && !pending_.empty()) {
        error_ = WriteAll(fd_, pending_.data(), pending_.size());
    }
    pending_.clear();
}

bool CRunLog::Close() {
    if (fd_ < 0) {
        return error_ == 0;
    }
    Flush();
    if (close(fd_) != 0 && error_ == 0) {
        error_ = errno;
    }
    fd_ = -1;
    return error_ == 0;
}

void CRunLog::Write(const std::string& text) {
    if (fd_ >= 0) {
        pending_ += text;
    }
}

std::string FailedRenameLine(const std::string& original, const std::string& target, int error) {
    return "failed to rename " + original + " to " + target + ": " + ErrorText(error);
}

std::string FailedCopyLine(const std::string& original, const std::string& target, int error) {
    return "failed to copy " + original + " to " + target + ": " + ErrorText(error);
}

std::string FailedAttributesLine(const std::string& path, int error) {
    return "failed to set attributes on " + path + ": " + ErrorText(error);
}

std::string FailedTimesLine(const std::string& path, int error) {
    return "failed to set times on " + path + ": " + ErrorText(error);
}

std::string FailedCreationTimeLine(const std::string& path) {
    return "failed to set creation time on " + path + ": not supported on this system";
}

std::string HeldLine(const std::string& path, const std::string& temporary) {
    return "holding " + path + " as " + temporary + " while its name is freed";
}

std::string LeftOutLine(const std::string& path) {
    return "left out " + path + ": this run writes it";
}

std::string NoNewNameLine(const std::string& original) {
    return "failed to rename " + original + ": the rules give it no valid new name";
}

}  // namespace quorvan
