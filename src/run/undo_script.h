#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/local_time.h"

namespace quorvan {

// How to put a file's attributes back: its permission bits and, when the run
// stored a new user.DOSATTRIB value, the value before (or none).
struct AttributeRestore {
    uint32_t mode = 0;
    bool restoreDosAttrib = false;
    bool hadDosAttrib = false;
    std::string dosAttrib;
};

// What the run did to one file, as far as it can be undone.
struct UndoEntry {
    enum class Action {
        None,      // the name was kept (target equals original)
        MoveBack,  // renamed in place: rename the target back
        Delete,    // copied: remove the copy
    };
    std::string original;
    std::string target;
    Action action = Action::None;
    // Applies to the file at the path it has after the action is undone; a
    // deleted copy needs none.
    std::optional<AttributeRestore> attributes;
};

// The undo script, "QuorvanUndo.sh" in the source folder: a POSIX sh script
// that reverses a run. Every name is single-quoted, so no file name can run a
// command. Entries are appended as each file is done, so a crash still leaves
// a usable script; Finish rewrites it newest first, which undoes chains such
// as 1->0, 2->1 that plan order cannot.
class CUndoScript final {
  public:
    static constexpr const char* kFileName = "QuorvanUndo.sh";

    CUndoScript() = default;
    ~CUndoScript();
    CUndoScript(const CUndoScript&) = delete;
    CUndoScript& operator=(const CUndoScript&) = delete;

    // Creates (or empties) the script and writes its header stamped with `now`.
    bool Create(const std::string& sourceFolder, const LocalDateTime& now);
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    void Add(const UndoEntry& entry);
    // Rewrites the script with the entries in reverse order (through a
    // temporary file and a rename) and closes it. On a write failure the
    // script keeps its entries in run order.
    bool Finish();

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string header_;
    std::vector<uint64_t> entryStarts_;
    uint64_t size_ = 0;
    bool writeFailed_ = false;
};

// A text as one single-quoted shell word.
std::string QuoteForShell(const std::string& text);
// A name fit for a "#" comment line: line breaks are shown as \n and \r.
std::string CommentSafe(const std::string& text);
// The script text of one entry: an empty line, the "# File:" line and the
// commands.
std::string UndoEntryText(const UndoEntry& entry);

}  // namespace quorvan
