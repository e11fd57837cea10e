#include "run/usage_counters.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <optional>
#include <string>

#include "common/product.h"
#include "platform/platform_test_support.h"

namespace quorvan {
namespace {

using test::TestDir;

class UsageRegistryTest : public ::testing::Test {
  protected:
    test::StateDirScope scope_;
    TestDir& dir_ = scope_.Dir();
};

TEST_F(UsageRegistryTest, FirstUseCreatesDefaultsThenCountsStart) {
    {
        CUsageRegistry registry(kAppGuid);
        std::string text;
        ASSERT_TRUE(registry.ReadValue("AppGuidStr", text));
        EXPECT_EQ(text, kAppGuid);
        EXPECT_EQ(registry.ReadStartCount(), 0);
        EXPECT_EQ(registry.ReadTimesUsed(), 0);
        EXPECT_EQ(registry.ReadFilesProcessed(), 0);
        ASSERT_TRUE(registry.ReadValue("TimesUsed", text));
        EXPECT_EQ(text, "0");
        EXPECT_TRUE(registry.WriteStartCount(registry.ReadStartCount() + 1));
    }
    CUsageRegistry again(kAppGuid);
    EXPECT_EQ(again.ReadStartCount(), 1);
}

TEST_F(UsageRegistryTest, ExistingStoreIsNotTouched) {
    dir_.CreateFile("state/counters", "StartCount=7\n");
    CUsageRegistry registry("{other}");
    std::string text;
    EXPECT_FALSE(registry.ReadValue("AppGuidStr", text));
    EXPECT_EQ(registry.ReadStartCount(), 7);
    EXPECT_EQ(registry.ReadTimesUsed(), 0);  // missing reads as 0
}

TEST_F(UsageRegistryTest, CountersReadLeadingDigits) {
    CUsageRegistry registry(kAppGuid);
    registry.WriteValue("StartCount", "12abc");
    registry.WriteValue("TimesUsed", "");
    registry.WriteValue("FilesProcessed", "abc");
    EXPECT_EQ(registry.ReadStartCount(), 12);
    EXPECT_EQ(registry.ReadTimesUsed(), 0);
    EXPECT_EQ(registry.ReadFilesProcessed(), 0);

    registry.WriteStartCount(10);
    std::string text;
    ASSERT_TRUE(registry.ReadValue("StartCount", text));
    EXPECT_EQ(text, "10");
    registry.WriteFilesProcessed(-5);
    EXPECT_EQ(registry.ReadFilesProcessed(), -5);
}

TEST_F(UsageRegistryTest, AddToCounterWrapsAt32Bits) {
    CUsageRegistry registry(kAppGuid);
    EXPECT_EQ(registry.AddToCounter("FilesProcessed", 41), 41);
    EXPECT_EQ(registry.AddToCounter("FilesProcessed", 1), 42);
    registry.WriteTimesUsed(INT32_MAX);
    bool stored = false;
    EXPECT_EQ(registry.AddToCounter("TimesUsed", 1, &stored), INT32_MIN);
    EXPECT_TRUE(stored);
    EXPECT_EQ(registry.ReadTimesUsed(), INT32_MIN);
}

TEST_F(UsageRegistryTest, UnwritableStoreReadsZeroAndFailsQuietly) {
    dir_.CreateFile("blocker", "");
    setenv("QUORVAN_STATE_DIR", (dir_ / "blocker/state").c_str(), 1);
    CUsageRegistry registry(kAppGuid);
    EXPECT_EQ(registry.ReadStartCount(), 0);
    EXPECT_FALSE(registry.WriteStartCount(3));
    bool stored = true;
    EXPECT_EQ(registry.AddToCounter("TimesUsed", 1, &stored), 1);
    EXPECT_FALSE(stored);
}

TEST_F(UsageRegistryTest, TwoProcessesAddingFilesProcessedLoseNothing) {
    CUsageRegistry registry(kAppGuid);
    registry.WriteFilesProcessed(5);
    EXPECT_TRUE(test::InChildrenAtOnce(2, [] {
        CUsageRegistry own(kAppGuid);
        for (int i = 0; i < 500; ++i) {
            own.AddToCounter(kValueFilesProcessed, 1);
        }
    }));
    EXPECT_EQ(registry.ReadFilesProcessed(), 1005);
}

}  // namespace
}  // namespace quorvan
