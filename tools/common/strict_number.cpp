#include "strict_number.h"

#include "core/numbers.h"

#include <cmath>

namespace max2870 {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the run of ASCII digits from `from` ends.
std::size_t DigitsEnd(std::string_view text, std::size_t from) {
    while (from < text.size() && IsDigit(text[from])) {
        ++from;
    }
    return from;
}

// The decimal form alone: from_chars would also take "inf", "nan" and hexadecimal forms.
bool IsDecimalForm(std::string_view text) {
    std::size_t i = text.starts_with('+') || text.starts_with('-') ? 1 : 0;
    const std::size_t whole = DigitsEnd(text, i);
    bool any = whole > i;
    i = whole;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = DigitsEnd(text, i + 1);
        any = any || fraction > i + 1;
        i = fraction;
    }
    if (!any) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        i = DigitsEnd(text, exponent);
        if (i == exponent) {
            return false;
        }
    }
    return i == text.size();
}

} // namespace

std::optional<double> StrictNumber(std::string_view text) {
    text = Trimmed(text);
    if (!IsDecimalForm(text)) {
        return std::nullopt;
    }
    // The whole text is the number, so the window's reading of it is exactly this number.
    const double value = NumberOfText(text);
    if (!std::isfinite(value)) {
        return std::nullopt; // beyond the largest double
    }
    return value;
}

std::string NotANumber(std::string_view where, std::string_view text) {
    return std::string(where) + ": '" + std::string(text) + "' is not a finite decimal number";
}

} // namespace max2870
