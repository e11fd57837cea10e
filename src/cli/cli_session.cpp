#include "cli/cli_session.h"

#include <sys/stat.h>

#include <cerrno>

#include "common/path.h"
#include "common/text.h"
#include "platform/file_system.h"
#include "rules/more_rules_keys.h"
#include "rules/rule_pages.h"
#include "rules/settings_keys.h"
#include "selection/filter_keys.h"

namespace quorvan::cli {

bool IsKnownKey(const std::string& key) {
    return IsSettingsKey(key) || IsFilterKey(key);
}

namespace {

bool IsTakenValue(const std::string& key, const std::string& value) {
    // A key may have a row per mode (StartWith is a number or letters).
    auto takes = [&](auto table) {
        bool found = false;
        for (const auto& row : table) {
            if (key == row.key) {
                if (TakesValue(row, value)) {
                    return true;
                }
                found = true;
            }
        }
        return !found;
    };
    return takes(SettingsFileKeys()) && takes(FilterFileKeys()) &&
           IsValidMoreRulesValue(key, value);
}

}  // namespace

void PrintError(FILE* err, const std::string& message) {
    // Names in the message reach a terminal: no byte of theirs may act on it.
    std::string line = "quorvan-cli: " + EscapeForTerminal(message) + "\n";
    fwrite(line.data(), 1, line.size(), err);
}

CCliSession::CCliSession() {
    // Start from what the pages show when the window opens.
    rules_.Settings() = OpeningSettings();
    filter_.Rules() = OpeningFilterRules();
    filter_.SetPage(&filterPage_);
    filter_.ReadFromPage();
}

int CCliSession::Prepare(const CliOptions& options, FILE* err) {
    for (const auto& [key, value] : options.sets) {
        if (!IsKnownKey(key)) {
            PrintError(err, "unknown settings key '" + key + "'");
            return kExitUsage;
        }
        if (!IsTakenValue(key, value)) {
            PrintError(err, "invalid value '" + value + "' for " + key);
            return kExitUsage;
        }
    }

    bool rulesGiven = false;
    bool filterGiven = false;
    if (!options.settingsFile.empty()) {
        CSettingsStore& store = rules_.Store();
        store.Clear();
        if (!store.ReadFromFile(options.settingsFile)) {
            PrintError(err, "cannot read settings file '" + options.settingsFile +
                                "': " + ErrorText(store.LastError()));
            return kExitUsage;
        }
        rulesGiven = true;
        std::string filterFile = CFilterSettings::FilterFilePath(options.settingsFile);
        if (EntryExists(filterFile)) {
            CSettingsStore& filterStore = filter_.Store();
            filterStore.Clear();
            if (!filterStore.ReadFromFile(filterFile)) {
                PrintError(err, "cannot read filter file '" + filterFile +
                                    "': " + ErrorText(filterStore.LastError()));
                return kExitUsage;
            }
            filterGiven = true;
        }
    }
    bool hasFiltersSet = false;
    bool filterKeySet = false;
    for (const auto& [key, value] : options.sets) {
        if (IsFilterKey(key)) {
            filter_.Store().SetValue(key, value);
            filterGiven = true;
            filterKeySet = true;
            hasFiltersSet = hasFiltersSet || key == "HasFilters";
        } else {
            rules_.Store().SetValue(key, value);
            rulesGiven = true;
        }
    }
    // Filter lines given on the command line are meant to take effect.
    if (filterKeySet && !hasFiltersSet) {
        filter_.Store().SetValue("HasFilters", "Yes");
    }

    if (rulesGiven) {
        // Prefix and suffix lines are read under a mode; without a mode line
        // they count for the mode the pages are in.
        std::string mode;
        if (!rules_.Store().GetValue("TextSeqModifications", mode)) {
            rules_.Store().SetValue("TextSeqModifications",
                                    rules_.Settings().TextMode ? "Text" : "Seq");
        }
        rules_.ReadSettingsKeys();
        std::string digits;
        RenameSettings& settings = rules_.Settings();
        if (!settings.TextMode && !settings.NumericSequence &&
            !rules_.Store().GetValue("DigitCount", digits)) {
            // DigitCount serves the numeric and the alphabetic boxes alike;
            // a line that chooses the alphabet finds its box as the window
            // opens with it.
            settings.DigitCount = ParseLong(RenamePageState{}.characters);
        }
        // A rule that cannot make names is never skipped in silence.
        const std::string error = MoreRulesError(settings.More);
        if (!error.empty()) {
            PrintError(err, error);
            return kExitUsage;
        }
    }
    if (filterGiven && filter_.ReadFilterKeys()) {
        filter_.ApplyToPage();
    }

    std::string folder = options.folder.empty() ? rules_.Settings().SourcePath : options.folder;
    if (folder.empty()) {
        PrintError(err, "no folder given, and the settings name none");
        return kExitUsage;
    }
    // A stored folder may be relative or hold "..": it means the real folder.
    folder_ = options.folder.empty() ? CanonicalPath(folder) : MakeAbsolutePath(folder);

    // The scan: the source rows, and the extension lists of the filter page.
    std::vector<SourceFile> files;
    int error = 0;
    bool scanned = ListSourceFolder(folder_, files, error);
    FillExtensionLists(filterPage_, files);
    if (filterGiven) {
        filter_.ApplyExtensionChecks();
    }

    if (!options.saveSettingsFile.empty()) {
        if (!rules_.SaveSettings(options.saveSettingsFile, folder_)) {
            PrintError(err, "cannot write settings file '" + options.saveSettingsFile +
                                "': " + ErrorText(rules_.Store().LastError()));
            return kExitUsage;
        }
        if (!filter_.SaveSettings(options.saveSettingsFile)) {
            std::string filterFile = CFilterSettings::FilterFilePath(options.saveSettingsFile);
            PrintError(err, "cannot write filter file '" + filterFile +
                                "': " + ErrorText(filter_.Store().LastError()));
            return kExitUsage;
        }
    }

    if (!scanned) {
        PrintError(err, "cannot read folder '" + folder_ + "': " + ErrorText(error));
        return kExitUsage;
    }

    rows_.clear();
    if (options.files.empty()) {
        rows_.reserve(files.size());
        for (SourceFile& file : files) {
            rows_.push_back({std::move(file.path), true});
        }
    } else {
        for (const std::string& file : options.files) {
            std::string path =
                MakeAbsolutePath(!file.empty() && file[0] == '/' ? file : JoinPath(folder_, file));
            // Only files are rows of the source list; a name the user gave that
            // is none is an error of its own, not a silent skip.
            struct stat st {};
            int fileError = lstat(path.c_str(), &st) != 0 ? errno
                            : S_ISDIR(st.st_mode)         ? EISDIR
                                                          : 0;
            if (fileError != 0) {
                PrintError(err, "'" + path + "': " + ErrorText(fileError));
                ++namedFilesFailed_;
                continue;
            }
            rows_.push_back({path, true});
        }
    }
    return kExitDone;
}

int32_t CCliSession::BuildFileList(FILE* err) {
    CFileListBuilder builder(rules_, filter_);
    builder.SetUnreadableFolderHandler([err](const std::string& folder, int error) {
        PrintError(err, "cannot read folder '" + folder + "': " + ErrorText(error));
    });
    FileListRequest request;
    request.sourceFolder = folder_;
    request.sourceRows = rows_;
    builder.BuildFileList(request);
    return builder.fileCount;
}

}  // namespace quorvan::cli
