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
    // The whole text, as on one line.
    const QString& Count() const { return count_; }

    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QString Broken() const;
    void Fit();

    QString count_;
};

}  // namespace quorvan
