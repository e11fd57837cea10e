#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quorvan {

class CRegex;
class CTextTransform;

enum class NameCaseStyle { Unchanged, Title, Sentence, Lower, Upper, Invert };
enum class ExtensionCaseStyle { Unchanged, Lower, Upper };
enum class UnicodeForm { Unchanged, Nfc, Nfd };
// The order sequence numbers follow; Taken is the date a photo was taken.
enum class SequenceOrder { Path, Natural, Modified, Size, Taken };

// The rules of the More Rules page, as plain values named after their
// settings-file keys. Every default leaves names exactly as the other rules
// make them.
struct MoreRuleSettings {
    // "Name from template:": the base name from the file's own values (dates,
    // tags), before every other rule.
    bool UseTemplate = false;
    std::string Template;

    // Positions, counted in characters of the base name; 1 is the first, a
    // negative position counts from the end (-1 the last).
    bool RemoveChars = false;
    int32_t RemoveCount = 1;
    int32_t RemoveFrom = 1;
    bool InsertText = false;
    std::string InsertString;
    int32_t InsertAt = 1;

    bool RegexReplace = false;
    std::string RegexPattern;
    std::string RegexReplacement;
    bool RegexIgnoreCase = false;
    bool RegexIncludeExtension = false;

    bool ReplaceBlanks = false;
    std::string ReplaceBlanksWith;
    bool RemoveAccents = false;
    bool TransliterateAscii = false;
    UnicodeForm Form = UnicodeForm::Unchanged;  // "UnicodeForm"
    bool TrimName = false;

    NameCaseStyle NameCase = NameCaseStyle::Unchanged;                 // "NameCaseStyle"
    ExtensionCaseStyle ExtensionCase = ExtensionCaseStyle::Unchanged;  // "ExtensionCaseStyle"

    // Sequencing only: which file gets which number.
    SequenceOrder Order = SequenceOrder::Path;  // "SequenceOrder"
    int32_t SequenceStep = 1;
    bool SequencePerFolder = false;

    bool operator==(const MoreRuleSettings&) const = default;
};

// Whether any rule changes a name (the numbering order aside).
bool ChangesNames(const MoreRuleSettings& settings);

// Why these settings cannot make names (a pattern that does not compile, a
// step of zero), as one line for the user; empty when they can.
std::string MoreRulesError(const MoreRuleSettings& settings);

// The rules made ready for one plan: the pattern compiled and the transforms
// opened once, not per name. One thread at a time.
class CMoreRulesProgram final {
  public:
    explicit CMoreRulesProgram(const MoreRuleSettings& settings);
    ~CMoreRulesProgram();
    CMoreRulesProgram(const CMoreRulesProgram&) = delete;
    CMoreRulesProgram& operator=(const CMoreRulesProgram&) = delete;

    // False when the settings cannot make names; Error() says why.
    bool Usable() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    bool ChangesNames() const { return changes_; }

    // Applies positions, regular expression, clean-up and case style, in that
    // order, to a file name (base name and extension). False when a rule
    // cannot be applied to this name: the name then has no target.
    bool Apply(std::string& name) const;

  private:
    MoreRuleSettings settings_;
    std::string error_;
    bool changes_ = false;
    std::unique_ptr<CRegex> regex_;
    std::unique_ptr<CTextTransform> accents_, ascii_, form_;
};

// The steps of Apply on their own, each on the part of the name it works on.
void ApplyPositions(const MoreRuleSettings& settings, std::string& base);
void ReplaceBlankRuns(std::string& text, const std::string& with);
void TrimBlanksAndDots(std::string& text);
void ApplyNameCase(NameCaseStyle style, std::string& base);
void ApplyExtensionCase(ExtensionCaseStyle style, std::string& extension);

}  // namespace quorvan
