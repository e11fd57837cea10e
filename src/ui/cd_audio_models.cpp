#include "ui/cd_audio_models.h"

#include "ui/qt_text.h"

namespace quorvan {

namespace {
constexpr int32_t kGap = -1;
}  // namespace

int CSelectedTracksModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant CSelectedTracksModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    // Between a change and its flush the views may still ask for rows that
    // have gone.
    if (index.row() < 0 || index.row() >= Count()) {
        return {};
    }
    return ToQt(Item(index.row()));
}

QVariant CSelectedTracksModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == 0) {
        return tr("Name");
    }
    return {};
}

void CSelectedTracksModel::Add(int sourceRow) {
    if (sourceRow < 0) {
        return;
    }
    const size_t at = static_cast<size_t>(sourceRow);
    if (at >= positions_.size()) {
        positions_.resize(at + 1, kGap);
    }
    if (positions_[at] != kGap) {
        return;
    }
    positions_[at] = static_cast<int32_t>(items_.size());
    items_.push_back(sourceRow);
    ScheduleFlush();
}

void CSelectedTracksModel::Remove(int sourceRow) {
    if (sourceRow < 0 || static_cast<size_t>(sourceRow) >= positions_.size() ||
        positions_[static_cast<size_t>(sourceRow)] == kGap) {
        return;
    }
    int32_t& position = positions_[static_cast<size_t>(sourceRow)];
    items_[static_cast<size_t>(position)] = kGap;
    position = kGap;
    ++gaps_;
    if (gaps_ == items_.size()) {
        items_.clear();
        gaps_ = 0;
    }
    removedSinceFlush_ = true;
    ScheduleFlush();
}

void CSelectedTracksModel::Clear() {
    if (Count() == 0 && shown_ == 0) {
        return;
    }
    items_.clear();
    items_.shrink_to_fit();
    positions_.clear();
    positions_.shrink_to_fit();
    gaps_ = 0;
    removedSinceFlush_ = true;
    ScheduleFlush();
}

void CSelectedTracksModel::CloseGaps() const {
    if (gaps_ == 0) {
        return;
    }
    size_t kept = 0;
    for (int32_t sourceRow : items_) {
        if (sourceRow != kGap) {
            positions_[static_cast<size_t>(sourceRow)] = static_cast<int32_t>(kept);
            items_[kept++] = sourceRow;
        }
    }
    items_.resize(kept);
    gaps_ = 0;
}

std::vector<std::string> CSelectedTracksModel::Items() const {
    CloseGaps();
    std::vector<std::string> paths;
    paths.reserve(items_.size());
    for (int32_t sourceRow : items_) {
        paths.push_back(pathOf_ ? pathOf_(sourceRow) : std::string());
    }
    return paths;
}

std::string CSelectedTracksModel::Item(int row) const {
    const int sourceRow = SourceRowAt(row);
    return sourceRow >= 0 && pathOf_ ? pathOf_(sourceRow) : std::string();
}

int CSelectedTracksModel::SourceRowAt(int row) const {
    CloseGaps();
    return row >= 0 && static_cast<size_t>(row) < items_.size() ? items_[static_cast<size_t>(row)]
                                                                : -1;
}

int CSelectedTracksModel::RowOf(int sourceRow) const {
    CloseGaps();
    return sourceRow >= 0 && static_cast<size_t>(sourceRow) < positions_.size()
               ? positions_[static_cast<size_t>(sourceRow)]
               : -1;
}

void CSelectedTracksModel::Swap(size_t a, size_t b) {
    std::swap(items_[a], items_[b]);
    positions_[static_cast<size_t>(items_[a])] = static_cast<int32_t>(a);
    positions_[static_cast<size_t>(items_[b])] = static_cast<int32_t>(b);
}

int CSelectedTracksModel::MoveUp(int row) {
    Flush();
    CloseGaps();
    if (row <= 0 || static_cast<size_t>(row) >= items_.size()) {
        return row;
    }
    Swap(static_cast<size_t>(row), static_cast<size_t>(row) - 1);
    emit dataChanged(index(row - 1), index(row));
    return row - 1;
}

int CSelectedTracksModel::MoveDown(int row) {
    Flush();
    CloseGaps();
    if (row < 0 || static_cast<size_t>(row) + 1 >= items_.size()) {
        return row;
    }
    Swap(static_cast<size_t>(row), static_cast<size_t>(row) + 1);
    emit dataChanged(index(row), index(row + 1));
    return row + 1;
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
    static const char* const kHeaders[] = {QT_TR_NOOP("#"), QT_TR_NOOP("Retrieved Name"),
                                           QT_TR_NOOP("Length (mm:ss)")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2) {
        return {};
    }
    return tr(kHeaders[section]);
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
