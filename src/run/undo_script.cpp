#include "run/undo_script.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/path.h"
#include "platform/dos_attrib.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "run/run_log.h"

namespace quorvan {

namespace {

std::string Octal(uint32_t mode) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04o", mode & 07777u);
    return buffer;
}

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text = "0x";
    for (unsigned char c : bytes) {
        text += kDigits[c >> 4];
        text += kDigits[c & 0x0f];
    }
    return text;
}

// The command that puts back the attributes of the file at `path` ("r" of
// the header).
std::string RestoreCommand(const AttributeRestore& restore, const std::string& path) {
    std::string command = "r " + Octal(restore.mode) + " " + QuoteForShell(path);
    if (restore.restoreDosAttrib) {
        command += " ";
        command += !restore.hadDosAttrib       ? "-"
                   : restore.dosAttrib.empty() ? "''"
                                               : Hex(restore.dosAttrib);
    }
    return command;
}

// Helpers of the entries, and the lines that run the entries newest first. A
// run cut short mid-write leaves a last line without its line feed: that
// entry's step was never taken, and the line is passed over.
// clang-format off
constexpr const char* kScriptBody = R"sh(# Puts back what the rename run did. The entries after the line "exit" are
# written as the run goes, oldest first; the lines above it run them newest
# first. Every path is absolute: the script works from any folder.
nl='
'
# "skip=1" follows a step that was not taken; its entry is passed over.
# m NEW OLD: moves NEW back to OLD, never over an existing OLD.
m() {
    if [ -n "$skip" ]; then skip=; return; fi
    if [ -e "$2" ] || [ -L "$2" ]; then
        if [ -e "$1" ] || [ -L "$1" ]; then
            printf 'not restored, %s exists\n' "$2" >&2
        fi
    else
        mv -- "$1" "$2"
    fi
}
# d COPY: removes a copy the run made.
d() {
    if [ -n "$skip" ]; then skip=; return; fi
    rm -f -- "$1"
}
# t FILE TRASHED INFO DATE: brings back FILE, which a copy replaced, from the
# trash, where it lies as TRASHED described by INFO, when its name is free and
# INFO still holds the line DATE; else says where it is.
t() {
    if [ -n "$skip" ]; then skip=; return; fi
    if [ -e "$1" ] || [ -L "$1" ]; then
        printf 'not restored, %s exists; the file it replaced is in the trash: %s\n' \
            "$1" "${2:-$1}" >&2
    elif [ -z "$2" ]; then
        printf 'not restored, it is in the trash: %s\n' "$1" >&2
    elif [ ! -e "$2" ] && [ ! -L "$2" ]; then
        printf 'not restored, it is no longer in the trash: %s\n' "$1" >&2
    elif [ -n "$4" ] && grep -qxF -- "$4" "$3" 2>/dev/null; then
        mv -- "$2" "$1" && rm -f -- "$3"
    else
        printf 'not restored, it is in the trash: %s\n' "$2" >&2
    fi
}
# f FOLDER: removes a folder the run made, once it is empty again.
f() {
    if [ -n "$skip" ]; then skip=; return; fi
    if [ -d "$1" ] && [ ! -L "$1" ]; then
        rmdir -- "$1" 2>/dev/null || printf 'folder left, it is not empty: %s\n' "$1" >&2
    fi
}
# r MODE FILE [DOSATTRIB]: puts back the permission bits and the DOS
# attributes (hex; - for none).
r() {
    if [ -n "$skip" ]; then skip=; return; fi
    if [ $# -gt 2 ]; then
        if ! command -v setfattr >/dev/null 2>&1; then
            printf 'attributes not restored, setfattr is missing: %s\n' "$2" >&2
        elif [ "$3" = - ]; then
            chmod u+w -- "$2" && setfattr -x user.DOSATTRIB -- "$2" 2>/dev/null
        else
            chmod u+w -- "$2" && setfattr -n user.DOSATTRIB -v "$3" -- "$2"
        fi
    fi
    chmod "$1" -- "$2"
}
eval "$(sed '1,/^exit$/d' -- "$0" |
    awk -v whole="$(tail -c 1 -- "$0" | wc -l)" '
        { line[NR] = $0 }
        END { for (i = NR - (whole == 0); i > 0; i--) print line[i] }')"
exit
)sh";

// clang-format on

// The "DeletionDate=" line of a trash info file, "" when it has none.
std::string DeletionDateLine(const std::string& infoPath) {
    int fd = open(infoPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return "";
    }
    char buffer[4096];
    ssize_t n = read(fd, buffer, sizeof buffer);
    close(fd);
    const std::string text(buffer, n > 0 ? static_cast<size_t>(n) : 0);
    const std::string key = "\nDeletionDate=";
    const size_t start = text.find(key);
    if (start == std::string::npos) {
        return "";
    }
    const size_t end = text.find('\n', start + 1);
    return end == std::string::npos ? "" : text.substr(start + 1, end - start - 1);
}

}  // namespace

std::string QuoteForShell(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else if (c == '\n') {
            quoted += "'\"$nl\"'";
        } else {
            quoted += c;
        }
    }
    quoted += '\'';
    return quoted;
}

std::string CommentSafe(const std::string& text) {
    std::string safe;
    safe.reserve(text.size());
    for (char c : text) {
        if (c == '\n') {
            safe += "\\n";
        } else if (c == '\r') {
            safe += "\\r";
        } else {
            safe += c;
        }
    }
    return safe;
}

std::string UndoEntryText(const UndoEntry& entry) {
    const bool renamed = entry.original != entry.target;
    std::string text = "\n# File: " + CommentSafe(entry.target);
    if (renamed) {
        text += " to " + CommentSafe(entry.original);
    }
    text += "\n";
    std::string command;
    if (entry.attributes) {
        command = RestoreCommand(*entry.attributes, entry.target);
    }
    auto then = [&command](const std::string& next) {
        command += command.empty() ? next : "; " + next;
    };
    switch (entry.action) {
        case UndoEntry::Action::MoveBack:
            then("m " + QuoteForShell(entry.target) + " " + QuoteForShell(entry.original));
            break;
        case UndoEntry::Action::Delete:
            then("d " + QuoteForShell(entry.target));
            break;
        case UndoEntry::Action::None:
            break;
    }
    if (!command.empty()) {
        text += command + "\n";
    }
    return text;
}

std::string MadeFolderText(const std::string& folder) {
    return "\n# Folder: " + CommentSafe(folder) + "\nf " + QuoteForShell(folder) + "\n";
}

std::string TrashedFileText(const std::string& path, const std::string& trashFile,
                            const std::string& trashInfo, const std::string& dateLine) {
    return "\n# Trashed: " + CommentSafe(path) + "\nt " + QuoteForShell(path) + " " +
           QuoteForShell(trashFile) + " " + QuoteForShell(trashInfo) + " " +
           QuoteForShell(dateLine) + "\n";
}

std::string UndoScriptHeader(const LocalDateTime& now) {
    return "#!/bin/sh\n# " + std::string(kHeaderSeparator) + "\n# " + ProductLine() +
           "\n# Created: " + FormatLocal(now, kClassicDateTimeFormat) + "\n# " + kHeaderSeparator +
           "\n" + kScriptBody;
}

CUndoScript::~CUndoScript() {
    Finish();
}

bool CUndoScript::Create(const std::string& sourceFolder, const LocalDateTime& now, int folderFd) {
    Finish();
    path_ = JoinPath(sourceFolder, kFileName);
    error_ = 0;
    fd_ = CreateRunFile(path_, 0755, folderFd);
    if (fd_ < 0) {
        return false;
    }
    Write(UndoScriptHeader(now));
    return true;
}

void CUndoScript::Add(const UndoEntry& entry) {
    Write(UndoEntryText(entry));
}

void CUndoScript::MadeFolder(const std::string& folder) {
    Write(MadeFolderText(folder));
}

void CUndoScript::Trashed(const std::string& path, const TrashEntry& where) {
    std::string dateLine;
    if (!where.info.empty()) {
        dateLine = DeletionDateLine(where.info);
    }
    Write(TrashedFileText(path, where.file, where.info, dateLine));
}

void CUndoScript::NotTaken() {
    Write("skip=1\n");
}

void CUndoScript::Write(const std::string& text) {
    // One write per entry, at once: a process killed at any moment leaves the
    // entries of every step it took, and at most the last one cut short.
    if (fd_ >= 0 && error_ == 0) {
        error_ = WriteAll(fd_, text.data(), text.size());
    }
}

bool CUndoScript::Finish() {
    if (fd_ < 0) {
        return false;
    }
    if (close(fd_) != 0 && error_ == 0) {
        error_ = errno;
    }
    fd_ = -1;
    return error_ == 0;
}

}  // namespace quorvan
