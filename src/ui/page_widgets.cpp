#include "ui/page_widgets.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimeEdit>
#include <QTreeView>
#include <cmath>
#include <limits>

#include "ui/qt_text.h"

namespace quorvan {
namespace {

double AverageCharWidth(const QWidget* widget) {
    static const QString kAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return widget->fontMetrics().horizontalAdvance(kAlphabet) / 52.0;
}

// The locale's short date, with the year in four digits: a two-digit year
// typed into the edit would otherwise land in the 1900s.
QString DateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) {
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    }
    return format;
}

// The locale's time with seconds (the rules compare to the second), without
// the time zone that the long format adds.
QString TimeFormat() {
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1Char('s'))) {
        return format;
    }
    format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return format.trimmed();
}

}  // namespace

int DluX(const QWidget* widget, int units) {
    return static_cast<int>(std::lround(units * AverageCharWidth(widget) / 4.0));
}

int DluY(const QWidget* widget, int units) {
    return static_cast<int>(std::lround(units * widget->fontMetrics().height() / 8.0));
}

QCheckBox* MakeCheck(QWidget* page, const char* name, const QString& text, const QString& tip) {
    return Named(new QCheckBox(text, page), name, tip);
}

QRadioButton* MakeOption(QWidget* page, const char* name, const QString& text, const QString& tip) {
    return Named(new QRadioButton(text, page), name, tip);
}

QLineEdit* MakeEdit(QWidget* page, const char* name, int widthDlu) {
    auto* edit = Named(new QLineEdit(page), name);
    // The page's own width, not Qt's roomy default, is the natural size; the
    // edit still takes what room the layout has to give.
    edit->setMinimumWidth(DluX(page, widthDlu));
    edit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // Free text of any length: a loaded setting must not be cut at Qt's 32767.
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

QLabel* MakeLabel(QWidget* page, const char* name, const QString& text, bool rightAligned) {
    auto* label = Named(new QLabel(text, page), name);
    if (rightAligned) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return label;
}

QDateEdit* MakeDatePicker(QWidget* page, const char* name) {
    return Named(MakeDatePicker(page), name);
}

QTimeEdit* MakeTimePicker(QWidget* page, const char* name) {
    return Named(MakeTimePicker(page), name);
}

void EnableAll(std::initializer_list<QWidget*> widgets, bool on) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(on);
    }
}

void ShowText(QLineEdit* edit, const std::string& text) {
    const QString shown = ToQt(text);
    if (edit->text() != shown) {
        edit->setText(shown);
    }
}

QButtonGroup* MakeOptionGroup(QWidget* page, std::initializer_list<QAbstractButton*> options) {
    auto* group = new QButtonGroup(page);
    group->setExclusive(true);
    for (QAbstractButton* option : options) {
        group->addButton(option);
    }
    return group;
}

void SelectOption(QButtonGroup* group, QAbstractButton* chosen) {
    if (chosen != nullptr) {
        chosen->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* option : group->buttons()) {
        option->setChecked(false);
    }
    group->setExclusive(true);
}

LocalDateTime PickedTime(const QDateTimeEdit* picker) {
    const QDateTime dt = picker->dateTime();
    return {dt.date().year(), dt.date().month(),  dt.date().day(),
            dt.time().hour(), dt.time().minute(), dt.time().second()};
}

void ShowTime(QDateTimeEdit* picker, const LocalDateTime& value) {
    const QDate date(value.year, value.month, value.day);
    const QTime time(value.hour, value.minute, value.second);
    if (!date.isValid() || !time.isValid()) {
        return;
    }
    // The value is a wall-clock reading: build it in the edit's own time zone
    // (UTC for Qt's date and time edits), so that nothing converts it.
    QDateTime shown = picker->dateTime();
    shown.setDate(date);
    shown.setTime(time);
    picker->setDateTime(shown);
}

QDateEdit* MakeDatePicker(QWidget* parent) {
    auto* picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setDisplayFormat(DateFormat());
    picker->setCalendarPopup(true);
    picker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return picker;
}

QTimeEdit* MakeTimePicker(QWidget* parent) {
    const QTime now = QTime::currentTime();
    auto* picker = new QTimeEdit(QTime(now.hour(), now.minute(), now.second()), parent);
    picker->setDisplayFormat(TimeFormat());
    picker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return picker;
}

QComboBox* MakeComparison(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->addItems({QCoreApplication::translate("quorvan::PageWidgets", "Before"),
                     QCoreApplication::translate("quorvan::PageWidgets", "On"),
                     QCoreApplication::translate("quorvan::PageWidgets", "After")});
    combo->setCurrentIndex(-1);
    return combo;
}

QGroupBox* AddHeadedFrame(QWidget* page, QBoxLayout* layout, QAbstractButton* head) {
    layout->addWidget(head);
    auto* row = new QHBoxLayout;
    row->addSpacing(DluX(page, 8));
    auto* frame = new QGroupBox(page);
    row->addWidget(frame);
    layout->addLayout(row);
    return frame;
}

QTreeView* MakeReportView(QWidget* parent) {
    auto* view = new QTreeView(parent);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    // Uniform rows keep lists of a hundred thousand rows quick.
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

}  // namespace quorvan
