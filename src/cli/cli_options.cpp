#include "cli/cli_options.h"

#include <algorithm>
#include <string_view>

#include "common/text.h"
#include "rules/settings_store.h"

namespace quorvan::cli {

namespace {

// 1 to 999 written plainly; 0 for anything else.
int ParseReleaseNumber(const std::string& text) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return std::stoi(text);
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error) {
    bool optionsEnded = false;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = "option " + arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "-0") {
            options.nulSeparated = true;
        } else if (arg == "--status") {
            options.status = true;
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--source") {
            if (!value(options.source)) {
                return false;
            }
            if (options.source != "cddb" && options.source != "musicbrainz") {
                error = "--source is cddb or musicbrainz, not '" + options.source + "'";
                return false;
            }
        } else if (arg == "--release") {
            std::string number;
            if (!value(number)) {
                return false;
            }
            options.release = ParseReleaseNumber(number);
            if (options.release <= 0) {
                error = "--release needs a number from 1, not '" + number + "'";
                return false;
            }
        } else if (arg == "--no-journal") {
            options.noJournal = true;
        } else if (arg == "--settings") {
            if (!value(options.settingsFile)) {
                return false;
            }
        } else if (arg == "--save-settings") {
            if (!value(options.saveSettingsFile)) {
                return false;
            }
        } else if (arg == "--set") {
            std::string pair;
            if (!value(pair)) {
                return false;
            }
            // Read as the line would be read in the file: split at the first
            // "=", blanks around key and value dropped. A line feed would end
            // that line, so it cannot be part of a value.
            size_t equals = pair.find('=');
            std::string_view key =
                TrimWhiteSpace(std::string_view(pair).substr(0, std::min(equals, pair.size())));
            if (equals == std::string::npos || key.empty()) {
                error = "--set needs KEY=VALUE, not '" + pair + "'";
                return false;
            }
            if (pair.find('\n') != std::string::npos) {
                error = "--set takes one line, not '" + pair + "'";
                return false;
            }
            std::string setValue(TrimWhiteSpace(pair.substr(equals + 1)));
            // KEY.Quoted="..." gives KEY a value with blanks at its ends.
            const std::string_view suffix = CSettingsStore::kQuotedSuffix;
            if (key.size() > suffix.size() && key.substr(key.size() - suffix.size()) == suffix) {
                key.remove_suffix(suffix.size());
                if (!CSettingsStore::UnquoteValue(std::string(setValue), setValue)) {
                    error = "--set " + std::string(key) + std::string(suffix) +
                            " needs a value in double quotes, not '" + pair + "'";
                    return false;
                }
            }
            options.sets.emplace_back(std::string(key), std::move(setValue));
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (options.help || options.version) {
        return true;
    }
    if (positional.empty()) {
        error = "no command given (preview or run)";
        return false;
    }
    options.command = positional[0];
    if (options.command == "cd-names" && positional.size() > 2) {
        error = "cd-names takes at most one drive";
        return false;
    }
    if (options.command != "preview" && options.command != "run" && options.command != "cd-names" &&
        options.command != "history" && options.command != "undo") {
        error =
            "unknown command '" + options.command + "' (preview, run, cd-names, history or undo)";
        return false;
    }
    if ((!options.source.empty() || options.release > 0) && options.command != "cd-names") {
        error = "--source and --release are options of cd-names";
        return false;
    }
    if (options.release > 0 && options.source != "musicbrainz") {
        error = "--release chooses among MusicBrainz releases (--source musicbrainz)";
        return false;
    }
    if (options.dryRun && options.command != "undo") {
        error = "--dry-run is an option of undo";
        return false;
    }
    if (options.noJournal && options.command != "run") {
        error = "--no-journal is an option of run";
        return false;
    }
    if (options.command == "history" && positional.size() > 1) {
        if (positional[1] != "keep") {
            error = "history takes no arguments";
            return false;
        }
        if (positional.size() != 3) {
            error = "history keep takes one run ID";
            return false;
        }
        options.keep = true;
        options.runId = positional[2];
        return true;
    }
    if (options.command == "undo") {
        if (positional.size() > 2) {
            error = "undo takes at most one run ID";
            return false;
        }
        if (positional.size() == 2) {
            options.runId = positional[1];
        }
        return true;
    }
    if (positional.size() > 1) {
        options.folder = positional[1];
    }
    options.files.assign(positional.begin() + std::min<size_t>(2, positional.size()),
                         positional.end());
    return true;
}

std::string UsageText() {
    return "Usage: quorvan-cli preview [OPTIONS] [FOLDER [FILE...]]\n"
           "       quorvan-cli run     [OPTIONS] [FOLDER [FILE...]]\n"
           "       quorvan-cli cd-names [DRIVE]\n"
           "       quorvan-cli cd-names --source cddb|musicbrainz [--release N] [DRIVE]\n"
           "       quorvan-cli history\n"
           "       quorvan-cli history keep ID\n"
           "       quorvan-cli undo [--dry-run] [ID]\n"
           "\n"
           "Renames files in bulk by the rules of a Quorvan settings file (.qvr).\n"
           "preview prints each source path, a tab and its new path; run renames\n"
           "(or copies) the files, as Start does in the program.\n"
           "\n"
           "FOLDER defaults to the SourcePath of the settings. Without FILEs every\n"
           "file of FOLDER takes part (the whole tree with IncludeSubFolders = Yes);\n"
           "FILEs are relative to FOLDER or absolute. The filter applies as in the\n"
           "program.\n"
           "\n"
           "cd-names reads the table of contents of DRIVE (a CD-ROM device; default:\n"
           "the first drive found, or the file named by QUORVAN_CDROM_TOC), looks the\n"
           "disc up on the CDDB server and prints \"discid XXXXXXXX\", then one line per\n"
           "title: number, name and length (mm:ss) separated by tabs. The server and\n"
           "the e-mail address come from the program's CDDB settings;\n"
           "QUORVAN_CDDB_SERVER=host:port overrides the server.\n"
           "With --source musicbrainz the disc is looked up in MusicBrainz instead\n"
           "(https://musicbrainz.org; QUORVAN_MUSICBRAINZ_URL names another base URL)\n"
           "and the first line is the MusicBrainz disc id. When several releases hold\n"
           "the disc, cd-names lists them (\"release\", number, artist, title, year,\n"
           "country, format) and --release N picks the N-th.\n"
           "\n"
           "history prints one line per past run, newest first: ID, date, state,\n"
           "files done, files failed and folder, separated by tabs. undo undoes run\n"
           "ID (or the one run whose ID starts so), by default the newest run that is\n"
           "not undone: names back, copies to the trash, replaced files back from the\n"
           "trash, attributes and times back; a name taken since is never replaced.\n"
           "history keep keeps the files of the interrupted run ID as it left them,\n"
           "giving each file left at a temporary name a real one, as answering No to\n"
           "the program's question does; not while the run's folder cannot be reached.\n"
           "\n"
           "Options:\n"
           "  --settings F        read the settings file F and, when it exists, its\n"
           "                      filter file F + \"fltr\"\n"
           "  --set KEY=VALUE     a settings-file or filter-file line, taking precedence\n"
           "                      over the file (repeatable); a filter key implies\n"
           "                      HasFilters = Yes unless that is set too;\n"
           "                      KEY.Quoted=\"VALUE\" keeps blanks at the ends of VALUE\n"
           "                      (\\\" \\\\ \\t stand for a quote, a backslash, a tab)\n"
           "  --save-settings F   write the effective settings to F and F + \"fltr\"\n"
           "  -0                  separate preview output with NUL bytes instead of a\n"
           "                      tab and a line feed\n"
           "  --status            preview: print each entry's status first: ok, unchanged,\n"
           "                      collision (an earlier entry gets the name), exists (a\n"
           "                      file that stays has it) or invalid (no file can have it)\n"
           "  --dry-run           undo: print what would be done and change nothing\n"
           "  --no-journal        run: rename without recording the run in the history\n"
           "                      (needed where the state folder cannot be written;\n"
           "                      the log and the undo script are written as set)\n"
           "  --help, --version\n"
           "\n"
           "Example:\n"
           "  quorvan-cli preview --set AddPrefix=Yes --set Prefix=2024_ ~/Photos\n"
           "\n"
           "Ctrl-C (or TERM) ends a run within about a second, a copy in progress\n"
           "included; a second Ctrl-C ends it at once.\n"
           "\n"
           "Exit status: 0 all done, 1 some files failed (preview: some would fail),\n"
           "2 bad usage or unreadable settings, 3 no files to process. cd-names: 0\n"
           "done, 1 the disc could not be read or the lookup failed, 2 bad usage or no\n"
           "drive. undo: 0 all restored, 1 some steps skipped (each named on standard\n"
           "error), 2 bad usage or unknown ID.\n";
}

}  // namespace quorvan::cli
