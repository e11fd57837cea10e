#include "platform/file_ops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dos_attrib.h"
#include "platform/file_system.h"
#include "platform/folder_tree.h"
#include "platform_test_support.h"

namespace quorvan {
namespace {

using test::MountCaseInsensitive;
using test::ScratchMount;
using test::TestDir;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Files whose names begin with "." in a folder, as a failed copy could leave.
int HiddenEntries(const TestDir& dir, const std::string& folder = "") {
    int count = 0;
    for (const auto& name : dir.List(folder)) {
        count += name[0] == '.';
    }
    return count;
}

// ---- MoveNoReplace ----

// A name taken by any kind of entry, even by the file itself, stays as it
// was; file systems without the kernel's no-replace flag keep that promise
// another way.
TEST(MoveNoReplaceTest, MovesOnlyOntoAFreeNameAndLeavesNoOldName) {
    struct Case {
        const char* what;
        std::string from, to;
        int error;
    };
    const Case cases[] = {
        {"a free name", "a.TXT", "c.txt", 0},
        {"a file there", "a.TXT", "b.txt", EEXIST},
        {"a folder there", "a.TXT", "folder", EEXIST},
        {"a dangling link there", "a.TXT", "dangling", EEXIST},
        // The kernel's silent no-op for two names of one file is no success.
        {"another name of the file", "a.TXT", "hard.txt", EEXIST},
        // The detour through a temporary name is taken back completely.
        {"a name of the file differing in case only", "a.TXT", "a.txt", EEXIST},
        {"a missing source", "none", "c.txt", ENOENT},
        {"a missing folder", "a.TXT", "missing/c.txt", ENOENT},
        {"a folder to a free name", "d1", "d3", 0},
        {"a folder onto a folder", "d1", "folder", EEXIST},
    };
    for (const Case& c : cases) {
        for (bool withFlag : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (withFlag ? "" : ", without the flag"));
            TestDir dir;
            dir.CreateFile("a.TXT", "data");
            dir.CreateFile("b.txt", "precious");
            dir.CreateFile("d1/inside", "1");
            dir.CreateDir("folder");
            ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
            ASSERT_EQ(link((dir / "a.TXT").c_str(), (dir / "hard.txt").c_str()), 0);
            ASSERT_EQ(link((dir / "a.TXT").c_str(), (dir / "a.txt").c_str()), 0);
            std::map<std::string, std::string> expected;
            for (const auto& [name, content] : dir.Inventory()) {
                const bool moves = c.error == 0 && (name + "/").rfind(c.from + "/", 0) == 0;
                expected[moves ? c.to + name.substr(c.from.size()) : name] = content;
            }
            int error = 0;
            if (withFlag) {
                EXPECT_EQ(MoveNoReplace(dir / c.from, dir / c.to, error), c.error == 0);
            } else {
                error = MoveWithoutRenameFlag(dir / c.from, dir / c.to);
            }
            EXPECT_EQ(error, c.error) << ErrorText(error);
            EXPECT_EQ(dir.Inventory(), expected);
        }
    }
}

// Moves through the folders a run opened keep every promise of moves by
// path, and never follow a folder swapped for a link since it was planned.
TEST(MoveNoReplaceTest, ThroughTheRunsFoldersMovesByNameAndNeverFollowsASwappedFolder) {
    TestDir dir;
    dir.CreateFiles({"a.txt", "b.txt", "sub/c.txt", "deep/er/f.txt", "swap/g.txt", "other/g.txt"});
    ASSERT_EQ(link((dir / "b.txt").c_str(), (dir / "hard.txt").c_str()), 0);
    TestDir elsewhere;
    elsewhere.CreateFile("x.txt", "far");
    CFolderTree folders;
    ASSERT_EQ(folders.Open(dir.Path(), FolderIdOf(dir.Path())), 0);
    // After the folder was opened: "swap" becomes a link to "other".
    ASSERT_EQ(rename((dir / "swap").c_str(), (dir / "swapped").c_str()), 0);
    ASSERT_EQ(symlink((dir / "other").c_str(), (dir / "swap").c_str()), 0);
    struct Case {
        std::string from, to;
        int error;
    };
    const std::vector<Case> cases = {
        {dir / "a.txt", dir / "moved.txt", 0},
        {dir / "moved.txt", dir / "b.txt", EEXIST},
        {dir / "b.txt", dir / "hard.txt", EEXIST},
        {dir / "missing.txt", dir / "x.txt", ENOENT},
        {dir / "sub/c.txt", dir / "sub/d.txt", 0},
        {dir / "sub/d.txt", dir / "e.txt", 0},
        {dir / "deep/er/f.txt", dir / "deep/f.txt", 0},
        {dir / "swap/g.txt", dir / "swap/h.txt", kErrorFolderReplaced},
        {dir / "e.txt", dir / "swap/e.txt", kErrorFolderReplaced},
        {elsewhere / "x.txt", elsewhere / "y.txt", 0},  // outside the run: by path
    };
    for (const Case& c : cases) {
        int error = 0;
        EXPECT_EQ(MoveNoReplace(c.from, c.to, error, &folders), c.error == 0)
            << c.from << " -> " << c.to;
        EXPECT_EQ(error, c.error) << c.from << " -> " << c.to;
    }
    EXPECT_EQ(dir.List(),
              (std::vector<std::string>{"b.txt", "deep", "e.txt", "hard.txt", "moved.txt", "other",
                                        "sub", "swap", "swapped"}));
    EXPECT_EQ(dir.List("other"), std::vector<std::string>{"g.txt"});
    EXPECT_EQ(dir.List("deep"), (std::vector<std::string>{"er", "f.txt"}));
    EXPECT_TRUE(elsewhere.Exists("y.txt"));

    // The folder itself swapped before the run opens it: refused.
    CFolderTree again;
    const FolderId planned = FolderIdOf(dir / "sub");
    ASSERT_EQ(rename((dir / "sub").c_str(), (dir / "sub.old").c_str()), 0);
    ASSERT_EQ(symlink((dir / "other").c_str(), (dir / "sub").c_str()), 0);
    EXPECT_EQ(again.Open(dir / "sub", planned), kErrorFolderReplaced);
    EXPECT_EQ(again.Open(dir / "sub.old", planned), 0);
}

TEST(MoveNoReplaceTest, CaseOnlyRenameOnCaseInsensitiveFileSystem) {
    TestDir dir;
    ScratchMount mount(dir / "mnt");
    std::string folder = MountCaseInsensitive(dir, mount);
    if (folder.empty()) {
        GTEST_SKIP() << "needs root and a mountable vfat or case-folding ext4 image";
    }
    {
        std::ofstream(folder + "/a.TXT") << "data";
        std::ofstream(folder + "/other.txt") << "other";
    }
    int error = 0;
    ASSERT_TRUE(MoveNoReplace(folder + "/a.TXT", folder + "/a.txt", error)) << ErrorText(error);
    EXPECT_EQ(test::ListNames(folder), (std::vector<std::string>{"a.txt", "other.txt"}));

    // A different file that only differs in case is still a conflict.
    EXPECT_FALSE(MoveNoReplace(folder + "/a.txt", folder + "/OTHER.TXT", error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(test::ListNames(folder), (std::vector<std::string>{"a.txt", "other.txt"}));
}

// ---- SafeCopy ----

// A read-only source gives a read-only copy; a long name still leaves room
// for the temporary file's.
TEST(SafeCopyTest, CopiesDataModeTimesAndUserAttributes) {
    struct Case {
        unsigned mode;
        std::string target;
    };
    for (const Case& c : {Case{0640, "copy.bin"}, Case{0444, std::string(250, 'n')}}) {
        SCOPED_TRACE(c.mode);
        TestDir dir;
        std::string content(300000, 'x');
        content += "end";
        dir.CreateFile("src.bin", content);
        bool xattrs = setxattr((dir / "src.bin").c_str(), "user.note", "hi", 2, 0) == 0;
        dir.SetMode("src.bin", c.mode);
        dir.SetTimes("src.bin", 1000000000, 1100000000);

        int error = 0;
        ASSERT_TRUE(SafeCopy(dir / "src.bin", dir / c.target, error)) << ErrorText(error);
        // Times first: reading the copy may move its access time.
        FileStatus status;
        ASSERT_TRUE(GetFileStatus(dir / c.target, status));
        EXPECT_EQ(status.modificationTime, 1100000000);
        EXPECT_EQ(status.lastAccessTime, 1000000000);
        EXPECT_EQ(dir.Read(c.target), content);
        EXPECT_EQ(ModeOf(dir / c.target), c.mode);
        if (xattrs) {
            char value[8] = {};
            EXPECT_EQ(getxattr((dir / c.target).c_str(), "user.note", value, sizeof value), 2);
            EXPECT_STREQ(value, "hi");
        }
        EXPECT_EQ(HiddenEntries(dir), 0);
    }
}

TEST(SafeCopyTest, ReplacesTargetWithoutWritingIntoItAndKeepsItWhenTheSourceFails) {
    TestDir dir;
    dir.CreateFile("src", "new content");
    dir.CreateFile("dst", "old");
    // Another name of the old target keeps the old data: the copy replaced the
    // entry instead of writing into the file.
    ASSERT_EQ(link((dir / "dst").c_str(), (dir / "other-name").c_str()), 0);
    int error = 0;
    ASSERT_TRUE(SafeCopy(dir / "src", dir / "dst", error)) << ErrorText(error);
    EXPECT_EQ(dir.Read("dst"), "new content");
    EXPECT_EQ(dir.Read("other-name"), "old");
    EXPECT_EQ(dir.Read("src"), "new content");
    // Reading at offset 0 of a process's memory fails: page 0 is never mapped.
    EXPECT_FALSE(SafeCopy("/proc/self/mem", dir / "dst", error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(dir.Read("dst"), "new content");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"dst", "other-name", "src"}));
}

TEST(SafeCopyTest, RefusesSameFileFolderAndReadOnlyTargets) {
    TestDir dir;
    dir.CreateFile("src", "data");
    ASSERT_EQ(link((dir / "src").c_str(), (dir / "hard").c_str()), 0);
    ASSERT_EQ(symlink("src", (dir / "soft").c_str()), 0);
    dir.CreateDir("folder");
    dir.CreateFile("locked", "keep");
    dir.SetMode("locked", 0444);
    dir.CreateFile("dos-locked", "keep");
    const std::string value = EncodeDosAttrib({kAttrReadOnly | kAttrArchive, false, 0});
    std::vector<std::pair<std::string, int>> cases = {{"src", EINVAL},
                                                      {"hard", EINVAL},
                                                      {"soft", EINVAL},
                                                      {"folder", EISDIR},
                                                      {"locked", EACCES}};
    if (setxattr((dir / "dos-locked").c_str(), kDosAttribName, value.data(), value.size(), 0) ==
        0) {
        cases.emplace_back("dos-locked", EACCES);
    }
    const auto before = dir.Inventory();
    for (const auto& [target, expected] : cases) {
        int error = 0;
        EXPECT_FALSE(SafeCopy(dir / "src", dir / target, error)) << target;
        EXPECT_EQ(error, expected) << target;
    }
    int error = 0;
    EXPECT_FALSE(SafeCopy(dir / "missing", dir / "x", error));
    EXPECT_EQ(error, ENOENT);
    // Nothing written, nothing left behind.
    EXPECT_EQ(dir.Inventory(), before);
}

TEST(SafeCopyTest, FullFileSystemLeavesTargetIntact) {
    TestDir dir;
    std::string mnt = dir.CreateDir("mnt");
    ScratchMount mount(mnt);
    if (!mount.Mount("-t tmpfs -o size=64k tmpfs")) {
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    }
    dir.CreateFile("mnt/dst", "previous");
    dir.CreateFile("big", std::string(1 << 20, 'b'));
    int error = 0;
    EXPECT_FALSE(SafeCopy(dir / "big", dir / "mnt/dst", error));
    EXPECT_EQ(error, ENOSPC);
    EXPECT_EQ(dir.Read("mnt/dst"), "previous");
    EXPECT_EQ(dir.List("mnt"), std::vector<std::string>{"dst"});
}

TEST(SafeCopyTest, SourcesThatAreNotRegularFilesAreRefusedWithoutWaiting) {
    TestDir dir;
    dir.CreateFile("dst", "previous");
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string source;
        int error;
    };
    // A socket cannot be opened at all, and a device without a driver
    // neither: each is simply not a regular file.
    const std::string socketPath = dir / "socket";
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string device = dir / "no-driver";
    const bool madeDevice = mknod(device.c_str(), S_IFCHR | 0600, makedev(240, 77)) == 0;
    // A FIFO nobody writes to would block the open for ever; a device would
    // give data without end.
    std::vector<Case> cases = {{fifo, kErrorNotRegularFile},
                               {socketPath, kErrorNotRegularFile},
                               {"/dev/zero", kErrorNotRegularFile},
                               {dir.Path(), EISDIR}};
    if (madeDevice) {  // root only
        cases.push_back({device, kErrorNotRegularFile});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        std::optional<int> status = test::RunInChild([&] {
            int error = 0;
            return !SafeCopy(c.source, dir / "dst", error) && error == c.error ? 0 : 1;
        });
        ASSERT_TRUE(status.has_value()) << "the copy waited";
        EXPECT_EQ(*status, 0);
        EXPECT_EQ(dir.Read("dst"), "previous");
        EXPECT_EQ(HiddenEntries(dir), 0);
        int error = 0;
        EXPECT_EQ(OpenRegularFile(c.source, O_RDONLY, error), -1);
        EXPECT_EQ(error, c.error);
    }
    close(listening);
    EXPECT_EQ(ErrorText(kErrorNotRegularFile), "Not a regular file");
}

TEST(SafeCopyTest, CancelStopsBetweenChunksKeepingTheOldTargetAndLeavingNoTemporaryFile) {
    TestDir dir;
    const std::string source = dir.CreateFile("src", std::string(size_t{40} << 20, 's'));
    const std::string target = dir.CreateFile("dst", "previous");
    // How many times the copy may ask before the answer is "stop": before any
    // data, and once some has gone across.
    for (int allowed : {0, 1}) {
        SCOPED_TRACE(allowed);
        int asked = 0;
        std::vector<std::string> seen;
        int error = 0;
        EXPECT_FALSE(SafeCopy(source, target, error, [&] {
            for (const std::string& name : dir.List()) {
                if (name != "src" && name != "dst") {
                    seen.push_back(name);
                }
            }
            return asked++ >= allowed;
        }));
        EXPECT_EQ(error, ECANCELED);
        EXPECT_EQ(dir.Read("dst"), "previous");
        EXPECT_EQ(dir.List(), (std::vector<std::string>{"dst", "src"}));
        // Meanwhile the copy lay under a name that says whose it is.
        for (const std::string& name : seen) {
            EXPECT_EQ(name.rfind(kTemporaryPrefix, 0), 0u) << name;
        }
    }
    int error = 0;
    ASSERT_TRUE(SafeCopy(source, target, error, [] { return false; })) << ErrorText(error);
    EXPECT_EQ(dir.Read("dst").size(), size_t{40} << 20);
    // A tag, such as a run's id, goes into the name too.
    std::string temp;
    close(CreateTemporaryBeside(target, 0600, temp, "run7"));
    EXPECT_EQ(temp.rfind(dir / ".quorvan-tmp-run7-", 0), 0u) << temp;
}

// ---- SetAttributes ----

std::optional<std::string> DosValue(const std::string& path) {
    char value[256];
    ssize_t n = getxattr(path.c_str(), kDosAttribName, value, sizeof value);
    if (n < 0) {
        return std::nullopt;
    }
    return std::string(value, static_cast<size_t>(n));
}

bool UserXattrsWork(const TestDir& dir) {
    std::string probe = dir / "probe";
    { std::ofstream(probe) << ""; }
    bool ok = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
    unlink(probe.c_str());
    return ok;
}

uint8_t AttributesOf(const std::string& path) {
    FileStatus status;
    EXPECT_TRUE(GetFileStatus(path, status, kStatusAttributes)) << path;
    return status.attributes;
}

// The change record holds what an undo puts back, bits the four do not name
// included.
TEST(SetAttributesTest, RoundTripThroughFileStatusAndTheChangeRecord) {
    TestDir dir;
    if (!UserXattrsWork(dir)) {
        GTEST_SKIP() << "no user extended attributes here";
    }
    std::string file = dir.CreateFile("f.txt", "x");
    dir.SetMode("f.txt", 0664);
    AttributeChange change;
    int error = 0;

    ASSERT_TRUE(SetAttributes(file, kAttrHidden | kAttrArchive, change, error));
    EXPECT_EQ(AttributesOf(file), kAttrHidden | kAttrArchive);
    EXPECT_TRUE(change.dosAttribWritten);
    EXPECT_FALSE(change.hadDosAttrib);
    EXPECT_FALSE(change.modeChanged);

    ASSERT_TRUE(SetAttributes(file, kAttrReadOnly | kAttrSystem, change, error));
    EXPECT_EQ(AttributesOf(file), kAttrReadOnly | kAttrSystem);
    EXPECT_EQ(ModeOf(file), 0444u);  // Linux programs see read-only too
    EXPECT_TRUE(change.modeChanged);
    EXPECT_EQ(change.previousMode, 0664u);
    EXPECT_TRUE(change.hadDosAttrib);
    EXPECT_EQ(ParseDosAttrib(change.previousDosAttrib)->attributes,
              uint32_t{kAttrHidden | kAttrArchive});

    // Clearing read-only gives the owner write permission back.
    ASSERT_TRUE(SetAttributes(file, 0, change, error));
    EXPECT_EQ(AttributesOf(file), 0);
    EXPECT_EQ(ModeOf(file), 0644u);
    EXPECT_EQ(change.previousMode, 0444u);

    // Setting what is already there changes nothing.
    ASSERT_TRUE(SetAttributes(file, 0, change, error));
    EXPECT_FALSE(change.modeChanged);
    EXPECT_FALSE(change.dosAttribWritten);

    // A value with a create time and a bit outside the four (0x100).
    dir.SetMode("f.txt", 0640);
    std::string original = EncodeDosAttrib({0x120, true, 133000000000000000ull});
    ASSERT_EQ(setxattr(file.c_str(), kDosAttribName, original.data(), original.size(), 0), 0);
    ASSERT_TRUE(SetAttributes(file, kAttrReadOnly | kAttrHidden, change, error));
    auto stored = ParseDosAttrib(*DosValue(file));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->attributes, 0x103u);  // other bits kept, archive cleared
    EXPECT_TRUE(stored->hasCreateTime);
    EXPECT_EQ(stored->createTime, 133000000000000000ull);

    // The record holds what an undo puts back.
    EXPECT_TRUE(change.hadDosAttrib);
    EXPECT_EQ(change.previousDosAttrib, original);
    EXPECT_TRUE(change.modeChanged);
    EXPECT_EQ(change.previousMode, 0640u);
}

TEST(SetAttributesTest, ReadOnlyAloneNeedsNoStoredValueAndAMissingFileFails) {
    TestDir dir;
    std::string file = dir.CreateFile("f", "x");
    dir.SetMode("f", 0666);
    AttributeChange change;
    int error = 0;
    ASSERT_TRUE(SetAttributes(file, kAttrReadOnly, change, error)) << ErrorText(error);
    EXPECT_FALSE(change.dosAttribWritten);
    EXPECT_FALSE(DosValue(file).has_value());
    EXPECT_EQ(ModeOf(file), 0444u);
    EXPECT_EQ(AttributesOf(file), kAttrReadOnly);
    EXPECT_FALSE(SetAttributes(dir / "none", kAttrHidden, change, error));
    EXPECT_EQ(error, ENOENT);
}

TEST(SetAttributesTest, FileSystemWithoutUserAttributes) {
    TestDir dir;
    std::string mnt = dir.CreateDir("mnt");
    ScratchMount mount(mnt);
    if (!mount.Mount("-t ramfs ramfs")) {
        GTEST_SKIP() << "needs root to mount a ramfs";
    }
    std::string file = dir.CreateFile("mnt/f", "x");
    chmod(file.c_str(), 0644);
    AttributeChange change;
    int error = 0;

    // Nothing to store: succeeds.
    EXPECT_TRUE(SetAttributes(file, 0, change, error)) << ErrorText(error);

    // Read-only takes effect, hidden cannot be kept and the call says so.
    EXPECT_FALSE(SetAttributes(file, kAttrReadOnly | kAttrHidden, change, error));
    EXPECT_EQ(error, EOPNOTSUPP);
    EXPECT_TRUE(change.modeChanged);
    EXPECT_EQ(ModeOf(file), 0444u);
    EXPECT_EQ(AttributesOf(file), kAttrReadOnly);
}

// Without root's override, user attributes need write permission: a
// read-only source's copy and a read-only file's attributes must still work.
TEST(SetAttributesTest, ReadOnlyFilesWorkForOrdinaryUser) {
    TestDir dir;
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to switch to an ordinary user";
    }
    if (!UserXattrsWork(dir)) {
        GTEST_SKIP() << "no user extended attributes here";
    }
    const uid_t nobody = 65534;
    std::string src = dir.CreateFile("src", "data");
    ASSERT_EQ(setxattr(src.c_str(), "user.note", "hi", 2, 0), 0);
    std::string locked = dir.CreateFile("locked", "x");
    for (const std::string& path : {dir.Path(), src, locked}) {
        ASSERT_EQ(chown(path.c_str(), nobody, nobody), 0);
    }
    chmod(src.c_str(), 0444);
    chmod(locked.c_str(), 0444);
    const std::optional<int> status = test::RunInChild([&] {
        if (setgid(nobody) != 0 || setuid(nobody) != 0) {
            return 10;
        }
        int error = 0;
        if (!SafeCopy(src, dir / "copy", error)) {
            return 11;
        }
        AttributeChange change;
        return SetAttributes(locked, kAttrReadOnly | kAttrHidden, change, error) ? 0 : 12;
    });
    EXPECT_EQ(status, 0) << "10 setuid, 11 copy, 12 attributes";
    EXPECT_EQ(dir.Read("copy"), "data");
    EXPECT_EQ(ModeOf(dir / "copy"), 0444u);
    EXPECT_EQ(AttributesOf(locked), kAttrReadOnly | kAttrHidden);
    EXPECT_EQ(ModeOf(locked), 0444u);
}

TEST(SetAttributesTest, NothingActsThroughASymbolicLink) {
    TestDir outside;
    TestDir dir;
    const std::string victim = outside.CreateFile("victim", "x");
    ASSERT_EQ(chmod(victim.c_str(), 0644), 0);
    const std::string link = dir / "link";
    ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
    const std::string dangling = dir / "dangling";
    ASSERT_EQ(symlink((outside / "none").c_str(), dangling.c_str()), 0);
    for (const std::string& path : {link, dangling}) {
        for (uint8_t attributes :
             {uint8_t{kAttrReadOnly}, uint8_t{kAttrHidden | kAttrArchive}, uint8_t{0}}) {
            AttributeChange change;
            int error = 0;
            EXPECT_FALSE(SetAttributes(path, attributes, change, error)) << path;
            EXPECT_EQ(error, kErrorSymbolicLink);
            EXPECT_FALSE(change.modeChanged || change.dosAttribWritten);
        }
    }
    EXPECT_EQ(ModeOf(victim), 0644u);
    EXPECT_FALSE(DosValue(victim).has_value());
    EXPECT_FALSE(outside.Exists("none"));
    EXPECT_EQ(ErrorText(kErrorSymbolicLink), "Is a symbolic link");
}

// ---- SetFileTimes and SameFile ----

TEST(SetFileTimesTest, SetsChosenTimesAndKeepsOthers) {
    TestDir dir;
    std::string file = dir.CreateFile("f", "x");
    dir.SetTimes("f", 1200000000, 1300000000);
    int error = 0;
    ASSERT_TRUE(SetFileTimes(file, std::nullopt, 1400000000, error));
    FileStatus status;
    ASSERT_TRUE(GetFileStatus(file, status, kStatusTimes));
    EXPECT_EQ(status.modificationTime, 1400000000);
    EXPECT_EQ(status.lastAccessTime, 1200000000);
    EXPECT_GT(status.creationTime, 0);  // birth time, or the modification time

    ASSERT_TRUE(SetFileTimes(file, 1500000000, std::nullopt, error));
    ASSERT_TRUE(GetFileStatus(file, status, kStatusTimes));
    EXPECT_EQ(status.modificationTime, 1400000000);
    EXPECT_EQ(status.lastAccessTime, 1500000000);

    // A read-only file of one's own still takes new times.
    dir.SetMode("f", 0444);
    EXPECT_TRUE(SetFileTimes(file, 1000000000, 1000000001, error)) << ErrorText(error);

    EXPECT_FALSE(SetFileTimes(dir / "none", 1, 1, error));
    EXPECT_EQ(error, ENOENT);
}

TEST(SameFileTest, SameOnlyForOneFile) {
    TestDir dir;
    dir.CreateFile("a", "x");
    dir.CreateFile("b", "x");
    ASSERT_EQ(link((dir / "a").c_str(), (dir / "hard").c_str()), 0);
    EXPECT_TRUE(SameFile(dir / "a", dir / "a"));
    EXPECT_TRUE(SameFile(dir / "a", dir / "hard"));
    EXPECT_FALSE(SameFile(dir / "a", dir / "b"));
    EXPECT_FALSE(SameFile(dir / "a", dir / "none"));
}

}  // namespace
}  // namespace quorvan
