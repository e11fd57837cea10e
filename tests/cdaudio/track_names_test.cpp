#include <gtest/gtest.h>

#include "cdaudio/get_names.h"
#include "cdaudio/track_names.h"

namespace quorvan {
namespace {

TEST(SafeTrackFileName, NeverAnUnsafeOrEmptyName) {
    const struct {
        const char* title;
        const char* name;
    } cases[] = {
        {"AC/DC: Live?", "AC_DC_ Live_"},
        {"a\"b*c<d>e\\f|g", "a_b_c_d_e_f_g"},
        {"tab\there\nnew\x7f", "tab_here_new_"},
        {"", "Track 03"},
        {"Fl\xc3\xa8"
         "che D'or",
         "Fl\xc3\xa8"
         "che D'or"},
        // Trailing blanks and dots would end up before the extension.
        {"Bireli Lagr\xc3\xa8ne: New York City  .", "Bireli Lagr\xc3\xa8ne_ New York City"},
        {"Outro . . ", "Outro"},
        {"...and more", "...and more"},
        {" Intro", " Intro"},
        {".", "Track 03"},
        {"..", "Track 03"},
        {" . ", "Track 03"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SafeTrackFileName(c.title, 3), c.name) << c.title;
    }
    // Long titles are cut at a character boundary, leaving room for an extension.
    std::string longTitle;
    for (int i = 0; i < 150; ++i) {
        longTitle += "\xc3\xa9";  // é, two bytes
    }
    std::string name = SafeTrackFileName(longTitle, 1);
    EXPECT_LE(name.size(), 200u);
    EXPECT_EQ(name.size() % 2, 0u);
    // A cut that lands among blanks leaves none at the end.
    EXPECT_EQ(SafeTrackFileName(std::string(190, 'x') + std::string(20, ' ') + "end", 1),
              std::string(190, 'x'));
}

TEST(RetrievedTitles, NumbersNamesAndLengths) {
    CddbDiscRecord record;
    record.trackTitles = {"AC/DC: Live?", "Second", "Bonus"};
    CdTrackTable table = {{0, 2, 0, 3, 8}, {3, 10, 20, 4, 5}, {7, 16, 16, 0, 0}};
    std::vector<RetrievedTitle> titles = RetrievedTitles(record, table);
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_EQ(titles[0].number, "01");
    EXPECT_EQ(titles[0].name, "AC_DC_ Live_");
    EXPECT_EQ(titles[0].length, "03:08");
    EXPECT_EQ(titles[1].length, "04:05");
    EXPECT_EQ(titles[2].length, "");  // more titles than the disc has tracks
    EXPECT_FALSE(titles[0].checked);

    titles[0].checked = true;
    titles[2].checked = true;
    InvertTitleChecks(titles);
    EXPECT_FALSE(titles[0].checked);
    EXPECT_TRUE(titles[1].checked);
    EXPECT_FALSE(titles[2].checked);
    CheckAllTitles(titles);
    EXPECT_TRUE(titles[0].checked && titles[1].checked && titles[2].checked);
    UncheckAllTitles(titles);
    EXPECT_FALSE(titles[0].checked || titles[1].checked || titles[2].checked);
}

TEST(SelectedTracks, WholePathsAreMatchedAndMovesStopAtTheEnds) {
    CSelectedTracks tracks;
    EXPECT_TRUE(tracks.AddTrackFile("/a/01.mp3.bak"));
    // A path that begins another item is a file of its own.
    EXPECT_TRUE(tracks.AddTrackFile("/a/01.mp3"));
    EXPECT_FALSE(tracks.AddTrackFile("/a/01.mp3"));
    EXPECT_FALSE(tracks.AddTrackFile("/a/01.mp3.bak"));
    EXPECT_TRUE(tracks.AddTrackFile("/a/01"));
    EXPECT_EQ(tracks.Items(), (std::vector<std::string>{"/a/01.mp3.bak", "/a/01.mp3", "/a/01"}));
    EXPECT_EQ(tracks.MoveUp(0), 0);
    EXPECT_EQ(tracks.MoveDown(2), 2);
    EXPECT_EQ(tracks.MoveUp(-1), -1);
    EXPECT_EQ(tracks.MoveUp(2), 1);
    EXPECT_EQ(tracks.Items(), (std::vector<std::string>{"/a/01.mp3.bak", "/a/01", "/a/01.mp3"}));
    EXPECT_EQ(tracks.MoveDown(0), 1);
    EXPECT_EQ(tracks.Items(), (std::vector<std::string>{"/a/01", "/a/01.mp3.bak", "/a/01.mp3"}));

    // Unticking a file takes out that file, not one whose path it begins.
    EXPECT_TRUE(tracks.RemoveTrackFile("/a/01.mp3"));
    EXPECT_EQ(tracks.Items(), (std::vector<std::string>{"/a/01", "/a/01.mp3.bak"}));
    EXPECT_FALSE(tracks.RemoveTrackFile("/a/01.mp3"));
    EXPECT_FALSE(tracks.RemoveTrackFile("/a/0"));
    EXPECT_TRUE(tracks.RemoveTrackFile("/a/01"));
    EXPECT_EQ(tracks.Items(), std::vector<std::string>{"/a/01.mp3.bak"});
    tracks.ClearTrackFiles();
    EXPECT_EQ(tracks.Count(), 0u);
}

TEST(SelectedTracks, RemovalsKeepTheOrderOfTheRest) {
    CSelectedTracks tracks;
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        tracks.AddTrackFile("/t/" + std::to_string(999 - i) + ".mp3");
    }
    for (int i = 0; i < 1000; i += 2) {
        EXPECT_TRUE(tracks.RemoveTrackFile("/t/" + std::to_string(999 - i) + ".mp3"));
    }
    EXPECT_TRUE(tracks.AddTrackFile("/t/999.mp3"));  // back at the end
    EXPECT_FALSE(tracks.AddTrackFile("/t/998.mp3"));
    for (int i = 1; i < 1000; i += 2) {
        expected.push_back("/t/" + std::to_string(999 - i) + ".mp3");
    }
    expected.push_back("/t/999.mp3");
    EXPECT_EQ(tracks.Count(), expected.size());
    EXPECT_EQ(tracks.Items(), expected);
}

TEST(AudioKind, ExtensionDecidesThePlayer) {
    EXPECT_EQ(AudioKindOf("/cd/01.wav"), AudioKind::Wave);
    EXPECT_EQ(AudioKindOf("/cd/01.WAV"), AudioKind::Wave);
    EXPECT_EQ(AudioKindOf("/cd/01.Mp3"), AudioKind::Mp3);
    EXPECT_EQ(AudioKindOf("/cd/01.flac"), AudioKind::Other);
    EXPECT_EQ(AudioKindOf("/cd.wav/track"), AudioKind::Other);
    EXPECT_EQ(AudioKindOf("/cd/track"), AudioKind::Other);
}

TEST(Pairing, CheckedTitlesTwoFiveAndSeven) {
    std::vector<std::string> files = {"/cd/1.mp3", "/cd/2.mp3", "/cd/3.mp3", "/cd/4.mp3",
                                      "/cd/5.mp3"};
    std::vector<bool> checked(10, false);
    checked[1] = checked[4] = checked[6] = true;
    auto pairs = PairTracksWithTitles(files, checked, [](const std::string&) { return true; });
    EXPECT_EQ(pairs, (std::vector<std::pair<size_t, size_t>>{{0, 1}, {1, 4}, {2, 6}}));

    // A file that does not take part (filtered out) keeps its title for the next.
    pairs =
        PairTracksWithTitles(files, checked, [](const std::string& f) { return f != "/cd/1.mp3"; });
    EXPECT_EQ(pairs, (std::vector<std::pair<size_t, size_t>>{{1, 1}, {2, 4}, {3, 6}}));
}

}  // namespace
}  // namespace quorvan
