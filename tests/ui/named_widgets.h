#pragma once

// The controls of a page found by their object names, read and driven as a
// user would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>
#include <set>
#include <string>
#include <vector>

#include "common/local_time.h"
#include "ui/page_widgets.h"
#include "ui/qt_text.h"

namespace quorvan::test {

using Strings = std::vector<std::string>;

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

// Names written one after another, a space between each two.
inline std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    for (const QString& word : ToQt(text).split(' ', Qt::SkipEmptyParts)) {
        words.push_back(FromQt(word));
    }
    return words;
}

// The controls of `names` that are enabled.
inline std::set<std::string> Enabled(const QWidget* page, const std::vector<std::string>& names) {
    std::set<std::string> on;
    for (const std::string& name : names) {
        if (IsEnabled(page, name.c_str())) {
            on.insert(name);
        }
    }
    return on;
}

}  // namespace quorvan::test
