#include <QAudioDevice>
#include <QMediaDevices>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "cdaudio/cddb_settings.h"
#include "common/product.h"
#include "support/local_cddb_server.h"
#include "ui/cddb_server_dlg.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

std::string TocPath(const std::string& name) {
    return std::string(QUORVAN_TEST_DATA) + "/cddb/tocs/" + name;
}

// A window whose CD page lists `toc` as a drive and asks a local server.
class CdPageTest : public ::testing::Test {
  protected:
    // Makes `files` in the folder and opens the window on it.
    void Open(const Strings& files = {}, const std::string& toc = "ten.toc") {
        ASSERT_TRUE(server_.Start());
        serverEnv_.emplace("QUORVAN_CDDB_SERVER", server_.Address());
        tocEnv_.emplace("QUORVAN_CDROM_TOC", TocPath(toc));
        window_.emplace(dir_, files);
        page_ = window_->Window().CdAudioPage();
    }
    // CD mode on, the TOC drive chosen, and Get names pressed.
    void GetNamesOfTheDisc() {
        TickRenameCdAudio();
        ChooseTocDrive();
        GetNames();
    }
    void TickRenameCdAudio() { Click(page_, "renameCdAudioCheckBox"); }
    void GetNames() { Click(page_, "getNamesButton"); }
    // Chooses the table-of-contents drive, listed last.
    void ChooseTocDrive() {
        auto* drives = On<QComboBox>(page_, "cdDriveComboBox");
        drives->setCurrentIndex(drives->count() - 1);
    }
    // A column of the retrieved names: number, name, length.
    Strings Titles(std::string RetrievedTitle::*column) const {
        Strings texts;
        for (const RetrievedTitle& title : page_->State().titles) {
            texts.push_back(title.*column);
        }
        return texts;
    }
    std::vector<bool> Checks() const {
        std::vector<bool> checks;
        for (const RetrievedTitle& title : page_->State().titles) {
            checks.push_back(title.checked);
        }
        return checks;
    }
    CScriptedDialogs& Dialogs() { return window_->dialogs; }

    TestDir dir_;
    CLocalCddbServer server_{std::string(QUORVAN_TEST_DATA) + "/cddb/server"};
    std::optional<EnvScope> serverEnv_;
    std::optional<EnvScope> tocEnv_;
    std::optional<WindowFixture> window_;
    CCDDBSettingsDlg* page_ = nullptr;
};

TEST_F(CdPageTest, OnlyTheRenameBoxStartsEnabledAndItSwitchesEveryOtherControl) {
    Open();
    const Strings followers = Words(
        "cdDriveComboBox selectedTracksView retrievedNamesView cdDriveLabel getNamesButton "
        "moveUpButton moveDownButton selectedTracksLabel retrievedNamesLabel "
        "tracksSelectAllButton tracksDeselectAllButton tracksInvertButton playButton stopButton");
    EXPECT_TRUE(IsEnabled(page_, "renameCdAudioCheckBox"));
    EXPECT_FALSE(IsChecked(page_, "renameCdAudioCheckBox"));
    EXPECT_TRUE(Enabled(page_, followers).empty());
    // No drive is chosen until the user picks one; the TOC file is listed.
    auto* drives = On<QComboBox>(page_, "cdDriveComboBox");
    EXPECT_EQ(drives->currentIndex(), -1);
    ASSERT_GE(drives->count(), 1);
    EXPECT_EQ(drives->itemText(drives->count() - 1).toStdString(), TocPath("ten.toc"));

    TickRenameCdAudio();
    EXPECT_EQ(Enabled(page_, followers), std::set<std::string>(followers.begin(), followers.end()));
    TickRenameCdAudio();
    EXPECT_TRUE(Enabled(page_, followers).empty());
}

TEST_F(CdPageTest, GetNamesFailuresEachShowOneMessageAndKeepTheList) {
    Open();
    TickRenameCdAudio();

    GetNames();
    EXPECT_EQ(Dialogs().Texts(), Strings{"No CD drive is selected."});
    EXPECT_TRUE(server_.Requests().empty());

    ChooseTocDrive();
    GetNames();
    ASSERT_EQ(page_->TitlesModel().rowCount(), 10);
    On<QPushButton>(page_, "tracksSelectAllButton")->click();

    // A read answered with a status outside 210-219.
    server_.SetReadReply("401 folk 5107e10a No such CD entry in database.\r\n");
    GetNames();
    ASSERT_EQ(Dialogs().shown.size(), 2u);
    EXPECT_EQ(Dialogs().shown[1].caption, "Error...");
    EXPECT_EQ(Dialogs().shown[1].text, "Unable to get this CD's information.");

    // The names and their check marks from before are still there.
    EXPECT_EQ(page_->TitlesModel().rowCount(), 10);
    EXPECT_EQ(Checks(), std::vector<bool>(10, true));
}

TEST_F(CdPageTest, ADiscWithoutAudioReportsTheDiscIdError) {
    Open({}, "data_only.toc");
    GetNamesOfTheDisc();
    ASSERT_EQ(Dialogs().shown.size(), 1u);
    EXPECT_TRUE(Dialogs().shown[0].text.startsWith(
        "An error occurred while retrieving the DISC ID, Error:"))
        << Dialogs().shown[0].text.toStdString();
    EXPECT_TRUE(page_->TitlesModel().Titles().empty());
    // The disc is read before the e-mail address is asked for: one failure,
    // one message, and the question is kept for a disc that can be looked up.
    EXPECT_TRUE(Dialogs().dialogTitles.empty());
    EXPECT_TRUE(server_.Requests().empty());
}

// The whole CD mode as a user goes through it.
TEST_F(CdPageTest, TitlesInTheOrderSetBecomeTheNewNamesOfTheTickedFiles) {
    for (const char* name : {"a", "b", "c"}) {
        dir_.CreateFile(std::string(name) + ".mp3", name);
    }
    dir_.CreateFile("notes.txt");
    Open();
    WindowFixture& f = *window_;
    f.ClickRow(0);
    f.ClickRow(1);
    f.ClickRow(2);
    GetNamesOfTheDisc();
    ASSERT_TRUE(Dialogs().shown.empty()) << Dialogs().shown[0].text.toStdString();

    EXPECT_EQ(Titles(&RetrievedTitle::number).front(), "01");
    EXPECT_EQ(Titles(&RetrievedTitle::name),
              (Strings{"AC_DC_ Live_", "Title 2", "Title 3", "Title 4", "Title 5", "Title 6",
                       "Title 7", "Title 8", "Title 9", "Title 10"}));
    EXPECT_EQ(Titles(&RetrievedTitle::length).front().size(), 5u);  // mm:ss

    // Titles 1, 3 and 4 ticked as a user would, in the title list's boxes.
    CRetrievedTitlesModel& titles = page_->TitlesModel();
    for (int row : {0, 2, 3}) {
        titles.setData(titles.index(row, 0), Qt::Checked, Qt::CheckStateRole);
    }
    // a, b, c becomes a, c, b.
    EXPECT_EQ(page_->TrackFiles(), (Strings{dir_ / "a.mp3", dir_ / "b.mp3", dir_ / "c.mp3"}));
    page_->SelectTrack(2);
    On<QPushButton>(page_, "moveUpButton")->click();
    EXPECT_EQ(page_->SelectedTrack(), 1);
    EXPECT_EQ(page_->TrackFiles(), (Strings{dir_ / "a.mp3", dir_ / "c.mp3", dir_ / "b.mp3"}));

    // a takes the first ticked title, c the second, b the third.
    f.Click(kPreview);
    Strings preview = f.PreviewRows();
    std::sort(preview.begin(), preview.end());
    EXPECT_EQ(preview,
              (Strings{dir_ / "AC_DC_ Live_.mp3", dir_ / "Title 3.mp3", dir_ / "Title 4.mp3"}));
    f.Click(kStart);
    f.Window().Engine().WaitForWorker();
    EXPECT_EQ(dir_.List(),
              (Strings{"AC_DC_ Live_.mp3", "Title 3.mp3", "Title 4.mp3", "notes.txt"}));
    EXPECT_EQ(dir_.Read("AC_DC_ Live_.mp3"), "a");
    EXPECT_EQ(dir_.Read("Title 3.mp3"), "c");
    EXPECT_EQ(dir_.Read("Title 4.mp3"), "b");
}

TEST_F(CdPageTest, CheckMarkButtonsAndMovesAtTheEndsOfTheList) {
    Open({"1.wav", "2.wav", "3.wav"});
    WindowFixture& f = *window_;
    f.Click(CMainDlg::kSelectAll);
    GetNamesOfTheDisc();
    ASSERT_EQ(page_->TitlesModel().rowCount(), 10);
    EXPECT_EQ(Checks(), std::vector<bool>(10, false));  // added unchecked

    page_->TitlesModel().SetChecked(0, true);
    page_->TitlesModel().SetChecked(2, true);
    On<QPushButton>(page_, "tracksInvertButton")->click();
    std::vector<bool> inverted(10, true);
    inverted[0] = inverted[2] = false;
    EXPECT_EQ(Checks(), inverted);
    On<QPushButton>(page_, "tracksSelectAllButton")->click();
    EXPECT_EQ(Checks(), std::vector<bool>(10, true));
    On<QPushButton>(page_, "tracksDeselectAllButton")->click();
    EXPECT_EQ(Checks(), std::vector<bool>(10, false));

    const Strings order = {dir_ / "1.wav", dir_ / "2.wav", dir_ / "3.wav"};
    On<QPushButton>(page_, "moveUpButton")->click();  // nothing selected
    page_->SelectTrack(0);
    On<QPushButton>(page_, "moveUpButton")->click();
    page_->SelectTrack(2);
    On<QPushButton>(page_, "moveDownButton")->click();
    EXPECT_EQ(page_->TrackFiles(), order);
    EXPECT_EQ(page_->SelectedTrack(), 2);

    // Unticking the box keeps both lists as they are.
    TickRenameCdAudio();
    TickRenameCdAudio();
    EXPECT_EQ(page_->TrackFiles(), order);
    EXPECT_EQ(page_->TitlesModel().rowCount(), 10);
}

TEST_F(CdPageTest, PlayHandsOtherFilesToTheDesktopAndPlaysAWaveUntilItsEnd) {
    dir_.CreateFile("notes.flac", "not really");
    // A tenth of a second of silence: 8 kHz, 16-bit mono.
    auto le = [](uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
        }
        return out;
    };
    const std::string wave = "RIFF" + le(36 + 1600, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) +
                             le(1, 2) + le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2) + "data" +
                             le(1600, 4) + std::string(1600, '\0');
    dir_.CreateFile("short.WAV", wave);
    Open();
    WindowFixture& f = *window_;
    f.Click(CMainDlg::kSelectAll);  // notes.flac, short.WAV
    TickRenameCdAudio();

    Click(page_, "playButton");  // nothing selected
    EXPECT_FALSE(page_->IsPlaying());
    EXPECT_TRUE(Dialogs().opened.empty());

    page_->SelectTrack(0);
    Click(page_, "playButton");
    ASSERT_EQ(Dialogs().opened.size(), 1u);
    EXPECT_EQ(Dialogs().opened[0].toLocalFile().toStdString(), dir_ / "notes.flac");
    EXPECT_FALSE(page_->IsPlaying());

    page_->SelectTrack(1);
    size_t opened = 1;
    if (QMediaDevices::audioOutputs().isEmpty()) {
        // The built-in player would be silent: the desktop's player takes it.
        Click(page_, "playButton");
        EXPECT_FALSE(page_->IsPlaying());
        ASSERT_EQ(Dialogs().opened.size(), ++opened);
        EXPECT_EQ(Dialogs().opened.back().toLocalFile().toStdString(), dir_ / "short.WAV");
    }

    page_->SetBuiltInPlayerOnly(true);
    Click(page_, "playButton");
    EXPECT_TRUE(page_->IsPlaying());
    Click(page_, "playButton");  // already playing: nothing happens
    EXPECT_TRUE(page_->IsPlaying());
    Click(page_, "stopButton");
    EXPECT_FALSE(page_->IsPlaying());

    // Played to its end (or refused by a machine without sound), the file
    // can be played again.
    Click(page_, "playButton");
    EXPECT_TRUE(page_->IsPlaying());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !page_->IsPlaying(); }, 15000));
    const size_t messages = Dialogs().shown.size();
    Click(page_, "playButton");
    EXPECT_TRUE(page_->IsPlaying() || Dialogs().shown.size() > messages);
    Click(page_, "stopButton");
    EXPECT_FALSE(page_->IsPlaying());
    EXPECT_EQ(Dialogs().opened.size(), opened);
}

TEST(CddbSettingsDialog, StoresValidSettingsAndRefusesInvalidOnes) {
    StateDirScope state;
    CScriptedDialogs dialogs;
    {
        CCddbServerDlg dialog{CCddbSettingsStore()};
        EXPECT_EQ(dialog.Entered(), CddbSettings{});  // the defaults at first
        dialog.HostEdit()->setText("cddb.example.org");
        dialog.PortEdit()->setValue(8080);
        dialog.EmailEdit()->setText("not an address");
        dialog.accept();
        EXPECT_EQ(dialogs.Texts(),
                  Strings{"The e-mail address must have the form name@example.org."});
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(CCddbSettingsStore().Load(), CddbSettings{});

        dialog.EmailEdit()->setText(" j.doe@example.org ");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    const CddbSettings stored = {"cddb.example.org", 8080, "j.doe@example.org"};
    EXPECT_EQ(CCddbSettingsStore().Load(), stored);

    // Opened again, the dialog shows what was stored; Cancel changes nothing.
    CCddbServerDlg again{CCddbSettingsStore()};
    EXPECT_EQ(again.Entered(), stored);
    again.HostEdit()->setText("other.example.org");
    again.reject();
    EXPECT_EQ(CCddbSettingsStore().Load(), stored);
}

// Today's servers want an e-mail address: Get names asks for one once,
// saying why, and sends it in the hello; a refusal shows the server's own
// reason in the details.
TEST_F(CdPageTest, WithoutAnAddressGetNamesAsksOnceAndARefusalShowsTheServersReason) {
    Open();
    TickRenameCdAudio();
    ChooseTocDrive();
    QString reason;
    Dialogs().onDialog = [&reason](QDialog& shown) {
        auto& dialog = dynamic_cast<CCddbServerDlg&>(shown);
        reason = dialog.Reason();
        dialog.EmailEdit()->setText("jane@example.org");
        dialog.accept();
        return dialog.result();
    };
    // A server with an empty site list still answers the query and read.
    server_.SetSitesReply("401 No site information available.\r\n");
    GetNames();
    EXPECT_EQ(Dialogs().dialogTitles, std::vector<QString>{"CDDB Settings"});
    EXPECT_TRUE(reason.contains("e-mail address")) << reason.toStdString();
    ASSERT_EQ(server_.Hellos().size(), 3u);
    EXPECT_EQ(server_.Hellos()[0], "jane+example.org+TelluraneCDDB+" + std::string(kVersionText));
    EXPECT_TRUE(Dialogs().shown.empty());
    EXPECT_EQ(page_->TitlesModel().rowCount(), 10);

    // The page's own button opens the dialog at any time, with no reason.
    QPushButton* settingsButton = nullptr;
    for (QPushButton* button : page_->findChildren<QPushButton*>()) {
        if (button->text() == "&CDDB Settings...") {
            settingsButton = button;
        }
    }
    ASSERT_NE(settingsButton, nullptr);
    settingsButton->click();
    EXPECT_EQ(Dialogs().dialogTitles.size(), 2u);
    EXPECT_EQ(reason, "");

    // The address removed again: not asked twice.
    CddbSettings settings = CCddbSettingsStore().Load();
    settings.email.clear();
    ASSERT_TRUE(CCddbSettingsStore().Save(settings));
    server_.SetCannedReply(
        "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
        "500 Invalid hello: a valid e-mail address is required.\r\n");
    GetNames();
    EXPECT_EQ(Dialogs().dialogTitles.size(), 2u);
    EXPECT_EQ(Dialogs().Texts(), Strings{"Unable to get this CD's information."});
    EXPECT_EQ(Dialogs().shown.at(0).details,
              "500 Invalid hello: a valid e-mail address is required.");
}

}  // namespace
}  // namespace quorvan::test
