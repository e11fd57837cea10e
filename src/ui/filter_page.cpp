#include "ui/filter_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "rules/control_ids.h"
#include "ui/page_widgets.h"

namespace quorvan {
namespace {

struct TimeRule {
    int check;
    const char* text;
    int date;
    int time;
    int comparison;
};

constexpr TimeRule kTimeRules[] = {
    {ids::kFilterCreation,
     QT_TRANSLATE_NOOP("quorvan::CFilterSettingsDlg", "Filter on Creation Date/Time:"),
     ids::kFilterCreationDate, ids::kFilterCreationTime, ids::kFilterCreationDir},
    {ids::kFilterModified,
     QT_TRANSLATE_NOOP("quorvan::CFilterSettingsDlg", "Filter on Modified Date/Time:"),
     ids::kFilterModifiedDate, ids::kFilterModifiedTime, ids::kFilterModifiedDir},
    {ids::kFilterLastAccessed,
     QT_TRANSLATE_NOOP("quorvan::CFilterSettingsDlg", "Filter on Last Accessed Date/Time:"),
     ids::kFilterLastAccessedDate, ids::kFilterLastAccessedTime, ids::kFilterLastAccessedDir},
};

const std::vector<int> kAttributeControls = {ids::kFilterInclude,  ids::kFilterExclude,
                                             ids::kFilterReadOnly, ids::kFilterHidden,
                                             ids::kFilterSystem,   ids::kFilterArchive};

}  // namespace

CFilterSettingsDlg::CFilterSettingsDlg(QWidget* parent) : CQtPage(parent) {
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 3), DluX(this, 4), DluY(this, 3));
    page->setSpacing(DluX(this, 4));

    auto* left = new QVBoxLayout;
    left->setSpacing(DluY(this, 2));
    BuildAttributeFrame(
        AddHeadedFrame(this, left,
                       AddCheck(this, ids::kFilterOnAttributes, tr("Filter on Attributes:"),
                                tr("Enables filtering on file attributes"))));
    left->addSpacing(DluY(this, 2));
    BuildTimeFrame(AddHeadedFrame(this, left,
                                  AddCheck(this, ids::kFilterOnTimes, tr("Filter on Times:"),
                                           tr("Enables filtering on file dates and times"))));
    left->addStretch(1);
    page->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setSpacing(DluY(this, 2));
    BuildExtensionFrame(
        AddHeadedFrame(this, right,
                       AddCheck(this, ids::kFilterOnExtensions, tr("Filter on File Extensions:"),
                                tr("Enables filtering on file extensions"))));
    page->addLayout(right, 1);

    MakeOptionGroup({ids::kFilterInclude, ids::kFilterExclude});
    SetChecked(ids::kFilterInclude, true);
    EnableEach(this, kAttributeControls, false);
    for (const TimeRule& rule : kTimeRules) {
        EnableEach(this, {rule.check, rule.date, rule.time, rule.comparison}, false);
    }
    EnableEach(this,
               {ids::kFilterIncludeExtensions, ids::kFilterIncludeList,
                ids::kFilterExcludeExtensions, ids::kFilterExcludeList},
               false);

    FollowOnClick(this, ids::kFilterOnAttributes, kAttributeControls);
    connect(ControlAs<QAbstractButton>(ids::kFilterOnTimes), &QAbstractButton::clicked, this,
            &CFilterSettingsDlg::OnFilterOnTimes);
    for (const TimeRule& rule : kTimeRules) {
        connect(ControlAs<QAbstractButton>(rule.check), &QAbstractButton::clicked, this,
                [this, check = rule.check] { OnTimeRule(check); });
    }
    connect(ControlAs<QAbstractButton>(ids::kFilterOnExtensions), &QAbstractButton::clicked, this,
            &CFilterSettingsDlg::OnFilterOnExtensions);
    FollowOnClick(this, ids::kFilterIncludeExtensions, {ids::kFilterIncludeList});
    FollowOnClick(this, ids::kFilterExcludeExtensions, {ids::kFilterExcludeList});
}

void CFilterSettingsDlg::BuildAttributeFrame(QWidget* frame) {
    auto* rows = new QVBoxLayout(frame);
    rows->setContentsMargins(DluX(this, 6), DluY(this, 2), DluX(this, 6), DluY(this, 2));
    rows->setSpacing(DluY(this, 1));
    rows->addWidget(AddOption(
        this, ids::kFilterInclude, tr("Include files with the following attribute settings:"),
        tr("Specifies attributes that files must match to be included in the renaming")));
    rows->addWidget(AddOption(
        this, ids::kFilterExclude, tr("Exclude files with the following attribute settings:"),
        tr("Specifies attributes for files that should be excluded from the renaming")));
    auto* boxes = new QHBoxLayout;
    boxes->addSpacing(DluX(this, 10));
    boxes->addWidget(AddCheck(this, ids::kFilterReadOnly, tr("Read-only")));
    boxes->addWidget(AddCheck(this, ids::kFilterHidden, tr("Hidden")));
    boxes->addWidget(AddCheck(this, ids::kFilterSystem, tr("System")));
    boxes->addWidget(AddCheck(this, ids::kFilterArchive, tr("Archive")));
    boxes->addStretch(1);
    rows->addLayout(boxes);
}

void CFilterSettingsDlg::BuildTimeFrame(QWidget* frame) {
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(DluX(this, 4), DluY(this, 2), DluX(this, 4), DluY(this, 2));
    grid->setHorizontalSpacing(DluX(this, 3));
    grid->setVerticalSpacing(DluY(this, 2));
    int row = 0;
    for (const TimeRule& rule : kTimeRules) {
        grid->addWidget(AddCheck(this, rule.check, tr(rule.text)), row, 0);
        grid->addWidget(AddDatePicker(this, rule.date), row, 1);
        grid->addWidget(AddTimePicker(this, rule.time), row, 2);
        grid->addWidget(AddComparison(this, rule.comparison), row, 3);
        ++row;
    }
    grid->setColumnStretch(4, 1);
}

void CFilterSettingsDlg::BuildExtensionFrame(QWidget* frame) {
    auto* rows = new QVBoxLayout(frame);
    rows->setContentsMargins(DluX(this, 4), DluY(this, 2), DluX(this, 4), DluY(this, 3));
    rows->setSpacing(DluY(this, 1));
    const std::pair<int, int> lists[] = {{ids::kFilterIncludeExtensions, ids::kFilterIncludeList},
                                         {ids::kFilterExcludeExtensions, ids::kFilterExcludeList}};
    for (const auto& [box, id] : lists) {
        const bool include = box == ids::kFilterIncludeExtensions;
        rows->addWidget(AddCheck(
            this, box, include ? tr("Include:") : tr("Exclude:"),
            include ? tr("Specifies which file extensions should be included in renaming")
                    : tr("Specifies which file extensions should be excluded from renaming")));
        auto* list = new CCheckList(this);
        // The list grows with the page; only its least size is asked for.
        list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        list->setMinimumSize(DluX(this, 80), DluY(this, 32));
        Bind(id, list);
        rows->addWidget(list, 1);
    }
}

void CFilterSettingsDlg::AddIncludeExtension(const std::string& pattern) {
    AddUniqueRow(ids::kFilterIncludeList, pattern);
}

void CFilterSettingsDlg::AddExcludeExtension(const std::string& pattern) {
    AddUniqueRow(ids::kFilterExcludeList, pattern);
}

void CFilterSettingsDlg::ClearIncludeExtensions() {
    ClearRows(ids::kFilterIncludeList);
}

void CFilterSettingsDlg::ClearExcludeExtensions() {
    ClearRows(ids::kFilterExcludeList);
}

void CFilterSettingsDlg::OnFilterOnTimes() {
    const bool on = IsChecked(ids::kFilterOnTimes);
    for (const TimeRule& rule : kTimeRules) {
        EnableEach(this, {rule.check}, on);
        EnableEach(this, {rule.date, rule.time, rule.comparison}, on && IsChecked(rule.check));
    }
}

void CFilterSettingsDlg::OnTimeRule(int check) {
    for (const TimeRule& rule : kTimeRules) {
        if (rule.check != check) {
            continue;
        }
        const bool on = IsChecked(rule.check);
        EnableEach(this, {rule.date, rule.time, rule.comparison}, on);
        if (on) {
            // A freshly ticked rule has no comparison: it passes every file
            // until the user picks one.
            SetSelection(rule.comparison, -1);
        }
    }
}

void CFilterSettingsDlg::OnFilterOnExtensions() {
    const bool on = IsChecked(ids::kFilterOnExtensions);
    EnableEach(this, {ids::kFilterIncludeExtensions, ids::kFilterExcludeExtensions}, on);
    EnableEach(this, {ids::kFilterIncludeList}, on && IsChecked(ids::kFilterIncludeExtensions));
    EnableEach(this, {ids::kFilterExcludeList}, on && IsChecked(ids::kFilterExcludeExtensions));
}

}  // namespace quorvan
