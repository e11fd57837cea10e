#include "rules/sequence_order.h"

#include <sys/stat.h>

#include <algorithm>
#include <numeric>

#include "common/path.h"
#include "common/text.h"
#include "rules/template_names.h"

namespace quorvan {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// -1, 0 or 1 for two case-folded texts in natural order.
int NaturalCompare(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t ai = i;
            size_t bj = j;
            while (ai < a.size() && a[ai] == '0') {
                ++ai;
            }
            while (bj < b.size() && b[bj] == '0') {
                ++bj;
            }
            size_t ae = ai;
            size_t be = bj;
            while (ae < a.size() && IsDigit(a[ae])) {
                ++ae;
            }
            while (be < b.size() && IsDigit(b[be])) {
                ++be;
            }
            // More significant digits: the larger value, however long.
            if (ae - ai != be - bj) {
                return ae - ai < be - bj ? -1 : 1;
            }
            int c = a.substr(ai, ae - ai).compare(b.substr(bj, be - bj));
            if (c != 0) {
                return c < 0 ? -1 : 1;
            }
            i = ae;
            j = be;
            continue;
        }
        if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        }
        ++i;
        ++j;
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

}  // namespace

SourceFacts ReadSourceFacts(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return {};
    }
    return {static_cast<int64_t>(st.st_mtime), static_cast<int64_t>(st.st_size)};
}

SourceFacts ReadSourceFactsAndTaken(const std::string& path) {
    SourceFacts facts;
    MetadataKey key;
    FileMetadata values = ProgramMetadataCache().Get(path, kNeedImage, &key);
    facts.modified = key.mtimeSec;
    facts.size = key.size;
    if (values.taken) {
        const LocalDateTime& t = *values.taken;
        facts.taken =
            ((((int64_t{t.year} * 100 + t.month) * 100 + t.day) * 100 + t.hour) * 100 + t.minute) *
                100 +
            t.second;
    }
    return facts;
}

bool NaturalLess(std::string_view a, std::string_view b) {
    int c = NaturalCompare(Utf8ToLower(a), Utf8ToLower(b));
    return c != 0 ? c < 0 : a < b;
}

std::vector<size_t> NumberingOrder(const std::vector<std::pair<std::string, std::string>>& sources,
                                   const MoreRuleSettings& settings,
                                   const SourceFactsReader& given) {
    const bool taken = settings.Order == SequenceOrder::Taken;
    SourceFactsReader facts = given;
    if (!facts) {
        facts = taken ? ReadSourceFactsAndTaken : ReadSourceFacts;
        if (taken) {
            std::vector<std::string> paths;
            paths.reserve(sources.size());
            for (const auto& source : sources) {
                paths.push_back(source.first);
            }
            ReadAllMetadata(paths, kNeedImage, ProgramMetadataCache());
        }
    }
    std::vector<size_t> order(sources.size());
    std::iota(order.begin(), order.end(), size_t{0});
    // Keys made once per source, not once per comparison.
    std::vector<std::string> folded;
    std::vector<SourceFacts> known;
    switch (settings.Order) {
        case SequenceOrder::Path:
            break;
        case SequenceOrder::Natural:
            folded.reserve(sources.size());
            for (const auto& source : sources) {
                folded.push_back(Utf8ToLower(source.first));
            }
            break;
        case SequenceOrder::Modified:
        case SequenceOrder::Size:
        case SequenceOrder::Taken:
            known.reserve(sources.size());
            for (const auto& source : sources) {
                known.push_back(facts(source.first));
            }
            break;
    }
    auto less = [&](size_t x, size_t y) {
        if (settings.SequencePerFolder) {
            std::string_view fx = FolderOf(sources[x].first);
            std::string_view fy = FolderOf(sources[y].first);
            if (fx != fy) {
                return fx < fy;
            }
        }
        switch (settings.Order) {
            case SequenceOrder::Path:
                return x < y;
            case SequenceOrder::Natural: {
                int c = NaturalCompare(folded[x], folded[y]);
                return c != 0 ? c < 0 : x < y;
            }
            case SequenceOrder::Modified:
                return known[x].modified != known[y].modified
                           ? known[x].modified < known[y].modified
                           : x < y;
            case SequenceOrder::Size:
                return known[x].size != known[y].size ? known[x].size < known[y].size : x < y;
            case SequenceOrder::Taken:
                return known[x].taken != known[y].taken ? known[x].taken < known[y].taken : x < y;
        }
        return x < y;
    };
    std::sort(order.begin(), order.end(), less);
    return order;
}

}  // namespace quorvan
