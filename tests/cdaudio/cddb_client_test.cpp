#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

#include "cdaudio/cddb_client.h"
#include "cdaudio/cddb_reply.h"
#include "cdaudio/cddb_settings.h"
#include "cdaudio/disc_id.h"
#include "cdaudio/get_names.h"
#include "support/local_cddb_server.h"

namespace quorvan {
namespace {

using test::CLocalCddbServer;
using Behaviour = CLocalCddbServer::Behaviour;

std::string TocPath(const std::string& name) {
    return std::string(QUORVAN_TEST_DATA) + "/cddb/tocs/" + name;
}

// A client whose login and host names are fixed, as in the examples.
class CFixedNamesClient final : public CCddbClient {
  public:
    std::string GetUserNameField() override {
        return EmailAddress().empty() ? SanitizeHelloField("j.doe smith")
                                      : CCddbClient::GetUserNameField();
    }
    std::string GetHostNameField() override {
        return EmailAddress().empty() ? SanitizeHelloField("my-pc")
                                      : CCddbClient::GetHostNameField();
    }
};

class CddbClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Start());
        site_.host = "127.0.0.1";
        site_.port = server_.Port();
    }

    CdTrackTable ExampleTable() {
        CdTrackTable table;
        EXPECT_TRUE(client_.ReadToc(table, TocPath("example.toc")));
        return table;
    }

    CLocalCddbServer server_{std::string(QUORVAN_TEST_DATA) + "/cddb/server"};
    CFixedNamesClient client_;
    CddbSite site_;
};

TEST_F(CddbClientTest, QueryRequestLineHostHeaderAndExactMatch) {
    std::vector<CddbMatch> matches;
    ASSERT_TRUE(client_.QueryDisc(site_, 0x0c01b202, ExampleTable(), matches));
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].category, "rock");
    EXPECT_EQ(matches[0].artist, "Some Band");
    EXPECT_TRUE(client_.LastReply().empty());

    std::string expected =
        "GET /~cddb/cddb.cgi?cmd=cddb+query+0c01b202+2+150+14270+436"
        "&hello=j_doe_smith+my_pc+TelluraneCDDB+1.00&proto=6 HTTP/1.0\r\n"
        "Host: 127.0.0.1:" +
        std::to_string(server_.Port()) + "\r\n\r\n";
    EXPECT_EQ(client_.LastRequest(), expected);
}

TEST_F(CddbClientTest, EmailAddressGivesTheHelloFields) {
    client_.SetEmailAddress("j.doe+cd@mail.example.org");
    EXPECT_EQ(client_.GetHelloString(),
              "hello=j.doe%2Bcd+mail.example.org+TelluraneCDDB+1.00&proto=6");
    // Without an address the login and host names are sanitised.
    CCddbClient plain;
    std::string hello = plain.GetHelloString();
    std::string fields = hello.substr(6, hello.find("+TelluraneCDDB") - 6);
    EXPECT_EQ(fields.find_first_not_of(
                  "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_+"),
              std::string::npos)
        << hello;
}

// A server whose site list is empty answers 401; that is no failure. Any
// other refusal is, and its status line is kept for the message; a server
// that cannot be reached has none.
TEST_F(CddbClientTest, SitesWithoutSiteInformationSucceedOtherRefusalsFail) {
    const struct {
        const char* reply;
        bool ok;
        const char* status;
    } cases[] = {
        {"401 No site information available.\r\n", true, ""},
        {"500 Invalid hello: e-mail address required.\r\n", false,
         "500 Invalid hello: e-mail address required."},
        {"402 Server error.\r\n", false, "402 Server error."},
    };
    for (const auto& c : cases) {
        server_.SetSitesReply(c.reply);
        std::vector<CddbSite> sites(1);
        EXPECT_EQ(client_.QuerySites(site_.host, site_.port, site_.path, sites), c.ok) << c.reply;
        EXPECT_EQ(client_.ServerStatusLine(), c.status);
        if (c.ok) {
            EXPECT_TRUE(sites.empty());
        } else {
            EXPECT_EQ(client_.GetErrorCode(), EPROTONOSUPPORT);
        }
    }
    // A refusal is forgotten once a command succeeds, and a server that
    // never answered has no status line.
    server_.SetSitesReply(std::nullopt);
    std::vector<CddbSite> sites;
    ASSERT_TRUE(client_.QuerySites(site_.host, site_.port, site_.path, sites));
    ASSERT_EQ(sites.size(), 1u);  // the cddbp line is skipped
    EXPECT_EQ(sites[0].port, server_.Port());
    EXPECT_EQ(server_.Requests().back().substr(0, 34), "GET /~cddb/cddb.cgi?cmd=sites&hell");
    EXPECT_EQ(client_.ServerStatusLine(), "");
    server_.SetSitesReply("500 Invalid hello.\r\n");
    EXPECT_FALSE(client_.QuerySites(site_.host, site_.port, site_.path, sites));
    int port = server_.Port();
    server_.Stop();
    EXPECT_FALSE(client_.QuerySites("127.0.0.1", port, site_.path, sites));
    EXPECT_EQ(client_.GetErrorCode(), ECONNREFUSED);
    EXPECT_EQ(client_.ServerStatusLine(), "");
    EXPECT_FALSE(client_.QuerySites("no-such-host.invalid", 80, site_.path, sites));
    EXPECT_EQ(client_.GetErrorCode(), EINVAL);
}

TEST_F(CddbClientTest, InexactMatchesInReplyOrderAndReadOfTheFirst) {
    CdTrackTable table;
    ASSERT_TRUE(client_.ReadToc(table, TocPath("marina.toc")));
    const uint32_t id = ComputeDiscId(table);
    std::vector<CddbMatch> matches;
    ASSERT_TRUE(client_.QueryDisc(site_, id, table, matches));
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[0].category, "data");
    EXPECT_EQ(matches[1].category, "misc");
    EXPECT_EQ(matches[2].category, "rock");

    CddbDiscRecord record;
    ASSERT_TRUE(client_.ReadDisc(site_, "misc", id, record));
    EXPECT_EQ(record.trackTitles.size(), 13u);
    EXPECT_EQ(record.trackTitles[0], "Are You Satisfied?");
    EXPECT_EQ(record.discId, id);
    EXPECT_EQ(server_.Requests().back().substr(0, 50),
              "GET /~cddb/cddb.cgi?cmd=cddb+read+misc+940aac0d&he");
}

TEST_F(CddbClientTest, NoMatchEntryNotFoundAndUnsafeCategories) {
    std::vector<CddbMatch> matches;
    CdTrackTable table;
    ASSERT_TRUE(client_.ReadToc(table, TocPath("unknown.toc")));
    EXPECT_FALSE(client_.QueryDisc(site_, ComputeDiscId(table), table, matches));
    EXPECT_TRUE(matches.empty());
    EXPECT_EQ(StatusCode(client_.LastReply()), 202);

    // 401 is a single line without the terminator: the receive fails.
    CddbDiscRecord record;
    EXPECT_FALSE(client_.ReadDisc(site_, "blues", 0x0c01b202, record));
    EXPECT_EQ(client_.GetErrorCode(), EPROTONOSUPPORT);
    EXPECT_NE(client_.LastReply().find("401 blues 0c01b202"), std::string::npos);

    // A category that would change the request line is never sent.
    size_t sent = server_.Requests().size();
    EXPECT_FALSE(client_.ReadDisc(site_, "rock&cmd=x", 0x0c01b202, record));
    EXPECT_FALSE(client_.ReadDisc(site_, "rock\r\nX: y", 0x0c01b202, record));
    EXPECT_EQ(client_.GetErrorCode(), EINVAL);
    EXPECT_EQ(server_.Requests().size(), sent);
}

// A server may close right after a one-line answer, its CR LF never sent.
TEST_F(CddbClientTest, QueryStatusLineEndedByTheCloseIsAccepted) {
    const std::string header = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    std::vector<CddbMatch> matches;
    server_.SetCannedReply(header + "200 rock 7a0b1c0d Some Artist / Some Title");
    ASSERT_TRUE(client_.QueryDisc(site_, 0x0c01b202, ExampleTable(), matches));
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].title, "Some Title");
    EXPECT_EQ(matches[0].discId, 0x7a0b1c0du);

    server_.SetCannedReply(header + "202 No match for disc ID 0c01b202.");
    EXPECT_FALSE(client_.QueryDisc(site_, 0x0c01b202, ExampleTable(), matches));
    EXPECT_EQ(StatusCode(client_.LastReply()), 202);

    // A list cut off by the close is still no answer.
    server_.SetCannedReply(header + "211 close matches\r\nrock 7a0b1c0d A / B");
    EXPECT_FALSE(client_.QueryDisc(site_, 0x0c01b202, ExampleTable(), matches));
    EXPECT_EQ(client_.GetErrorCode(), EPROTONOSUPPORT);
}

TEST_F(CddbClientTest, AServerFallingSilentOrClosingEarlyFails) {
    server_.SetBehaviour(Behaviour::Silent);
    std::vector<CddbMatch> matches;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client_.QueryDisc(site_, 0x0c01b202, ExampleTable(), matches));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(2000));
    EXPECT_LT(waited, std::chrono::milliseconds(5000));
    EXPECT_EQ(client_.GetErrorCode(), EPROTONOSUPPORT);

    // Silent after some data, or closed after it.
    server_.SetBehaviour(Behaviour::HalfThenSilent);
    client_.SetTimeoutMs(500);
    CddbDiscRecord record;
    EXPECT_FALSE(client_.ReadDisc(site_, "rock", 0x0c01b202, record));
    EXPECT_NE(client_.LastReply().find("210 rock"), std::string::npos);  // what came is kept

    server_.SetBehaviour(Behaviour::CloseEarly);
    EXPECT_FALSE(client_.ReadDisc(site_, "rock", 0x0c01b202, record));
    EXPECT_EQ(client_.GetErrorCode(), EPROTONOSUPPORT);
}

TEST_F(CddbClientTest, SlowButSteadyServerIsReadToTheEnd) {
    // Longer in total than the time-out, but never silent that long.
    client_.SetTimeoutMs(300);
    server_.SetBehaviour(Behaviour::Slow);
    server_.SetSlowPace(100, 60);
    CddbDiscRecord record;
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client_.ReadDisc(site_, "misc", 0x940aac0d, record));
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(record.trackTitles.size(), 13u);
    EXPECT_EQ(record.trackTitles[12], "Guilty");
}

TEST_F(CddbClientTest, LargeAndBinaryReplies) {
    std::string header = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    std::string record =
        "210 rock 0c01b202 entry follows\r\n# xmcd\r\n# Track frame offsets:\r\n#\t150\r\n"
        "#\t14270\r\n# Disc length: 436 seconds\r\n# Submitted via: Test 1.0\r\n"
        "DISCID=0c01b202\r\nDTITLE=Big / Reply\r\nTTITLE0=First\r\nEXTT0=\r\n";
    std::string line = "EXTD=" + std::string(1000, 'y') + "\r\n";
    while (record.size() < (10u << 20)) {
        record += line;
    }
    server_.SetCannedReply(header + record + ".\r\n");
    CddbDiscRecord parsed;
    ASSERT_TRUE(client_.ReadDisc(site_, "rock", 0x0c01b202, parsed));
    EXPECT_GT(parsed.extendedData.size(), 10'000'000u);

    std::string binary;
    for (int i = 0; i < 70000; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    server_.SetCannedReply(binary);  // no header end, no terminator
    client_.SetTimeoutMs(300);
    EXPECT_FALSE(client_.ReadDisc(site_, "rock", 0x0c01b202, parsed));
    server_.SetCannedReply(header + "210 x\r\n" + binary + "\r\n.\r\n");
    EXPECT_FALSE(client_.ReadDisc(site_, "rock", 0x0c01b202, parsed));
    std::vector<CddbMatch> matches;
    EXPECT_FALSE(client_.QueryDisc(site_, 0x0c01b202, ExampleTable(), matches));
}

// Get names: the disc id, the sites, the query and the read of the first match.
using GetNamesTest = CddbClientTest;

TEST_F(GetNamesTest, FetchesTheFirstMatchAndMakesRows) {
    GetNamesResult result = GetNames(client_, TocPath("marina.toc"), site_);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.discId, 0x940aac0du);
    ASSERT_EQ(result.titles.size(), 13u);
    // Three inexact matches: the first, in category "data", is read.
    EXPECT_EQ(result.titles[0].name, "Satisfied (other pressing)");
    EXPECT_EQ(result.titles[0].number, "01");
    EXPECT_EQ(result.titles[0].length, "03:21");
    std::vector<std::string> requests = server_.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[0].find("cmd=sites&"), std::string::npos);
    EXPECT_NE(requests[1].find("cmd=cddb+query+940aac0d+13+150+15239+"), std::string::npos);
    EXPECT_NE(requests[2].find("cmd=cddb+read+data+940aac0d&"), std::string::npos);
}

TEST_F(GetNamesTest, EachFailureHasItsOneMessage) {
    EXPECT_EQ(GetNames(client_, "", site_).message, "No CD drive is selected.");

    GetNamesResult result = GetNames(client_, TocPath("data_only.toc"), site_);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message.rfind("An error occurred while retrieving the DISC ID, Error:", 0), 0u)
        << result.message;
    EXPECT_NE(result.message.find(", Text:"), std::string::npos);
    EXPECT_TRUE(server_.Requests().empty());

    result = GetNames(client_, TocPath("unknown.toc"), site_);  // 202: no match
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Unable to get this CD's information.");
    EXPECT_TRUE(result.discId.has_value());

    server_.SetBehaviour(Behaviour::CloseEarly);
    result = GetNames(client_, TocPath("example.toc"), site_);
    EXPECT_EQ(result.message, "Unable to get this CD's information.");
}

TEST(CddbSettings, ServerAddressesAndOverride) {
    std::string host;
    int32_t port = 0;
    EXPECT_TRUE(ParseServerAddress("127.0.0.1:8080", host, port));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 8080);
    EXPECT_TRUE(ParseServerAddress("[::1]:80", host, port));
    EXPECT_EQ(host, "::1");
    for (const char* bad :
         {"host", "host:", ":80", "host:0", "host:65536", "host:8o", "::1:80", "ho st:80"}) {
        EXPECT_FALSE(ParseServerAddress(bad, host, port)) << bad;
    }
    CddbSettings settings;
    setenv("QUORVAN_CDDB_SERVER", "localhost:8880", 1);
    CddbSite site = EffectiveCddbServer(settings);
    unsetenv("QUORVAN_CDDB_SERVER");
    EXPECT_EQ(site.host, "localhost");
    EXPECT_EQ(site.port, 8880);
    EXPECT_EQ(site.path, "/~cddb/cddb.cgi");
    site = EffectiveCddbServer(settings);
    EXPECT_EQ(site.host, "gnudb.gnudb.org");
    EXPECT_EQ(site.port, 80);
}

}  // namespace
}  // namespace quorvan
