#pragma once

#include <QByteArray>
#include <QSize>
#include <string>

namespace quorvan {

// The smallest size of a window that is laid out for `compact` but has to fit
// `available` (the free area of its screen), never below what its layout
// cannot do without (`needed`). Where one side does not fit, the window
// scrolls that way, and the other side gets room for the scroll bar
// (`scrollBar` wide) as far as the screen allows.
QSize SmallestWindowSize(QSize compact, QSize needed, QSize available, int scrollBar);

// Window sizes and positions (QWidget::saveGeometry), kept in the per-user
// state folder, never in a settings file. Failures are silent: a window
// without a stored geometry opens at its own size.
class CWindowGeometryStore final {
  public:
    // In the state folder of the counters.
    CWindowGeometryStore();
    explicit CWindowGeometryStore(std::string folder);

    // Empty when nothing is stored for `window`.
    QByteArray Load(const std::string& window) const;
    bool Save(const std::string& window, const QByteArray& geometry);

  private:
    std::string folder_;
};

}  // namespace quorvan
