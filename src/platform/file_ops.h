#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/temp_names.h"

namespace quorvan {

// File work of a run. Each returns true on success; on failure `error` holds an
// errno value whose ErrorText (file_system.h) explains it.

// Renames `from` to `to` but never replaces an existing entry: renameat2 with
// RENAME_NOREPLACE, falling back to link + unlink, then to check-then-rename,
// where the file system lacks the flag. Another hard link of the same file at
// `to` counts as existing. A change of letter case alone on a case-insensitive
// file system goes through a temporary name.
bool MoveNoReplace(const std::string& from, const std::string& to, int& error);

class CFolderTree;

// MoveNoReplace by names in the open folders of `folders` where the paths lie
// below its root: a folder of either path that was swapped for a symbolic
// link fails with kErrorFolderReplaced and nothing moves. Paths elsewhere go
// by path.
bool MoveNoReplace(const std::string& from, const std::string& to, int& error,
                   CFolderTree* folders);

// The part of MoveNoReplace for file systems that refuse RENAME_NOREPLACE
// (link + unlink, else check-then-rename). 0 or an errno value. Callers use
// MoveNoReplace; this is separate so that tests can reach it on any file system.
int MoveWithoutRenameFlag(const std::string& from, const std::string& to);

// Creates a new file ".quorvan-tmp-<tag>-<random>" (".quorvan-tmp-<random>"
// without a tag) in the folder of `path` (O_EXCL, `mode` less the umask) and
// gives its name in `temp`. Returns the open descriptor, or -1 with errno set.
int CreateTemporaryBeside(const std::string& path, unsigned mode, std::string& temp,
                          const std::string& tag = {});

// Asked by SafeCopy between chunks; true stops the copy.
using CopyCancelled = std::function<bool()>;

// Copies `from` to `to` through a temporary file in the target folder (data,
// mode bits, user.* extended attributes, then the times; fsync; rename over
// the target). A failed copy leaves any previous target intact and no
// temporary file behind. A source that is not a regular file (a FIFO, a
// socket, a device) is refused with kErrorNotRegularFile without opening or
// waiting on it. An
// existing target that is read-only (owner without write permission, or
// read-only in user.DOSATTRIB) is refused with EACCES, a folder with EISDIR,
// the same file as the source with EINVAL. The target itself is never opened
// for writing. When `cancelled` says so between two chunks, the copy stops
// with ECANCELED.
bool SafeCopy(const std::string& from, const std::string& to, int& error,
              const CopyCancelled& cancelled = {});

// What a run adds to a copy: its tag in the temporary file's name, the
// cancel, and a last word just before the finished temporary file takes the
// target's name (a run journals the copy and moves the file it replaces to
// the trash there): 0 to go on, else an errno value that ends the copy with
// the target as it was.
struct CopyHooks {
    std::string tag;
    CopyCancelled cancelled;
    std::function<int(const std::string& temp)> beforePublish;
    // Where the source is opened, when not at `from`: the run reaches it
    // through the folder it opened at its start.
    std::string readFrom;
};
bool SafeCopy(const std::string& from, const std::string& to, int& error, const CopyHooks& hooks);

// The result of setting the four attributes.
struct AttributeChange {
    bool modeChanged = false;       // write permission was changed
    uint32_t previousMode = 0;      // permission bits before
    bool hadDosAttrib = false;      // a user.DOSATTRIB value existed before
    std::string previousDosAttrib;  // its bytes
    bool dosAttribWritten = false;  // a new value was stored
};

// Forces read-only, hidden, system and archive to the bits of `attributes`
// (other bits of a stored attribute word and its create time are kept). A
// symbolic link is refused with kErrorSymbolicLink: nothing acts through it.
// Read-only also clears every write permission bit; clearing it gives the
// owner write permission back. Where the file system keeps no user extended
// attributes only read-only takes effect, and the call fails with EOPNOTSUPP
// when hidden, system or archive could not be stored. On failure `change`
// still describes whatever was changed, so an undo line can put it back.
bool SetAttributes(const std::string& path, uint8_t attributes, AttributeChange& change,
                   int& error);

// Sets last-access and modification time (whole seconds since the epoch) of
// the entry itself: a symbolic link gets its own times changed, never those
// of the file it points at. nullopt leaves a time as it is.
bool SetFileTimes(const std::string& path, std::optional<int64_t> lastAccess,
                  std::optional<int64_t> modification, int& error);

// True when `a` and `b` name the same file (device and inode).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace quorvan
