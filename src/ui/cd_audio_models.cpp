#include "ui/cd_audio_models.h"

#include "ui/qt_page.h"

namespace quorvan {

int CSelectedTracksModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant CSelectedTracksModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    // Between a change and its flush the views may still ask for rows that
    // have gone.
    const std::vector<std::string>& items = tracks_.Items();
    if (index.row() < 0 || static_cast<size_t>(index.row()) >= items.size()) {
        return {};
    }
    return ToQt(items[static_cast<size_t>(index.row())]);
}

QVariant CSelectedTracksModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == 0) {
        return tr("Name");
    }
    return {};
}

void CSelectedTracksModel::Add(const std::string& path) {
    if (tracks_.AddTrackFile(path)) {
        ScheduleFlush();
    }
}

void CSelectedTracksModel::Remove(const std::string& path) {
    if (tracks_.RemoveTrackFile(path)) {
        removedSinceFlush_ = true;
        ScheduleFlush();
    }
}

void CSelectedTracksModel::Clear() {
    if (tracks_.Count() == 0 && shown_ == 0) {
        return;
    }
    tracks_.ClearTrackFiles();
    removedSinceFlush_ = true;
    ScheduleFlush();
}

int CSelectedTracksModel::MoveUp(int row) {
    Flush();
    const int moved = tracks_.MoveUp(row);
    if (moved != row) {
        emit dataChanged(index(moved), index(row));
    }
    return moved;
}

int CSelectedTracksModel::MoveDown(int row) {
    Flush();
    const int moved = tracks_.MoveDown(row);
    if (moved != row) {
        emit dataChanged(index(row), index(moved));
    }
    return moved;
}

void CSelectedTracksModel::ScheduleFlush() {
    if (flushPending_) {
        return;
    }
    flushPending_ = true;
    QMetaObject::invokeMethod(this, &CSelectedTracksModel::Flush, Qt::QueuedConnection);
}

void CSelectedTracksModel::Flush() {
    if (!flushPending_) {
        return;
    }
    flushPending_ = false;
    const int count = Count();
    if (!removedSinceFlush_ && count > shown_) {
        // Only appended rows: the views keep their selection and scroll place.
        beginInsertRows(QModelIndex(), shown_, count - 1);
        shown_ = count;
        endInsertRows();
    } else if (removedSinceFlush_ || count != shown_) {
        beginResetModel();
        shown_ = count;
        endResetModel();
    }
    removedSinceFlush_ = false;
}

int CRetrievedTitlesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

int CRetrievedTitlesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant CRetrievedTitlesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const RetrievedTitle& title = titles_[static_cast<size_t>(index.row())];
    if (role == Qt::CheckStateRole && index.column() == 0) {
        return title.checked ? Qt::Checked : Qt::Unchecked;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (index.column()) {
        case 0:
            return ToQt(title.number);
        case 1:
            return ToQt(title.name);
        case 2:
            return ToQt(title.length);
        default:
            return {};
    }
}

bool CRetrievedTitlesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole ||
        index.row() >= rowCount()) {
        return false;
    }
    SetChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CRetrievedTitlesModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant CRetrievedTitlesModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case 0:
            return tr("#");
        case 1:
            return tr("Retrieved Name");
        case 2:
            return tr("Length (mm:ss)");
        default:
            return {};
    }
}

void CRetrievedTitlesModel::SetTitles(std::vector<RetrievedTitle> titles) {
    beginResetModel();
    titles_ = std::move(titles);
    endResetModel();
}

void CRetrievedTitlesModel::SetChecked(int row, bool checked) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    titles_[static_cast<size_t>(row)].checked = checked;
    const QModelIndex cell = index(row, 0);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void CRetrievedTitlesModel::CheckAll() {
    CheckAllTitles(titles_);
    ChecksChanged();
}

void CRetrievedTitlesModel::UncheckAll() {
    UncheckAllTitles(titles_);
    ChecksChanged();
}

void CRetrievedTitlesModel::Invert() {
    InvertTitleChecks(titles_);
    ChecksChanged();
}

void CRetrievedTitlesModel::ChecksChanged() {
    if (!titles_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    }
}

}  // namespace quorvan
