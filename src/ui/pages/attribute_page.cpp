#include "ui/pages/attribute_page.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "ui/page_widgets.h"

namespace quorvan {
namespace {

struct GroupText {
    const char* box;
    const char* date;
    const char* time;
    const char* label;
};

constexpr GroupText kGroups[] = {
    {"creationDateTimeCheckBox", "creationDateEdit", "creationTimeEdit",
     QT_TRANSLATE_NOOP("quorvan::CAttributeSettingsDlg", "File Creation Date/Time:")},
    {"modifiedDateTimeCheckBox", "modifiedDateEdit", "modifiedTimeEdit",
     QT_TRANSLATE_NOOP("quorvan::CAttributeSettingsDlg", "File Modified Date/Time:")},
    {"lastAccessedDateTimeCheckBox", "lastAccessedDateEdit", "lastAccessedTimeEdit",
     QT_TRANSLATE_NOOP("quorvan::CAttributeSettingsDlg", "File Last Accessed:")},
};

// The state's groups in the order of the page's.
constexpr DateTimePick AttributePageState::*kPicks[] = {&AttributePageState::creation,
                                                        &AttributePageState::modified,
                                                        &AttributePageState::lastAccessed};

}  // namespace

CAttributeSettingsDlg::CAttributeSettingsDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("attributePage"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 3), DluX(this, 4), DluY(this, 3));
    page->setSpacing(DluY(this, 2));
    const QMargins frameMargins(DluX(this, 6), DluY(this, 3), DluX(this, 6), DluY(this, 3));

    modifyAttributes_ = MakeCheck(this, "modifyAttributesCheckBox", tr("Modify attributes:"),
                                  tr("Modifies file attribute settings"));
    auto* attributes = new QGridLayout(AddHeadedFrame(this, page, modifyAttributes_));
    attributes->setContentsMargins(frameMargins);
    attributes->setVerticalSpacing(DluY(this, 2));
    attributes->setHorizontalSpacing(DluX(this, 24));
    readOnly_ = MakeCheck(this, "readOnlyCheckBox", tr("Read-only"));
    hidden_ = MakeCheck(this, "hiddenCheckBox", tr("Hidden"));
    system_ = MakeCheck(this, "systemCheckBox", tr("System"));
    archive_ = MakeCheck(this, "archiveCheckBox", tr("Archive"));
    attributes->addWidget(readOnly_, 0, 0);
    attributes->addWidget(hidden_, 1, 0);
    attributes->addWidget(system_, 0, 1);
    attributes->addWidget(archive_, 1, 1);
    attributes->setColumnStretch(2, 1);

    page->addSpacing(DluY(this, 4));
    modifyDateTime_ = MakeCheck(this, "modifyDateTimeCheckBox", tr("Modify Date/Time:"),
                                tr("Modifies file date and time settings"));
    auto* times = new QGridLayout(AddHeadedFrame(this, page, modifyDateTime_));
    times->setContentsMargins(frameMargins);
    times->setVerticalSpacing(DluY(this, 2));
    for (int row = 0; row < 3; ++row) {
        const GroupText& text = kGroups[row];
        Group& group = groups_[static_cast<size_t>(row)];
        group = {MakeCheck(this, text.box, tr(text.label)), MakeDatePicker(this, text.date),
                 MakeTimePicker(this, text.time)};
        times->addWidget(group.box, row, 0);
        times->addWidget(group.date, row, 1);
        times->addWidget(group.time, row, 2);
    }
    times->setColumnStretch(3, 1);
    page->addStretch(1);

    // The box keeps its meaning in settings files; the user learns here that
    // this system leaves the date alone.
    groups_[0].box->setToolTip(
        tr("Linux cannot set a file's creation time: files keep the one they have"));
    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        connect(box, &QCheckBox::toggled, this, &CAttributeSettingsDlg::UpdateControls);
    }
    SetState(AttributePageState{});
}

AttributePageState CAttributeSettingsDlg::State() const {
    AttributePageState s;
    s.modifyAttributes = modifyAttributes_->isChecked();
    s.readOnly = readOnly_->isChecked();
    s.hidden = hidden_->isChecked();
    s.system = system_->isChecked();
    s.archive = archive_->isChecked();
    s.modifyDateTime = modifyDateTime_->isChecked();
    for (size_t i = 0; i < groups_.size(); ++i) {
        s.*kPicks[i] = {groups_[i].box->isChecked(), PickedTime(groups_[i].date),
                        PickedTime(groups_[i].time)};
    }
    return s;
}

void CAttributeSettingsDlg::SetState(const AttributePageState& s) {
    modifyAttributes_->setChecked(s.modifyAttributes);
    readOnly_->setChecked(s.readOnly);
    hidden_->setChecked(s.hidden);
    system_->setChecked(s.system);
    archive_->setChecked(s.archive);
    modifyDateTime_->setChecked(s.modifyDateTime);
    for (size_t i = 0; i < groups_.size(); ++i) {
        const DateTimePick& pick = s.*kPicks[i];
        groups_[i].box->setChecked(pick.on);
        ShowTime(groups_[i].date, pick.date);
        ShowTime(groups_[i].time, pick.time);
    }
    UpdateControls();
}

void CAttributeSettingsDlg::UpdateControls() {
    const AttributePageEnabled on = EnabledControls(State());
    EnableAll({readOnly_, hidden_, system_, archive_}, on.attributeBoxes);
    for (size_t i = 0; i < groups_.size(); ++i) {
        groups_[i].box->setEnabled(on.groupBoxes);
        EnableAll({groups_[i].date, groups_[i].time}, on.pickers[i]);
    }
}

}  // namespace quorvan
