// Builds and computes a rename plan of 1,000,000 synthetic source paths, and in
// the same run sorts the same strings with std::sort as the reference.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "rules/rename_rules.h"

using namespace quorvan;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    std::mt19937 random(42);
    std::vector<std::string> paths;
    paths.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        // Files spread over folders, in no particular order, as a walk gives them.
        char name[160];
        snprintf(name, sizeof name, "/home/user/Pictures/2024/album_%03u/IMG_%08u_%u.jpg",
                 static_cast<unsigned>(random() % 500), static_cast<unsigned>(random()),
                 static_cast<unsigned>(i));
        paths.emplace_back(name);
    }

    std::vector<std::string> copy = paths;
    auto start = std::chrono::steady_clock::now();
    std::sort(copy.begin(), copy.end());
    double sortTime = Seconds(start);
    copy.clear();
    copy.shrink_to_fit();

    CRenameRules rules;
    rules.Settings().TextMode = false;
    rules.Settings().NumericSequence = true;
    rules.Settings().SequencePlacement = 0;
    rules.Settings().StartWith = 1;
    rules.Settings().DigitCount = 6;
    rules.Settings().AddSuffix = true;
    rules.Settings().Suffix = "_";
    rules.Settings().RenameInPlace = false;
    rules.Settings().RenameDestFolder = "/mnt/backup";
    start = std::chrono::steady_clock::now();
    rules.ClearPlan();
    for (const std::string& path : paths) {
        rules.AddSource(path);
    }
    rules.ComputePlan("/home/user/Pictures", false);
    double planTime = Seconds(start);

    std::string first;
    rules.FirstTarget(first);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    printf("entries:        %zu (first target %s)\n", rules.PlanSize(), first.c_str());
    printf("std::sort:      %.3f s\n", sortTime);
    printf("plan:           %.3f s\n", planTime);
    printf("ratio:          %.2f (goal at most 4)\n", planTime / sortTime);
    printf("peak memory:    %.0f MB (goal at most 400)\n", usage.ru_maxrss / 1024.0);
    return 0;
}
