#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

namespace quorvan {

// The source list: full paths of a folder's files with a check box each, kept
// in ascending byte order. Paths are kept as bytes and decoded only for
// display, so names that are not valid UTF-8 still reach the rules intact.
class CSourceListModel final : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit CSourceListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces every row with the paths, sorted, all unticked.
    void SetPaths(std::vector<std::string> paths);
    int Count() const { return static_cast<int>(rows_.size()); }
    int TickedCount() const { return ticked_; }
    const std::string& Path(int row) const { return rows_[static_cast<size_t>(row)].path; }
    bool IsTicked(int row) const { return rows_[static_cast<size_t>(row)].ticked; }

    // Ticks or unticks one row; false when it already was so.
    bool SetTicked(int row, bool ticked);
    // Ticks or unticks every row, or flips every row, with one change report.
    void SetAllTicked(bool ticked);
    void InvertAll();

  signals:
    // A single row changed through the check box or SetTicked.
    void RowTickChanged(int row, bool ticked);

  private:
    struct Row {
        std::string path;
        bool ticked = false;
    };
    void ReportAllChanged();

    std::vector<Row> rows_;
    int ticked_ = 0;
};

// The preview list: new names in ascending byte order.
class CPreviewModel final : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit CPreviewModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void SetNames(std::vector<std::string> names);
    void Clear();
    int Count() const { return static_cast<int>(names_.size()); }
    const std::string& Name(int row) const { return names_[static_cast<size_t>(row)]; }

  private:
    std::vector<std::string> names_;
};

}  // namespace quorvan
