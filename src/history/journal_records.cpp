#include <type_traits>
#include <variant>

#include "history/journal_codec.h"

namespace quorvan {

namespace journal_detail {

void EncodeRename(std::string& out, std::string_view from, std::string_view to,
                  const FileStamp& file, TempSide temp, std::string_view then) {
    LineBuilder line(out, "rename");
    line.Str("from", from).Str("to", to).Stamp(file);
    if (temp == TempSide::To) {
        line.Str("temp", "to");
        if (!then.empty()) {
            line.Str("then", then);
        }
    } else if (temp == TempSide::From) {
        line.Str("temp", "from");
    }
    line.End();
}

}  // namespace journal_detail

namespace {

using journal_detail::EncodeRename;
using journal_detail::Fields;
using journal_detail::JsonValue;
using journal_detail::LineBuilder;

const char* ModeName(RunMode mode) {
    return mode == RunMode::Copy ? "copy" : "rename";
}
const char* EndName(RunEnd status) {
    switch (status) {
        case RunEnd::Cancelled:
            return "cancelled";
        case RunEnd::Aborted:
            return "aborted";
        default:
            return "complete";
    }
}
const char* OutcomeName(UndoOutcome outcome) {
    switch (outcome) {
        case UndoOutcome::Skipped:
            return "skipped";
        case UndoOutcome::Unchanged:
            return "unchanged";
        default:
            return "restored";
    }
}

std::string OctalMode(uint32_t mode) {
    char digits[16];
    snprintf(digits, sizeof digits, "%04o", mode & 07777);
    return digits;
}

bool ParseOctalMode(const std::string& text, uint32_t& mode) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    mode = 0;
    for (char c : text) {
        if (c < '0' || c > '7') {
            return false;
        }
        mode = mode * 8 + static_cast<uint32_t>(c - '0');
    }
    return mode <= 07777;
}

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

std::optional<JournalRecord> DecodeFields(const Fields& f, const std::string& kind) {
    if (kind == "rename") {
        RenameRecord r;
        std::string temp;
        if (!f.Str("from", r.from) || !f.Str("to", r.to) || !f.Stamp(r.file) ||
            !f.OptStr("temp", temp) || !f.OptStr("then", r.then)) {
            return std::nullopt;
        }
        if (temp == "to") {
            r.temp = TempSide::To;
        } else if (temp == "from") {
            r.temp = TempSide::From;
        } else if (!temp.empty()) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "file") {
        FileRecord r;
        if (!f.Bool("ok", r.ok) || !f.OptStr("from", r.from) || !f.OptStr("to", r.to) ||
            !f.OptStr("error", r.error)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "copy") {
        CopyRecord r;
        if (!f.Str("from", r.from) || !f.Str("to", r.to) || !f.Str("tmp", r.temp) ||
            !f.Stamp(r.copy)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "trash") {
        TrashRecord r;
        if (!f.Str("path", r.path) || !f.Stamp(r.file)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "trashed") {
        TrashedRecord r;
        if (!f.Str("path", r.path) || !f.Str("file", r.trashFile) || !f.Str("info", r.trashInfo)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "attrs") {
        AttrsRecord r;
        std::string mode;
        const JsonValue* dos = f.Find("dosattrib");
        if (!f.Str("path", r.path) || !f.Identity(r.file) || !f.Str("mode", mode) ||
            !ParseOctalMode(mode, r.mode) || dos == nullptr) {
            return std::nullopt;
        }
        if (dos->kind == JsonValue::Kind::String) {
            r.dosAttrib = dos->text;
        } else if (dos->kind != JsonValue::Kind::Null) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "times") {
        TimesRecord r;
        if (!f.Str("path", r.path) || !f.Identity(r.file) || !f.Time("atime", r.oldAtime) ||
            !f.Time("mtime", r.oldMtime) || !f.Time("new_atime", r.newAtime) ||
            !f.Time("new_mtime", r.newMtime)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "tmpdir") {
        TempFolderRecord r;
        if (!f.Str("path", r.path)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "mkdir") {
        FolderRecord r;
        if (!f.Str("path", r.path)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "start") {
        StartRecord r;
        int64_t version = 0;
        std::string mode;
        if (!f.I64("v", version) || !f.Str("id", r.id) || !f.Str("time", r.time) ||
            !f.I64("epoch", r.epoch) || !f.I64("nsec", r.nsec) || !f.Str("folder", r.folder) ||
            !f.Str("mode", mode) || !f.OptStr("dest", r.destination) || !f.I64("files", r.files) ||
            !f.I64("pid", r.pid) || (mode != "rename" && mode != "copy")) {
            return std::nullopt;
        }
        r.version = static_cast<int>(version);
        r.mode = mode == "copy" ? RunMode::Copy : RunMode::Rename;
        return r;
    }
    if (kind == "end") {
        EndRecord r;
        std::string status;
        if (!f.Str("status", status) || !f.I64("done", r.done) || !f.I64("failed", r.failed) ||
            !f.Str("time", r.time) || !f.I64("epoch", r.epoch) || !f.OptStr("reason", r.reason)) {
            return std::nullopt;
        }
        if (status == "complete") {
            r.status = RunEnd::Complete;
        } else if (status == "cancelled") {
            r.status = RunEnd::Cancelled;
        } else if (status == "aborted") {
            r.status = RunEnd::Aborted;
        } else {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "undo") {
        UndoStartRecord r;
        if (!f.Str("time", r.time) || !f.I64("epoch", r.epoch) || !f.I64("pid", r.pid)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "undo-step") {
        UndoStepRecord r;
        std::string result;
        std::string action;
        if (!f.I64("rec", r.record) || !f.OptStr("act", action) || !f.Str("result", result) ||
            !f.OptStr("reason", r.reason) || !f.OptStr("trash", r.trash) ||
            !f.OptStr("to", r.target)) {
            return std::nullopt;
        }
        if (action == "resolve") {
            r.action = UndoAction::Resolve;
        } else if (action == "remove") {
            r.action = UndoAction::RemoveTemp;
        } else if (!action.empty()) {
            return std::nullopt;
        }
        if (result == "restored") {
            r.outcome = UndoOutcome::Restored;
        } else if (result == "skipped") {
            r.outcome = UndoOutcome::Skipped;
        } else if (result == "unchanged") {
            r.outcome = UndoOutcome::Unchanged;
        } else {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "undo-end") {
        UndoEndRecord r;
        if (!f.I64("restored", r.restored) || !f.I64("skipped", r.skipped) ||
            !f.Bool("cancelled", r.cancelled) || !f.I64("done", r.done) ||
            !f.I64("failed", r.failed) || !f.Str("time", r.time) || !f.I64("epoch", r.epoch)) {
            return std::nullopt;
        }
        return r;
    }
    if (kind == "kept") {
        KeptRecord r;
        if (!f.I64("resolved", r.resolved) || !f.I64("done", r.done) ||
            !f.I64("failed", r.failed) || !f.Str("time", r.time) || !f.I64("epoch", r.epoch)) {
            return std::nullopt;
        }
        return r;
    }
    return std::nullopt;
}

}  // namespace

// ---- Public: format -----------------------------------------------------------

std::string RunTempPrefix(const std::string& runId) {
    return ".quorvan-tmp-" + runId + "-";
}

const char* RecordKindName(const JournalRecord& record) {
    static const char* const kNames[] = {"start", "rename",    "copy",     "trash", "trashed",
                                         "attrs", "times",     "tmpdir",   "file",  "end",
                                         "undo",  "undo-step", "undo-end", "kept",  "mkdir"};
    static_assert(std::size(kNames) == std::variant_size_v<JournalRecord>);
    return kNames[record.index()];
}

void EncodeRecordInto(std::string& out, const JournalRecord& record) {
    if (const auto* r = std::get_if<RenameRecord>(&record)) {
        EncodeRename(out, r->from, r->to, r->file, r->temp, r->then);
        return;
    }
    LineBuilder line(out, RecordKindName(record));
    std::visit(
        Overloaded{
            [&](const StartRecord& r) {
                line.Num("v", r.version).Str("id", r.id).Str("time", r.time);
                line.Num("epoch", r.epoch).Num("nsec", r.nsec).Str("folder", r.folder);
                line.Str("mode", ModeName(r.mode));
                if (r.mode == RunMode::Copy) {
                    line.Str("dest", r.destination);
                }
                line.Num("files", r.files).Num("pid", r.pid);
            },
            [&](const RenameRecord&) {},
            [&](const CopyRecord& r) {
                line.Str("from", r.from).Str("to", r.to).Str("tmp", r.temp).Stamp(r.copy);
            },
            [&](const TrashRecord& r) { line.Str("path", r.path).Stamp(r.file); },
            [&](const TrashedRecord& r) {
                line.Str("path", r.path).Str("file", r.trashFile).Str("info", r.trashInfo);
            },
            [&](const AttrsRecord& r) {
                line.Str("path", r.path).Identity(r.file);
                line.Str("mode", OctalMode(r.mode));
                if (r.dosAttrib) {
                    line.Str("dosattrib", *r.dosAttrib);
                } else {
                    line.Null("dosattrib");
                }
            },
            [&](const TimesRecord& r) {
                line.Str("path", r.path).Identity(r.file);
                line.Time("atime", r.oldAtime).Time("mtime", r.oldMtime);
                line.Time("new_atime", r.newAtime).Time("new_mtime", r.newMtime);
            },
            [&](const TempFolderRecord& r) { line.Str("path", r.path); },
            [&](const FolderRecord& r) { line.Str("path", r.path); },
            [&](const FileRecord& r) {
                // A file done is named by its operation's record already.
                line.Bool("ok", r.ok);
                if (!r.ok) {
                    line.Str("from", r.from).Str("to", r.to).Str("error", r.error);
                }
            },
            [&](const EndRecord& r) {
                line.Str("status", EndName(r.status)).Num("done", r.done).Num("failed", r.failed);
                line.Str("time", r.time).Num("epoch", r.epoch);
                if (!r.reason.empty()) {
                    line.Str("reason", r.reason);
                }
            },
            [&](const UndoStartRecord& r) {
                line.Str("time", r.time).Num("epoch", r.epoch).Num("pid", r.pid);
            },
            [&](const UndoStepRecord& r) {
                line.Num("rec", r.record);
                if (r.action != UndoAction::Reverse) {
                    line.Str("act", r.action == UndoAction::Resolve ? "resolve" : "remove");
                }
                line.Str("result", OutcomeName(r.outcome));
                if (!r.reason.empty()) {
                    line.Str("reason", r.reason);
                }
                if (!r.trash.empty()) {
                    line.Str("trash", r.trash);
                }
                if (!r.target.empty()) {
                    line.Str("to", r.target);
                }
            },
            [&](const UndoEndRecord& r) {
                line.Num("restored", r.restored).Num("skipped", r.skipped);
                line.Bool("cancelled", r.cancelled).Num("done", r.done).Num("failed", r.failed);
                line.Str("time", r.time).Num("epoch", r.epoch);
            },
            [&](const KeptRecord& r) {
                line.Num("resolved", r.resolved).Num("done", r.done).Num("failed", r.failed);
                line.Str("time", r.time).Num("epoch", r.epoch);
            },
        },
        record);
    line.End();
}

std::string EncodeRecord(const JournalRecord& record) {
    std::string out;
    EncodeRecordInto(out, record);
    return out;
}

std::optional<JournalRecord> DecodeRecord(std::string_view line) {
    Fields fields;
    std::string kind;
    if (!fields.Parse(line) || !fields.Str("t", kind)) {
        return std::nullopt;
    }
    return DecodeFields(fields, kind);
}

}  // namespace quorvan
