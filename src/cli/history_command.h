#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"
#include "history/run_history.h"

namespace quorvan::cli {

// quorvan-cli history: one line per past run, newest first:
// "ID<TAB>date<TAB>state<TAB>done<TAB>failed<TAB>folder". On a terminal the
// folder's control characters are shown escaped. Always 0.
int RunHistory(const CliOptions& options, FILE* out, FILE* err);

// quorvan-cli history keep ID: keeps the files of the interrupted run ID as
// they are (KeepRun). 0 kept, 1 some file could not be given a name or the
// run cannot be kept now (each said on `err`), 2 bad usage or unknown ID.
int RunHistoryKeep(const CliOptions& options, FILE* err);

// The run of `runs` with the ID `idOrPrefix` (or the one whose ID starts so),
// or null after saying on `err` that there is none or more than one.
const RunSummary* FindRunOrSay(const std::vector<RunSummary>& runs, const std::string& idOrPrefix,
                               FILE* err);

}  // namespace quorvan::cli
