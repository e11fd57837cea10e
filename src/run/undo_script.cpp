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

// Commands that put back the attributes of the file at `path`. Writing an
// extended attribute needs write permission, so the owner gets it first and
// the old mode comes last.
std::string RestoreCommands(const AttributeRestore& restore, const std::string& path) {
    std::string quoted = QuoteForShell(path);
    std::string chmodBack = "chmod " + Octal(restore.mode) + " -- " + quoted;
    if (!restore.restoreDosAttrib) {
        return chmodBack;
    }
    std::string setfattr = restore.hadDosAttrib
                               ? std::string("setfattr -n ") + kDosAttribName + " -v " +
                                     (restore.dosAttrib.empty() ? "''" : Hex(restore.dosAttrib)) +
                                     " -- " + quoted
                               : std::string("setfattr -x ") + kDosAttribName + " -- " + quoted;
    return "{ chmod u+w -- " + quoted + " && " + setfattr + "; " + chmodBack + "; }";
}

}  // namespace

std::string QuoteForShell(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
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
    switch (entry.action) {
        case UndoEntry::Action::MoveBack: {
            std::string original = QuoteForShell(entry.original);
            text += "if [ -e " + original + " ] || [ -L " + original +
                    " ]; then printf 'not restored, %s exists\\n' " + original +
                    " >&2; else mv -- " + QuoteForShell(entry.target) + " " + original;
            if (entry.attributes) {
                text += " && " + RestoreCommands(*entry.attributes, entry.original);
            }
            text += "; fi\n";
            break;
        }
        case UndoEntry::Action::Delete:
            // The copy goes away, and its attributes with it.
            text += "rm -f -- " + QuoteForShell(entry.target) + "\n";
            break;
        case UndoEntry::Action::None:
            if (entry.attributes) {
                text += RestoreCommands(*entry.attributes, entry.target) + "\n";
            }
            break;
    }
    return text;
}

CUndoScript::~CUndoScript() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool CUndoScript::Create(const std::string& sourceFolder, const LocalDateTime& now) {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    path_ = JoinPath(sourceFolder, kFileName);
    entryStarts_.clear();
    writeFailed_ = false;
    file_ = CreateRunFile(path_, 0755, "w+");
    if (file_ == nullptr) {
        return false;
    }
    header_ = "#!/bin/sh\n# " + std::string(kHeaderSeparator) + "\n# " + ProductLine() +
              "\n# Created: " + FormatLocal(now, kClassicDateTimeFormat) + "\n# " +
              kHeaderSeparator + "\n";
    if (std::fwrite(header_.data(), 1, header_.size(), file_) != header_.size() ||
        std::fflush(file_) != 0) {
        writeFailed_ = true;
    }
    size_ = header_.size();
    return true;
}

void CUndoScript::Add(const UndoEntry& entry) {
    if (file_ == nullptr) {
        return;
    }
    std::string text = UndoEntryText(entry);
    entryStarts_.push_back(size_);
    // Flushed at once: a script cut short by a crash still undoes what was done.
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
        writeFailed_ = true;
    }
    size_ += text.size();
}

bool CUndoScript::Finish() {
    if (file_ == nullptr) {
        return false;
    }
    std::FILE* file = file_;
    file_ = nullptr;
    bool ok = !writeFailed_ && std::fflush(file) == 0;
    if (ok && entryStarts_.size() > 1) {
        std::string temp;
        int out = CreateTemporaryBeside(path_, 0755, temp);
        ok = out >= 0;
        if (ok) {
            int in = fileno(file);
            ok = WriteAll(out, header_.data(), header_.size()) == 0;
            std::string chunk;
            uint64_t end = size_;
            for (size_t i = entryStarts_.size(); ok && i-- > 0;) {
                uint64_t start = entryStarts_[i];
                chunk.resize(end - start);
                ssize_t n = pread(in, chunk.data(), chunk.size(), static_cast<off_t>(start));
                ok = n == static_cast<ssize_t>(chunk.size()) &&
                     WriteAll(out, chunk.data(), chunk.size()) == 0;
                end = start;
            }
            ok = fsync(out) == 0 && ok;
            ok = close(out) == 0 && ok;
            if (ok) {
                ok = rename(temp.c_str(), path_.c_str()) == 0;
            }
            if (!ok) {
                unlink(temp.c_str());
            }
        }
    }
    return std::fclose(file) == 0 && ok;
}

}  // namespace quorvan
