#include <QTreeWidget>
#include <cstdlib>

#include "cdaudio/lookup_source.h"
#include "support/local_musicbrainz_server.h"
#include "ui/release_choice_dlg.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

const std::string kData = std::string(QUORVAN_TEST_DATA) + "/musicbrainz";

// The CD page with a table-of-contents drive, asking a local MusicBrainz.
class MusicBrainzPageTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.Start()); }
    void TearDown() override {
        unsetenv("QUORVAN_MUSICBRAINZ_URL");
        unsetenv("QUORVAN_CDROM_TOC");
    }
    void Open(const std::string& toc, bool chooseMusicBrainz = true) {
        setenv("QUORVAN_MUSICBRAINZ_URL", server_.Url().c_str(), 1);
        setenv("QUORVAN_CDROM_TOC", toc.c_str(), 1);
        window_.emplace(dir_.Path());
        page_ = window_->Window().CdAudioPage();
        Click(page_, "renameCdAudioCheckBox");
        ChooseTocDrive();
        if (chooseMusicBrainz) {
            SourceBox()->setCurrentIndex(SourceBox()->findText("MusicBrainz"));
        }
    }
    // The table-of-contents drive, listed last.
    void ChooseTocDrive() {
        auto* drives = On<QComboBox>(page_, "cdDriveComboBox");
        drives->setCurrentIndex(drives->count() - 1);
    }
    QComboBox* SourceBox() const { return page_->findChild<QComboBox*>("lookupSourceBox"); }
    void GetNames() { On<QPushButton>(page_, "getNamesButton")->click(); }
    Strings Names() const {
        Strings names;
        for (const RetrievedTitle& title : page_->State().titles) {
            names.push_back(title.name);
        }
        return names;
    }
    CScriptedDialogs& Dialogs() { return window_->dialogs; }

    TestDir dir_;
    CLocalMusicBrainzServer server_{kData};
    std::optional<WindowFixture> window_;
    CCDDBSettingsDlg* page_ = nullptr;
};

TEST_F(MusicBrainzPageTest, TheChoiceStartsAtTheCddbServerAndIsRemembered) {
    Open(kData + "/tocs/autechre_disc1.toc", false);
    ASSERT_NE(SourceBox(), nullptr);
    EXPECT_EQ(SourceBox()->currentText(), "CDDB server");
    SourceBox()->setCurrentIndex(1);
    EXPECT_EQ(CLookupSourceStore().Load(), CdLookupSource::MusicBrainz);
    // A page made later (the next start of the program) comes up with it.
    CCDDBSettingsDlg later;
    EXPECT_EQ(later.LookupSource(), CdLookupSource::MusicBrainz);
}

TEST_F(MusicBrainzPageTest, SeveralReleasesGiveAChoiceAndCancelKeepsTheList) {
    Open(kData + "/tocs/ballad.toc");
    std::vector<std::vector<QString>> rows;
    int answer = QDialog::Accepted;
    Dialogs().onDialog = [&](QDialog& dialog) {
        auto* choice = dynamic_cast<CReleaseChoiceDlg*>(&dialog);
        EXPECT_NE(choice, nullptr);
        QTreeWidget* view = choice->View();
        for (int row = 0; row < view->topLevelItemCount(); ++row) {
            std::vector<QString> texts;
            for (int column = 0; column < view->columnCount(); ++column) {
                texts.push_back(view->topLevelItem(row)->text(column));
            }
            rows.push_back(texts);
        }
        view->setCurrentItem(view->topLevelItem(1));
        return answer;
    };
    GetNames();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<QString>{"Isobel Campbell & Mark Lanegan",
                                             "Ballad of the Broken Seas", "2006", "GB", "CD"}));
    EXPECT_EQ(rows[1][3], "US");
    EXPECT_EQ(Dialogs().dialogTitles, std::vector<QString>{"Choose a release"});
    ASSERT_EQ(Names().size(), 12u);
    EXPECT_EQ(Names()[5], "Ramblin' Man");

    answer = QDialog::Rejected;
    On<QPushButton>(page_, "tracksSelectAllButton")->click();
    GetNames();
    EXPECT_EQ(Names().size(), 12u);  // a cancelled choice changes nothing
    EXPECT_TRUE(page_->State().titles.at(0).checked);
    EXPECT_TRUE(Dialogs().shown.empty());
}

// One release fills the list without asking anything, not even for an
// e-mail address; a failure after it keeps the list.
TEST_F(MusicBrainzPageTest, OneReleaseFillsTheListAndFailuresGiveTheirMessageAndKeepIt) {
    Open(kData + "/tocs/autechre_disc1.toc");
    GetNames();
    ASSERT_EQ(Names(), Strings{"\xc3\xa6\xc2\xb3o"});
    EXPECT_TRUE(Dialogs().shown.empty());
    EXPECT_TRUE(Dialogs().dialogTitles.empty());
    EXPECT_EQ(server_.Requests().size(), 1u);

    struct Case {
        std::string toc;
        std::vector<int> statuses;
        std::string url;
        std::string text;
    };
    const Case cases[] = {
        {std::string(QUORVAN_TEST_DATA) + "/cddb/tocs/example.toc",
         {},
         "",
         "MusicBrainz does not know this CD."},
        {kData + "/tocs/autechre_disc1.toc",
         {503, 503},
         "",
         "The MusicBrainz service is busy and refused the request. Please try again in a minute."},
        {kData + "/tocs/autechre_disc1.toc",
         {},
         "http://musicbrainz.org",
         "QUORVAN_MUSICBRAINZ_URL: plain http:// is allowed only on a loopback address"},
    };
    for (const Case& c : cases) {
        Dialogs().shown.clear();
        setenv("QUORVAN_CDROM_TOC", c.toc.c_str(), 1);
        page_->ListDrives();
        ChooseTocDrive();
        for (int status : c.statuses) {
            server_.QueueStatus(status);
        }
        setenv("QUORVAN_MUSICBRAINZ_URL", (c.url.empty() ? server_.Url() : c.url).c_str(), 1);
        GetNames();
        ASSERT_EQ(Dialogs().shown.size(), 1u) << c.text;
        EXPECT_EQ(Dialogs().shown[0].caption, "Error...");
        EXPECT_EQ(Dialogs().shown[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(Dialogs().shown[0].text.startsWith(ToQt(c.text)))
            << Dialogs().shown[0].text.toStdString();
        EXPECT_EQ(Names(), Strings{"\xc3\xa6\xc2\xb3o"}) << c.text;
    }
}

}  // namespace
}  // namespace quorvan::test
