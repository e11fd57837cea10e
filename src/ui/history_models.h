#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "history/journal.h"
#include "history/journal_reader.h"
#include "history/run_history.h"

namespace quorvan {

// A byte string for one line of a list or label: control characters (a line
// feed in a folder name) show as "\n", "\t" or "\x1b" instead of breaking the
// row, and bytes that are not UTF-8 as replacement characters.
QString ShownText(const std::string& bytes);

// "rename" or "copy".
QString ModeText(RunMode mode);

// The runs of the history, newest first.
class CRunListModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { kDate, kFolder, kMode, kDone, kFailed, kState, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void SetRuns(std::vector<RunSummary> runs);
    const std::vector<RunSummary>& Runs() const { return runs_; }
    // Null for a row out of range.
    const RunSummary* Run(int row) const;
    // The row of the run with this ID, -1 when it is not listed.
    int RowOf(const std::string& id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<RunSummary> runs_;
};

// A journal's lines, found in one pass and read again only when shown, so
// that listing a run of a million files costs a few bytes a row. What a
// line is, the journal's reader says. Not for two threads at once.
class CJournalLines final {
  public:
    // Reads `path` through, handing each line (number from 1, text) to
    // `visit`. 0 or an errno value; ECANCELED once `stop` is set.
    int Open(const std::string& path,
             const std::function<void(int64_t line, std::string_view text)>& visit,
             const std::atomic<bool>* stop = nullptr);
    int64_t LineCount() const;
    // The record of line `line`; nothing when it is damaged or unreadable.
    std::optional<JournalRecord> Record(int64_t line) const;

  private:
    std::unique_ptr<CJournalReader> reader_;
    std::vector<uint64_t> starts_;  // offset of each line
};

// What a journal's operation list shows: which lines are rows.
struct JournalRows {
    std::shared_ptr<const CJournalLines> lines;
    std::vector<uint32_t> shown;  // line numbers
    std::string folder;           // paths below it are shown shorter
    int error = 0;                // errno value when the journal could not be read
};

// Reads a journal and picks the lines worth a row: every operation, failed
// files, the end of the run and what undos did. No widgets are touched, so a
// worker may call it.
JournalRows LoadJournalRows(const std::string& path, const std::atomic<bool>* stop = nullptr);

// One row of the operation list as text.
struct OperationText {
    QString operation;  // "Rename", "Copy", "Undo: skipped", ...
    QString file;
    QString detail;
};
// Paths below the run's folder are shown relative to it unless `fullPaths`.
OperationText DescribeOperation(const JournalRows& rows, size_t row, bool fullPaths = false);

// The operations of one run. Rows are formatted only when shown, so a run of
// a hundred thousand files lists at once.
class COperationsModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { kOperation, kFile, kDetail, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(JournalRows rows);
    void Clear();
    const JournalRows& Rows() const { return rows_; }
    OperationText Text(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    JournalRows rows_;
    // Rows lately shown: a view asks for each column and role in turn.
    mutable std::unordered_map<int, OperationText> cache_;
};

}  // namespace quorvan
