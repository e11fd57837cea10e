#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_identity.h"

namespace quorvan {

// Where a trashed file went: the file in a trash's "files" folder and its
// description in "info", laid out as every desktop's trash is.
struct TrashEntry {
    std::string file;
    std::string info;
};

// Moves the entry at `path` to the desktop's trash with GIO (the home trash,
// or the trash at the top of the file's mount) and finds where it went, by
// its identity. On failure returns false with GIO's message in `error`.
// When the trashed entry cannot be found afterwards the move still counts,
// and `entry` stays empty.
bool MoveToTrash(const std::string& path, TrashEntry& entry, std::string& error);

// Finds the trashed entry that was `originalPath`, the file `file`, in the
// trashes that could have taken it.
std::optional<TrashEntry> FindInTrash(const std::string& originalPath, const FileStamp& file);

// Puts a trashed entry back at `path` without replacing anything there, then
// removes its info file. 0 or an errno value (EEXIST: the name is taken).
int RestoreFromTrash(const TrashEntry& entry, const std::string& path);

// The home trash, $XDG_DATA_HOME/Trash as GLib resolves it (GLib reads the
// environment once per process).
std::string HomeTrashFolder();

}  // namespace quorvan
