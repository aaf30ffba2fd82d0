#include "model/hex_format.h"

#include <cmath>

namespace max2870 {

void WriteHexDigits(char* out, std::uint32_t pattern) {
    for (int i = 7; i >= 0; --i, pattern >>= 4) {
        out[i] = "0123456789ABCDEF"[pattern & 0xFU];
    }
}

void AppendHexFormat(std::string& text, std::uint32_t pattern) {
    char digits[8];
    WriteHexDigits(digits, pattern);
    text.append(digits, sizeof digits);
}

std::string HexFormat(double word) {
    constexpr double kTwo31 = 2147483648.0;
    if (word > kTwo31 || std::isnan(word) || word < -kTwo31) {
        return {};
    }
    // The pattern of the whole number; 2^31 itself gives 80000000 like -2^31.
    const auto whole = static_cast<std::int64_t>(word);
    std::string text;
    AppendHexFormat(text, static_cast<std::uint32_t>(whole & 0xFFFFFFFFLL));
    return text;
}

} // namespace max2870
