#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rules/rename_plan.h"
#include "run/plan_check.h"
#include "selection/source_scan.h"

namespace quorvan {

// The source list: full paths of a folder's files with a check box each, kept
// in ascending byte order. Paths are kept as bytes and decoded only for
// display, so names that are not valid UTF-8 still reach the rules intact.
// Each name is stored once; the file list is built from here directly.
class CSourceListModel final : public QAbstractListModel, public ISourceRows {
    Q_OBJECT
  public:
    explicit CSourceListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces every row with the files of `names`, all unticked.
    void SetNames(CSourceNames names);
    const CSourceNames& Names() const { return *names_; }
    // The names as they are now, for a reader on another thread: a later
    // scan leaves the reader's names as they were.
    std::shared_ptr<const CSourceNames> SharedNames() const { return names_; }
    const std::vector<uint8_t>& Ticks() const { return ticks_; }
    int Count() const { return static_cast<int>(names_->Size()); }
    int TickedCount() const { return ticked_; }
    std::string Path(int row) const { return names_->Path(static_cast<size_t>(row)); }
    bool IsTicked(int row) const { return ticks_[static_cast<size_t>(row)] != 0; }

    // Ticks or unticks one row; false when it already was so.
    bool SetTicked(int row, bool ticked);
    // Ticks or unticks every row, or flips every row, with one change report.
    void SetAllTicked(bool ticked);
    void InvertAll();

    size_t RowCount() const override { return names_->Size(); }
    std::string RowPath(size_t row) const override { return names_->Path(row); }
    bool RowTicked(size_t row) const override { return ticks_[row] != 0; }

  signals:
    // A single row changed through the check box or SetTicked.
    void RowTickChanged(int row, bool ticked);

  private:
    void ReportAllChanged();

    std::shared_ptr<const CSourceNames> names_ = std::make_shared<CSourceNames>();
    std::vector<uint8_t> ticks_;
    int ticked_ = 0;
};

// The preview list: the plan's new names in ascending byte order, read from
// the plan itself, which the list shares until the next Preview. Entries the
// check of the plan finds failing are marked, and listed even without a new
// name (under their current one).
class CPreviewModel final : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit CPreviewModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Shows the plan with its check (one status per entry).
    void SetPlan(std::shared_ptr<const CRenamePlan> plan, PlanCheck check);
    // The plan entries the list shows, in display order, and the rows with
    // the longest names, which the list measures.
    struct Rows {
        std::vector<uint32_t> order;
        std::vector<int> longest;
    };
    static Rows ShownRows(const CRenamePlan& plan, const PlanCheck& check);
    // The same with the rows ShownRows gave, worked out on another thread:
    // a million rows then cost the window's thread next to nothing.
    void SetPlan(std::shared_ptr<const CRenamePlan> plan, PlanCheck check, Rows rows);
    void Clear();
    // Lets the plan go but keeps the rows `first` to `last` as they are shown
    // (the others show nothing) and the count, until the next SetPlan or
    // Clear: a long list waiting for its next plan then holds one plan, not
    // two.
    void KeepOnly(int first, int last);
    bool KeepsOnlySome() const { return plan_ == nullptr && kept_.count > 0; }
    int Count() const { return plan_ != nullptr ? static_cast<int>(rows_.size()) : kept_.count; }
    // The path a row shows.
    const std::string& Name(int row) const;
    bool IsFailing(int row) const;
    // Why a failing row's entry cannot be renamed; empty for the others.
    std::string Reason(int row) const;
    // Entries of the plan that would fail.
    size_t FailingCount() const { return plan_ != nullptr ? check_.Failing() : kept_.failing; }

  private:
    const CRenamePlan::Entry& EntryAt(int row) const;
    // What KeepOnly kept: names and reasons (empty for rows not failing).
    struct Kept {
        int count = 0;
        int first = 0;
        std::vector<std::string> names;
        std::vector<std::string> reasons;
        size_t failing = 0;
    };
    const std::string* KeptReason(int row) const;
    Kept kept_;

    std::shared_ptr<const CRenamePlan> plan_;
    PlanCheck check_;
    std::vector<uint32_t> rows_;  // plan entries in display order
    std::vector<int> longest_;    // rows with the longest names
    QIcon failingIcon_;
};

}  // namespace quorvan
