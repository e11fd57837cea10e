#pragma once

#include <cstdio>

#include "cli/cli_options.h"

namespace quorvan::cli {

// quorvan-cli undo [--dry-run] [ID]: undoes run ID (or the one run whose ID
// starts so), by default the newest run not undone yet. Each skipped step is
// named on `err`; --dry-run prints on `out` what would be done and changes
// nothing. A progress bar on `err` when that is a terminal. 0 everything
// restored, 1 some steps skipped (or the undo could not go on), 2 bad usage
// or unknown ID.
int RunUndo(const CliOptions& options, FILE* out, FILE* err);

}  // namespace quorvan::cli
