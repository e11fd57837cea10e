#pragma once

#include <string>
#include <string_view>

#include "common/cancel.h"
#include "rules/name_computation.h"
#include "rules/rename_plan.h"
#include "rules/rename_settings.h"

namespace quorvan {

// Computes every target of `plan` the way Preview and Start show them: the
// sequence from its start (`sequence` brings the letter case of the one
// before and leaves with the state after the last name), a relative
// destination taken from the working folder, and with the name template on
// (CD titles aside) each file's base name from the template before the other
// rules, its dates and tags read through the program's metadata cache. In
// `cdMode` no template applies: the CD page's titles are paired from `cd`
// (without it the other rules name every file).
// False when `cancel` stopped it (the plan is then only good for throwing
// away) or when the template cannot be read: `error` then says why, and the
// targets are left as they were.
bool ComputePlanNames(const RenameSettings& settings, CRenamePlan& plan,
                      std::string_view sourceRoot, SequenceState& sequence, bool cdMode = false,
                      const CdPairing* cd = nullptr, const CancelFlag* cancel = nullptr,
                      std::string* error = nullptr);

}  // namespace quorvan
