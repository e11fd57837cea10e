#include "history/journal_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "platform/file_system.h"

namespace quorvan {

namespace {

// Sequential reads take this much at a time; a line longer than what is
// held doubles the window.
constexpr size_t kChunk = size_t{1} << 20;
// A line read at random: most records are far shorter.
constexpr size_t kSmallRead = size_t{1} << 12;

using ReadFn = std::function<int(int64_t offset, size_t size, std::string& out)>;

int PreadAll(int fd, int64_t offset, char* data, size_t size, size_t& got) {
    got = 0;
    while (got < size) {
        ssize_t n = pread(fd, data + got, size - got, static_cast<off_t>(offset) + got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    return 0;
}

// Where the data of `size` bytes ends, read backward by `read`. Only zeros
// at the very end are a killed writer's; zeros inside (a crash of the file
// system) are a damaged line, and what follows them is read.
int FindDataEnd(int64_t size, const ReadFn& read, int64_t& end, bool& torn) {
    constexpr int64_t kBack = 1 << 16;
    std::string chunk;
    int64_t limit = size;  // past the last byte that is no zero
    for (bool found = false; limit > 0 && !found;) {
        const int64_t start = std::max<int64_t>(0, limit - kBack);
        if (int error = read(start, static_cast<size_t>(limit - start), chunk)) {
            return error;
        }
        size_t keep = chunk.find_last_not_of('\0');
        found = keep != std::string::npos;
        limit = found ? start + static_cast<int64_t>(keep) + 1 : start;
    }
    end = 0;
    for (int64_t pos = limit; pos > 0;) {
        const int64_t start = std::max<int64_t>(0, pos - kBack);
        if (int error = read(start, static_cast<size_t>(pos - start), chunk)) {
            return error;
        }
        if (size_t eol = chunk.rfind('\n'); eol != std::string::npos) {
            end = start + static_cast<int64_t>(eol) + 1;
            break;
        }
        pos = start;
    }
    torn = limit > end;
    return 0;
}

}  // namespace

std::string_view RecordKindOf(std::string_view line) {
    constexpr std::string_view kHead = "{\"t\":\"";
    if (line.substr(0, kHead.size()) != kHead) {
        return {};
    }
    size_t end = line.find('"', kHead.size());
    return end == std::string_view::npos ? std::string_view{}
                                         : line.substr(kHead.size(), end - kHead.size());
}

int64_t JournalDataEnd(std::string_view text) {
    int64_t end = 0;
    bool torn = false;
    FindDataEnd(
        static_cast<int64_t>(text.size()),
        [text](int64_t offset, size_t size, std::string& out) {
            out.assign(text.substr(static_cast<size_t>(offset), size));
            return 0;
        },
        end, torn);
    return end;
}

int JournalDataEnd(int fd, int64_t& end, bool* torn) {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        return errno;
    }
    bool cut = false;
    int error = FindDataEnd(
        st.st_size,
        [fd](int64_t offset, size_t size, std::string& out) {
            out.resize(size);
            size_t got = 0;
            int failure = PreadAll(fd, offset, out.data(), size, got);
            out.resize(got);
            return failure != 0 ? failure : got == size ? 0 : EIO;
        },
        end, cut);
    if (torn != nullptr) {
        *torn = cut;
    }
    return error;
}

CJournalReader::~CJournalReader() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

int CJournalReader::Open(const std::string& path) {
    if (fd_ >= 0) {
        close(fd_);
    }
    dataEnd_ = 0;
    tornTail_ = false;
    error_ = 0;
    damaged_ = 0;
    winStart_ = 0;
    winLen_ = 0;
    Seek(0, 1);
    int error = 0;
    fd_ = OpenRegularFile(path, O_RDONLY, error);
    if (fd_ < 0) {
        return error;
    }
    error_ = JournalDataEnd(fd_, dataEnd_, &tornTail_);
    SeekEnd(0);
    return error_;
}

bool CJournalReader::Fill(int64_t from, size_t size) {
    from = std::clamp<int64_t>(from, 0, dataEnd_);
    size = std::min(size, static_cast<size_t>(dataEnd_ - from));
    if (buffer_.size() < size) {
        buffer_.resize(size);
    }
    winStart_ = from;
    winLen_ = 0;
    size_t got = 0;
    if (int error = PreadAll(fd_, from, buffer_.data(), size, got)) {
        error_ = error;
        return false;
    }
    winLen_ = got;
    if (got < size) {
        error_ = EIO;  // the file was cut short while read
        return false;
    }
    return true;
}

bool CJournalReader::LineFrom(int64_t offset, size_t firstRead, JournalLine& line) {
    if (error_ != 0 || offset < 0 || offset >= dataEnd_) {
        return false;
    }
    for (size_t want = firstRead;; want *= 2) {
        if (Window(offset)) {
            const size_t at = static_cast<size_t>(offset - winStart_);
            const char* begin = buffer_.data() + at;
            if (const void* eol = memchr(begin, '\n', winLen_ - at)) {
                line.offset = offset;
                line.text = std::string_view(begin, static_cast<const char*>(eol) - begin);
                return true;
            }
            if (winStart_ + static_cast<int64_t>(winLen_) >= dataEnd_) {
                error_ = EIO;  // the data changed since it was opened
                return false;
            }
            want = std::max(want, 2 * (winLen_ - at));
        }
        if (!Fill(offset, want)) {
            return false;
        }
    }
}

bool CJournalReader::Next(JournalLine& line) {
    if (!LineFrom(pos_, kChunk, line)) {
        return false;
    }
    line.number = number_++;
    pos_ = line.offset + static_cast<int64_t>(line.text.size()) + 1;
    return true;
}

bool CJournalReader::NextRecord(JournalEntry& entry, int64_t* offset) {
    JournalLine line;
    while (Next(line)) {
        if (auto record = DecodeRecord(line.text)) {
            entry.line = line.number;
            entry.record = std::move(*record);
            if (offset != nullptr) {
                *offset = line.offset;
            }
            return true;
        }
        ++damaged_;
    }
    return false;
}

void CJournalReader::Seek(int64_t offset, int64_t number) {
    pos_ = offset;
    number_ = number;
}

void CJournalReader::SeekEnd(int64_t lastNumber) {
    back_ = dataEnd_;
    backNumber_ = lastNumber;
    backRead_ = size_t{1} << 16;
}

bool CJournalReader::Previous(JournalLine& line) {
    if (error_ != 0 || back_ <= 0) {
        return false;
    }
    const int64_t eol = back_ - 1;  // the line feed ending the line
    for (size_t want = backRead_;; want *= 2) {
        if (Window(eol) || (eol == winStart_ + static_cast<int64_t>(winLen_) && winLen_ > 0)) {
            const char* base = buffer_.data();
            const size_t at = static_cast<size_t>(eol - winStart_);
            const auto* found = static_cast<const char*>(memrchr(base, '\n', at));
            if (found != nullptr || winStart_ == 0) {
                const char* begin = found != nullptr ? found + 1 : base;
                line.offset = winStart_ + (begin - base);
                line.text = std::string_view(begin, static_cast<size_t>(base + at - begin));
                line.number = backNumber_--;
                back_ = line.offset;
                return true;
            }
            want = std::max(want, 2 * at);
        }
        backRead_ = std::min(kChunk, backRead_ * 2);
        const int64_t from = std::max<int64_t>(0, back_ - static_cast<int64_t>(want));
        if (!Fill(from, static_cast<size_t>(back_ - from))) {
            return false;
        }
    }
}

bool CJournalReader::LineAt(int64_t offset, int64_t number, JournalLine& line) {
    if (!LineFrom(offset, kSmallRead, line)) {
        return false;
    }
    line.number = number;
    return true;
}

int ReadJournal(const std::string& path, Journal& journal) {
    journal = Journal{};
    CJournalReader reader;
    if (int error = reader.Open(path)) {
        return error;
    }
    JournalEntry entry;
    while (reader.NextRecord(entry)) {
        journal.entries.push_back(std::move(entry));
    }
    journal.damagedLines = reader.DamagedLines();
    journal.tornTail = reader.TornTail();
    return reader.Error();
}

}  // namespace quorvan
