#include "link/port_order.h"

#include <cctype>
#include <string_view>

namespace max2870 {

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// A run of digits without its leading zeros; longer means larger.
std::string_view DigitRun(const std::string& text, std::size_t& position) {
    while (position < text.size() && text[position] == '0' && position + 1 < text.size() &&
           IsDigit(text[position + 1])) {
        ++position;
    }
    const std::size_t start = position;
    while (position < text.size() && IsDigit(text[position])) {
        ++position;
    }
    return std::string_view(text).substr(start, position - start);
}

} // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::string_view numberA = DigitRun(a, i);
            const std::string_view numberB = DigitRun(b, j);
            if (numberA.size() != numberB.size()) {
                return numberA.size() < numberB.size();
            }
            if (numberA != numberB) {
                return numberA < numberB;
            }
        } else if (a[i] != b[j]) {
            return a[i] < b[j];
        } else {
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

} // namespace max2870
