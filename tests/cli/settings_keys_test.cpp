#include <gtest/gtest.h>

#include "rules/settings_keys.h"
#include "selection/filter_keys.h"
#include "selection/filter_settings.h"
#include "support/settings_fixtures.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TestDir;

std::string SetArguments(const CSettingsStore& store) {
    std::string args;
    for (const auto& [key, value] : store.Entries()) {
        args += " --set " + ShellQuote(key + "=" + value);
    }
    return args;
}

CSettingsStore Read(const std::string& path) {
    CSettingsStore store;
    EXPECT_TRUE(store.ReadFromFile(path)) << path;
    return store;
}

// Every line a settings or filter file can hold is taken by --set and comes
// back unchanged from --save-settings: the command line checks its keys
// against the same tables the writer and the reader walk.
TEST(CliSettingsKeys, EveryLineRoundTripsThroughSetAndSave) {
    TestDir dir;
    dir.CreateFiles({"a.jpg", "b.tmp"});
    const std::vector<FilterRules> filters = test::FullFilterRules();
    size_t n = 0;
    for (RenameSettings settings : test::FullRenameSettings()) {
        settings.SourcePath = dir.Path();
        CSettingsStore rename;
        WriteSettingsKeys(settings, rename);
        CSettingsStore filter;
        WriteFilterKeys(filters[n++ % filters.size()], filter);

        TestDir out;
        const std::string saved = out / "all.qvr";
        std::string err;
        int status = RunCommand(std::string(QUORVAN_CLI_PATH) + " preview" + SetArguments(rename) +
                                    SetArguments(filter) + " --save-settings " + ShellQuote(saved) +
                                    " " + ShellQuote(dir.Path()) + " 2>&1",
                                &err);
        EXPECT_TRUE(status == 0 || status == 3) << err;
        EXPECT_EQ(Read(saved).Entries(), rename.Entries());
        EXPECT_EQ(Read(CFilterSettings::FilterFilePath(saved)).Entries(), filter.Entries());
    }
}

}  // namespace
}  // namespace quorvan
