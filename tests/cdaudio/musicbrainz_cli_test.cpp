#include <gtest/gtest.h>

#include "support/local_musicbrainz_server.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::ShellQuote;

const std::string kData = std::string(QUORVAN_TEST_DATA) + "/musicbrainz";

std::string Toc(const std::string& name) {
    return ShellQuote(kData + "/tocs/" + name);
}

class MusicBrainzCliTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.Start()); }

    int Run(const std::string& arguments, std::string& out, std::string& err,
            const std::string& url = "") {
        return test::Cli(
            "cd-names " + arguments, &out, &err,
            "QUORVAN_MUSICBRAINZ_URL=" + ShellQuote(url.empty() ? server_.Url() : url));
    }

    test::StateDirScope state_;
    test::CLocalMusicBrainzServer server_{kData};
};

TEST_F(MusicBrainzCliTest, EachCasePrintsWhatCddbNamesPrints) {
    struct Case {
        std::string arguments;
        int status;
        std::string out;  // the whole output, or its start when `whole` is false
        bool whole;
        std::string error;  // part of standard error
    };
    const Case cases[] = {
        {"--source musicbrainz " + Toc("autechre_disc1.toc"), 0,
         "discid nN2g3a0ZSjovyIgK3bJl6_.j8C4-\n01\t\xc3\xa6\xc2\xb3o\t16:14\n", true, ""},
        // Several releases: listed, and one chosen.
        {"--source musicbrainz " + Toc("ballad.toc"), 1,
         "discid xAq8L4ELMW14.6wI6tt7QAcxiDI-\n"
         "release\t1\tIsobel Campbell & Mark Lanegan\tBallad of the Broken Seas\t2006\tGB\tCD\n"
         "release\t2\tIsobel Campbell & Mark Lanegan\tBallad of the Broken Seas\t2006\tUS\tCD\n",
         true, "2 releases hold this disc; choose one with --release N"},
        {"--source musicbrainz --release 2 " + Toc("ballad.toc"), 0,
         "discid xAq8L4ELMW14.6wI6tt7QAcxiDI-\n01\tDeus Ibi Est\t02:51\n02\tBlack "
         "Mountain\t03:10\n",
         false, ""},
        {"--source musicbrainz --release 3 " + Toc("ballad.toc"), 2,
         "discid xAq8L4ELMW14.6wI6tt7QAcxiDI-\n", true, "only 2 releases hold this disc"},
        // An unknown id: the releases of similar tables, which list no tracks.
        {"--source musicbrainz " + Toc("aerial_disc2.toc"), 1,
         "discid IeldkVfIh1wep_M8CMuDvA0nQ7Q-\nrelease\t1\t\tAerial\t2008\t\tFormat 2/2\n"
         "release\t2\t\tAerial\t2007\t\tFormat 2/2\n",
         true, ""},
        {"--source musicbrainz --release 2 " + Toc("aerial_disc2.toc"), 1,
         "discid IeldkVfIh1wep_M8CMuDvA0nQ7Q-\n", true,
         "MusicBrainz lists this release without its track titles."},
        // Neither the id nor the table is known.
        {"--source musicbrainz " +
             ShellQuote(std::string(QUORVAN_TEST_DATA) + "/cddb/tocs/example.toc"),
         1, "discid ", false, "MusicBrainz does not know this CD."},
        {"--source musicbrainz " +
             ShellQuote(std::string(QUORVAN_TEST_DATA) + "/cddb/tocs/data_only.toc"),
         1, "", true, "An error occurred while retrieving the DISC ID, Error:"},
        {"--source nowhere " + Toc("ballad.toc"), 2, "", true, "--source is cddb or musicbrainz"},
        {"--release 1 " + Toc("ballad.toc"), 2, "", true, "--release chooses among MusicBrainz"},
        {"--source musicbrainz --release x " + Toc("ballad.toc"), 2, "", true,
         "--release needs a number"},
    };
    for (const Case& c : cases) {
        std::string out, err;
        EXPECT_EQ(Run(c.arguments, out, err), c.status) << c.arguments << "\n" << err;
        if (c.whole) {
            EXPECT_EQ(out, c.out) << c.arguments;
        } else {
            EXPECT_EQ(out.substr(0, c.out.size()), c.out) << c.arguments;
        }
        EXPECT_NE(err.find(c.error), std::string::npos) << c.arguments << "\n" << err;
    }
}

// Plain HTTP elsewhere than on loopback is refused before any request.
TEST_F(MusicBrainzCliTest, PlainHttpElsewhereThanOnLoopbackIsRefused) {
    std::string out, err;
    EXPECT_EQ(Run("--source musicbrainz " + Toc("autechre_disc1.toc"), out, err,
                  "http://musicbrainz.org"),
              2);
    EXPECT_NE(err.find("QUORVAN_MUSICBRAINZ_URL"), std::string::npos) << err;
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace quorvan
