#include <discid/discid.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <sstream>

#include "cdaudio/http_fetcher.h"
#include "cdaudio/musicbrainz_client.h"
#include "cdaudio/musicbrainz_disc_id.h"
#include "cdaudio/musicbrainz_reply.h"
#include "support/file_text.h"
#include "support/local_musicbrainz_server.h"

namespace quorvan {
namespace {

using namespace std::chrono_literals;

const std::string kData = std::string(QUORVAN_TEST_DATA) + "/musicbrainz";

std::vector<int32_t> Numbers(const std::string& text) {
    std::vector<int32_t> numbers;
    std::istringstream in(text);
    for (int32_t n; in >> n;) {
        numbers.push_back(n);
    }
    return numbers;
}

// Tracks as a drive reports them, from absolute starts and the lead-out.
std::vector<CdTrackFacts> Facts(const std::vector<int32_t>& starts, int32_t leadOut,
                                size_t dataFrom = SIZE_MAX) {
    std::vector<CdTrackFacts> facts;
    for (size_t i = 0; i < starts.size(); ++i) {
        const int32_t next = i + 1 < starts.size() ? starts[i + 1] : leadOut;
        facts.push_back(
            {starts[i], next - starts[i] - (i + 1 == starts.size() ? 1 : 0), i < dataFrom});
    }
    return facts;
}

// libdiscid's own id and toc text of the audio session; an enhanced CD's
// audio ends 11400 frames before its data track, as libdiscid reads a drive.
struct Reference {
    std::string id;
    std::string toc;
};
Reference LibdiscidOf(const std::vector<int32_t>& starts, int32_t leadOut, size_t dataFrom) {
    int offsets[100] = {};
    const size_t audio = std::min(starts.size(), dataFrom);
    offsets[0] = audio < starts.size() ? starts[audio] - 11400 : leadOut;
    for (size_t i = 0; i < audio; ++i) {
        offsets[i + 1] = starts[i];
    }
    DiscId* disc = discid_new();
    Reference reference;
    if (discid_put(disc, 1, static_cast<int>(audio), offsets)) {
        reference = {discid_get_id(disc), discid_get_toc_string(disc)};
    }
    discid_free(disc);
    return reference;
}

// Random discs, every third an enhanced CD whose last track is data.
TEST(MusicBrainzDiscId, AgreesWithLibdiscidOnRandomDiscs) {
    std::mt19937 random(19991231);
    const auto uniform = [&random](int32_t from, int32_t to) {
        return std::uniform_int_distribution<int32_t>(from, to)(random);
    };
    for (int round = 0; round < 500; ++round) {
        const int tracks = uniform(1, 99);
        const bool enhanced = tracks > 1 && round % 3 == 0;
        std::vector<int32_t> starts;
        int32_t at = uniform(150, 2000);
        // libdiscid takes discs of up to 90 minutes.
        const int32_t longest = (89 * 60 * 75 - 11400 - at) / tracks;
        for (int t = 0; t < tracks; ++t) {
            at += enhanced && t + 1 == tracks ? 11400 : 0;  // the audio session's end
            starts.push_back(at);
            at += uniform(std::min(longest, 300), longest);
        }
        SCOPED_TRACE(std::to_string(tracks) + " tracks" + (enhanced ? ", enhanced" : ""));
        const size_t dataFrom = enhanced ? starts.size() - 1 : SIZE_MAX;
        const MusicBrainzToc toc = MusicBrainzTocOf(Facts(starts, at, dataFrom));
        const Reference reference = LibdiscidOf(starts, at, dataFrom);
        ASSERT_FALSE(reference.id.empty());
        EXPECT_EQ(MusicBrainzDiscId(toc), reference.id);
        EXPECT_EQ(MusicBrainzTocText(toc), reference.toc);
        // An enhanced CD's data track is not part of its MusicBrainz table.
        EXPECT_EQ(toc.last, static_cast<int>(std::min(starts.size(), dataFrom)));
    }
    EXPECT_TRUE(MusicBrainzDiscId(MusicBrainzTocOf({})).empty());
}

TEST(MusicBrainzDiscId, EveryDiscOfTheCapturedRepliesHasTheIdTheServiceGaveIt) {
    // A disc's offsets and sectors in a reply are its table of contents.
    const std::regex disc(
        R"re("id": "([^"]{28})",\s*"offset-count": \d+,\s*"offsets": \[([^\]]*)\],\s*"sectors": (\d+))re");
    std::map<std::string, bool> seen;
    for (const auto& entry : std::filesystem::directory_iterator(kData + "/replies")) {
        const std::string text = test::FileText(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), disc), end; it != end; ++it) {
            std::string offsets = (*it)[2];
            std::replace(offsets.begin(), offsets.end(), ',', ' ');
            const MusicBrainzToc toc =
                MusicBrainzTocOf(Facts(Numbers(offsets), std::stoi((*it)[3])));
            EXPECT_EQ(MusicBrainzDiscId(toc), (*it)[1]) << entry.path();
            seen[(*it)[1]] = true;
        }
    }
    EXPECT_EQ(seen.size(), 5u);
    // The id libdiscid's own test gives the 22-track disc of the shared material.
    EXPECT_EQ(MusicBrainzDiscId(MusicBrainzTocOf(
                  Facts({150,    9700,   25887,  39297,  53795,  63735,  77517,  94877,
                         107270, 123552, 135522, 148422, 161197, 174790, 192022, 205545,
                         218010, 228700, 239590, 255470, 266932, 288750},
                        303602))),
              "xUp1F2NkfP8s8jaeFn_Av3jNEI4-");
}

TEST(MusicBrainzRequests, UrlsAndHeadersAreExactlyWhatTheServiceAsksFor) {
    MusicBrainzToc toc = MusicBrainzTocOf(
        Facts({150, 6614, 32287, 54041, 61236, 88129, 92729, 115276, 153877}, 189343));
    EXPECT_EQ(DiscIdLookupUrl("https://musicbrainz.org", "IeldkVfIh1wep_M8CMuDvA0nQ7Q-"),
              "https://musicbrainz.org/ws/2/discid/IeldkVfIh1wep_M8CMuDvA0nQ7Q-"
              "?inc=recordings+artist-credits&fmt=json");
    EXPECT_EQ(TocLookupUrl("https://musicbrainz.org", "IeldkVfIh1wep_M8CMuDvA0nQ7Q-", toc),
              "https://musicbrainz.org/ws/2/discid/IeldkVfIh1wep_M8CMuDvA0nQ7Q-"
              "?toc=1+9+189343+150+6614+32287+54041+61236+88129+92729+115276+153877"
              "&cdstubs=no&inc=recordings+artist-credits&fmt=json");
    EXPECT_EQ(
        MusicBrainzHeaders(),
        (std::vector<std::string>{"User-Agent: Quorvan/1.00 ( https://www.example.com/quorvan/ )",
                                  "Accept: application/json"}));
}

TEST(MusicBrainzRequests, PlainHttpOnlyOnALoopbackAddress) {
    const std::pair<const char*, bool> cases[] = {
        {"https://musicbrainz.org", true},
        {"https://beta.musicbrainz.org:8443/mirror", true},
        {"http://127.0.0.1:8080", true},
        {"http://127.12.0.1", true},
        {"http://[::1]:5000", true},
        {"http://musicbrainz.org", false},
        {"http://localhost:8080", false},  // a name may resolve anywhere
        {"http://127.0.0.1@evil.example", false},
        {"http://128.0.0.1", false},
        {"ftp://127.0.0.1", false},
        {"musicbrainz.org", false},
        {"https://", false},
        {"https://music brainz.org", false},
    };
    for (const auto& [url, allowed] : cases) {
        std::string error;
        EXPECT_EQ(CheckMusicBrainzUrl(url, error), allowed) << url;
        EXPECT_EQ(error.empty(), allowed) << url;
    }
}

// Each captured reply as the reader sees it.
TEST(MusicBrainzReply, ReadsEveryCapturedReply) {
    struct Case {
        const char* file;
        const char* discId;
        int trackCount;
        size_t releases;
        const char* artist;
        const char* title;
        const char* year;
        const char* country;
        const char* format;
        size_t tracks;
        size_t track;
        const char* trackTitle;  // as the retrieved list gets it
    };
    const Case cases[] = {
        {"discid_nN2g3a0ZSjovyIgK3bJl6_.j8C4-.json", "nN2g3a0ZSjovyIgK3bJl6_.j8C4-", 1, 1,
         "Autechre & The Hafler Trio", "æ³o & h³æ", "2003", "GB", "CD 1/2", 1, 0, "æ³o"},
        // The same release by its second disc: the medium holding that disc.
        {"discid_aSHvkMnq2jZVFEK.DmSPbvN_f54-.json", "aSHvkMnq2jZVFEK.DmSPbvN_f54-", 1, 1,
         "Autechre & The Hafler Trio", "æ³o & h³æ", "2003", "GB", "CD 2/2", 1, 0, "h³æ"},
        {"discid_xAq8L4ELMW14.6wI6tt7QAcxiDI-.json", "xAq8L4ELMW14.6wI6tt7QAcxiDI-", 12, 2,
         "Isobel Campbell & Mark Lanegan", "Ballad of the Broken Seas", "2006", "GB", "CD", 12, 5,
         "Ramblin' Man"},
        {"discid_f7XO36a7n1LCCskkCiulReWbwZA-.json", "f7XO36a7n1LCCskkCiulReWbwZA-", 18, 1,
         "Various Artists", "2 Meter Sessies, Volume 10", "2001", "NL", "CD", 18, 15,
         "Tom Jones & Stereophonics - Mama Told Me Not to Come"},
        // Found by a similar table: the 9-track medium, listed without tracks.
        {"toc_1_9_189343_aerial.json", "aa11.sPglQ1x0cybDcDi0OsZw9Q-", 9, 2, "", "Aerial", "2008",
         "", "Format 2/2", 0, 0, ""},
    };
    for (const Case& c : cases) {
        std::vector<MusicBrainzRelease> releases;
        std::string error;
        ASSERT_TRUE(ParseMusicBrainzReleases(test::FileText(kData + "/replies/" + c.file), c.discId,
                                             c.trackCount, releases, error))
            << c.file << ": " << error;
        ASSERT_EQ(releases.size(), c.releases) << c.file;
        const MusicBrainzRelease& first = releases.front();
        EXPECT_EQ(first.artist, c.artist) << c.file;
        EXPECT_EQ(first.title, c.title) << c.file;
        EXPECT_EQ(first.Year(), c.year) << c.file;
        EXPECT_EQ(first.country, c.country) << c.file;
        EXPECT_EQ(first.format, c.format) << c.file;
        EXPECT_EQ(first.tracks.size(), c.tracks) << c.file;
        EXPECT_EQ(MusicBrainzTrackTitle(first, c.track), c.trackTitle) << c.file;
    }
    EXPECT_EQ(MusicBrainzErrorText(test::FileText(kData + "/replies/error_not_found.json")),
              "Not Found");
}

TEST(MusicBrainzReply, RepliesThatAreNotTheServicesNeverCrashAndSaySo) {
    const std::pair<std::string, bool> cases[] = {
        {"", false},
        {"<html><body>502 Bad Gateway</body></html>", false},
        {"[]", false},
        {"{}", false},
        {R"({"releases": 5})", false},
        {"{\"releases\": [], \"x\": \"\xff\xfe\"}", false},  // not UTF-8
        {std::string(100000, '['), false},
        {R"({"releases": []})", true},
        {R"({"releases": [1, "two", null, {"media": "three"}, {"media": [7, {"tracks": 8}]}]})",
         true},
        {R"({"releases": [{"title": 5, "artist-credit": [{"name": []}],
             "media": [{"track-count": 1, "tracks": [{"title": {}}, null]}]}]})",
         true},
    };
    for (const auto& [body, valid] : cases) {
        std::vector<MusicBrainzRelease> releases;
        std::string error;
        EXPECT_EQ(ParseMusicBrainzReleases(body, "x", 1, releases, error), valid)
            << body.substr(0, 80);
        EXPECT_EQ(error.empty(), valid);
        for (const MusicBrainzRelease& release : releases) {
            EXPECT_LE(release.tracks.size(), 99u);
        }
    }
}

// Replies from a script and time that passes only while the client waits.
class ScriptedService final : public IHttpFetcher, public IClock {
  public:
    HttpReply Get(const std::string& url, const std::vector<std::string>& headers) override {
        urls.push_back(url);
        at.push_back(now);
        EXPECT_EQ(headers, MusicBrainzHeaders());
        HttpReply reply = replies.empty() ? HttpReply{404, "", "", -1} : replies.front();
        if (!replies.empty()) {
            replies.pop_front();
        }
        return reply;
    }
    TimePoint Now() override { return now; }
    void SleepFor(std::chrono::milliseconds duration) override { now += duration; }

    std::deque<HttpReply> replies;
    std::vector<std::string> urls;
    std::vector<TimePoint> at;
    TimePoint now{};
};

class MusicBrainzClientTest : public ::testing::Test {
  protected:
    MusicBrainzLookup Lookup() { return client_.Lookup(toc_, "xAq8L4ELMW14.6wI6tt7QAcxiDI-"); }
    static HttpReply Found() {
        return {200, test::FileText(kData + "/replies/discid_xAq8L4ELMW14.6wI6tt7QAcxiDI-.json"),
                "", -1};
    }
    std::chrono::milliseconds Gap(size_t i) const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(service_.at[i] -
                                                                     service_.at[i - 1]);
    }

    ScriptedService service_;
    CMusicBrainzClient client_{"https://mb.example", service_, service_};
    MusicBrainzToc toc_ = MusicBrainzTocOf(Facts(
        {150, 13021, 27280, 44821, 57000, 69051, 84731, 100266, 121055, 134078, 150891, 167733},
        192868));
};

TEST_F(MusicBrainzClientTest, OneRequestASecondAcrossLookups) {
    service_.replies = {Found(), Found(), Found()};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Lookup().ok);
        service_.now += 300ms;  // the user presses Get names again soon
    }
    ASSERT_EQ(service_.at.size(), 3u);
    EXPECT_EQ(Gap(1), 1000ms);
    EXPECT_EQ(Gap(2), 1000ms);
    service_.now += 5s;
    service_.replies = {Found()};
    ASSERT_TRUE(Lookup().ok);
    EXPECT_GT(Gap(3), 5s);  // no needless wait after a pause
}

TEST_F(MusicBrainzClientTest, A503IsWaitedOutAndRetriedOnce) {
    service_.replies = {{503, "", "", -1}, Found()};
    MusicBrainzLookup lookup = Lookup();
    EXPECT_TRUE(lookup.ok) << lookup.message;
    ASSERT_EQ(service_.urls.size(), 2u);
    EXPECT_EQ(service_.urls[0], service_.urls[1]);
    EXPECT_GE(Gap(1), 1000ms);

    service_.replies = {{503, "", "", 4}, Found()};  // Retry-After: 4
    EXPECT_TRUE(Lookup().ok);
    EXPECT_EQ(Gap(3), 4000ms);
    service_.replies = {{503, "", "", 3600}, Found()};  // never an hour
    EXPECT_TRUE(Lookup().ok);
    EXPECT_EQ(Gap(5), CMusicBrainzClient::kLongestRetryWait);

    service_.replies = {{503, "", "", -1}, {503, "", "", -1}, Found()};
    lookup = Lookup();
    EXPECT_FALSE(lookup.ok);
    EXPECT_EQ(lookup.message, kMusicBrainzBusy);
    EXPECT_EQ(service_.urls.size(), 8u);  // once retried, then given up
}

TEST_F(MusicBrainzClientTest, FailuresSayWhatHappened) {
    struct Case {
        std::deque<HttpReply> replies;
        std::string message;
        std::string details;
        size_t requests;
    };
    const std::string notFound = test::FileText(kData + "/replies/error_not_found.json");
    const Case cases[] = {
        {{{404, notFound, "", -1}, {404, notFound, "", -1}}, kMusicBrainzUnknownDisc, "", 2},
        {{{200, R"({"releases": []})", "", -1},
          {200, R"({"release-count": 0, "releases": []})", "", -1}},
         kMusicBrainzUnknownDisc,
         "",
         2},
        // A CD stub is no release: the table is asked for next.
        {{{200, R"({"track-count": 0, "tracks": []})", "", -1}, {404, notFound, "", -1}},
         kMusicBrainzUnknownDisc,
         "",
         2},
        {{{0, "", "Could not resolve host: mb.example", -1}},
         "Unable to reach the MusicBrainz service: Could not resolve host: mb.example",
         "",
         1},
        {{{400, R"({"error": "Invalid discid."})", "", -1}},
         "The MusicBrainz service refused the request (HTTP status 400).",
         "Invalid discid.",
         1},
        {{{200, "<html>maintenance</html>", "", -1}},
         kMusicBrainzBadReply,
         "the reply is not a JSON object",
         1},
        {{{404, notFound, "", -1}, {500, "", "", -1}},
         "The MusicBrainz service refused the request (HTTP status 500).",
         "",
         2},
    };
    for (const Case& c : cases) {
        ScriptedService service;
        service.replies = c.replies;
        CMusicBrainzClient client("https://mb.example", service, service);
        MusicBrainzLookup lookup = client.Lookup(toc_, "xAq8L4ELMW14.6wI6tt7QAcxiDI-");
        EXPECT_FALSE(lookup.ok);
        EXPECT_EQ(lookup.message, c.message);
        EXPECT_EQ(lookup.details, c.details);
        ASSERT_EQ(service.urls.size(), c.requests) << c.message;
        if (c.requests == 2) {  // the id was unknown: the table was asked for
            EXPECT_EQ(service.urls[1],
                      TocLookupUrl("https://mb.example", "xAq8L4ELMW14.6wI6tt7QAcxiDI-", toc_));
        }
    }
}

TEST(CurlFetcher, TalksHttpToTheLocalServerAndGivesUpOnASilentOne) {
    test::CLocalMusicBrainzServer server(kData);
    ASSERT_TRUE(server.Start());
    CCurlFetcher fetcher(1500ms);
    HttpReply reply = fetcher.Get(DiscIdLookupUrl(server.Url(), "nN2g3a0ZSjovyIgK3bJl6_.j8C4-"),
                                  MusicBrainzHeaders());
    EXPECT_EQ(reply.status, 200) << reply.error;
    EXPECT_NE(reply.body.find("Autechre"), std::string::npos);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_NE(server.Requests()[0].find(
                  "GET /ws/2/discid/nN2g3a0ZSjovyIgK3bJl6_.j8C4-?inc=recordings+artist-credits"
                  "&fmt=json HTTP/1.1\r\n"),
              std::string::npos);
    EXPECT_NE(server.Requests()[0].find(
                  "\r\nUser-Agent: Quorvan/1.00 ( https://www.example.com/quorvan/ )\r\n"),
              std::string::npos);

    reply = fetcher.Get(server.Url() + "/ws/2/discid/unknown", {});
    EXPECT_EQ(reply.status, 404);
    EXPECT_EQ(reply.retryAfterSeconds, -1);
    server.QueueStatus(503);
    reply = fetcher.Get(server.Url() + "/ws/2/discid/unknown", {});
    EXPECT_EQ(reply.status, 503);
    EXPECT_EQ(reply.retryAfterSeconds, 2);

    server.SetSilent(true);
    const auto started = std::chrono::steady_clock::now();
    reply = fetcher.Get(server.Url() + "/ws/2/discid/x", {});
    EXPECT_EQ(reply.status, 0);
    EXPECT_NE(reply.error.find("timed out"), std::string::npos) << reply.error;
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);

    // A scheme curl must not speak.
    reply = fetcher.Get("file:///etc/passwd", {});
    EXPECT_EQ(reply.status, 0);
    EXPECT_TRUE(reply.body.empty());
}

}  // namespace
}  // namespace quorvan
