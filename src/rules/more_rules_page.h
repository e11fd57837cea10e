#pragma once

#include <cstdint>
#include <string>

#include "rules/more_rules.h"

namespace quorvan {

// What the More Rules page shows, text in switched-off boxes included. A
// default value is the page as the window opens.
struct MoreRulesPageState {
    bool removeChars = false;
    int32_t removeCount = 1;
    int32_t removeFrom = 1;
    bool insertText = false;
    std::string insertString;
    int32_t insertAt = 1;

    bool regexReplace = false;
    std::string regexPattern;
    std::string regexReplacement;
    bool regexIgnoreCase = false;
    bool regexIncludeExtension = false;

    bool replaceBlanks = false;
    std::string replaceBlanksWith;
    bool removeAccents = false;
    bool transliterateAscii = false;
    UnicodeForm form = UnicodeForm::Unchanged;
    bool trimName = false;

    bool caseStyle = false;  // the group's own box
    NameCaseStyle nameCase = NameCaseStyle::Title;
    ExtensionCaseStyle extensionCase = ExtensionCaseStyle::Unchanged;

    bool numbering = false;  // the group's own box
    SequenceOrder order = SequenceOrder::Natural;
    int32_t step = 1;
    bool perFolder = false;

    bool operator==(const MoreRulesPageState&) const = default;
};

// The rules the page stands for: a group whose box is clear has no effect.
MoreRuleSettings MoreRulesFromPage(const MoreRulesPageState& page);
// The page that shows `settings`; `shown` gives what the boxes that the
// settings leave clear go on showing.
MoreRulesPageState MoreRulesPageFrom(const MoreRuleSettings& settings,
                                     const MoreRulesPageState& shown = {});

// Which controls of the page the user can change, from its boxes.
struct MoreRulesEnabled {
    bool removeFields = false;  // count and position
    bool insertFields = false;
    bool regexFields = false;  // pattern, replacement, the two options
    bool blanksText = false;
    bool caseFields = false;
    bool numberingFields = false;
};
MoreRulesEnabled EnabledControls(const MoreRulesPageState& page);

// Why the page's rules cannot make names, shown beside the field at fault;
// empty where all is well.
struct MoreRulesPageProblems {
    std::string pattern;  // the compiler's message and offset
    std::string step;
};
MoreRulesPageProblems PageProblems(const MoreRulesPageState& page);

}  // namespace quorvan
