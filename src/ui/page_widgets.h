#pragma once

#include <QString>
#include <initializer_list>
#include <vector>

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

class CQtPage;

// Dialog units of the widget's font: a quarter of the average character width
// across, an eighth of the line height down. Page sizes are given in them.
int DluX(const QWidget* widget, int units);
int DluY(const QWidget* widget, int units);

// Controls of a settings page, created as children of the page and bound to
// their control numbers. `widthDlu` is the least width an edit box gets.
QCheckBox* AddCheck(CQtPage* page, int id, const QString& text, const QString& tip = {});
QRadioButton* AddOption(CQtPage* page, int id, const QString& text, const QString& tip = {});
QLineEdit* AddEdit(CQtPage* page, int id, int widthDlu);
QLabel* AddLabel(CQtPage* page, int id, const QString& text, bool rightAligned = false);
// Pickers start at the current date and time, text right-aligned.
QDateEdit* AddDatePicker(CQtPage* page, int id);
QTimeEdit* AddTimePicker(CQtPage* page, int id);
// "Before", "On", "After", with nothing chosen.
QComboBox* AddComparison(CQtPage* page, int id);

// Controls of a settings page, created as children of `page` and named (tests
// find them by name). `widthDlu` is the least width an edit box gets.
QCheckBox* MakeCheck(QWidget* page, const char* name, const QString& text,
                     const QString& tip = {});
QRadioButton* MakeOption(QWidget* page, const char* name, const QString& text,
                         const QString& tip = {});
QLineEdit* MakeEdit(QWidget* page, const char* name, int widthDlu);
QLabel* MakeLabel(QWidget* page, const char* name, const QString& text, bool rightAligned = false);
// Pickers start at the current date and time, text right-aligned.
QDateEdit* MakeDatePicker(QWidget* page, const char* name);
QTimeEdit* MakeTimePicker(QWidget* page, const char* name);

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

// When the check box or option `head` is clicked, each follower is enabled
// exactly when `head` is checked.
void FollowOnClick(CQtPage* page, int head, std::vector<int> followers);
// Enables each control exactly when `on` is true.
void EnableEach(CQtPage* page, const std::vector<int>& ids, bool on);

// A read-only list of rows with columns, one row selected at a time.
QTreeView* MakeReportView(QWidget* parent);

}  // namespace quorvan
