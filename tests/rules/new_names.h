#pragma once

#include <string>
#include <vector>

#include "rules/name_computation.h"
#include "rules/rename_plan.h"

namespace quorvan::test {

// The new file names of `sources` under `rules`, in plan order; "<none>"
// where a source gets no target.
inline std::vector<std::string> Names(const RenameSettings& rules,
                                      const std::vector<std::string>& sources) {
    CRenamePlan plan;
    for (const auto& s : sources) {
        plan.Add(s);
    }
    SequenceState sequence = StartSequence(rules);
    ComputePlan(rules, plan, "/d", sequence);
    std::vector<std::string> out;
    for (const auto& [source, target] : plan.Entries()) {
        out.push_back(target.empty() ? "<none>" : target.substr(target.rfind('/') + 1));
    }
    return out;
}

}  // namespace quorvan::test
