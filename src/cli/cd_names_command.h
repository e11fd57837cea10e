#pragma once

#include <cstdio>

#include "cli/cli_options.h"

namespace quorvan::cli {

// quorvan-cli cd-names [--source cddb|musicbrainz] [--release N] [DRIVE]:
// what "Get names" does, against the configured CDDB server or MusicBrainz.
// Prints "discid ID", then one line per title: number, name and length
// separated by tabs (several MusicBrainz releases without --release: one
// "release" line each). 0 done, 1 the disc or the lookup failed, 2 bad usage
// or no drive.
int RunCdNames(const CliOptions& options, FILE* out, FILE* err);

}  // namespace quorvan::cli
