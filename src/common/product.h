#pragma once

namespace quorvan {

// The product's fixed values. kVersionText is the one version string: the
// window, the command line, the log and undo headers and the CDDB hello use it.
inline constexpr const char* kVersionText = "1.00";
inline constexpr const char* kProductName = "Quorvan";
// Stored as "AppGuidStr" when the counter store is created.
inline constexpr const char* kAppGuid = "{4A66AE8A-38C8-4CB7-9D2B-EAD5AD6FCF6C}";

// The files a run writes into its source folder.
inline constexpr const char* kLogFileName = "Quorvan.log";
inline constexpr const char* kUndoFileName = "QuorvanUndo.sh";

// Names of the stored usage values.
inline constexpr const char* kValueAppGuid = "AppGuidStr";
inline constexpr const char* kValueStartCount = "StartCount";
inline constexpr const char* kValueTimesUsed = "TimesUsed";
inline constexpr const char* kValueFilesProcessed = "FilesProcessed";

}  // namespace quorvan
