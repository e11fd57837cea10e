#include "ui/attribute_page.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "rules/control_ids.h"
#include "ui/page_widgets.h"

namespace quorvan {
namespace {

struct DateTimeGroup {
    int check;
    const char* text;
    int date;
    int time;
};

constexpr DateTimeGroup kGroups[] = {
    {ids::kCreationDateTime,
     QT_TRANSLATE_NOOP("quorvan::CAttributeSettingsDlg", "File Creation Date/Time:"),
     ids::kCreationDate, ids::kCreationTime},
    {ids::kModifiedDateTime,
     QT_TRANSLATE_NOOP("quorvan::CAttributeSettingsDlg", "File Modified Date/Time:"),
     ids::kModifiedDate, ids::kModifiedTime},
    {ids::kLastAccessedDateTime,
     QT_TRANSLATE_NOOP("quorvan::CAttributeSettingsDlg", "File Last Accessed:"),
     ids::kLastAccessedDate, ids::kLastAccessedTime},
};

}  // namespace

CAttributeSettingsDlg::CAttributeSettingsDlg(QWidget* parent) : CQtPage(parent) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 3), DluX(this, 4), DluY(this, 3));
    page->setSpacing(DluY(this, 2));
    const QMargins frameMargins(DluX(this, 6), DluY(this, 3), DluX(this, 6), DluY(this, 3));

    auto* modifyAttributes = AddCheck(this, ids::kModifyAttributes, tr("Modify attributes:"),
                                      tr("Modifies file attribute settings"));
    auto* attributes = new QGridLayout(AddHeadedFrame(this, page, modifyAttributes));
    attributes->setContentsMargins(frameMargins);
    attributes->setVerticalSpacing(DluY(this, 2));
    attributes->setHorizontalSpacing(DluX(this, 24));
    attributes->addWidget(AddCheck(this, ids::kReadOnly, tr("Read-only")), 0, 0);
    attributes->addWidget(AddCheck(this, ids::kHidden, tr("Hidden")), 1, 0);
    attributes->addWidget(AddCheck(this, ids::kSystem, tr("System")), 0, 1);
    attributes->addWidget(AddCheck(this, ids::kArchive, tr("Archive")), 1, 1);
    attributes->setColumnStretch(2, 1);

    page->addSpacing(DluY(this, 4));
    auto* modifyDateTime = AddCheck(this, ids::kModifyDateTime, tr("Modify Date/Time:"),
                                    tr("Modifies file date and time settings"));
    auto* times = new QGridLayout(AddHeadedFrame(this, page, modifyDateTime));
    times->setContentsMargins(frameMargins);
    times->setVerticalSpacing(DluY(this, 2));
    int row = 0;
    for (const DateTimeGroup& group : kGroups) {
        times->addWidget(AddCheck(this, group.check, tr(group.text)), row, 0);
        times->addWidget(AddDatePicker(this, group.date), row, 1);
        times->addWidget(AddTimePicker(this, group.time), row, 2);
        ++row;
    }
    times->setColumnStretch(3, 1);
    page->addStretch(1);

    EnableEach(this, {ids::kReadOnly, ids::kHidden, ids::kSystem, ids::kArchive}, false);
    for (const DateTimeGroup& group : kGroups) {
        EnableEach(this, {group.check, group.date, group.time}, false);
        FollowOnClick(this, group.check, {group.date, group.time});
    }
    // The box keeps its meaning in settings files; the user learns here that
    // this system leaves the date alone.
    Control(ids::kCreationDateTime)
        ->setToolTip(tr("Linux cannot set a file's creation time: files keep the one they have"));
    FollowOnClick(this, ids::kModifyAttributes,
                  {ids::kReadOnly, ids::kHidden, ids::kSystem, ids::kArchive});
    connect(modifyDateTime, &QCheckBox::clicked, this, &CAttributeSettingsDlg::OnModifyDateTime);
}

void CAttributeSettingsDlg::OnModifyDateTime() {
    const bool on = IsChecked(ids::kModifyDateTime);
    for (const DateTimeGroup& group : kGroups) {
        EnableEach(this, {group.check}, on);
        EnableEach(this, {group.date, group.time}, on && IsChecked(group.check));
    }
}

}  // namespace quorvan
