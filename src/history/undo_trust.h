#pragma once

#include <cstdint>
#include <string>

#include "history/journal.h"

namespace quorvan::undo_detail {

// Why undo must not act on this journal, or "" when it may: the history
// folder and the journal must be the user's alone.
std::string Distrust(const std::string& journalPath);

// A path of `record` that lies outside the run's folder or destination, or
// "": undo acts on nothing else.
std::string Outside(const JournalRecord& record, const StartRecord& start);

// Why the files in `folder` cannot be acted on now, or "" when they can: the
// folder is missing, or is on another file system than the one with the id
// `fsid` that the run worked on (0: not known), as when a drive is not
// plugged in and its mount point is an empty folder.
std::string Unreachable(const std::string& folder, uint64_t fsid);

}  // namespace quorvan::undo_detail
