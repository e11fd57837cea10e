#pragma once

#include <cstdio>

#include "cli/cli_options.h"

namespace quorvan::cli {

// quorvan-cli cd-names [DRIVE]: what "Get names" does, against the configured
// CDDB server. Prints "discid XXXXXXXX", then one line per title: number,
// name and length separated by tabs. 0 done, 1 the disc or the lookup failed,
// 2 no drive.
int RunCdNames(const CliOptions& options, FILE* out, FILE* err);

}  // namespace quorvan::cli
