#pragma once

#include <QLabel>
#include <string>

namespace quorvan {

// A read-only field that shows a path, shortened in the middle with an
// ellipsis when it does not fit. It keeps the path's exact bytes.
class CPathLabel final : public QLabel {
    Q_OBJECT
  public:
    explicit CPathLabel(QWidget* parent = nullptr);

    void SetPath(const std::string& path);
    const std::string& Path() const { return path_; }

    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void UpdateShownText();

    std::string path_;
};

}  // namespace quorvan
