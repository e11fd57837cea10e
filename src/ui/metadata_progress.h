#pragma once

#include "rules/rename_rules.h"

class QWidget;

namespace quorvan {

// Reads what the rules' name template needs from inside the plan's files,
// away from the window's thread, before the plan is computed; a dialog shows
// the progress of a long reading and can cancel it. False when cancelled, or
// when the template cannot be read (the reason shown in a message box).
bool ReadTemplateMetadata(QWidget* parent, const CRenameRules& rules);

}  // namespace quorvan
