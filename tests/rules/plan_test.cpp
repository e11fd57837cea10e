#include <gtest/gtest.h>

#include "common/path.h"
#include "rules/plan_names.h"
#include "rules/rename_rules.h"
#include "rules/template_names.h"
#include "support/held_page.h"

namespace quorvan {
namespace {

std::vector<std::string> Walk(CRenameRules& rules) {
    std::vector<std::string> out;
    std::string source, target;
    for (bool ok = rules.FirstPair(source, target); ok; ok = rules.NextPair(source, target)) {
        out.push_back(source + " -> " + target);
    }
    return out;
}

CRenameRules Numbering() {
    CRenameRules rules;
    rules.Settings().RenameInPlace = true;
    rules.Settings().NumericSequence = true;
    rules.Settings().SequencePlacement = 1;
    rules.Settings().StartWith = 1;
    rules.Settings().DigitCount = 1;
    return rules;
}

TEST(Plan, KeysAreUniqueAndWalkedInByteOrder) {
    CRenameRules rules = Numbering();
    for (const char* s :
         {"/x/b.txt", "/x/B.txt", "/x/a.txt", "/x/b.txt", "/x/t.txt", "/x/sub/z.txt"}) {
        rules.AddSource(s);
    }
    rules.ComputePlan("/x", false);
    EXPECT_EQ(Walk(rules),
              (std::vector<std::string>{"/x/B.txt -> /x/1.txt", "/x/a.txt -> /x/2.txt",
                                        "/x/b.txt -> /x/3.txt", "/x/sub/z.txt -> /x/sub/4.txt",
                                        "/x/t.txt -> /x/5.txt"}));
    // Preview and Start number from the same start.
    rules.ComputePlan("/x", false);
    EXPECT_EQ(Walk(rules).front(), "/x/B.txt -> /x/1.txt");
    // A key added again keeps its target; a new one has none until computed.
    rules.AddSource("/x/B.txt");
    rules.AddSource("/x/0");
    EXPECT_EQ(Walk(rules).at(0), "/x/0 -> ");
    EXPECT_EQ(Walk(rules).at(1), "/x/B.txt -> /x/1.txt");
    // The copy guard knows the sources.
    EXPECT_TRUE(rules.IsPlanSource("/x/sub/z.txt"));
    EXPECT_FALSE(rules.IsPlanSource("/x/c"));
    rules.ClearPlan();
    std::string target = "unchanged";
    EXPECT_FALSE(rules.FirstTarget(target));
    EXPECT_EQ(rules.PlanSize(), 0u);
}

TEST(Plan, CdPairingUsesTickedTitlesInTrackOrder) {
    // Track order differs from key order; the second row was filtered out.
    test::CHeldPage<CdAudioPageState> cd(
        test::CdPage({"/cd/d.wav", "/cd/x.wav", "/cd/b.wav", "/cd/a.wav", "/cd/c.wav"},
                     {{"1", "One", "3:00", true},
                      {"2", "Two", "3:00", false},
                      {"3", "Three", "3:00", true},
                      {"4", "Four", "3:00", false}}));
    CRenameRules rules;
    rules.SetPages(nullptr, nullptr, nullptr, &cd);
    rules.Settings().TextMode = true;
    rules.Settings().RenameInPlace = true;
    for (const char* source : {"/cd/a.wav", "/cd/b.wav", "/cd/c.wav", "/cd/d.wav"}) {
        rules.AddSource(source);
    }
    rules.ComputePlan("/cd", true);
    EXPECT_EQ(Walk(rules), (std::vector<std::string>{"/cd/a.wav -> ", "/cd/b.wav -> /cd/Three.wav",
                                                     "/cd/c.wav -> ", "/cd/d.wav -> /cd/One.wav"}));
    std::vector<std::string> previewed;
    std::string target;
    for (bool ok = rules.FirstTarget(target); ok; ok = rules.NextTarget(target)) {
        previewed.push_back(target);
    }
    EXPECT_EQ(previewed.size(), 4u);
}

// Only a name template makes folders: a "/" that a rule or a track title puts
// into a name leaves the entry with a note, whatever the source of the name.
TEST(Plan, ANameFromTheRulesIsNeverAPath) {
    struct Row {
        const char* what;
        const char* given;  // a template's name or a track title, or null
        bool cd;
        const char* prefix;
        const char* target;
        bool noted;
    };
    const Row rows[] = {
        {"plain, prefix ../", nullptr, false, "../", "/in/../a.txt", true},
        {"plain, harmless prefix", nullptr, false, "x_", "/in/x_a.txt", false},
        {"template folders", "2024/06/pic", false, "", "/in/2024/06/pic.txt", false},
        {"template, prefix with /", "2024/pic", false, "s/", "/in/2024/s/pic.txt", true},
        {"track title with /", "AC/DC", true, "", "/in/AC/DC.txt", true},
        {"track title", "Song", true, "", "/in/Song.txt", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RenameSettings settings;
        settings.TextMode = true;
        settings.RenameInPlace = true;
        settings.AddPrefix = true;
        settings.Prefix = row.prefix;
        CRenamePlan plan;
        plan.Add("/in/a.txt");
        SequenceState sequence = StartSequence(settings);
        TemplateNames names{{row.given != nullptr ? row.given : ""}, {""}};
        CdPairing cd{{"/in/a.txt"}, {row.given != nullptr ? row.given : ""}};
        ComputePlan(settings, plan, "/in", sequence, row.cd ? &cd : nullptr,
                    !row.cd && row.given != nullptr ? &names : nullptr);
        EXPECT_EQ(plan.Entries()[0].second, row.target);
        ASSERT_EQ(plan.Notes().size(), row.noted ? 1u : 0u);
        if (row.noted) {
            EXPECT_EQ(plan.Notes()[0].second, kSlashInNameReason);
        }
    }
}

// The preview list keeps the plan it shows while the rules go on: every later
// change, and a run taking the plan, leave the reader's plan as it was.
TEST(Plan, AReaderKeepsThePlanItWasGiven) {
    CRenameRules rules = Numbering();
    rules.AddSource("/x/b");
    rules.AddSource("/x/a");
    rules.ComputePlan("/x", false);
    std::shared_ptr<const CRenamePlan> shown = rules.SharedPlan();
    const std::vector<CRenamePlan::Entry> before = shown->Entries();
    ASSERT_EQ(before.size(), 2u);

    rules.Settings().StartWith = 7;
    rules.ComputePlan("/x", false);
    EXPECT_EQ(shown->Entries(), before);
    EXPECT_EQ(Walk(rules).front(), "/x/a -> /x/7");
    shown = rules.SharedPlan();
    CRenamePlan taken = rules.TakePlan();
    EXPECT_EQ(taken.Entries(), shown->Entries());
    EXPECT_EQ(rules.PlanSize(), 0u);

    shown = rules.SharedPlan();
    rules.AddSource("/x/c");
    rules.LeaveOut("/x/log");
    EXPECT_TRUE(shown->Empty());
    EXPECT_TRUE(shown->LeftOut().empty());
    EXPECT_EQ(rules.PlanSize(), 1u);
    rules.ClearPlan();
    EXPECT_TRUE(shown->Empty());
}

// Preview, Start and the live preview all name a plan through one function:
// the template first (never in CD mode), a relative destination from the
// working folder, and a cancel or an unreadable template that says so.
TEST(Plan, OneComputationNamesThePlanForEveryCaller) {
    struct Row {
        const char* what;
        const char* nameTemplate;  // null: no template
        bool cdMode;
        const char* destination;  // null: rename in place
        bool cancelled;
        const char* target;  // of /in/a.txt; "*" for the destination's
        bool named;
    };
    const Row rows[] = {
        {"rules only", nullptr, false, nullptr, false, "/in/x_a.txt", true},
        {"template, then the rules", "{n:2}-{name}", false, nullptr, false, "/in/x_07-a.txt", true},
        {"CD mode takes the titles, not the template", "{n:2}", true, nullptr, false,
         "/in/x_Song.txt", true},
        {"a template that cannot be read leaves the targets", "{nope", false, nullptr, false,
         "/in/old.txt", false},
        {"cancelled", "{name}", false, nullptr, true, nullptr, false},
        {"a relative destination", nullptr, false, "out", false, "*", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RenameSettings settings;
        settings.TextMode = true;
        settings.AddPrefix = true;
        settings.Prefix = "x_";
        settings.StartWith = 7;
        settings.RenameInPlace = row.destination == nullptr;
        settings.RenameDestFolder = row.destination != nullptr ? row.destination : "";
        settings.More.UseTemplate = row.nameTemplate != nullptr;
        settings.More.Template = row.nameTemplate != nullptr ? row.nameTemplate : "";
        CRenamePlan plan;
        plan.Add("/in/a.txt");
        plan.Entries()[0].second = "/in/old.txt";
        const CdPairing cd{{"/in/a.txt"}, {"Song"}};
        CancelFlag cancel{row.cancelled};
        SequenceState sequence;
        std::string error;
        EXPECT_EQ(
            ComputePlanNames(settings, plan, "/in", sequence, row.cdMode, &cd, &cancel, &error),
            row.named);
        if (row.target == nullptr) {
            continue;
        }
        const std::string wanted = std::string(row.target) == "*"
                                       ? AbsoluteFromWorkingFolder("out") + "/x_a.txt"
                                       : row.target;
        EXPECT_EQ(plan.Entries()[0].second, wanted);
        EXPECT_EQ(error.empty(), row.named);
    }
}

}  // namespace
}  // namespace quorvan
