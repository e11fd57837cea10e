#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/text.h"
#include "rules/settings_store.h"

namespace quorvan {

// How a line's value is written.
enum class ValueForm { Flag, Text, Number, Date, Time, Word };

// One line of a settings or filter file over the settings value S: its key,
// when it belongs in the file, and how its value maps to a field. The writer,
// the reader and the command line's --set check all walk one table of these,
// so a key is spelt once.
template <class S>
struct SettingsKey {
    const char* key;
    ValueForm form;
    // Whether the line belongs in the file. The reader asks it of the
    // settings read so far, so a line may depend only on lines above it.
    bool (*when)(const S&);
    void (*write)(CSettingsStore& store, const char* key, const S& settings);
    // True when the line was there and understood.
    bool (*read)(const CSettingsStore& store, const char* key, S& settings);
    // A line that opens a section: when it is missing or not understood, the
    // section's lines (`inSection`) are not read.
    bool opensSection = false;
    bool inSection = false;
    // Written only when this holds too (a value other than its default); the
    // reader takes the line whenever it is there.
    bool (*differs)(const S&) = nullptr;
};

// Whether the writer puts the row's line into the file.
template <class S>
bool IsWritten(const SettingsKey<S>& row, const S& settings) {
    return (row.when == nullptr || row.when(settings)) &&
           (row.differs == nullptr || row.differs(settings));
}

// Writes every line of the table that belongs in the file.
template <class S>
void WriteKeys(std::span<const SettingsKey<S>> table, const S& settings, CSettingsStore& store) {
    for (const SettingsKey<S>& row : table) {
        if (IsWritten(row, settings)) {
            row.write(store, row.key, settings);
        }
    }
}

// Reads the table's lines in order; a line the file lacks keeps its field.
template <class S>
void ReadKeys(std::span<const SettingsKey<S>> table, const CSettingsStore& store, S& settings) {
    bool sectionOpen = true;
    for (const SettingsKey<S>& row : table) {
        if (row.inSection && !sectionOpen) {
            continue;
        }
        if (row.when != nullptr && !row.when(settings)) {
            continue;
        }
        bool understood = row.read(store, row.key, settings);
        if (row.opensSection) {
            sectionOpen = understood;
        }
    }
}

template <class S>
bool TableHasKey(std::span<const SettingsKey<S>> table, std::string_view key) {
    for (const SettingsKey<S>& row : table) {
        if (key == row.key) {
            return true;
        }
    }
    return false;
}

// Whether a reader takes `value` for the row as it stands, rather than as
// something else (a flag of "Ys" reads as No): a whole number, a date or time
// it reads, Yes or No, and a word it writes back the same, case aside. The
// command line refuses the others instead of running with them.
template <class S>
bool TakesValue(const SettingsKey<S>& row, std::string_view value) {
    switch (row.form) {
        case ValueForm::Text:
            return true;
        case ValueForm::Number: {
            const size_t sign = !value.empty() && (value[0] == '-' || value[0] == '+') ? 1 : 0;
            return value.size() > sign &&
                   value.find_first_not_of("0123456789", sign) == std::string_view::npos;
        }
        case ValueForm::Flag:
            return EqualsIgnoreCase(value, "Yes") || EqualsIgnoreCase(value, "No");
        case ValueForm::Date:
        case ValueForm::Time:
        case ValueForm::Word:
            break;
    }
    CSettingsStore store;
    store.SetValue(row.key, std::string(value));
    S read{};
    if (!row.read(store, row.key, read)) {
        return false;
    }
    if (row.form != ValueForm::Word) {
        return true;
    }
    CSettingsStore written;
    row.write(written, row.key, read);
    std::string back;
    return written.GetValue(row.key, back) && EqualsIgnoreCase(back, value);
}

namespace keys {

template <class M>
struct MemberOf;
template <class S, class T>
struct MemberOf<T S::*> {
    using Owner = S;
    using Type = T;
};
template <auto Field>
using OwnerOf = typename MemberOf<decltype(Field)>::Owner;

// Rows whose value is one field in one of the store's encodings.
template <auto Field>
constexpr SettingsKey<OwnerOf<Field>> Flag(const char* key,
                                           bool (*when)(const OwnerOf<Field>&) = nullptr) {
    using S = OwnerOf<Field>;
    return {key, ValueForm::Flag, when,
            [](CSettingsStore& s, const char* k, const S& v) { s.SetFlag(k, v.*Field); },
            [](const CSettingsStore& s, const char* k, S& v) { return s.GetFlag(k, v.*Field); }};
}

template <auto Field>
constexpr SettingsKey<OwnerOf<Field>> Text(const char* key,
                                           bool (*when)(const OwnerOf<Field>&) = nullptr) {
    using S = OwnerOf<Field>;
    return {key, ValueForm::Text, when,
            [](CSettingsStore& s, const char* k, const S& v) { s.SetValue(k, v.*Field); },
            [](const CSettingsStore& s, const char* k, S& v) { return s.GetValue(k, v.*Field); }};
}

template <auto Field>
constexpr SettingsKey<OwnerOf<Field>> Number(const char* key,
                                             bool (*when)(const OwnerOf<Field>&) = nullptr) {
    using S = OwnerOf<Field>;
    return {key, ValueForm::Number, when,
            [](CSettingsStore& s, const char* k, const S& v) { s.SetNumber(k, v.*Field); },
            [](const CSettingsStore& s, const char* k, S& v) { return s.GetNumber(k, v.*Field); }};
}

template <auto Field>
constexpr SettingsKey<OwnerOf<Field>> Date(const char* key,
                                           bool (*when)(const OwnerOf<Field>&) = nullptr) {
    using S = OwnerOf<Field>;
    return {key, ValueForm::Date, when,
            [](CSettingsStore& s, const char* k, const S& v) { s.SetDate(k, v.*Field); },
            [](const CSettingsStore& s, const char* k, S& v) { return s.GetDate(k, v.*Field); }};
}

template <auto Field>
constexpr SettingsKey<OwnerOf<Field>> Time(const char* key,
                                           bool (*when)(const OwnerOf<Field>&) = nullptr) {
    using S = OwnerOf<Field>;
    return {key, ValueForm::Time, when,
            [](CSettingsStore& s, const char* k, const S& v) { s.SetTime(k, v.*Field); },
            [](const CSettingsStore& s, const char* k, S& v) { return s.GetTime(k, v.*Field); }};
}

}  // namespace keys

}  // namespace quorvan
