#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/local_time.h"
#include "rules/page.h"
#include "rules/settings_store.h"

namespace quorvan {

// The rule settings of the Rename, Extended and Attribute pages, the new-name
// computation and the rename plan.
class CRenameRules final {
  public:
    // The rename plan: source path to target path, in byte-wise key order.
    using PlanEntry = std::pair<std::string, std::string>;

    // --- pages ---
    bool SetPages(CPageControls* renamePage, CPageControls* extendedPage,
                  CPageControls* attributePage, CPageControls* cdPage);
    // The main window's source list and its three selection buttons, which are
    // disabled while subfolders are included.
    void SetSubfolderControls(CPageControls* window, std::array<int, 4> controlIds);
    bool GatherFromPages(const std::string& sourceFolder);
    void ApplyToPages(const std::string& sourceFolder);

    // --- new names ---
    bool ComputeName(const std::string& sourceRoot, const std::string& sourcePath,
                     std::string& target, bool cdFlag);
    bool ApplyTextRules(std::string& name) const;
    bool ApplySequenceRules(std::string& name);
    bool ApplyExtensionRules(std::string& name) const;
    bool NextNumericText(std::string& text);
    bool NextAlphaText(std::string& text);
    // Sets the sequence counter (and the alpha case) before the first name.
    void StartSequence();

    // --- plan ---
    bool ClearPlan();
    void AddSource(const std::string& sourcePath);
    bool ComputePlan(const std::string& sourceRoot, bool cdFlag);
    bool FirstTarget(std::string& target);
    bool NextTarget(std::string& target);
    bool FirstPair(std::string& source, std::string& target);
    bool NextPair(std::string& source, std::string& target);
    // The entries in key order (sorts pending additions first).
    const std::vector<PlanEntry>& PlanEntries();
    // Whether a path is a source of the plan.
    bool IsPlanSource(const std::string& path);
    size_t PlanSize();

    // --- settings file ---
    bool SaveSettings(const std::string& path, const std::string& sourceFolder);
    bool LoadSettings(const std::string& path, std::string& sourcePath);
    void WriteSettingsKeys();
    void ReadSettingsKeys();
    CSettingsStore& Store() { return store_; }

    // Fields, named after their settings keys.
    uint32_t DefaultWidth = 8;
    std::string SourcePath;
    bool TextMode = false;
    bool AddPrefix = false;
    std::string Prefix;
    bool AddSuffix = false;
    std::string Suffix;
    bool CaseChange = false;
    int32_t UpperCase = 0;
    bool ReplaceString = false;
    std::string SourceString;
    std::string DestString;
    bool NumericSequence = false;
    int32_t StartWith = 0;
    int32_t DigitCount = 0;
    std::string AlphaStartWith;
    bool ChangeExtension = false;
    std::string ChangeExtensionString;
    bool ConcatExtension = false;
    std::string ConcatExtensionString;
    bool IncludeSubFolders = false;
    bool LogFile = false;
    bool UndoBatchFile = false;
    bool RenameInPlace = false;
    std::string RenameDestFolder;
    bool ModifyAttributes = false;
    bool ModifyReadOnly = false;
    bool ModifyHidden = false;
    bool ModifySystem = false;
    bool ModifyArchive = false;
    bool ModifyDatesTimes = false;
    bool ModifyCreationDateTime = false;
    LocalDateTime CreationDate;
    LocalDateTime CreationTime;
    bool ModifyModDateTime = false;
    LocalDateTime ModDate;
    LocalDateTime ModTime;
    bool ModifyLastAccessedDateTime = false;
    LocalDateTime LastAccessedDate;
    LocalDateTime LastAccessedTime;
    int32_t SequencePlacement = 3;  // 0 prefix, 1 replace, 2 suffix, 3 none chosen
    bool AlphaLowerCase = false;
    int32_t SequenceCounter = 0;

  private:
    // One date/time group of the Attribute page: its check box, its two
    // pickers and the fields they fill.
    struct DateTimeGroup {
        int check, datePicker, timePicker;
        bool& flag;
        LocalDateTime& date;
        LocalDateTime& time;
    };
    // Creation, modified, last accessed, in that order.
    std::array<DateTimeGroup, 3> DateTimeGroups();
    void SortPlan();
    std::vector<PlanEntry>::iterator FindEntry(const std::string& key);

    CPageControls* renamePage_ = nullptr;
    CPageControls* extendedPage_ = nullptr;
    CPageControls* attributePage_ = nullptr;
    CPageControls* cdPage_ = nullptr;
    CPageControls* window_ = nullptr;
    std::array<int, 4> subfolderControls_{};

    // Entries are appended and sorted (keeping the first of equal keys) before
    // any walk or lookup: far cheaper than a tree for a million files.
    std::vector<PlanEntry> plan_;
    size_t sortedCount_ = 0;
    size_t cursor_ = 0;
    CSettingsStore store_;
};

}  // namespace quorvan
