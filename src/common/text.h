#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvan {

// Decimal number as the C library reads it: leading white space and a sign
// accepted, conversion stops at the first non-digit, no digits give 0. Values
// beyond 32 bits saturate.
int32_t ParseLong(std::string_view text);

// "%ld" of a 32-bit value.
std::string FormatLong(int32_t value);

// Trims blank, tab, CR, LF, vertical tab and form feed at both ends.
std::string_view TrimWhiteSpace(std::string_view text);

// Unicode simple case mapping of every valid UTF-8 character; bytes that are
// not valid UTF-8 are copied unchanged.
std::string Utf8ToUpper(std::string_view text);
std::string Utf8ToLower(std::string_view text);

// One strictly valid UTF-8 character at text[i]: its length, or 0 when the
// bytes there are no valid character.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& out);
// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// Case-insensitive equality under the same mapping (used for extensions and
// keywords).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// No byte of the text is above 0x7F.
bool IsAscii(std::string_view text);

// A text made safe to show on a terminal, as GNU tools show names: control
// characters (C0, DEL and the C1 range) and bytes that are not valid UTF-8
// become C escapes such as \n or octal ones such as \033, and a backslash
// becomes \\, so that a file name can neither move the cursor nor change
// colours, and every name stays readable unambiguously.
std::string EscapeForTerminal(std::string_view text);

}  // namespace quorvan
