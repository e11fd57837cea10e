#include "history/journal.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <tuple>
#include <vector>

#include "history/journal_reader.h"
#include "history/run_history.h"
#include "history_test_support.h"

namespace quorvan {
namespace {

using test::ReadText;
using test::TestDir;
using Backend = CJournalWriter::Backend;

std::string Encoded(std::string_view bytes) {
    std::string out;
    EncodeJsonString(out, bytes);
    return out;
}

TEST(JournalStrings, EveryByteAndBrokenUtf8ComeBackExactly) {
    std::vector<std::string> samples;
    for (int b = 1; b < 256; ++b) {
        samples.emplace_back(1, static_cast<char>(b));
        samples.push_back("a" + std::string(1, static_cast<char>(b)) + "\xc3\xa9");
    }
    for (const char* broken : {"\xc0\x80", "\xed\xa0\x80", "\xed\xb2\x80", "\xf5\x80\x80\x80",
                               "\xe2\x82", "\x80", "\xf0\x9f\x98", "\xc3", "\xf4\x90\x80\x80"}) {
        samples.emplace_back(broken);
    }
    samples.emplace_back("/home/anna/Fotos/\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80.jpg");
    for (const std::string& bytes : samples) {
        std::string back;
        ASSERT_TRUE(DecodeJsonString(Encoded(bytes), back)) << Encoded(bytes);
        EXPECT_EQ(back, bytes) << Encoded(bytes);
        // The line feed ends a record: it never appears raw.
        EXPECT_EQ(Encoded(bytes).find('\n'), std::string::npos);
    }
}

TEST(JournalStrings, EscapesAreReadableAndStandard) {
    struct Case {
        std::string bytes;
        std::string json;
    };
    const Case cases[] = {
        {"plain name.txt", "\"plain name.txt\""},
        {"quote\" back\\slash", "\"quote\\\" back\\\\slash\""},
        {"line\nfeed\ttab\rcr", "\"line\\nfeed\\ttab\\rcr\""},
        {"\x01\x1f\x7f", "\"\\u0001\\u001f\\u007f\""},
        {"\xc3\xa9\xe2\x82\xac", "\"\xc3\xa9\xe2\x82\xac\""},  // valid UTF-8 as it is
        {"\xff", "\"\\udcff\""},                               // other bytes as Python escapes them
        {"\xed\xa0\x80", "\"\\udced\\udca0\\udc80\""},         // an encoded surrogate is no UTF-8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Encoded(c.bytes), c.json);
    }
    // What other JSON writers produce reads too.
    std::string bytes;
    ASSERT_TRUE(DecodeJsonString("\"\\u00e9\\/\\ud83d\\ude00\\b\"", bytes));
    EXPECT_EQ(bytes, "\xc3\xa9/\xf0\x9f\x98\x80\b");
    for (const char* bad : {"\"\\udc10\"", "\"\\ud83d\"", "\"raw\ttab\"", "\"\\x41\"", "\"open"}) {
        EXPECT_FALSE(DecodeJsonString(bad, bytes)) << bad;
    }
}

// One record of each kind, with paths no plain text format could carry.
std::vector<JournalRecord> EveryKind() {
    const std::string odd = "/f\xff/na\nme \"q\"";
    // With the file system's id and the inode's generation, and without them
    // (as version 1 wrote it).
    FileStamp stamp{2049, 0x1234abcd5678ef00,      1234567,        77, true,
                    42,   {1700000000, 123456789}, {1690000000, 5}};
    FileStamp plain{2049, 0, 1234567, 0, false, 42, {1700000000, 123456789}, {}};
    FileStamp identity{1, 9, 2, 0, true, 0, {}, {3, 4}};
    StartRecord start;
    start.id = "20240612-230730-5f3a";
    start.time = "2024-06-12 23:07:30";
    start.epoch = 1718226450;
    start.nsec = 77;
    start.folder = odd;
    start.mode = RunMode::Copy;
    start.destination = "/dest";
    start.files = 3;
    start.pid = 999;
    RenameRecord rename{odd + "/1", odd + "/2", stamp, TempSide::To, odd + "/3"};
    AttrsRecord attrs{odd, identity, 0444, std::string("0x21\0\x03\x00", 7)};
    AttrsRecord noDos{odd, FileStamp{1, 0, 2, 0, false, 0, {}, {}}, 0755, std::nullopt};
    TimesRecord times{odd, identity, {10, 1}, {20, 2}, {30, 0}, {40, 0}};
    UndoStepRecord step{17, UndoAction::Resolve, UndoOutcome::Restored, "", "", odd + "/x"};
    return {
        start,
        rename,
        RenameRecord{"/a", "/b", plain, TempSide::None, ""},
        CopyRecord{"/s", "/d", "/.quorvan-tmp-x", stamp},
        TrashRecord{"/d", stamp},
        TrashedRecord{"/d", "/h/Trash/files/d", "/h/Trash/info/d.trashinfo"},
        attrs,
        noDos,
        times,
        TempFolderRecord{odd},
        FileRecord{"/a", "/b", true, ""},
        FileRecord{"/a", "/b", false, "File exists"},
        EndRecord{RunEnd::Cancelled, 5, 1, "2024-06-12 23:08:00", 1718226480, ""},
        EndRecord{RunEnd::Cancelled, 5, 1, "t", 1, "The run journal could not be written: disk"},
        UndoStartRecord{"t", 1, 2},
        step,
        UndoStepRecord{3, UndoAction::Reverse, UndoOutcome::Skipped, "the name is taken",
                       "/h/Trash/files/x", ""},
        UndoEndRecord{4, 1, true, 5, 1, "t", 9},
        KeptRecord{2, 5, 1, "t", 9}};
}

TEST(JournalRecords, EveryKindReadsBackAsWritten) {
    for (const JournalRecord& record : EveryKind()) {
        std::string line = EncodeRecord(record);
        SCOPED_TRACE(line);
        ASSERT_EQ(line.back(), '\n');
        EXPECT_EQ(line.find('\n'), line.size() - 1);
        EXPECT_EQ(line.rfind(std::string("{\"t\":\"") + RecordKindName(record) + "\"", 0), 0u);
        auto back = DecodeRecord(std::string_view(line).substr(0, line.size() - 1));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(EncodeRecord(*back), line);
    }
}

TEST(JournalRecords, DocumentedLinesRead) {
    // As the manual shows them.
    auto rename = DecodeRecord(
        R"({"t":"rename","from":"/home/anna/Photos/1.jpg","to":"/home/anna/Photos/2.jpg",)"
        R"("dev":2049,"ino":1311022,"size":48213,"mtime":1718226012,"mtime_ns":418000000,)"
        R"("btime":1718226012,"btime_ns":410000000})");
    ASSERT_TRUE(rename && std::holds_alternative<RenameRecord>(*rename));
    EXPECT_EQ(std::get<RenameRecord>(*rename).file.ino, 1311022u);
    auto attrs = DecodeRecord(
        R"({"t":"attrs","path":"/p/\udcff","dev":1,"ino":2,"mode":"0644","dosattrib":null})");
    ASSERT_TRUE(attrs && std::holds_alternative<AttrsRecord>(*attrs));
    EXPECT_EQ(std::get<AttrsRecord>(*attrs).path, "/p/\xff");
    EXPECT_EQ(std::get<AttrsRecord>(*attrs).mode, 0644u);
    EXPECT_FALSE(std::get<AttrsRecord>(*attrs).dosAttrib.has_value());
    // Spacing as a person or another tool may write it, and keys unknown here.
    auto file = DecodeRecord(R"( { "t" : "file", "ok" : true, "from":"/a", "to":"/b", "x":[1] } )");
    EXPECT_FALSE(file.has_value());  // only flat objects are records
    file = DecodeRecord(R"( { "t" : "file", "ok" : true, "from":"/a", "to":"/b", "x":-1 } )");
    ASSERT_TRUE(file && std::holds_alternative<FileRecord>(*file));
    for (const char* bad : {"", "{}", "{\"t\":\"rename\"}", "{\"t\":\"nonsense\"}",
                            "{\"t\":\"file\",\"ok\":1,\"from\":\"/a\",\"to\":\"/b\"}",
                            "{\"t\":\"attrs\",\"path\":\"/p\",\"dev\":1,\"ino\":2,\"mode\":\"0x9\","
                            "\"dosattrib\":null}",
                            "{\"t\":\"end\",\"status\":\"complete\",\"done\":1.5,\"failed\":0,"
                            "\"time\":\"t\",\"epoch\":1}"}) {
        EXPECT_FALSE(DecodeRecord(bad).has_value()) << bad;
    }
}

TEST(JournalReader, CutRecordZerosAndDamageAreNoRecords) {
    const std::string a = EncodeRecord(FileRecord{"/a", "/b", true, ""});
    const std::string b = EncodeRecord(FileRecord{"/c", "/d", false, "gone"});
    // Longer than what the reader takes at a time, both ways.
    const std::string huge =
        EncodeRecord(FileRecord{"/" + std::string(3 << 20, 'x'), "/y", true, ""});
    const std::string cut = "{\"t\":\"file\",\"ok\":tr";
    const std::string zeros(100, '\0');
    struct Case {
        const char* name;
        std::string text;
        std::vector<int64_t> records;  // line numbers
        int64_t damaged;
        bool torn;
        int64_t dataEnd;
    };
    const int64_t ab = static_cast<int64_t>(a.size() + b.size());
    const Case cases[] = {
        {"whole", a + b, {1, 2}, 0, false, ab},
        {"cut and zeros", a + "garbage\n" + b + cut + zeros, {1, 3}, 1, true, ab + 8},
        {"zeros only", a + b + zeros, {1, 2}, 0, false, ab},
        {"zeros inside", a + zeros + "\n" + b, {1, 3}, 1, false, ab + 101},
        {"no line at all", cut, {}, 0, true, 0},
        {"empty", "", {}, 0, false, 0},
        {"a line longer than a read",
         a + huge + b + huge + cut,
         {1, 2, 3, 4},
         0,
         true,
         ab + 2 * static_cast<int64_t>(huge.size())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        const std::string path = dir.CreateFile("run.jsonl", c.text);
        EXPECT_EQ(JournalDataEnd(c.text), c.dataEnd);
        Journal journal;
        ASSERT_EQ(ReadJournal(path, journal), 0);
        std::vector<int64_t> lines;
        for (const JournalEntry& entry : journal.entries) {
            lines.push_back(entry.line);
        }
        EXPECT_EQ(lines, c.records);
        EXPECT_EQ(journal.damagedLines, c.damaged);
        EXPECT_EQ(journal.tornTail, c.torn);

        // Backward and at random, the same lines as forward.
        CJournalReader reader;
        ASSERT_EQ(reader.Open(path), 0);
        EXPECT_EQ(reader.DataEnd(), c.dataEnd);
        std::vector<std::tuple<int64_t, int64_t, std::string>> forward;
        for (JournalLine line; reader.Next(line);) {
            forward.emplace_back(line.number, line.offset, line.text);
        }
        std::vector<std::tuple<int64_t, int64_t, std::string>> backward;
        reader.SeekEnd(reader.LastNumber());
        for (JournalLine line; reader.Previous(line);) {
            backward.emplace(backward.begin(), line.number, line.offset, line.text);
        }
        EXPECT_EQ(backward, forward);
        for (auto it = forward.rbegin(); it != forward.rend(); ++it) {
            JournalLine line;
            ASSERT_TRUE(reader.LineAt(std::get<1>(*it), std::get<0>(*it), line));
            EXPECT_EQ(line.text, std::get<2>(*it));
        }
        EXPECT_EQ(reader.Error(), 0);
    }
}

class JournalWriterTest : public ::testing::TestWithParam<Backend> {
  protected:
    std::string Path(const std::string& name = "run.jsonl") const { return dir / name; }
    StartRecord Start() const {
        StartRecord start;
        start.id = "run";
        start.folder = dir.Path();
        return start;
    }
    TestDir dir;
};

TEST_P(JournalWriterTest, RecordsAreInTheFileAsSoonAsWrittenAndTheLockTellsItRuns) {
    CJournalWriter writer;
    writer.SetBackend(GetParam());
    ASSERT_EQ(writer.Create(Path(), Start()), 0);
    EXPECT_TRUE(JournalLocked(Path()));
    // Nobody sees it under another name, and no half-made journal is left.
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"run.jsonl"}));
    for (int i = 0; i < 3000; ++i) {  // past the first reserved window
        ASSERT_EQ(writer.Append(FileRecord{"/a/" + std::to_string(i), "/b", false, "x"}), 0);
    }
    // Read while the writer is still open, as after a kill.
    Journal journal;
    ASSERT_EQ(ReadJournal(Path(), journal), 0);
    ASSERT_EQ(journal.entries.size(), 3001u);
    EXPECT_EQ(std::get<FileRecord>(journal.entries.back().record).from, "/a/2999");
    EXPECT_FALSE(journal.tornTail);

    ASSERT_EQ(writer.Close(), 0);
    EXPECT_FALSE(JournalLocked(Path()));
    struct stat st {};
    stat(Path().c_str(), &st);
    EXPECT_EQ(st.st_size, writer.Size());  // no reserved space left behind
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadText(Path()).back(), '\n');
}

TEST_P(JournalWriterTest, AnExistingJournalIsNeverReplaced) {
    dir.CreateFile("run.jsonl", "someone's");
    CJournalWriter writer;
    writer.SetBackend(GetParam());
    EXPECT_EQ(writer.Create(Path(), Start()), EEXIST);
    EXPECT_EQ(dir.Read("run.jsonl"), "someone's");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"run.jsonl"}));
    EXPECT_NE(writer.Create(dir / "no/such/folder/run.jsonl", Start()), 0);
}

TEST_P(JournalWriterTest, AppendingCutsARecordAKilledWriterLeftHalfDone) {
    {
        CJournalWriter writer;
        writer.SetBackend(GetParam());
        ASSERT_EQ(writer.Create(Path(), Start()), 0);
        ASSERT_EQ(writer.Close(), 0);
    }
    std::string start = ReadText(Path());
    FILE* f = fopen(Path().c_str(), "ab");
    fputs("{\"t\":\"rename\",\"from\":\"/x", f);
    fwrite(std::string(5000, '\0').data(), 1, 5000, f);
    fclose(f);

    CJournalWriter writer;
    writer.SetBackend(GetParam());
    ASSERT_EQ(writer.OpenToAppend(Path()), 0);
    ASSERT_EQ(writer.Append(FileRecord{"/a", "/b", true, ""}), 0);
    ASSERT_EQ(writer.Close(), 0);
    EXPECT_EQ(ReadText(Path()), start + EncodeRecord(FileRecord{"/a", "/b", true, ""}));
}

TEST_P(JournalWriterTest, AJournalThatCannotBeWrittenSaysSoAtEveryLaterCall) {
    // A child limited to files of 1.5 MiB runs out of room while appending.
    const std::optional<int> status = test::RunInChild(
        [&] {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{3 << 19, 3 << 19};
            setrlimit(RLIMIT_FSIZE, &limit);
            CJournalWriter writer;
            writer.SetBackend(GetParam());
            if (writer.Create(Path(), Start()) != 0) {
                return 10;
            }
            int failedAt = -1;
            for (int i = 0; i < 40000; ++i) {
                int error = writer.Append(
                    FileRecord{"/some/long/path/" + std::to_string(i), "/b", false, "x"});
                if (error != 0 && failedAt < 0) {
                    failedAt = i;
                }
                if ((error == 0) != (failedAt < 0)) {
                    return 11;  // a success after a failure
                }
            }
            return failedAt > 0 && writer.Close() != 0 && writer.Error() != 0 ? 0 : 12;
        },
        60000);
    EXPECT_EQ(status, 0);
    // What was written before the failure still reads.
    Journal journal;
    ASSERT_EQ(ReadJournal(Path(), journal), 0);
    EXPECT_GT(journal.entries.size(), 1000u);
    EXPECT_EQ(journal.damagedLines, 0);
}

INSTANTIATE_TEST_SUITE_P(Writers, JournalWriterTest,
                         ::testing::Values(Backend::Mapped, Backend::Write), test::WriterName);

}  // namespace
}  // namespace quorvan
