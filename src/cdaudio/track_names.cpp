#include "cdaudio/track_names.h"

#include <cstdint>
#include <cstdio>

#include "common/path.h"

namespace quorvan {

namespace {

// Leaves room for an extension and a sequence number within the 255 bytes a
// Linux file name may have.
constexpr size_t kMaxNameBytes = 200;

std::string TwoDigits(int value) {
    char text[16];
    snprintf(text, sizeof text, "%02d", value);
    return text;
}

}  // namespace

std::string SafeTrackFileName(std::string_view title, int trackNumber) {
    std::string name = SafeNameText(title, kMaxNameBytes);
    if (name.empty()) {
        return "Track " + TwoDigits(trackNumber);
    }
    return name;
}

std::vector<RetrievedTitle> RetrievedTitles(const CddbDiscRecord& record,
                                            const CdTrackTable& table) {
    std::vector<RetrievedTitle> titles;
    size_t trackCount = table.empty() ? 0 : table.size() - 1;
    for (size_t i = 0; i < record.trackTitles.size(); ++i) {
        RetrievedTitle row;
        int number = static_cast<int>(i) + 1;
        row.number = TwoDigits(number);
        row.name = SafeTrackFileName(record.trackTitles[i], number);
        if (i < trackCount) {
            row.length =
                TwoDigits(table[i].lengthMinutes) + ":" + TwoDigits(table[i].lengthSeconds);
        }
        titles.push_back(std::move(row));
    }
    return titles;
}

void CheckAllTitles(std::vector<RetrievedTitle>& titles) {
    for (RetrievedTitle& title : titles) {
        title.checked = true;
    }
}

void UncheckAllTitles(std::vector<RetrievedTitle>& titles) {
    for (RetrievedTitle& title : titles) {
        title.checked = false;
    }
}

void InvertTitleChecks(std::vector<RetrievedTitle>& titles) {
    for (RetrievedTitle& title : titles) {
        title.checked = !title.checked;
    }
}

bool CSelectedTracks::AddTrackFile(const std::string& path) {
    auto [it, added] = index_.try_emplace(path, items_.size());
    if (added) {
        items_.push_back(path);
    }
    return added;
}

bool CSelectedTracks::RemoveTrackFile(const std::string& path) {
    auto found = index_.find(path);
    if (found == index_.end()) {
        return false;
    }
    items_[found->second].clear();
    ++gaps_;
    index_.erase(found);
    if (gaps_ == items_.size()) {
        items_.clear();
        gaps_ = 0;
    }
    return true;
}

void CSelectedTracks::ClearTrackFiles() {
    items_.clear();
    index_.clear();
    gaps_ = 0;
}

void CSelectedTracks::CloseGaps() const {
    if (gaps_ == 0) {
        return;
    }
    // The index knows which positions still hold an item.
    constexpr size_t kGap = SIZE_MAX;
    std::vector<size_t> moved(items_.size(), kGap);
    for (const auto& entry : index_) {
        moved[entry.second] = 0;
    }
    size_t kept = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (moved[i] != kGap) {
            moved[i] = kept;
            if (kept != i) {
                items_[kept] = std::move(items_[i]);
            }
            ++kept;
        }
    }
    items_.resize(kept);
    for (auto& entry : index_) {
        entry.second = moved[entry.second];
    }
    gaps_ = 0;
}

const std::vector<std::string>& CSelectedTracks::Items() const {
    CloseGaps();
    return items_;
}

void CSelectedTracks::Swap(size_t a, size_t b) {
    std::swap(items_[a], items_[b]);
    index_.find(items_[a])->second = a;
    index_.find(items_[b])->second = b;
}

int CSelectedTracks::MoveUp(int selected) {
    CloseGaps();
    if (selected <= 0 || static_cast<size_t>(selected) >= items_.size()) {
        return selected;
    }
    Swap(static_cast<size_t>(selected), static_cast<size_t>(selected) - 1);
    return selected - 1;
}

int CSelectedTracks::MoveDown(int selected) {
    CloseGaps();
    if (selected < 0 || static_cast<size_t>(selected) + 1 >= items_.size()) {
        return selected;
    }
    Swap(static_cast<size_t>(selected), static_cast<size_t>(selected) + 1);
    return selected + 1;
}

AudioKind AudioKindOf(std::string_view path) {
    const std::string_view name = NameOf(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return AudioKind::Other;
    }
    std::string extension(name.substr(dot));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (extension == ".wav") {
        return AudioKind::Wave;
    }
    return extension == ".mp3" ? AudioKind::Mp3 : AudioKind::Other;
}

std::vector<std::pair<size_t, size_t>> PairTracksWithTitles(
    const std::vector<std::string>& files, const std::vector<bool>& checkedTitles,
    const std::function<bool(const std::string&)>& takesPart) {
    std::vector<std::pair<size_t, size_t>> pairs;
    size_t cursor = 0;
    for (size_t k = 0; k < checkedTitles.size() && k < files.size(); ++k) {
        while (cursor < checkedTitles.size() && !checkedTitles[cursor]) {
            ++cursor;
        }
        if (cursor >= checkedTitles.size()) {
            break;
        }
        if (!takesPart(files[k])) {
            continue;
        }
        pairs.emplace_back(k, cursor);
        ++cursor;
    }
    return pairs;
}

}  // namespace quorvan
