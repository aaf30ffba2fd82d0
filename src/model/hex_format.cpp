#include "model/hex_format.h"

#include <cmath>

namespace max2870 {

std::string HexFormat(double word) {
    constexpr double kTwo31 = 2147483648.0;
    if (word > kTwo31 || std::isnan(word) || word < -kTwo31) {
        return {};
    }
    // The pattern of the whole number, two's complement for a negative one; 2^31 itself gives
    // 80000000 like -2^31. Written by hand: this runs for every word of every recompute.
    const auto whole = static_cast<std::int64_t>(word);
    auto pattern = static_cast<std::uint32_t>(whole & 0xFFFFFFFFLL);
    std::string digits(8, '0');
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, pattern >>= 4) {
        *it = "0123456789ABCDEF"[pattern & 0xFU];
    }
    return digits;
}

} // namespace max2870
