#include "rules/name_template.h"

#include <gtest/gtest.h>

namespace quorvan {
namespace {

struct Expansion {
    const char* templateText;
    const char* want;     // the base name, or empty when `missing` is set
    const char* missing;  // the reason shown for the file
};

TEST(NameTemplate, TokensGiveTheFilesValuesAndMissingOnesSayWhy) {
    FileMetadata photo;
    photo.taken = LocalDateTime{2024, 6, 1, 8, 15, 0};
    photo.make = "Canon";
    photo.camera = "EOS R6";
    photo.width = 6000;
    photo.height = 4000;
    photo.iso = 400;
    photo.artist = "AC/DC";
    photo.title = "Line\none ";
    photo.album = "  Live: 1992?";
    photo.track = 3;
    photo.year = 1992;
    TemplateFile file{"IMG_4821", "JPG", "trip", 7, 123456, 1717229700, &photo};

    const Expansion cases[] = {
        {"{name}.{ext} in {parent}", "IMG_4821.JPG in trip", ""},
        {"{n} {n:3} {n:}", "7 007 7", ""},
        {"{size}", "123456", ""},
        {"{taken}", "2024-06-01 08.15.00", ""},
        {"{taken:%Y%m%d_%H%M%S}", "20240601_081500", ""},
        {"{taken:%a %j}", "Sat 153", ""},
        {"{taken:%Y/%m}", "2024_06", ""},  // a format never makes folders
        {"{taken:%Y}/{taken:%m}/{name}", "2024/06/IMG_4821", ""},
        {"{make} {camera} {width}x{height} ISO{iso}", "Canon EOS R6 6000x4000 ISO400", ""},
        {"{track:2} - {artist} - {title}", "03 - AC_DC - Line_one", ""},
        {"{album}", "Live_ 1992_", ""},
        {"{{{year}}}", "{1992}", ""},
        {"{lens}", "", "no lens in this file"},
        {"{lens|make}", "Canon", ""},
        {"{genre|albumartist|disc}", "", "no genre in this file"},
        {"x{disc:2}", "", "no disc number in this file"},
        {"../{name}", "", "the template gives a folder name that cannot be used"},
        {"{lens|ext}/", "", "the template gives a folder name that cannot be used"},
        {"/{name}", "", "the template gives a folder name that cannot be used"},
    };
    for (const Expansion& c : cases) {
        SCOPED_TRACE(c.templateText);
        NameTemplate parsed;
        std::string error;
        size_t offset = 0;
        ASSERT_TRUE(ParseNameTemplate(c.templateText, parsed, error, offset)) << error;
        std::string out;
        std::string missing;
        EXPECT_EQ(ExpandNameTemplate(parsed, file, out, missing), *c.missing == '\0');
        EXPECT_EQ(missing, c.missing);
        if (*c.missing == '\0') {
            EXPECT_EQ(out, c.want);
        }
    }
    // Without metadata at all every inside value is missing, the file's own are not.
    TemplateFile bare = file;
    bare.metadata = nullptr;
    NameTemplate parsed;
    std::string error, out, missing;
    size_t offset = 0;
    ASSERT_TRUE(ParseNameTemplate("{taken|mtime:%Y}", parsed, error, offset));
    EXPECT_TRUE(ExpandNameTemplate(parsed, bare, out, missing));
    EXPECT_EQ(out, "2024");
}

TEST(NameTemplate, FaultsAreReportedWithTheirPlaceAndWhatTheTemplateNeeds) {
    struct {
        const char* text;
        const char* error;
        size_t offset;
    } faults[] = {
        {"{nmae}", "Unknown token {nmae}", 1},
        {"a {taken", "A \"{\" without its \"}\"", 2},
        {"a } b", "A \"}\" outside a token is written \"}}\"", 2},
        {"{}", "A token needs a name, as in {name}", 1},
        {"{taken|}", "A token needs a name, as in {name}", 7},
    };
    for (const auto& f : faults) {
        NameTemplate parsed;
        std::string error;
        size_t offset = 99;
        EXPECT_FALSE(ParseNameTemplate(f.text, parsed, error, offset)) << f.text;
        EXPECT_EQ(error, f.error) << f.text;
        EXPECT_EQ(offset, f.offset) << f.text;
    }
    NameTemplate parsed;
    std::string error;
    size_t offset = 0;
    ASSERT_TRUE(ParseNameTemplate("{name}", parsed, error, offset));
    EXPECT_EQ(parsed.needs, kNeedNone);
    ASSERT_TRUE(ParseNameTemplate("{taken|mtime} {n}", parsed, error, offset));
    EXPECT_EQ(parsed.needs, kNeedImage);
    EXPECT_TRUE(parsed.usesCounter);
    EXPECT_TRUE(parsed.usesFileStatus);
    ASSERT_TRUE(ParseNameTemplate("{artist}/{camera}", parsed, error, offset));
    EXPECT_EQ(parsed.needs, kNeedImage | kNeedAudio);
    EXPECT_TRUE(parsed.makesFolders);
}

}  // namespace
}  // namespace quorvan
