#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "cdaudio/cddb_client.h"
#include "cdaudio/lookup_source.h"
#include "platform/cdrom.h"
#include "rules/rule_pages.h"
#include "rules/state_page.h"
#include "ui/cd_audio_models.h"

class QAudioOutput;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QMediaPlayer;
class QPushButton;
class QTreeView;

namespace quorvan {

class CMusicBrainzLookups;

// The CD Audio page: fetches a disc's track titles from a CDDB server or from
// MusicBrainz and pairs them with the audio files ticked in the source list,
// in an order the user sets; a selected file can be played to check that order.
class CCDDBSettingsDlg final : public QWidget, public CStatePage<CdAudioPageState> {
    Q_OBJECT
  public:
    explicit CCDDBSettingsDlg(QWidget* parent = nullptr);
    ~CCDDBSettingsDlg() override;

    // The track list of a state can only hold files the list holds now (the
    // window's ticked rows), in any order; an empty one empties it.
    CdAudioPageState State() const override;
    void SetState(const CdAudioPageState& state) override;

    // The "Selected tracks" list, fed by the main window's check marks: rows
    // of its source list, whose paths `pathOf` gives. A row is added once and
    // removed exactly.
    void SetTrackSource(CSelectedTracksModel::PathOfRow pathOf) {
        tracks_->SetPathSource(std::move(pathOf));
    }
    void ClearTrackFiles();
    void AddTrackFile(int sourceRow) { tracks_->Add(sourceRow); }
    void RemoveTrackFile(int sourceRow) { tracks_->Remove(sourceRow); }
    // The files to process in CD mode, top to bottom.
    std::vector<std::string> TrackFiles() const { return tracks_->Items(); }
    // "Rename CD Audio Files" is ticked.
    bool RenameCdAudio() const;

    // The page's commands, as its buttons run them.
    void GetNames();
    void MoveUp();
    void MoveDown();
    void Play();
    void Stop();
    // "Look up in:": where Get names asks, remembered in the state folder.
    CdLookupSource LookupSource() const;
    void SetLookupSource(CdLookupSource source);
    // Opens "CDDB Settings"; a non-empty `reason` says why it has come up.
    void EditCddbSettings(const QString& reason = QString());

    // The drives listed in "CD Drive:", at the index of their item.
    const std::vector<CdDrive>& Drives() const { return drives_; }
    // Lists the drives again, keeping the chosen one when it is still there.
    void ListDrives();
    bool IsPlaying() const { return playing_; }
    // The row selected in "Selected tracks:", -1 for none.
    int SelectedTrack() const;
    void SelectTrack(int row);
    CSelectedTracksModel& TracksModel() { return *tracks_; }
    CRetrievedTitlesModel& TitlesModel() { return *titles_; }
    QPushButton* MoveDownButton() const { return moveDown_; }
    // Without an audio output Play hands .wav and .mp3 files to the desktop's
    // player; tests switch that off to exercise the built-in one.
    void SetBuiltInPlayerOnly(bool on) { builtInPlayerOnly_ = on; }

  private:
    void AddLookupChoice(QHBoxLayout* row);
    void GetCddbNames(const std::string& drive);
    void GetMusicBrainzNames(const std::string& drive);
    void OnRenameCdAudioClicked(bool checked);
    // The one place that decides what is enabled.
    void UpdateControls();
    void OnPlaybackEnded();
    void OnPlaybackError(const QString& text);
    void EnsurePlayer();

    CCddbClient client_;
    // One MusicBrainz client for the page's life, so that its pace of one
    // request a second holds across presses of Get names.
    std::unique_ptr<CMusicBrainzLookups> musicBrainz_;
    QComboBox* sourceBox_ = nullptr;
    std::vector<CdDrive> drives_;
    CSelectedTracksModel* tracks_ = nullptr;
    CRetrievedTitlesModel* titles_ = nullptr;
    QCheckBox* renameCdAudio_ = nullptr;
    QLabel* driveLabel_ = nullptr;
    QComboBox* driveBox_ = nullptr;
    QPushButton* getNames_ = nullptr;
    QPushButton* tracksSelectAll_ = nullptr;
    QPushButton* tracksDeselectAll_ = nullptr;
    QPushButton* tracksInvert_ = nullptr;
    QLabel* selectedTracksLabel_ = nullptr;
    QLabel* retrievedNamesLabel_ = nullptr;
    QPushButton* moveUp_ = nullptr;
    QPushButton* moveDown_ = nullptr;
    QTreeView* tracksView_ = nullptr;
    QTreeView* titlesView_ = nullptr;
    QPushButton* play_ = nullptr;
    QPushButton* stop_ = nullptr;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audioOutput_ = nullptr;
    bool playing_ = false;
    AudioKind playKind_ = AudioKind::Other;
    bool builtInPlayerOnly_ = false;
    // The selected file, kept across a reset of the track list.
    int keptSelection_ = -1;  // the source row of the selected track
    bool resettingTracks_ = false;
    // Get names asks for an e-mail address only once.
    bool askedForEmail_ = false;
};

}  // namespace quorvan
