#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "cdaudio/cddb_settings.h"
#include "platform/cdrom.h"
#include "support/local_cddb_server.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::ShellQuote;

std::string TocPath(const std::string& name) {
    return std::string(QUORVAN_TEST_DATA) + "/cddb/tocs/" + name;
}

class CdNamesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Start());
        unsetenv("QUORVAN_CDROM_TOC");
    }

    // Runs quorvan-cli with the local server; standard output in `out`,
    // standard error in `err`.
    int Run(const std::string& arguments, std::string& out, std::string& err,
            const std::string& environment = "") {
        return test::Cli(arguments, &out, &err,
                         "QUORVAN_CDDB_SERVER=" + server_.Address() + " " + environment);
    }

    test::StateDirScope state_;
    test::CLocalCddbServer server_{std::string(QUORVAN_TEST_DATA) + "/cddb/server"};
};

TEST_F(CdNamesTest, PrintsDiscIdAndTitlesOfTheDriveGivenOrTheFirstListed) {
    const std::string names = "discid 0c01b202\n01\tFirst\t03:08\n02\tSecond\t04:05\n";
    std::string out, err;
    ASSERT_EQ(Run("cd-names " + ShellQuote(TocPath("example.toc")), out, err), 0) << err;
    EXPECT_EQ(out, names);
    EXPECT_TRUE(err.empty()) << err;
    if (!ListCdDrives().empty()) {
        GTEST_SKIP() << "this machine has a CD drive of its own";
    }
    EXPECT_EQ(Run("cd-names", out, err), 2);
    EXPECT_NE(err.find("no CD drive"), std::string::npos) << err;
    ASSERT_EQ(Run("cd-names", out, err, "QUORVAN_CDROM_TOC=" + ShellQuote(TocPath("example.toc"))),
              0)
        << err;
    EXPECT_EQ(out, names);
}

TEST_F(CdNamesTest, FailuresAndUsage) {
    std::string out, err;
    EXPECT_EQ(Run("cd-names " + ShellQuote(TocPath("unknown.toc")), out, err), 1);
    EXPECT_EQ(out, "discid 06029802\n");
    EXPECT_NE(err.find("Unable to get this CD's information."), std::string::npos) << err;

    EXPECT_EQ(Run("cd-names a b", out, err), 2);
    EXPECT_EQ(Run("cd-names " + ShellQuote(TocPath("example.toc")), out, err,
                  "QUORVAN_CDDB_SERVER=nonsense"),
              2);
    EXPECT_NE(err.find("QUORVAN_CDDB_SERVER"), std::string::npos) << err;

    EXPECT_EQ(Run("--help", out, err), 0);
    EXPECT_NE(out.find("quorvan-cli cd-names [DRIVE]"), std::string::npos);
}

TEST_F(CdNamesTest, StoredEmailAddressIsTheHello) {
    CCddbSettingsStore store;
    ASSERT_TRUE(store.Save({"gnudb.gnudb.org", 80, "someone@example.org"}));
    std::string out, err;
    ASSERT_EQ(Run("cd-names " + ShellQuote(TocPath("example.toc")), out, err), 0) << err;
    for (const std::string& request : server_.Requests()) {
        EXPECT_NE(request.find("&hello=someone+example.org+TelluraneCDDB+1.00&proto=6 HTTP/1.0"),
                  std::string::npos)
            << request;
    }
}

TEST(CddbSettingsStore, SavesLoadsAndRefuses) {
    test::StateDirScope state;
    CCddbSettingsStore store;
    EXPECT_EQ(store.Load(), CddbSettings{});  // nothing stored: the defaults
    CddbSettings settings{"cddb.example.net", 8080, "me@example.net"};
    ASSERT_TRUE(store.Save(settings));
    EXPECT_EQ(CCddbSettingsStore().Load(), settings);
    // Kept apart from the usage counters, in the per-user folder.
    EXPECT_TRUE(state.Dir().Exists("state/cddb"));
    EXPECT_FALSE(state.Dir().Exists("state/counters"));

    EXPECT_FALSE(store.Save({"", 80, ""}));
    EXPECT_FALSE(store.Save({"host name", 80, ""}));
    EXPECT_FALSE(store.Save({"host", 0, ""}));
    EXPECT_FALSE(store.Save({"host", 80, "no-at-sign"}));
    EXPECT_FALSE(store.Save({"host", 80, "a@b@c"}));
    EXPECT_FALSE(ValidateCddbSettings({"host", 70000, ""}).empty());
    EXPECT_EQ(store.Load(), settings);  // refused saves change nothing

    // A hand-edited store with nonsense falls back to the defaults.
    std::ofstream(state.Dir() / "state/cddb") << "CddbServerHost=bad host\nCddbServerPort=99999\n"
                                                 "CddbEmailAddress=broken\n";
    EXPECT_EQ(store.Load(), CddbSettings{});
}

}  // namespace
}  // namespace quorvan
