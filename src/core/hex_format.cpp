#include "core/hex_format.h"

#include <array>
#include <cmath>

namespace max2870 {

namespace {

// The two digits of every byte: a word is written a byte at a time.
constexpr std::array<char, 512> kBytePairs = [] {
    std::array<char, 512> pairs{};
    for (std::size_t byte = 0; byte < 256; ++byte) {
        pairs[2 * byte] = "0123456789ABCDEF"[byte >> 4];
        pairs[2 * byte + 1] = "0123456789ABCDEF"[byte & 0xF];
    }
    return pairs;
}();

} // namespace

void WriteHexDigits(char* out, std::uint32_t pattern) {
    for (int i = 6; i >= 0; i -= 2, pattern >>= 8) {
        const std::size_t pair = 2 * (pattern & 0xFFU);
        out[i] = kBytePairs[pair];
        out[i + 1] = kBytePairs[pair + 1];
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
