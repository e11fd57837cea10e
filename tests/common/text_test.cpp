#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvan {
namespace {

TEST(EscapeForTerminal, ControlBytesBecomeEscapesAndReadableTextStays) {
    struct Case {
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"été – 日本 🎵", "été – 日本 🎵"},
        {"tab\there", "tab\\there"},
        {"line\nfeed\rreturn", "line\\nfeed\\rreturn"},
        {"\a\b\v\f", "\\a\\b\\v\\f"},
        {"red\033[31m", "red\\033[31m"},
        {std::string("nul\0byte", 8), "nul\\000byte"},
        {"del\x7f", "del\\177"},
        {"back\\slash", "back\\\\slash"},
        // C1 controls: as UTF-8, and as a single byte some terminals obey.
        {"csi\xc2\x9b"
         "2J",
         "csi\\302\\2332J"},
        {"csi\x9b"
         "2J",
         "csi\\2332J"},
        // Bytes that are not UTF-8 at all, a cut-off character among them.
        {"latin \xe9t\xe9", "latin \\351t\\351"},
        {"cut \xe6\x97", "cut \\346\\227"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeForTerminal(c.text), c.shown) << c.shown;
    }
}

}  // namespace
}  // namespace quorvan
