#include "cli/preview_command.h"

#include "cli/cli_session.h"

namespace quorvan::cli {

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

    const char fieldEnd = options.nulSeparated ? '\0' : '\t';
    const char lineEnd = options.nulSeparated ? '\0' : '\n';
    std::string buffer;
    buffer.reserve(1 << 16);
    for (const auto& [source, target] : rules.PlanEntries()) {
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
    return failedStatus;
}

}  // namespace quorvan::cli
