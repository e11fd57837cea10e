#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvan {

// A CDDB reply's text in UTF-8. The character set is judged over the whole
// reply: level 6 and above sends UTF-8, lower levels ISO-8859-1. Old entries
// stored in another set reach clients of either level unconverted, so bytes
// that are not valid UTF-8 are read as GB18030 where they are valid GB18030,
// else as Latin-1 (which any bytes are).
std::string CddbTextToUtf8(std::string_view bytes, int32_t protocolLevel);

}  // namespace quorvan
