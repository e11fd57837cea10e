#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <variant>
#include <vector>

#include "platform/file_identity.h"

namespace quorvan {

// The run history: what it promises.
//  - Write-ahead: every operation of a run is recorded in its journal before
//    it happens; an operation whose record cannot be written does not happen.
//  - Interrupted: a journal with no end record whose writer no longer holds
//    its lock (the process was killed, the machine lost power). Its files
//    are offered for undo or for keeping as they are.
//  - Undo never removes a file: it renames back only a file it can prove to
//    be the run's (file system id, inode, generation or birth time), never
//    onto a name taken since; copies go to the trash; anything else stays
//    where it is and is reported.
//
// The run journal: one file of JSON lines per run, each line one record whose
// "t" names its kind; the user manual documents the format. Paths are exact
// bytes: valid UTF-8 as it is, other bytes as "\udcXX" (Python's
// surrogateescape).

// The "v" of the start record. Version 2 adds the file system's id ("fs")
// and the inode's generation ("gen") to each file's identity; a version 1
// journal reads with both unknown.
inline constexpr int kJournalVersion = 2;

// The start of the names of a run's temporary files, ".quorvan-tmp-<id>-".
std::string RunTempPrefix(const std::string& runId);

enum class RunMode { Rename, Copy };
// Which name of a rename is a cycle's temporary name.
enum class TempSide { None, From, To };
enum class RunEnd { Complete, Cancelled, Aborted };
enum class UndoOutcome {
    Restored,   // put back
    Skipped,    // left alone, for the reason given
    Unchanged,  // nothing to do: never happened, or already back
};

// The run starts. `time` is local ("2024-06-12 23:07:30"), `epoch` and `nsec`
// the same moment; `destination` only in copy mode.
struct StartRecord {
    int version = kJournalVersion;
    std::string id;
    std::string time;
    int64_t epoch = 0;
    int64_t nsec = 0;
    std::string folder;
    RunMode mode = RunMode::Rename;
    std::string destination;
    int64_t files = 0;
    int64_t pid = 0;
};

// Before a move. `file` is the moving file; for a move to a cycle's temporary
// name, `then` names where the cycle takes it next.
struct RenameRecord {
    std::string from;
    std::string to;
    FileStamp file;
    TempSide temp = TempSide::None;
    std::string then;
};

// After the copy's data is in the temporary file `temp`, before that file
// is renamed to `to`. `copy` is the finished temporary file.
struct CopyRecord {
    std::string from;
    std::string to;
    std::string temp;
    FileStamp copy;
};

// Before the file a copy would replace goes to the trash.
struct TrashRecord {
    std::string path;
    FileStamp file;
};

// After it went: the file and its info file in the trash (empty when GIO's
// choice could not be found).
struct TrashedRecord {
    std::string path;
    std::string trashFile;
    std::string trashInfo;
};

// Before an attribute change: the permission bits and user.DOSATTRIB bytes
// (none: there was no such attribute) it had.
struct AttrsRecord {
    std::string path;
    FileStamp file;  // its identity only: no size or modification time
    uint32_t mode = 0;
    std::optional<std::string> dosAttrib;
};

// Before a time change: the times before and the ones to be set.
struct TimesRecord {
    std::string path;
    FileStamp file;  // its identity only: no size or modification time
    FileTimeNs oldAtime;
    FileTimeNs oldMtime;
    FileTimeNs newAtime;
    FileTimeNs newMtime;
};

// Before the run first makes a temporary file in a folder (copy mode), so
// that the leftovers of a killed copy can be found there. The writer writes
// one record per folder.
struct TempFolderRecord {
    std::string path;
};

// Before the run makes a folder (a template's "/", copy mode's subfolders).
// Undo removes it once it is empty again.
struct FolderRecord {
    std::string path;
};

// After each plan entry. Only a failed one carries its paths and reason: a
// file done is named by the record of its operation.
struct FileRecord {
    std::string from;
    std::string to;
    bool ok = true;
    std::string error;
};

// `reason`: why a run stopped early by itself (its journal could not be
// written); the history shows such a run as interrupted, with the reason.
struct EndRecord {
    RunEnd status = RunEnd::Complete;
    int64_t done = 0;
    int64_t failed = 0;
    std::string time;
    int64_t epoch = 0;
    std::string reason;
};

// An undo of the run starts.
struct UndoStartRecord {
    std::string time;
    int64_t epoch = 0;
    int64_t pid = 0;
};

// What an undo step did: reversed an operation, gave a file left at a
// temporary name a real one, or removed a leftover temporary file.
enum class UndoAction { Reverse, Resolve, RemoveTemp };

// One step of an undo: `record` is the line number of the operation it
// concerns (0 for a leftover temporary file no record names). `trash` names
// where a copy went in the trash; `target` where a resolved temporary name
// went, which a later undo reverses like a rename.
struct UndoStepRecord {
    int64_t record = 0;
    UndoAction action = UndoAction::Reverse;
    UndoOutcome outcome = UndoOutcome::Restored;
    std::string reason;
    std::string trash;
    std::string target;
};

// The undo ended: files restored and files skipped, and the run's own counts
// again, so that the history needs only the journal's end.
struct UndoEndRecord {
    int64_t restored = 0;
    int64_t skipped = 0;
    bool cancelled = false;
    int64_t done = 0;
    int64_t failed = 0;
    std::string time;
    int64_t epoch = 0;
};

// The user chose to keep the files of an interrupted run as they are;
// `resolved` temporary names were given a real one.
struct KeptRecord {
    int64_t resolved = 0;
    int64_t done = 0;
    int64_t failed = 0;
    std::string time;
    int64_t epoch = 0;
};

using JournalRecord =
    std::variant<StartRecord, RenameRecord, CopyRecord, TrashRecord, TrashedRecord, AttrsRecord,
                 TimesRecord, TempFolderRecord, FileRecord, EndRecord, UndoStartRecord,
                 UndoStepRecord, UndoEndRecord, KeptRecord, FolderRecord>;

// The "t" of a record.
const char* RecordKindName(const JournalRecord& record);

// One record as a line, line feed included.
std::string EncodeRecord(const JournalRecord& record);
void EncodeRecordInto(std::string& out, const JournalRecord& record);
// One line (without its line feed); nothing when it is no record this
// version knows.
std::optional<JournalRecord> DecodeRecord(std::string_view line);

// A byte string as a JSON string with its quotes, and back. Decoding fails on
// anything that is not a string as EncodeJsonString writes it or a JSON
// parser accepts.
void EncodeJsonString(std::string& out, std::string_view bytes);
bool DecodeJsonString(std::string_view quoted, std::string& bytes);

// A record with its line number in the journal (from 1).
struct JournalEntry {
    int64_t line = 0;
    JournalRecord record;
};

struct Journal {
    std::vector<JournalEntry> entries;
    int64_t damagedLines = 0;  // complete lines that are no record
    bool tornTail = false;     // the last record was cut off (a killed writer)
};

// Reads a whole journal (CJournalReader reads one in bounded memory). A
// cut-off last record and the zeros that a killed writer leaves after it are
// not records; any other line that is no record is counted as damaged. 0 or
// an errno value.
int ReadJournal(const std::string& path, Journal& journal);

// The length of a journal's data: up to the end of its last complete line,
// before any cut-off record and the zeros at the end of the file. Of bytes
// in memory, and of an open file (0 or an errno value; `torn`: something
// that is no line follows).
int64_t JournalDataEnd(std::string_view text);
int JournalDataEnd(int fd, int64_t& end, bool* torn = nullptr);

// Writes one journal. Each record goes to the kernel before Append returns
// (a killed process loses nothing written), without a system call per record
// where the file can be mapped; a thread makes it durable (fdatasync) about
// once a second and Close does at the end. The writer holds an exclusive
// flock on the journal while it is open, which tells that its run (or undo)
// is still going. Every failure is kept and returned by each later call, so
// a caller can never go on without noticing.
class CJournalWriter final {
  public:
    // Mapped: records are copied into a shared mapping of space reserved
    // ahead (fallocate); Write: one pwrite per record. Mapped falls back to
    // Write where the file system cannot reserve space, and for a journal
    // opened to append (undo, keep) where the disk has too little free.
    enum class Backend { Mapped, Write };

    CJournalWriter() = default;
    // Closes a journal still open, ignoring errors.
    ~CJournalWriter();
    CJournalWriter(const CJournalWriter&) = delete;
    CJournalWriter& operator=(const CJournalWriter&) = delete;

    void SetBackend(Backend backend) { backend_ = backend; }

    // Creates the journal `path`, which must not exist, with its start record.
    // It gets its name only once locked and started, so nobody sees it
    // without its lock or its start. 0 or an errno value.
    int Create(const std::string& path, const StartRecord& start);
    // Opens an existing journal to add records (undo, keep), cutting off a
    // record a killed writer left incomplete. EWOULDBLOCK when its lock is
    // held: the run or an undo is still going.
    int OpenToAppend(const std::string& path);

    // Adds a record. 0 or an errno value (also one of an earlier failure).
    int Append(const JournalRecord& record);
    // Append of a RenameRecord without copying its paths: the record a run
    // writes most.
    int AppendRename(std::string_view from, std::string_view to, const FileStamp& file,
                     TempSide temp = TempSide::None, std::string_view then = {});
    // The last record of a journal that failed: written into the space held
    // back for it, even on a full disk. 0 or an errno value.
    int AppendFinal(const JournalRecord& record);
    // Trims the file to its records, makes it durable and releases the lock.
    // 0 or the first failure of the journal's life.
    int Close();

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    // The first failure, 0 when none.
    int Error() const;
    // Bytes of records written.
    int64_t Size() const { return offset_; }

  private:
    int Put(const char* data, size_t size);
    int CopyMapped(const char* data, size_t size);
    int MapWindow(int64_t offset);
    void Unmap();
    int Fail(int error);
    void StartSyncThread();
    void StopSyncThread();

    Backend backend_ = Backend::Mapped;
    int fd_ = -1;
    std::string path_;
    bool appending_ = false;  // opened by OpenToAppend
    int64_t offset_ = 0;      // the end of the bytes written
    int64_t recordsEnd_ = 0;  // the end of the last whole record
    char* map_ = nullptr;
    int64_t mapStart_ = 0;
    int error_ = 0;
    std::string buffer_;
    std::unordered_set<std::string> tempFolders_;

    std::thread syncThread_;
    std::mutex syncMutex_;
    std::condition_variable syncWake_;
    bool syncStop_ = false;
    std::atomic<bool> dirty_{false};
    std::atomic<int> syncError_{0};
};

}  // namespace quorvan
