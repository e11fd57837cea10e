#include "run/run_conditions.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/file_system.h"
#include "platform/temp_names.h"

namespace quorvan {

namespace {

// As much as a journal claims before its first record.
constexpr off_t kProbeSize = off_t{1} << 20;

// Reserves `size` bytes in `fd`: fallocate where the file system has it,
// else written zeros.
int Reserve(int fd, off_t size) {
    int result = 0;
    do {
        result = fallocate(fd, 0, 0, size) == 0 ? 0 : errno;
    } while (result == EINTR);
    if (result != EOPNOTSUPP && result != ENOSYS) {
        return result;
    }
    std::vector<char> zeros(64 * 1024, '\0');
    for (off_t written = 0; written < size;) {
        ssize_t n = write(fd, zeros.data(), zeros.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : ENOSPC;
        }
        written += n;
    }
    return 0;
}

}  // namespace

int ProbeHistoryFolder(const std::string& folder) {
    if (int error = MakePrivateFolders(folder)) {
        return error;
    }
    const std::string probe = TemporaryNameIn(folder, "probe");
    int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return errno;
    }
    int error = Reserve(fd, kProbeSize);
    close(fd);
    unlink(probe.c_str());
    return error;
}

std::string UnrecordedReason(const std::string& folder, int error) {
    return folder + ": " + ErrorText(error);
}

std::string UnrecordedText(const std::string& reason) {
    return "This run cannot be recorded for undo (" + reason + ").";
}

std::string UnrecordedQuestion(const std::string& reason) {
    return UnrecordedText(reason) + " Rename anyway?";
}

}  // namespace quorvan
