#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace max2870 {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of the form [+-]?(d+.?d*|.d+)([eE][+-]?d+)?, 0 when none.
std::size_t NumberPrefixLength(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < t.size() && IsDigit(t[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < t.size() && t[i] == '.') {
        std::size_t afterPoint = i + 1;
        std::size_t fractionDigits = 0;
        while (afterPoint < t.size() && IsDigit(t[afterPoint])) {
            ++afterPoint;
            ++fractionDigits;
        }
        if (mantissaDigits + fractionDigits > 0) {
            i = afterPoint;
            mantissaDigits += fractionDigits;
        }
    }
    if (mantissaDigits == 0) {
        return 0;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t e = i + 1;
        if (e < t.size() && (t[e] == '+' || t[e] == '-')) {
            ++e;
        }
        const std::size_t exponentStart = e;
        while (e < t.size() && IsDigit(t[e])) {
            ++e;
        }
        if (e > exponentStart) {
            i = e;
        }
    }
    return i;
}

// strtod in the C locale: correctly rounded, overflow to infinity, underflow to 0 or a
// subnormal, whatever locale the window toolkit has set for the process.
double ParseDecimal(const std::string& text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text.c_str(), nullptr, cLocale);
}

struct DecimalDigits {
    std::string integerPart;
    std::string fractionPart;
};

// The magnitude with 15 significant digits, split at the decimal point.
DecimalDigits FifteenDigits(double magnitude) {
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t mark = text.find('e');
    std::string digits;
    digits += text[0];
    digits.append(text.substr(2, mark - 2));
    int exponent = 0;
    std::string_view exponentText = text.substr(mark + 1);
    if (exponentText.front() == '+') {
        exponentText.remove_prefix(1);
    }
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    const int pointAt = exponent + 1;
    const int count = static_cast<int>(digits.size());
    if (pointAt <= 0) {
        return {"0", std::string(static_cast<std::size_t>(-pointAt), '0') + digits};
    }
    if (pointAt >= count) {
        return {digits + std::string(static_cast<std::size_t>(pointAt - count), '0'), ""};
    }
    return {digits.substr(0, static_cast<std::size_t>(pointAt)),
            digits.substr(static_cast<std::size_t>(pointAt))};
}

// Adds one unit in the last place of integer and fraction digits taken together.
void IncrementLastPlace(DecimalDigits& d) {
    for (auto it = d.fractionPart.rbegin(); it != d.fractionPart.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    for (auto it = d.integerPart.rbegin(); it != d.integerPart.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    d.integerPart.insert(d.integerPart.begin(), '1');
}

struct Pattern {
    std::size_t integerZeros = 0;
    std::size_t minDecimals = 0;
    std::size_t maxDecimals = 0;
    std::string_view suffix;
};

Pattern ParsePattern(std::string_view pattern) {
    Pattern p;
    std::size_t i = 0;
    for (; i < pattern.size() && (pattern[i] == '#' || pattern[i] == '0'); ++i) {
        p.integerZeros += pattern[i] == '0' ? 1 : 0;
    }
    if (i < pattern.size() && pattern[i] == '.') {
        for (++i; i < pattern.size() && (pattern[i] == '#' || pattern[i] == '0'); ++i) {
            ++p.maxDecimals;
            // A "0" place after a "#" place is still shown: the "0" places are the minimum.
            if (pattern[i] == '0') {
                p.minDecimals = p.maxDecimals;
            }
        }
    }
    p.suffix = pattern.substr(i);
    return p;
}

std::string NonFiniteText(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    return value < 0 ? "-INF" : "INF";
}

} // namespace

double NumberOfText(std::string_view text) {
    std::string packed;
    packed.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            packed += c;
        }
    }
    const std::size_t length = NumberPrefixLength(packed);
    if (length == 0) {
        return 0.0;
    }
    packed.resize(length);
    return ParseDecimal(packed) + 0.0; // -0 becomes +0
}

double Floor(double value) {
    return std::floor(value);
}

double ToInteger(double value) {
    return std::nearbyint(value);
}

std::string PlainText(double value) {
    if (value == 0) {
        return "0";
    }
    if (!std::isfinite(value)) {
        return NonFiniteText(value);
    }
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

std::string BlankLedText(double value) {
    std::string text = value < 0 ? "-" : " ";
    std::string magnitude = PlainText(std::fabs(value));
    if (magnitude.starts_with("0.")) {
        magnitude.erase(0, 1);
    }
    return text + magnitude;
}

std::string PatternFormat(double value, std::string_view pattern) {
    const Pattern p = ParsePattern(pattern);
    if (!std::isfinite(value)) {
        return NonFiniteText(value) + std::string(p.suffix);
    }
    DecimalDigits d = FifteenDigits(std::fabs(value));
    if (d.fractionPart.size() > p.maxDecimals) {
        const bool roundUp = d.fractionPart[p.maxDecimals] >= '5';
        d.fractionPart.resize(p.maxDecimals);
        if (roundUp) {
            IncrementLastPlace(d);
        }
    }
    while (d.fractionPart.size() > p.minDecimals && d.fractionPart.back() == '0') {
        d.fractionPart.pop_back();
    }
    if (d.fractionPart.size() < p.minDecimals) {
        d.fractionPart.append(p.minDecimals - d.fractionPart.size(), '0');
    }
    const std::size_t firstNonZero = d.integerPart.find_first_not_of('0');
    d.integerPart.erase(0, firstNonZero == std::string::npos ? d.integerPart.size() : firstNonZero);
    if (d.integerPart.size() < p.integerZeros) {
        d.integerPart.insert(0, p.integerZeros - d.integerPart.size(), '0');
    }
    std::string text = value < 0 ? "-" : "";
    text += d.integerPart;
    if (!d.fractionPart.empty()) {
        text += '.';
        text += d.fractionPart;
    }
    text += p.suffix;
    return text;
}

} // namespace max2870
