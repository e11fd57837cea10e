#include "ui/pages/rename_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/page_widgets.h"
#include "ui/qt_text.h"

namespace quorvan {
namespace {

const char* const kPrefixTip = QT_TRANSLATE_NOOP("quorvan::CRenameSettingsDlg",
                                                 "Specifies the prefix to add to the file names");
const char* const kSuffixTip =
    QT_TRANSLATE_NOOP("quorvan::CRenameSettingsDlg",
                      "Specifies the suffix to add to the file names (before the extension)");

}  // namespace

CRenameSettingsDlg::CRenameSettingsDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("renamePage"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 2), DluX(this, 4), DluY(this, 2));
    page->setSpacing(DluY(this, 2));

    textMode_ = MakeOption(this, "textModificationsRadioButton", tr("Text Modifications:"),
                           tr("Enables textual modifications"));
    BuildTextFrame(AddHeadedFrame(this, page, textMode_));
    sequencing_ = MakeOption(this, "sequencingRadioButton", tr("Sequencing:"),
                             tr("Enables numeric sequencing modifications"));
    BuildSequenceFrame(AddHeadedFrame(this, page, sequencing_));
    page->addStretch(1);

    MakeOptionGroup(this, {textMode_, sequencing_});
    caseGroup_ = MakeOptionGroup(this, {upperCase_, lowerCase_});
    placementGroup_ = MakeOptionGroup(this, {sequencePrefix_, sequenceSuffix_, sequenceReplace_});
    MakeOptionGroup(this, {numericSequence_, alphaSequence_});

    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        connect(button, &QAbstractButton::toggled, this, &CRenameSettingsDlg::UpdateControls);
    }
    SetState(RenamePageState{});
}

void CRenameSettingsDlg::BuildTextFrame(QWidget* frame) {
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(DluX(this, 6), DluY(this, 2), DluX(this, 6), DluY(this, 2));
    grid->setVerticalSpacing(DluY(this, 1));

    addPrefix_ = MakeCheck(this, "addPrefixCheckBox", tr("Add Prefix:"), tr(kPrefixTip));
    prefix_ = MakeEdit(this, "prefixLineEdit", 84);
    addSuffix_ = MakeCheck(this, "addSuffixCheckBox", tr("Add Suffix:"), tr(kSuffixTip));
    suffix_ = MakeEdit(this, "suffixLineEdit", 84);
    changeCase_ = MakeCheck(this, "changeCaseCheckBox", tr("Change case:"),
                            tr("Changes the case of the file names to either upper or lower case"));
    upperCase_ = MakeOption(this, "upperCaseRadioButton", tr("UPPERCASE"));
    lowerCase_ = MakeOption(this, "lowerCaseRadioButton", tr("lowercase"));
    grid->addWidget(addPrefix_, 0, 0);
    grid->addWidget(prefix_, 0, 1);
    grid->addWidget(addSuffix_, 1, 0);
    grid->addWidget(suffix_, 1, 1);
    grid->addWidget(changeCase_, 2, 0);
    auto* cases = new QHBoxLayout;
    cases->addWidget(upperCase_);
    cases->addWidget(lowerCase_);
    cases->addStretch(1);
    grid->addLayout(cases, 2, 1, 1, 2);

    replaceString_ =
        MakeCheck(this, "replaceStringCheckBox", tr("Replace String:"),
                  tr("Replaces instances of one string with another within the file names"));
    searchText_ = MakeEdit(this, "searchTextLineEdit", 128);
    withLabel_ = MakeLabel(this, "withLabel", tr("with:"), true);
    replaceText_ = MakeEdit(this, "replaceTextLineEdit", 128);
    caseNote_ = MakeLabel(this, "caseNoteLabel", tr("This search and replace is case sensitive"));
    grid->addWidget(replaceString_, 0, 2);
    grid->addWidget(searchText_, 0, 3);
    grid->addWidget(withLabel_, 1, 2);
    grid->addWidget(replaceText_, 1, 3);
    grid->addWidget(caseNote_, 2, 3);

    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 3);
    grid->setColumnMinimumWidth(2, DluX(this, 8));
}

void CRenameSettingsDlg::BuildSequenceFrame(QWidget* frame) {
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(DluX(this, 6), DluY(this, 2), DluX(this, 6), DluY(this, 2));
    grid->setVerticalSpacing(DluY(this, 1));

    sequencePrefix_ =
        MakeOption(this, "sequencePrefixRadioButton", tr("Sequence is a prefix"),
                   tr("Specifies that the sequence is placed at the start of the file names"));
    sequenceSuffix_ =
        MakeOption(this, "sequenceSuffixRadioButton", tr("Sequence is a suffix"),
                   tr("Specifies that the sequence is placed at the end of the file names "
                      "(before the extension)"));
    sequenceReplace_ =
        MakeOption(this, "sequenceReplaceRadioButton", tr("Sequence replaces original file name"),
                   tr("Replaces the file names with the sequences"));
    grid->addWidget(sequencePrefix_, 0, 0, 1, 2);
    grid->addWidget(sequenceSuffix_, 0, 2, 1, 2);
    grid->addWidget(sequenceReplace_, 0, 4, 1, 2);

    numericSequence_ =
        MakeOption(this, "numericSequenceRadioButton", tr("Numeric Sequence:"),
                   tr("Specifies that the sequencing should be numeric (1, 2, 3, etc...)"));
    alphaSequence_ =
        MakeOption(this, "alphaSequenceRadioButton", tr("Alpha Sequence:"),
                   tr("Specifies that the sequencing should be alpha-based (A, B, C, etc...)"));
    grid->addWidget(numericSequence_, 1, 2, 1, 2);
    grid->addWidget(alphaSequence_, 1, 4, 1, 2);

    seqAddPrefix_ = MakeCheck(this, "seqAddPrefixCheckBox", tr("Add Prefix:"), tr(kPrefixTip));
    seqPrefix_ = MakeEdit(this, "seqPrefixLineEdit", 49);
    seqAddSuffix_ = MakeCheck(this, "seqAddSuffixCheckBox", tr("Add Suffix:"), tr(kSuffixTip));
    seqSuffix_ = MakeEdit(this, "seqSuffixLineEdit", 49);
    grid->addWidget(seqAddPrefix_, 2, 0);
    grid->addWidget(seqPrefix_, 2, 1);
    grid->addWidget(seqAddSuffix_, 3, 0);
    grid->addWidget(seqSuffix_, 3, 1);

    numericStartLabel_ = MakeLabel(this, "numericStartLabel", tr("Start with:"), true);
    numericStart_ = MakeEdit(this, "numericStartLineEdit", 57);
    digitsLabel_ = MakeLabel(this, "digitsLabel", tr("Digits:"), true);
    digits_ = MakeEdit(this, "digitsLineEdit", 57);
    alphaStartLabel_ = MakeLabel(this, "alphaStartLabel", tr("Start with:"), true);
    alphaStart_ = MakeEdit(this, "alphaStartLineEdit", 57);
    charactersLabel_ = MakeLabel(this, "charactersLabel", tr("Characters:"), true);
    characters_ = MakeEdit(this, "charactersLineEdit", 57);
    grid->addWidget(numericStartLabel_, 2, 2);
    grid->addWidget(numericStart_, 2, 3);
    grid->addWidget(digitsLabel_, 3, 2);
    grid->addWidget(digits_, 3, 3);
    grid->addWidget(alphaStartLabel_, 2, 4);
    grid->addWidget(alphaStart_, 2, 5);
    grid->addWidget(charactersLabel_, 3, 4);
    grid->addWidget(characters_, 3, 5);

    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
}

RenamePageState CRenameSettingsDlg::State() const {
    RenamePageState s;
    s.textMode = textMode_->isChecked();
    s.addPrefix = addPrefix_->isChecked();
    s.prefix = FromQt(prefix_->text());
    s.addSuffix = addSuffix_->isChecked();
    s.suffix = FromQt(suffix_->text());
    s.changeCase = changeCase_->isChecked();
    s.caseChoice = upperCase_->isChecked()   ? CaseChoice::Upper
                   : lowerCase_->isChecked() ? CaseChoice::Lower
                                             : CaseChoice::None;
    s.replaceString = replaceString_->isChecked();
    s.searchText = FromQt(searchText_->text());
    s.replaceText = FromQt(replaceText_->text());
    s.placement = sequencePrefix_->isChecked()    ? 0
                  : sequenceSuffix_->isChecked()  ? 2
                  : sequenceReplace_->isChecked() ? 1
                                                  : 3;
    s.numericSequence = numericSequence_->isChecked();
    s.numericStart = FromQt(numericStart_->text());
    s.digits = FromQt(digits_->text());
    s.alphaStart = FromQt(alphaStart_->text());
    s.characters = FromQt(characters_->text());
    s.seqAddPrefix = seqAddPrefix_->isChecked();
    s.seqPrefix = FromQt(seqPrefix_->text());
    s.seqAddSuffix = seqAddSuffix_->isChecked();
    s.seqSuffix = FromQt(seqSuffix_->text());
    return s;
}

void CRenameSettingsDlg::SetState(const RenamePageState& s) {
    (s.textMode ? textMode_ : sequencing_)->setChecked(true);
    addPrefix_->setChecked(s.addPrefix);
    ShowText(prefix_, s.prefix);
    addSuffix_->setChecked(s.addSuffix);
    ShowText(suffix_, s.suffix);
    changeCase_->setChecked(s.changeCase);
    SelectOption(caseGroup_, s.caseChoice == CaseChoice::Upper   ? upperCase_
                             : s.caseChoice == CaseChoice::Lower ? lowerCase_
                                                                 : nullptr);
    replaceString_->setChecked(s.replaceString);
    ShowText(searchText_, s.searchText);
    ShowText(replaceText_, s.replaceText);
    QRadioButton* const placements[] = {sequencePrefix_, sequenceReplace_, sequenceSuffix_};
    SelectOption(placementGroup_,
                 s.placement >= 0 && s.placement <= 2 ? placements[s.placement] : nullptr);
    (s.numericSequence ? numericSequence_ : alphaSequence_)->setChecked(true);
    ShowText(numericStart_, s.numericStart);
    ShowText(digits_, s.digits);
    ShowText(alphaStart_, s.alphaStart);
    ShowText(characters_, s.characters);
    seqAddPrefix_->setChecked(s.seqAddPrefix);
    ShowText(seqPrefix_, s.seqPrefix);
    seqAddSuffix_->setChecked(s.seqAddSuffix);
    ShowText(seqSuffix_, s.seqSuffix);
    UpdateControls();
}

void CRenameSettingsDlg::UpdateControls() {
    const RenamePageEnabled on = EnabledControls(State());
    EnableAll({addPrefix_, addSuffix_, changeCase_, replaceString_}, on.textBoxes);
    prefix_->setEnabled(on.prefix);
    suffix_->setEnabled(on.suffix);
    EnableAll({upperCase_, lowerCase_}, on.caseOptions);
    EnableAll({searchText_, withLabel_, replaceText_, caseNote_}, on.replaceFields);
    EnableAll({sequencePrefix_, sequenceSuffix_, sequenceReplace_, numericSequence_, alphaSequence_,
               seqAddPrefix_, seqAddSuffix_},
              on.sequenceChoices);
    EnableAll({numericStartLabel_, numericStart_, digitsLabel_, digits_}, on.numericFields);
    EnableAll({alphaStartLabel_, alphaStart_, charactersLabel_, characters_}, on.alphaFields);
    seqPrefix_->setEnabled(on.seqPrefix);
    seqSuffix_->setEnabled(on.seqSuffix);
}

}  // namespace quorvan
