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

} // namespace

std::optional<double> StrictNumber(std::string_view text) {
    text = Trimmed(text);
    // The decimal form alone: from_chars would also take "inf", "nan" and hexadecimal forms.
    if (text.empty() || DecimalLength(text) != text.size()) {
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
