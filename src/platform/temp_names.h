#pragma once

#include <string>

namespace quorvan {

// The prefix of every temporary name the program makes: a file that a killed
// run left behind is recognisably its own.
inline constexpr const char* kTemporaryPrefix = ".quorvan-tmp-";

// A fresh name ".quorvan-tmp-<tag>-<random>" in `folder` (without the tag and
// its dash when `tag` is empty; a bare name when `folder` is empty). Nothing is
// created.
std::string TemporaryNameIn(const std::string& folder, const std::string& tag);

}  // namespace quorvan
