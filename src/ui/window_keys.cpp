#include "ui/window_keys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcutEvent>

namespace quorvan {
namespace {

class CEnterKeyFilter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Passed on unhandled to the window, which ignores it too.
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

class CMnemonicPreference final : public QObject {
  public:
    CMnemonicPreference(QAbstractButton* windowButton, QAbstractButton* pageButton)
        : QObject(pageButton), windowButton_(windowButton), pageButton_(pageButton) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Qt only moves the focus on an ambiguous mnemonic; press instead.
        if (event->type() == QEvent::Shortcut &&
            static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            QAbstractButton* chosen =
                pageButton_->isVisible() && pageButton_->isEnabled() ? pageButton_ : windowButton_;
            if (chosen->isVisible() && chosen->isEnabled()) {
                chosen->animateClick();
            }
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QAbstractButton* windowButton_;
    QAbstractButton* pageButton_;
};

}  // namespace

void KeepEnterFromButtons(QWidget* window) {
    auto* filter = new CEnterKeyFilter(window);
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        // A focused auto-default button would otherwise become the default
        // and take Exit's look.
        button->setAutoDefault(false);
        button->installEventFilter(filter);
    }
}

void PreferPageMnemonic(QAbstractButton* windowButton, QAbstractButton* pageButton) {
    auto* preference = new CMnemonicPreference(windowButton, pageButton);
    windowButton->installEventFilter(preference);
    pageButton->installEventFilter(preference);
}

}  // namespace quorvan
