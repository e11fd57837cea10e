#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "history/journal.h"
#include "support/file_text.h"
#include "support/journaled_run.h"
#include "support/test_dir.h"

namespace quorvan::test {

// Runs `work` in a child process that ends with _exit, as a killed run
// would; true when it ended on its own without throwing.
inline bool InChild(const std::function<void()>& work) {
    pid_t pid = fork();
    if (pid == 0) {
        try {
            work();
        } catch (...) {
            _exit(3);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Reads a journal byte for byte, zeros too.
inline std::string ReadText(const std::string& path) {
    return FileText(path);
}

inline void WriteText(const std::string& path, const std::string& text) {
    FILE* out = fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    fwrite(text.data(), 1, text.size(), out);
    fclose(out);
}

// No file below `folder` waits at a run's temporary name.
inline void ExpectNoTemporaryNames(const std::string& folder) {
    for (const auto& [name, content] : Inventory(folder)) {
        EXPECT_EQ(name.find(".quorvan-tmp-"), std::string::npos) << name;
    }
}

// A finished run that renamed `from` to `to` in `folder`; gives its journal.
inline std::string RenameRun(const std::string& history, const std::string& folder,
                             const std::string& from, const std::string& to) {
    JournaledRun run(history, RunMode::Rename, folder, 1);
    run.Rename(folder + "/" + from, folder + "/" + to);
    run.End();
    return run.Journal();
}

inline std::string WriterName(const ::testing::TestParamInfo<CJournalWriter::Backend>& writer) {
    return writer.param == CJournalWriter::Backend::Mapped ? "Mapped" : "Write";
}

}  // namespace quorvan::test
