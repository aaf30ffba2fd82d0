#include "model/hex_format.h"

#include <cmath>
#include <cstdio>

namespace max2870 {

std::string HexFormat(double word) {
    constexpr double kTwo31 = 2147483648.0;
    if (word > kTwo31 || std::isnan(word) || word < -kTwo31) {
        return {};
    }
    // The pattern of the whole number, two's complement for a negative one; 2^31 itself gives
    // 80000000 like -2^31.
    const auto whole = static_cast<std::int64_t>(word);
    const auto pattern = static_cast<std::uint32_t>(whole & 0xFFFFFFFFLL);
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(pattern));
    return digits;
}

} // namespace max2870
