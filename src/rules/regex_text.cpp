#include "rules/regex_text.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace quorvan {

struct CRegex::Code {
    pcre2_code* code = nullptr;
    // Reused by every replacement: one program serves one thread.
    pcre2_match_data* match = nullptr;
    pcre2_match_context* limits = nullptr;
    ~Code() {
        pcre2_match_context_free(limits);
        pcre2_match_data_free(match);
        pcre2_code_free(code);
    }
};

namespace {

std::string ErrorMessage(int code) {
    PCRE2_UCHAR buffer[256];
    int n = pcre2_get_error_message(code, buffer, sizeof buffer);
    return n > 0 ? std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n))
                 : "error " + std::to_string(code);
}

// Characters before a byte offset: the user counts what they typed.
size_t CharactersBefore(std::string_view text, size_t bytes) {
    size_t count = 0;
    for (size_t i = 0; i < bytes && i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

}  // namespace

CRegex::CRegex(std::unique_ptr<Code> code) : code_(std::move(code)) {}
CRegex::~CRegex() = default;

std::unique_ptr<CRegex> CRegex::Compile(std::string_view pattern, bool ignoreCase, Error& error) {
    // UCP: \w, \b and caseless matching know letters beyond ASCII.
    uint32_t options = PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF;
    if (ignoreCase) {
        options |= PCRE2_CASELESS;
    }
    int code = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* compiled = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()),
                                         pattern.size(), options, &code, &offset, nullptr);
    if (compiled == nullptr) {
        error.message = ErrorMessage(code);
        error.offset = CharactersBefore(pattern, offset);
        return nullptr;
    }
    // Without the JIT the interpreter still matches; only slower.
    pcre2_jit_compile(compiled, PCRE2_JIT_COMPLETE);
    auto holder = std::make_unique<Code>();
    holder->code = compiled;
    holder->match = pcre2_match_data_create_from_pattern(compiled, nullptr);
    // A pattern that backtracks without end fails on that name (which then
    // gets no target) instead of holding the preview for minutes.
    holder->limits = pcre2_match_context_create(nullptr);
    if (holder->limits != nullptr) {
        pcre2_set_match_limit(holder->limits, 1000000);
        pcre2_set_depth_limit(holder->limits, 10000);
    }
    if (holder->match == nullptr) {
        error.message = "out of memory";
        return nullptr;
    }
    return std::unique_ptr<CRegex>(new CRegex(std::move(holder)));
}

bool CRegex::ReplaceAll(std::string& text, std::string_view replacement, std::string& error) const {
    const uint32_t options = PCRE2_SUBSTITUTE_GLOBAL | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH;
    std::string out(text.size() * 2 + replacement.size() + 32, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        PCRE2_SIZE length = out.size();
        int rc = pcre2_substitute(
            code_->code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, options,
            code_->match, nullptr, reinterpret_cast<PCRE2_SPTR>(replacement.data()),
            replacement.size(), reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
        if (rc == PCRE2_ERROR_NOMEMORY && attempt == 0) {
            out.resize(length);  // the length it needs, with room for the NUL
            continue;
        }
        if (rc < 0) {
            error = ErrorMessage(rc);
            return false;
        }
        if (rc > 0) {
            out.resize(length);
            text = std::move(out);
        }
        return true;
    }
    error = ErrorMessage(PCRE2_ERROR_NOMEMORY);
    return false;
}

std::string CRegex::ReplacementError(std::string_view r) const {
    uint32_t groups = 0;
    pcre2_pattern_info(code_->code, PCRE2_INFO_CAPTURECOUNT, &groups);
    auto isNameChar = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '_';
    };
    for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] != '$') {
            continue;
        }
        const size_t start = i;
        if (i + 1 < r.size() && r[i + 1] == '$') {
            ++i;
            continue;
        }
        const bool braced = i + 1 < r.size() && r[i + 1] == '{';
        size_t from = i + (braced ? 2 : 1);
        if (from < r.size() && r[from] == '*') {  // a (*MARK) name: PCRE2 checks it
            i = from;
            continue;
        }
        // A number runs over digits only ("$3_" is group 3, then "_"); a
        // name over letters, digits and "_".
        const bool digits = from < r.size() && r[from] >= '0' && r[from] <= '9';
        size_t end = from;
        while (end < r.size() && (digits ? r[end] >= '0' && r[end] <= '9' : isNameChar(r[end]))) {
            ++end;
        }
        const std::string name(r.substr(from, end - from));
        if (name.empty() || (braced && (end >= r.size() || r[end] != '}'))) {
            return "Invalid replacement at offset " + std::to_string(CharactersBefore(r, start)) +
                   ": a \"$\" must be followed by a group, or written $$";
        }
        const bool number = name.find_first_not_of("0123456789") == std::string::npos;
        const bool known = number
                               ? std::stoul(name.substr(0, 9)) <= groups && name.size() <= 9
                               : pcre2_substring_number_from_name(
                                     code_->code, reinterpret_cast<PCRE2_SPTR>(name.c_str())) >= 0;
        if (!known) {
            return "Invalid replacement at offset " + std::to_string(CharactersBefore(r, start)) +
                   ": the pattern has no group " + name;
        }
        i = braced ? end : end - 1;
    }
    return {};
}

std::string RegexErrorText(const CRegex::Error& error) {
    return "Invalid regular expression at offset " + std::to_string(error.offset) + ": " +
           error.message;
}

}  // namespace quorvan
