// The work on one file of a run: its move or copy, then its attributes and
// times, each recorded before it happens.
#include "run/run_worker.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <exception>
#include <optional>
#include <set>
#include <system_error>

#include "common/path.h"
#include "common/product.h"
#include "history/run_history.h"
#include "platform/dos_attrib.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/folder_kind.h"
#include "platform/folder_tree.h"
#include "platform/make_folders.h"
#include "platform/temp_names.h"
#include "platform/trash.h"
#include "run/run_log.h"
#include "run/run_recorder.h"
#include "run/undo_script.h"
#include "run/usage_counters.h"

namespace quorvan {

namespace {

constexpr uint8_t kForcedBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

// Collects a file's failure lines and writes each to the log.
class FailureList final {
  public:
    FailureList(CRunLog* log, FileOutcome& outcome) : log_(log), outcome_(outcome) {}
    void Add(const std::string& line) {
        if (log_ != nullptr) {
            log_->Failure(line);
        }
        if (outcome_.failed) {
            outcome_.failure += "\n";
        }
        outcome_.failed = true;
        outcome_.failure += line;
    }

  private:
    CRunLog* log_;
    FileOutcome& outcome_;
};

int ErrnoOr(int fallback) {
    return errno != 0 ? errno : fallback;
}

// What the attributes of `path` are now, for the undo script to put back.
// False for a symbolic link (its attributes are never changed) or when the
// file cannot be read.
bool ReadAttributeRestore(const std::string& path, AttributeRestore& restore) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) {
        return false;
    }
    restore.mode = st.st_mode & 07777;
    char value[256];
    ssize_t n = lgetxattr(path.c_str(), kDosAttribName, value, sizeof value);
    restore.hadDosAttrib = n >= 0;
    restore.restoreDosAttrib = n >= 0 || errno == ENODATA;
    restore.dosAttrib = n >= 0 ? std::string(value, static_cast<size_t>(n)) : std::string();
    return true;
}

// The attribute step. The undo entry goes out before the change, so a run
// killed in the middle of it can still be undone.
void ApplyAttributes(const std::string& target, const std::string& where,
                     const FileWorkRules& rules, CRunLog* log, CUndoScript* undo,
                     CRunRecorder* journal, FailureList& failures) {
    FileStatus status;
    errno = 0;
    // The entry itself: a symbolic link is refused below, never followed.
    if (!GetFileStatus(where, status, kStatusAttributes, false)) {
        failures.Add(FailedAttributesLine(target, ErrnoOr(ENOENT)));
        return;
    }
    uint8_t wanted = static_cast<uint8_t>(status.attributes & ~kForcedBits);
    wanted |= rules.readOnly ? kAttrReadOnly : 0;
    wanted |= rules.hidden ? kAttrHidden : 0;
    wanted |= rules.system ? kAttrSystem : 0;
    wanted |= rules.archive ? kAttrArchive : 0;

    AttributeRestore before;
    if (undo != nullptr && ReadAttributeRestore(where, before)) {
        UndoEntry entry;
        entry.original = target;
        entry.target = target;
        entry.attributes = before;
        undo->Add(entry);
    }
    if (journal != nullptr) {
        journal->Attributes(target);
        if (journal->Error() != 0) {
            return;  // never a change without its record
        }
    }
    AttributeChange change;
    int error = 0;
    if (SetAttributes(where, wanted, change, error)) {
        if (log != nullptr) {
            log->NewAttributes(wanted, target);
        }
    } else {
        failures.Add(FailedAttributesLine(target, error));
    }
}

// The time step: the chosen times get the rule's date and time of day, the
// others are written back as read (whole seconds).
void ApplyTimes(const std::string& target, const std::string& where, const FileWorkRules& rules,
                CRunLog* log, CRunRecorder* journal, FailureList& failures) {
    FileStatus status;
    errno = 0;
    // The times of the entry itself: those of a link are set on the link.
    if (!GetFileStatus(where, status, kStatusTimes, false)) {
        failures.Add(FailedTimesLine(target, ErrnoOr(ENOENT)));
        return;
    }
    // Linux keeps no settable creation time: the log says so rather than
    // claim it, and the end message says it once instead of failing the file.
    if (rules.setCreation && log != nullptr) {
        log->Failure(FailedCreationTimeLine(target));
    }
    auto combine = [](const LocalDateTime& date, const LocalDateTime& time) {
        return LocalDateTime{date.year, date.month, date.day, time.hour, time.minute, time.second};
    };
    int64_t modification = status.modificationTime;
    int64_t lastAccess = status.lastAccessTime;
    std::optional<LocalDateTime> newModified;
    std::optional<LocalDateTime> newAccessed;
    bool unrepresentable = false;
    // Dates before 1900 have no local-time conversion; such a time is left alone.
    if (rules.setModified) {
        if (rules.modifiedDate.year >= 1900) {
            newModified = combine(rules.modifiedDate, rules.modifiedTime);
            modification = CombineDateAndTime(rules.modifiedDate, rules.modifiedTime);
        } else {
            unrepresentable = true;
        }
    }
    if (rules.setLastAccessed) {
        if (rules.lastAccessedDate.year >= 1900) {
            newAccessed = combine(rules.lastAccessedDate, rules.lastAccessedTime);
            lastAccess = CombineDateAndTime(rules.lastAccessedDate, rules.lastAccessedTime);
        } else {
            unrepresentable = true;
        }
    }
    if (unrepresentable) {
        failures.Add(FailedTimesLine(target, EINVAL));
    }
    if (journal != nullptr) {
        journal->Times(target, lastAccess, modification);
        if (journal->Error() != 0) {
            return;
        }
    }
    int error = 0;
    if (!SetFileTimes(where, lastAccess, modification, error)) {
        failures.Add(FailedTimesLine(target, error));
        return;
    }
    if (log != nullptr) {
        if (newModified) {
            log->SettingModifyTime(*newModified);
        }
        if (newAccessed) {
            log->SettingLastAccessedTime(*newAccessed);
        }
    }
}

// Makes the folder of `target` below `base` where it is missing, each new
// folder recorded in the undo script and the journal before it is made. 0 or
// an errno value; `blocker` names what is in the way.
int MakeTargetFolder(const std::string& base, const std::string& target, CUndoScript* undo,
                     const FileStep& step, std::string& blocker) {
    const std::string folder(FolderOf(target));
    if (folder == base || (step.readyFolders != nullptr && step.readyFolders->count(folder) != 0)) {
        return 0;
    }
    auto record = [&](const std::string& made) {
        if (undo != nullptr) {
            undo->MadeFolder(made);
        }
        if (step.journal == nullptr) {
            return 0;
        }
        step.journal->Folder(made);
        return step.journal->Error();  // never a folder the undo would not know of
    };
    int error = 0;
    // In place the folders are made below the source's folder as the run
    // opened it, never through a link put there since.
    const int baseFd = step.folders != nullptr ? step.folders->Folder(base, error) : -1;
    if (error != 0) {
        blocker = base;
        return error;
    }
    if (!MakeFoldersBelow(baseFd, base, folder, error, blocker, record)) {
        return error;
    }
    if (step.readyFolders != nullptr) {
        step.readyFolders->insert(folder);
    }
    return 0;
}

// The failure line of a folder that could not be made, naming what is in the way.
std::string FailedFolderLine(std::string line, const std::string& blocker) {
    return blocker.empty() ? line : line + ": " + blocker;
}

}  // namespace

FileWorkRules FileWorkRules::FromSettings(const RenameSettings& rules) {
    FileWorkRules work;
    work.renameInPlace = rules.RenameInPlace;
    work.modifyAttributes = rules.ModifyAttributes;
    work.readOnly = rules.ModifyReadOnly;
    work.hidden = rules.ModifyHidden;
    work.system = rules.ModifySystem;
    work.archive = rules.ModifyArchive;
    work.modifyTimes = rules.ModifyDatesTimes;
    work.setCreation = rules.ModifyCreationDateTime;
    work.creationDate = rules.CreationDate;
    work.creationTime = rules.CreationTime;
    work.setModified = rules.ModifyModDateTime;
    work.modifiedDate = rules.ModDate;
    work.modifiedTime = rules.ModTime;
    work.setLastAccessed = rules.ModifyLastAccessedDateTime;
    work.lastAccessedDate = rules.LastAccessedDate;
    work.lastAccessedTime = rules.LastAccessedTime;
    return work;
}

FileOutcome ProcessFile(const std::string& original, const std::string& target,
                        const FileWorkRules& rules,
                        const std::function<bool(const std::string&)>& isPlanSource, CRunLog* log,
                        CUndoScript* undo, const FileStep& step) {
    FileOutcome outcome;
    FailureList failures(log, outcome);
    CRunRecorder* journal = step.journal;
    const std::string& current = step.from.empty() ? original : step.from;
    const bool differ = current != target;

    int error = 0;
    if (rules.renameInPlace) {
        if (differ) {
            // A template's "/" puts the file into folders below its own.
            std::string blocker;
            error = MakeTargetFolder(std::string(FolderOf(original)), target, undo, step, blocker);
            if (error != 0) {
                failures.Add(FailedFolderLine(FailedRenameLine(current, target, error), blocker));
                return outcome;
            }
            if (undo != nullptr) {
                undo->Add({current, target, UndoEntry::Action::MoveBack, std::nullopt});
            }
            if (journal != nullptr) {
                journal->Rename(current, target, step.identity,
                                step.from.empty() ? TempSide::None : TempSide::From);
                // A move the journal does not know of could not be undone.
                error = journal->Error();
            }
            if (error != 0 || !MoveNoReplace(current, target, error, step.folders)) {
                if (undo != nullptr) {
                    undo->NotTaken();
                }
                failures.Add(FailedRenameLine(current, target, error));
                return outcome;
            }
        } else if (undo != nullptr) {
            undo->Add({original, target, UndoEntry::Action::None, std::nullopt});
        }
    } else {
        // Copying onto the file itself or onto a file the plan still reads
        // would destroy data.
        bool protectedTarget =
            !differ || SameFile(original, target) || (isPlanSource && isPlanSource(target));
        if (protectedTarget) {
            failures.Add(FailedCopyLine(original, target, EEXIST));
            return outcome;
        }
        const std::string folder(FolderOf(target));
        const std::string& base = step.madeBelow;
        if (!base.empty() && folder.compare(0, base.size(), base) == 0 &&
            (folder.size() == base.size() || folder[base.size()] == '/' || base.back() == '/')) {
            std::string blocker;
            error = MakeTargetFolder(
                base.back() == '/' && base.size() > 1 ? base.substr(0, base.size() - 1) : base,
                target, undo, step, blocker);
            if (error != 0) {
                failures.Add(FailedFolderLine(FailedCopyLine(original, target, error), blocker));
                return outcome;
            }
        } else if (!folder.empty()) {
            CreateFolderPath(folder);
        }
        CopyHooks hooks;
        hooks.tag = step.tag;
        hooks.cancelled = step.cancelled;
        // The source is read through the folder the run opened at its start.
        if (step.folders != nullptr) {
            hooks.readFrom = step.folders->Through(original, error);
            if (error != 0) {
                failures.Add(FailedCopyLine(original, target, error));
                return outcome;
            }
        }
        std::string notTrashed;
        if (journal != nullptr && journal->On()) {
            journal->TempFolder(folder);
            hooks.beforePublish = [&](const std::string& temp) {
                journal->Copy(original, target, temp);
                if (int failed = journal->Error()) {
                    return failed;
                }
                // The file the copy replaces goes to the trash, so that the
                // undo can bring it back; where there is none it stays, and
                // so does the copy.
                if (!EntryExists(target)) {
                    return 0;
                }
                journal->Trash(target);
                if (int failed = journal->Error()) {
                    return failed;
                }
                TrashEntry trashed;
                if (!MoveToTrash(target, trashed, notTrashed)) {
                    return EEXIST;
                }
                journal->Trashed(target, trashed);
                if (undo != nullptr) {
                    undo->Trashed(target, trashed);
                }
                return 0;
            };
        }
        if (!SafeCopy(original, target, error, hooks)) {
            std::string line = FailedCopyLine(original, target, error);
            if (!notTrashed.empty()) {
                line += " (it could not go to the trash: " + notTrashed + ")";
            }
            failures.Add(line);
            return outcome;
        }
        // Written once the copy is there: undoing a copy never made would
        // delete whatever file has the name.
        if (undo != nullptr) {
            undo->Add({original, target, UndoEntry::Action::Delete, std::nullopt});
        }
    }
    if (original != target && log != nullptr) {
        log->Renamed(original, target);
    }

    if (!rules.modifyAttributes && !rules.modifyTimes) {
        return outcome;
    }
    // The renamed file through the folders the run opened (a copy lies in
    // the destination, reached by its path).
    std::string where = target;
    if (rules.renameInPlace && step.folders != nullptr) {
        where = step.folders->Through(target, error);
        if (where.empty()) {
            if (rules.modifyAttributes) {
                failures.Add(FailedAttributesLine(target, error));
            }
            if (rules.modifyTimes) {
                failures.Add(FailedTimesLine(target, error));
            }
            return outcome;
        }
    }
    if (rules.modifyAttributes) {
        // A copy is deleted by the undo, attributes and all.
        ApplyAttributes(target, where, rules, log, rules.renameInPlace ? undo : nullptr, journal,
                        failures);
    }
    if (rules.modifyTimes) {
        ApplyTimes(target, where, rules, log, journal, failures);
    }
    return outcome;
}

bool MoveToTemporary(const std::string& path, const std::string& then, const std::string& tag,
                     CRunLog* log, CUndoScript* undo, CRunRecorder* journal,
                     const FileStamp& identity, std::string& temporary, int& error,
                     CFolderTree* folders) {
    // Of a file right below the root, "/": never the working folder.
    const std::string folder(FolderOf(path));
    error = EEXIST;
    for (int attempt = 0; attempt < 10 && error == EEXIST; ++attempt) {
        temporary = TemporaryNameIn(folder, tag);
        if (undo != nullptr) {
            undo->Add({path, temporary, UndoEntry::Action::MoveBack, std::nullopt});
        }
        if (journal != nullptr) {
            journal->Rename(path, temporary, identity, TempSide::To, then);
            if (int failed = journal->Error()) {
                error = failed;
                if (undo != nullptr) {
                    undo->NotTaken();
                }
                break;
            }
        }
        if (MoveNoReplace(path, temporary, error, folders)) {
            error = 0;
        } else if (undo != nullptr) {
            undo->NotTaken();
        }
    }
    if (error == 0 && log != nullptr) {
        log->Note(HeldLine(path, temporary));
    }
    return error == 0;
}
}  // namespace quorvan
