#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace quorvan::test {

// The bytes of a file; empty when it cannot be read.
inline std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace quorvan::test
