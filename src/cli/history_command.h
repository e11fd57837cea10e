#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/cli_options.h"

namespace quorvan::cli {

// quorvan-cli history: one line per past run, newest first:
// "ID<TAB>date<TAB>state<TAB>done<TAB>failed<TAB>folder". On a terminal the
// folder's control characters are shown escaped. Always 0.
int RunHistory(const CliOptions& options, FILE* out, FILE* err);

// A text fit for a terminal: control characters (C0, DEL and C1) as \n, \t,
// \r or \xHH, so that no file name can move the cursor or change colours.
std::string TerminalSafe(std::string_view text);

}  // namespace quorvan::cli
