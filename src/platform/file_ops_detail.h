#pragma once

// What the file work's own files share (file_move.cpp, file_copy.cpp,
// file_attrs.cpp); not for use elsewhere.

#include <cerrno>
#include <string>

#include "common/path.h"
#include "platform/temp_names.h"

namespace quorvan::file_detail {

inline bool IsUnsupported(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP;
}

// ".quorvan-tmp-[<tag>-]<random>" in the folder of `path`.
inline std::string TemporaryName(const std::string& path, const std::string& tag) {
    return TemporaryNameIn(std::string(FolderOf(path)), tag);
}

// One move that never replaces `to`. Returns 0 or an errno.
int MoveOnce(const std::string& from, const std::string& to);

// Reads the whole of one extended attribute of `fd`, else of `path` (of a
// link itself unless `followLinks`); an errno on failure.
int ReadXattr(int fd, const char* path, const char* name, std::string& value,
              bool followLinks = true);

}  // namespace quorvan::file_detail
