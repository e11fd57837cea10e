#pragma once

#include <QString>
#include <initializer_list>
#include <string>

#include "common/local_time.h"

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimeEdit;
class QTreeView;
class QWidget;

namespace quorvan {

// Dialog units of the widget's font: a quarter of the average character width
// across, an eighth of the line height down. Page sizes are given in them.
int DluX(const QWidget* widget, int units);
int DluY(const QWidget* widget, int units);

// Pickers start at the current date and time, text right-aligned; "Before",
// "On", "After", with nothing chosen.
QDateEdit* MakeDatePicker(QWidget* parent);
QTimeEdit* MakeTimePicker(QWidget* parent);
QComboBox* MakeComparison(QWidget* parent);

// A widget with its object name (tests find it by that) and its tool tip.
template <class W>
W* Named(W* widget, const QString& name, const QString& tip = {}) {
    widget->setObjectName(name);
    if (!tip.isEmpty()) {
        widget->setToolTip(tip);
    }
    return widget;
}

// Controls of a settings page, created as children of `page` and named (tests
// find them by name). `widthDlu` is the least width an edit box gets.
QCheckBox* MakeCheck(QWidget* page, const char* name, const QString& text, const QString& tip = {});
QRadioButton* MakeOption(QWidget* page, const char* name, const QString& text,
                         const QString& tip = {});
QLineEdit* MakeEdit(QWidget* page, const char* name, int widthDlu);
QLabel* MakeLabel(QWidget* page, const char* name, const QString& text, bool rightAligned = false);
// The pickers above, named.
QDateEdit* MakeDatePicker(QWidget* page, const char* name);
QTimeEdit* MakeTimePicker(QWidget* page, const char* name);

// Switches every one of `widgets` on or off.
void EnableAll(std::initializer_list<QWidget*> widgets, bool on);
// Shows `text` in an edit box, leaving a box that shows it already alone, so
// that nothing watching the box is woken for nothing.
void ShowText(QLineEdit* edit, const std::string& text);

// Option buttons that exclude each other.
QButtonGroup* MakeOptionGroup(QWidget* page, std::initializer_list<QAbstractButton*> options);
// Selects `chosen` in its group, or clears every option of the group when it
// is null: an exclusive group ignores a clear of its selected option.
void SelectOption(QButtonGroup* group, QAbstractButton* chosen);

// A picker's wall-clock value, and showing one (an invalid value changes
// nothing).
LocalDateTime PickedTime(const QDateTimeEdit* picker);
void ShowTime(QDateTimeEdit* picker, const LocalDateTime& value);

// A frame without a title, headed by the check box or option that switches it:
// the head stands above the frame's top left, the frame is indented below it.
// Returns the frame; its layout is the caller's.
QGroupBox* AddHeadedFrame(QWidget* page, QBoxLayout* layout, QAbstractButton* head);

// A read-only list of rows with columns, one row selected at a time.
QTreeView* MakeReportView(QWidget* parent);

}  // namespace quorvan
