#include "cli/preview_command.h"

#include "cli/cli_session.h"
#include "run/plan_check.h"

namespace quorvan::cli {

std::string StatusSummary(const PlanCheck& check) {
    std::string text = std::to_string(check.entries.size()) + " files:";
    const char* separator = " ";
    for (EntryStatus status : {EntryStatus::Ok, EntryStatus::Unchanged, EntryStatus::Collision,
                               EntryStatus::Exists, EntryStatus::Invalid}) {
        if (check.Count(status) > 0) {
            text += separator + std::to_string(check.Count(status)) + " " + StatusWord(status);
            separator = ", ";
        }
    }
    return text;
}

int RunPreview(const CliOptions& options, FILE* out, FILE* err) {
    CCliSession session;
    int status = session.Prepare(options, err);
    if (status != kExitDone) {
        return status;
    }
    // A named FILE that is not there is a failure, whatever else took part.
    const int failedStatus = session.NamedFilesFailed() > 0 ? kExitSomeFailed : kExitDone;
    if (session.BuildFileList(err) < 1) {
        PrintError(err, "There are no files to process.");
        return failedStatus != kExitDone ? failedStatus : kExitNothingToDo;
    }
    CRenameRules& rules = session.Rules();
    rules.ComputePlan(session.Folder(), false);
    const std::vector<CRenamePlan::Entry>& entries = rules.PlanEntries();
    PlanCheck check = CheckPlan(entries, rules.Settings().RenameInPlace, false,
                                NameFolders(rules.Settings(), session.Folder()));
    ApplyPlanNotes(rules.Plan(), check);

    const char fieldEnd = options.nulSeparated ? '\0' : '\t';
    const char lineEnd = options.nulSeparated ? '\0' : '\n';
    std::string buffer;
    buffer.reserve(1 << 16);
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& [source, target] = entries[i];
        if (options.status) {
            buffer += StatusWord(check.entries[i].status);
            buffer += fieldEnd;
        }
        buffer += source;
        buffer += fieldEnd;
        buffer += target;
        buffer += lineEnd;
        if (buffer.size() >= (1 << 16)) {
            fwrite(buffer.data(), 1, buffer.size(), out);
            buffer.clear();
        }
    }
    fwrite(buffer.data(), 1, buffer.size(), out);
    if (fflush(out) != 0) {
        PrintError(err, "cannot write the preview");
        return kExitSomeFailed;
    }
    // Why the rules left a file alone ("no date taken in this file"), or
    // what stands where its folder is to be made.
    for (size_t i = 0; i < entries.size(); ++i) {
        if (check.entries[i].note >= 0) {
            PrintError(err, entries[i].first + ": " +
                                check.notes[static_cast<size_t>(check.entries[i].note)]);
        }
    }
    if (check.Failing() > 0) {
        PrintError(err, StatusSummary(check));
        return kExitSomeFailed;
    }
    return failedStatus;
}

}  // namespace quorvan::cli
