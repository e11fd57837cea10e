#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/dos_attrib.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::TestDir;

std::string FromHex(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        i += 2;
    }
    return out;
}

// The value Samba stores for attributes 0x23 with a create time.
const std::string kVector = FromHex(
    "307832330000 0300 0300 0000 11000000 23000000 00000000 0000000000000000 "
    "0000000000000000 0080209bcb82d801 0000000000000000");

TEST(DosAttribTest, MatchesSambaRecordAndReadsHexOnlyValues) {
    ASSERT_EQ(kVector.size(), 56u);
    EXPECT_EQ(EncodeDosAttrib({0x23, true, 133000000000000000ull}), kVector);

    auto parsed = ParseDosAttrib(kVector);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->attributes, 0x23u);
    EXPECT_TRUE(parsed->hasCreateTime);
    EXPECT_EQ(parsed->createTime, 133000000000000000ull);

    // A hex text alone is read; a record after it counts over it.
    EXPECT_EQ(ParseDosAttrib(std::string("0x2\0", 4))->attributes, 0x2u);
    EXPECT_EQ(ParseDosAttrib("0x21")->attributes, 0x21u);
    // An empty hex text followed by a version 3 record: the record counts.
    std::string record = EncodeDosAttrib({0x4, false, 0});
    ASSERT_EQ(record.substr(0, 4), std::string("0x4\0", 4));
    std::string emptyHex = std::string("\0\0\3\0\3\0\0\0", 8) + record.substr(8);
    EXPECT_EQ(ParseDosAttrib(emptyHex)->attributes, 0x4u);
    EXPECT_FALSE(ParseDosAttrib("").has_value());
    EXPECT_FALSE(ParseDosAttrib("junk").has_value());
    // Odd-length hex texts are padded so that the record stays aligned.
    for (uint32_t value : {0x1u, 0x21u, 0x121u, 0x2021u}) {
        EXPECT_EQ(ParseDosAttrib(EncodeDosAttrib({value, false, 0}))->attributes, value);
    }
}

TEST(FileStatusTest, AttributesFromModeNameAndStoredValue) {
    TestDir dir;
    std::string plain = dir.CreateFile("plain.txt", "x");
    std::string dotted = dir.CreateFile(".profile", "x");
    std::string locked = dir.CreateFile("locked", "x");
    dir.SetMode("locked", 0444);
    FileStatus status;

    ASSERT_TRUE(GetFileStatus(plain, status));
    EXPECT_EQ(status.attributes, 0);
    ASSERT_TRUE(GetFileStatus(dotted, status));
    EXPECT_EQ(status.attributes, kAttrHidden);
    ASSERT_TRUE(GetFileStatus(locked, status));
    EXPECT_EQ(status.attributes, kAttrReadOnly);

    if (setxattr(plain.c_str(), kDosAttribName, kVector.data(), kVector.size(), 0) == 0) {
        ASSERT_TRUE(GetFileStatus(plain, status));
        EXPECT_EQ(status.attributes, 0x23);
        // The stored value decides read-only, not the mode.
        std::string hexOnly("0x20\0", 5);
        ASSERT_EQ(setxattr(locked.c_str(), kDosAttribName, hexOnly.data(), hexOnly.size(), 0), 0);
        ASSERT_TRUE(GetFileStatus(locked, status));
        EXPECT_EQ(status.attributes, kAttrArchive);
    }

    EXPECT_FALSE(GetFileStatus(dir / "missing", status));
}

TEST(ReadSmallFileTest, ReadsUpToItsLimitAndRefusesWhatIsNoSmallFile) {
    TestDir dir;
    dir.CreateFile("four", "1234");
    dir.CreateFile("empty");
    dir.CreateDir("folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    struct Case {
        const char* name;
        size_t limit;
        int error;
        const char* text;
    };
    const Case cases[] = {
        {"four", 4, 0, "1234"},
        {"four", 3, kErrorFileTooLarge, ""},
        {"empty", 0, 0, ""},
        {"missing", 10, ENOENT, ""},
        {"folder", 10, EISDIR, ""},
        {"fifo", 10, kErrorNotRegularFile, ""},  // without waiting for a writer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " within " + std::to_string(c.limit));
        std::string text = "old";
        EXPECT_EQ(ReadSmallFile(dir / c.name, c.limit, text), c.error);
        EXPECT_EQ(text, c.text);
    }
}

}  // namespace
}  // namespace quorvan
