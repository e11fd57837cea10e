#pragma once

// Reading a journal in bounded memory: forward from its start or from any
// line, backward from its end, or one line at a known offset. Every reader of
// journals goes through this one, which owns the rule of where the records
// end: a cut-off last record and the zeros a killed writer leaves after it
// are no lines; zeros further in are part of a (damaged) line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/journal.h"

namespace quorvan {

// One complete line of a journal.
struct JournalLine {
    int64_t number = 0;     // from 1
    int64_t offset = 0;     // of its first byte in the file
    std::string_view text;  // without its line feed; valid until the reader moves
};

// The kind ("t") of a line as the program writes it, first, read without
// decoding the line; empty when the line does not begin so.
std::string_view RecordKindOf(std::string_view line);

class CJournalReader final {
  public:
    CJournalReader() = default;
    ~CJournalReader();
    CJournalReader(const CJournalReader&) = delete;
    CJournalReader& operator=(const CJournalReader&) = delete;

    // Opens the journal `path`, which must be a regular file (a FIFO at its
    // name is refused without waiting), and finds where its records end.
    // 0 or an errno value.
    int Open(const std::string& path);

    // The length of the data: up to the end of the last complete line.
    int64_t DataEnd() const { return dataEnd_; }
    // Something that is no line follows the data: a record cut off.
    bool TornTail() const { return tornTail_; }
    // The open file, for its lock.
    int Fd() const { return fd_; }
    // The first read failure, 0 when none.
    int Error() const { return error_; }

    // The next line forward; false at the end of the data or on a failure.
    bool Next(JournalLine& line);
    // The next record forward; lines that are no record are skipped and
    // counted.
    bool NextRecord(JournalEntry& entry, int64_t* offset = nullptr);
    int64_t DamagedLines() const { return damaged_; }
    // The number of the last line read forward.
    int64_t LastNumber() const { return number_ - 1; }
    // Forward reading goes on from the line at `offset`, numbered `number`.
    void Seek(int64_t offset, int64_t number);

    // Backward reading starts again at the end, its last line numbered
    // `lastNumber` (lines further back count down from it).
    void SeekEnd(int64_t lastNumber);
    // The line before the last one read backward; false at the start.
    bool Previous(JournalLine& line);

    // The line at `offset`, reading little: for access at random.
    bool LineAt(int64_t offset, int64_t number, JournalLine& line);

  private:
    bool Fill(int64_t from, size_t size);
    bool Window(int64_t offset) const {
        return offset >= winStart_ && offset < winStart_ + static_cast<int64_t>(winLen_);
    }
    bool LineFrom(int64_t offset, size_t firstRead, JournalLine& line);

    int fd_ = -1;
    int64_t dataEnd_ = 0;
    bool tornTail_ = false;
    int error_ = 0;
    int64_t damaged_ = 0;
    std::vector<char> buffer_;
    int64_t winStart_ = 0;  // the file offset of buffer_[0]
    size_t winLen_ = 0;
    int64_t pos_ = 0;  // forward: where the next line starts
    int64_t number_ = 1;
    int64_t back_ = 0;  // backward: where the last line read starts
    int64_t backNumber_ = 0;
    size_t backRead_ = 0;  // grows: most backward readers want the last lines only
};

}  // namespace quorvan
