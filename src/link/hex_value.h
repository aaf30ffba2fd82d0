#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace max2870 {

// The text read as a two's-complement hexadecimal number of 4 bits per character, the first
// character carrying the sign; a character that is not a hexadecimal digit counts as -1. Empty
// when the accumulation leaves the signed 32-bit range (only a stray character after a leading
// 8 or more can do that within 8 characters).
std::optional<std::int32_t> HexValue(std::string_view text);

} // namespace max2870
