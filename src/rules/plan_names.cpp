#include "rules/plan_names.h"

#include <cstdint>
#include <vector>

#include "common/path.h"
#include "rules/name_template.h"
#include "rules/template_names.h"

namespace quorvan {

bool ComputePlanNames(const RenameSettings& settings, CRenamePlan& plan,
                      std::string_view sourceRoot, SequenceState& sequence, bool cdMode,
                      const CdPairing* cd, const CancelFlag* cancel, std::string* error) {
    // Preview and Start number from the same start; an empty alpha start
    // keeps the letter case of the sequence before.
    sequence = StartSequence(settings, sequence.alphaLowerCase);
    // A relative destination is taken from the working folder, here, once:
    // the targets, the log and the undo script then never depend on it.
    const RenameSettings* used = &settings;
    RenameSettings absolute;
    if (!settings.RenameInPlace && !settings.RenameDestFolder.empty() &&
        settings.RenameDestFolder.front() != '/') {
        absolute = settings;
        absolute.RenameDestFolder = AbsoluteFromWorkingFolder(settings.RenameDestFolder);
        used = &absolute;
    }
    if (!used->More.UseTemplate || cdMode) {
        ComputePlan(*used, plan, sourceRoot, sequence, cdMode ? cd : nullptr, nullptr, cancel);
        return !Cancelled(cancel);
    }
    NameTemplate parsed;
    std::string problem;
    size_t offset = 0;
    if (!ParseNameTemplate(used->More.Template, parsed, problem, offset)) {
        if (error != nullptr) {
            *error = NameTemplateError(*used);
        }
        return false;
    }
    std::vector<int64_t> counters;
    if (parsed.usesCounter) {
        counters = TemplateCounters(plan.Entries(), *used);
    }
    // Dates and tags are read here too, and stop with the rest.
    TemplateNames names;
    if (!ComputeTemplateNames(parsed, plan.Entries(), counters, ProgramMetadataCache(), names,
                              cancel)) {
        return false;
    }
    ComputePlan(*used, plan, sourceRoot, sequence, nullptr, &names, cancel);
    return !Cancelled(cancel);
}

}  // namespace quorvan
