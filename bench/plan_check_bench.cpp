// The cost of checking a whole plan: a folder of 100,000 empty files is
// scanned, its files passed through the filter and its plan computed, as a
// preview does, then checked; the ratio is preview with the check to preview
// without it. (bench/preview_bench.sh measures the same through quorvan-cli.)
// Usage: plan_check_bench [COUNT]
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "rules/rename_rules.h"
#include "run/plan_check.h"
#include "selection/filter_settings.h"
#include "selection/source_scan.h"

using namespace quorvan;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    char pattern[] = "/var/tmp/quorvan-check-bench-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/%06d.dat", i);
        close(open((folder + name).c_str(), O_CREAT | O_WRONLY, 0644));
    }

    double best[2] = {1e9, 1e9};
    size_t failing = 0;
    for (int round = 0; round < 3; ++round) {
        // A preview: the scan, then the plan (renumbering by one, so every
        // target but the last is the name of another source).
        auto start = std::chrono::steady_clock::now();
        std::vector<SourceFile> files;
        int error = 0;
        ListSourceFolder(folder, files, error);
        CRenameRules rules;
        RenameSettings& settings = rules.Settings();
        settings.RenameInPlace = true;
        settings.NumericSequence = true;
        settings.SequencePlacement = 1;
        settings.StartWith = 2;
        settings.DigitCount = 6;
        CFilterSettings filter;
        CFileListBuilder builder(rules, filter);
        FileListRequest request;
        request.sourceFolder = folder;
        for (SourceFile& file : files) {
            request.sourceRows.push_back({std::move(file.path), true});
        }
        builder.BuildFileList(request);
        rules.ComputePlan(folder, false);
        const double preview = Seconds(start);
        start = std::chrono::steady_clock::now();
        PlanCheck check = CheckPlan(rules.PlanEntries(), true, false);
        const double checked = Seconds(start);
        failing = check.Failing();
        best[0] = std::min(best[0], preview);
        best[1] = std::min(best[1], checked);
    }
    std::printf("files:          %d (%zu would fail)\n", count, failing);
    std::printf("preview:        %.3f s\n", best[0]);
    std::printf("check:          %.3f s\n", best[1]);
    std::printf(
        "ratio:          %.2f (preview with the check to preview without; goal at most 1.3)\n",
        (best[0] + best[1]) / best[0]);
    std::string command = "rm -rf '" + folder + "'";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
