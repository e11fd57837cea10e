#pragma once

#include <string>

namespace quorvan {

// Whether a run journal can be written in `folder` now: the folder is made if
// missing and a journal's first stretch of space is reserved and given back.
// 0, or the errno value that would stop the journal (EROFS, EACCES, ENOSPC,
// ENOTDIR for a state folder that is a file).
int ProbeHistoryFolder(const std::string& folder);

// Why no journal can be written: "FOLDER: REASON".
std::string UnrecordedReason(const std::string& folder, int error);
// "This run cannot be recorded for undo (REASON)."
std::string UnrecordedText(const std::string& reason);
// The question before such a run: the text, then "Rename anyway?".
std::string UnrecordedQuestion(const std::string& reason);

// Added to the end message of a run that was to set creation times.
constexpr const char* kNoCreationTimesText = "Creation times cannot be set on this system.";

// Added to the end message of a run that was not journaled.
constexpr const char* kNotInHistoryText =
    "This run is not in the history and cannot be undone from there.";

}  // namespace quorvan
