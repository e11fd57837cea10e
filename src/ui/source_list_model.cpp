#include "ui/source_list_model.h"

#include <algorithm>

#include "ui/qt_page.h"

namespace quorvan {

int CSourceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant CSourceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) {
        return {};
    }
    const Row& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            // Bytes that are not UTF-8 show as replacement characters.
            return ToQt(row.path);
        case Qt::CheckStateRole:
            return row.ticked ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

bool CSourceListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole) {
        return false;
    }
    SetTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CSourceListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

void CSourceListModel::SetPaths(std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end());
    beginResetModel();
    rows_.clear();
    rows_.reserve(paths.size());
    for (std::string& path : paths) {
        rows_.push_back({std::move(path), false});
    }
    ticked_ = 0;
    endResetModel();
}

bool CSourceListModel::SetTicked(int row, bool ticked) {
    if (row < 0 || row >= Count()) {
        return false;
    }
    Row& entry = rows_[static_cast<size_t>(row)];
    if (entry.ticked == ticked) {
        return false;
    }
    entry.ticked = ticked;
    ticked_ += ticked ? 1 : -1;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::CheckStateRole});
    emit RowTickChanged(row, ticked);
    return true;
}

void CSourceListModel::SetAllTicked(bool ticked) {
    for (Row& row : rows_) {
        row.ticked = ticked;
    }
    ticked_ = ticked ? Count() : 0;
    ReportAllChanged();
}

void CSourceListModel::InvertAll() {
    for (Row& row : rows_) {
        row.ticked = !row.ticked;
    }
    ticked_ = Count() - ticked_;
    ReportAllChanged();
}

void CSourceListModel::ReportAllChanged() {
    if (!rows_.empty()) {
        emit dataChanged(index(0), index(Count() - 1), {Qt::CheckStateRole});
    }
}

int CPreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant CPreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    return ToQt(names_[static_cast<size_t>(index.row())]);
}

void CPreviewModel::SetNames(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    beginResetModel();
    names_ = std::move(names);
    endResetModel();
}

void CPreviewModel::Clear() {
    if (names_.empty()) {
        return;
    }
    beginResetModel();
    names_.clear();
    endResetModel();
}

}  // namespace quorvan
