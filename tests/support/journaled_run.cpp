#include "support/journaled_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <stdexcept>

#include "history/run_history.h"
#include "platform/dos_attrib.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/trash.h"
#include "support/file_text.h"
#include "support/test_dir.h"

namespace quorvan::test {

namespace {

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

RenameRecord MakeRename(const std::string& from, const std::string& to, const FileStamp& file,
                        TempSide temp = TempSide::None, const std::string& then = "") {
    RenameRecord r;
    r.from = from;
    r.to = to;
    r.file = file;
    r.temp = temp;
    r.then = then;
    return r;
}

}  // namespace

JournaledRun::JournaledRun(const std::string& historyFolder, RunMode mode,
                           const std::string& folder, int64_t files, const std::string& destination,
                           CJournalWriter::Backend backend) {
    StartRecord start;
    start.folder = folder;
    start.mode = mode;
    start.destination = destination;
    start.files = files;
    writer_.SetBackend(backend);
    if (int error = OpenRunJournal(writer_, start, historyFolder)) {
        throw std::runtime_error("journal: " + ErrorText(error));
    }
    id_ = start.id;
}

JournaledRun::~JournaledRun() {
    writer_.Close();
}

void JournaledRun::Act() {
    if (actions_ == killAfter_) {
        _exit(0);
    }
    ++actions_;
}

void JournaledRun::Record(const JournalRecord& record) {
    Act();
    if (int error = writer_.Append(record)) {
        throw std::runtime_error("journal: " + ErrorText(error));
    }
}

FileStamp JournaledRun::Stamp(const std::string& path) {
    FileStamp stamp;
    if (int error = StampOf(path, stamp)) {
        throw std::runtime_error(path + ": " + ErrorText(error));
    }
    return stamp;
}

std::string JournaledRun::TempName(const std::string& besidePath) {
    return FolderOf(besidePath) + "/" + RunTempPrefix(id_) + std::to_string(getpid()) + "-" +
           std::to_string(++temps_);
}

bool JournaledRun::Rename(const std::string& from, const std::string& to) {
    // Without a file to move there is no operation to record, only the failure.
    FileStamp stamp;
    int error = StampOf(from, stamp);
    bool ok = false;
    if (error == 0) {
        Record(MakeRename(from, to, stamp));
        Act();
        ok = MoveNoReplace(from, to, error);
    }
    Record(FileRecord{from, to, ok, ok ? "" : ErrorText(error)});
    (ok ? done_ : failed_)++;
    return ok;
}

void JournaledRun::Cycle(const std::vector<std::string>& names) {
    const size_t n = names.size();
    std::string temp = TempName(names[0]);
    int error = 0;
    auto move = [&](const std::string& from, const std::string& to) {
        Act();
        if (!MoveNoReplace(from, to, error)) {
            throw std::runtime_error("move " + from + ": " + ErrorText(error));
        }
    };
    Record(MakeRename(names[0], temp, Stamp(names[0]), TempSide::To, names[1 % n]));
    move(names[0], temp);
    for (size_t i = n - 1; i >= 1; --i) {
        const std::string& to = names[(i + 1) % n];
        Record(MakeRename(names[i], to, Stamp(names[i])));
        move(names[i], to);
        Record(FileRecord{names[i], to, true, ""});
        ++done_;
    }
    Record(MakeRename(temp, names[1 % n], Stamp(temp), TempSide::From));
    move(temp, names[1 % n]);
    Record(FileRecord{names[0], names[1 % n], true, ""});
    ++done_;
}

void JournaledRun::Copy(const std::string& from, const std::string& to, bool trashFirst) {
    Record(TempFolderRecord{FolderOf(to)});
    std::string data = FileText(from);
    std::string temp = TempName(to);
    Act();
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw std::runtime_error("create " + temp);
    }
    // In two halves, so that a kill can come in the middle of the data.
    size_t half = data.size() / 2;
    bool ok = WriteAll(fd, data.data(), half) == 0;
    Act();
    ok = ok && WriteAll(fd, data.data() + half, data.size() - half) == 0;
    struct stat source {};
    stat(from.c_str(), &source);
    fchmod(fd, source.st_mode & 07777);
    timespec times[2] = {source.st_atim, source.st_mtim};
    ok = ok && futimens(fd, times) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok) {
        throw std::runtime_error("write " + temp);
    }
    if (!trashFirst) {
        Record(CopyRecord{from, to, temp, Stamp(temp)});
    }
    if (EntryExists(to)) {
        Record(TrashRecord{to, Stamp(to)});
        Act();
        TrashEntry where;
        std::string error;
        if (!MoveToTrash(to, where, error)) {
            throw std::runtime_error("trash " + to + ": " + error);
        }
        Record(TrashedRecord{to, where.file, where.info});
    }
    if (trashFirst) {
        Record(CopyRecord{from, to, temp, Stamp(temp)});
    }
    Act();
    int error = 0;
    if (!MoveNoReplace(temp, to, error)) {
        throw std::runtime_error("place " + to + ": " + ErrorText(error));
    }
    Record(FileRecord{from, to, true, ""});
    ++done_;
}

// What a run records before it changes a file's attributes.
AttrsRecord JournaledRun::OldAttrs(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    std::string value(256, '\0');
    ssize_t n = getxattr(path.c_str(), kDosAttribName, value.data(), value.size());
    FileStamp stamp = Stamp(path);
    AttrsRecord record;
    record.path = path;
    record.file = stamp;
    record.mode = st.st_mode & 07777u;
    if (n >= 0) {
        record.dosAttrib = value.substr(0, static_cast<size_t>(n));
    }
    return record;
}

void JournaledRun::SetMode(const std::string& path, uint32_t mode) {
    Record(OldAttrs(path));
    Act();
    chmod(path.c_str(), mode);
}

void JournaledRun::SetDosAttrib(const std::string& path, const std::string& value) {
    Record(OldAttrs(path));
    Act();
    if (setxattr(path.c_str(), kDosAttribName, value.data(), value.size(), 0) != 0) {
        throw std::runtime_error("setxattr " + path);
    }
}

void JournaledRun::SetTimes(const std::string& path, FileTimeNs access, FileTimeNs modification) {
    struct stat st {};
    lstat(path.c_str(), &st);
    FileStamp stamp = Stamp(path);
    TimesRecord record;
    record.path = path;
    record.file = stamp;
    record.oldAtime = {st.st_atim.tv_sec, st.st_atim.tv_nsec};
    record.oldMtime = {st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    record.newAtime = access;
    record.newMtime = modification;
    Record(record);
    Act();
    timespec times[2] = {{access.sec, access.nsec}, {modification.sec, modification.nsec}};
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

void JournaledRun::End(RunEnd status) {
    Record(MakeEndRecord(status, done_, failed_));
    writer_.Close();
}

}  // namespace quorvan::test
