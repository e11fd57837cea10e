#include "ui/history_models.h"

#include <algorithm>
#include <cerrno>
#include <set>

#include "history/undo_run.h"
#include "ui/core_texts.h"
#include "ui/qt_text.h"

namespace quorvan {
namespace {

const char* EndName(RunEnd status) {
    switch (status) {
        case RunEnd::Complete:
            return "complete";
        case RunEnd::Cancelled:
            return "cancelled";
        case RunEnd::Aborted:
            return "aborted";
    }
    return "";
}

QString Counted(int64_t count, const char* one, const char* many) {
    return QString::number(count) + ' ' + QObject::tr(count == 1 ? one : many);
}

bool IsRow(const JournalRecord& record) {
    if (const auto* file = std::get_if<FileRecord>(&record)) {
        // A file done shows as its operation already.
        return !file->ok;
    }
    return !std::holds_alternative<StartRecord>(record) &&
           !std::holds_alternative<TrashedRecord>(record) &&
           !std::holds_alternative<TempFolderRecord>(record);
}

// What an undo step concerns: the file as the run left it.
std::string PathOfRecord(const JournalRecord& record) {
    if (const auto* r = std::get_if<RenameRecord>(&record)) {
        return r->to;
    }
    if (const auto* c = std::get_if<CopyRecord>(&record)) {
        return c->to;
    }
    if (const auto* t = std::get_if<TrashRecord>(&record)) {
        return t->path;
    }
    if (const auto* a = std::get_if<AttrsRecord>(&record)) {
        return a->path;
    }
    if (const auto* m = std::get_if<TimesRecord>(&record)) {
        return m->path;
    }
    if (const auto* f = std::get_if<FolderRecord>(&record)) {
        return f->path;
    }
    return {};
}

class CDescriber {
  public:
    CDescriber(const JournalRows& rows, bool fullPaths) : rows_(rows), full_(fullPaths) {}

    QString Path(const std::string& path) const {
        const std::string& folder = rows_.folder;
        if (!full_ && !folder.empty() && path.size() > folder.size() + 1 &&
            path.compare(0, folder.size(), folder) == 0 &&
            (path[folder.size()] == '/' || folder == "/")) {
            return ShownText(path.substr(folder == "/" ? 1 : folder.size() + 1));
        }
        return ShownText(path);
    }
    QString To(const std::string& path) const { return QStringLiteral("→ ") + Path(path); }

    // Where an undo put back what this record did.
    QString RestoredDetail(const JournalRecord& record) const {
        if (const auto* r = std::get_if<RenameRecord>(&record)) {
            return To(r->from);
        }
        if (std::holds_alternative<TrashRecord>(record)) {
            return QObject::tr("back from the trash");
        }
        if (std::holds_alternative<AttrsRecord>(record) ||
            std::holds_alternative<TimesRecord>(record)) {
            return QObject::tr("set back");
        }
        if (std::holds_alternative<FolderRecord>(record)) {
            return QObject::tr("removed");
        }
        return {};
    }

    OperationText operator()(const RenameRecord& r) const {
        const QString what = r.temp == TempSide::To ? QObject::tr("Rename to a temporary name")
                             : r.temp == TempSide::From
                                 ? QObject::tr("Rename from a temporary name")
                                 : QObject::tr("Rename");
        return {what, Path(r.from), To(r.to)};
    }
    OperationText operator()(const CopyRecord& c) const {
        return {QObject::tr("Copy"), Path(c.from), To(c.to)};
    }
    OperationText operator()(const TrashRecord& t) const {
        return {QObject::tr("To the trash"), Path(t.path), QObject::tr("replaced by a copy")};
    }
    OperationText operator()(const AttrsRecord& a) const {
        return {QObject::tr("Attributes"), Path(a.path),
                QObject::tr("before: mode %1").arg(a.mode & 07777, 4, 8, QChar('0'))};
    }
    OperationText operator()(const TimesRecord& m) const {
        return {QObject::tr("Dates and times"), Path(m.path),
                QObject::tr("modified %1 → %2")
                    .arg(QString::fromStdString(JournalTimeText(m.oldMtime.sec)),
                         QString::fromStdString(JournalTimeText(m.newMtime.sec)))};
    }
    OperationText operator()(const FolderRecord& f) const {
        return {QObject::tr("New folder"), Path(f.path), QString()};
    }
    OperationText operator()(const FileRecord& f) const {
        return {QObject::tr("Failed"), Path(f.from), QString::fromStdString(f.error)};
    }
    OperationText operator()(const EndRecord& e) const {
        return {QObject::tr("Run ended"), QString(),
                QObject::tr("%1: %2 done, %3 failed")
                    .arg(CoreText(EndName(e.status)))
                    .arg(e.done)
                    .arg(e.failed)};
    }
    OperationText operator()(const UndoStartRecord& u) const {
        return {QObject::tr("Undo started"), QString(), QString::fromStdString(u.time)};
    }
    OperationText operator()(const UndoStepRecord& s) const {
        OperationText text;
        const std::optional<JournalRecord> target = rows_.lines->Record(s.record);
        const std::string path = target ? PathOfRecord(*target) : std::string();
        text.file = path.empty() ? QObject::tr("(temporary file)") : Path(path);
        QString outcome;
        switch (s.outcome) {
            case UndoOutcome::Restored:
                outcome = s.action == UndoAction::Resolve      ? QObject::tr("named")
                          : s.action == UndoAction::RemoveTemp ? QObject::tr("moved to the trash")
                                                               : QObject::tr("restored");
                break;
            case UndoOutcome::Skipped:
                outcome = QObject::tr("skipped");
                break;
            case UndoOutcome::Unchanged:
                outcome = QObject::tr("nothing to do");
                break;
        }
        text.operation = s.action == UndoAction::Reverse ? QObject::tr("Undo: %1").arg(outcome)
                         : s.action == UndoAction::Resolve
                             ? QObject::tr("Temporary name: %1").arg(outcome)
                             : QObject::tr("Temporary file: %1").arg(outcome);
        if (!s.reason.empty()) {
            text.detail = QString::fromStdString(s.reason);
        } else if (!s.target.empty()) {
            text.detail = To(s.target);
        } else if (!s.trash.empty()) {
            text.detail = QObject::tr("→ the trash");
        } else if (s.outcome == UndoOutcome::Restored && target) {
            text.detail = RestoredDetail(*target);
        }
        return text;
    }
    OperationText operator()(const UndoEndRecord& u) const {
        return {u.cancelled ? QObject::tr("Undo cancelled") : QObject::tr("Undo ended"), QString(),
                QObject::tr("%1 restored, %2 skipped")
                    .arg(Counted(u.restored, QT_TRANSLATE_NOOP("QObject", "file"),
                                 QT_TRANSLATE_NOOP("QObject", "files")))
                    .arg(u.skipped)};
    }
    OperationText operator()(const KeptRecord& k) const {
        return {QObject::tr("Files kept as they are"), QString(),
                QObject::tr("%1 resolved")
                    .arg(Counted(k.resolved, QT_TRANSLATE_NOOP("QObject", "temporary name"),
                                 QT_TRANSLATE_NOOP("QObject", "temporary names")))};
    }
    template <typename Other>
    OperationText operator()(const Other&) const {
        return {};
    }

  private:
    const JournalRows& rows_;
    bool full_;
};

}  // namespace

QString ShownText(const std::string& bytes) {
    const QString text = ToQt(bytes);
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\n') {
            shown += QLatin1String("\\n");
        } else if (u == '\t') {
            shown += QLatin1String("\\t");
        } else if (u < 0x20 || u == 0x7f) {
            shown += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QChar('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}

QString ModeText(RunMode mode) {
    return mode == RunMode::Copy ? QObject::tr("copy") : QObject::tr("rename");
}

void CRunListModel::SetRuns(std::vector<RunSummary> runs) {
    beginResetModel();
    runs_ = std::move(runs);
    endResetModel();
}

const RunSummary* CRunListModel::Run(int row) const {
    return row >= 0 && static_cast<size_t>(row) < runs_.size() ? &runs_[static_cast<size_t>(row)]
                                                               : nullptr;
}

int CRunListModel::RowOf(const std::string& id) const {
    for (size_t i = 0; i < runs_.size(); ++i) {
        if (runs_[i].start.id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CRunListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(runs_.size());
}

int CRunListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CRunListModel::data(const QModelIndex& index, int role) const {
    const RunSummary* run = Run(index.row());
    if (run == nullptr) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == kDone || index.column() == kFailed;
        return static_cast<int>(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == Qt::ToolTipRole && index.column() == kFolder) {
        return ToQt(run->start.folder);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case kDate:
            return QString::fromStdString(run->start.time);
        case kFolder:
            return ShownText(run->start.folder);
        case kMode:
            return ModeText(run->start.mode);
        case kDone:
            return QString::number(run->done);
        case kFailed:
            return QString::number(run->failed);
        case kState:
            return CoreText(RunStateName(run->state));
        default:
            return {};
    }
}

QVariant CRunListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeaders[kColumnCount] = {QT_TR_NOOP("Date"),   QT_TR_NOOP("Folder"),
                                                       QT_TR_NOOP("Mode"),   QT_TR_NOOP("Done"),
                                                       QT_TR_NOOP("Failed"), QT_TR_NOOP("State")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    return tr(kHeaders[section]);
}

int CJournalLines::Open(const std::string& path,
                        const std::function<void(int64_t, std::string_view)>& visit,
                        const std::atomic<bool>* stop) {
    starts_.clear();
    reader_ = std::make_unique<CJournalReader>();
    if (int error = reader_->Open(path)) {
        return error;
    }
    for (JournalLine line; reader_->Next(line);) {
        if ((line.number & 0xfff) == 0 && stop != nullptr && stop->load()) {
            return ECANCELED;
        }
        starts_.push_back(static_cast<uint64_t>(line.offset));
        visit(line.number, line.text);
    }
    return reader_->Error();
}

int64_t CJournalLines::LineCount() const {
    return static_cast<int64_t>(starts_.size());
}

std::optional<JournalRecord> CJournalLines::Record(int64_t line) const {
    JournalLine text;
    if (line < 1 || line > LineCount() ||
        !reader_->LineAt(static_cast<int64_t>(starts_[static_cast<size_t>(line - 1)]), line,
                         text)) {
        return std::nullopt;
    }
    return DecodeRecord(text.text);
}

JournalRows LoadJournalRows(const std::string& path, const std::atomic<bool>* stop) {
    static const std::string kStart = RecordKindName(StartRecord{});
    static const std::string kFile = RecordKindName(FileRecord{});
    static const std::set<std::string, std::less<>> kNoRow = {RecordKindName(TrashedRecord{}),
                                                              RecordKindName(TempFolderRecord{})};
    JournalRows rows;
    auto lines = std::make_shared<CJournalLines>();
    rows.error = lines->Open(
        path,
        [&rows](int64_t line, std::string_view text) {
            // The kind leads each line as the program writes it; only lines
            // whose kind does not tell whether they are a row are decoded.
            const std::string_view kind = RecordKindOf(text);
            if (kNoRow.count(kind) != 0) {
                return;
            }
            const bool decode = kind.empty() || kind == kStart || kind == kFile;
            std::optional<JournalRecord> record;
            if (decode && !(record = DecodeRecord(text))) {
                return;
            }
            if (record) {
                if (const auto* start = std::get_if<StartRecord>(&*record)) {
                    rows.folder = start->folder;
                }
                if (!IsRow(*record)) {
                    return;
                }
            }
            rows.shown.push_back(static_cast<uint32_t>(line));
        },
        stop);
    rows.lines = std::move(lines);
    return rows;
}

OperationText DescribeOperation(const JournalRows& rows, size_t row, bool fullPaths) {
    if (rows.lines == nullptr || row >= rows.shown.size()) {
        return {};
    }
    const std::optional<JournalRecord> record = rows.lines->Record(rows.shown[row]);
    if (!record) {
        return {QObject::tr("(unreadable record)"), QString(), QString()};
    }
    return std::visit(CDescriber(rows, fullPaths), *record);
}

void COperationsModel::SetRows(JournalRows rows) {
    beginResetModel();
    rows_ = std::move(rows);
    cache_.clear();
    endResetModel();
}

void COperationsModel::Clear() {
    SetRows(JournalRows());
}

OperationText COperationsModel::Text(int row) const {
    return row < 0 ? OperationText() : DescribeOperation(rows_, static_cast<size_t>(row), false);
}

int COperationsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.shown.size());
}

int COperationsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant COperationsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    OperationText text;
    if (role == Qt::ToolTipRole) {
        text = DescribeOperation(rows_, static_cast<size_t>(index.row()), true);
    } else if (auto cached = cache_.find(index.row()); cached != cache_.end()) {
        text = cached->second;
    } else {
        // A screenful of rows is enough to keep.
        constexpr size_t kCachedRows = 512;
        if (cache_.size() >= kCachedRows) {
            cache_.clear();
        }
        text = Text(index.row());
        cache_.emplace(index.row(), text);
    }
    switch (index.column()) {
        case kOperation:
            return text.operation;
        case kFile:
            return text.file;
        case kDetail:
            return text.detail;
        default:
            return {};
    }
}

QVariant COperationsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeaders[kColumnCount] = {QT_TR_NOOP("Operation"), QT_TR_NOOP("File"),
                                                       QT_TR_NOOP("Details")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    return tr(kHeaders[section]);
}

}  // namespace quorvan
