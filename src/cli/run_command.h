#pragma once

#include <cstdio>

#include "cli/cli_options.h"

namespace quorvan::cli {

// quorvan-cli run: carries the plan out as Start does, with a progress bar on
// standard error when that is a terminal and a one-line summary at the end.
int RunRun(const CliOptions& options, FILE* err);

}  // namespace quorvan::cli
