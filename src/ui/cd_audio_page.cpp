#include "ui/cd_audio_page.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "rules/control_ids.h"

namespace quorvan {

CCDDBSettingsDlg::CCDDBSettingsDlg(QWidget* parent) : CQtPage(parent) {
    auto* layout = new QVBoxLayout(this);
    renameCdAudio_ = new QCheckBox(tr("Rename CD Audio Files"), this);
    // Naming from a disc's track titles is not available in this build.
    renameCdAudio_->setEnabled(false);
    layout->addWidget(renameCdAudio_);
    layout->addStretch();
    Bind(ids::kRenameCdAudio, renameCdAudio_);
}

bool CCDDBSettingsDlg::RenameCdAudio() const {
    return renameCdAudio_->isChecked();
}

}  // namespace quorvan
