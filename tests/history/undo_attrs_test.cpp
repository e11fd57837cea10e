// Undo sets back the attributes and times a run changed on every kind of
// entry, as the entry's owner can, and only what the run changed.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>

#include "history/undo_run.h"
#include "history_test_support.h"
#include "platform/dos_attrib.h"

namespace quorvan {
namespace {

using test::JournaledRun;
using test::TestDir;

constexpr uid_t kUser = 65534;  // nobody: an owner without root's rights
constexpr int64_t kOldTime = 500000000;

void MakeSocket(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    close(fd);
}

// "mode=0644 dos=none mtime=500000000" of the entry itself.
std::string Shown(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    char value[256];
    ssize_t n = lgetxattr(path.c_str(), kDosAttribName, value, sizeof value);
    std::string dos = n < 0 ? "none" : "set";
    char text[128];
    std::snprintf(text, sizeof text, "mode=%04o dos=%s mtime=%lld", st.st_mode & 07777u,
                  dos.c_str(), static_cast<long long>(st.st_mtime));
    return text;
}

TEST(UndoAttributes, OnlyWhatTheRunChangedIsSetBackOnEveryKindOfEntryByItsOwner) {
    const bool root = geteuid() == 0;
    DosAttrib hidden;
    hidden.attributes = 0x23;
    struct Case {
        const char* name;
        bool rootOwns;  // the entry is root's, not the undoing user's (needs root)
        std::function<void(const std::string&)> make;
        std::function<void(JournaledRun&, const std::string&)> run;
        std::function<void(const std::string&)> after;  // the user's own change since
        const char* expected;
    };
    auto file = [](const std::string& p) { std::ofstream(p) << "data"; };
    auto none = [](const std::string&) {};
    const Case cases[] = {
        {"read-only and hidden on the owner's file", false, file,
         [&](JournaledRun& r, const std::string& p) {
             r.SetDosAttrib(p, EncodeDosAttrib(hidden));
             r.SetMode(p, 0444);
         },
         none, "mode=0644 dos=none mtime=500000000"},
        {"read-only, and the user's execute bits since", false, file,
         [](JournaledRun& r, const std::string& p) { r.SetMode(p, 0444); },
         [](const std::string& p) { chmod(p.c_str(), 0555); },
         "mode=0755 dos=none mtime=500000000"},
        {"a change that failed in the run", true, file,
         [](JournaledRun& r, const std::string& p) { r.SetMode(p, 0444); }, none,
         "mode=0644 dos=none mtime=500000000"},
        {"a FIFO", false, [](const std::string& p) { mkfifo(p.c_str(), 0644); },
         [](JournaledRun& r, const std::string& p) { r.SetMode(p, 0444); }, none,
         "mode=0644 dos=none mtime=500000000"},
        {"a socket", false, MakeSocket,
         [](JournaledRun& r, const std::string& p) { r.SetMode(p, 0444); }, none,
         "mode=0644 dos=none mtime=500000000"},
        {"a device node", true,
         [](const std::string& p) { mknod(p.c_str(), S_IFCHR | 0644, makedev(1, 3)); },
         [](JournaledRun& r, const std::string& p) { r.SetMode(p, 0444); }, none,
         "mode=0644 dos=none mtime=500000000"},
        {"a symbolic link's own times", false,
         [](const std::string& p) { symlink("nowhere", p.c_str()); },
         [](JournaledRun& r, const std::string& p) {
             r.SetTimes(p, {1000000000, 0}, {1000000000, 0});
         },
         none, "mode=0777 dos=none mtime=500000000"},
    };
    TestDir dir;
    std::vector<const Case*> taken;
    for (const Case& c : cases) {
        if (c.rootOwns && !root) {
            std::cout << "skipped " << c.name << ": needs root\n";
            continue;
        }
        const std::string path = dir / c.name;
        c.make(path);
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
            chmod(path.c_str(), 0644);
        }
        timespec times[2] = {{kOldTime, 0}, {kOldTime, 0}};
        utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
        if (root && !c.rootOwns) {
            lchown(path.c_str(), kUser, kUser);
        }
        taken.push_back(&c);
    }
    if (root) {
        chown(dir.Path().c_str(), kUser, kUser);
    }
    // The run and its undo as the user who owns the entries.
    ASSERT_TRUE(test::InChild([&] {
        if (root && (setgroups(0, nullptr) != 0 || setgid(kUser) != 0 || setuid(kUser) != 0)) {
            _exit(2);
        }
        mkdir((dir / "state").c_str(), 0700);
        std::string journal;
        {
            JournaledRun run(dir / "state/history", RunMode::Rename, dir.Path(), 0);
            journal = run.Journal();
            for (const Case* c : taken) {
                c->run(run, dir / c->name);
            }
            run.End();
        }
        for (const Case* c : taken) {
            c->after(dir / c->name);
        }
        UndoSummary summary = UndoRun(journal);
        std::ofstream out(dir / "state/results");
        for (const UndoStep& step : summary.steps) {
            if (step.outcome == UndoOutcome::Skipped) {
                out << "skipped: " << DescribeStep(step) << ": " << step.reason << "\n";
            }
        }
        for (const Case* c : taken) {
            out << c->name << ": " << Shown(dir / c->name) << "\n";
        }
    }));
    std::string expected;
    for (const Case* c : taken) {
        expected += std::string(c->name) + ": " + c->expected + "\n";
    }
    EXPECT_EQ(dir.Read("state/results"), expected);
}

}  // namespace
}  // namespace quorvan
