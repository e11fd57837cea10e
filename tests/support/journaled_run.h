#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "history/journal.h"
#include "support/test_dir.h"

namespace quorvan::test {

// Does a run's file work the way the run's worker must, journaling each
// operation: the worker's stand-in in tests of undo and history. Each
// journal record and each file operation is one action; KillAfter(n) ends the
// process with _exit, without any clean-up, once n actions are done, as a
// kill at that moment would. Failures throw.
class JournaledRun final {
  public:
    JournaledRun(const std::string& historyFolder, RunMode mode, const std::string& folder,
                 int64_t files, const std::string& destination = "",
                 CJournalWriter::Backend backend = CJournalWriter::Backend::Mapped);
    // Closes the journal (without an end record when End was not called).
    ~JournaledRun();
    JournaledRun(const JournaledRun&) = delete;
    JournaledRun& operator=(const JournaledRun&) = delete;

    const std::string& Id() const { return id_; }
    const std::string& Journal() const { return writer_.Path(); }
    void KillAfter(int actions) { killAfter_ = actions; }
    int Actions() const { return actions_; }

    // A move that replaces nothing: the record, the move, the file record.
    bool Rename(const std::string& from, const std::string& to);
    // A rotation: names[i] becomes names[i + 1], the last becomes names[0];
    // the first goes through a temporary name of the run.
    void Cycle(const std::vector<std::string>& names);
    // Copy mode: the data into a temporary file of the run beside `to`, the
    // file at `to` (if any) to the trash, then the copy to its name. The copy
    // record comes after the trash records, or before them when not
    // `trashFirst` (an undo takes either).
    void Copy(const std::string& from, const std::string& to, bool trashFirst = true);
    // Attribute changes: permission bits, and a new user.DOSATTRIB value.
    void SetMode(const std::string& path, uint32_t mode);
    void SetDosAttrib(const std::string& path, const std::string& value);
    void SetTimes(const std::string& path, FileTimeNs access, FileTimeNs modification);
    void End(RunEnd status = RunEnd::Complete);

  private:
    void Act();
    void Record(const JournalRecord& record);
    FileStamp Stamp(const std::string& path);
    AttrsRecord OldAttrs(const std::string& path);
    std::string TempName(const std::string& besidePath);

    CJournalWriter writer_;
    std::string id_;
    int actions_ = 0;
    int killAfter_ = -1;
    int64_t done_ = 0;
    int64_t failed_ = 0;
    int temps_ = 0;
};

// The contents of an inventory without their names: every content once
// means nothing was lost or doubled, whatever names the files have.
inline std::multiset<std::string> Contents(const std::map<std::string, std::string>& files) {
    std::multiset<std::string> contents;
    for (const auto& [name, content] : files) {
        contents.insert(content);
    }
    return contents;
}

}  // namespace quorvan::test
