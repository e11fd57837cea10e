#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <tuple>

#include "cdaudio/cddb_reply.h"
#include "common/text.h"
#include "support/file_text.h"

namespace quorvan {
namespace {

std::string DataFile(const std::string& relative) {
    return test::FileText(std::string(QUORVAN_TEST_DATA) + "/cddb/" + relative);
}

// Lines joined with CR LF, each ended by one.
std::string CrLf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

const char* const kExampleRecord[] = {
    "210 rock 0c01b202 CD database entry follows",
    "# xmcd",
    "# Track frame offsets:",
    "#       150",
    "#       14270",
    "# Disc length: 436 seconds",
    "# Revision: 2",
    "# Submitted via: TelluraneCDDB 1.00",
    "DISCID=0c01b202",
    "DTITLE=Some Band / Best Of",
    "DYEAR=2002",
    "DGENRE=Rock",
    "TTITLE0=First",
    "TTITLE1=Second",
    "EXTD=",
    "EXTT0=",
    "EXTT1=",
    "PLAYORDER=",
};

// The example record with some lines replaced (by their start up to "=" or
// ":") or added.
std::string ExampleWith(const std::vector<std::pair<std::string, std::string>>& changes) {
    std::vector<std::string> lines(std::begin(kExampleRecord), std::end(kExampleRecord));
    for (const auto& [start, line] : changes) {
        bool replaced = false;
        for (std::string& existing : lines) {
            if (!start.empty() && existing.rfind(start, 0) == 0) {
                existing = line;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            lines.push_back(line);
        }
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

TEST(ReplyBody, StartsAfterTheHttpHeaderAndItsStatusLineIsTheMessage) {
    EXPECT_EQ(ReplyBody("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n200 x\r\n"),
              "200 x\r\n");
    EXPECT_FALSE(ReplyBody("HTTP/1.0 200 OK\r\n200 x").has_value());
    EXPECT_EQ(StatusCode("211 Found"), 211);
    EXPECT_EQ(StatusCode("21"), -1);
    EXPECT_EQ(StatusCode("2x1 Found"), -1);
    // The status line is the server's own words for a message.
    EXPECT_EQ(ReplyStatusLine("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
                              "500 Invalid hello.\r\n"),
              "500 Invalid hello.");
    // The web server itself refused: its status is all there is.
    EXPECT_EQ(ReplyStatusLine("HTTP/1.1 403 Forbidden\r\n\r\n<html>Forbidden</html>"),
              "HTTP/1.1 403 Forbidden");
    // A hostile reply cannot flood or garble the message.
    EXPECT_EQ(ReplyStatusLine("500 tab\tand\x1b escape\r\n"), "500 taband escape");
    EXPECT_EQ(ReplyStatusLine("500 " + std::string(100000, 'x')).size(), 200u);
}

TEST(SiteLine, ExamplesAndRefusals) {
    CddbSite site;
    const auto fields = [&site] {
        return std::tuple(site.host, site.port, site.path, site.north, site.latitude, site.east,
                          site.longitude, site.description);
    };
    ASSERT_TRUE(ParseSiteLine("host http 8880 /~cddb/cddb.cgi S012.30 W045.07 Some place", site));
    EXPECT_EQ(fields(),
              std::tuple("host", 8880, "/~cddb/cddb.cgi", false, 750, false, 2707, "Some place"));
    ASSERT_TRUE(
        ParseSiteLine("us.freedb.org HTTP 80 /~cddb/cddb.cgi N037.21 E121.55 San Jose, CA", site));
    EXPECT_EQ(fields(), std::tuple("us.freedb.org", 80, "/~cddb/cddb.cgi", true, 37 * 60 + 21, true,
                                   121 * 60 + 55, "San Jose, CA"));

    for (const char* line : {
             "freedb.freedb.org cddbp 8880 - N000.00 W000.00 Random freedb server",
             "host http 80 /path N000.00 W000.00",       // no description
             "host http 80 /path N000.00 W000.00 ",      // empty description
             "host http 80 /path X000.00 W000.00 desc",  // bad hemisphere
             "host http 80 /path N00.00 W000.00 desc",   // six characters
             "host http 80 /path N000.00 N000.00 desc",  // longitude as latitude
             "",
         }) {
        EXPECT_FALSE(ParseSiteLine(line, site)) << line;
    }
}

TEST(MatchLine, ExamplesAndRefusals) {
    CddbMatch match;
    const auto fields = [&match] {
        return std::tuple(match.category, match.discId, match.artist, match.title);
    };
    ASSERT_TRUE(ParseMatchLine("rock 7a0b1c0d Some Artist / Some Title", match));
    EXPECT_EQ(fields(), std::tuple("rock", 0x7a0b1c0du, "Some Artist", "Some Title"));
    ASSERT_TRUE(ParseMatchLine("misc 12345678 NoSlashTitle", match));
    EXPECT_EQ(fields(), std::tuple("misc", 0x12345678u, "", "NoSlashTitle"));
    ASSERT_TRUE(ParseMatchLine("misc   12345678   Spaced / Out\r\nnext", match));
    EXPECT_EQ(fields(), std::tuple("misc", 0x12345678u, "Spaced", "Out"));

    for (const char* line : {"rock", "rock 7a0b1c0d", "rock 7a0b1c0d ", "rock zz Title", ""}) {
        EXPECT_FALSE(ParseMatchLine(line, match)) << line;
    }
}

TEST(QueryReply, ExactInexactNoMatchAndRealServerBodies) {
    std::vector<CddbMatch> matches;
    CddbParseResult result =
        ParseQueryReply("200 rock 7a0b1c0d Some Artist / Some Title\r\n", matches);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].discId, 0x7a0b1c0du);
    EXPECT_EQ(matches[0].artist, "Some Artist");

    result =
        ParseQueryReply(CrLf({"211 Found inexact matches, list follows", "blues 7a0b1c0d A / One",
                              "folk 7a0b1c0e B / Two", "misc 7a0b1c0f C / Three", "."}),
                        matches);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[0].category, "blues");
    EXPECT_EQ(matches[2].title, "Three");

    result = ParseQueryReply("202 No match for disc ID 0c01b202.\r\n", matches);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, 0);
    EXPECT_TRUE(matches.empty());

    EXPECT_EQ(ParseQueryReply("403 Database entry is corrupt.\r\n", matches).error,
              EPROTONOSUPPORT);
    EXPECT_EQ(ParseQueryReply("200 ", matches).error, EPROTONOSUPPORT);
    EXPECT_FALSE(ParseQueryReply("200 rock nospace", matches).ok);
    EXPECT_FALSE(ParseQueryReply(CrLf({"210 Found exact matches", "."}), matches).ok);

    // Bodies real servers sent.
    ASSERT_TRUE(ParseQueryReply(DataFile("replies/query_200.txt"), matches).ok);
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].category, "data");
    EXPECT_EQ(matches[0].artist, "Marina & The Diamonds");
    ASSERT_TRUE(ParseQueryReply(DataFile("replies/query_210.txt"), matches).ok);
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[1].category, "misc");
    EXPECT_EQ(matches[2].artist, "Marina & the Diamonds");
}

TEST(SitesReply, KeepsHttpSitesOnly) {
    std::vector<CddbSite> sites;
    CddbParseResult result = ParseSitesReply(
        CrLf({"210 Ok, site information follows",
              "freedb.freedb.org cddbp 8880 - N000.00 W000.00 Random freedb server",
              "us.freedb.org http 80 /~cddb/cddb.cgi N037.21 W121.55 San Jose, CA USA", "."}),
        sites);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_EQ(sites[0].host, "us.freedb.org");
    // A list without usable sites is no failure; a non-21x status is.
    EXPECT_TRUE(ParseSitesReply(CrLf({"210 Ok", "."}), sites).ok);
    EXPECT_TRUE(sites.empty());
    EXPECT_EQ(ParseSitesReply("401 No site information available.\r\n", sites).error,
              EPROTONOSUPPORT);
}

TEST(DiscRecord, TheExampleRecord) {
    CddbDiscRecord record;
    ASSERT_TRUE(ParseDiscRecord(ExampleWith({}), record));
    EXPECT_EQ(record.frameOffsets, (std::vector<int32_t>{150, 14270}));
    EXPECT_EQ(std::tuple(record.discLength, record.revision, record.submitterName,
                         record.submitterVersion, record.submitterComment),
              std::tuple(436, 2, "TelluraneCDDB", "1.00", ""));
    EXPECT_EQ(std::tuple(record.discId, record.artist, record.title, record.year, record.genre),
              std::tuple(0x0c01b202u, "Some Band", "Best Of", 2002, "Rock"));
    EXPECT_EQ(record.trackTitles, (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(record.extendedTrackData, (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(record.playOrder.empty());
    EXPECT_EQ(record.extendedData, "");
}

TEST(DiscRecord, IncompleteRecordsAreRefused) {
    CddbDiscRecord record;
    const std::vector<std::vector<std::pair<std::string, std::string>>> refused = {
        {{"# Submitted via:", "# Processed by: cddbd"}},           // no submitter line
        {{"# Submitted via:", "# Submitted via: TelluraneCDDB"}},  // client name only
        {{"# xmcd", "# not a header"}},
        {{"#       150", "#"}, {"#       14270", "#"}},  // no offsets
        {{"# Disc length:", "#"}},
        {{"DISCID=", "DISCID=0c01b2"}},  // too short to count
        {{"DTITLE=", "DTITLEX=Some Band"}},
        {{"EXTT1=", "EXTX1="}},  // fewer extended entries than titles
        // Indexes no disc can have are refused instead of sizing the arrays.
        {{"", "TTITLE-1=x"}},
        {{"", "TTITLE2000000000=x"}},
    };
    for (const auto& changes : refused) {
        EXPECT_FALSE(ParseDiscRecord(ExampleWith(changes), record)) << changes[0].second;
    }
    // A read reply with another status is a failure too.
    EXPECT_FALSE(ParseDiscRecord("401 rock 0c01b202 No such CD entry in database.\r\n", record));
    EXPECT_FALSE(ParseDiscRecord("210 no line end", record));
}

TEST(DiscRecord, ValuesTitlesAndPlayOrder) {
    CddbDiscRecord record;
    ASSERT_TRUE(ParseDiscRecord(ExampleWith({{"DTITLE=", "DTITLE=Compilation"}}), record));
    EXPECT_EQ(record.artist, "Compilation");
    EXPECT_EQ(record.title, "Compilation");
    ASSERT_TRUE(ParseDiscRecord(ExampleWith({{"DTITLE=", "DTITLE=AC/DC"}}), record));
    EXPECT_EQ(record.artist, "AC/DC");
    EXPECT_EQ(record.title, "AC/DC");

    ASSERT_TRUE(ParseDiscRecord(
        ExampleWith({{"TTITLE0=", "TTITLE0=Part one"}, {"", "TTITLE0= and two"}}), record));
    EXPECT_EQ(record.trackTitles[0], "Part one and two");

    ASSERT_TRUE(ParseDiscRecord(ExampleWith({{"EXTD=", "EXTD=A\\\\nB\\tC"}}), record));
    EXPECT_EQ(record.extendedData, "A\\\nB\tC");

    ASSERT_TRUE(ParseDiscRecord(ExampleWith({{"PLAYORDER=", "PLAYORDER=3,1,,2"}}), record));
    EXPECT_EQ(record.playOrder, (std::vector<int32_t>{3, 1, 0, 2}));

    ASSERT_TRUE(
        ParseDiscRecord(ExampleWith({{"# Disc length:", "# Disc length: 2613 seconds"}}), record));
    EXPECT_EQ(record.discLength, 2613);

    // "#" alone or with one more character never adds an offset.
    ASSERT_TRUE(ParseDiscRecord(ExampleWith({{"#       14270", "#7"}}), record));
    EXPECT_EQ(record.frameOffsets, (std::vector<int32_t>{150}));

    ASSERT_TRUE(ParseDiscRecord(
        ExampleWith({{"# Submitted via:", "# Submitted via:  Grabber   2.1   beta  extra"}}),
        record));
    EXPECT_EQ(record.submitterVersion, "2.1");
    EXPECT_EQ(record.submitterComment, "beta");

    // Track keys out of order lose nothing.
    ASSERT_TRUE(ParseDiscRecord(
        ExampleWith({{"TTITLE0=", "TTITLE1=Second"}, {"TTITLE1=", "TTITLE0=First"}}), record));
    EXPECT_EQ(record.trackTitles, (std::vector<std::string>{"First", "Second"}));
}

// Every real record, at the levels servers answer with: what the page shows
// and names files with is UTF-8, decoded from the set the entry was stored in.
// The partial record has no table of contents and is refused.
TEST(DiscRecord, RealRecordsComeOutInUtf8) {
    struct Case {
        const char* file;
        int level;
        bool complete;
        size_t titles;  // 0: not counted
        int track;      // -1: the disc title
        const char* text;
    };
    const Case cases[] = {
        {"xmcd_2b055c04_finnish_iso8859-1_encoded.txt", 6, true, 0, 2, "Joutsenen Siivill\xc3\xa4"},
        {"xmcd_2b055c04_finnish_iso8859-1_encoded.txt", 5, true, 0, 2, "Joutsenen Siivill\xc3\xa4"},
        {"xmcd_a70c310c_chinese_gb18030_encoded.txt", 6, true, 0, 0, "\xe5\xa4\x9c\xe6\x9b\xb2"},
        {"xmcd_a70c310c_chinese_gb18030_encoded.txt", 5, true, 0, -1,
         "\xe5\x8d\x81\xe4\xb8\x80\xe6\x9c\x88\xe7\x9a\x84\xe8\x90\xa7\xe9\x82\xa6"},
        {"xmcd_1c11c714_jazz_manouche_utf8_multiline.txt", 6, true, 20, 1,
         "Angelo Debarre Quartet: Fl\xc3\xa8"
         "che D'or"},
        {"xmcd_0a105e12_klezmer_utf8.txt", 6, true, 18, 13,
         "Muszik\xc3\xa1s - Greeting of the bride"},
        {"xmcd_0a0dd914_various_annees60_utf8.txt", 6, true, 0, -1, nullptr},
        // A title continued mid-word is joined without a blank.
        {"xmcd_0a0f5811_maria_venuti_multiline_continuations.txt", 6, true, 0, -1,
         "Maria Venuti Sings Schubert, Schoenberg, Schumann"},
        {"xmcd_misc_940aac0d_marina_proto6_from_capture.txt", 6, true, 13, 0, "Are You Satisfied?"},
        {"xmcd_reggae_d50dd30f_various_ska_island.txt", 6, true, 0, -1, nullptr},
        {"xmcd_reggae_d50dd30f_various_ska_island.txt", 5, true, 0, -1, nullptr},
        {"xmcd_8d093509_judas_priest_extd_escapes_partial.txt", 6, false, 0, -1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at level " + std::to_string(c.level));
        CddbDiscRecord record;
        std::string body = "210 misc 00000000 x\r\n" + DataFile(std::string("records/") + c.file);
        ASSERT_EQ(ParseDiscRecord(body, record, c.level), c.complete);
        if (!c.complete) {
            continue;
        }
        EXPECT_FALSE(record.trackTitles.empty());
        if (c.titles > 0) {
            EXPECT_EQ(record.trackTitles.size(), c.titles);
        }
        // Valid UTF-8 without control characters shows on a terminal as it is.
        const std::string disc = record.artist + record.title + record.genre;
        EXPECT_EQ(EscapeForTerminal(disc), disc);
        for (const std::string& title : record.trackTitles) {
            EXPECT_EQ(EscapeForTerminal(title), title);
        }
        if (c.text != nullptr) {
            EXPECT_EQ(c.track < 0 ? record.title : record.trackTitles[static_cast<size_t>(c.track)],
                      c.text);
        }
    }
    // At level 5 a server sends Latin-1 even where the bytes would pass as UTF-8.
    CddbDiscRecord record;
    ASSERT_TRUE(ParseDiscRecord(ExampleWith({{"TTITLE0=First", "TTITLE0=\xc3\xa4"}}), record, 5));
    EXPECT_EQ(record.trackTitles[0], "\xc3\x83\xc2\xa4");
    ASSERT_TRUE(ParseDiscRecord(ExampleWith({{"TTITLE0=First", "TTITLE0=\xc3\xa4"}}), record, 6));
    EXPECT_EQ(record.trackTitles[0], "\xc3\xa4");
}

// Every parser must survive any bytes: truncations of real replies at every
// length, random binary and a very large reply.
TEST(Robustness, TruncatedBinaryAndHugeReplies) {
    std::string record = DataFile("replies/read_210.txt");
    std::string query = DataFile("replies/query_210.txt");
    CddbDiscRecord parsed;
    std::vector<CddbMatch> matches;
    std::vector<CddbSite> sites;
    // Only cuts that keep every extended-track entry can be complete.
    size_t complete = record.find("EXTT12=") + 7;
    for (size_t length = 0; length <= record.size(); ++length) {
        std::string_view cut(record.data(), length);
        EXPECT_EQ(ParseDiscRecord(cut, parsed), length >= complete) << length;
        ParseQueryReply(cut, matches);
        ParseSitesReply(cut, sites);
    }
    for (size_t length = 0; length <= query.size(); ++length) {
        ParseQueryReply(std::string_view(query.data(), length), matches);
    }

    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(std::uniform_int_distribution<size_t>(0, 600)(random), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        if (round % 2 == 0) {
            bytes = "210 x\r\n" + bytes;
        }
        ParseDiscRecord(bytes, parsed);
        ParseQueryReply(bytes, matches);
        ParseSitesReply(bytes, sites);
        CddbSite site;
        ParseSiteLine(bytes, site);
        CddbMatch match;
        ParseMatchLine(bytes, match);
        ReplyBody(bytes);
    }

    // About 10 MB: a record whose last title is continued over many lines.
    std::string huge = ExampleWith({});
    huge.reserve(11 << 20);
    std::string line = "TTITLE1=" + std::string(1000, 'x') + "\r\n";
    while (huge.size() < (10u << 20)) {
        huge += line;
    }
    ASSERT_TRUE(ParseDiscRecord(huge, parsed));
    EXPECT_GT(parsed.trackTitles[1].size(), 10'000'000u);
}

}  // namespace
}  // namespace quorvan
