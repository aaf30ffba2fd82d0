// Reading the number a text begins with, on any bytes. Every finding aborts with the text and
// the broken rule.
//
// The reference is the C++ library's own decimal parser (std::from_chars), which has its own
// correctly rounded conversion: once the grammar's differences are taken care of (a leading
// "+", and no "inf"/"nan" words), both must take the same prefix and give the same double.

#include "common/numbers.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using max2870::BlankLedText;
using max2870::NumberOfText;
using max2870::PlainText;

[[noreturn]] void Fail(const char* rule, std::string_view text, double got, double wanted) {
    std::fprintf(stderr, "number_text: %s\n  text: \"", rule);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
            std::fputc(byte, stderr);
        } else {
            std::fprintf(stderr, "\\x%02X", byte);
        }
    }
    std::fprintf(stderr, "\"\n  got %.17g, wanted %.17g\n", got, wanted);
    std::abort();
}

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string WithoutBlanks(std::string_view text) {
    std::string packed;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            packed += c;
        }
    }
    return packed;
}

// What the reading must give for a text already free of blanks, by the library's parser.
// Returns false when the library reports a result out of range: then only the kind of result
// (infinite, or zero or subnormal) can be checked.
bool LibraryValue(const std::string& packed, double& value) {
    std::string_view rest(packed);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // A number starts with a digit or with a point and a digit; nothing else (no "inf").
    const bool starts =
        !rest.empty() &&
        (IsDigit(rest.front()) || (rest.front() == '.' && rest.size() > 1 && IsDigit(rest[1])));
    if (!starts) {
        value = 0;
        return true;
    }
    double magnitude = 0;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), magnitude,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = negative ? -1.0 : 1.0; // only the sign is known
        return false;
    }
    if (result.ec != std::errc{}) {
        Fail("the library refused a text that starts with a number", packed, 0, 0);
    }
    value = (negative ? -magnitude : magnitude) + 0.0;
    return true;
}

void CheckAgainstLibrary(std::string_view text, double got) {
    const std::string packed = WithoutBlanks(text);
    double wanted = 0;
    if (LibraryValue(packed, wanted)) {
        if (!SameDouble(got, wanted)) {
            Fail("differs from the library's correctly rounded value", text, got, wanted);
        }
        return;
    }
    const bool overflow = std::isinf(got) && std::signbit(got) == std::signbit(wanted);
    const bool underflow = std::fabs(got) < DBL_MIN;
    if (!overflow && !underflow) {
        Fail("a value out of range is neither infinite nor zero or subnormal", text, got, wanted);
    }
}

void CheckRules(std::string_view text, double got) {
    if (std::isnan(got)) {
        Fail("a reading gave NaN", text, got, 0);
    }
    if (got == 0 && std::signbit(got)) {
        Fail("a reading gave -0", text, got, 0);
    }
    bool anyDigit = false;
    for (const char c : text) {
        anyDigit = anyDigit || IsDigit(c);
    }
    if (!anyDigit && got != 0) {
        Fail("a text without any digit is not 0", text, got, 0);
    }
    const std::string packed = WithoutBlanks(text);
    if (const double again = NumberOfText(packed); !SameDouble(again, got)) {
        Fail("deleting blanks, tabs and line feeds changed the value", text, again, got);
    }
    // A CR can never continue a number, so whatever follows it is never read.
    const std::string cut = std::string(text) + "\r" + std::string(text);
    if (const double again = NumberOfText(cut); !SameDouble(again, got)) {
        Fail("text after a CR changed the value", text, again, got);
    }
    if (const double again = NumberOfText("Z" + std::string(text)); again != 0) {
        Fail("a text led by a letter is not 0", text, again, 0);
    }
    // A sign in front of a number that has none negates it (zero stays +0).
    if (!packed.empty() && (IsDigit(packed.front()) || packed.front() == '.')) {
        const double negated = NumberOfText("-" + std::string(text));
        if (!SameDouble(negated, -got + 0.0)) {
            Fail("a leading minus does not negate the value", text, negated, -got);
        }
        const double plus = NumberOfText(" +" + std::string(text));
        if (!SameDouble(plus, got)) {
            Fail("a leading plus changes the value", text, plus, got);
        }
    }
}

// The plain text of a value: printf's %.15G, "0" for zero, INF/-INF for infinities. Whenever 15
// digits already give the value back, reading the plain text must give it back too, and the
// blank-led text must read as the same number.
void CheckPlainText(std::string_view text, double got) {
    const std::string plain = PlainText(got);
    if (std::isinf(got)) {
        if (plain != (got < 0 ? "-INF" : "INF")) {
            Fail("plain text of an infinity", plain, got, got);
        }
        return;
    }
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.15G", got);
    if (got == 0 ? plain != "0" : plain != printed) {
        Fail("plain text differs from %.15G", plain, got, std::strtod(printed, nullptr));
    }
    const double fifteen = std::strtod(printed, nullptr);
    const double reread = NumberOfText(plain);
    if (!SameDouble(reread, fifteen + 0.0)) {
        Fail("the plain text does not read back as its 15-digit value", text, reread, fifteen);
    }
    if (SameDouble(fifteen, got) && !SameDouble(reread, got)) {
        Fail("a 15-digit value does not survive its plain text", text, reread, got);
    }
    const std::string blankLed = BlankLedText(got);
    if (const double again = NumberOfText(blankLed); !SameDouble(again, reread)) {
        Fail("the blank-led text reads differently from the plain text", blankLed, again, reread);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double got = NumberOfText(text);
    CheckRules(text, got);
    CheckAgainstLibrary(text, got);
    CheckPlainText(text, got);
    return 0;
}
