#include "platform/counter_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform_test_support.h"

namespace quorvan {
namespace {

using test::TestDir;

// Points the store at a temporary folder for the test's duration.
class CounterStoreTest : public ::testing::Test {
  protected:
    test::StateDirScope scope_;
    TestDir& dir_ = scope_.Dir();
};

TEST_F(CounterStoreTest, DefaultFolderFollowsEnvironment) {
    EXPECT_EQ(CCounterStore::DefaultFolder(), dir_ / "state");
    unsetenv("QUORVAN_STATE_DIR");
    std::string xdg = getenv("XDG_STATE_HOME") ? getenv("XDG_STATE_HOME") : "";
    setenv("XDG_STATE_HOME", "/x/state", 1);
    EXPECT_EQ(CCounterStore::DefaultFolder(), "/x/state/quorvan");
    unsetenv("XDG_STATE_HOME");
    std::string home = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(CCounterStore::DefaultFolder(), "/home/someone/.local/state/quorvan");
    setenv("HOME", home.c_str(), 1);
    if (!xdg.empty()) {
        setenv("XDG_STATE_HOME", xdg.c_str(), 1);
    }
}

TEST_F(CounterStoreTest, WritesAndReadsValuesCreatingTheFolderOnce) {
    CCounterStore store;
    EXPECT_FALSE(store.Exists());
    EXPECT_FALSE(store.Read("StartCount").has_value());
    ASSERT_TRUE(store.CreateIfMissing({{"StartCount", "0"}}));
    EXPECT_EQ(store.Read("StartCount"), "0");
    ASSERT_TRUE(store.Write("StartCount", "10"));
    ASSERT_TRUE(store.Write("AppGuidStr", "{guid}"));
    EXPECT_EQ(store.Read("StartCount"), "10");
    EXPECT_EQ(store.Read("AppGuidStr"), "{guid}");
    EXPECT_EQ(dir_.Read("state/counters"), "AppGuidStr={guid}\nStartCount=10\n");

    EXPECT_FALSE(store.Write("Bad=Name", "1"));
    EXPECT_FALSE(store.Write("Name", "two\nlines"));
    EXPECT_FALSE(store.Write("", "1"));
    EXPECT_EQ(dir_.List("state"), (std::vector<std::string>{"counters", "counters.lock"}));

    // An existing store is left alone.
    ASSERT_TRUE(store.CreateIfMissing({{"StartCount", "0"}, {"C", "0"}}));
    EXPECT_EQ(store.Read("StartCount"), "10");
    EXPECT_FALSE(store.Read("C").has_value());
}

TEST_F(CounterStoreTest, UnusableFolderFailsQuietly) {
    dir_.CreateFile("blocker", "a file, not a folder");
    CCounterStore store(dir_ / "blocker/state");
    EXPECT_FALSE(store.Write("A", "1"));
    EXPECT_FALSE(store.Read("A").has_value());
    EXPECT_FALSE(store.CreateIfMissing({{"A", "0"}}));
}

TEST_F(CounterStoreTest, ConcurrentProcessesLoseNoUpdate) {
    CCounterStore store;
    EXPECT_TRUE(test::InChildrenAtOnce(2, [] {
        CCounterStore own;
        for (int i = 0; i < 500; ++i) {
            own.Update([](CCounterStore::Values& values) {
                values["FilesProcessed"] =
                    std::to_string(std::stol("0" + values["FilesProcessed"]) + 1);
                return true;
            });
        }
    }));
    EXPECT_EQ(store.Read("FilesProcessed"), "1000");
}

}  // namespace
}  // namespace quorvan
