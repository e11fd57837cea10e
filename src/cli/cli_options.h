#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quorvan::cli {

// Exit statuses of quorvan-cli.
constexpr int kExitDone = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNothingToDo = 3;

struct CliOptions {
    std::string command;  // "preview", "run", "cd-names", "history" or "undo"
    std::string settingsFile;
    std::vector<std::pair<std::string, std::string>> sets;
    std::string saveSettingsFile;
    bool nulSeparated = false;
    bool status = false;     // preview: a first column with each entry's status
    bool dryRun = false;     // undo --dry-run
    bool noJournal = false;  // run --no-journal: not recorded in the history
    bool keep = false;       // history keep ID
    std::string runId;       // undo ID, history keep ID (or a unique start of one)
    std::string source;      // cd-names --source: "cddb" (the default) or "musicbrainz"
    int release = 0;         // cd-names --release N: the N-th of several releases (from 1)
    bool help = false;
    bool version = false;
    std::string folder;
    std::vector<std::string> files;
};

// Parses the arguments after the program name. On a usage error returns false
// with a one-line message in `error`.
bool ParseOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

std::string UsageText();

}  // namespace quorvan::cli
