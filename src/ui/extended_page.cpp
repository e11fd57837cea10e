#include "ui/extended_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "rules/control_ids.h"
#include "ui/page_widgets.h"
#include "ui/user_dialogs.h"

namespace quorvan {

CExtendedSettingsDlg::CExtendedSettingsDlg(QWidget* parent) : CQtPage(parent) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 3), DluX(this, 4), DluY(this, 3));
    page->setSpacing(DluY(this, 2));
    const QMargins frameMargins(DluX(this, 6), DluY(this, 2), DluX(this, 6), DluY(this, 3));

    auto* names = new QGroupBox(tr("File Name Properties:"), this);
    auto* nameRows = new QGridLayout(names);
    nameRows->setContentsMargins(frameMargins);
    nameRows->setVerticalSpacing(DluY(this, 2));
    nameRows->addWidget(
        AddCheck(this, ids::kChangeExtension, tr("Change extension to:"),
                 tr("Changes the extension from the existing value to the specified value")),
        0, 0);
    nameRows->addWidget(AddEdit(this, ids::kNewExtension, 84), 0, 1);
    nameRows->addWidget(
        AddCheck(this, ids::kConcatExtension, tr("Append the following (after extension):"),
                 tr("Appends specified string to the end of the full file names")),
        1, 0, 1, 2);
    nameRows->addWidget(AddEdit(this, ids::kConcatText, 137), 1, 2);
    nameRows->setColumnStretch(3, 1);
    page->addWidget(names);

    auto* processing = new QGroupBox(tr("File Processing"), this);
    auto* switches = new QHBoxLayout(processing);
    switches->setContentsMargins(frameMargins);
    switches->addWidget(AddCheck(this, ids::kIncludeSubfolders, tr("Include subfolders"),
                                 tr("Process all files in current folder and subfolders")));
    switches->addStretch(1);
    switches->addWidget(AddCheck(this, ids::kGenerateLog, tr("Generate log file"),
                                 tr("Generates a log file of the renaming process")));
    switches->addStretch(1);
    switches->addWidget(AddCheck(this, ids::kGenerateUndo, tr("Generate \"Undo\" batch file"),
                                 tr("Generates a file that will undo rename actions")));
    switches->addStretch(2);
    page->addWidget(processing);

    auto* destination = new QGroupBox(tr("Rename File Destination:"), this);
    auto* choices = new QGridLayout(destination);
    choices->setContentsMargins(frameMargins);
    choices->setVerticalSpacing(DluY(this, 2));
    choices->addWidget(AddOption(this, ids::kRenameExisting, tr("Rename existing files"),
                                 tr("Renames files in their current location")),
                       0, 0, 1, 4);
    choices->addWidget(
        AddOption(this, ids::kCopyThenRename, tr("Copy then rename files (leaves original files):"),
                  tr("Copies the files to the destination location then performs rename")),
        1, 0, 1, 4);
    choices->setColumnMinimumWidth(0, DluX(this, 12));
    choices->addWidget(AddLabel(this, ids::kDestinationLabel, tr("Destination Folder:")), 2, 1);
    choices->addWidget(AddEdit(this, ids::kDestinationFolder, 192), 2, 2);
    auto* browse = new QPushButton(tr("&Browse..."), this);
    browse->setToolTip(tr("Browse to destination folder"));
    Bind(ids::kDestinationBrowse, browse);
    choices->addWidget(browse, 2, 3);
    choices->setColumnStretch(2, 1);
    page->addWidget(destination);
    page->addStretch(1);

    MakeOptionGroup({ids::kRenameExisting, ids::kCopyThenRename});
    SetChecked(ids::kRenameExisting, true);
    EnableEach(this,
               {ids::kNewExtension, ids::kConcatText, ids::kDestinationLabel,
                ids::kDestinationFolder, ids::kDestinationBrowse},
               false);

    FollowOnClick(this, ids::kChangeExtension, {ids::kNewExtension});
    FollowOnClick(this, ids::kConcatExtension, {ids::kConcatText});
    for (int id : {ids::kRenameExisting, ids::kCopyThenRename}) {
        connect(ControlAs<QAbstractButton>(id), &QAbstractButton::clicked, this,
                &CExtendedSettingsDlg::OnDestinationChoice);
    }
    connect(ControlAs<QAbstractButton>(ids::kIncludeSubfolders), &QAbstractButton::clicked, this,
            [this](bool checked) {
                if (subfolderHandler_) {
                    subfolderHandler_(checked);
                }
            });
    connect(browse, &QPushButton::clicked, this, &CExtendedSettingsDlg::OnBrowse);
}

void CExtendedSettingsDlg::SetSubfolderHandler(std::function<void(bool checked)> handler) {
    subfolderHandler_ = std::move(handler);
}

void CExtendedSettingsDlg::OnDestinationChoice() {
    EnableEach(this, {ids::kDestinationLabel, ids::kDestinationFolder, ids::kDestinationBrowse},
               IsChecked(ids::kCopyThenRename));
}

void CExtendedSettingsDlg::OnBrowse() {
    const QString folder = Dialogs().ChooseFolder(this, tr("Choose Source Folder"),
                                                  StartFolderFor(Text(ids::kDestinationFolder)));
    if (!folder.isEmpty()) {
        SetText(ids::kDestinationFolder, FromQt(folder));
    }
}

}  // namespace quorvan
