// The cost of the run journal: 100,000 renames with a write-ahead record each
// against bare renameat2 calls, and the undo of those renames. Prints the
// ratios (median of three rounds, wall clock and CPU time); the goal for the
// journal is at most 1.15.
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

#include "run/journal.h"
#include "run/run_history.h"
#include "run/undo_run.h"

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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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

    std::vector<double> bare, known, stamped, undo, bareCpu, knownCpu, stampedCpu, undoCpu;
    for (int round = 0; round < kRounds; ++round) {
        // Bare: a -> b.
        Times t = Measure([&] {
            for (int i = 0; i < kFiles; ++i) {
                Rename(a[i], b[i]);
            }
        });
        bare.push_back(t.wall);
        bareCpu.push_back(t.cpu);

        // Journaled, the stamps known beforehand (as a check of the whole
        // plan has them): b -> c.
        std::vector<FileStamp> stamps(kFiles);
        for (int i = 0; i < kFiles; ++i) {
            StampOf(b[i], stamps[i]);
        }
        CJournalWriter writer;
        StartRecord start;
        start.folder = files;
        start.files = kFiles;
        if (OpenRunJournal(writer, start, history) != 0) {
            perror("journal");
            return 1;
        }
        t = Measure([&] {
            for (int i = 0; i < kFiles; ++i) {
                RenameRecord record;
                record.from = b[i];
                record.to = c[i];
                record.file = stamps[i];
                failures += writer.Append(record) != 0;
                Rename(b[i], c[i]);
            }
            failures += writer.Close() != 0;
        });
        known.push_back(t.wall);
        knownCpu.push_back(t.cpu);

        // Journaled with a statx of each file first: c -> a.
        CJournalWriter second;
        if (OpenRunJournal(second, start, history) != 0) {
            perror("journal");
            return 1;
        }
        t = Measure([&] {
            for (int i = 0; i < kFiles; ++i) {
                RenameRecord record;
                record.from = c[i];
                record.to = a[i];
                failures += StampOf(c[i], record.file) != 0;
                failures += second.Append(record) != 0;
                Rename(c[i], a[i]);
            }
            failures += second.Append(MakeEndRecord(RunEnd::Complete, kFiles, 0)) != 0;
            failures += second.Close() != 0;
        });
        stamped.push_back(t.wall);
        stampedCpu.push_back(t.cpu);

        // Undo of the last run (a -> c), then that run again (c -> a).
        std::string journal = second.Path();
        t = Measure([&] {
            UndoSummary summary = UndoRun(journal);
            failures += summary.stepsRestored != kFiles;
        });
        undo.push_back(t.wall);
        undoCpu.push_back(t.cpu);
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

    double reference = Median(bare);
    double referenceCpu = Median(bareCpu);
    printf("%d renames, median of %d rounds (wall clock; CPU time)\n", kFiles, kRounds);
    printf("renameat2:                  %.3f s; %.3f s\n", reference, referenceCpu);
    printf("with journal, stamps known: %.3f s; %.3f s  ratio %.2f; %.2f (goal <= 1.15)\n",
           Median(known), Median(knownCpu), Median(known) / reference,
           Median(knownCpu) / referenceCpu);
    printf("with journal and a statx:   %.3f s; %.3f s  ratio %.2f; %.2f\n", Median(stamped),
           Median(stampedCpu), Median(stamped) / reference, Median(stampedCpu) / referenceCpu);
    printf("undo of the journaled run:  %.3f s; %.3f s  ratio %.2f; %.2f\n", Median(undo),
           Median(undoCpu), Median(undo) / reference, Median(undoCpu) / referenceCpu);
    if (failures != 0) {
        printf("%d failures\n", failures);
    }
    return failures == 0 ? 0 : 1;
}
