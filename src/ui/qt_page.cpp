#include "ui/qt_page.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>

namespace quorvan {

QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

CCheckList::CCheckList(QWidget* parent) : QListWidget(parent) {
    setSortingEnabled(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void CCheckList::AddUnique(const QString& text) {
    // MatchFixedString without MatchCaseSensitive ignores letter case.
    if (!findItems(text, Qt::MatchFixedString).isEmpty()) {
        return;
    }
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    addItem(item);
}

QStringList CCheckList::CheckedTexts() const {
    QStringList texts;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->checkState() == Qt::Checked) {
            texts << item(i)->text();
        }
    }
    return texts;
}

void CWidgetControls::Bind(int id, QWidget* widget) {
    controls_[id] = widget;
}

QWidget* CWidgetControls::Control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

CCheckList* CWidgetControls::List(int id) const {
    return ControlAs<CCheckList>(id);
}

bool CWidgetControls::IsChecked(int id) const {
    auto* button = ControlAs<QAbstractButton>(id);
    return button != nullptr && button->isChecked();
}

void CWidgetControls::SetChecked(int id, bool checked) {
    if (auto* button = ControlAs<QAbstractButton>(id)) {
        button->setChecked(checked);
    }
}

bool CWidgetControls::IsEnabled(int id) const {
    QWidget* widget = Control(id);
    return widget != nullptr && widget->isEnabledTo(owner_);
}

void CWidgetControls::SetEnabled(int id, bool enabled) {
    if (QWidget* widget = Control(id)) {
        widget->setEnabled(enabled);
    }
}

void CWidgetControls::EnableAll(std::initializer_list<int> ids, bool on) {
    for (int id : ids) {
        SetEnabled(id, on);
    }
}

std::string CWidgetControls::Text(int id) const {
    if (auto* edit = ControlAs<QLineEdit>(id)) {
        return FromQt(edit->text());
    }
    if (auto* label = ControlAs<QLabel>(id)) {
        return FromQt(label->text());
    }
    if (auto* button = ControlAs<QAbstractButton>(id)) {
        return FromQt(button->text());
    }
    return {};
}

void CWidgetControls::SetText(int id, const std::string& text) {
    if (auto* edit = ControlAs<QLineEdit>(id)) {
        edit->setText(ToQt(text));
    } else if (auto* label = ControlAs<QLabel>(id)) {
        label->setText(ToQt(text));
    }
}

LocalDateTime CWidgetControls::DateTime(int id) const {
    LocalDateTime value;
    if (auto* edit = ControlAs<QDateTimeEdit>(id)) {
        const QDateTime dt = edit->dateTime();
        value.year = dt.date().year();
        value.month = dt.date().month();
        value.day = dt.date().day();
        value.hour = dt.time().hour();
        value.minute = dt.time().minute();
        value.second = dt.time().second();
    }
    return value;
}

void CWidgetControls::SetDateTime(int id, const LocalDateTime& value) {
    auto* edit = ControlAs<QDateTimeEdit>(id);
    const QDate date(value.year, value.month, value.day);
    const QTime time(value.hour, value.minute, value.second);
    if (edit == nullptr || !date.isValid() || !time.isValid()) {
        return;
    }
    // The value is a wall-clock reading: build it in the edit's own time zone
    // (UTC for Qt's date and time edits), so that nothing converts it.
    QDateTime shown = edit->dateTime();
    shown.setDate(date);
    shown.setTime(time);
    edit->setDateTime(shown);
}

int CWidgetControls::Selection(int id) const {
    auto* combo = ControlAs<QComboBox>(id);
    return combo == nullptr ? -1 : combo->currentIndex();
}

void CWidgetControls::SetSelection(int id, int index) {
    if (auto* combo = ControlAs<QComboBox>(id)) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

int CWidgetControls::RowCount(int id) const {
    auto* list = List(id);
    return list == nullptr ? 0 : list->count();
}

std::string CWidgetControls::RowText(int id, int row, int) const {
    auto* list = List(id);
    if (list == nullptr || row < 0 || row >= list->count()) {
        return {};
    }
    return FromQt(list->item(row)->text());
}

bool CWidgetControls::IsRowChecked(int id, int row) const {
    auto* list = List(id);
    return list != nullptr && row >= 0 && row < list->count() &&
           list->item(row)->checkState() == Qt::Checked;
}

void CWidgetControls::SetRowChecked(int id, int row, bool checked) {
    auto* list = List(id);
    if (list != nullptr && row >= 0 && row < list->count()) {
        list->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

void CWidgetControls::ClearRows(int id) {
    if (auto* list = List(id)) {
        list->clear();
    }
}

void CWidgetControls::AddUniqueRow(int id, const std::string& text) {
    if (auto* list = List(id)) {
        list->AddUnique(ToQt(text));
    }
}

QButtonGroup* CQtPage::MakeOptionGroup(std::initializer_list<int> ids) {
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (int id : ids) {
        if (auto* button = ControlAs<QAbstractButton>(id)) {
            group->addButton(button);
        }
    }
    return group;
}

}  // namespace quorvan
