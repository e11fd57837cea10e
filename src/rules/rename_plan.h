#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rules/name_computation.h"
#include "rules/rename_settings.h"

namespace quorvan {

// The rename plan: every source path with its target path, in byte-wise order
// of the sources, which decides sequence numbers and the order of a run. A
// plain value: a run takes its own.
class CRenamePlan final {
  public:
    // Source and target; the target is empty until computed, and stays empty
    // when the rules give no name a file can have.
    using Entry = std::pair<std::string, std::string>;

    void Clear();
    // Adds a source. A source added again keeps the target it has.
    void Add(std::string source);
    // Room for this many sources in all.
    void Reserve(size_t count) { entries_.reserve(count); }

    // The entries in source order.
    const std::vector<Entry>& Entries() const;
    std::vector<Entry>& Entries();
    size_t Size() const { return Entries().size(); }
    bool Empty() const { return Entries().empty(); }
    // The entry of a source, or null.
    const Entry* Find(std::string_view source) const;
    Entry* Find(std::string_view source);
    bool Contains(std::string_view source) const { return Find(source) != nullptr; }

    // Files that were selected but that the run itself writes (its log and
    // undo script): never renamed, only noted.
    void LeaveOut(std::string path) { leftOut_.push_back(std::move(path)); }
    const std::vector<std::string>& LeftOut() const { return leftOut_; }

    // Entries the rules could not name, by their place in Entries(), with the
    // reason for the user ("no date taken in this file"): they keep their
    // names and the run leaves them alone.
    void AddNote(size_t index, std::string reason) {
        notes_.emplace_back(index, std::move(reason));
    }
    void ClearNotes() { notes_.clear(); }
    const std::vector<std::pair<size_t, std::string>>& Notes() const { return notes_; }

    bool operator==(const CRenamePlan& other) const { return Entries() == other.Entries(); }

  private:
    // Additions are appended and sorted (keeping the first of equal sources)
    // before any walk or lookup: far cheaper than a tree for a million files.
    void Sort() const;

    mutable std::vector<Entry> entries_;
    mutable size_t sortedCount_ = 0;
    std::vector<std::string> leftOut_;
    std::vector<std::pair<size_t, std::string>> notes_;
};

// What the CD Audio page pairs at a plan computation: the track files in the
// page's order, and the ticked titles in list order.
struct CdPairing {
    std::vector<std::string> trackOrder;
    std::vector<std::string> titles;
};

struct TemplateNames;

// The note of an entry whose new name would hold a "/".
inline constexpr const char* kSlashInNameReason = "A name cannot contain /";

// Computes every target of the plan under the settings, in source order, the
// sequence going on from `sequence` (see StartSequence). With `cd`, the k-th
// track file of the plan gets the k-th title instead; other entries keep their
// targets. With `names`, each entry's base name comes from its template first;
// an entry the template cannot name keeps its name and gets a note.
void ComputePlan(const RenameSettings& settings, CRenamePlan& plan, std::string_view sourceRoot,
                 SequenceState& sequence, const CdPairing* cd = nullptr,
                 const TemplateNames* names = nullptr);

}  // namespace quorvan
