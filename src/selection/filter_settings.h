#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/local_time.h"
#include "rules/settings_store.h"
#include "rules/state_page.h"
#include "selection/filter_page.h"
#include "selection/filter_rules.h"

namespace quorvan {

// Decides, file by file, whether a selected file takes part in a preview or a
// run: an attribute rule, three time rules and extension include/exclude lists,
// each group switched on separately on the Filter page. The page is the master
// copy: it is read before every file list is built and every count.
class CFilterSettings final {
  public:
    // Remembers the Filter page (may be null: the fields are then used as set).
    void SetPage(CStatePage<FilterPageState>* page) { page_ = page; }

    // Copies the page into the fields; sub-fields of a group or rule that is
    // off keep their values. True when any group is on.
    bool ReadFromPage();
    // The decision for one file by the fields as last read: false when it
    // cannot be examined.
    bool Matches(const std::string& path);
    // True when any of the three groups is on.
    bool AnyGroupOn() const { return rules_.AnyGroupOn(); }

    // One time rule: the file time against the rule date's calendar day and the
    // rule time's time of day, compared to the second.
    static bool CompareTime(int64_t fileTime, const LocalDateTime& date, const LocalDateTime& time,
                            TimeComparison comparison);
    // Whether a list of ";"-terminated patterns holds the pattern, letter case
    // ignored. Text after the last ";" is not an entry.
    static bool ListContains(std::string_view pattern, std::string_view list);
    // "*" + the extension of the path's file name, "*" without a dot.
    static std::string PatternOf(std::string_view path);

    // Shows loaded settings on the page (clears both extension lists).
    void ApplyToPage();
    // Ticks the extension rows named by the two lists, after a rescan.
    void ApplyExtensionChecks();

    // The filter file is the settings path with "fltr" appended.
    static std::string FilterFilePath(const std::string& settingsPath) {
        return settingsPath + "fltr";
    }
    // Clears the store, gathers the page and writes the filter file.
    bool SaveSettings(const std::string& settingsPath);
    // Clears the store and reads the filter file; on success takes the keys out
    // and shows them on the page, with every group off when "HasFilters" is
    // not true.
    bool LoadSettings(const std::string& settingsPath);
    // Switches the three groups off (the rules inside them are kept).
    void ClearGroups();
    // Puts the filter keys into the store, each under its condition.
    void WriteFilterKeys();
    // Takes the filter keys out of the store; a missing key keeps its field.
    // Returns the "HasFilters" flag (false when missing).
    bool ReadFilterKeys();
    CSettingsStore& Store() { return store_; }

    FilterRules& Rules() { return rules_; }
    const FilterRules& Rules() const { return rules_; }

  private:
    // A time rule's bound, converted once per distinct date and time: the local
    // calendar conversion is the costliest step of a time rule.
    struct TimeBound {
        LocalDateTime date;
        LocalDateTime time;
        int64_t seconds = 0;
        bool valid = false;
    };
    static bool CompareTimeCached(int64_t fileTime, const LocalDateTime& date,
                                  const LocalDateTime& time, TimeComparison comparison,
                                  TimeBound& bound);

    CStatePage<FilterPageState>* page_ = nullptr;
    FilterRules rules_;
    CSettingsStore store_;
    TimeBound creationBound_;
    TimeBound modifiedBound_;
    TimeBound lastAccessedBound_;
};

}  // namespace quorvan
