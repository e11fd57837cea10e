#include "run/usage_counters.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <initializer_list>
#include <string>
#include <utility>

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

// The first use makes the store with the GUID and three zeros; a store there
// before is left as it is, whatever the GUID, and missing counters read 0.
TEST_F(UsageRegistryTest, TheStoreIsMadeOnceAndKeepsItsCounts) {
    CUsageRegistry(kAppGuid).WriteStartCount(12);
    EXPECT_EQ(dir_.Read("state/counters"), "AppGuidStr=" + std::string(kAppGuid) +
                                               "\nFilesProcessed=0\nStartCount=12\nTimesUsed=0\n");
    dir_.CreateFile("state/counters", "StartCount=7\n");
    CUsageRegistry registry("{other}");
    std::string text;
    EXPECT_FALSE(registry.ReadValue("AppGuidStr", text));
    EXPECT_EQ(registry.ReadStartCount(), 7);
    EXPECT_EQ(registry.ReadTimesUsed(), 0);
}

TEST_F(UsageRegistryTest, CountersReadTheirLeadingDigits) {
    CUsageRegistry registry(kAppGuid);
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, int32_t>>{
             {"12abc", 12}, {"", 0}, {"abc", 0}, {"-5", -5}}) {
        registry.WriteValue("StartCount", text);
        EXPECT_EQ(registry.ReadStartCount(), value) << text;
    }
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
