#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/local_time.h"
#include "common/product.h"
#include "platform/trash.h"

namespace quorvan {

// How to put a file's attributes back: its permission bits and, when the file
// can hold a user.DOSATTRIB value, the value before (or none).
struct AttributeRestore {
    uint32_t mode = 0;
    bool restoreDosAttrib = false;
    bool hadDosAttrib = false;
    std::string dosAttrib;
};

// One step of the run as the undo script reverses it.
struct UndoEntry {
    enum class Action {
        None,      // the name was kept (target equals original)
        MoveBack,  // moved: move the target back to the original name
        Delete,    // copied: remove the copy
    };
    std::string original;
    std::string target;
    Action action = Action::None;
    // Puts back the attributes of the file at `target`.
    std::optional<AttributeRestore> attributes;
};

// The undo script, "QuorvanUndo.sh" in the source folder: a POSIX sh script
// that reverses a run. Each entry is written, in one write, before the step it
// undoes is taken (a copy's after: undoing a copy never made would delete
// someone else's file), so whenever the process dies the script holds every
// step done. The script's own first lines run the entries newest first, which
// undoes chains such as 1->0, 2->1; a step that never happened finds its file
// still under the old name and is passed over. Every name is single-quoted
// and every entry is one line, so no file name can run a command.
class CUndoScript final {
  public:
    static constexpr const char* kFileName = kUndoFileName;

    CUndoScript() = default;
    ~CUndoScript();
    CUndoScript(const CUndoScript&) = delete;
    CUndoScript& operator=(const CUndoScript&) = delete;

    // Creates (or empties) the script and writes its header stamped with `now`;
    // in `folderFd` when given, the source folder as the run opened it.
    bool Create(const std::string& sourceFolder, const LocalDateTime& now, int folderFd = -1);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    void Add(const UndoEntry& entry);
    // Before the run makes `folder`: the script removes it after the files
    // have gone back, when nothing else is left in it.
    void MadeFolder(const std::string& folder);
    // After copy mode put the file at `path` in the trash, where it is now
    // `where`: the script brings it back once the copy has gone.
    void Trashed(const std::string& path, const TrashEntry& where);
    // The step of the last entry failed: the script passes the entry over.
    void NotTaken();
    // Closes the script. False when any write or the close failed; Error()
    // then says why.
    bool Finish();
    int Error() const { return error_; }

  private:
    void Write(const std::string& text);

    int fd_ = -1;
    std::string path_;
    int error_ = 0;
};

// A text as one single-quoted shell word on one line: a line break in it is
// written as "$nl", which the script defines.
std::string QuoteForShell(const std::string& text);
// A name fit for a "#" comment line: line breaks are shown as \n and \r.
std::string CommentSafe(const std::string& text);
// The script text of one entry: an empty line, the "# File:" line and the
// command.
std::string UndoEntryText(const UndoEntry& entry);
// The script text that removes a folder the run made.
std::string MadeFolderText(const std::string& folder);
// The script text that brings back from the trash the file that a copy
// replaced at `path`: it lies at `trashFile`, described by `trashInfo`, whose
// line `dateLine` ("DeletionDate=...") tells it from a later file of the name.
std::string TrashedFileText(const std::string& path, const std::string& trashFile,
                            const std::string& trashInfo, const std::string& dateLine);
// The script's first lines, up to the line "exit" after which the entries
// follow.
std::string UndoScriptHeader(const LocalDateTime& now);

}  // namespace quorvan
