#include "rules/more_rules_keys.h"

#include <array>
#include <string>

#include "common/text.h"

namespace quorvan {

namespace {

using S = RenameSettings;
using M = MoreRuleSettings;
using Row = SettingsKey<S>;

const M kDefaults;

template <auto Field>
using FieldType = typename keys::MemberOf<decltype(Field)>::Type;

bool Always(const M&) {
    return true;
}
bool TemplateOn(const M& m) {
    return m.UseTemplate;
}
bool RemoveOn(const M& m) {
    return m.RemoveChars;
}
bool InsertOn(const M& m) {
    return m.InsertText;
}
bool RegexOn(const M& m) {
    return m.RegexReplace;
}
bool BlanksOn(const M& m) {
    return m.ReplaceBlanks;
}

void Put(CSettingsStore& st, const char* k, bool v) {
    st.SetFlag(k, v);
}
void Put(CSettingsStore& st, const char* k, int32_t v) {
    st.SetNumber(k, v);
}
void Put(CSettingsStore& st, const char* k, const std::string& v) {
    st.SetValue(k, v);
}
bool Get(const CSettingsStore& st, const char* k, bool& v) {
    return st.GetFlag(k, v);
}
bool Get(const CSettingsStore& st, const char* k, int32_t& v) {
    return st.GetNumber(k, v);
}
bool Get(const CSettingsStore& st, const char* k, std::string& v) {
    return st.GetValue(k, v);
}

constexpr ValueForm FormOf(bool) {
    return ValueForm::Flag;
}
constexpr ValueForm FormOf(int32_t) {
    return ValueForm::Number;
}
constexpr ValueForm FormOf(const std::string&) {
    return ValueForm::Text;
}

template <auto Field, bool (*On)(const M&) = Always>
Row Line(const char* key) {
    return {key,
            FormOf(FieldType<Field>{}),
            nullptr,
            [](CSettingsStore& st, const char* k, const S& s) { Put(st, k, s.More.*Field); },
            [](const CSettingsStore& st, const char* k, S& s) {
                s.More.*Field = kDefaults.*Field;
                return Get(st, k, s.More.*Field);
            },
            false,
            false,
            [](const S& s) { return On(s.More) && s.More.*Field != kDefaults.*Field; }};
}

// A choice written as a word; the words in the enumeration's order.
template <class E, size_t N>
struct Words {
    std::array<const char*, N> words;
};
constexpr Words<NameCaseStyle, 6> kNameCaseWords{
    {"Unchanged", "Title", "Sentence", "Lower", "Upper", "Invert"}};
constexpr Words<ExtensionCaseStyle, 3> kExtensionCaseWords{{"Unchanged", "Lower", "Upper"}};
constexpr Words<UnicodeForm, 3> kFormWords{{"Unchanged", "NFC", "NFD"}};
constexpr Words<SequenceOrder, 5> kOrderWords{{"Path", "Natural", "Modified", "Size", "Taken"}};

template <class E, size_t N>
bool WordIndex(const Words<E, N>& words, std::string_view word, E& value) {
    for (size_t i = 0; i < N; ++i) {
        if (EqualsIgnoreCase(word, words.words[i])) {
            value = static_cast<E>(i);
            return true;
        }
    }
    return false;
}

template <auto Field, const auto& Table>
Row Choice(const char* key) {
    return {key,
            ValueForm::Word,
            nullptr,
            [](CSettingsStore& st, const char* k, const S& s) {
                st.SetValue(k, Table.words[static_cast<size_t>(s.More.*Field)]);
            },
            [](const CSettingsStore& st, const char* k, S& s) {
                s.More.*Field = kDefaults.*Field;
                std::string word;
                return st.GetValue(k, word) && WordIndex(Table, word, s.More.*Field);
            },
            false,
            false,
            [](const S& s) { return s.More.*Field != kDefaults.*Field; }};
}

// In the page's order.
const std::array<Row, 24>& Rows() {
    static const std::array<Row, 24> rows{
        Line<&M::UseTemplate>("UseTemplate"),
        Line<&M::Template, TemplateOn>("Template"),
        Line<&M::RemoveChars>("RemoveChars"),
        Line<&M::RemoveCount, RemoveOn>("RemoveCount"),
        Line<&M::RemoveFrom, RemoveOn>("RemoveFrom"),
        Line<&M::InsertText>("InsertText"),
        Line<&M::InsertString, InsertOn>("InsertString"),
        Line<&M::InsertAt, InsertOn>("InsertAt"),
        Line<&M::RegexReplace>("RegexReplace"),
        Line<&M::RegexPattern, RegexOn>("RegexPattern"),
        Line<&M::RegexReplacement, RegexOn>("RegexReplacement"),
        Line<&M::RegexIgnoreCase, RegexOn>("RegexIgnoreCase"),
        Line<&M::RegexIncludeExtension, RegexOn>("RegexIncludeExtension"),
        Line<&M::ReplaceBlanks>("ReplaceBlanks"),
        Line<&M::ReplaceBlanksWith, BlanksOn>("ReplaceBlanksWith"),
        Line<&M::RemoveAccents>("RemoveAccents"),
        Line<&M::TransliterateAscii>("TransliterateAscii"),
        Choice<&M::Form, kFormWords>("UnicodeForm"),
        Line<&M::TrimName>("TrimName"),
        Choice<&M::NameCase, kNameCaseWords>("NameCaseStyle"),
        Choice<&M::ExtensionCase, kExtensionCaseWords>("ExtensionCaseStyle"),
        Choice<&M::Order, kOrderWords>("SequenceOrder"),
        Line<&M::SequenceStep, Always>("SequenceStep"),
        Line<&M::SequencePerFolder>("SequencePerFolder"),
    };
    return rows;
}

}  // namespace

std::span<const SettingsKey<RenameSettings>> MoreRulesKeys() {
    return Rows();
}

bool IsValidMoreRulesValue(std::string_view key, std::string_view value) {
    return key != "SequenceStep" || ParseLong(value) != 0;
}

}  // namespace quorvan
