#pragma once

#include <cstdio>

#include "cli/cli_options.h"
#include "run/plan_check.h"

namespace quorvan::cli {

// quorvan-cli preview: prints "source<TAB>target<LF>" (or NUL-separated) for
// each plan entry in plan order, with --status each entry's status first.
// Exits 1 with a summary on `err` when an entry would fail.
int RunPreview(const CliOptions& options, FILE* out, FILE* err);

// "46 files: 43 ok, 2 collision, 1 exists".
std::string StatusSummary(const PlanCheck& check);

}  // namespace quorvan::cli
