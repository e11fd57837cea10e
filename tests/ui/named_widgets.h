#pragma once

// The controls of a page found by their object names, read and driven as a
// user would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <set>
#include <string>
#include <vector>

#include "common/local_time.h"
#include "ui/page_widgets.h"
#include "ui/qt_text.h"

namespace quorvan::test {

template <class W = QWidget>
W* On(const QWidget* page, const char* name) {
    W* widget = page->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

inline void Click(const QWidget* page, const char* name) {
    if (auto* button = On<QAbstractButton>(page, name)) {
        button->click();
    }
}

inline bool IsChecked(const QWidget* page, const char* name) {
    auto* button = On<QAbstractButton>(page, name);
    return button != nullptr && button->isChecked();
}

inline bool IsEnabled(const QWidget* page, const char* name) {
    QWidget* widget = On(page, name);
    return widget != nullptr && widget->isEnabledTo(page->window());
}

// The text of an edit box, a label or a button.
inline std::string Text(const QWidget* page, const char* name) {
    QWidget* widget = On(page, name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return FromQt(edit->text());
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return FromQt(label->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return FromQt(button->text());
    }
    return {};
}

inline void SetText(const QWidget* page, const char* name, const std::string& text) {
    if (auto* edit = On<QLineEdit>(page, name)) {
        edit->setText(ToQt(text));
    }
}

inline LocalDateTime Picked(const QWidget* page, const char* name) {
    auto* picker = On<QDateTimeEdit>(page, name);
    return picker == nullptr ? LocalDateTime{} : PickedTime(picker);
}

inline void Pick(const QWidget* page, const char* name, const LocalDateTime& value) {
    if (auto* picker = On<QDateTimeEdit>(page, name)) {
        ShowTime(picker, value);
    }
}

// The controls of `names` that are enabled.
inline std::set<std::string> Enabled(const QWidget* page, const std::vector<const char*>& names) {
    std::set<std::string> on;
    for (const char* name : names) {
        if (IsEnabled(page, name)) {
            on.insert(name);
        }
    }
    return on;
}

}  // namespace quorvan::test
