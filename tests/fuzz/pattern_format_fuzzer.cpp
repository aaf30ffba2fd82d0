// Any double through every pattern the panel, the results text and the listing write. The first
// 8 bytes are the double's bits; any bytes after them are read as a decimal text (strtod) for a
// second value, so the seeds can name halves and other decimal edges exactly.
//
// The written text is checked for its shape (sign, digits, one point, the suffix, the decimal
// places the pattern allows, no stray zeros) and for its value: read back, it lies within half a
// unit of its last place of the value taken to 15 significant digits.

#include "common/numbers.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using max2870::PatternFormat;

struct PatternInUse {
    const char* pattern;
    std::size_t integerZeros; // "0" places before the point
    std::size_t minDecimals;
    std::size_t maxDecimals;
    const char* suffix;
};

constexpr PatternInUse kPatterns[] = {
    {"#0.0#####", 1, 1, 6, ""}, {"#0.00####MHz", 1, 2, 6, "MHz"}, {"###0", 1, 0, 0, ""},
    {"####0", 1, 0, 0, ""},     {"###0.0#Hz", 1, 1, 2, "Hz"},     {"0000", 4, 0, 0, ""},
    {"##", 0, 0, 0, ""},        {"###0.0######", 1, 1, 7, ""},
};

[[noreturn]] void Fail(const char* rule, double value, const PatternInUse& p,
                       const std::string& text) {
    std::fprintf(stderr, "pattern_format: %s\n  value %.17g (%a), pattern \"%s\", text \"%s\"\n",
                 rule, value, value, p.pattern, text.c_str());
    std::abort();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value as printf gives it to 15 significant digits, read back in long double: the 15-digit
// rounding of the largest doubles lies beyond the double range.
long double FifteenDigitValue(double magnitude) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);
    return std::strtold(buffer, nullptr);
}

// The text without its suffix, checked for shape. Returns the number of decimals written.
std::size_t CheckShape(double value, const PatternInUse& p, const std::string& text,
                       std::string& body) {
    const std::string_view suffix(p.suffix);
    if (!std::string_view(text).ends_with(suffix)) {
        Fail("the suffix is missing", value, p, text);
    }
    body = text.substr(0, text.size() - suffix.size());
    if (!std::isfinite(value)) {
        const char* wanted = std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
        if (body != wanted) {
            Fail("a value that is not finite is not written INF, -INF or NAN", value, p, text);
        }
        return 0;
    }
    std::string_view rest(body);
    const bool minus = !rest.empty() && rest.front() == '-';
    if (minus != (value < 0)) {
        Fail("the minus sign does not match the value's sign", value, p, text);
    }
    if (minus) {
        rest.remove_prefix(1);
    }
    const std::size_t point = rest.find('.');
    const std::string_view whole = rest.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : rest.substr(point + 1);
    for (const std::string_view part : {whole, decimals}) {
        for (const char c : part) {
            if (!IsDigit(c)) {
                Fail("a character other than a digit, one point and a leading minus", value, p,
                     text);
            }
        }
    }
    if (point != std::string_view::npos && decimals.empty()) {
        Fail("a point without decimals", value, p, text);
    }
    if (whole.size() < p.integerZeros) {
        Fail("fewer digits before the point than the pattern's 0 places", value, p, text);
    }
    if (whole.size() > p.integerZeros && whole.front() == '0') {
        Fail("a leading zero beyond the pattern's 0 places", value, p, text);
    }
    if (decimals.size() < p.minDecimals || decimals.size() > p.maxDecimals) {
        Fail("the number of decimals is outside the pattern's range", value, p, text);
    }
    if (decimals.size() > p.minDecimals && decimals.back() == '0') {
        Fail("a trailing zero in a # place", value, p, text);
    }
    return decimals.size();
}

void CheckValue(double value, const PatternInUse& p, const std::string& text,
                const std::string& body) {
    if (!std::isfinite(value)) {
        return;
    }
    const long double shown =
        body.empty() || body == "-" ? 0.0L : std::strtold(body.c_str(), nullptr);
    const long double wanted = std::copysign(FifteenDigitValue(std::fabs(value)), value);
    // Both are correctly rounded decimals: allow their two half-ulps on top of the half unit
    // (the ulp is taken downwards; twice that covers the upward one at a power of two).
    const long double halfUnit = 0.5L * std::pow(10.0L, -static_cast<long double>(p.maxDecimals));
    const long double larger = std::fmax(std::fabs(shown), std::fabs(wanted));
    const long double slack = 2.0L * (larger - std::nextafter(larger, 0.0L));
    const long double gap = std::fabs(shown - wanted);
    if (!(gap <= halfUnit * (1 + 1e-12L) + slack)) {
        Fail("the text is further than half a unit of its last place from the value", value, p,
             text);
    }
}

// The patterns without decimals differ only in how many leading zeros they pad to, and the two
// with six decimals only in whether a second decimal zero is kept.
void CheckAcrossPatterns(double value) {
    auto stripZeros = [](std::string text) {
        const std::size_t at = text.starts_with('-') ? 1 : 0;
        std::size_t end = at;
        while (end < text.size() && text[end] == '0') {
            ++end;
        }
        text.erase(at, end - at);
        return text;
    };
    const std::string base = stripZeros(PatternFormat(value, "##"));
    for (const char* pattern : {"###0", "####0", "0000"}) {
        const std::string other = PatternFormat(value, pattern);
        if (std::isfinite(value) ? stripZeros(other) != base : other != base) {
            Fail("whole-number patterns disagree beyond their padding", value, kPatterns[6], other);
        }
    }
    const std::string oneZero = PatternFormat(value, "#0.0#####");
    const std::string twoZeros = PatternFormat(value, "#0.00####MHz");
    const bool oneDecimal = oneZero.size() >= 2 && oneZero[oneZero.size() - 2] == '.';
    const std::string expected = (oneDecimal ? oneZero + "0" : oneZero) + "MHz";
    if (std::isfinite(value) && twoZeros != expected) {
        Fail("the six-decimal patterns disagree", value, kPatterns[1], twoZeros);
    }
}

void CheckValueEverywhere(double value) {
    for (const PatternInUse& p : kPatterns) {
        const std::string text = PatternFormat(value, p.pattern);
        std::string body;
        CheckShape(value, p, text, body);
        CheckValue(value, p, text, body);
    }
    CheckAcrossPatterns(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        CheckValueEverywhere(value);
    }
    if (size > sizeof(double)) {
        const std::string text(reinterpret_cast<const char*>(data) + sizeof(double),
                               size - sizeof(double));
        const double value = std::strtod(text.c_str(), nullptr);
        CheckValueEverywhere(value);
        CheckValueEverywhere(-value);
    }
    return 0;
}
