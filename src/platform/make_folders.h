#pragma once

#include <functional>
#include <string>

namespace quorvan {

// Makes the levels of `folder` below `base` that are missing, one at a time
// through the parent's descriptor, so that nothing planted in place of a
// level is ever followed: a real folder already there is used, a symbolic
// link fails with kErrorSymbolicLink and any other file with
// kErrorNotAFolder; `blocker` then names it. `beforeMake` is told each
// folder just before it is made and may refuse it with an errno value (a run
// records the folder first). `folder` must be `base` or lie below it; `base`
// itself is reached as spelt. True when `folder` is there.
bool MakeFoldersBelow(const std::string& base, const std::string& folder, int& error,
                      std::string& blocker,
                      const std::function<int(const std::string& made)>& beforeMake = {});
// The same from `base` open as `baseFd` (-1: opened by its path).
bool MakeFoldersBelow(int baseFd, const std::string& base, const std::string& folder, int& error,
                      std::string& blocker,
                      const std::function<int(const std::string& made)>& beforeMake = {});

}  // namespace quorvan
