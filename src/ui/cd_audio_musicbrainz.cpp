// The CD Audio page's "Look up in:" choice and its Get names from MusicBrainz.
#include "ui/cd_audio_musicbrainz.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

#include "cdaudio/get_names.h"
#include "ui/page_widgets.h"
#include "ui/pages/cd_audio_page.h"
#include "ui/qt_text.h"
#include "ui/release_choice_dlg.h"
#include "ui/user_dialogs.h"
#include "ui/wait_cursor.h"

namespace quorvan {

CMusicBrainzClient& CMusicBrainzLookups::ClientFor(const std::string& baseUrl) {
    if (!client_ || baseUrl != baseUrl_) {
        baseUrl_ = baseUrl;
        client_ = std::make_unique<CMusicBrainzClient>(baseUrl, fetcher_, clock_);
    }
    return *client_;
}

void CCDDBSettingsDlg::AddLookupChoice(QHBoxLayout* row) {
    auto* label = new QLabel(tr("Loo&k up in:"), this);
    sourceBox_ = new QComboBox(this);
    sourceBox_->setObjectName("lookupSourceBox");
    sourceBox_->addItem(tr("CDDB server"), static_cast<int>(CdLookupSource::Cddb));
    sourceBox_->addItem(tr("MusicBrainz"), static_cast<int>(CdLookupSource::MusicBrainz));
    sourceBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    sourceBox_->setToolTip(tr("Where Get names looks the disc up"));
    label->setBuddy(sourceBox_);
    sourceBox_->setCurrentIndex(CLookupSourceStore().Load() == CdLookupSource::MusicBrainz ? 1 : 0);
    connect(sourceBox_, &QComboBox::currentIndexChanged, this,
            [this] { CLookupSourceStore().Save(LookupSource()); });
    row->addWidget(label);
    row->addWidget(sourceBox_);
    row->addSpacing(DluX(this, 6));
}

CdLookupSource CCDDBSettingsDlg::LookupSource() const {
    return sourceBox_->currentData().toInt() == static_cast<int>(CdLookupSource::MusicBrainz)
               ? CdLookupSource::MusicBrainz
               : CdLookupSource::Cddb;
}

void CCDDBSettingsDlg::SetLookupSource(CdLookupSource source) {
    sourceBox_->setCurrentIndex(source == CdLookupSource::MusicBrainz ? 1 : 0);
}

void CCDDBSettingsDlg::GetMusicBrainzNames(const std::string& drive) {
    auto fail = [this](const std::string& message, const std::string& details = {}) {
        Dialogs().Message(this, QMessageBox::Critical, ToQt(kErrorCaption), ToQt(message),
                          QMessageBox::Ok, ToQt(details));
    };
    std::string baseUrl, error;
    if (!EffectiveMusicBrainzUrl(baseUrl, error)) {
        fail(error);
        return;
    }
    if (!musicBrainz_) {
        musicBrainz_ = std::make_unique<CMusicBrainzLookups>();
    }
    MusicBrainzNamesResult result;
    {
        CWaitCursor wait;
        result = quorvan::GetMusicBrainzNames(musicBrainz_->ClientFor(baseUrl), drive);
    }
    if (!result.ok) {
        fail(result.message, result.details);
        return;
    }
    if (result.releases.size() > 1) {
        CReleaseChoiceDlg dialog(result.releases, this);
        if (Dialogs().Exec(dialog) != QDialog::Accepted || dialog.Chosen() < 0) {
            return;  // the lists stay as they were
        }
        std::string message;
        if (!TitlesOfRelease(result.releases[static_cast<size_t>(dialog.Chosen())], result.table,
                             result.titles, message)) {
            fail(message);
            return;
        }
    }
    titles_->SetTitles(std::move(result.titles));
}

}  // namespace quorvan
