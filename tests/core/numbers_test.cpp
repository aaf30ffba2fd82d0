#include "core/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace max2870 {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();

// clang-format off
// Blanks, tabs and line feeds vanish anywhere; the longest [+-]?(d+.?d*|.d+)([eE][+-]?d+)? prefix
// is read correctly rounded; anything else gives 0, and -0 gives +0.
const struct { const char* text; double value; } kTyped[] = {
    {"10", 10}, {"2320.5", 2320.5}, {"+5", 5}, {"-998.25", -998.25}, {"007", 7}, {".5", 0.5},
    {"5.", 5}, {"-.5e1", -5}, {"+.25", 0.25}, {".", 0}, {"-.", 0}, {".e5", 0}, {"1e3", 1000},
    {"1E3", 1000}, {"2.5e-1", 0.25}, {"1e+2", 100}, {"1e", 1}, {"1e+", 1}, {"1e-", 1}, {"3Ex", 3},
    {"1e2e3", 100}, {"2320.5MHz", 2320.5}, {"1.2.3", 1.2}, {"1..5", 1}, {"1,5", 1}, {"1D3", 1},
    {"1d3", 1}, {"&H10", 0}, {"0x10", 0}, {"", 0}, {"abc", 0}, {"E5", 0}, {"+-5", 0}, {"--5", 0},
    {"INF", 0}, {"NAN", 0}, {" 2320.5", 2320.5}, {"1 2 3", 123}, {"- 5", -5}, {"1\t0\n0", 100},
    {"1 e 3", 1000}, {". 5", 0.5}, {"\n\t 7 \n", 7}, {"1\r0", 1}, {"\r10", 0}, {"\f10", 0},
    {"\v10", 0}, {"\u00A010", 0}, {"0.1", 0.1}, {"9007199254740993", 9007199254740992.0},
    {"9007199254740995", 9007199254740996.0}, {"1e400", kInf}, {"-1e400", -kInf}, {"1e-400", 0},
    {"-1e-400", 0}, {"4.9406564584124654e-324", kTiny}, {"1e-310", 1e-310}, {"-0", 0},
    {"-0.0", 0}, {"-.0e5", 0}, {"-0e-3", 0}, {"3.3333333333333335", 10.0 / 3},
    {"123456789012345678", 123456789012345678.0}, {"0.1234567890123456", 0.1234567890123456},
    {"90071992547409.93", 90071992547409.93}}; // 16 digits: beyond one exact division

// Plain: 15 significant digits, exponent form below 1E-04 and from 1E+15. Blank-led: a blank or
// the minus first, "0." shortened to ".".
const struct { double value; const char* plain; const char* blankLed; } kWritten[] = {
    {2320.5, "2320.5", " 2320.5"}, {4641, "4641", " 4641"}, {-998, "-998", "-998"},
    {0.5, "0.5", " .5"}, {-0.5, "-0.5", "-.5"}, {0.0001, "0.0001", " .0001"},
    {999999999999999.0, "999999999999999", " 999999999999999"}, {0.1 + 0.2, "0.3", " .3"},
    {1.0 / 3, "0.333333333333333", " .333333333333333"}, {1e-5, "1E-05", " 1E-05"},
    {2.0 / 3, "0.666666666666667", " .666666666666667"}, {-1e-5, "-1E-05", "-1E-05"},
    {0.00001234, "1.234E-05", " 1.234E-05"}, {1e15, "1E+15", " 1E+15"}, {0.0, "0", " 0"},
    {999999999999999.875, "1E+15", " 1E+15"}, {1e100, "1E+100", " 1E+100"},
    {-0.0, "0", " 0"}, {kInf, "INF", " INF"}, {-kInf, "-INF", "-INF"}, {kNaN, "NAN", " NAN"},
    {-kNaN, "NAN", " NAN"}, {123456789012345678.0, "1.23456789012346E+17", " 1.23456789012346E+17"},
    {kTiny, "4.94065645841247E-324", " 4.94065645841247E-324"},
    {1e-310, "9.99999999999997E-311", " 9.99999999999997E-311"},
    {3372.591909596385, "3372.59190959638", " 3372.59190959638"}, // just below a midpoint
    {123456789012345.6, "123456789012346", " 123456789012346"},
    {2108.4583313651756, "2108.45833136518", " 2108.45833136518"}}; // 16th digit 5, then more

// The 15-digit decimal rounded to the pattern's places, halves away from zero; "0" places always
// shown, "#" places only when needed; the suffix copied.
const struct { double value; const char* pattern; const char* text; } kPatterned[] = {
    {10, "#0.0#####", "10.0"}, {10.0 / 3, "#0.0#####", "3.333333"}, {0, "#0.0#####", "0.0"},
    {9.9999996, "#0.0#####", "10.0"}, {0.1234565, "#0.0#####", "0.123457"},
    {10, "#0.00####MHz", "10.00MHz"}, {10.0 / 3, "#0.00####MHz", "3.333333MHz"},
    {2.5, "#0.00####MHz", "2.50MHz"}, {0.0625, "#0.00####MHz", "0.0625MHz"}, {232, "###0", "232"},
    {0, "###0", "0"}, {0.5, "###0", "1"}, {2.5, "###0", "3"}, {-2.5, "###0", "-3"},
    {-0.4, "###0", "-0"}, {1234567, "###0", "1234567"}, {1392, "####0", "1392"}, {0, "####0", "0"},
    {-998.0039917536487, "###0.0#Hz", "-998.0Hz"}, {488.28125, "###0.0#Hz", "488.28Hz"},
    {-0.125, "###0.0#Hz", "-0.13Hz"}, {2.675, "###0.0#Hz", "2.68Hz"},
    {1.005, "###0.0#Hz", "1.01Hz"},
    {99.996, "###0.0#Hz", "100.0Hz"}, {0, "###0.0#Hz", "0.0Hz"}, {1.0, "###0.0#Hz", "1.0Hz"},
    {-0.001, "###0.0#Hz", "-0.0Hz"}, {-4.5e-7, "###0.0#Hz", "-0.0Hz"}, {-0.0, "###0.0#Hz", "0.0Hz"},
    {7, "0000", "0007"}, {0, "0000", "0000"}, {4095, "0000", "4095"}, {12345, "0000", "12345"},
    {9999.5, "0000", "10000"}, {-3, "0000", "-0003"},
    {2541666666666667.0, "0000", "2541666666666670"},
    {1e20, "####0", "100000000000000000000"}, {0, "##", ""}, {0.4, "##", ""}, {0.5, "##", "1"},
    {128, "##", "128"}, {100.123456789, "###0.0######", "100.1234568"},
    {5e-8, "###0.0######", "0.0000001"}, {kInf, "###0.0#Hz", "INFHz"},
    {-kInf, "###0.0#Hz", "-INFHz"}, {kNaN, "###0.0#Hz", "NANHz"}, {-kNaN, "#0.00####MHz", "NANMHz"},
    {kInf, "##", "INF"}, {kNaN, "0000", "NAN"}, {0.5, "0000", "0001"}, {1e-20, "#0.0#####", "0.0"},
    {123456789012345678.0, "###0", "123456789012346000"}, {1000, "###0.0######", "1000.0"},
    {0.999, "###0.0#Hz", "1.0Hz"}, {2320.5, "###0.0######", "2320.5"},
    {0.05, "#0.0#####", "0.05"}, {0.000123, "###0.0######", "0.000123"}, {0.04, "0000", "0000"}};

// Floor takes the integer below; to integer the nearest, halves to the even neighbour.
const struct { double value, floor, nearest; } kRounded[] = {
    {2.5, 2, 2}, {3.5, 3, 4}, {66.5, 66, 66}, {-2.5, -3, -2}, {-3.5, -4, -4}, {0.5, 0, 0},
    {1.5, 1, 2}, {20.875, 20, 21}, {66.67, 66, 67}, {2.4999999, 2, 2}, {-0.6, -1, -1}, {3, 3, 3},
    {1e12 + 0.7, 1e12, 1e12 + 1}, {kInf, kInf, kInf}};
// clang-format on

TEST(Numbers, NumberOfATypedText) {
    for (const auto& row : kTyped) {
        const double got = NumberOfText(row.text);
        EXPECT_TRUE(got == row.value && std::signbit(got) == std::signbit(row.value))
            << "number read from the typed text \"" << row.text << "\": " << got;
    }
}

TEST(Numbers, PlainAndBlankLedTexts) {
    for (const auto& row : kWritten) {
        EXPECT_EQ(PlainText(row.value), row.plain) << "plain text shown for " << row.plain;
        EXPECT_EQ(BlankLedText(row.value), row.blankLed) << "box text for " << row.plain;
    }
}

TEST(Numbers, PatternFormat) {
    for (const auto& row : kPatterned) {
        EXPECT_EQ(PatternFormat(row.value, row.pattern), row.text)
            << "text shown through \"" << row.pattern << "\", wanted \"" << row.text << "\"";
    }
}

TEST(Numbers, FloorAndToInteger) {
    for (const auto& row : kRounded) {
        EXPECT_EQ(Floor(row.value), row.floor) << "whole part shown for " << row.value;
        EXPECT_EQ(ToInteger(row.value), row.nearest) << "field value rounded from " << row.value;
    }
}

// The figures a sweep prints must read exactly as the standard library's shortest form, whole
// numbers included, whose exponent form wins when it is shorter (3e+06, 1e+14).
TEST(Numbers, ShortestTextMatchesTheLibrary) {
    std::vector<double> values = {0.0,      -0.0,
                                  1,        -1,
                                  7,        10,
                                  100,      3000,
                                  3000000,  1e14,
                                  1e15 - 1, 1e15,
                                  1e15 + 1, 12e5,
                                  1234e10,  999999999999999,
                                  -4e7,     3000.001,
                                  0.5,      1e300,
                                  5e-324,   std::nextafter(1e15, 0.0)};
    for (int mantissa : {1, 2, 12, 123, 1234, 98765}) {
        for (double scale = 1; scale < 1e16; scale *= 10) {
            values.push_back(mantissa * scale);
            values.push_back(-mantissa * scale);
        }
    }
    std::mt19937_64 bits(2870);
    for (int i = 0; i < 20000; ++i) {
        const auto word = bits();
        values.push_back(std::bit_cast<double>(word));
        values.push_back(static_cast<double>(static_cast<std::int64_t>(word >> (word % 64))));
    }
    for (const double value : values) {
        if (!std::isfinite(value)) {
            continue;
        }
        char expected[32];
        char got[32];
        const std::string want(expected, std::to_chars(expected, expected + 32, value).ptr);
        const std::string have(got, WriteShortest(got, got + 32, value));
        ASSERT_EQ(have, want) << "a CSV or JSON figure would differ for " << want;
    }
}

} // namespace
} // namespace max2870
