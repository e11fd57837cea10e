#include <discid/discid.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <tuple>

#include "cdaudio/cddb_client.h"
#include "cdaudio/disc_id.h"
#include "platform/cdrom.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

std::string TocPath(const std::string& name) {
    return std::string(QUORVAN_TEST_DATA) + "/cddb/tocs/" + name;
}

// A table straight from absolute frames: tracks, then the lead-out.
CdTrackTable TableOf(const std::vector<int32_t>& starts, int32_t leadOut) {
    std::vector<CdTrackFacts> facts;
    for (size_t i = 0; i < starts.size(); ++i) {
        int32_t next = i + 1 < starts.size() ? starts[i + 1] : leadOut;
        facts.push_back({starts[i], next - starts[i] - (i + 1 == starts.size() ? 1 : 0), true});
    }
    return BuildTrackTable(facts);
}

TEST(TrackTable, LeadOutIsOneFramePastTheLastTrackAsTheDriveReportsIt) {
    // Tracks at 0:02:00 and 3:10:20; the drive gives the last length as 4:05:70.
    std::vector<CdTrackFacts> facts = {{150, 14270 - 150, true},
                                       {14270, (4 * 60 + 5) * 75 + 70, true}};
    CdTrackTable table = BuildTrackTable(facts);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0], (CdTrackEntry{0, 2, 0, 3, 8}));
    EXPECT_EQ(table[1], (CdTrackEntry{3, 10, 20, 4, 5}));  // length frames dropped
    EXPECT_EQ(EntryFrame(table[2]), 32716);
    EXPECT_EQ(table[2], (CdTrackEntry{7, 16, 16, 0, 0}));
}

TEST(TrackTable, DataOnlyDiscGivesNoTableButMixedDiscKeepsItsDataTracks) {
    EXPECT_TRUE(BuildTrackTable({{150, 20000, false}}).empty());
    EXPECT_TRUE(BuildTrackTable({}).empty());
    CdTrackTable mixed = BuildTrackTable({{150, 19850, true}, {20000, 19999, false}});
    EXPECT_EQ(mixed.size(), 3u);
    EXPECT_EQ(EntryFrame(mixed[2]), 40000);
}

TEST(DiscId, ExampleDiscAndItsQueryArguments) {
    CdTrackTable table = TableOf({150, 14270}, 32716);
    uint32_t id = ComputeDiscId(table);
    EXPECT_EQ(id, 0x0c01b202u);
    const CddbQueryArguments a = QueryArguments(id, table);
    EXPECT_EQ(std::tuple(a.discId, a.trackCount, a.offsets, a.discLength),
              std::tuple("0c01b202", "2", "150+14270", "436"));
}

TEST(DiscId, ArithmeticEdges) {
    // A first track at 1:00:00 subtracts 60 seconds of playing time, not 1.
    uint32_t late = ComputeDiscId(TableOf({4500}, 4500 + 75 * 100));
    EXPECT_EQ((late >> 8) & 0xffff, 100u);
    // Digit sums: 255 → top byte 0, 256 → 1. Starts of 99999 s are not
    // possible, so build tables by hand: each start of 9:59 (599 s) sums 23.
    CdTrackTable table;
    for (int i = 0; i < 11; ++i) {
        table.push_back({9, 59, 0, 0, 0});  // 11 × 23 = 253
    }
    table.push_back({0, 2, 0, 0, 0});  // + 2 = 255
    table.push_back({10, 0, 0, 0, 0});
    EXPECT_EQ(ComputeDiscId(table) >> 24, 0u);
    table.insert(table.end() - 1, {0, 1, 0, 0, 0});  // + 1 = 256
    EXPECT_EQ(ComputeDiscId(table) >> 24, 1u);
    EXPECT_EQ(DiscIdText(0x12a01), "00012a01");
}

// Real discs whose ids a server or a reference library gave.
TEST(DiscId, PublishedDiscs) {
    struct Disc {
        std::vector<int32_t> offsets;
        int32_t leadOut;
        uint32_t id;
    };
    const Disc discs[] = {
        {{150, 15239, 29625, 45763, 61420, 75862, 91642, 108918, 123698, 139895, 153589, 169239,
          188495},
         2734 * 75,
         0x940aac0d},
        {{150,    9700,   25887,  39297,  53795,  63735,  77517,  94877,  107270, 123552, 135522,
          148422, 161197, 174790, 192022, 205545, 218010, 228700, 239590, 255470, 266932, 288750},
         303602,
         0x370fce16},
        {{150, 8795, 25745, 40138, 55085, 70238, 92398, 109293, 124405, 141120, 158079, 175458,
          191905, 208331, 234618, 270030},
         4440 * 75,
         0xdd115610},  // an enhanced CD: its data track counts
    };
    for (const Disc& disc : discs) {
        EXPECT_EQ(DiscIdText(ComputeDiscId(TableOf(disc.offsets, disc.leadOut))),
                  DiscIdText(disc.id));
    }
}

TEST(DiscId, AgreesWithLibdiscidOnRandomDiscs) {
    std::mt19937 random(20021206);
    DiscId* reference = discid_new();
    ASSERT_NE(reference, nullptr);
    for (int round = 0; round < 1500; ++round) {
        int tracks = std::uniform_int_distribution<int>(1, 99)(random);
        int offsets[100] = {};
        std::vector<int32_t> starts;
        int32_t at = std::uniform_int_distribution<int32_t>(150, 2000)(random);
        // libdiscid takes discs of up to 90 minutes.
        int32_t longest = (89 * 60 * 75 - at) / tracks;
        for (int t = 0; t < tracks; ++t) {
            starts.push_back(at);
            offsets[t + 1] = at;
            at += std::uniform_int_distribution<int32_t>(std::min(longest, 300), longest)(random);
        }
        offsets[0] = at;
        ASSERT_TRUE(discid_put(reference, 1, tracks, offsets)) << discid_get_error_msg(reference);
        EXPECT_EQ(DiscIdText(ComputeDiscId(TableOf(starts, at))), discid_get_freedb_id(reference))
            << tracks << " tracks, lead-out " << at;
    }
    discid_free(reference);
}

TEST(TocFile, ReadsTracksDataMarksAndLeadOut) {
    std::vector<CdTrackFacts> tracks;
    ASSERT_EQ(ReadCdTracks(TocPath("mixed.toc"), tracks), 0);
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_TRUE(tracks[0].audio);
    EXPECT_FALSE(tracks[2].audio);
    EXPECT_EQ(tracks[2].start, 40000);
    EXPECT_EQ(tracks[2].length, 60000 - 40000 - 1);

    std::vector<CdTrackFacts> parsed;
    EXPECT_TRUE(ParseTocText("# a comment\n\n150\r\n  14270 \nleadout 32716\n", parsed));
    EXPECT_EQ(parsed.size(), 2u);
}

TEST(TocFile, RefusesMalformedTexts) {
    std::vector<CdTrackFacts> tracks;
    for (const char* text : {
             "",
             "leadout 32716\n",                // no track
             "150\n14270\n",                   // no lead-out
             "150\nleadout 100\n",             // lead-out before the last start
             "14270\n150\nleadout 32716\n",    // starts not ascending
             "150 audio\nleadout 32716\n",     // unknown word
             "150\nleadout 32716\n200\n",      // a track after the lead-out
             "-5\nleadout 32716\n",            // negative
             "150x\nleadout 32716\n",          // not a number
             "150\nleadout 99999999999999\n",  // beyond any disc
         }) {
        EXPECT_FALSE(ParseTocText(text, tracks)) << text;
        EXPECT_TRUE(tracks.empty());
    }
    std::string hundred;
    for (int t = 0; t < 100; ++t) {
        hundred += std::to_string(150 + t * 1000) + "\n";
    }
    EXPECT_FALSE(ParseTocText(hundred + "leadout 200000\n", tracks));  // more than 99 tracks
}

TEST(ReadToc, FileDriveThroughTheClient) {
    CCddbClient client;
    CdTrackTable table;
    ASSERT_TRUE(client.ReadToc(table, TocPath("example.toc")));
    EXPECT_EQ(table.size(), 3u);
    uint32_t id = 0;
    ASSERT_TRUE(client.ReadDiscId(TocPath("example.toc"), id));
    EXPECT_EQ(id, 0x0c01b202u);

    // Data-only disc: the read fails, the table is empty, and the error says why.
    EXPECT_FALSE(client.ReadToc(table, TocPath("data_only.toc")));
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(client.GetErrorCode(), EMEDIUMTYPE);
    EXPECT_FALSE(client.GetErrorText().empty());

    EXPECT_FALSE(client.ReadToc(table, TocPath("no_such.toc")));
    EXPECT_EQ(client.GetErrorCode(), ENOENT);

    test::TestDir dir;
    EXPECT_FALSE(client.ReadToc(table, dir.CreateFile("bad.toc", "nonsense\n")));
    EXPECT_EQ(client.GetErrorCode(), EBADMSG);
    // Neither a CD-ROM device nor a file.
    EXPECT_FALSE(client.ReadToc(table, dir.Path()));
    EXPECT_EQ(client.GetErrorCode(), ENOTBLK);
    EXPECT_FALSE(client.ReadToc(table, "/dev/null"));
    EXPECT_EQ(client.GetErrorCode(), ENOTBLK);
}

TEST(Drives, TocFileFromTheEnvironmentIsListedLast) {
    setenv("QUORVAN_CDROM_TOC", TocPath("example.toc").c_str(), 1);
    std::vector<CdDrive> drives = ListCdDrives();
    unsetenv("QUORVAN_CDROM_TOC");
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.back().path, TocPath("example.toc"));
    std::vector<CdDrive> without = ListCdDrives();
    EXPECT_EQ(without.size(), drives.size() - 1);
}

}  // namespace
}  // namespace quorvan
