#pragma once

#include <cstdio>

#include "cli/cli_options.h"

namespace quorvan::cli {

// quorvan-cli preview: prints "source<TAB>target<LF>" (or NUL-separated) for
// each plan entry in plan order.
int RunPreview(const CliOptions& options, FILE* out, FILE* err);

}  // namespace quorvan::cli
