#include "platform/dos_attrib.h"

#include <cstdio>
#include <cstdlib>

namespace quorvan {

namespace {

constexpr uint32_t kValidAttrib = 0x1;
constexpr uint32_t kValidCreateTime = 0x10;

uint32_t ReadLe(std::string_view data, size_t offset, size_t bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(data[offset + i])) << (8 * i);
    }
    return value;
}

void WriteLe(std::string& out, uint64_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

size_t AlignUp(size_t offset, size_t to) {
    return (offset + to - 1) / to * to;
}

}  // namespace

std::optional<DosAttrib> ParseDosAttrib(std::string_view value) {
    size_t nul = value.find('\0');
    std::string_view hex = value.substr(0, nul);
    std::optional<DosAttrib> result;
    if (!hex.empty()) {
        std::string text(hex);
        char* end = nullptr;
        unsigned long parsed = strtoul(text.c_str(), &end, 16);
        if (end != text.c_str()) {
            result = DosAttrib{static_cast<uint32_t>(parsed), false, 0};
        }
    }
    if (nul == std::string_view::npos) {
        return result;
    }
    size_t offset = AlignUp(nul + 1, 2);
    if (offset + 4 > value.size()) {
        return result;
    }
    uint32_t version = ReadLe(value, offset, 2);
    if (version < 1 || version > 5 || ReadLe(value, offset + 2, 2) != version) {
        return result;
    }
    offset = AlignUp(offset + 4, 4);
    if (version <= 2) {
        if (offset + 4 <= value.size()) {
            result = DosAttrib{ReadLe(value, offset, 4), false, 0};
        }
        return result;
    }
    if (offset + 8 > value.size()) {
        return result;
    }
    uint32_t valid = ReadLe(value, offset, 4);
    DosAttrib record{};
    if (!(valid & kValidAttrib)) {
        return result;
    }
    record.attributes = ReadLe(value, offset + 4, 4);
    // Where the create time sits in each version's record.
    size_t createOffset = version == 3 ? offset + 28 : version == 4 ? offset + 16 : offset + 8;
    if ((valid & kValidCreateTime) && createOffset + 8 <= value.size()) {
        record.hasCreateTime = true;
        record.createTime = ReadLe(value, createOffset, 4) |
                            (static_cast<uint64_t>(ReadLe(value, createOffset + 4, 4)) << 32);
    }
    return record;
}

std::string EncodeDosAttrib(const DosAttrib& attrib) {
    char hex[16];
    snprintf(hex, sizeof hex, "0x%x", attrib.attributes);
    std::string out(hex);
    out += '\0';
    if (out.size() % 2) {
        out += '\0';
    }
    WriteLe(out, 3, 2);
    WriteLe(out, 3, 2);
    out.resize(AlignUp(out.size(), 4), '\0');
    uint32_t valid = kValidAttrib | (attrib.hasCreateTime ? kValidCreateTime : 0);
    WriteLe(out, valid, 4);
    WriteLe(out, attrib.attributes, 4);
    WriteLe(out, 0, 4);  // ea_size
    WriteLe(out, 0, 8);  // size
    WriteLe(out, 0, 8);  // alloc_size
    WriteLe(out, attrib.hasCreateTime ? attrib.createTime : 0, 8);
    WriteLe(out, 0, 8);  // change_time
    return out;
}

}  // namespace quorvan
