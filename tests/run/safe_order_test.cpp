#include <gtest/gtest.h>

#include <cstdio>

#include "run/run_log.h"
#include "run/undo_script.h"
#include "run_test_support.h"
#include "support/held_page.h"

namespace quorvan::test {
namespace {

using Inventory = std::map<std::string, std::string>;
const std::vector<std::string> kRunFiles = {CRunLog::kFileName, CUndoScript::kFileName};

// A run in place with log and undo script over files of a folder; what it
// renames is set by the case.
struct Renaming : EngineRun {
    CHeldPage<CdAudioPageState> cdPage{CdPage({}, {})};

    Renaming() {
        request.writeLog = true;
        request.writeUndo = true;
        rules.Settings().RenameInPlace = true;
        rules.Settings().TextMode = true;
    }
    // Each file gets the name beside it, as a CD title does (the extension
    // stays).
    void Titles(const std::vector<std::pair<std::string, std::string>>& map) {
        rules.SetPages(nullptr, nullptr, nullptr, &cdPage);
        request.cdMode = true;
        for (const auto& [file, title] : map) {
            host.files.push_back(dir.CreateFile(file, "content of " + file));
            cdPage.state.tracks.push_back(dir / file);
            cdPage.state.titles.push_back({"1", title, "1:00", true});
        }
    }
    std::vector<std::string> LogLines(const char* prefix) {
        std::vector<std::string> found;
        for (const std::string& line : Lines(dir.Read(CRunLog::kFileName))) {
            if (line.rfind(prefix, 0) == 0) {
                found.push_back(line);
            }
        }
        return found;
    }
};

Inventory Renamed(const std::vector<std::pair<std::string, std::string>>& map) {
    Inventory after;
    for (const auto& [from, to] : map) {
        after[to] = "content of " + from;
    }
    return after;
}

// The plan check orders every kind of chain and cycle; here the run carries
// one of each out, and its failures.
TEST(SafeOrder, EveryFileOfChainsAndCyclesGetsItsName) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> titles;  // file, new name
        std::vector<std::string> others;                          // files outside the run
        Inventory after;                                          // besides the others
        int failed;
    };
    const Case cases[] = {
        {"a chain and a cycle",
         {{"1", "2"}, {"2", "3"}, {"x", "y"}, {"y", "x"}},
         {},
         Renamed({{"1", "2"}, {"2", "3"}, {"x", "y"}, {"y", "x"}}),
         0},
        {"three sources for one name",
         {{"a", "z"}, {"b", "z"}, {"c", "z"}},
         {},
         Renamed({{"a", "z"}, {"b", "b"}, {"c", "c"}}),
         2},
        // A chain behind a name taken outside the run stays as it is, every
        // link of it; the plan check has the other reasons to fail.
        {"a chain ending at a taken name",
         {{"a", "b"}, {"b", "kept"}},
         {"kept"},
         Renamed({{"a", "a"}, {"b", "b"}}),
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Renaming run;
        run.Titles(c.titles);
        Inventory others;
        for (const std::string& name : c.others) {
            run.dir.CreateFile(name, "outsider " + name);
            others[name] = "outsider " + name;
        }
        const Inventory before = run.dir.Inventory();

        const StartOutcome outcome = run.Start();
        ASSERT_EQ(outcome.ended, StartOutcome::Ended::Ran);
        EXPECT_EQ(outcome.result.filesFailed, c.failed);
        Inventory expected = c.after;
        expected.insert(others.begin(), others.end());
        EXPECT_EQ(run.dir.Inventory(kRunFiles), expected);
        // One "renamed" line per file renamed; a failure line per failed file.
        size_t renamed = 0;
        for (const auto& [file, title] : c.titles) {
            renamed += expected.count(file) == 0 || expected.at(file) != "content of " + file;
        }
        EXPECT_EQ(run.LogLines("renamed ").size(), renamed);
        EXPECT_EQ(run.LogLines("failed ").size(), static_cast<size_t>(c.failed));
        EXPECT_EQ(run.dir.List().size(), expected.size() + 2);  // no temporary left

        std::string output;
        EXPECT_EQ(RunUndoScript(run.dir.Path(), &output), 0) << output;
        EXPECT_EQ(output, "");
        EXPECT_EQ(run.dir.Inventory(kRunFiles), before);
    }
}

// Numbers that move up or down by one, in a folder and in a subfolder.
TEST(SafeOrder, RenumberingRenamesEveryFile) {
    struct Case {
        const char* what;
        int count;
        int start;  // the first new number; the files are 1..count
        const char* folder;
    };
    for (const Case& c :
         {Case{"up by one", 5, 2, ""}, Case{"down by one", 5, 0, ""},
          Case{"up, 20,000 files", 20000, 2, ""}, Case{"up in a subfolder", 5, 2, "sub/"}}) {
        SCOPED_TRACE(c.what);
        Renaming run;
        NumberRules(run.rules, c.start);
        run.rules.Settings().DigitCount = 5;
        auto number = [](int n) {
            char text[16];
            std::snprintf(text, sizeof text, "%05d", n);
            return std::string(text);
        };
        Inventory after;
        for (int i = 1; i <= c.count; ++i) {
            run.host.files.push_back(run.dir.CreateFile(c.folder + number(i), number(i)));
            after[c.folder + number(c.start + i - 1)] = number(i);
        }
        const Inventory before = run.dir.Inventory();
        const StartOutcome outcome = run.Start();
        EXPECT_EQ(outcome.result.filesFailed, 0);
        EXPECT_EQ(outcome.endMessage, "Rename process complete.");
        EXPECT_EQ(run.dir.Inventory(kRunFiles), after);
        EXPECT_EQ(run.LogLines("renamed ").size(), static_cast<size_t>(c.count));

        std::string output;
        EXPECT_EQ(RunUndoScript(run.dir.Path(), &output), 0) << output;
        EXPECT_EQ(output, "");
        EXPECT_EQ(run.dir.Inventory(kRunFiles), before);
    }
}

}  // namespace
}  // namespace quorvan::test
