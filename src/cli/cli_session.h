#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "rules/rename_rules.h"
#include "selection/filter_settings.h"
#include "selection/source_scan.h"

namespace quorvan::cli {

// The program without a window: the rules as the window opens, the filter
// over an in-memory page, loaded from the options.
class CCliSession final {
  public:
    CCliSession();

    // Loads the settings and filter files and the --set lines, scans the
    // folder and writes --save-settings. Returns an exit status: kExitDone to
    // go on, or kExitUsage after printing why on `err`.
    int Prepare(const CliOptions& options, FILE* err);

    // Fills the plan as Preview and Start do; returns the number of files in it.
    int32_t BuildFileList(FILE* err);

    CRenameRules& Rules() { return rules_; }
    CFilterSettings& Filter() { return filter_; }
    const std::string& Folder() const { return folder_; }
    CFilterPageValue& FilterPage() { return filterPage_; }
    // FILEs named on the command line that could not be found (each said so).
    int NamedFilesFailed() const { return namedFilesFailed_; }

  private:
    CFilterPageValue filterPage_;
    CRenameRules rules_;
    CFilterSettings filter_;
    std::string folder_;
    std::vector<SourceRow> rows_;
    int namedFilesFailed_ = 0;
};

// Whether a key is one the settings or filter file knows.
bool IsKnownKey(const std::string& key);

// Prints "quorvan-cli: " and the message on one line, control characters
// escaped.
void PrintError(FILE* err, const std::string& message);

}  // namespace quorvan::cli
