#include "ui/pages/filter_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

#include "ui/page_widgets.h"
#include "ui/qt_text.h"

namespace quorvan {
namespace {

struct TimeRuleText {
    const char* name;  // the start of its widgets' object names
    const char* text;
};

constexpr TimeRuleText kTimeRules[] = {
    {"filterCreation",
     QT_TRANSLATE_NOOP("quorvan::CFilterSettingsDlg", "Filter on Creation Date/Time:")},
    {"filterModified",
     QT_TRANSLATE_NOOP("quorvan::CFilterSettingsDlg", "Filter on Modified Date/Time:")},
    {"filterLastAccessed",
     QT_TRANSLATE_NOOP("quorvan::CFilterSettingsDlg", "Filter on Last Accessed Date/Time:")},
};

LocalDateTime DayShown(const QDateEdit* picker) {
    const QDate d = picker->date();
    return {d.year(), d.month(), d.day(), 0, 0, 0};
}

LocalDateTime TimeShown(const QTimeEdit* picker) {
    const QTime t = picker->time();
    LocalDateTime time;
    time.hour = t.hour();
    time.minute = t.minute();
    time.second = t.second();
    return time;
}

// A value that names no real day or time leaves the picker as it is.
void ShowDay(QDateEdit* picker, const LocalDateTime& value) {
    const QDate date(value.year, value.month, value.day);
    if (date.isValid()) {
        picker->setDate(date);
    }
}

void ShowTime(QTimeEdit* picker, const LocalDateTime& value) {
    const QTime time(value.hour, value.minute, value.second);
    if (time.isValid()) {
        picker->setTime(time);
    }
}

std::vector<ExtensionRow> RowsShown(const QListWidget* list) {
    std::vector<ExtensionRow> rows;
    rows.reserve(static_cast<size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        rows.push_back({FromQt(item->text()), item->checkState() == Qt::Checked});
    }
    return rows;
}

// The rows in the state's order. The same patterns again only change ticks,
// so a settings load's ticks do not rebuild a long list.
void ShowRows(QListWidget* list, const std::vector<ExtensionRow>& rows) {
    bool same = list->count() == static_cast<int>(rows.size());
    for (int i = 0; same && i < list->count(); ++i) {
        same = list->item(i)->text() == ToQt(rows[static_cast<size_t>(i)].pattern);
    }
    if (!same) {
        list->clear();
        for (const ExtensionRow& row : rows) {
            auto* item = new QListWidgetItem(ToQt(row.pattern));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            list->addItem(item);
        }
    }
    for (int i = 0; i < list->count(); ++i) {
        const Qt::CheckState tick =
            rows[static_cast<size_t>(i)].ticked ? Qt::Checked : Qt::Unchecked;
        if (list->item(i)->checkState() != tick) {
            list->item(i)->setCheckState(tick);
        }
    }
}

}  // namespace

CFilterSettingsDlg::CFilterSettingsDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("filterPage"));
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 3), DluX(this, 4), DluY(this, 3));
    page->setSpacing(DluX(this, 4));

    auto* left = new QVBoxLayout;
    left->setSpacing(DluY(this, 2));
    onAttributes_ = MakeCheck(this, "filterOnAttributesCheckBox", tr("Filter on Attributes:"),
                              tr("Enables filtering on file attributes"));
    BuildAttributeFrame(AddHeadedFrame(this, left, onAttributes_));
    left->addSpacing(DluY(this, 2));
    onTimes_ = MakeCheck(this, "filterOnTimesCheckBox", tr("Filter on Times:"),
                         tr("Enables filtering on file dates and times"));
    BuildTimeFrame(AddHeadedFrame(this, left, onTimes_));
    left->addStretch(1);
    page->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setSpacing(DluY(this, 2));
    onExtensions_ = MakeCheck(this, "filterOnExtensionsCheckBox", tr("Filter on File Extensions:"),
                              tr("Enables filtering on file extensions"));
    BuildExtensionFrame(AddHeadedFrame(this, right, onExtensions_));
    page->addLayout(right, 1);

    auto* options = new QButtonGroup(this);
    options->addButton(includeAttributes_);
    options->addButton(excludeAttributes_);
    includeAttributes_->setChecked(true);

    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        connect(box, &QCheckBox::toggled, this, &CFilterSettingsDlg::UpdateControls);
    }
    // A freshly ticked rule has no comparison: it passes every file until the
    // user picks one.
    for (const TimeRuleWidgets& rule : {creation_, modified_, lastAccessed_}) {
        connect(rule.box, &QCheckBox::clicked, this, [combo = rule.comparison](bool ticked) {
            if (ticked) {
                combo->setCurrentIndex(-1);
            }
        });
    }
    UpdateControls();
}

void CFilterSettingsDlg::BuildAttributeFrame(QWidget* frame) {
    auto* rows = new QVBoxLayout(frame);
    rows->setContentsMargins(DluX(this, 6), DluY(this, 2), DluX(this, 6), DluY(this, 2));
    rows->setSpacing(DluY(this, 1));
    includeAttributes_ =
        Named(new QRadioButton(tr("Include files with the following attribute settings:"), this),
              QStringLiteral("filterIncludeAttributesRadioButton"),
              tr("Specifies attributes that files must match to be included in the renaming"));
    excludeAttributes_ =
        Named(new QRadioButton(tr("Exclude files with the following attribute settings:"), this),
              QStringLiteral("filterExcludeAttributesRadioButton"),
              tr("Specifies attributes for files that should be excluded from the renaming"));
    rows->addWidget(includeAttributes_);
    rows->addWidget(excludeAttributes_);
    auto* boxes = new QHBoxLayout;
    boxes->addSpacing(DluX(this, 10));
    readOnly_ = MakeCheck(this, "filterReadOnlyCheckBox", tr("Read-only"));
    hidden_ = MakeCheck(this, "filterHiddenCheckBox", tr("Hidden"));
    system_ = MakeCheck(this, "filterSystemCheckBox", tr("System"));
    archive_ = MakeCheck(this, "filterArchiveCheckBox", tr("Archive"));
    for (QCheckBox* box : {readOnly_, hidden_, system_, archive_}) {
        boxes->addWidget(box);
    }
    boxes->addStretch(1);
    rows->addLayout(boxes);
}

void CFilterSettingsDlg::BuildTimeFrame(QWidget* frame) {
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(DluX(this, 4), DluY(this, 2), DluX(this, 4), DluY(this, 2));
    grid->setHorizontalSpacing(DluX(this, 3));
    grid->setVerticalSpacing(DluY(this, 2));
    TimeRuleWidgets* widgets[] = {&creation_, &modified_, &lastAccessed_};
    for (int row = 0; row < 3; ++row) {
        const QString name = QString::fromLatin1(kTimeRules[row].name);
        TimeRuleWidgets& rule = *widgets[row];
        rule.box = Named(new QCheckBox(tr(kTimeRules[row].text), this), name + "CheckBox");
        rule.date = Named(MakeDatePicker(this), name + "DateEdit");
        rule.time = Named(MakeTimePicker(this), name + "TimeEdit");
        rule.comparison = Named(MakeComparison(this), name + "ComboBox");
        grid->addWidget(rule.box, row, 0);
        grid->addWidget(rule.date, row, 1);
        grid->addWidget(rule.time, row, 2);
        grid->addWidget(rule.comparison, row, 3);
    }
    grid->setColumnStretch(4, 1);
}

void CFilterSettingsDlg::BuildExtensionFrame(QWidget* frame) {
    auto* rows = new QVBoxLayout(frame);
    rows->setContentsMargins(DluX(this, 4), DluY(this, 2), DluX(this, 4), DluY(this, 3));
    rows->setSpacing(DluY(this, 1));
    for (const bool include : {true, false}) {
        QCheckBox* box = MakeCheck(
            this, include ? "filterIncludeExtensionsCheckBox" : "filterExcludeExtensionsCheckBox",
            include ? tr("Include:") : tr("Exclude:"),
            include ? tr("Specifies which file extensions should be included in renaming")
                    : tr("Specifies which file extensions should be excluded from renaming"));
        auto* list =
            Named(new QListWidget(this), include ? QStringLiteral("filterIncludeListWidget")
                                                 : QStringLiteral("filterExcludeListWidget"));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true);
        // The list grows with the page; only its least size is asked for.
        list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        list->setMinimumSize(DluX(this, 80), DluY(this, 32));
        rows->addWidget(box);
        rows->addWidget(list, 1);
        (include ? includeExtensions_ : excludeExtensions_) = box;
        (include ? includeList_ : excludeList_) = list;
    }
}

FilterPageState CFilterSettingsDlg::Boxes() const {
    FilterPageState s;
    s.onAttributes = onAttributes_->isChecked();
    s.includeAttributes = includeAttributes_->isChecked();
    s.readOnly = readOnly_->isChecked();
    s.hidden = hidden_->isChecked();
    s.system = system_->isChecked();
    s.archive = archive_->isChecked();
    s.onTimes = onTimes_->isChecked();
    const std::pair<const TimeRuleWidgets*, TimeRulePageState*> rules[] = {
        {&creation_, &s.creation}, {&modified_, &s.modified}, {&lastAccessed_, &s.lastAccessed}};
    for (const auto& [widgets, rule] : rules) {
        rule->on = widgets->box->isChecked();
        rule->date = DayShown(widgets->date);
        rule->time = TimeShown(widgets->time);
        const int chosen = widgets->comparison->currentIndex();
        rule->comparison =
            chosen >= 0 && chosen <= 2 ? static_cast<TimeComparison>(chosen) : TimeComparison::None;
    }
    s.onExtensions = onExtensions_->isChecked();
    s.includeExtensions = includeExtensions_->isChecked();
    s.excludeExtensions = excludeExtensions_->isChecked();
    return s;
}

FilterPageState CFilterSettingsDlg::State() const {
    FilterPageState s = Boxes();
    s.includeList = RowsShown(includeList_);
    s.excludeList = RowsShown(excludeList_);
    return s;
}

void CFilterSettingsDlg::SetState(const FilterPageState& s) {
    onAttributes_->setChecked(s.onAttributes);
    (s.includeAttributes ? includeAttributes_ : excludeAttributes_)->setChecked(true);
    readOnly_->setChecked(s.readOnly);
    hidden_->setChecked(s.hidden);
    system_->setChecked(s.system);
    archive_->setChecked(s.archive);
    onTimes_->setChecked(s.onTimes);
    const std::pair<const TimeRuleWidgets*, const TimeRulePageState*> rules[] = {
        {&creation_, &s.creation}, {&modified_, &s.modified}, {&lastAccessed_, &s.lastAccessed}};
    for (const auto& [widgets, rule] : rules) {
        widgets->box->setChecked(rule->on);
        ShowDay(widgets->date, rule->date);
        ShowTime(widgets->time, rule->time);
        const auto chosen = static_cast<int32_t>(rule->comparison);
        widgets->comparison->setCurrentIndex(chosen >= 0 && chosen <= 2 ? chosen : -1);
    }
    onExtensions_->setChecked(s.onExtensions);
    includeExtensions_->setChecked(s.includeExtensions);
    excludeExtensions_->setChecked(s.excludeExtensions);
    ShowRows(includeList_, s.includeList);
    ShowRows(excludeList_, s.excludeList);
    UpdateControls();
}

void CFilterSettingsDlg::UpdateControls() {
    const FilterPageEnabled on = EnabledControls(Boxes());
    EnableAll({includeAttributes_, excludeAttributes_, readOnly_, hidden_, system_, archive_},
              on.attributeFields);
    const std::pair<const TimeRuleWidgets*, bool> rules[] = {
        {&creation_, on.creationFields},
        {&modified_, on.modifiedFields},
        {&lastAccessed_, on.lastAccessedFields}};
    for (const auto& [rule, fields] : rules) {
        rule->box->setEnabled(on.timeRuleBoxes);
        EnableAll({rule->date, rule->time, rule->comparison}, fields);
    }
    includeExtensions_->setEnabled(on.extensionBoxes);
    excludeExtensions_->setEnabled(on.extensionBoxes);
    includeList_->setEnabled(on.includeList);
    excludeList_->setEnabled(on.excludeList);
}

}  // namespace quorvan
