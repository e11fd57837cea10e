#include "run/plan_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/folder_kind.h"
#include "platform/platform_test_support.h"

namespace quorvan::test {
namespace {

using Map = std::vector<std::pair<std::string, std::string>>;

// The plan of `map`, sources in `from` and targets in `to` (else `from`; an
// empty target stays empty), in plan order.
std::vector<CRenamePlan::Entry> PlanOf(const std::string& from, const Map& map,
                                       const std::string& to = "") {
    CRenamePlan plan;
    for (const auto& [source, target] : map) {
        plan.Add(from + "/" + source);
    }
    for (const auto& [source, target] : map) {
        plan.Find(from + "/" + source)->second =
            target.empty() ? "" : (to.empty() ? from : to) + "/" + target;
    }
    return plan.Entries();
}

std::string Words(const PlanCheck& check) {
    std::string words;
    for (const EntryCheck& entry : check.entries) {
        words += words.empty() ? "" : " ";
        words += StatusWord(entry.status);
    }
    return words;
}

// The moves as "name>" for a direct move, "name>~" to and "~>name" from the
// temporary name, by source name.
std::string Moves(const PlanCheck& check, const std::vector<CRenamePlan::Entry>& entries) {
    std::string moves;
    for (const MoveStep& step : check.order) {
        std::string name = entries[step.entry].first;
        name = name.substr(name.rfind('/') + 1);
        moves += moves.empty() ? "" : " ";
        moves += step.kind == MoveStep::Kind::ToTemporary     ? name + ">~"
                 : step.kind == MoveStep::Kind::FromTemporary ? "~>" + name
                                                              : name + ">";
    }
    return moves;
}

bool CaseSensitive(const std::string&) {
    return false;
}

// Names stay in their own folders, as a rename in place puts them.
NameFolderRule InPlace() {
    RenameSettings settings;
    settings.RenameInPlace = true;
    return NameFolders(settings, "");
}

TEST(PlanCheck, RenamesInPlaceGetAStatusAndASafeOrder) {
    struct Row {
        const char* what;
        std::vector<std::string> files;  // present before, besides the sources
        Map map;                         // in plan order
        const char* statuses;
        const char* moves;
        bool folds = false;  // the folder compares names without case
    };
    const std::string longName(256, 'n');
    auto folded = [](const std::string&) { return true; };
    const Row rows[] = {
        {"renumber up", {}, {{"1", "2"}, {"2", "3"}, {"3", "4"}}, "ok ok ok", "3> 2> 1>"},
        {"renumber down", {}, {{"2", "1"}, {"3", "2"}, {"4", "3"}}, "ok ok ok", "2> 3> 4>"},
        {"swap", {}, {{"a", "b"}, {"b", "a"}}, "ok ok", "a>~ b> ~>a"},
        {"rotation", {}, {{"a", "b"}, {"b", "c"}, {"c", "a"}}, "ok ok ok", "a>~ c> b> ~>a"},
        {"chain and cycle",
         {},
         {{"a", "b"}, {"b", "a"}, {"c", "d"}, {"d", "e"}},
         "ok ok ok ok",
         "a>~ b> ~>a d> c>"},
        {"collision of three",
         {},
         {{"a", "x"}, {"b", "x"}, {"c", "x"}},
         "ok collision collision",
         "a>"},
        {"name taken outside the plan", {"b"}, {{"a", "b"}}, "exists", ""},
        {"a chain ending at a taken name", {"c"}, {{"a", "b"}, {"b", "c"}}, "exists exists", ""},
        {"unchanged keeps its name", {}, {{"a", "a"}, {"x", "a"}}, "unchanged exists", ""},
        {"a chain behind a collision",
         {},
         {{"a", "z"}, {"b", "z"}, {"c", "b"}},
         "ok collision exists",
         "a>"},
        {"no name, too long, just long enough",
         {},
         {{"a", ""}, {"b", longName}, {"c", longName.substr(1)}},
         "invalid invalid ok",
         "c>"},
        {"a folder has the name", {"d/x"}, {{"a", "d"}}, "exists", ""},
        {"a name is never a path",
         {"sub/x"},
         {{"a", "sub/a"}, {"b", "../b"}, {"c", "c/"}, {"d", ".."}, {"e", "/e"}, {"f", "f"}},
         "invalid invalid invalid invalid invalid unchanged",
         ""},
        // On a case-insensitive folder "A.txt" and "a.TXT" are one name (this
        // machine cannot mount such a file system, so the folder pretends): a
        // change of case alone is fine, "Z" and "z" collide, "A.txt" is
        // taken, and "Q" is the name of q, which moves away first.
        {"names without case",
         {"a.TXT"},
         {{"Own", "own"}, {"p", "Z"}, {"q", "r"}, {"s", "z"}, {"x", "A.txt"}, {"y", "Q"}},
         "ok ok ok collision exists ok",
         "Own> p> q> y>",
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TestDir dir;
        for (const auto& [source, target] : row.map) {
            dir.CreateFile(source, source);
        }
        dir.CreateFiles(row.files);
        std::vector<CRenamePlan::Entry> entries = PlanOf(dir.Path(), row.map);
        PlanCheck check = row.folds ? CheckPlan(entries, true, false, folded, InPlace())
                                    : CheckPlan(entries, true, false, CaseSensitive, InPlace());
        EXPECT_EQ(Words(check), row.statuses);
        EXPECT_EQ(Moves(check, entries), row.moves);
    }
}

// A template's "/" makes folders: new ones are no obstacle, names meet in
// them as in any folder, and a file or a link where a folder is to be made
// fails the entries that need it.
TEST(PlanCheck, FoldersFromATemplateAreCheckedBeforeTheRunMakesThem) {
    struct Row {
        const char* what;
        bool inPlace;  // else copies of "src/NAME" to "out/TARGET"
        std::vector<std::string> files;
        const char* link;  // a symbolic link to "elsewhere" made at this name
        Map map;
        const char* statuses;
        const char* reason;  // of the first failing entry; DIR stands for the folder
    };
    const Row rows[] = {
        {"new folders", true, {}, "", {{"a", "2024/06/a"}, {"b", "2024/07/b"}}, "ok ok", ""},
        {"meeting in a new folder",
         true,
         {},
         "",
         {{"a", "2024/x"}, {"b", "2024/x"}},
         "ok collision",
         "Another file gets this name: DIR/a"},
        {"a folder there is used",
         true,
         {"2024/old"},
         "",
         {{"a", "2024/a"}, {"b", "2024/old"}},
         "ok exists",
         "A file with this name already exists"},
        {"a file in the way",
         true,
         {"2024"},
         "",
         {{"a", "2024/06/a"}, {"b", "2024/b"}, {"c", "c2"}},
         "invalid invalid ok",
         "A file is where the folder DIR/2024 is to be made"},
        {"a file deeper down",
         true,
         {"2024/06"},
         "",
         {{"a", "2024/06/a"}, {"b", "2024/b"}},
         "invalid ok",
         "A file is where the folder DIR/2024/06 is to be made"},
        {"a link in the way",
         true,
         {},
         "2024",
         {{"a", "2024/a"}},
         "invalid",
         "A symbolic link is where the folder DIR/2024 is to be made"},
        {"copies meet below the destination",
         false,
         {},
         "",
         {{"a", "2024/a"}, {"b", "2024/a"}},
         "ok collision",
         "Another file gets this name: DIR/src/a"},
        {"copies: a file in the way",
         false,
         {"out/2024"},
         "",
         {{"a", "2024/a"}},
         "invalid",
         "A file is where the folder DIR/out/2024 is to be made"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TestDir dir;
        dir.CreateFiles(row.files);
        dir.CreateDir("elsewhere");
        if (*row.link != '\0') {
            ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / row.link).c_str()), 0);
        }
        RenameSettings settings;
        settings.RenameInPlace = row.inPlace;
        settings.RenameDestFolder = dir / "out";
        settings.More.UseTemplate = true;
        const std::string from = row.inPlace ? dir.Path() : dir / "src";
        for (const auto& [source, target] : row.map) {
            dir.CreateFile((row.inPlace ? "" : "src/") + source, source);
        }
        const auto entries = PlanOf(from, row.map, row.inPlace ? "" : dir / "out");
        PlanCheck check =
            CheckPlan(entries, row.inPlace, false, CaseSensitive, NameFolders(settings, from));
        EXPECT_EQ(Words(check), row.statuses);
        std::string reason;
        for (size_t i = 0; i < entries.size() && reason.empty(); ++i) {
            reason = StatusReason(check, entries, i);
        }
        for (size_t at; (at = reason.find(dir.Path())) != std::string::npos;) {
            reason.replace(at, dir.Path().size(), "DIR");
        }
        EXPECT_EQ(reason, row.reason);
    }
}

// The reasons of a collision and a taken name are checked with the folders
// of a template.
TEST(PlanCheck, ReasonsSayWhyANameIsNoName) {
    TestDir dir;
    dir.CreateFiles({"a", "b"});
    const auto entries = PlanOf(dir.Path(), {{"a", "../a"}, {"b", ".."}});
    const PlanCheck check = CheckPlan(entries, true, false, CaseSensitive, InPlace());
    EXPECT_EQ(StatusReason(check, entries, 0), "A name cannot contain /");
    EXPECT_EQ(StatusReason(check, entries, 1), "The rules give no valid new name");
}

// A copy keeps the folders below the source root under the destination; a
// "/" of the rules' own would make more.
TEST(PlanCheck, CopiedNamesAreNeverPaths) {
    TestDir dir;
    dir.CreateFiles({"src/a", "src/b", "src/c", "src/sub/d", "src/sub/e"});
    RenameSettings settings;
    settings.RenameInPlace = false;
    settings.RenameDestFolder = dir / "out";
    const std::string root = dir / "src";
    const auto entries = PlanOf(
        root, {{"a", "a"}, {"b", "sub/b"}, {"c", "../c"}, {"sub/d", "sub/d"}, {"sub/e", "e"}},
        dir / "out");
    for (const std::string& spelling : {root, root + "/"}) {
        SCOPED_TRACE(spelling);
        PlanCheck check =
            CheckPlan(entries, false, false, CaseSensitive, NameFolders(settings, spelling));
        EXPECT_EQ(Words(check), "ok invalid invalid ok invalid");
    }
}

// A copy never writes a source, whatever the spelling of the destination,
// nor one the file system reaches under the target's name: another letter
// case on a folding folder, or (the same thing to the file system) another
// name of the same file.
TEST(PlanCheck, CopiesNeverWriteASourceWhateverTheSpelling) {
    TestDir dir;
    dir.CreateFiles({"src/a", "src/new_a", "src/b", "src/a.TXT", "src/other", "out/plain",
                     "out/folder/x", "out/locked"});
    dir.SetMode("out/locked", 0444);
    ASSERT_EQ(symlink((dir / "src").c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(link((dir / "src/b").c_str(), (dir / "src/alias").c_str()), 0);
    const std::string src = dir / "src";
    auto folded = [](const std::string&) { return true; };
    struct Row {
        std::string destination;
        Map map;
        const char* statuses;
        bool folds = false;
    };
    const Row rows[] = {
        // The source folder itself, spelt other ways: new_a is a source.
        {src + "/.", {{"a", "new_a"}, {"new_a", "new_new_a"}}, "exists ok"},
        {src + "//", {{"a", "new_a"}, {"b", "b"}, {"new_a", "x"}}, "exists exists ok"},
        {dir / "out/../src", {{"a", "new_a"}, {"new_a", "x"}}, "exists ok"},
        {dir / "link", {{"a", "new_a"}, {"new_a", "x"}}, "exists ok"},
        // "A.txt" is a.TXT where names fold; "alias" is b under another name.
        {src, {{"a.TXT", "A.txt"}, {"b", "B2"}}, "exists ok", true},
        {src, {{"a.TXT", "alias"}, {"b", "x"}}, "exists ok"},
        {src, {{"a.TXT", "other"}, {"b", "new"}}, "ok ok"},  // a plain file outside the plan
        // A plain file is replaced; a folder and a read-only file are not.
        {dir / "out", {{"a", "plain"}, {"b", "folder"}, {"new_a", "locked"}}, "ok exists exists"},
        // Two sources, one target: the first keeps it, in a folding folder too.
        {dir / "out", {{"a", "same"}, {"b", "same"}}, "ok collision"},
        {src, {{"a.TXT", "Same"}, {"b", "SAME"}}, "ok collision", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.destination + " " + row.statuses);
        const auto entries = PlanOf(src, row.map, row.destination);
        PlanCheck check = row.folds ? CheckPlan(entries, false, false, folded)
                                    : CheckPlan(entries, false, false, CaseSensitive);
        EXPECT_EQ(Words(check), row.statuses);
    }
}

// On a real case-insensitive mount the folder is known as one, and a copy
// into it meets its sources and the other copies in any letter case.
TEST(PlanCheck, OnACaseInsensitiveMountCopiesMeetInAnyLetterCase) {
    TestDir dir;
    ScratchMount mount(dir / "mnt");
    const std::string folder = MountCaseInsensitive(dir, mount);
    if (folder.empty()) {
        GTEST_SKIP() << "needs root and a mountable vfat or case-folding ext4 image";
    }
    for (const char* name : {"photo.jpg", "Notes.txt"}) {
        std::ofstream(folder + "/" + name) << name;
    }
    EXPECT_TRUE(IsCaseInsensitiveFolder(folder));
    const std::vector<CRenamePlan::Entry> entries = {
        {folder + "/photo.jpg", folder + "/NOTES.TXT"},  // the other source
        {folder + "/Notes.txt", folder + "/notes.txt"},  // itself
        {folder + "/photo.jpg", folder + "/New.jpg"},
        {folder + "/Notes.txt", folder + "/NEW.JPG"},  // the copy before
    };
    EXPECT_EQ(Words(CheckPlan(entries, false, false)), "exists exists ok collision");
}

}  // namespace
}  // namespace quorvan::test
