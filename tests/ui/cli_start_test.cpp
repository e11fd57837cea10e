// The command line starts where the window opens: a --set line that switches
// something on gives what the same click gives in the window, every other
// line of both files (the in-memory filter page's among them) alike.

#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "cli/cli_session.h"
#include "rules/settings_store.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

// Pickers show the moment their page was made; the two pages are made a
// moment apart.
bool Near(int a, int b) {
    return std::abs(a - b) <= 5;
}

// The lines of a settings file, as key to value.
std::map<std::string, std::string> Lines(const std::string& path) {
    CSettingsStore store;
    EXPECT_TRUE(store.ReadFromFile(path)) << path;
    std::map<std::string, std::string> lines = store.Entries();
    lines.erase("SourcePath");
    return lines;
}

// Equal lines, a time of day ("hh:mm:ss") within a few seconds.
void ExpectSameLines(const std::map<std::string, std::string>& cli,
                     const std::map<std::string, std::string>& window) {
    auto seconds = [](const std::string& text) {
        return std::atoi(text.substr(0, 2).c_str()) * 3600 +
               std::atoi(text.substr(3, 2).c_str()) * 60 + std::atoi(text.substr(6, 2).c_str());
    };
    for (const auto& [key, value] : window) {
        auto it = cli.find(key);
        if (it == cli.end()) {
            ADD_FAILURE() << key << " = " << value << " is missing";
        } else if (key.size() > 4 && key.compare(key.size() - 4, 4, "Time") == 0 &&
                   value.size() == 8 && it->second.size() == 8) {
            EXPECT_TRUE(Near(seconds(it->second), seconds(value)))
                << key << ": " << it->second << " against " << value;
        } else {
            EXPECT_EQ(it->second, value) << key;
        }
    }
    for (const auto& [key, value] : cli) {
        EXPECT_TRUE(window.count(key)) << key << " = " << value << " is extra";
    }
}

// A control of the Rename, Extended, Attribute or Filter page ('r', 'e', 'a',
// 'f') by name.
struct Control {
    char page;
    const char* name;
};

QAbstractButton* ButtonOf(CMainDlg& w, const Control& c) {
    switch (c.page) {
        case 'r':
            return On<QAbstractButton>(w.RenamePage(), c.name);
        case 'e':
            return On<QAbstractButton>(w.ExtendedPage(), c.name);
        case 'a':
            return On<QAbstractButton>(w.AttributePage(), c.name);
        default:
            return On<QAbstractButton>(w.FilterPage(), c.name);
    }
}

struct SwitchCase {
    const char* name;
    std::vector<Control> clicks;
    std::vector<std::pair<std::string, std::string>> sets;
};

TEST(CliStart, SetLinesGiveWhatTheSameClicksGiveInTheWindow) {
    const std::vector<SwitchCase> cases = {
        {"alphabetic sequence",
         {{'r', "sequencingRadioButton"}, {'r', "alphaSequenceRadioButton"}},
         {{"TextSeqModifications", "Seq"}, {"NumericAlphaSequence", "Alpha"}}},
        {"case change", {{'r', "changeCaseCheckBox"}}, {{"CaseChange", "Yes"}}},
        {"copy mode", {{'e', "copyThenRenameRadioButton"}}, {{"RenameInPlace", "No"}}},
        {"attributes", {{'a', "modifyAttributesCheckBox"}}, {{"ModifyAttributes", "Yes"}}},
        {"modified time",
         {{'a', "modifyDateTimeCheckBox"}, {'a', "modifiedDateTimeCheckBox"}},
         {{"ModifyDatesTimes", "Yes"}, {"ModifyModDateTime", "Yes"}}},
        {"attribute filter",
         {{'f', "filterOnAttributesCheckBox"}},
         {{"FilterOnAttributes", "Yes"}}},
        {"time filter",
         {{'f', "filterOnTimesCheckBox"}, {'f', "filterModifiedCheckBox"}},
         {{"FilterOnTimes", "Yes"}, {"FilterOnModDateTime", "Yes"}}},
        {"extension filter",
         {{'f', "filterOnExtensionsCheckBox"}, {'f', "filterExcludeExtensionsCheckBox"}},
         {{"FilterOnExtension", "Yes"}, {"FilterOnExcludeExtensions", "Yes"}}},
    };
    TestDir dir;
    dir.CreateFile("a.txt");
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f(dir.Path());
        CMainDlg& w = f.Window();
        for (const Control& click : c.clicks) {
            QAbstractButton* button = ButtonOf(w, click);
            ASSERT_NE(button, nullptr);
            ASSERT_TRUE(button->isEnabled());
            button->click();
        }
        w.SaveSettingsTo(dir / "window.qvr");

        cli::CCliSession session;
        cli::CliOptions options;
        options.folder = dir.Path();
        options.sets = c.sets;
        options.saveSettingsFile = dir / "cli.qvr";
        ASSERT_EQ(session.Prepare(options, stderr), cli::kExitDone);

        ExpectSameLines(Lines(dir / "cli.qvr"), Lines(dir / "window.qvr"));
        ExpectSameLines(Lines(dir / "cli.qvrfltr"), Lines(dir / "window.qvrfltr"));
    }
}

}  // namespace
}  // namespace quorvan::test
