#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cdaudio/track_names.h"

namespace quorvan {

// The "Selected tracks" list as a model: rows of the main window's source
// list in the order the user gives, kept as row numbers, since the source
// list already holds every path. The window adds or removes one row per
// ticked or unticked source row, up to a whole folder at once, so changes
// reach the views in one batch when control returns to the event loop instead
// of one notification per row.
class CSelectedTracksModel final : public QAbstractListModel {
    Q_OBJECT
  public:
    // The path of a source row.
    using PathOfRow = std::function<std::string(int sourceRow)>;

    explicit CSelectedTracksModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetPathSource(PathOfRow pathOf) { pathOf_ = std::move(pathOf); }
    // Appends a source row unless it is listed already; removes one exactly.
    void Add(int sourceRow);
    void Remove(int sourceRow);
    void Clear();
    // Exchanges the row with the one above (below); returns the new row.
    int MoveUp(int row);
    int MoveDown(int row);

    int Count() const { return static_cast<int>(items_.size() - gaps_); }
    // The paths, top to bottom; one of them.
    std::vector<std::string> Items() const;
    std::string Item(int row) const;
    // The source row listed at a row, and where a source row is listed (-1:
    // not listed).
    int SourceRowAt(int row) const;
    int RowOf(int sourceRow) const;
    // Brings the views up to date now rather than on the next event loop turn.
    void Flush();

  private:
    void ScheduleFlush();
    // Removed rows leave gaps, closed in one pass when the list is next read.
    void CloseGaps() const;
    void Swap(size_t a, size_t b);

    PathOfRow pathOf_;
    mutable std::vector<int32_t> items_;      // source rows; kGap where one was removed
    mutable std::vector<int32_t> positions_;  // per source row: its place in items_, or -1
    mutable size_t gaps_ = 0;
    int shown_ = 0;  // rows the views know of
    bool flushPending_ = false;
    bool removedSinceFlush_ = false;
};

// The retrieved track names: "#", "Retrieved Name", "Length (mm:ss)", with a
// check box in the first column.
class CRetrievedTitlesModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit CRetrievedTitlesModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetTitles(std::vector<RetrievedTitle> titles);
    const std::vector<RetrievedTitle>& Titles() const { return titles_; }
    void SetChecked(int row, bool checked);
    void CheckAll();
    void UncheckAll();
    void Invert();

  private:
    void ChecksChanged();

    std::vector<RetrievedTitle> titles_;
};

}  // namespace quorvan
