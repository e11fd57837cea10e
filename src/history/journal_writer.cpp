#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "common/path.h"
#include "history/journal_codec.h"
#include "platform/file_system.h"

namespace quorvan {

namespace {

using journal_detail::EncodeRename;

// How often the records are made durable.
constexpr std::chrono::milliseconds kSyncInterval{1000};
// Space reserved and mapped at a time.
constexpr int64_t kWindow = int64_t{1} << 20;
// Space reserved beyond each window, for the end record of a run whose
// journal found the disk full.
constexpr int64_t kEndReserve = 4096;

int SyncFolderOf(const std::string& path) {
    std::string folder(FolderOf(path));
    if (folder.empty()) {
        folder = ".";
    }
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int result = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return result == EINVAL ? 0 : result;  // some file systems cannot sync a folder
}

}  // namespace

// ---- Public: writer -----------------------------------------------------------

CJournalWriter::~CJournalWriter() {
    if (IsOpen()) {
        Close();
    }
}

int CJournalWriter::Error() const {
    return error_ != 0 ? error_ : syncError_.load();
}

int CJournalWriter::Fail(int error) {
    if (error_ == 0) {
        error_ = error;
    }
    return error_;
}

void CJournalWriter::Unmap() {
    if (map_ != nullptr) {
        munmap(map_, static_cast<size_t>(kWindow));
        map_ = nullptr;
    }
}

// Maps the window holding `offset`, reserving its space first, so that a full
// disk is an error here and never a SIGBUS on a store. Returns 0, an errno
// value, or -1 when this file system cannot do it (the caller then writes).
int CJournalWriter::MapWindow(int64_t offset) {
    int64_t start = offset - offset % kWindow;
    if (map_ != nullptr && start == mapStart_) {
        return 0;
    }
    Unmap();
    int result = 0;
    do {
        result = fallocate(fd_, 0, start, kWindow + kEndReserve) == 0 ? 0 : errno;
    } while (result == EINTR);
    // An undo's records are few and small: with too little space to reserve
    // a window they are written as they come, and only a record that really
    // finds the disk full stops the undo.
    if (result == EOPNOTSUPP || result == ENOSYS || (result == ENOSPC && appending_)) {
        return -1;
    }
    if (result != 0) {
        return result;
    }
    void* map =
        mmap(nullptr, static_cast<size_t>(kWindow), PROT_READ | PROT_WRITE, MAP_SHARED, fd_, start);
    if (map == MAP_FAILED) {
        return -1;
    }
    // Faulting the pages in writable all at once costs less than a fault
    // for each page as records fill it; older kernels just fault later.
    madvise(map, static_cast<size_t>(kWindow), MADV_POPULATE_WRITE);
    map_ = static_cast<char*>(map);
    mapStart_ = start;
    return 0;
}

// Copies into the mapping, window by window; 0, an errno value or -1 as
// MapWindow gives them.
int CJournalWriter::CopyMapped(const char* data, size_t size) {
    while (size > 0) {
        if (int result = MapWindow(offset_)) {
            return result;
        }
        size_t part = std::min(size, static_cast<size_t>(mapStart_ + kWindow - offset_));
        std::memcpy(map_ + (offset_ - mapStart_), data, part);
        data += part;
        size -= part;
        offset_ += static_cast<int64_t>(part);
    }
    return 0;
}

int CJournalWriter::Put(const char* data, size_t size) {
    const int64_t start = offset_;
    if (backend_ == Backend::Mapped) {
        // The line feed goes in last, so a record is never complete before
        // all of its bytes are in place.
        int result = CopyMapped(data, size - 1);
        if (result == 0) {
            std::atomic_signal_fence(std::memory_order_seq_cst);
            result = CopyMapped(data + size - 1, 1);
        }
        if (result == 0) {
            recordsEnd_ = offset_;
            return 0;
        }
        if (result > 0) {
            return Fail(result);
        }
        // This file system cannot reserve space: drop the reservation and
        // write the rest.
        Unmap();
        backend_ = Backend::Write;
        if (ftruncate(fd_, offset_) != 0) {
            return Fail(errno);
        }
        data += offset_ - start;
        size -= static_cast<size_t>(offset_ - start);
    }
    while (size > 0) {
        ssize_t n = pwrite(fd_, data, size, offset_);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(n < 0 ? errno : EIO);
        }
        data += n;
        size -= static_cast<size_t>(n);
        offset_ += n;
    }
    recordsEnd_ = offset_;
    return 0;
}

int CJournalWriter::AppendFinal(const JournalRecord& record) {
    if (!IsOpen()) {
        return EBADF;
    }
    if (Error() == 0) {
        return Append(record);
    }
    // Over any record cut off by the failure, into the space reserved.
    buffer_.clear();
    EncodeRecordInto(buffer_, record);
    Unmap();
    offset_ = recordsEnd_;
    const char* data = buffer_.data();
    size_t size = buffer_.size();
    while (size > 0) {
        ssize_t n = pwrite(fd_, data, size, offset_);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            offset_ = recordsEnd_;
            return n < 0 ? errno : EIO;
        }
        data += n;
        size -= static_cast<size_t>(n);
        offset_ += n;
    }
    recordsEnd_ = offset_;
    return 0;
}

int CJournalWriter::Append(const JournalRecord& record) {
    if (!IsOpen()) {
        return EBADF;
    }
    if (int error = Error()) {
        return error;
    }
    if (const auto* folder = std::get_if<TempFolderRecord>(&record)) {
        if (!tempFolders_.insert(folder->path).second) {
            return 0;
        }
    }
    buffer_.clear();
    EncodeRecordInto(buffer_, record);
    int result = Put(buffer_.data(), buffer_.size());
    dirty_.store(true, std::memory_order_relaxed);
    return result;
}

int CJournalWriter::AppendRename(std::string_view from, std::string_view to, const FileStamp& file,
                                 TempSide temp, std::string_view then) {
    if (!IsOpen()) {
        return EBADF;
    }
    if (int error = Error()) {
        return error;
    }
    buffer_.clear();
    EncodeRename(buffer_, from, to, file, temp, then);
    int result = Put(buffer_.data(), buffer_.size());
    dirty_.store(true, std::memory_order_relaxed);
    return result;
}

void CJournalWriter::StartSyncThread() {
    syncStop_ = false;
    syncThread_ = std::thread([this] {
        std::unique_lock lock(syncMutex_);
        while (!syncStop_) {
            syncWake_.wait_for(lock, kSyncInterval);
            if (dirty_.exchange(false)) {
                lock.unlock();
                if (fdatasync(fd_) != 0) {
                    int expected = 0;
                    syncError_.compare_exchange_strong(expected, errno);
                }
                lock.lock();
            }
        }
    });
}

void CJournalWriter::StopSyncThread() {
    if (!syncThread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(syncMutex_);
        syncStop_ = true;
    }
    syncWake_.notify_all();
    syncThread_.join();
}

int CJournalWriter::Create(const std::string& path, const StartRecord& start) {
    if (IsOpen()) {
        return EBUSY;
    }
    // Beside the journal, hidden, until it is locked and holds its start record.
    const std::string_view folder = FolderOf(path);
    const std::string hidden = "." + std::string(NameOf(path)) + ".new";
    const std::string temp = folder.empty() ? hidden : JoinPath(folder, hidden);
    int fd = open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno;
    }
    fd_ = fd;
    path_ = path;
    appending_ = false;
    offset_ = 0;
    recordsEnd_ = 0;
    error_ = 0;
    syncError_ = 0;
    tempFolders_.clear();
    int result = flock(fd_, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    if (result == 0) {
        result = Append(start);
    }
    // The start record reaches the disk with the first batch, like every
    // record after it: waiting here would hold up every run's start.
    bool named = false;
    if (result == 0) {
        named = renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0;
        result = named ? 0 : errno;
    }
    if (result == 0) {
        result = SyncFolderOf(path);
    }
    if (result == 0) {
        try {
            StartSyncThread();
        } catch (const std::system_error& e) {
            result = e.code().value() != 0 ? e.code().value() : EAGAIN;
        }
    }
    if (result != 0) {
        Unmap();
        close(fd_);
        fd_ = -1;
        unlink(named ? path.c_str() : temp.c_str());
        error_ = 0;
        return result;
    }
    return 0;
}

int CJournalWriter::OpenToAppend(const std::string& path) {
    if (IsOpen()) {
        return EBUSY;
    }
    int openError = 0;
    int fd = OpenRegularFile(path, O_RDWR, openError);
    if (fd < 0) {
        return openError;
    }
    // A reader looking at the lock holds it for a moment only.
    int result = EWOULDBLOCK;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            result = 0;
            break;
        }
        if (errno != EWOULDBLOCK) {
            result = errno;
            break;
        }
        usleep(20000);
    }
    int64_t end = 0;
    struct stat st {};
    if (result == 0 && fstat(fd, &st) != 0) {
        result = errno;
    }
    if (result == 0) {
        result = JournalDataEnd(fd, end);
    }
    if (result == 0 && end != st.st_size && ftruncate(fd, end) != 0) {
        result = errno;
    }
    if (result != 0) {
        close(fd);
        return result;
    }
    fd_ = fd;
    path_ = path;
    appending_ = true;
    offset_ = end;
    recordsEnd_ = end;
    error_ = 0;
    syncError_ = 0;
    tempFolders_.clear();
    try {
        StartSyncThread();
    } catch (const std::system_error& e) {
        close(fd_);
        fd_ = -1;
        return e.code().value() != 0 ? e.code().value() : EAGAIN;
    }
    return 0;
}

int CJournalWriter::Close() {
    if (!IsOpen()) {
        return error_;
    }
    StopSyncThread();
    int result = Error();
    Unmap();
    // Without a record cut off by a failure, or the space reserved ahead.
    if (ftruncate(fd_, recordsEnd_) != 0 && result == 0) {
        result = errno;
    }
    if (fdatasync(fd_) != 0 && result == 0) {
        result = errno;
    }
    if (close(fd_) != 0 && result == 0) {
        result = errno;
    }
    fd_ = -1;
    error_ = result;
    return result;
}

}  // namespace quorvan
