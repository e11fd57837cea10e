// The cost of the run journal: 100,000 renames with a write-ahead record each
// against bare renameat2 calls, and the undo of those renames. Prints the
// ratios (wall clock and CPU time, three rounds); the goal for the journal is
// at most 1.15.
//   journal_bench [FOLDER]   (default: $TMPDIR or /tmp)
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "history/journal.h"
#include "history/run_history.h"
#include "history/undo_run.h"

namespace {

constexpr int kFiles = 100000;
constexpr int kRounds = 3;

struct Times {
    double wall = 0;
    double cpu = 0;
};

double CpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <typename Work>
Times Measure(Work work) {
    auto wall = std::chrono::steady_clock::now();
    double cpu = CpuNow();
    work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(),
            CpuNow() - cpu};
}

std::vector<std::string> Names(const std::string& dir, const char* prefix) {
    std::vector<std::string> names;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back(dir + "/" + prefix + "_photo_" + std::to_string(i) + ".jpg");
    }
    return names;
}

int failures = 0;

void Rename(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        ++failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvan;
    const char* base = argc > 1 ? argv[1] : getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvan-bench-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    const std::string dir = buffer.data();
    const std::string history = dir + "/history";
    const std::string files = dir + "/files";
    mkdir(files.c_str(), 0700);
    auto a = Names(files, "a");
    auto b = Names(files, "b");
    auto c = Names(files, "c");
    for (const std::string& name : a) {
        close(open(name.c_str(), O_CREAT | O_WRONLY, 0644));
    }

    // Bare and journaled renames alternate in batches, so that other work on
    // the machine weighs on both alike.
    constexpr int kBatch = 5000;
    StartRecord start;
    start.folder = files;
    start.files = kFiles;
    Times bare, known, stamped, undo;
    auto add = [](Times& sum, const Times& t) {
        sum.wall += t.wall;
        sum.cpu += t.cpu;
    };
    for (int round = 0; round < kRounds; ++round) {
        std::vector<FileStamp> stamps(kFiles);
        CJournalWriter withStamps;
        CJournalWriter withStatx;
        if (OpenRunJournal(withStamps, start, history) != 0 ||
            OpenRunJournal(withStatx, start, history) != 0) {
            perror("journal");
            return 1;
        }
        for (int from = 0; from < kFiles; from += kBatch) {
            const int to = std::min(kFiles, from + kBatch);
            // Bare: a -> b.
            add(bare, Measure([&] {
                    for (int i = from; i < to; ++i) {
                        Rename(a[i], b[i]);
                    }
                }));
            // The stamps known beforehand, as a check of the whole plan
            // (or the folder scan's inode numbers) gives them: b -> c.
            for (int i = from; i < to; ++i) {
                StampOf(b[i], stamps[i]);
            }
            add(known, Measure([&] {
                    for (int i = from; i < to; ++i) {
                        failures += withStamps.AppendRename(b[i], c[i], stamps[i]) != 0;
                        Rename(b[i], c[i]);
                    }
                }));
            // A statx of each file first: c -> a.
            add(stamped, Measure([&] {
                    for (int i = from; i < to; ++i) {
                        FileStamp stamp;
                        failures += StampOf(c[i], stamp) != 0;
                        failures += withStatx.AppendRename(c[i], a[i], stamp) != 0;
                        Rename(c[i], a[i]);
                    }
                }));
        }
        add(known, Measure([&] { failures += withStamps.Close() != 0; }));
        add(stamped, Measure([&] {
                failures += withStatx.Append(MakeEndRecord(RunEnd::Complete, kFiles, 0)) != 0;
                failures += withStatx.Close() != 0;
            }));

        // Undo of the last run (a -> c), then that run again (c -> a).
        std::string journal = withStatx.Path();
        add(undo, Measure([&] { failures += UndoRun(journal).stepsRestored != kFiles; }));
        for (int i = 0; i < kFiles; ++i) {
            Rename(c[i], a[i]);
        }
    }

    for (const std::string& name : a) {
        unlink(name.c_str());
    }
    for (const RunSummary& run : ListRuns(history)) {
        unlink(run.path.c_str());
    }
    rmdir(history.c_str());
    rmdir(files.c_str());
    rmdir(dir.c_str());

    auto line = [&](const char* what, const Times& t, const char* goal) {
        printf("%s %.3f s; %.3f s  ratio %.2f; %.2f%s\n", what, t.wall / kRounds, t.cpu / kRounds,
               t.wall / bare.wall, t.cpu / bare.cpu, goal);
    };
    printf("%d renames, mean of %d rounds (wall clock; CPU time)\n", kFiles, kRounds);
    printf("renameat2:                  %.3f s; %.3f s\n", bare.wall / kRounds, bare.cpu / kRounds);
    line("with journal, stamps known:", known, " (goal <= 1.15)");
    line("with journal and a statx:  ", stamped, "");
    line("undo of the journaled run: ", undo, "");
    if (failures != 0) {
        printf("%d failures\n", failures);
    }
    return failures == 0 ? 0 : 1;
}
