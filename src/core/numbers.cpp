#include "core/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <locale.h>
#include <optional>
#include <utility>

namespace max2870 {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of [+-]?(d+.?d*|.d+)([eE][+-]?d+)? at the start of the text, 0 when there is none.
// An exponent mark without digits ends the number before it, or, when strict, leaves no number.
std::size_t ScanDecimal(std::string_view t, bool strict) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i) {
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        std::size_t afterPoint = i + 1;
        std::size_t fractionDigits = 0;
        for (; afterPoint < t.size() && IsDigit(t[afterPoint]); ++afterPoint) {
            ++fractionDigits;
        }
        if (digits + fractionDigits > 0) {
            i = afterPoint;
            digits += fractionDigits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t e = i + 1;
        if (e < t.size() && (t[e] == '+' || t[e] == '-')) {
            ++e;
        }
        const std::size_t exponentStart = e;
        for (; e < t.size() && IsDigit(t[e]); ++e) {
        }
        if (e > exponentStart) {
            i = e;
        } else if (strict) {
            return 0;
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

// A positive finite magnitude as d1.d2...d15 x 10^exponent: its 15 significant digits,
// correctly rounded, as printf("%.14e") gives them.
struct FifteenDigits {
    std::array<char, 15> digits{};
    int exponent = 0;
    char At(int position) const { // digit at a position of the string, '0' beyond it
        return position >= 0 && position < 15 ? digits[static_cast<std::size_t>(position)] : '0';
    }
};

// A whole magnitude that a 64-bit integer holds exactly and 15 digits show exactly.
bool IsSmallWhole(double magnitude) {
    return magnitude < 1e15 &&
           static_cast<double>(static_cast<std::uint64_t>(magnitude)) == magnitude;
}

// Reads to_chars' scientific text "d.ddde+XX": the first 15 digits, the 16th for rounding, the
// number of digits and the exponent.
struct Scientific {
    FifteenDigits fifteen;
    int count = 0;
    char sixteenth = '0';
};

Scientific ReadScientific(const char* text, const char* end) {
    Scientific s;
    s.fifteen.digits.fill('0');
    const char* p = text;
    for (; p != end && *p != 'e'; ++p) {
        if (*p == '.') {
            continue;
        }
        if (s.count < 15) {
            s.fifteen.digits[static_cast<std::size_t>(s.count)] = *p;
        } else if (s.count == 15) {
            s.sixteenth = *p;
        }
        ++s.count;
    }
    const char* exponent = p + 1;
    if (exponent < end && *exponent == '+') {
        ++exponent;
    }
    std::from_chars(exponent, end, s.fifteen.exponent);
    return s;
}

// The shortest text that reads back as the magnitude is much cheaper to make than a 15-digit
// rounding of its exact value, and rounding it to 15 digits gives the same digits unless it is
// itself a 15-digit midpoint (16 digits ending in 5): no other midpoint can lie between the two.
FifteenDigits SignificantDigits(double magnitude) {
    char buffer[40];
    FifteenDigits d;
    if (IsSmallWhole(magnitude)) {
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint64_t>(magnitude))
                .ptr;
        d.digits.fill('0');
        std::copy(buffer, end, d.digits.begin());
        d.exponent = static_cast<int>(end - buffer) - 1;
        return d;
    }
    auto end =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific).ptr;
    const Scientific s = ReadScientific(buffer, end);
    // A subnormal has fewer than 15 digits of precision, so its shortest text says too little.
    if ((s.count == 16 && s.sixteenth == '5') || magnitude < std::numeric_limits<double>::min()) {
        end = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                            std::chars_format::scientific, 14)
                  .ptr;
        return ReadScientific(buffer, end).fifteen;
    }
    d = s.fifteen;
    if (s.count > 15 && s.sixteenth >= '5') {
        auto it = d.digits.rbegin();
        for (; it != d.digits.rend() && *it == '9'; ++it) {
            *it = '0';
        }
        if (it == d.digits.rend()) {
            d.digits.front() = '1'; // 9.99...9 became 10.00...0
            ++d.exponent;
        } else {
            ++*it;
        }
    }
    return d;
}

// The number at the start of a text in one pass, when it is a decimal of at most 15 digits with
// no exponent and no ignored character before its end: the digits make a whole number below 2^53
// and 10^k is exact, so the one division rounds correctly, as strtod would. None otherwise.
std::optional<double> ShortDecimal(std::string_view text) {
    constexpr std::array<double, 16> kPowers{1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative || (!text.empty() && text[0] == '+')) {
        ++i;
    }
    std::uint64_t whole = 0;
    int significant = 0;
    int decimals = -1;
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            if (significant >= 15 || decimals >= 15) {
                return std::nullopt;
            }
            whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
            significant += whole != 0 ? 1 : 0;
            decimals += decimals >= 0 ? 1 : 0;
            anyDigit = true;
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else if (c == 'e' || c == 'E' || c == ' ' || c == '\t' || c == '\n') {
            return std::nullopt;
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return i < text.size() ? std::optional<double>(0.0) : std::nullopt;
    }
    const double value =
        static_cast<double>(whole) / kPowers[static_cast<std::size_t>(std::max(decimals, 0))];
    return negative ? -value : value;
}

// The plain text of a positive finite magnitude (printf's "%.15G").
void AppendMagnitude(std::string& text, double magnitude) {
    if (IsSmallWhole(magnitude)) {
        char digits[24];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(magnitude))
                .ptr;
        text.append(digits, end);
        return;
    }
    const FifteenDigits d = SignificantDigits(magnitude);
    std::string_view digits(d.digits.data(), d.digits.size());
    digits = digits.substr(0, digits.find_last_not_of('0') + 1);
    if (d.exponent < -4 || d.exponent >= 15) {
        text += digits.front();
        if (digits.size() > 1) {
            text.append(".").append(digits.substr(1));
        }
        char exponent[8];
        std::snprintf(exponent, sizeof exponent, "E%+03d", d.exponent);
        text.append(exponent);
    } else if (d.exponent < 0) {
        text.append("0.").append(static_cast<std::size_t>(-d.exponent - 1), '0').append(digits);
    } else if (const auto whole = static_cast<std::size_t>(d.exponent) + 1;
               digits.size() <= whole) {
        text.append(digits).append(whole - digits.size(), '0');
    } else {
        text.append(digits.substr(0, whole)).append(".").append(digits.substr(whole));
    }
}

// The 15 digits rounded to the pattern's most decimals, halves away from zero, then shown with
// the pattern's least decimals and whole-number places.
void AppendRounded(std::string& text, const FifteenDigits& d, const NumberPattern& p) {
    const int pointAt = d.exponent + 1;
    const int whole = std::max(pointAt, 0);
    const int first = pointAt - whole;
    const int keptCount = whole + static_cast<int>(p.maxDecimals);
    std::string kept(static_cast<std::size_t>(keptCount) + 1, '0'); // after a carry slot
    for (int i = 0; i < keptCount; ++i) {
        kept[static_cast<std::size_t>(i) + 1] = d.At(first + i);
    }
    if (d.At(first + keptCount) >= '5') {
        auto it = kept.rbegin();
        for (; *it == '9'; ++it) {
            *it = '0';
        }
        ++*it;
    }
    std::string_view integer(kept.data(), static_cast<std::size_t>(whole) + 1);
    std::string_view fraction = std::string_view(kept).substr(integer.size());
    while (fraction.size() > p.minDecimals && fraction.back() == '0') {
        fraction.remove_suffix(1);
    }
    integer.remove_prefix(std::min(integer.find_first_not_of('0'), integer.size()));
    if (integer.size() < p.integerZeros) {
        text.append(p.integerZeros - integer.size(), '0');
    }
    text.append(integer);
    if (!fraction.empty()) {
        text.append(".").append(fraction);
    }
    text.append(p.suffix);
}

std::string NonFiniteText(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    return value < 0 ? "-INF" : "INF";
}

} // namespace

std::size_t DecimalLength(std::string_view text) {
    return ScanDecimal(text, true);
}

double NumberOfText(std::string_view text) {
    if (const std::optional<double> exact = ShortDecimal(text)) {
        return *exact + 0.0; // -0 becomes +0
    }
    const auto ignored = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
    std::string packed;
    std::copy_if(text.begin(), text.end(), std::back_inserter(packed),
                 [&ignored](char c) { return !ignored(c); });
    const std::string_view number = std::string_view(packed).substr(0, ScanDecimal(packed, false));
    if (number.empty()) {
        return 0.0;
    }
    std::string_view unsigned_ = number;
    if (unsigned_.front() == '+') {
        unsigned_.remove_prefix(1); // from_chars takes no plus sign
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(unsigned_.data(), unsigned_.data() + unsigned_.size(), value);
    if (error != std::errc() || end != unsigned_.data() + unsigned_.size()) {
        value = ParseDecimal(std::string(number)); // overflow and underflow as strtod gives them
    }
    return value + 0.0;
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
    std::string text = value < 0 ? "-" : "";
    AppendMagnitude(text, std::fabs(value));
    return text;
}

// Whole numbers are the most common figures a plan prints (dividers, counts). Below 10^15 their
// shortest text is the integer's own digits, unless the exponent form is shorter (3000000 is
// "3e+06"); the general search is left to what remains.
char* WriteShortest(char* first, char* last, double value) {
    const bool whole = std::fabs(value) < 1e15 && value == std::trunc(value) &&
                       !(value == 0 && std::signbit(value));
    if (whole) {
        char* const digitsStart = first + (value < 0 ? 1 : 0);
        char* const end = std::to_chars(first, last, static_cast<long long>(value)).ptr;
        const auto digits = end - digitsStart;
        auto significant = digits;
        while (significant > 1 && digitsStart[significant - 1] == '0') {
            --significant;
        }
        // "d.ddde+XX": the point only with two digits or more, and a two-digit exponent here.
        const auto exponentForm = significant + (significant > 1 ? 1 : 0) + 4;
        if (digits <= exponentForm) {
            return end;
        }
    }
    return std::to_chars(first, last, value).ptr;
}

std::string BlankLedText(double value) {
    std::string text = value < 0 ? "-" : " ";
    const double magnitude = std::fabs(value);
    if (magnitude == 0 || !std::isfinite(magnitude)) {
        return text + PlainText(magnitude);
    }
    const std::size_t start = text.size();
    AppendMagnitude(text, magnitude);
    if (text.compare(start, 2, "0.") == 0) {
        text.erase(start, 1);
    }
    return text;
}

void AppendPattern(std::string& text, double value, const NumberPattern& p) {
    if (!std::isfinite(value)) {
        text.append(NonFiniteText(value)).append(p.suffix);
        return;
    }
    if (value < 0) {
        text += '-';
    }
    const double magnitude = std::fabs(value);
    if (IsSmallWhole(magnitude)) {
        // A whole number: its 15 digits are exact and nothing rounds.
        char digits[24];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(magnitude))
                .ptr;
        const std::string_view integer =
            magnitude == 0 ? std::string_view{} : std::string_view(digits, end);
        if (integer.size() < p.integerZeros) {
            text.append(p.integerZeros - integer.size(), '0');
        }
        text.append(integer);
        if (p.minDecimals > 0) {
            text.append(".").append(p.minDecimals, '0');
        }
        text.append(p.suffix);
        return;
    }
    AppendRounded(text, SignificantDigits(magnitude), p);
}

std::string PatternFormat(double value, std::string_view pattern) {
    std::string text;
    AppendPattern(text, value, NumberPattern(pattern));
    return text;
}

} // namespace max2870
