#include "ui/pages/cd_audio_page.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_map>

#include "cdaudio/cddb_settings.h"
#include "cdaudio/get_names.h"
#include "ui/cd_audio_musicbrainz.h"
#include "ui/cddb_server_dlg.h"
#include "ui/core_texts.h"
#include "ui/page_widgets.h"
#include "ui/qt_text.h"
#include "ui/user_dialogs.h"
#include "ui/wait_cursor.h"

namespace quorvan {

namespace {

QPushButton* MakeButton(QWidget* page, const char* name, const QString& text, const QString& tip) {
    auto* button = Named(new QPushButton(text, page), name, tip);
    button->setAutoDefault(false);
    return button;
}

QTreeView* MakeReportList(QWidget* page, const char* name, QAbstractItemModel* model) {
    QTreeView* view = Named(MakeReportView(page), name);
    view->setModel(model);
    view->header()->setStretchLastSection(false);
    return view;
}

}  // namespace

CCDDBSettingsDlg::CCDDBSettingsDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("cdAudioPage"));
    tracks_ = new CSelectedTracksModel(this);
    titles_ = new CRetrievedTitlesModel(this);
    // A reset of the track list (after files were unticked) keeps the
    // selected file selected. The rows a view shows are stale by then, so the
    // selected file is remembered whenever the selection changes.
    connect(tracks_, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { resettingTracks_ = true; });

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 4), DluX(this, 4), DluY(this, 3));
    page->setSpacing(DluY(this, 3));

    auto* top = new QHBoxLayout;
    renameCdAudio_ = MakeCheck(this, "renameCdAudioCheckBox", tr("Rename CD Audio Files"),
                               tr("Check this box to enable the CD Audio renaming functionality"));
    top->addWidget(renameCdAudio_);
    top->addStretch(1);
    AddLookupChoice(top);
    auto* settings = new QPushButton(tr("&CDDB Settings..."), this);
    settings->setAutoDefault(false);
    settings->setToolTip(tr("Choose the CDDB server and the e-mail address sent to it"));
    top->addWidget(settings);
    page->addLayout(top);

    auto* commands = new QHBoxLayout;
    commands->setSpacing(DluX(this, 4));
    commands->addSpacing(DluX(this, 56));
    driveLabel_ = MakeLabel(this, "cdDriveLabel", tr("CD Drive:"), true);
    commands->addWidget(driveLabel_);
    driveBox_ = new QComboBox(this);
    driveBox_->setObjectName(QStringLiteral("cdDriveComboBox"));
    driveBox_->setToolTip(tr("List of CD-ROM drives available"));
    driveBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    driveBox_->setMinimumContentsLength(9);
    commands->addWidget(driveBox_);
    getNames_ = MakeButton(this, "getNamesButton", tr("&Get names"),
                           tr("Retrieve track names from Audio CD in selected drive"));
    commands->addWidget(getNames_);
    commands->addStretch(1);
    tracksSelectAll_ =
        MakeButton(this, "tracksSelectAllButton", tr("Select All"),
                   tr("Selects all the tracks in the retrieved internet track name list"));
    tracksDeselectAll_ =
        MakeButton(this, "tracksDeselectAllButton", tr("Deselect All"),
                   tr("Deselects all the tracks in the retrieved internet track name list"));
    tracksInvert_ = MakeButton(
        this, "tracksInvertButton", tr("Invert Selections"),
        tr("Inverts the selections of the tracks in the retrieved internet track name list"));
    for (QPushButton* button : {tracksSelectAll_, tracksDeselectAll_, tracksInvert_}) {
        commands->addWidget(button);
    }
    page->addLayout(commands);

    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(DluX(this, 3));
    lists->setVerticalSpacing(DluY(this, 1));
    selectedTracksLabel_ = MakeLabel(this, "selectedTracksLabel", tr("Selected tracks:"));
    retrievedNamesLabel_ = MakeLabel(this, "retrievedNamesLabel", tr("Retrieved track names:"));
    lists->addWidget(selectedTracksLabel_, 0, 1);
    lists->addWidget(retrievedNamesLabel_, 0, 2);

    auto* moves = new QVBoxLayout;
    moves->addStretch(1);
    moveUp_ = MakeButton(this, "moveUpButton", tr("Move &Up"),
                         tr("Move the selected source track up one entry in the list"));
    moveDown_ = MakeButton(this, "moveDownButton", tr("Move &Down"),
                           tr("Move the selected source track down one entry in the list"));
    moves->addWidget(moveUp_);
    moves->addWidget(moveDown_);
    moves->addStretch(1);
    lists->addLayout(moves, 1, 0);

    tracksView_ = MakeReportList(this, "selectedTracksView", tracks_);
    tracksView_->header()->resizeSection(0, 1024);
    lists->addWidget(tracksView_, 1, 1);
    // After the view's own handling of the reset, which clears its selection.
    connect(tracks_, &QAbstractItemModel::modelReset, this, [this] {
        resettingTracks_ = false;
        const int kept = tracks_->RowOf(keptSelection_);
        if (kept >= 0) {
            SelectTrack(kept);
        } else {
            keptSelection_ = -1;  // a later file in that row is another file
        }
    });
    connect(tracksView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (resettingTracks_) {
            return;
        }
        keptSelection_ = tracks_->SourceRowAt(SelectedTrack());
    });

    titlesView_ = MakeReportList(this, "retrievedNamesView", titles_);
    // Room for the check box beside a two-digit number.
    const int checkWidth = titlesView_->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    titlesView_->header()->resizeSection(
        0, std::max(40, checkWidth + titlesView_->fontMetrics().horizontalAdvance("000") +
                            DluX(this, 6)));
    titlesView_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    titlesView_->header()->resizeSection(2, 100);
    lists->addWidget(titlesView_, 1, 2);
    lists->setColumnStretch(1, 137);
    lists->setColumnStretch(2, 174);
    lists->setRowStretch(1, 1);

    auto* player = new QHBoxLayout;
    player->addSpacing(DluX(this, 20));
    play_ = MakeButton(this, "playButton", tr("Play"),
                       tr("Play the selected audio file from the source track list"));
    stop_ = MakeButton(this, "stopButton", tr("Stop"), tr("Stop playing selected audio file"));
    player->addWidget(play_);
    player->addWidget(stop_);
    player->addStretch(1);
    lists->addLayout(player, 2, 1);
    page->addLayout(lists, 1);

    connect(renameCdAudio_, &QCheckBox::clicked, this, &CCDDBSettingsDlg::OnRenameCdAudioClicked);
    connect(settings, &QPushButton::clicked, this, [this] { EditCddbSettings(); });
    connect(renameCdAudio_, &QCheckBox::toggled, this, &CCDDBSettingsDlg::UpdateControls);
    connect(getNames_, &QPushButton::clicked, this, &CCDDBSettingsDlg::GetNames);
    connect(moveUp_, &QPushButton::clicked, this, &CCDDBSettingsDlg::MoveUp);
    connect(moveDown_, &QPushButton::clicked, this, &CCDDBSettingsDlg::MoveDown);
    connect(tracksSelectAll_, &QPushButton::clicked, titles_, &CRetrievedTitlesModel::CheckAll);
    connect(tracksDeselectAll_, &QPushButton::clicked, titles_, &CRetrievedTitlesModel::UncheckAll);
    connect(tracksInvert_, &QPushButton::clicked, titles_, &CRetrievedTitlesModel::Invert);
    connect(play_, &QPushButton::clicked, this, &CCDDBSettingsDlg::Play);
    connect(stop_, &QPushButton::clicked, this, &CCDDBSettingsDlg::Stop);

    ListDrives();
    UpdateControls();
}

CCDDBSettingsDlg::~CCDDBSettingsDlg() {
    if (player_ != nullptr) {
        player_->disconnect(this);
        player_->stop();
    }
}

bool CCDDBSettingsDlg::RenameCdAudio() const {
    return renameCdAudio_->isChecked();
}

void CCDDBSettingsDlg::OnRenameCdAudioClicked(bool checked) {
    if (checked) {
        // A drive plugged in since the page was made shows up now.
        ListDrives();
    }
}

void CCDDBSettingsDlg::UpdateControls() {
    CdAudioPageState shown;
    shown.renameCdAudio = renameCdAudio_->isChecked();
    EnableAll({driveLabel_, driveBox_, getNames_, tracksSelectAll_, tracksDeselectAll_,
               tracksInvert_, selectedTracksLabel_, retrievedNamesLabel_, moveUp_, moveDown_,
               tracksView_, titlesView_, play_, stop_},
              CdControlsUsable(shown));
}

CdAudioPageState CCDDBSettingsDlg::State() const {
    return {renameCdAudio_->isChecked(), tracks_->Items(), titles_->Titles()};
}

void CCDDBSettingsDlg::SetState(const CdAudioPageState& state) {
    renameCdAudio_->setChecked(state.renameCdAudio);
    if (state.tracks.empty()) {
        if (tracks_->Count() > 0) {
            ClearTrackFiles();
        }
    } else if (state.tracks != tracks_->Items()) {
        // The list holds source rows: each named file goes back as its row.
        std::unordered_map<std::string, int> rows;
        for (int row = 0; row < tracks_->Count(); ++row) {
            rows.emplace(tracks_->Item(row), tracks_->SourceRowAt(row));
        }
        tracks_->Clear();
        for (const std::string& path : state.tracks) {
            auto it = rows.find(path);
            if (it != rows.end()) {
                tracks_->Add(it->second);
            }
        }
    }
    const std::vector<RetrievedTitle>& titles = titles_->Titles();
    const bool sameTitles =
        std::equal(titles.begin(), titles.end(), state.titles.begin(), state.titles.end(),
                   [](const RetrievedTitle& a, const RetrievedTitle& b) {
                       return a.number == b.number && a.name == b.name && a.length == b.length &&
                              a.checked == b.checked;
                   });
    if (!sameTitles) {
        titles_->SetTitles(state.titles);
    }
    UpdateControls();
}

void CCDDBSettingsDlg::ListDrives() {
    const int chosen = driveBox_->currentIndex();
    const std::string chosenPath =
        chosen >= 0 && static_cast<size_t>(chosen) < drives_.size() ? drives_[chosen].path : "";
    drives_ = ListCdDrives();
    driveBox_->clear();
    int select = -1;
    for (size_t i = 0; i < drives_.size(); ++i) {
        driveBox_->addItem(ToQt(drives_[i].path));
        driveBox_->setItemData(static_cast<int>(i), ToQt(drives_[i].path), Qt::ToolTipRole);
        if (!chosenPath.empty() && drives_[i].path == chosenPath) {
            select = static_cast<int>(i);
        }
    }
    driveBox_->setCurrentIndex(select);
}

int CCDDBSettingsDlg::SelectedTrack() const {
    const QModelIndexList rows = tracksView_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CCDDBSettingsDlg::SelectTrack(int row) {
    tracks_->Flush();
    if (row < 0 || row >= tracks_->rowCount()) {
        tracksView_->clearSelection();
        return;
    }
    const QModelIndex index = tracks_->index(row);
    tracksView_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tracksView_->scrollTo(index);
}

void CCDDBSettingsDlg::GetNames() {
    const int index = driveBox_->currentIndex();
    const std::string drive =
        index >= 0 && static_cast<size_t>(index) < drives_.size() ? drives_[index].path : "";
    if (LookupSource() == CdLookupSource::MusicBrainz) {
        GetMusicBrainzNames(drive);
    } else {
        GetCddbNames(drive);
    }
}

void CCDDBSettingsDlg::GetCddbNames(const std::string& drive) {
    // Public servers may refuse a hello without a real address; the user
    // learns why once, with the place to enter one. A disc that cannot be
    // read says so first and alone.
    uint32_t discId = 0;
    if (!drive.empty() && !askedForEmail_ && CCddbSettingsStore().Load().email.empty() &&
        client_.ReadDiscId(drive, discId)) {
        askedForEmail_ = true;
        EditCddbSettings(
            tr("The CDDB server may refuse to answer without your e-mail address. Please enter "
               "it below: it is sent with every request for track names."));
    }
    GetNamesResult result;
    {
        CWaitCursor wait;
        const CddbSettings settings = CCddbSettingsStore().Load();
        ApplyCddbSettings(client_, settings);
        result = quorvan::GetNames(client_, drive, EffectiveCddbServer(settings));
    }
    if (!result.ok) {
        Dialogs().Message(this, QMessageBox::Critical, CoreText(kErrorCaption),
                          CoreText(result.message), QMessageBox::Ok, ToQt(result.serverStatus));
        return;
    }
    titles_->SetTitles(std::move(result.titles));
}

void CCDDBSettingsDlg::MoveUp() {
    const int row = SelectedTrack();
    if (row >= 0) {
        SelectTrack(tracks_->MoveUp(row));
    }
}

void CCDDBSettingsDlg::MoveDown() {
    const int row = SelectedTrack();
    if (row >= 0) {
        SelectTrack(tracks_->MoveDown(row));
    }
}

void CCDDBSettingsDlg::EnsurePlayer() {
    if (player_ != nullptr) {
        return;
    }
    player_ = new QMediaPlayer(this);
    audioOutput_ = new QAudioOutput(this);
    player_->setAudioOutput(audioOutput_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia) {
                    OnPlaybackEnded();
                }
            });
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) { OnPlaybackError(text); });
}

void CCDDBSettingsDlg::Play() {
    const int row = SelectedTrack();
    if (row < 0 || row >= tracks_->Count() || playing_) {
        return;
    }
    const std::string path = tracks_->Item(row);
    const QUrl url = QUrl::fromLocalFile(ToQt(path));
    playKind_ = AudioKindOf(path);
    // With no audio output the built-in player would be silent; the desktop's
    // own player may still reach a sound server.
    if (playKind_ == AudioKind::Other ||
        (!builtInPlayerOnly_ && QMediaDevices::audioOutputs().isEmpty())) {
        Dialogs().OpenUrl(url);
        return;
    }
    EnsurePlayer();
    playing_ = true;
    player_->setSource(url);
    player_->play();
}

void CCDDBSettingsDlg::Stop() {
    if (!playing_) {
        return;
    }
    playing_ = false;
    player_->stop();
    player_->setSource(QUrl());
}

void CCDDBSettingsDlg::OnPlaybackEnded() {
    // A file that played to its end leaves Play ready for the next one.
    if (playing_) {
        playing_ = false;
        player_->stop();
    }
}

void CCDDBSettingsDlg::OnPlaybackError(const QString& text) {
    if (!playing_) {
        return;
    }
    playing_ = false;
    const QString file = player_->source().toLocalFile();
    player_->stop();
    Dialogs().Message(this, QMessageBox::Warning, CoreText(kErrorCaption),
                      tr("Unable to play %1:\n%2").arg(file, text), QMessageBox::Ok);
}

void CCDDBSettingsDlg::EditCddbSettings(const QString& reason) {
    CCddbServerDlg dialog{CCddbSettingsStore(), this};
    dialog.SetReason(reason);
    Dialogs().Exec(dialog);
}

void CCDDBSettingsDlg::ClearTrackFiles() {
    // Row numbers of a list read again name other files.
    keptSelection_ = -1;
    tracks_->Clear();
}

}  // namespace quorvan
