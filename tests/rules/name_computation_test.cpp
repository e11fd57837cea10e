#include <gtest/gtest.h>

#include "new_names.h"

namespace quorvan {
namespace {

using test::Names;

std::string NameOf(const RenameSettings& rules, const std::string& name) {
    return Names(rules, {"/data/" + name}).at(0);
}

// The target of one source, or of a CD track with `title`.
std::string Target(const RenameSettings& rules, const std::string& root, const std::string& source,
                   const char* title = nullptr) {
    SequenceState sequence = StartSequence(rules);
    std::string target = title != nullptr ? title : "old";
    ComputeName(rules, sequence, root, source, target, title != nullptr);
    return target;
}

RenameSettings TextRules() {
    RenameSettings rules;
    rules.TextMode = true;
    rules.RenameInPlace = true;
    return rules;
}

RenameSettings SequenceRules(bool numeric, int32_t placement) {
    RenameSettings rules;
    rules.TextMode = false;
    rules.RenameInPlace = true;
    rules.NumericSequence = numeric;
    rules.SequencePlacement = placement;
    return rules;
}

TEST(TextRules, PrefixSuffixReplaceAndCaseInTheirOrder) {
    RenameSettings r = TextRules();
    r.AddPrefix = true;
    r.Prefix = "new_";
    r.AddSuffix = true;
    r.Suffix = "_v2";
    EXPECT_EQ(NameOf(r, "photo.jpg"), "new_photo_v2.jpg");
    EXPECT_EQ(NameOf(r, "README"), "new_README_v2");
    r.Suffix = "_s";
    r.AddPrefix = false;
    EXPECT_EQ(NameOf(r, "archive.tar.gz"), "archive.tar_s.gz");

    // A prefix with a dot moves the split point of a name without one.
    r.AddPrefix = true;
    r.Prefix = "ver.";
    r.Suffix = "_x";
    EXPECT_EQ(NameOf(r, "README"), "ver_x.README");
}

TEST(TextRules, ReplaceSeesPrefixSuffixAndExtensionAndIsCaseSensitive) {
    RenameSettings r = TextRules();
    r.ReplaceString = true;
    r.SourceString = "o";
    r.DestString = "0";
    EXPECT_EQ(NameOf(r, "foo.doc"), "f00.d0c");
    r.SourceString = "A";
    EXPECT_EQ(NameOf(r, "abc"), "abc");

    r.AddPrefix = true;
    r.Prefix = "a";
    r.SourceString = "a";
    r.DestString = "";
    EXPECT_EQ(NameOf(r, "banana.txt"), "bnn.txt");

    // Inserted text is not searched again; occurrences do not overlap.
    r.AddPrefix = false;
    r.SourceString = "aa";
    r.DestString = "a";
    EXPECT_EQ(NameOf(r, "aaaa"), "aa");
}

TEST(TextRules, CaseChangeRunsLastOnWholeCharacters) {
    RenameSettings r = TextRules();
    r.AddPrefix = true;
    r.Prefix = "x";
    r.CaseChange = true;
    r.UpperCase = 1;
    EXPECT_EQ(NameOf(r, "photo.jpg"), "XPHOTO.JPG");
    r.AddPrefix = false;
    EXPECT_EQ(NameOf(r, "café σ straße.txt"), "CAFÉ Σ STRAßE.TXT");
    EXPECT_EQ(NameOf(r, "Жёлтый"), "ЖЁЛТЫЙ");
    r.UpperCase = 0;
    EXPECT_EQ(NameOf(r, "ÉΣ ЖЁЛТЫЙ.TXT"), "éσ жёлтый.txt");
    // Bytes that are not UTF-8 pass through unchanged.
    EXPECT_EQ(NameOf(r, "A\xff\xc3(B"), "a\xff\xc3(b");
}

TEST(SequenceRules, NumericPlacementsAndWidths) {
    RenameSettings r = SequenceRules(true, 0);
    r.StartWith = 1;
    r.DigitCount = 4;
    r.AddSuffix = true;
    r.Suffix = "_";
    EXPECT_EQ(Names(r, {"/data/photo.jpg", "/data/scan.png"}),
              (std::vector<std::string>{"0001_photo.jpg", "0002_scan.png"}));

    r.AddSuffix = false;
    r.StartWith = 9998;
    EXPECT_EQ(Names(r, {"/data/a", "/data/b", "/data/c"}),
              (std::vector<std::string>{"9998a", "9999b", "10000c"}));

    r.StartWith = 1;
    r.DigitCount = 0;
    EXPECT_EQ(Names(r, {"/data/a", "/data/b"}),
              (std::vector<std::string>{"00000001a", "00000002b"}));

    r.DigitCount = 4;
    r.SequencePlacement = 1;
    EXPECT_EQ(NameOf(r, "photo.jpg"), "0001.jpg");
    r.SequencePlacement = 2;
    EXPECT_EQ(NameOf(r, "photo.jpg"), "photo0001.jpg");

    // Negative numbers keep their sign inside the width; a negative width
    // pads on the right with blanks.
    r.StartWith = -1;
    EXPECT_EQ(NameOf(r, "x"), "x-001");
    r.StartWith = 7;
    r.DigitCount = -3;
    EXPECT_EQ(NameOf(r, "x"), "x7  ");
}

TEST(SequenceRules, HugeDigitCountsStayBounded) {
    RenameSettings r = SequenceRules(true, 0);
    r.StartWith = 1;
    r.DigitCount = 2000000000;
    std::string name = NameOf(r, "x");
    EXPECT_EQ(name.size(), 256u);
    EXPECT_EQ(name.back(), 'x');
    r.DigitCount = INT32_MIN;
    EXPECT_EQ(NameOf(r, "x").size(), 256u);
}

TEST(SequenceRules, AlphaRunsInBase26WithAAsZero) {
    RenameSettings r = SequenceRules(false, 1);
    r.AlphaStartWith = "a";
    r.DigitCount = 1;
    std::vector<std::string> sources;
    for (int i = 0; i < 28; ++i) {
        sources.push_back("/data/f" + std::string(1, static_cast<char>('a' + i / 26)) +
                          std::string(1, static_cast<char>('a' + i % 26)));
    }
    auto names = Names(r, sources);
    EXPECT_EQ(names.front(), "a");
    EXPECT_EQ(names[25], "z");
    EXPECT_EQ(names[26], "ba");
    EXPECT_EQ(names[27], "bb");  // the grown width is kept for later names

    r.AlphaStartWith = "AA";
    r.DigitCount = 2;
    names = Names(r, {"/data/1", "/data/2", "/data/3"});
    EXPECT_EQ(names, (std::vector<std::string>{"AA", "AB", "AC"}));

    r.AlphaStartWith = "AZ";
    EXPECT_EQ(Names(r, {"/data/1", "/data/2"}), (std::vector<std::string>{"AZ", "BA"}));
}

TEST(SequenceRules, AlphaNeverWritesMoreThanSevenLetters) {
    RenameSettings r = SequenceRules(false, 1);
    r.AlphaStartWith = "";
    for (int32_t count : {10, 8, 0, -1}) {
        r.DigitCount = count;
        EXPECT_EQ(NameOf(r, "x"), "AAAAAAA") << count;
    }
    r.StartWith = -1;  // the largest value as unsigned
    r.DigitCount = 1;
    EXPECT_LE(NameOf(r, "x").size(), 7u);
}

TEST(SequenceRules, AlphaStartTextSetsCounterAndCase) {
    RenameSettings r = SequenceRules(false, 0);
    r.StartWith = 99;
    struct Row {
        const char* start;
        int32_t counter;
        bool lower;
    };
    for (const Row& row : {Row{"A", 0, false}, Row{"B", 1, false}, Row{"BA", 26, false},
                           Row{"ZZ", 675, false}, Row{"ba", 26, true}, Row{"1", -16, false}}) {
        r.AlphaStartWith = row.start;
        SequenceState sequence = StartSequence(r);
        EXPECT_EQ(sequence.counter, row.counter) << row.start;
        EXPECT_EQ(sequence.alphaLowerCase, row.lower) << row.start;
    }
    // An empty start counts from 0 and keeps the letter case as it was.
    r.AlphaStartWith = "";
    SequenceState sequence = StartSequence(r, true);
    EXPECT_EQ(sequence.counter, 0);
    EXPECT_TRUE(sequence.alphaLowerCase);
}

TEST(ExtensionRules, ChangeThenAppend) {
    RenameSettings r = TextRules();
    r.ChangeExtension = true;
    r.ChangeExtensionString = "txt";
    EXPECT_EQ(NameOf(r, "a.doc"), "a.txt");
    EXPECT_EQ(NameOf(r, "Makefile"), "Makefile.txt");
    r.ChangeExtensionString = "";
    EXPECT_EQ(NameOf(r, "a.doc"), "a.");
    r.ChangeExtensionString = ".txt";
    EXPECT_EQ(NameOf(r, "a.doc"), "a..txt");

    r.ChangeExtension = false;
    r.ConcatExtension = true;
    r.ConcatExtensionString = ".bak";
    EXPECT_EQ(NameOf(r, "a.doc"), "a.doc.bak");
    r.ChangeExtension = true;
    r.ChangeExtensionString = "txt";
    EXPECT_EQ(NameOf(r, "a.doc"), "a.txt.bak");
}

// A leading dot belongs to the name: a hidden file keeps it whatever rule
// works on the extension.
TEST(ExtensionRules, LeadingDotsAreNoExtension) {
    RenameSettings change = TextRules();
    change.ChangeExtension = true;
    change.ChangeExtensionString = "txt";
    RenameSettings suffix = TextRules();
    suffix.AddSuffix = true;
    suffix.Suffix = "_old";
    RenameSettings sequence = SequenceRules(true, 1);
    sequence.DigitCount = 2;
    sequence.StartWith = 7;
    struct Row {
        const RenameSettings& rules;
        const char* name;
        const char* expected;
    };
    const Row rows[] = {
        {change, ".hidden config", ".hidden config.txt"},
        {change, ".bashrc", ".bashrc.txt"},
        {change, ".config.bak", ".config.txt"},
        {change, "..two", "..two.txt"},
        {change, "...", "....txt"},
        {change, "plain.doc", "plain.txt"},
        {suffix, ".bashrc", ".bashrc_old"},
        {suffix, ".config.bak", ".config_old.bak"},
        {sequence, ".bashrc", "07"},
        {sequence, ".config.bak", "07.bak"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(NameOf(row.rules, row.name), row.expected);
    }
    // A CD title replaces the name and takes only a real extension from the
    // track file.
    EXPECT_EQ(Target(TextRules(), "/cd", "/cd/track01.mp3", "Song Title"), "/cd/Song Title.mp3");
    EXPECT_EQ(Target(TextRules(), "/cd", "/cd/track02", "Intro"), "/cd/Intro");
    EXPECT_EQ(Target(TextRules(), "/cd", "/cd/.track", "Song"), "/cd/Song");
    EXPECT_EQ(Target(TextRules(), "/cd", "/cd/.t.mp3", "Song"), "/cd/Song.mp3");
}

TEST(TargetFolder, InPlaceAndCopyKeepTheSubfolderStructure) {
    RenameSettings r = TextRules();
    r.AddPrefix = true;
    r.Prefix = "y";
    EXPECT_EQ(Target(r, "/data", "/data/x.txt"), "/data/yx.txt");

    r.RenameInPlace = false;
    r.RenameDestFolder = "/out";
    EXPECT_EQ(Target(r, "/data", "/data/sub/x.txt"), "/out/sub/yx.txt");
    EXPECT_EQ(Target(r, "/data", "/data/a/b/x.txt"), "/out/a/b/yx.txt");

    // The root folder as source root.
    EXPECT_EQ(Target(r, "/", "/sub/x.txt"), "/out/sub/yx.txt");
    EXPECT_EQ(Target(r, "/", "/x.txt"), "/out/yx.txt");

    // A file from outside the root lands directly in the destination, not in
    // a folder made of the tail of its path.
    EXPECT_EQ(Target(r, "/data", "/database/x.txt"), "/out/yx.txt");
    EXPECT_EQ(Target(r, "/data", "/elsewhere/deep/x.txt"), "/out/yx.txt");

    // An empty destination still gets its separator.
    r.RenameDestFolder = "";
    EXPECT_EQ(Target(r, "/data", "/data/x.txt"), "/yx.txt");
}

// Found by fuzzing: a replacement turning the name into ".." gave the parent
// folder as target. Names that no file can take leave the target empty.
TEST(TargetFolder, NamesThatAddressAFolderOrAreCutShortGiveNoTarget) {
    RenameSettings r = TextRules();
    r.ReplaceString = true;
    r.SourceString = "x";
    r.DestString = ".";
    EXPECT_EQ(Target(r, "/data", "/data/xx"), "");
    EXPECT_EQ(Target(r, "/data", "/data/x"), "");
    r.DestString = "";
    EXPECT_EQ(Target(r, "/data", "/data/sub/xxx"), "");
    EXPECT_EQ(Target(r, "/data", "/data/x.x"), "");
    EXPECT_EQ(Target(r, "/data", "/data/x.y"), "/data/.y");  // a hidden file's name is fine
    r.DestString = ".";

    r.RenameInPlace = false;
    r.RenameDestFolder = "/out";
    EXPECT_EQ(Target(r, "/data", "/data/sub/xx"), "");
    EXPECT_EQ(Target(r, "/data", "/data/sub/xxx"),
              "/out/sub/...");  // three dots are an ordinary name

    r.ReplaceString = false;
    r.AddPrefix = true;
    r.Prefix = std::string("a\0", 2);
    EXPECT_EQ(Target(r, "/data", "/data/x.txt"), "");

    // A CD title of ".." on a file without an extension.
    r.AddPrefix = false;
    EXPECT_EQ(Target(r, "/cd", "/cd/track01", ".."), "");
}

}  // namespace
}  // namespace quorvan
