#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/cancel.h"
#include "rules/rename_plan.h"
#include "rules/rename_rules.h"
#include "run/plan_check.h"
#include "selection/filter_settings.h"
#include "selection/source_scan.h"
#include "support/test_dir.h"

namespace quorvan::test {
namespace {

constexpr int kFiles = 3000;

// What a step of a preview got done over `kFiles` ticked files.
struct Done {
    size_t files = 0;    // taken into the plan
    size_t targets = 0;  // given a new name
    size_t checked = 0;  // given a status
};

Done Preview(const TestDir& dir, const CancelFlag* listCancel, const CancelFlag* nameCancel,
             const CancelFlag* checkCancel) {
    std::vector<SourceRow> rows;
    for (int i = 0; i < kFiles; ++i) {
        rows.push_back({dir / ("f" + std::to_string(i)), true});
    }
    CRenameRules rules;
    rules.Settings().AddPrefix = true;
    rules.Settings().Prefix = "new_";
    CFilterSettings filter;
    CFileListBuilder builder(rules, filter);
    builder.SetCancelFlag(listCancel);
    FileListRequest request;
    request.sourceFolder = dir.Path();
    request.sourceRows = std::move(rows);
    builder.BuildFileList(request);
    CRenamePlan plan = rules.TakePlan();
    Done done;
    done.files = plan.Size();
    SequenceState sequence = StartSequence(rules.Settings());
    ComputePlan(rules.Settings(), plan, dir.Path(), sequence, nullptr, nullptr, nameCancel);
    for (const auto& entry : plan.Entries()) {
        done.targets += !entry.second.empty();
    }
    const PlanCheck check = CheckPlan(
        plan.Entries(), true, false, [](const std::string&) { return false; }, {}, checkCancel);
    for (size_t status = 0; status < 5; ++status) {
        done.checked += check.counts[status];
    }
    return done;
}

TEST(Cancel, AFlagSetBeforehandStopsEachStepOfAPreviewAndOnlyThatStep) {
    TestDir dir;
    for (int i = 0; i < kFiles; ++i) {
        dir.CreateFile("f" + std::to_string(i));
    }
    CancelFlag set{true};
    CancelFlag clear{false};
    struct Case {
        const char* name;
        const CancelFlag* list;
        const CancelFlag* names;
        const CancelFlag* check;
        Done expected;
    };
    const size_t all = kFiles;
    const Case cases[] = {
        {"no flag at all", nullptr, nullptr, nullptr, {all, all, all}},
        {"flags never set", &clear, &clear, &clear, {all, all, all}},
        {"the file list", &set, nullptr, nullptr, {0, 0, 0}},
        {"the new names", nullptr, &set, nullptr, {all, 0, all}},
        {"the check", nullptr, nullptr, &set, {all, all, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Done done = Preview(dir, c.list, c.names, c.check);
        EXPECT_EQ(done.files, c.expected.files);
        EXPECT_EQ(done.targets, c.expected.targets);
        EXPECT_EQ(done.checked, c.expected.checked);
    }
}

}  // namespace
}  // namespace quorvan::test
