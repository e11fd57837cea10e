#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "rules/settings_keys.h"
#include "selection/filter_keys.h"
#include "selection/filter_settings.h"
#include "support/settings_fixtures.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::Cli;
using test::RunCommand;
using test::ShellQuote;
using test::TestDir;

TEST(CliPreview, PrintsSourceAndTargetInPlanOrder) {
    TestDir dir;
    dir.CreateFiles({"b.txt", "B.txt", "a.jpg", "sub/z.txt"});
    std::string out;
    ASSERT_EQ(Cli("preview --set AddPrefix=Yes --set Prefix=new_ " + ShellQuote(dir.Path()), &out),
              0);
    std::string d = dir.Path();
    EXPECT_EQ(out, d + "/B.txt\t" + d + "/new_B.txt\n" + d + "/a.jpg\t" + d + "/new_a.jpg\n" + d +
                       "/b.txt\t" + d + "/new_b.txt\n");

    // The whole tree with subfolders; NUL separation.
    ASSERT_EQ(Cli("preview -0 --set IncludeSubFolders=Yes " + ShellQuote(dir.Path()), &out), 0);
    EXPECT_NE(
        out.find(d + "/sub/z.txt" + std::string(1, '\0') + d + "/sub/z.txt" + std::string(1, '\0')),
        std::string::npos);
    EXPECT_EQ(out.find('\n'), std::string::npos);
}

TEST(CliPreview, NamesThatAreNotUtf8KeepTheirBytes) {
    TestDir dir;
    dir.CreateFile("\xe9t\xe9 \xff.txt");
    std::string out;
    ASSERT_EQ(Cli("preview --set AddSuffix=Yes --set Suffix=_1 " + ShellQuote(dir.Path()), &out),
              0);
    EXPECT_EQ(out, dir / "\xe9t\xe9 \xff.txt" + "\t" + dir / "\xe9t\xe9 \xff_1.txt" + "\n");
}

// A stored SourcePath names a folder as the system finds it: relative to the
// working folder, ".." taken after links (the window's tests have the other
// spellings).
TEST(CliPreview, AStoredFolderIsTheRealFolderItNames) {
    TestDir root;
    root.CreateFiles({"real/deep/b/x.txt", "b/decoy.txt"});
    root.CreateDir("real/deep/a");
    ASSERT_EQ(symlink((root / "real/deep/a").c_str(), (root / "link").c_str()), 0);
    root.CreateFile("s.qvr",
                    "AddPrefix = Yes\r\nPrefix = n_\r\nSourcePath = link/../b/\r\n"
                    "TextSeqModifications = Text\r\n");
    std::string out;
    EXPECT_EQ(RunCommand("cd " + ShellQuote(root.Path()) + " && " + QUORVAN_CLI_PATH +
                             " preview --settings s.qvr",
                         &out),
              0);
    EXPECT_EQ(out.substr(0, out.find('\t')),
              std::filesystem::canonical(root.Path()).string() + "/real/deep/b/x.txt");
}

TEST(CliPreview, SaveSettingsWritesTheFileAsTheProgramDoes) {
    TestDir dir;
    std::string err;
    // The folder does not exist: the settings are still written, then the
    // preview fails on the folder.
    EXPECT_EQ(Cli("preview --set AddPrefix=Yes --set Prefix=new_ --save-settings " +
                      ShellQuote(dir / "jobs.qvr") + " /photos",
                  nullptr, &err),
              2);
    EXPECT_EQ(dir.Read("jobs.qvr"),
              "AddPrefix = Yes\r\nAddSuffix = No\r\nCaseChange = No\r\nChangeExtension = No\r\n"
              "ConcatExtension = No\r\nIncludeSubFolders = No\r\nLogFile = No\r\n"
              "ModifyAttributes = No\r\nModifyDatesTimes = No\r\nPrefix = new_\r\n"
              "RenameInPlace = Yes\r\nReplaceString = No\r\nSourcePath = /photos\r\n"
              "TextSeqModifications = Text\r\nUndoBatchFile = No\r\n");
    EXPECT_EQ(dir.Read("jobs.qvrfltr"),
              "FilterOnAttributes = No\r\nFilterOnExtension = No\r\nFilterOnTimes = No\r\n"
              "HasFilters = No\r\n");
    EXPECT_NE(err.find("'/photos'"), std::string::npos);

    // The saved file read back gives its folder and rules; --set overrides it.
    dir.CreateDir("photos");
    dir.CreateFile("photos/x.jpg");
    ASSERT_EQ(Cli("preview --set AddPrefix=Yes --set Prefix=p_ --save-settings " +
                  ShellQuote(dir / "again.qvr") + " " + ShellQuote(dir / "photos")),
              0);
    std::string out;
    ASSERT_EQ(Cli("preview --settings " + ShellQuote(dir / "again.qvr") + " --set Prefix=q_", &out),
              0);
    EXPECT_EQ(out, dir / "photos/x.jpg" + "\t" + dir / "photos/q_x.jpg" + "\n");
}

TEST(CliPreview, BadInputGivesClearMessagesAndExitStatuses) {
    TestDir dir;
    dir.CreateDir("empty");
    dir.CreateFile("plain.txt");
    struct Case {
        std::string args;
        int status;
        std::string said;  // on standard error, or on standard output when the status is 0
    };
    const Case cases[] = {
        {"preview --set Nonsense=1 " + ShellQuote(dir.Path()), 2, ""},
        {"frobnicate", 2, ""},
        {"preview --set", 2, ""},
        // A value the files' reader would take as another one is a typo.
        {"preview --set AddPrefix=Ys " + ShellQuote(dir.Path()), 2,
         "invalid value 'Ys' for AddPrefix"},
        {"preview --set TextSeqModifications=Sequence " + ShellQuote(dir.Path()), 2, "Sequence"},
        {"preview --set Case=Uper " + ShellQuote(dir.Path()), 2, "Uper"},
        {"preview --set DigitCount=4x " + ShellQuote(dir.Path()), 2, "4x"},
        {"preview --set ModifyCreationDate=13/45/2020 " + ShellQuote(dir.Path()), 2, "13/45"},
        {"preview --set FilterAttribsIncludeExclude=Both " + ShellQuote(dir.Path()), 2, "Both"},
        {"preview --set TextSeqModifications=Seq --set StartWith=aa --set Case=upper " +
             ShellQuote(dir / "empty"),
         3, "There are no files to process."},
        {"preview " + ShellQuote(dir / "empty"), 3, "There are no files to process."},
        // A file where the folder should be: nothing previewed, and why.
        {"preview " + ShellQuote(dir / "plain.txt"), 2, "Not a directory"},
        {"--help", 0, "quorvan-cli preview"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        std::string out, err;
        EXPECT_EQ(Cli(c.args, &out, &err), c.status);
        EXPECT_NE((c.status == 0 ? out : err).find(c.said), std::string::npos) << err;
    }
    std::string out, err;
    EXPECT_EQ(Cli("--version", &out), 0);
    EXPECT_EQ(out, "quorvan-cli 1.00\n");
    if (geteuid() != 0) {
        dir.CreateFile("locked/x");
        dir.SetMode("locked", 0);
        EXPECT_EQ(Cli("preview " + ShellQuote(dir / "locked"), nullptr, &err), 2);
        EXPECT_NE(err.find("Permission denied"), std::string::npos);
    }
}

// The address sanitizer reserves more address space than any such limit.
#if defined(__SANITIZE_ADDRESS__)
const std::string kLittleMemory;
#else
const std::string kLittleMemory = "ulimit -v 400000; ";
#endif

TEST(CliPreview, WhatCannotBeASettingsFileEndsAtOnceWithOneLineAndStatusTwo) {
    TestDir dir;
    dir.CreateFile("x.txt");
    ASSERT_EQ(mkfifo((dir / "pipe.qvr").c_str(), 0600), 0);
    ASSERT_EQ(truncate(dir.CreateFile("huge.qvr").c_str(), off_t{1} << 33), 0);
    dir.CreateFile("wide.qvr", "Prefix = " + std::string(100000, 'w') + "\n");
    dir.CreateFile("good.qvr", "AddPrefix = Yes\n");
    ASSERT_EQ(mkfifo((dir / "good.qvrfltr").c_str(), 0600), 0);
    struct Case {
        std::string settings;
        std::string reason;
    };
    const Case cases[] = {
        {dir / "pipe.qvr", "Not a regular file"},
        {dir / "huge.qvr", "Too large for a settings file"},
        {dir / "wide.qvr", "A line is longer than 64 KB"},
        {dir / "good.qvr", "good.qvrfltr': Not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        std::string out;
        std::string err;
        // Little memory, and a bound on the time: neither a crash nor a hang
        // may stand in for the answer.
        EXPECT_EQ(Cli("preview --settings " + ShellQuote(c.settings) + " " + ShellQuote(dir.Path()),
                      &out, &err, kLittleMemory + "timeout -s KILL 20"),
                  2);
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    }
}

// Named files, relative to the folder or not, are the only ones that take
// part; a name that is no file fails the status, and the others still count.
TEST(CliPreview, NamedFilesThatAreNoFilesFailTheStatusAndTheOthersStillCount) {
    TestDir dir;
    dir.CreateFiles({"a.txt", "c.txt", "sub/b.txt"});
    struct Case {
        std::vector<std::string> named;
        int status;
        std::string previewed;
    };
    const std::string a = dir / "a.txt" + "\t" + dir / "p_a.txt" + "\n";
    const Case cases[] = {
        {{"a.txt"}, 0, a},
        {{dir / "c.txt", "a.txt"}, 0, a + dir / "c.txt" + "\t" + dir / "p_c.txt" + "\n"},
        {{"a.txt", "missing.txt"}, 1, a},
        {{"missing.txt", "a.txt"}, 1, a},
        {{"sub", "a.txt"}, 1, a},
        {{"missing.txt"}, 1, ""},
    };
    for (const Case& c : cases) {
        std::string args = "preview --set AddPrefix=Yes --set Prefix=p_ " + ShellQuote(dir.Path());
        for (const std::string& name : c.named) {
            args += " " + ShellQuote(name);
        }
        SCOPED_TRACE(args);
        std::string out;
        std::string err;
        EXPECT_EQ(Cli(args, &out, &err), c.status);
        EXPECT_EQ(out, c.previewed);
        for (const std::string& name : c.named) {
            if (c.status != 0 && name != "a.txt") {
                EXPECT_NE(err.find("'" + dir / name + "': "), std::string::npos) << err;
            }
        }
    }
}

TEST(CliPreview, SetLinesAreReadAsTheSameLinesInAFile) {
    TestDir dir;
    dir.CreateFiles({"a.txt"});
    // Blanks around key and value go, as in the file.
    dir.CreateFile("suffix.qvr", "AddSuffix = Yes\nSuffix =  - \n");
    std::string fromFile;
    ASSERT_EQ(
        Cli("preview --settings " + ShellQuote(dir / "suffix.qvr") + " " + ShellQuote(dir.Path()),
            &fromFile),
        0);
    std::string fromSet;
    ASSERT_EQ(Cli("preview --set ' AddSuffix = Yes' --set 'Suffix= - ' " + ShellQuote(dir.Path()),
                  &fromSet),
              0);
    EXPECT_EQ(fromSet, fromFile);
    EXPECT_NE(fromSet.find(dir / "a-.txt"), std::string::npos) << fromSet;

    // A line feed would end the line: no --set holds one.
    std::string out;
    std::string err;
    EXPECT_EQ(
        Cli("preview --set \"$(printf 'Prefix=a\\nAddPrefix=Yes')\" " + ShellQuote(dir.Path()),
            &out, &err),
        2);
    EXPECT_NE(err.find("Prefix=a\\nAddPrefix=Yes"), std::string::npos) << err;
}

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
