#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/file_system.h"

#include "rules/rename_rules.h"
#include "rules/settings_store.h"
#include "support/held_page.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::TestDir;

using Program = test::HeldPages;

TEST(SettingsFile, EverySettingSurvivesSaveAndLoad) {
    TestDir dir;
    Program a;
    RenamePageState& rename = a.rename.state;
    rename.textMode = false;
    rename.placement = 2;
    rename.numericSequence = false;
    rename.alphaStart = "ba";
    rename.characters = "3";
    rename.seqAddSuffix = true;
    rename.seqSuffix = " - ";
    a.extended.state.renameInPlace = false;
    a.extended.state.destinationFolder = "/out dir";
    a.extended.state.generateUndo = true;
    AttributePageState& attribute = a.attribute.state;
    attribute.modifyAttributes = attribute.archive = attribute.modifyDateTime = true;
    // In the form a file gives them back: the date at 01:00, the time on 1 January 1980.
    attribute.creation = {true, {2002, 3, 27, 1, 0, 0}, {1980, 1, 1, 23, 7, 30}};
    ASSERT_TRUE(a.rules.SaveSettings(dir / "s.qvr", "/src"));
    std::string text = dir.Read("s.qvr");
    EXPECT_NE(text.find("ModifyCreationDate = 03-27-2002\r\n"), std::string::npos);
    EXPECT_NE(text.find("ModifyCreationTime = 23:07:30\r\n"), std::string::npos);
    EXPECT_NE(text.find("SequencePlacement = Suffix\r\n"), std::string::npos);
    EXPECT_NE(text.find("StartWith = ba\r\n"), std::string::npos);

    Program b;
    std::string folder;
    ASSERT_TRUE(b.rules.LoadSettings(dir / "s.qvr", folder));
    EXPECT_EQ(folder, "/src");
    b.rules.GatherFromPages(folder);
    a.rules.GatherFromPages("/src");
    EXPECT_EQ(b.rules.Settings().Suffix, " - ");  // outer blanks kept
    EXPECT_EQ(b.rules.Settings(), a.rules.Settings());
}

// A text with blanks at its ends (the everyday search text " ") comes back
// whole, while a reader that knows only the plain lines reads every key as
// it always has.
TEST(SettingsFile, BlanksAtTheEndsOfATextSurviveSaveAndLoad) {
    const char* texts[] = {" ", "  a ", "\t", "x\ny", "\"q\\\" ", " \v\f\r"};
    for (const char* value : texts) {
        SCOPED_TRACE(value);
        TestDir dir;
        Program a;
        a.rename.state.addPrefix = a.rename.state.replaceString = true;
        a.rename.state.prefix = "new_";
        a.rename.state.searchText = value;
        a.rename.state.replaceText = "_";
        ASSERT_TRUE(a.rules.SaveSettings(dir / "s.qvr", "/photos"));
        const std::string text = dir.Read("s.qvr");
        EXPECT_NE(text.find("SourceString.Quoted = " + CSettingsStore::QuoteValue(value) + "\r\n"),
                  std::string::npos)
            << text;

        Program b;
        std::string folder;
        ASSERT_TRUE(b.rules.LoadSettings(dir / "s.qvr", folder));
        b.rules.GatherFromPages(folder);
        EXPECT_EQ(b.rules.Settings().SourceString, value);
        EXPECT_EQ(b.rules.Settings(), a.rules.Settings());

        // Without the quoted line: the plain lines as before, one a line.
        std::string plain;
        for (size_t from = 0, end; from < text.size(); from = end + 2) {
            end = text.find("\r\n", from);
            std::string line = text.substr(from, end - from);
            ASSERT_EQ(line.find('\n'), std::string::npos);
            if (line.find(".Quoted = ") == std::string::npos) {
                plain += line + "\r\n";
            }
        }
        dir.CreateFile("old.qvr", plain);
        Program c;
        ASSERT_TRUE(c.rules.LoadSettings(dir / "old.qvr", folder));
        c.rules.GatherFromPages(folder);
        RenameSettings expected = a.rules.Settings();
        expected.SourceString = CSettingsStore::PlainValue(value);
        EXPECT_EQ(c.rules.Settings(), expected);
    }
}

// A plain line edited by hand wins over a quoted line it no longer matches;
// a quoted line that is not one is ignored.
TEST(SettingsFile, QuotedLinesGiveWayToPlainEdits) {
    CSettingsStore store;
    store.ReadFromText(
        "Prefix = edited\nPrefix.Quoted = \" old \"\n"
        "Suffix = kept\nSuffix.Quoted = \" kept\"\n"
        "DestString.Quoted = \"\\tonly\"\n"
        "SourceString = a\nSourceString.Quoted = \" a\\\"\n");
    std::string value;
    ASSERT_TRUE(store.GetValue("Prefix", value));
    EXPECT_EQ(value, "edited");
    ASSERT_TRUE(store.GetValue("Suffix", value));
    EXPECT_EQ(value, " kept");
    ASSERT_TRUE(store.GetValue("DestString", value));
    EXPECT_EQ(value, "\tonly");
    ASSERT_TRUE(store.GetValue("SourceString", value));
    EXPECT_EQ(value, "a");
}

TEST(SettingsFile, ValuesAreReadByTheFileRules) {
    TestDir dir;
    Program p;
    dir.CreateFile("k.qvr",
                   "TextSeqModifications = TEXT\n"
                   "ReplaceString = Yes\nReplaceString = No\n"
                   "SourceString = a=b\n"
                   "DestString =   \n"
                   "RenameInPlace = yes\n"
                   "LogFile = 1\n"
                   "no equals sign here\n"
                   "Unknown = whatever\n"
                   "AddPrefix=Yes\r\n"
                   "Prefix = x");  // no line end at the end
    std::string folder = "unchanged";
    ASSERT_TRUE(p.rules.LoadSettings(dir / "k.qvr", folder));
    EXPECT_EQ(folder, "");
    EXPECT_TRUE(p.rules.Settings().TextMode);
    EXPECT_TRUE(p.rules.Settings().ReplaceString);  // the first of a repeated key counts
    EXPECT_EQ(p.rules.Settings().SourceString, "a=b");
    EXPECT_EQ(p.rules.Settings().DestString, "");
    EXPECT_TRUE(p.rules.Settings().RenameInPlace);
    EXPECT_FALSE(p.rules.Settings().LogFile);
    EXPECT_TRUE(p.rules.Settings().AddPrefix);
    EXPECT_EQ(p.rules.Settings().Prefix, "x");
}

// A file without a placement line keeps the one shown.
TEST(SettingsFile, AMissingPlacementKeepsTheCurrentOne) {
    TestDir dir;
    Program p;
    p.rules.Settings().TextMode = true;
    p.rules.Settings().SequencePlacement = 1;
    std::string folder;
    dir.CreateFile("seq.qvr", "TextSeqModifications = Seq\nNumericAlphaSequence = Num\n");
    ASSERT_TRUE(p.rules.LoadSettings(dir / "seq.qvr", folder));
    EXPECT_FALSE(p.rules.Settings().TextMode);
    EXPECT_EQ(p.rules.Settings().SequencePlacement, 1);
    EXPECT_EQ(p.rename.state.placement, 1);  // "Sequence replaces original file name"
}

TEST(SettingsFile, BadOrMissingFilesChangeNothingAndNoneIsWrittenWhereItCannotBe) {
    TestDir dir;
    Program p;
    p.rules.Settings().Prefix = "kept";
    std::string folder;
    EXPECT_FALSE(p.rules.LoadSettings(dir / "missing.qvr", folder));
    EXPECT_NE(p.rules.Store().LastError(), 0);
    EXPECT_EQ(p.rules.Settings().Prefix, "kept");

    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>(i * 37 % 256);
    }
    dir.CreateFile("binary.qvr", binary + "\nPrefix = after\n");
    EXPECT_TRUE(p.rules.LoadSettings(dir / "binary.qvr", folder));

    // A long line within the limit is read whole.
    std::string longLine = "SourcePath = " + std::string(60000, 'x') + "\nAddPrefix = Yes\n";
    dir.CreateFile("long.qvr", longLine);
    EXPECT_TRUE(p.rules.LoadSettings(dir / "long.qvr", folder));
    EXPECT_EQ(folder.size(), 60000u);

    dir.CreateFile("dates.qvr",
                   "TextSeqModifications = Text\nModifyDatesTimes = Yes\n"
                   "ModifyModDateTime = Yes\nModifyModDate = 13-45-20x\nModifyModTime = 7\n");
    LocalDateTime before = p.rules.Settings().ModDate;
    EXPECT_TRUE(p.rules.LoadSettings(dir / "dates.qvr", folder));
    EXPECT_EQ(p.rules.Settings().ModDate, before);

    // Nothing is written to an unwritable place, nor an empty store anywhere.
    EXPECT_FALSE(p.rules.SaveSettings(dir / "no/such/folder.qvr", "/x"));
    EXPECT_NE(p.rules.Store().LastError(), 0);
    CSettingsStore untouched;
    EXPECT_FALSE(untouched.WriteToFile(dir / "empty.qvr"));
    EXPECT_FALSE(dir.Exists("empty.qvr"));
}

TEST(SettingsFile, WhatCannotBeASettingsFileIsRefusedAtOnceAndChangesNothing) {
    TestDir dir;
    const std::string fifo = dir / "pipe.qvr";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string head = "TextSeqModifications = Text\nAddPrefix = Yes\n";
    const std::string line = "Prefix = x\n";
    std::string justTooBig = head;
    while (justTooBig.size() + line.size() <= CSettingsStore::kMaxFileSize) {
        justTooBig += line;
    }
    dir.CreateFile("full.qvr", justTooBig);
    dir.CreateFile("over.qvr", justTooBig + line);
    ASSERT_EQ(truncate(dir.CreateFile("sparse.qvr").c_str(), off_t{4} << 30), 0);
    const std::string key = "Prefix = ";
    dir.CreateFile("widest.qvr",
                   head + key + std::string(CSettingsStore::kMaxLineLength - key.size(), 'w'));
    dir.CreateFile("wider.qvr",
                   head + key + std::string(CSettingsStore::kMaxLineLength - key.size() + 1, 'w'));
    struct Case {
        std::string path;
        int error;  // 0: read
    };
    const Case cases[] = {
        {fifo, kErrorNotRegularFile},
        {"/dev/zero", kErrorNotRegularFile},
        {dir.Path(), EISDIR},
        {dir / "full.qvr", 0},
        {dir / "over.qvr", kErrorFileTooLarge},
        {dir / "sparse.qvr", kErrorFileTooLarge},
        {dir / "widest.qvr", 0},
        {dir / "wider.qvr", kErrorLineTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        // In a child: a FIFO with no writer would hold an open for ever.
        std::optional<int> status = test::RunInChild([&] {
            Program p;
            p.rules.Settings().TextMode = true;
            p.rules.Settings().AddPrefix = true;
            p.rules.Settings().Prefix = "kept";
            std::string folder;
            bool loaded = p.rules.LoadSettings(c.path, folder);
            bool kept = p.rules.Settings().Prefix == "kept";
            if (c.error == 0) {
                return loaded && !kept ? 0 : 1;
            }
            return !loaded && kept && p.rules.Store().LastError() == c.error ? 0 : 2;
        });
        ASSERT_TRUE(status.has_value()) << "the load waited";
        EXPECT_EQ(*status, 0);
    }

    // Saving: a FIFO stays a FIFO, a device is not written.
    for (const std::string& path : {fifo, std::string("/dev/null")}) {
        std::optional<int> status = test::RunInChild([&] {
            Program p;
            return !p.rules.SaveSettings(path, "/x") &&
                           p.rules.Store().LastError() == kErrorNotRegularFile
                       ? 0
                       : 1;
        });
        ASSERT_TRUE(status.has_value()) << path << ": the save waited";
        EXPECT_EQ(*status, 0) << path;
    }
    struct stat st {};
    ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
}  // namespace quorvan
