#include "ui/pages/extended_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/page_widgets.h"
#include "ui/qt_text.h"
#include "ui/user_dialogs.h"

namespace quorvan {

CExtendedSettingsDlg::CExtendedSettingsDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("extendedPage"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 3), DluX(this, 4), DluY(this, 3));
    page->setSpacing(DluY(this, 2));
    const QMargins frameMargins(DluX(this, 6), DluY(this, 2), DluX(this, 6), DluY(this, 3));

    auto* names = new QGroupBox(tr("File Name Properties:"), this);
    auto* nameRows = new QGridLayout(names);
    nameRows->setContentsMargins(frameMargins);
    nameRows->setVerticalSpacing(DluY(this, 2));
    changeExtension_ =
        MakeCheck(this, "changeExtensionCheckBox", tr("Change extension to:"),
                  tr("Changes the extension from the existing value to the specified value"));
    newExtension_ = MakeEdit(this, "newExtensionLineEdit", 84);
    concatExtension_ =
        MakeCheck(this, "concatExtensionCheckBox", tr("Append the following (after extension):"),
                  tr("Appends specified string to the end of the full file names"));
    concatText_ = MakeEdit(this, "concatTextLineEdit", 137);
    nameRows->addWidget(changeExtension_, 0, 0);
    nameRows->addWidget(newExtension_, 0, 1);
    nameRows->addWidget(concatExtension_, 1, 0, 1, 2);
    nameRows->addWidget(concatText_, 1, 2);
    nameRows->setColumnStretch(3, 1);
    page->addWidget(names);

    auto* processing = new QGroupBox(tr("File Processing"), this);
    auto* switches = new QHBoxLayout(processing);
    switches->setContentsMargins(frameMargins);
    includeSubfolders_ = MakeCheck(this, "includeSubfoldersCheckBox", tr("Include subfolders"),
                                   tr("Process all files in current folder and subfolders"));
    generateLog_ = MakeCheck(this, "generateLogCheckBox", tr("Generate log file"),
                             tr("Generates a log file of the renaming process"));
    generateUndo_ = MakeCheck(this, "generateUndoCheckBox", tr("Generate \"Undo\" batch file"),
                              tr("Generates a file that will undo rename actions"));
    switches->addWidget(includeSubfolders_);
    switches->addStretch(1);
    switches->addWidget(generateLog_);
    switches->addStretch(1);
    switches->addWidget(generateUndo_);
    switches->addStretch(2);
    page->addWidget(processing);

    auto* destination = new QGroupBox(tr("Rename File Destination:"), this);
    auto* choices = new QGridLayout(destination);
    choices->setContentsMargins(frameMargins);
    choices->setVerticalSpacing(DluY(this, 2));
    renameExisting_ = MakeOption(this, "renameExistingRadioButton", tr("Rename existing files"),
                                 tr("Renames files in their current location"));
    copyThenRename_ = MakeOption(
        this, "copyThenRenameRadioButton", tr("Copy then rename files (leaves original files):"),
        tr("Copies the files to the destination location then performs rename"));
    destinationLabel_ = MakeLabel(this, "destinationLabel", tr("Destination Folder:"));
    destinationFolder_ = MakeEdit(this, "destinationFolderLineEdit", 192);
    browse_ = new QPushButton(tr("&Browse..."), this);
    browse_->setObjectName(QStringLiteral("destinationBrowseButton"));
    browse_->setToolTip(tr("Browse to destination folder"));
    choices->addWidget(renameExisting_, 0, 0, 1, 4);
    choices->addWidget(copyThenRename_, 1, 0, 1, 4);
    choices->setColumnMinimumWidth(0, DluX(this, 12));
    choices->addWidget(destinationLabel_, 2, 1);
    choices->addWidget(destinationFolder_, 2, 2);
    choices->addWidget(browse_, 2, 3);
    choices->setColumnStretch(2, 1);
    page->addWidget(destination);
    page->addStretch(1);

    MakeOptionGroup(this, {renameExisting_, copyThenRename_});
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(changeExtension_),
                                    static_cast<QAbstractButton*>(concatExtension_),
                                    static_cast<QAbstractButton*>(copyThenRename_)}) {
        connect(button, &QAbstractButton::toggled, this, &CExtendedSettingsDlg::UpdateControls);
    }
    // A click, not a loaded setting, changes the window's list.
    connect(includeSubfolders_, &QCheckBox::clicked, this, [this](bool checked) {
        if (subfolderHandler_) {
            subfolderHandler_(checked);
        }
    });
    connect(browse_, &QPushButton::clicked, this, &CExtendedSettingsDlg::OnBrowse);
    SetState(ExtendedPageState{});
}

ExtendedPageState CExtendedSettingsDlg::State() const {
    ExtendedPageState s;
    s.changeExtension = changeExtension_->isChecked();
    s.newExtension = FromQt(newExtension_->text());
    s.concatExtension = concatExtension_->isChecked();
    s.concatText = FromQt(concatText_->text());
    s.includeSubfolders = includeSubfolders_->isChecked();
    s.generateLog = generateLog_->isChecked();
    s.generateUndo = generateUndo_->isChecked();
    s.renameInPlace = renameExisting_->isChecked();
    s.destinationFolder = FromQt(destinationFolder_->text());
    return s;
}

void CExtendedSettingsDlg::SetState(const ExtendedPageState& s) {
    changeExtension_->setChecked(s.changeExtension);
    ShowText(newExtension_, s.newExtension);
    concatExtension_->setChecked(s.concatExtension);
    ShowText(concatText_, s.concatText);
    includeSubfolders_->setChecked(s.includeSubfolders);
    generateLog_->setChecked(s.generateLog);
    generateUndo_->setChecked(s.generateUndo);
    (s.renameInPlace ? renameExisting_ : copyThenRename_)->setChecked(true);
    ShowText(destinationFolder_, s.destinationFolder);
    UpdateControls();
}

void CExtendedSettingsDlg::SetSubfolderHandler(std::function<void(bool checked)> handler) {
    subfolderHandler_ = std::move(handler);
}

QAbstractButton* CExtendedSettingsDlg::IncludeSubfoldersBox() const {
    return includeSubfolders_;
}

void CExtendedSettingsDlg::UpdateControls() {
    const ExtendedPageEnabled on = EnabledControls(State());
    newExtension_->setEnabled(on.newExtension);
    concatText_->setEnabled(on.concatText);
    EnableAll({destinationLabel_, destinationFolder_, browse_}, on.destination);
}

void CExtendedSettingsDlg::OnBrowse() {
    const QString folder = Dialogs().ChooseFolder(
        this, tr("Choose Source Folder"), StartFolderFor(FromQt(destinationFolder_->text())));
    if (!folder.isEmpty()) {
        destinationFolder_->setText(folder);
    }
}

}  // namespace quorvan
