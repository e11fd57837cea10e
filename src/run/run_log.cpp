#include "run/run_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/product.h"
#include "common/path.h"
#include "platform/file_system.h"

namespace quorvan {

std::FILE* CreateRunFile(const std::string& path, unsigned mode, const char* fopenMode) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                  static_cast<mode_t>(mode));
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, fopenMode);
    if (file == nullptr) {
        int error = errno;
        close(fd);
        errno = error;
    }
    return file;
}

std::string ProductLine() {
    return std::string(kProductName) + "  " + kVersionText;
}

CRunLog::~CRunLog() {
    Close();
}

bool CRunLog::Create(const std::string& sourceFolder, const LocalDateTime& now) {
    Close();
    path_ = JoinPath(sourceFolder, kFileName);
    file_ = CreateRunFile(path_, 0666, "w");
    if (file_ == nullptr) {
        return false;
    }
    Write(std::string(kHeaderSeparator) + "\n");
    Write(" " + ProductLine() + "\n");
    Write(" Created: " + FormatLocal(now, kClassicDateTimeFormat) + "\n");
    Write(std::string(kHeaderSeparator) + "\n");
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

void CRunLog::Close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void CRunLog::Write(const std::string& text) {
    if (file_ != nullptr) {
        std::fwrite(text.data(), 1, text.size(), file_);
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

std::string NoNewNameLine(const std::string& original) {
    return "failed to rename " + original + ": the rules give it no valid new name";
}

}  // namespace quorvan
