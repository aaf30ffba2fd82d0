#include "link/hex_value.h"

#include <limits>

namespace max2870 {

namespace {

constexpr std::string_view kDigits = "0123456789ABCDEF";

int DigitOf(char c) {
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A'); // ASCII only: received bytes are not a locale text
    }
    const auto position = kDigits.find(c);
    return position == std::string_view::npos ? -1 : static_cast<int>(position);
}

bool InRange(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

std::optional<std::int32_t> HexValue(std::string_view text) {
    std::int64_t acc = 0;
    bool first = true;
    for (const char c : text) {
        const int digit = DigitOf(c);
        if (first && digit >= 8) {
            acc = digit - 16;
        } else {
            // Both steps are checked: the product alone may already leave the range.
            const std::int64_t shifted = acc * 16;
            if (!InRange(shifted) || !InRange(shifted + digit)) {
                return std::nullopt;
            }
            acc = shifted + digit;
        }
        first = false;
    }
    return static_cast<std::int32_t>(acc);
}

} // namespace max2870
