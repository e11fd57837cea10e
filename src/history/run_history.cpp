#include "history/run_history.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <functional>

#include "history/journal_reader.h"
#include "platform/counter_store.h"
#include "platform/file_system.h"

namespace quorvan {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// True when a writer holds the journal's lock. Looks with a shared lock, so
// readers never keep each other out.
bool LockHeld(int fd) {
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK;
    }
    flock(fd, LOCK_UN);
    return false;
}

}  // namespace

std::string HistoryFolder() {
    return CCounterStore::DefaultFolder() + "/history";
}

std::string JournalPath(const std::string& folder, const std::string& id) {
    return folder + "/" + id + kJournalExtension;
}

std::string JournalTimeText(int64_t epoch) {
    time_t t = static_cast<time_t>(epoch);
    struct tm local {};
    localtime_r(&t, &local);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

FileTimeNs JournalNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return {static_cast<int64_t>(now.tv_sec), static_cast<int64_t>(now.tv_nsec)};
}

std::string MakeRunId(int64_t epoch) {
    time_t t = static_cast<time_t>(epoch);
    struct tm local {};
    localtime_r(&t, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    uint16_t random = 0;
    if (getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
        random = static_cast<uint16_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                       getpid());
    }
    char id[48];
    snprintf(id, sizeof id, "%s-%04x", stamp, random);
    return id;
}

const char* RunStateName(RunState state) {
    switch (state) {
        case RunState::Complete:
            return "complete";
        case RunState::Cancelled:
            return "cancelled";
        case RunState::Aborted:
            return "aborted";
        case RunState::Interrupted:
            return "interrupted";
        case RunState::Running:
            return "running";
        case RunState::Undone:
            return "undone";
        case RunState::PartlyUndone:
            return "partly undone";
        case RunState::Kept:
            return "kept";
    }
    return "";
}

bool ReadRunSummary(const std::string& path, RunSummary& summary) {
    CJournalReader reader;
    JournalLine first;
    std::optional<JournalRecord> start;
    if (reader.Open(path) != 0 || !reader.Next(first) || !(start = DecodeRecord(first.text)) ||
        !std::holds_alternative<StartRecord>(*start)) {
        return false;
    }
    summary = RunSummary{};
    summary.path = path;
    summary.start = std::get<StartRecord>(*start);
    const bool locked = LockHeld(reader.Fd());

    // From the end back to the record that settles the state; only a journal
    // without one (interrupted, running) is read whole, to count its files.
    bool settled = false;
    bool undoUnfinished = false;
    bool countsKnown = false;
    int64_t filesOk = 0;
    int64_t filesFailed = 0;
    auto visit = [&](std::string_view line) {
        std::string_view kind = RecordKindOf(line);
        if (kind == "file") {
            if (auto r = DecodeRecord(line); r && std::holds_alternative<FileRecord>(*r)) {
                (std::get<FileRecord>(*r).ok ? filesOk : filesFailed)++;
            }
            return true;
        }
        if (kind == "undo") {
            if (!settled) {
                undoUnfinished = true;  // no end of this undo came after it
                settled = true;
            }
            return true;
        }
        if (kind != "end" && kind != "undo-end" && kind != "kept") {
            return kind != "start";
        }
        auto record = DecodeRecord(line);
        if (!record) {
            return true;
        }
        if (auto* end = std::get_if<EndRecord>(&*record)) {
            summary.done = end->done;
            summary.failed = end->failed;
            if (!settled) {
                summary.state = !end->reason.empty()               ? RunState::Interrupted
                                : end->status == RunEnd::Complete  ? RunState::Complete
                                : end->status == RunEnd::Cancelled ? RunState::Cancelled
                                                                   : RunState::Aborted;
                summary.reason = end->reason;
            }
        } else if (auto* undone = std::get_if<UndoEndRecord>(&*record)) {
            summary.done = undone->done;
            summary.failed = undone->failed;
            if (!settled) {
                summary.restored = undone->restored;
                summary.skipped = undone->skipped;
                summary.state = undone->skipped > 0 || undone->cancelled ? RunState::PartlyUndone
                                                                         : RunState::Undone;
            }
        } else if (auto* kept = std::get_if<KeptRecord>(&*record)) {
            summary.done = kept->done;
            summary.failed = kept->failed;
            if (!settled) {
                summary.state = RunState::Kept;
            }
        } else {
            return true;
        }
        settled = true;
        countsKnown = true;
        return false;
    };
    for (JournalLine back; reader.Previous(back) && visit(back.text);) {
    }
    if (!countsKnown) {
        summary.done = filesOk;
        summary.failed = filesFailed;
    }
    if (locked) {
        summary.state = RunState::Running;
    } else if (undoUnfinished) {
        summary.state = RunState::PartlyUndone;
    } else if (!settled) {
        summary.state = RunState::Interrupted;
    }
    return true;
}

bool JournalLocked(const std::string& path) {
    int openError = 0;
    int fd = OpenRegularFile(path, O_RDONLY, openError);
    if (fd < 0) {
        return false;
    }
    bool locked = LockHeld(fd);
    close(fd);
    return locked;
}

std::vector<RunSummary> ListRuns(const std::string& folder) {
    std::vector<RunSummary> runs;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return runs;
    }
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name[0] == '.' || !EndsWith(name, kJournalExtension)) {
            continue;
        }
        RunSummary summary;
        if (ReadRunSummary(folder + "/" + name, summary)) {
            runs.push_back(std::move(summary));
        }
    }
    closedir(dir);
    std::sort(runs.begin(), runs.end(), [](const RunSummary& a, const RunSummary& b) {
        if (a.start.epoch != b.start.epoch) {
            return a.start.epoch > b.start.epoch;
        }
        if (a.start.nsec != b.start.nsec) {
            return a.start.nsec > b.start.nsec;
        }
        return a.start.id > b.start.id;
    });
    return runs;
}

FindRunResult FindRun(const std::vector<RunSummary>& runs, const std::string& idOrPrefix,
                      size_t& index) {
    size_t matches = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        const std::string& id = runs[i].start.id;
        if (id == idOrPrefix) {
            index = i;
            return FindRunResult::Found;
        }
        if (!idOrPrefix.empty() && id.compare(0, idOrPrefix.size(), idOrPrefix) == 0) {
            index = i;
            ++matches;
        }
    }
    return matches == 1   ? FindRunResult::Found
           : matches == 0 ? FindRunResult::NotFound
                          : FindRunResult::Ambiguous;
}

bool CanUndo(RunState state) {
    return state != RunState::Running && state != RunState::Undone && state != RunState::Aborted;
}

const RunSummary* NewestUndoable(const std::vector<RunSummary>& runs) {
    for (const RunSummary& run : runs) {
        if (CanUndo(run.state)) {
            return &run;
        }
    }
    return nullptr;
}

int PruneHistory(const std::string& folder, int64_t now, const RetentionPolicy& policy) {
    struct Candidate {
        std::string path;
        int64_t time;
    };
    std::vector<Candidate> journals;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int removed = 0;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        std::string path = folder + "/" + name;
        struct stat st {};
        if (name == "." || name == ".." || lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        if (name[0] == '.' && EndsWith(name, ".new")) {
            // A journal whose creation was cut short; never started a run.
            if (now - st.st_mtime > 24 * 3600) {
                int openError = 0;
                int fd = OpenRegularFile(path, O_RDONLY, openError);
                if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 && unlink(path.c_str()) == 0) {
                    ++removed;
                }
                if (fd >= 0) {
                    close(fd);
                }
            }
            continue;
        }
        if (name[0] == '.' || !EndsWith(name, kJournalExtension)) {
            continue;
        }
        RunSummary summary;
        int64_t time = ReadRunSummary(path, summary) ? summary.start.epoch : st.st_mtime;
        journals.push_back({path, time});
    }
    closedir(dir);
    std::sort(journals.begin(), journals.end(),
              [](const Candidate& a, const Candidate& b) { return a.time > b.time; });
    for (size_t i = policy.keepRuns; i < journals.size(); ++i) {
        if (now - journals[i].time <= policy.keepSeconds) {
            continue;
        }
        // Removed under its lock, so a run or undo still at work keeps it.
        int openError = 0;
        int fd = OpenRegularFile(journals[i].path, O_RDONLY, openError);
        if (fd < 0) {
            continue;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && unlink(journals[i].path.c_str()) == 0) {
            ++removed;
        }
        close(fd);
    }
    return removed;
}

int OpenRunJournal(CJournalWriter& writer, StartRecord& start, const std::string& folder) {
    if (int error = MakePrivateFolders(folder)) {
        return error;
    }
    FileTimeNs now = JournalNow();
    start.version = kJournalVersion;
    start.time = JournalTimeText(now.sec);
    start.epoch = now.sec;
    start.nsec = now.nsec;
    start.pid = getpid();
    int result = EEXIST;
    for (int attempt = 0; attempt < 20 && result == EEXIST; ++attempt) {
        start.id = MakeRunId(now.sec);
        result = writer.Create(JournalPath(folder, start.id), start);
    }
    if (result == 0) {
        PruneHistory(folder, now.sec);
    }
    return result;
}

std::string JournalFailureText(int error) {
    return "The run journal could not be written: " + ErrorText(error);
}

EndRecord MakeEndRecord(RunEnd status, int64_t done, int64_t failed) {
    FileTimeNs now = JournalNow();
    EndRecord end;
    end.status = status;
    end.done = done;
    end.failed = failed;
    end.time = JournalTimeText(now.sec);
    end.epoch = now.sec;
    return end;
}

}  // namespace quorvan
