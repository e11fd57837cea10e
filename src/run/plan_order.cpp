// The safe order of a rename in place: chains from their free end, cycles
// through a temporary name.
#include <algorithm>
#include <cerrno>

#include "run/plan_check_detail.h"

namespace quorvan::plan_detail {

void ResolveChains(PlanCheck& check, const std::vector<int32_t>& next,
                   std::vector<uint8_t>& inCycle) {
    const size_t n = next.size();
    std::vector<uint8_t> state(n, 0);  // 0 open, 1 on the current path, 2 decided
    std::vector<uint32_t> path;
    for (size_t start = 0; start < n; ++start) {
        if (state[start] != 0 || check.entries[start].status != EntryStatus::Ok) {
            continue;
        }
        path.clear();
        size_t at = start;
        bool ok = true;
        int32_t blocker = kNone;
        while (true) {
            if (check.entries[at].status != EntryStatus::Ok || state[at] == 2) {
                // An entry that stays (failing, unchanged) or is decided.
                ok = check.entries[at].status == EntryStatus::Ok;
                blocker = ok ? kNone : static_cast<int32_t>(at);
                break;
            }
            if (state[at] == 1) {
                // Back on the path: the part from `at` on is a cycle.
                auto from = std::find(path.begin(), path.end(), static_cast<uint32_t>(at));
                for (auto it = from; it != path.end(); ++it) {
                    inCycle[*it] = 1;
                }
                break;
            }
            state[at] = 1;
            path.push_back(static_cast<uint32_t>(at));
            if (next[at] == kNone) {
                break;  // free
            }
            at = static_cast<size_t>(next[at]);
        }
        for (uint32_t member : path) {
            state[member] = 2;
            if (!ok) {
                SetStatus(check.entries[member], EntryStatus::Exists, EEXIST, blocker);
            }
        }
    }
}

void OrderMoves(PlanCheck& check, const std::vector<int32_t>& next,
                const std::vector<int32_t>& previous, const std::vector<uint8_t>& inCycle) {
    const size_t n = next.size();
    std::vector<uint8_t> emitted(n, 0);
    std::vector<uint32_t> chain;
    for (size_t start = 0; start < n; ++start) {
        if (emitted[start] || check.entries[start].status != EntryStatus::Ok) {
            continue;
        }
        if (inCycle[start]) {
            // start -> temporary; then the member holding start's source name
            // moves into it, and so on back round; last the temporary to
            // start's target.
            check.order.push_back({static_cast<uint32_t>(start), MoveStep::Kind::ToTemporary});
            emitted[start] = 1;
            for (int32_t at = previous[start]; at != static_cast<int32_t>(start);
                 at = previous[static_cast<size_t>(at)]) {
                check.order.push_back({static_cast<uint32_t>(at), MoveStep::Kind::Direct});
                emitted[static_cast<size_t>(at)] = 1;
            }
            check.order.push_back({static_cast<uint32_t>(start), MoveStep::Kind::FromTemporary});
            continue;
        }
        // Walk to the free end, then move back up the chain.
        chain.clear();
        for (int32_t at = static_cast<int32_t>(start);
             at != kNone && !emitted[static_cast<size_t>(at)]; at = next[static_cast<size_t>(at)]) {
            chain.push_back(static_cast<uint32_t>(at));
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            check.order.push_back({*it, MoveStep::Kind::Direct});
            emitted[*it] = 1;
        }
    }
}

}  // namespace quorvan::plan_detail
