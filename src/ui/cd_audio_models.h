#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "cdaudio/track_names.h"

namespace quorvan {

// The "Selected tracks" list as a model. The main window adds or removes one
// path per ticked or unticked source row, up to a whole folder at once, so
// changes reach the views in one batch when control returns to the event loop
// instead of one notification per path.
class CSelectedTracksModel final : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit CSelectedTracksModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Add(const std::string& path);
    void Remove(const std::string& path);
    void Clear();
    // Exchanges the row with the one above (below); returns the new row.
    int MoveUp(int row);
    int MoveDown(int row);

    const std::vector<std::string>& Items() const { return tracks_.Items(); }
    int Count() const { return static_cast<int>(tracks_.Count()); }
    // Brings the views up to date now rather than on the next event loop turn.
    void Flush();

  private:
    void ScheduleFlush();

    CSelectedTracks tracks_;
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
