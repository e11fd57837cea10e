#pragma once

#include <QWidget>
#include <map>

namespace quorvan {

// The main window's controls by number, so that tests and the parts of the
// window kept in other files reach them without a member each.
class CWindowControls final {
  public:
    void Bind(int id, QWidget* widget) { controls_[id] = widget; }
    QWidget* Control(int id) const {
        auto it = controls_.find(id);
        return it == controls_.end() ? nullptr : it->second;
    }
    template <class T>
    T* ControlAs(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    void SetEnabled(int id, bool enabled) {
        if (QWidget* widget = Control(id)) {
            widget->setEnabled(enabled);
        }
    }

  private:
    std::map<int, QWidget*> controls_;
};

}  // namespace quorvan
