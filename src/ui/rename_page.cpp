#include "ui/rename_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "rules/control_ids.h"
#include "ui/page_widgets.h"

namespace quorvan {
namespace {

const char* const kPrefixTip = QT_TRANSLATE_NOOP("quorvan::CRenameSettingsDlg",
                                                 "Specifies the prefix to add to the file names");
const char* const kSuffixTip =
    QT_TRANSLATE_NOOP("quorvan::CRenameSettingsDlg",
                      "Specifies the suffix to add to the file names (before the extension)");

// Every control of each mode; the mode options themselves stay usable.
const std::vector<int> kTextControls = {ids::kAddPrefix,   ids::kPrefix,        ids::kAddSuffix,
                                        ids::kSuffix,      ids::kChangeCase,    ids::kUpperCase,
                                        ids::kLowerCase,   ids::kReplaceString, ids::kSearchText,
                                        ids::kReplaceText, ids::kWithLabel,     ids::kCaseNote};
const std::vector<int> kSequenceControls = {
    ids::kSequencePrefix,    ids::kSequenceSuffix,  ids::kSequenceReplace, ids::kSeqAddPrefix,
    ids::kSeqPrefix,         ids::kSeqAddSuffix,    ids::kSeqSuffix,       ids::kNumericSequence,
    ids::kNumericStartLabel, ids::kNumericStart,    ids::kDigitsLabel,     ids::kDigits,
    ids::kAlphaSequence,     ids::kAlphaStartLabel, ids::kAlphaStart,      ids::kCharactersLabel,
    ids::kCharacters};

}  // namespace

CRenameSettingsDlg::CRenameSettingsDlg(QWidget* parent) : CQtPage(parent) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 2), DluX(this, 4), DluY(this, 2));
    page->setSpacing(DluY(this, 2));

    auto* textMode = AddOption(this, ids::kTextModifications, tr("Text Modifications:"),
                               tr("Enables textual modifications"));
    BuildTextFrame(AddHeadedFrame(this, page, textMode));
    auto* sequencing = AddOption(this, ids::kSequencing, tr("Sequencing:"),
                                 tr("Enables numeric sequencing modifications"));
    BuildSequenceFrame(AddHeadedFrame(this, page, sequencing));
    page->addStretch(1);

    MakeOptionGroup({ids::kTextModifications, ids::kSequencing});
    MakeOptionGroup({ids::kUpperCase, ids::kLowerCase});
    MakeOptionGroup({ids::kSequencePrefix, ids::kSequenceSuffix, ids::kSequenceReplace});
    MakeOptionGroup({ids::kNumericSequence, ids::kAlphaSequence});
    for (int id :
         {ids::kTextModifications, ids::kUpperCase, ids::kNumericSequence, ids::kSequencePrefix}) {
        SetChecked(id, true);
    }

    EnableEach(this, kSequenceControls, false);
    // The "with:" label starts enabled; it follows its box from the first click.
    EnableEach(this,
               {ids::kPrefix, ids::kSuffix, ids::kUpperCase, ids::kLowerCase, ids::kSearchText,
                ids::kReplaceText, ids::kCaseNote},
               false);
    ConnectHandlers();
}

void CRenameSettingsDlg::BuildTextFrame(QWidget* frame) {
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(DluX(this, 6), DluY(this, 2), DluX(this, 6), DluY(this, 2));
    grid->setVerticalSpacing(DluY(this, 1));

    grid->addWidget(AddCheck(this, ids::kAddPrefix, tr("Add Prefix:"), tr(kPrefixTip)), 0, 0);
    grid->addWidget(AddEdit(this, ids::kPrefix, 84), 0, 1);
    grid->addWidget(AddCheck(this, ids::kAddSuffix, tr("Add Suffix:"), tr(kSuffixTip)), 1, 0);
    grid->addWidget(AddEdit(this, ids::kSuffix, 84), 1, 1);
    grid->addWidget(
        AddCheck(this, ids::kChangeCase, tr("Change case:"),
                 tr("Changes the case of the file names to either upper or lower case")),
        2, 0);
    auto* cases = new QHBoxLayout;
    cases->addWidget(AddOption(this, ids::kUpperCase, tr("UPPERCASE")));
    cases->addWidget(AddOption(this, ids::kLowerCase, tr("lowercase")));
    cases->addStretch(1);
    grid->addLayout(cases, 2, 1, 1, 2);

    grid->addWidget(
        AddCheck(this, ids::kReplaceString, tr("Replace String:"),
                 tr("Replaces instances of one string with another within the file names")),
        0, 2);
    grid->addWidget(AddEdit(this, ids::kSearchText, 128), 0, 3);
    grid->addWidget(AddLabel(this, ids::kWithLabel, tr("with:"), true), 1, 2);
    grid->addWidget(AddEdit(this, ids::kReplaceText, 128), 1, 3);
    grid->addWidget(AddLabel(this, ids::kCaseNote, tr("This search and replace is case sensitive")),
                    2, 3);

    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 3);
    grid->setColumnMinimumWidth(2, DluX(this, 8));
}

void CRenameSettingsDlg::BuildSequenceFrame(QWidget* frame) {
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(DluX(this, 6), DluY(this, 2), DluX(this, 6), DluY(this, 2));
    grid->setVerticalSpacing(DluY(this, 1));

    grid->addWidget(
        AddOption(this, ids::kSequencePrefix, tr("Sequence is a prefix"),
                  tr("Specifies that the sequence is placed at the start of the file names")),
        0, 0, 1, 2);
    grid->addWidget(
        AddOption(this, ids::kSequenceSuffix, tr("Sequence is a suffix"),
                  tr("Specifies that the sequence is placed at the end of the file names "
                     "(before the extension)")),
        0, 2, 1, 2);
    grid->addWidget(
        AddOption(this, ids::kSequenceReplace, tr("Sequence replaces original file name"),
                  tr("Replaces the file names with the sequences")),
        0, 4, 1, 2);

    grid->addWidget(
        AddOption(this, ids::kNumericSequence, tr("Numeric Sequence:"),
                  tr("Specifies that the sequencing should be numeric (1, 2, 3, etc...)")),
        1, 2, 1, 2);
    grid->addWidget(
        AddOption(this, ids::kAlphaSequence, tr("Alpha Sequence:"),
                  tr("Specifies that the sequencing should be alpha-based (A, B, C, etc...)")),
        1, 4, 1, 2);

    grid->addWidget(AddCheck(this, ids::kSeqAddPrefix, tr("Add Prefix:"), tr(kPrefixTip)), 2, 0);
    grid->addWidget(AddEdit(this, ids::kSeqPrefix, 49), 2, 1);
    grid->addWidget(AddCheck(this, ids::kSeqAddSuffix, tr("Add Suffix:"), tr(kSuffixTip)), 3, 0);
    grid->addWidget(AddEdit(this, ids::kSeqSuffix, 49), 3, 1);

    grid->addWidget(AddLabel(this, ids::kNumericStartLabel, tr("Start with:"), true), 2, 2);
    grid->addWidget(AddEdit(this, ids::kNumericStart, 57), 2, 3);
    grid->addWidget(AddLabel(this, ids::kDigitsLabel, tr("Digits:"), true), 3, 2);
    grid->addWidget(AddEdit(this, ids::kDigits, 57), 3, 3);
    grid->addWidget(AddLabel(this, ids::kAlphaStartLabel, tr("Start with:"), true), 2, 4);
    grid->addWidget(AddEdit(this, ids::kAlphaStart, 57), 2, 5);
    grid->addWidget(AddLabel(this, ids::kCharactersLabel, tr("Characters:"), true), 3, 4);
    grid->addWidget(AddEdit(this, ids::kCharacters, 57), 3, 5);

    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
}

void CRenameSettingsDlg::ConnectHandlers() {
    auto onClick = [this](int id, void (CRenameSettingsDlg::*handler)()) {
        connect(ControlAs<QAbstractButton>(id), &QAbstractButton::clicked, this,
                [this, handler] { (this->*handler)(); });
    };
    onClick(ids::kTextModifications, &CRenameSettingsDlg::OnTextModifications);
    onClick(ids::kSequencing, &CRenameSettingsDlg::OnSequencing);
    onClick(ids::kNumericSequence, &CRenameSettingsDlg::OnSequenceKind);
    onClick(ids::kAlphaSequence, &CRenameSettingsDlg::OnSequenceKind);
    for (const auto& [head, followers] : Followers()) {
        FollowOnClick(this, head, followers);
    }
}

std::vector<std::pair<int, std::vector<int>>> CRenameSettingsDlg::Followers() {
    return {
        {ids::kAddPrefix, {ids::kPrefix}},
        {ids::kAddSuffix, {ids::kSuffix}},
        {ids::kChangeCase, {ids::kUpperCase, ids::kLowerCase}},
        {ids::kReplaceString,
         {ids::kSearchText, ids::kReplaceText, ids::kWithLabel, ids::kCaseNote}},
        {ids::kSeqAddPrefix, {ids::kSeqPrefix}},
        {ids::kSeqAddSuffix, {ids::kSeqSuffix}},
    };
}

void CRenameSettingsDlg::OnTextModifications() {
    EnableEach(this, kSequenceControls, false);
    EnableEach(this, {ids::kAddPrefix, ids::kAddSuffix, ids::kChangeCase, ids::kReplaceString},
               true);
    for (const auto& [head, followers] : Followers()) {
        if (head != ids::kSeqAddPrefix && head != ids::kSeqAddSuffix) {
            EnableEach(this, followers, IsChecked(head));
        }
    }
}

void CRenameSettingsDlg::OnSequencing() {
    EnableEach(this, kTextControls, false);
    EnableEach(this,
               {ids::kSequencePrefix, ids::kSequenceSuffix, ids::kSequenceReplace,
                ids::kNumericSequence, ids::kAlphaSequence, ids::kSeqAddPrefix, ids::kSeqAddSuffix},
               true);
    OnSequenceKind();
    EnableEach(this, {ids::kSeqPrefix}, IsChecked(ids::kSeqAddPrefix));
    EnableEach(this, {ids::kSeqSuffix}, IsChecked(ids::kSeqAddSuffix));
}

void CRenameSettingsDlg::OnSequenceKind() {
    EnableEach(this, {ids::kNumericStartLabel, ids::kNumericStart, ids::kDigitsLabel, ids::kDigits},
               IsChecked(ids::kNumericSequence));
    EnableEach(this,
               {ids::kAlphaStartLabel, ids::kAlphaStart, ids::kCharactersLabel, ids::kCharacters},
               IsChecked(ids::kAlphaSequence));
}

}  // namespace quorvan
