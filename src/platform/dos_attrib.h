#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvan {

// The "user.DOSATTRIB" extended attribute that Samba and the kernel's SMB
// server keep DOS attributes in.
constexpr const char* kDosAttribName = "user.DOSATTRIB";

struct DosAttrib {
    uint32_t attributes = 0;
    bool hasCreateTime = false;
    uint64_t createTime = 0;  // NT time: 100 ns units since 1601
};

// Reads a stored value: a NUL-terminated hex text, optionally followed by a
// binary record of version 1 to 5 whose attributes then count. Nothing when
// neither yields attributes.
std::optional<DosAttrib> ParseDosAttrib(std::string_view value);

// A version 3 record with its hex text, as Samba writes it.
std::string EncodeDosAttrib(const DosAttrib& attrib);

}  // namespace quorvan
