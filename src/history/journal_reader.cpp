#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "history/journal_codec.h"
#include "platform/file_system.h"

namespace quorvan {

namespace journal_detail {

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

}  // namespace journal_detail

using journal_detail::ReadWholeFile;

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

}  // namespace quorvan
