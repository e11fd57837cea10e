#include "ui/source_list_model.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <algorithm>

#include "ui/palette_colours.h"
#include "ui/path_list_view.h"
#include "ui/qt_text.h"

namespace quorvan {

namespace {

// The rows of the `kept` longest texts, for the list to measure.
template <typename Length>
std::vector<int> LongestRowNumbers(int count, Length length) {
    constexpr size_t kept = 32;
    std::vector<std::pair<size_t, int>> longest;  // a min-heap on the length
    longest.reserve(kept + 1);
    auto shorter = [](const auto& a, const auto& b) { return a.first > b.first; };
    for (int row = 0; row < count; ++row) {
        const size_t size = length(row);
        if (longest.size() == kept && size <= longest.front().first) {
            continue;
        }
        longest.emplace_back(size, row);
        std::push_heap(longest.begin(), longest.end(), shorter);
        if (longest.size() > kept) {
            std::pop_heap(longest.begin(), longest.end(), shorter);
            longest.pop_back();
        }
    }
    std::vector<int> rows;
    for (const auto& entry : longest) {
        rows.push_back(entry.second);
    }
    return rows;
}

QVariantList ToVariantList(const std::vector<int>& rows) {
    QVariantList list;
    for (int row : rows) {
        list.push_back(row);
    }
    return list;
}

template <typename Length>
QVariantList LongestRows(int count, Length length) {
    return ToVariantList(LongestRowNumbers(count, length));
}

}  // namespace

int CSourceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant CSourceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            // Bytes that are not UTF-8 show as replacement characters.
            return ToQt(Path(index.row()));
        case Qt::CheckStateRole:
            return IsTicked(index.row()) ? Qt::Checked : Qt::Unchecked;
        case kLongestRowsRole:
            return LongestRows(
                Count(), [this](int row) { return names_->Name(static_cast<size_t>(row)).size(); });
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

void CSourceListModel::SetNames(CSourceNames names) {
    beginResetModel();
    names_ = std::make_shared<const CSourceNames>(std::move(names));
    ticks_.assign(names_->Size(), 0);
    ticked_ = 0;
    endResetModel();
}

bool CSourceListModel::SetTicked(int row, bool ticked) {
    if (row < 0 || row >= Count()) {
        return false;
    }
    uint8_t& tick = ticks_[static_cast<size_t>(row)];
    if ((tick != 0) == ticked) {
        return false;
    }
    tick = ticked ? 1 : 0;
    ticked_ += ticked ? 1 : -1;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::CheckStateRole});
    emit RowTickChanged(row, ticked);
    return true;
}

void CSourceListModel::SetAllTicked(bool ticked) {
    std::fill(ticks_.begin(), ticks_.end(), ticked ? 1 : 0);
    ticked_ = ticked ? Count() : 0;
    ReportAllChanged();
}

void CSourceListModel::InvertAll() {
    for (uint8_t& tick : ticks_) {
        tick = tick != 0 ? 0 : 1;
    }
    ticked_ = Count() - ticked_;
    ReportAllChanged();
}

void CSourceListModel::ReportAllChanged() {
    if (Count() > 0) {
        emit dataChanged(index(0), index(Count() - 1), {Qt::CheckStateRole});
    }
}

int CPreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

const CRenamePlan::Entry& CPreviewModel::EntryAt(int row) const {
    return plan_->Entries()[rows_[static_cast<size_t>(row)]];
}

const std::string* CPreviewModel::KeptReason(int row) const {
    const int at = row - kept_.first;
    return at >= 0 && at < static_cast<int>(kept_.reasons.size())
               ? &kept_.reasons[static_cast<size_t>(at)]
               : nullptr;
}

const std::string& CPreviewModel::Name(int row) const {
    if (plan_ == nullptr) {
        static const std::string kNone;
        const std::string* reason = KeptReason(row);
        return reason != nullptr ? kept_.names[static_cast<size_t>(row - kept_.first)] : kNone;
    }
    const CRenamePlan::Entry& entry = EntryAt(row);
    // An entry without a new name keeps its current one.
    return entry.second.empty() ? entry.first : entry.second;
}

bool CPreviewModel::IsFailing(int row) const {
    if (plan_ == nullptr) {
        const std::string* reason = KeptReason(row);
        return reason != nullptr && !reason->empty();
    }
    return quorvan::IsFailing(check_.entries[rows_[static_cast<size_t>(row)]].status);
}

std::string CPreviewModel::Reason(int row) const {
    if (plan_ == nullptr) {
        const std::string* reason = KeptReason(row);
        return reason != nullptr ? *reason : std::string();
    }
    return StatusReason(check_, plan_->Entries(), rows_[static_cast<size_t>(row)]);
}

QVariant CPreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) {
        return {};
    }
    const int row = index.row();
    switch (role) {
        case Qt::DisplayRole:
            return ToQt(Name(row));
        case Qt::ToolTipRole:
            if (IsFailing(row)) {
                return ToQt(Name(row)) + '\n' + ToQt(Reason(row));
            }
            return ToQt(Name(row));
        case Qt::AccessibleDescriptionRole:
            // The mark is seen; a screen reader says it.
            return IsFailing(row) ? ToQt(Reason(row)) : QVariant();
        case Qt::DecorationRole:
            return IsFailing(row) ? QVariant(failingIcon_) : QVariant();
        case kLongestRowsRole:
            // Found with the rows: a million names take a while to walk.
            if (plan_ != nullptr) {
                return ToVariantList(longest_);
            }
            return LongestRows(Count(), [this](int at) { return Name(at).size(); });
        case Qt::ForegroundRole:
            if (IsFailing(row)) {
                // Dimmed as a left-out row, yet readable on light and dark
                // palettes alike.
                const QPalette palette = QApplication::palette();
                return ReadableColour(palette.color(QPalette::Disabled, QPalette::Text),
                                      palette.color(QPalette::Active, QPalette::Base));
            }
            return {};
        default:
            return {};
    }
}

CPreviewModel::Rows CPreviewModel::ShownRows(const CRenamePlan& plan, const PlanCheck& check) {
    const std::vector<CRenamePlan::Entry>& entries = plan.Entries();
    auto shown = [&](size_t i) {
        return !entries[i].second.empty() || quorvan::IsFailing(check.entries[i].status);
    };
    size_t count = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        count += shown(i);
    }
    std::vector<uint32_t> rows;
    rows.reserve(count);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (shown(i)) {
            rows.push_back(static_cast<uint32_t>(i));
        }
    }
    auto shownName = [&entries](uint32_t i) -> const std::string& {
        return entries[i].second.empty() ? entries[i].first : entries[i].second;
    };
    auto less = [&](uint32_t a, uint32_t b) { return shownName(a) < shownName(b); };
    // Most rules keep the sources' order; then there is nothing to sort.
    if (!std::is_sorted(rows.begin(), rows.end(), less)) {
        std::sort(rows.begin(), rows.end(), less);
    }
    std::vector<int> longest = LongestRowNumbers(
        static_cast<int>(rows.size()), [&](int row) { return shownName(rows[row]).size(); });
    return {std::move(rows), std::move(longest)};
}

void CPreviewModel::SetPlan(std::shared_ptr<const CRenamePlan> plan, PlanCheck check) {
    Rows rows = ShownRows(*plan, check);
    SetPlan(std::move(plan), std::move(check), std::move(rows));
}

void CPreviewModel::SetPlan(std::shared_ptr<const CRenamePlan> plan, PlanCheck check, Rows rows) {
    beginResetModel();
    plan_ = std::move(plan);
    check_ = std::move(check);
    // The order of moves is the run's business, not the list's.
    check_.order.clear();
    check_.order.shrink_to_fit();
    rows_ = std::move(rows.order);
    longest_ = std::move(rows.longest);
    kept_ = Kept();
    failingIcon_ = check_.Failing() > 0
                       ? QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)
                       : QIcon();
    endResetModel();
}

void CPreviewModel::KeepOnly(int first, int last) {
    if (plan_ == nullptr || Count() == 0) {
        return;
    }
    Kept kept;
    kept.count = Count();
    kept.first = std::clamp(first, 0, kept.count - 1);
    kept.failing = check_.Failing();
    for (int row = kept.first; row <= std::min(last, kept.count - 1); ++row) {
        kept.names.push_back(Name(row));
        kept.reasons.push_back(IsFailing(row) ? Reason(row) : std::string());
    }
    plan_.reset();
    check_ = PlanCheck();
    std::vector<uint32_t>().swap(rows_);
    longest_.clear();
    kept_ = std::move(kept);
    // No reset and no change reported: the rows in view look as they did,
    // and the others are read again only when scrolled to.
}

void CPreviewModel::Clear() {
    if (plan_ == nullptr && kept_.count == 0) {
        return;
    }
    beginResetModel();
    kept_ = Kept();
    plan_.reset();
    check_ = PlanCheck();
    rows_.clear();
    rows_.shrink_to_fit();
    longest_.clear();
    failingIcon_ = QIcon();
    endResetModel();
}

}  // namespace quorvan
