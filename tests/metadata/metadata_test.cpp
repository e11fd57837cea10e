#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "metadata/file_metadata.h"
#include "metadata/metadata_cache.h"
#include "support/media_files.h"
#include "support/test_dir.h"

namespace quorvan {
namespace {

using test::PhotoTags;
using test::SongKind;
using test::SongTags;
using test::TestDir;

LocalDateTime At(int y, int mo, int d, int h, int mi, int s) {
    return {y, mo, d, h, mi, s};
}

TEST(MetadataReaders, PhotosGiveTheirDateCameraAndSize) {
    TestDir dir;
    test::WriteJpeg(dir / "full.jpg",
                    {"2024:06:01 08:15:00", "", "Canon", "EOS R6", "RF24-105mm", 400});
    test::WriteJpeg(dir / "digitized.jpg", {"", "2023:12:31 23:59:59", "", "", "", 0});
    test::WriteJpeg(dir / "plain.jpg");
    test::WriteJpeg(dir / "zeros.jpg", {"0000:00:00 00:00:00", "", "", "", "", 0});
    test::WritePng(dir / "xmp.png", "2022-02-03T04:05:06+01:00");

    FileMetadata full = ReadFileMetadata(dir / "full.jpg", kNeedImage);
    EXPECT_EQ(full.taken, At(2024, 6, 1, 8, 15, 0));
    EXPECT_EQ(full.make, "Canon");
    EXPECT_EQ(full.camera, "EOS R6");
    EXPECT_EQ(full.lens, "RF24-105mm");
    EXPECT_EQ(full.iso, 400);
    EXPECT_EQ(full.width, 8);
    EXPECT_EQ(full.height, 8);

    EXPECT_EQ(ReadFileMetadata(dir / "digitized.jpg", kNeedImage).taken,
              At(2023, 12, 31, 23, 59, 59));
    EXPECT_FALSE(ReadFileMetadata(dir / "plain.jpg", kNeedImage).taken);
    EXPECT_FALSE(ReadFileMetadata(dir / "zeros.jpg", kNeedImage).taken);
    FileMetadata png = ReadFileMetadata(dir / "xmp.png", kNeedImage);
    EXPECT_EQ(png.taken, At(2022, 2, 3, 4, 5, 6));
    EXPECT_EQ(png.width, 4);
    EXPECT_EQ(png.height, 3);
    // Only what is asked for is read.
    EXPECT_FALSE(ReadFileMetadata(dir / "full.jpg", kNeedAudio).taken);
}

TEST(MetadataReaders, SongsGiveTheirTagsInEveryFormat) {
    TestDir dir;
    SongTags tags{"Ärzte", "Various", "Album ü", "Title 一", "Rock", "3/12", "2/2", 1999};
    struct Case {
        const char* name;
        SongKind kind;
        bool full;  // ID3v1 has no album artist and no disc
    } cases[] = {
        {"v23.mp3", SongKind::Id3v23, true},     {"v24.mp3", SongKind::Id3v24, true},
        {"v1.mp3", SongKind::Id3v1Only, false},  {"song.flac", SongKind::Flac, true},
        {"song.ogg", SongKind::OggVorbis, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SongTags written = tags;
        if (!c.full) {
            written.artist = "Arzte";  // ID3v1 holds Latin-1 only
            written.album = "Album";
            written.title = "Title";
        }
        test::WriteSong(dir / c.name, c.kind, written);
        // Told by content: the name says nothing.
        std::string renamed = dir / (std::string(c.name) + ".bin");
        ASSERT_EQ(rename((dir / c.name).c_str(), renamed.c_str()), 0);
        FileMetadata m = ReadFileMetadata(renamed, kNeedAudio);
        EXPECT_EQ(m.artist, written.artist);
        EXPECT_EQ(m.album, written.album);
        EXPECT_EQ(m.title, written.title);
        EXPECT_EQ(m.genre, "Rock");
        EXPECT_EQ(m.track, 3);
        EXPECT_EQ(m.year, 1999);
        EXPECT_EQ(m.albumArtist, c.full ? "Various" : "");
        EXPECT_EQ(m.disc, c.full ? std::optional<int64_t>(2) : std::nullopt);
    }
}

// Damaged and hostile files give no values, at once.
TEST(MetadataReaders, DamagedOrHostileFilesGiveNothingAndNeverWait) {
    TestDir dir;
    test::WriteJpeg(dir / "good.jpg", {"2024:06:01 08:15:00", "", "Make", "", "", 0});
    std::string jpeg = dir.Read("good.jpg");
    test::WriteSong(dir / "good.mp3", SongKind::Id3v24, {"A", "", "", "T", "", "1", "", 0});
    std::string mp3 = dir.Read("good.mp3");

    dir.CreateFile("truncated.jpg", jpeg.substr(0, jpeg.size() / 3));
    dir.CreateFile("empty.jpg", "");
    dir.CreateFile("noise.jpg", std::string(5000, '\xFF'));
    std::string pastEnd = mp3;
    pastEnd[10 + 4 + 3] = '\x7F';  // first frame's size far past the tag
    dir.CreateFile("frame_past_end.mp3", pastEnd);
    // A tag that claims 50 MB and holds them: read, but no name is that long.
    std::string huge = "ID3\x04";
    huge += std::string("\0\0", 2);
    uint32_t size = 50u << 20;
    for (int shift = 21; shift >= 0; shift -= 7) {
        huge += static_cast<char>((size >> shift) & 0x7F);
    }
    uint32_t frame = size - 10;
    huge += "TIT2";
    for (int shift = 21; shift >= 0; shift -= 7) {
        huge += static_cast<char>((frame >> shift) & 0x7F);
    }
    huge += std::string("\0\0\3", 3);
    huge += std::string(frame - 1, 'x');
    dir.CreateFile("huge_tag.mp3", huge + mp3.substr(mp3.find("\xFF\xFB")));
    ASSERT_EQ(mkfifo((dir / "fifo.jpg").c_str(), 0600), 0);
    dir.CreateDir("folder.mp3");

    for (const char* name : {"truncated.jpg", "empty.jpg", "noise.jpg", "frame_past_end.mp3",
                             "huge_tag.mp3", "fifo.jpg", "folder.mp3", "vanished.jpg"}) {
        SCOPED_TRACE(name);
        auto start = std::chrono::steady_clock::now();
        FileMetadata m = ReadFileMetadata(dir / name, kNeedImage | kNeedAudio);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_FALSE(m.taken);
        EXPECT_LE(m.title.size(), 1024u);
    }
}

TEST(MetadataDates, ExifAndXmpFormsAreReadAndNonsenseIsNot) {
    struct {
        const char* text;
        std::optional<LocalDateTime> want;
    } cases[] = {
        {"2024:06:01 08:15:00", At(2024, 6, 1, 8, 15, 0)},
        {"2024-06-01T08:15:00.123+02:00", At(2024, 6, 1, 8, 15, 0)},
        {"2024-06-01T08:15", At(2024, 6, 1, 8, 15, 0)},
        {"2024-06-01", At(2024, 6, 1, 0, 0, 0)},
        {"  2024:02:29 00:00:00", At(2024, 2, 29, 0, 0, 0)},
        {"2023:02:29 00:00:00", std::nullopt},
        {"0000:00:00 00:00:00", std::nullopt},
        {"2024:13:01 00:00:00", std::nullopt},
        {"2024:06:01 25:00:00", std::nullopt},
        {"yesterday", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseMetadataDate(c.text), c.want) << c.text;
    }
}

TEST(MetadataCache, ReadsEachFileOnceAndAgainWhenItChanges) {
    TestDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        std::string path = dir / ("p" + std::to_string(i) + ".jpg");
        test::WriteJpeg(
            path, {"2024:06:01 08:15:" + std::string(i < 10 ? "0" : "") + std::to_string(i), "", "",
                   "", "", 0});
        paths.push_back(path);
    }
    CMetadataCache cache;
    std::atomic<size_t> heard{0};
    EXPECT_TRUE(ReadAllMetadata(paths, kNeedImage, cache, nullptr, [&](size_t) { ++heard; }));
    EXPECT_EQ(heard, paths.size());
    EXPECT_EQ(cache.Size(), paths.size());
    EXPECT_EQ(cache.Get(paths[7], kNeedImage).taken, At(2024, 6, 1, 8, 15, 7));

    // A changed file is read again; the old values are not shown for it.
    test::WriteJpeg(paths[7], {"2020:01:01 00:00:00", "", "", "", "", 0});
    struct timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
    utimensat(AT_FDCWD, paths[7].c_str(), times, 0);
    EXPECT_EQ(cache.Get(paths[7], kNeedImage).taken, At(2020, 1, 1, 0, 0, 0));

    std::atomic<bool> cancel{true};
    CMetadataCache fresh;
    EXPECT_FALSE(ReadAllMetadata(paths, kNeedImage, fresh, &cancel));
    EXPECT_EQ(fresh.Size(), 0u);
}

}  // namespace
}  // namespace quorvan
