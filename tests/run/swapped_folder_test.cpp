#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "run/run_worker.h"
#include "run_test_support.h"

namespace quorvan::test {
namespace {

// Replaces the folder `folder` by a symbolic link to `target`; the real
// folder is kept beside it as `folder` + ".real".
void SwapForLink(const std::string& folder, const std::string& target) {
    ASSERT_EQ(rename(folder.c_str(), (folder + ".real").c_str()), 0);
    ASSERT_EQ(symlink(target.c_str(), folder.c_str()), 0);
}

// A folder of the run swapped for a link after the plan was made: nothing is
// renamed or copied in the link's target, and the run or the file says why.
TEST(SwappedFolder, NothingIsDoneInTheTargetOfALinkPutInPlaceOfAFolder) {
    struct Case {
        const char* name;
        bool inPlace;
        bool whileAsked;                 // swapped while the run asks, else at the file
        const char* swapped;             // the folder below the test folder
        const char* decoyFile;           // in the link's target, to stay as it is
        std::vector<std::string> after;  // the files below the test folder
        const char* failure;             // part of the error or failure
    };
    const Case cases[] = {
        {"source folder, in place",
         true,
         true,
         "src",
         "a",
         {"decoy/a", "decoy/b", "decoy/c", "src", "src.real/a", "src.real/b", "src.real/new_b"},
         "is not the one the run was planned for: it was moved or replaced (by a symbolic "
         "link, say). Nothing was changed."},
        {"source folder, copies",
         false,
         true,
         "src",
         "a",
         {"decoy/a", "decoy/b", "decoy/c", "out/new_b/x", "src", "src.real/a", "src.real/b"},
         "is not the one the run was planned for"},
        {"subfolder, in place",
         true,
         false,
         "src/sub",
         "c",
         {"decoy/a", "decoy/b", "decoy/c", "src/new_a", "src/new_b", "src/sub", "src/sub.real/c"},
         "sub/c to "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineRun run;
        TestDir& dir = run.dir;
        TestDir history;
        run.engine.SetHistoryFolder(history.Path());
        PrefixRules(run.rules);
        run.request.sourceFolder = dir / "src";
        run.request.inPlace = c.inPlace;
        for (const char* name : {"a", "b", "c"}) {
            dir.CreateFile(std::string("decoy/") + name, "decoy");
        }
        run.host.files = {dir.CreateFile("src/a", "A"), dir.CreateFile("src/b", "B")};
        if (c.whileAsked) {
            // A file that cannot be renamed makes the run ask first.
            if (c.inPlace) {
                dir.CreateFile("src/new_b", "taken");
            } else {
                dir.CreateFile("out/new_b/x");
                run.rules.Settings().RenameDestFolder = dir / "out";
                run.request.destinationFolder = dir / "out";
            }
            run.host.whileAsked = [&] { SwapForLink(dir / c.swapped, dir / "decoy"); };
        } else {
            run.host.files.push_back(dir.CreateFile("src/sub/c", "C"));
            SetBeforeFileHook([&](const std::string& original) {
                if (original == dir / "src/sub/c") {
                    SwapForLink(dir / c.swapped, dir / "decoy");
                }
            });
        }
        run.rules.Settings().RenameInPlace = c.inPlace;
        const StartOutcome outcome = run.Start();
        SetBeforeFileHook({});

        EXPECT_EQ(dir.Read(std::string("decoy/") + c.decoyFile), "decoy");
        std::vector<std::string> after;
        for (const auto& [path, content] : dir.Inventory()) {
            after.push_back(path);
        }
        EXPECT_EQ(after, c.after);
        std::string said;
        for (const std::string& text : run.host.Errors()) {
            said += text + "\n";
        }
        for (const std::string& text : run.host.Failures()) {
            said += text + "\n";
        }
        EXPECT_NE(said.find(c.failure), std::string::npos) << said;
        if (c.whileAsked) {
            EXPECT_EQ(outcome.result.status, RunStatus::Aborted);
            EXPECT_EQ(outcome.endMessage.rfind("Rename process aborted.", 0), 0u);
        } else {
            EXPECT_EQ(outcome.result.filesFailed, 1);
            EXPECT_NE(said.find("The folder was replaced since the run was planned"),
                      std::string::npos);
        }
    }
}

}  // namespace
}  // namespace quorvan::test
