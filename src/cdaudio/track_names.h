#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cdaudio/cddb_types.h"

namespace quorvan {

// A title as a file name: the characters no file name may hold on either
// system (" * / : < > ? \ |) and control characters become "_"; a very long
// title is cut (at a character boundary) so that an extension still fits;
// trailing blanks and dots go; a title left empty becomes "Track NN".
std::string SafeTrackFileName(std::string_view title, int trackNumber);

// One row of the retrieved-names list.
struct RetrievedTitle {
    std::string number;  // "%02d", from 1
    std::string name;    // the title as a file name
    std::string length;  // "mm:ss" from the track table; empty past its tracks
    bool checked = false;
};

// The rows for a record's titles, lengths from the disc's table; unchecked.
std::vector<RetrievedTitle> RetrievedTitles(const CddbDiscRecord& record,
                                            const CdTrackTable& table);

// The three check-mark buttons, item by item from the top.
void CheckAllTitles(std::vector<RetrievedTitle>& titles);
void UncheckAllTitles(std::vector<RetrievedTitle>& titles);
void InvertTitleChecks(std::vector<RetrievedTitle>& titles);

// The "Selected tracks" list: full file paths in the order the user gives.
// Ticking and unticking every row of a large folder calls Add and Remove once
// per file, so both look paths up in a sorted index instead of walking the
// list, and removals leave gaps that are closed in one pass when the list is
// next read.
class CSelectedTracks final {
  public:
    // Appends `path` unless it is already an item. True when added.
    bool AddTrackFile(const std::string& path);
    // Removes the item that is exactly `path`. True when one was removed.
    bool RemoveTrackFile(const std::string& path);
    void ClearTrackFiles();

    // Exchange the item at `selected` with the one above (below); return the
    // new selection. Nothing moves for no selection (-1), the first item (up)
    // or the last (down).
    int MoveUp(int selected);
    int MoveDown(int selected);

    const std::vector<std::string>& Items() const;
    size_t Count() const { return items_.size() - gaps_; }

  private:
    void CloseGaps() const;
    void Swap(size_t a, size_t b);

    // Display order; a removed item leaves an empty string until CloseGaps.
    mutable std::vector<std::string> items_;
    mutable size_t gaps_ = 0;
    // Every item, sorted, with its position in items_. Whole paths only: a
    // file's path may begin another's ("01.mp3" and "01.mp3.bak").
    mutable std::map<std::string, size_t, std::less<>> index_;
};

// How Play treats a file: the wave player, the MP3 player, or the desktop's
// handler. Decided by the extension, letter case ignored.
enum class AudioKind { Other = 0, Wave = 1, Mp3 = 2 };
AudioKind AudioKindOf(std::string_view path);

// Pairs files with checked titles as the rename plan does: for k from 0 to the
// number of titles − 1, the k-th file takes the next checked title at or after
// a cursor, which moves past that title only when the file takes part
// (`takesPart`). Returns (file index, title index) pairs.
std::vector<std::pair<size_t, size_t>> PairTracksWithTitles(
    const std::vector<std::string>& files, const std::vector<bool>& checkedTitles,
    const std::function<bool(const std::string&)>& takesPart);

}  // namespace quorvan
