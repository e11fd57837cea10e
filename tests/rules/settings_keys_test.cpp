#include "rules/settings_keys.h"

#include <gtest/gtest.h>

#include <set>

#include "selection/filter_keys.h"
#include "support/settings_fixtures.h"

namespace quorvan {
namespace {

// Writes the value, checks that exactly the lines whose condition holds were
// written, reads them into a default value and compares. Returns the keys.
template <class S>
std::set<std::string> RoundTrip(std::span<const SettingsKey<S>> table, const S& value,
                                bool (*read)(const CSettingsStore&, S&)) {
    CSettingsStore store;
    WriteKeys(table, value, store);
    std::set<std::string> expected;
    for (const SettingsKey<S>& row : table) {
        if (IsWritten(row, value)) {
            expected.insert(row.key);
        }
    }
    std::set<std::string> written;
    for (const auto& [key, text] : store.Entries()) {
        written.insert(key);
    }
    EXPECT_EQ(written, expected);

    S loaded;
    read(store, loaded);
    EXPECT_TRUE(loaded == value);
    return written;
}

bool ReadRename(const CSettingsStore& store, RenameSettings& settings) {
    ReadSettingsKeys(store, settings);
    return true;
}

// Every key of each table is written, read and compared by walking the table
// alone: a key added to a table needs no other list.
TEST(SettingsKeys, EveryKeyRoundTripsThroughTheTable) {
    std::set<std::string> seen;
    for (const RenameSettings& value : test::FullRenameSettings()) {
        SCOPED_TRACE(value.TextMode ? "text" : value.NumericSequence ? "numeric" : "alpha");
        seen.merge(RoundTrip(SettingsFileKeys(), value, ReadRename));
    }
    for (const SettingsKey<RenameSettings>& row : SettingsFileKeys()) {
        EXPECT_EQ(seen.count(row.key), 1u) << row.key << " is never written";
        EXPECT_TRUE(IsSettingsKey(row.key));
    }

    seen.clear();
    for (const FilterRules& value : test::FullFilterRules()) {
        seen.merge(RoundTrip(FilterFileKeys(), value, ReadFilterKeys));
    }
    for (const SettingsKey<FilterRules>& row : FilterFileKeys()) {
        EXPECT_EQ(seen.count(row.key), 1u) << row.key << " is never written";
        EXPECT_TRUE(IsFilterKey(row.key));
    }
    EXPECT_FALSE(IsSettingsKey("HasFilters"));
    EXPECT_FALSE(IsFilterKey("Prefix"));
}

// The mode line decides whether the page lines count at all.
TEST(SettingsKeys, PageLinesCountOnlyUnderAKnownMode) {
    struct Row {
        const char* mode;
        bool prefixTaken;
        bool textMode;
    };
    for (const Row& row :
         {Row{"Text", true, true}, Row{"TEXT", true, true}, Row{"Seq", true, false},
          Row{"seq", false, true}, Row{"", false, true}, Row{nullptr, false, true}}) {
        CSettingsStore store;
        if (row.mode != nullptr) {
            store.SetValue("TextSeqModifications", row.mode);
        }
        store.SetValue("AddPrefix", "Yes");
        store.SetValue("Prefix", "p_");
        store.SetValue("LogFile", "Yes");
        RenameSettings settings;
        settings.TextMode = true;
        ReadSettingsKeys(store, settings);
        const char* shown = row.mode != nullptr ? row.mode : "(none)";
        EXPECT_EQ(settings.AddPrefix, row.prefixTaken) << shown;
        EXPECT_EQ(settings.Prefix, row.prefixTaken ? "p_" : "") << shown;
        EXPECT_EQ(settings.TextMode, row.textMode) << shown;
        EXPECT_TRUE(settings.LogFile) << shown;  // not a page line of the mode
    }
}

}  // namespace
}  // namespace quorvan
