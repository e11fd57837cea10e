#pragma once

#include <QLabel>

namespace quorvan {

// A count beside a list caption, such as "(46 files in preview, 3 cannot be
// renamed)". Where one line does not fit, it breaks after its commas onto
// more lines instead of widening the window.
class CCountLabel final : public QLabel {
    Q_OBJECT
  public:
    explicit CCountLabel(const QString& text, QWidget* parent = nullptr);

    void SetCount(const QString& text);
    // The longest count it will show: its lines are kept free at every
    // width, so that a longer count never pushes what is below it down.
    void SetLongest(const QString& text);
    // The whole text, as on one line.
    const QString& Count() const { return count_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QString Broken(const QString& text) const;
    // The height of the longest count as it would be shown at this width.
    int ReservedHeight() const;
    void Fit();

    QString count_;
    QString longest_;
    int reservedLines_ = 1;
};

}  // namespace quorvan
