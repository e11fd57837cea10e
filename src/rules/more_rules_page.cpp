#include "rules/more_rules_page.h"

#include <utility>

namespace quorvan {

MoreRuleSettings MoreRulesFromPage(const MoreRulesPageState& p) {
    MoreRuleSettings m;
    m.RemoveChars = p.removeChars;
    m.RemoveCount = p.removeCount;
    m.RemoveFrom = p.removeFrom;
    m.InsertText = p.insertText;
    m.InsertString = p.insertString;
    m.InsertAt = p.insertAt;
    m.RegexReplace = p.regexReplace;
    m.RegexPattern = p.regexPattern;
    m.RegexReplacement = p.regexReplacement;
    m.RegexIgnoreCase = p.regexIgnoreCase;
    m.RegexIncludeExtension = p.regexIncludeExtension;
    m.ReplaceBlanks = p.replaceBlanks;
    m.ReplaceBlanksWith = p.replaceBlanksWith;
    m.RemoveAccents = p.removeAccents;
    m.TransliterateAscii = p.transliterateAscii;
    m.Form = p.form;
    m.TrimName = p.trimName;
    if (p.caseStyle) {
        m.NameCase = p.nameCase;
        m.ExtensionCase = p.extensionCase;
    }
    if (p.numbering) {
        m.Order = p.order;
        m.SequenceStep = p.step;
        m.SequencePerFolder = p.perFolder;
    }
    return m;
}

MoreRulesPageState MoreRulesPageFrom(const MoreRuleSettings& m, const MoreRulesPageState& shown) {
    MoreRulesPageState p = shown;
    p.removeChars = m.RemoveChars;
    p.removeCount = m.RemoveCount;
    p.removeFrom = m.RemoveFrom;
    p.insertText = m.InsertText;
    p.insertString = m.InsertString;
    p.insertAt = m.InsertAt;
    p.regexReplace = m.RegexReplace;
    p.regexPattern = m.RegexPattern;
    p.regexReplacement = m.RegexReplacement;
    p.regexIgnoreCase = m.RegexIgnoreCase;
    p.regexIncludeExtension = m.RegexIncludeExtension;
    p.replaceBlanks = m.ReplaceBlanks;
    p.replaceBlanksWith = m.ReplaceBlanksWith;
    p.removeAccents = m.RemoveAccents;
    p.transliterateAscii = m.TransliterateAscii;
    p.form = m.Form;
    p.trimName = m.TrimName;
    p.caseStyle =
        m.NameCase != NameCaseStyle::Unchanged || m.ExtensionCase != ExtensionCaseStyle::Unchanged;
    if (p.caseStyle) {
        p.nameCase = m.NameCase;
        p.extensionCase = m.ExtensionCase;
    }
    p.numbering = m.Order != SequenceOrder::Path || m.SequenceStep != 1 || m.SequencePerFolder;
    if (p.numbering) {
        p.order = m.Order;
        p.step = m.SequenceStep;
        p.perFolder = m.SequencePerFolder;
    }
    return p;
}

MoreRulesEnabled EnabledControls(const MoreRulesPageState& p) {
    return {p.removeChars, p.insertText, p.regexReplace, p.replaceBlanks, p.caseStyle, p.numbering};
}

MoreRulesPageProblems PageProblems(const MoreRulesPageState& page) {
    MoreRuleSettings regex;
    regex.RegexReplace = page.regexReplace;
    regex.RegexPattern = page.regexPattern;
    regex.RegexIgnoreCase = page.regexIgnoreCase;
    regex.RegexReplacement = page.regexReplacement;
    MoreRuleSettings numbering;
    numbering.SequenceStep = page.numbering ? page.step : 1;
    // Beside its field the message needs no name of the field: "offset 3:
    // missing closing parenthesis" fits where the whole sentence would not.
    std::string pattern = MoreRulesError(regex);
    const std::pair<std::string, std::string> shorter[] = {
        {"Invalid regular expression at offset", "Offset"},
        {"Invalid replacement at offset", "Replacement offset"}};
    for (const auto& [sentence, beside] : shorter) {
        if (pattern.compare(0, sentence.size(), sentence) == 0) {
            pattern = beside + pattern.substr(sentence.size());
        }
    }
    return {pattern, MoreRulesError(numbering).empty() ? "" : "cannot be 0"};
}

}  // namespace quorvan
