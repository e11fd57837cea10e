#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quorvan {

// A compiled regular expression over UTF-8 names (PCRE2). Names that are not
// valid UTF-8 are matched too: a match never starts or ends inside a
// character, and bytes outside the matches are kept as they are.
class CRegex final {
  public:
    // What the compiler said about a pattern it refused.
    struct Error {
        std::string message;
        size_t offset = 0;  // in characters from the pattern's start
    };

    // Null when the pattern does not compile; `error` then says why.
    static std::unique_ptr<CRegex> Compile(std::string_view pattern, bool ignoreCase, Error& error);
    ~CRegex();
    CRegex(const CRegex&) = delete;
    CRegex& operator=(const CRegex&) = delete;

    // Replaces every match in `text` by `replacement` ($1, ${2}, ${name},
    // $$). False when the replacement cannot be made (a group that does not
    // exist, say); `error` then says why and `text` is unchanged.
    bool ReplaceAll(std::string& text, std::string_view replacement, std::string& error) const;
    // Why `replacement` cannot serve this pattern (a group it does not have,
    // a "$" that starts nothing), or empty: found once, not at every name.
    std::string ReplacementError(std::string_view replacement) const;

  private:
    struct Code;
    explicit CRegex(std::unique_ptr<Code> code);
    std::unique_ptr<Code> code_;
};

// The one line the window and the command line show for a refused pattern.
std::string RegexErrorText(const CRegex::Error& error);

}  // namespace quorvan
