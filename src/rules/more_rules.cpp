#include "rules/more_rules.h"

#include <vector>

#include "common/text.h"
#include "rules/regex_text.h"
#include "rules/unicode_text.h"

namespace quorvan {

namespace {

// Where the extension starts (its dot), or the name's length. A name that
// starts with its only dot is all base: ".profile" has no extension.
size_t ExtensionStart(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name.size() : dot;
}

// The byte offset of every character of `text`, and its length at the end;
// a byte that is no valid UTF-8 counts as one character.
std::vector<size_t> CharacterOffsets(const std::string& text) {
    std::vector<size_t> offsets;
    offsets.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size();) {
        offsets.push_back(i);
        char32_t cp = 0;
        size_t length = DecodeUtf8(text, i, cp);
        i += length == 0 ? 1 : length;
    }
    offsets.push_back(text.size());
    return offsets;
}

// A position (1 the first character, -1 the last, 0 as 1) as a character
// index in 0..count, clamped to the text.
size_t IndexOf(int32_t position, size_t count) {
    int64_t index = position > 0   ? int64_t{position} - 1
                    : position < 0 ? static_cast<int64_t>(count) + position
                                   : 0;
    if (index < 0) {
        return 0;
    }
    return static_cast<size_t>(index) > count ? count : static_cast<size_t>(index);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool StartsWord(char previous) {
    switch (previous) {
        case ' ':
        case '\t':
        case '_':
        case '-':
        case '.':
        case '(':
        case '[':
            return true;
        default:
            return false;
    }
}

// Upper-cases the character at `i` of `text` into `out`; returns its length.
size_t AppendUpper(const std::string& text, size_t i, std::string& out) {
    char32_t cp = 0;
    size_t length = DecodeUtf8(text, i, cp);
    if (length == 0) {
        out += text[i];
        return 1;
    }
    out += Utf8ToUpper(std::string_view(text).substr(i, length));
    return length;
}

bool IsCased(std::string_view character) {
    return Utf8ToUpper(character) != Utf8ToLower(character);
}

}  // namespace

bool ChangesNames(const MoreRuleSettings& s) {
    return s.RemoveChars || s.InsertText || s.RegexReplace || s.ReplaceBlanks || s.RemoveAccents ||
           s.TransliterateAscii || s.Form != UnicodeForm::Unchanged || s.TrimName ||
           s.NameCase != NameCaseStyle::Unchanged ||
           s.ExtensionCase != ExtensionCaseStyle::Unchanged;
}

std::string MoreRulesError(const MoreRuleSettings& s) {
    if (s.RegexReplace) {
        CRegex::Error error;
        std::unique_ptr<CRegex> regex = CRegex::Compile(s.RegexPattern, s.RegexIgnoreCase, error);
        if (!regex) {
            return RegexErrorText(error);
        }
        std::string replacement = regex->ReplacementError(s.RegexReplacement);
        if (!replacement.empty()) {
            return replacement;
        }
    }
    if (s.SequenceStep == 0) {
        return "The numbering step cannot be 0.";
    }
    return {};
}

CMoreRulesProgram::CMoreRulesProgram(const MoreRuleSettings& settings)
    : settings_(settings), changes_(quorvan::ChangesNames(settings)) {
    const MoreRuleSettings& s = settings_;
    if (s.SequenceStep == 0) {
        error_ = "The numbering step cannot be 0.";
    }
    if (s.RegexReplace) {
        CRegex::Error error;
        regex_ = CRegex::Compile(s.RegexPattern, s.RegexIgnoreCase, error);
        if (!regex_) {
            error_ = RegexErrorText(error);
        } else if (std::string replacement = regex_->ReplacementError(s.RegexReplacement);
                   !replacement.empty()) {
            error_ = replacement;
        }
    }
    auto open = [this](bool on, CTextTransform::Kind kind, std::unique_ptr<CTextTransform>& to) {
        if (on) {
            to = CTextTransform::Create(kind);
            if (!to) {
                error_ = "The Unicode data for this clean-up is missing.";
            }
        }
    };
    open(s.RemoveAccents, CTextTransform::Kind::RemoveAccents, accents_);
    open(s.TransliterateAscii, CTextTransform::Kind::ToAscii, ascii_);
    open(s.Form != UnicodeForm::Unchanged,
         s.Form == UnicodeForm::Nfc ? CTextTransform::Kind::Nfc : CTextTransform::Kind::Nfd, form_);
}

CMoreRulesProgram::~CMoreRulesProgram() = default;

bool CMoreRulesProgram::Apply(std::string& name) const {
    if (!Usable()) {
        return false;
    }
    if (!changes_) {
        return true;
    }
    const MoreRuleSettings& s = settings_;
    std::string base = name.substr(0, ExtensionStart(name));
    std::string extension = name.substr(base.size());
    auto join = [&] {
        name = base + extension;
        base.clear();
        extension.clear();
    };
    auto split = [&] {
        base = name.substr(0, ExtensionStart(name));
        extension = name.substr(base.size());
    };

    ApplyPositions(s, base);
    if (regex_) {
        std::string error;
        if (s.RegexIncludeExtension) {
            join();
            if (!regex_->ReplaceAll(name, s.RegexReplacement, error)) {
                return false;
            }
            split();
        } else if (!regex_->ReplaceAll(base, s.RegexReplacement, error)) {
            return false;
        }
    }
    if (s.ReplaceBlanks) {
        ReplaceBlankRuns(base, s.ReplaceBlanksWith);
    }
    if (accents_ || ascii_ || form_) {
        join();
        for (const auto* transform : {accents_.get(), ascii_.get(), form_.get()}) {
            if (transform != nullptr) {
                transform->Apply(name);
            }
        }
        split();
    }
    if (s.TrimName) {
        TrimBlanksAndDots(base);
        while (!extension.empty() && IsBlank(extension.back())) {
            extension.pop_back();
        }
        if (extension == ".") {
            extension.clear();
        }
    }
    ApplyNameCase(s.NameCase, base);
    ApplyExtensionCase(s.ExtensionCase, extension);
    join();
    // A folder separator would move the file elsewhere: no rule here may.
    return name.find('/') == std::string::npos;
}

void ApplyPositions(const MoreRuleSettings& s, std::string& base) {
    if (s.RemoveChars && s.RemoveCount > 0) {
        std::vector<size_t> at = CharacterOffsets(base);
        const size_t count = at.size() - 1;
        const size_t from = IndexOf(s.RemoveFrom, count);
        const size_t to = std::min(count, from + static_cast<size_t>(s.RemoveCount));
        base.erase(at[from], at[to] - at[from]);
    }
    if (s.InsertText && !s.InsertString.empty()) {
        std::vector<size_t> at = CharacterOffsets(base);
        const size_t count = at.size() - 1;
        // -1 puts the text after the last character, as 1 puts it before the first.
        const size_t index =
            s.InsertAt < 0 ? IndexOf(s.InsertAt, count) + 1 : IndexOf(s.InsertAt, count);
        base.insert(at[std::min(index, count)], s.InsertString);
    }
}

void ReplaceBlankRuns(std::string& text, const std::string& with) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (IsBlank(text[i])) {
            while (i < text.size() && IsBlank(text[i])) {
                ++i;
            }
            out += with;
        } else {
            out += text[i++];
        }
    }
    text = std::move(out);
}

void TrimBlanksAndDots(std::string& text) {
    auto trimmed = [](char c) { return IsBlank(c) || c == '.'; };
    size_t first = 0;
    while (first < text.size() && trimmed(text[first])) {
        ++first;
    }
    size_t last = text.size();
    while (last > first && trimmed(text[last - 1])) {
        --last;
    }
    text = text.substr(first, last - first);
}

void ApplyNameCase(NameCaseStyle style, std::string& base) {
    switch (style) {
        case NameCaseStyle::Unchanged:
            return;
        case NameCaseStyle::Lower:
            base = Utf8ToLower(base);
            return;
        case NameCaseStyle::Upper:
            base = Utf8ToUpper(base);
            return;
        case NameCaseStyle::Title:
        case NameCaseStyle::Sentence: {
            const std::string lower = Utf8ToLower(base);
            std::string out;
            out.reserve(lower.size() + 4);
            bool wordStart = true;
            bool sentenceDone = false;
            for (size_t i = 0; i < lower.size();) {
                const char c = lower[i];
                if (static_cast<unsigned char>(c) < 0x80) {
                    // ASCII, most of most names: no need to ask the tables.
                    const bool letter = c >= 'a' && c <= 'z';
                    const bool upper =
                        letter && (style == NameCaseStyle::Title ? wordStart : !sentenceDone);
                    out += upper ? static_cast<char>(c - 'a' + 'A') : c;
                    sentenceDone = sentenceDone || upper;
                    wordStart = StartsWord(c);
                    ++i;
                    continue;
                }
                char32_t cp = 0;
                size_t length = DecodeUtf8(lower, i, cp);
                std::string_view character(lower.data() + i, length == 0 ? 1 : length);
                const bool cased = length != 0 && IsCased(character);
                const bool upper =
                    style == NameCaseStyle::Title ? wordStart && cased : !sentenceDone && cased;
                if (upper) {
                    i += AppendUpper(lower, i, out);
                    sentenceDone = true;
                } else {
                    out.append(character);
                    i += character.size();
                }
                wordStart = StartsWord(character.back()) && character.size() == 1;
            }
            base = std::move(out);
            return;
        }
        case NameCaseStyle::Invert: {
            std::string out;
            out.reserve(base.size() + 4);
            for (size_t i = 0; i < base.size();) {
                char32_t cp = 0;
                size_t length = DecodeUtf8(base, i, cp);
                if (length == 0) {
                    out += base[i++];
                    continue;
                }
                std::string_view character(base.data() + i, length);
                std::string upper = Utf8ToUpper(character);
                out += upper == character ? Utf8ToLower(character) : upper;
                i += length;
            }
            base = std::move(out);
            return;
        }
    }
}

void ApplyExtensionCase(ExtensionCaseStyle style, std::string& extension) {
    if (style == ExtensionCaseStyle::Lower) {
        extension = Utf8ToLower(extension);
    } else if (style == ExtensionCaseStyle::Upper) {
        extension = Utf8ToUpper(extension);
    }
}

}  // namespace quorvan
