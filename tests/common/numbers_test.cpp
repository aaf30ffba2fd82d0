#include "common/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace max2870 {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// --- number of a text -------------------------------------------------------------------------

TEST(NumberOfText, ReadsPlainDecimalsAndSigns) {
    EXPECT_EQ(NumberOfText("10"), 10.0);
    EXPECT_EQ(NumberOfText("2320.5"), 2320.5);
    EXPECT_EQ(NumberOfText("+5"), 5.0);
    EXPECT_EQ(NumberOfText("-998.25"), -998.25);
    EXPECT_EQ(NumberOfText("007"), 7.0);
}

TEST(NumberOfText, PointMayStandOnEitherSideOfTheDigits) {
    EXPECT_EQ(NumberOfText(".5"), 0.5);
    EXPECT_EQ(NumberOfText("5."), 5.0);
    EXPECT_EQ(NumberOfText("-.5e1"), -5.0);
    EXPECT_EQ(NumberOfText("+.25"), 0.25);
    // A point with no digit on either side is no number.
    EXPECT_EQ(NumberOfText("."), 0.0);
    EXPECT_EQ(NumberOfText("-."), 0.0);
    EXPECT_EQ(NumberOfText(".e5"), 0.0);
}

TEST(NumberOfText, ExponentIsTakenOnlyWithItsDigits) {
    EXPECT_EQ(NumberOfText("1e3"), 1000.0);
    EXPECT_EQ(NumberOfText("1E3"), 1000.0);
    EXPECT_EQ(NumberOfText("2.5e-1"), 0.25);
    EXPECT_EQ(NumberOfText("1e+2"), 100.0);
    EXPECT_EQ(NumberOfText("1e"), 1.0);
    EXPECT_EQ(NumberOfText("1e+"), 1.0);
    EXPECT_EQ(NumberOfText("1e-"), 1.0);
    EXPECT_EQ(NumberOfText("3Ex"), 3.0);
    EXPECT_EQ(NumberOfText("1e2e3"), 100.0);
}

TEST(NumberOfText, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(NumberOfText("2320.5MHz"), 2320.5);
    EXPECT_EQ(NumberOfText("1.2.3"), 1.2);
    EXPECT_EQ(NumberOfText("12abc"), 12.0);
    EXPECT_EQ(NumberOfText("1,5"), 1.0);
    EXPECT_EQ(NumberOfText("1e5x"), 100000.0);
    // Neither a D exponent nor hexadecimal forms are numbers here.
    EXPECT_EQ(NumberOfText("1D3"), 1.0);
    EXPECT_EQ(NumberOfText("1d3"), 1.0);
    EXPECT_EQ(NumberOfText("&H10"), 0.0);
    EXPECT_EQ(NumberOfText("0x10"), 0.0);
}

TEST(NumberOfText, TextWithoutANumberGivesZero) {
    EXPECT_EQ(NumberOfText(""), 0.0);
    EXPECT_EQ(NumberOfText("abc"), 0.0);
    EXPECT_EQ(NumberOfText("E5"), 0.0);
    EXPECT_EQ(NumberOfText("+-5"), 0.0);
    EXPECT_EQ(NumberOfText("--5"), 0.0);
    EXPECT_EQ(NumberOfText("INF"), 0.0);
    EXPECT_EQ(NumberOfText("NAN"), 0.0);
}

TEST(NumberOfText, BlanksTabsAndLineFeedsAreDeletedAnywhere) {
    EXPECT_EQ(NumberOfText(" 2320.5"), 2320.5);
    EXPECT_EQ(NumberOfText("1 2 3"), 123.0);
    EXPECT_EQ(NumberOfText("- 5"), -5.0);
    EXPECT_EQ(NumberOfText("1\t0\n0"), 100.0);
    EXPECT_EQ(NumberOfText("1 e 3"), 1000.0);
    EXPECT_EQ(NumberOfText(". 5"), 0.5);
    EXPECT_EQ(NumberOfText("\n\t 7 \n"), 7.0);
}

TEST(NumberOfText, OtherWhiteSpaceEndsTheNumber) {
    EXPECT_EQ(NumberOfText("1\r0"), 1.0);
    EXPECT_EQ(NumberOfText("\r10"), 0.0);
    EXPECT_EQ(NumberOfText("\f10"), 0.0);
    EXPECT_EQ(NumberOfText("\v10"), 0.0);
    EXPECT_EQ(NumberOfText("\xC2\xA0"
                           "10"),
              0.0); // a no-break space
}

TEST(NumberOfText, ConvertsCorrectlyRounded) {
    EXPECT_EQ(NumberOfText("0.1"), 0.1);
    EXPECT_EQ(NumberOfText("3.3333333333333335"), 10.0 / 3.0);
    // 2^53 + 1 lies halfway between two doubles: the even one is taken.
    EXPECT_EQ(NumberOfText("9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(NumberOfText("9007199254740995"), 9007199254740996.0);
    EXPECT_EQ(NumberOfText("123456789012345678"), 123456789012345678.0);
}

TEST(NumberOfText, OverflowAndUnderflow) {
    EXPECT_EQ(NumberOfText("1e400"), kInf);
    EXPECT_EQ(NumberOfText("-1e400"), -kInf);
    EXPECT_EQ(NumberOfText("1e-400"), 0.0);
    EXPECT_FALSE(std::signbit(NumberOfText("-1e-400")));
    EXPECT_EQ(NumberOfText("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(NumberOfText("1e-310"), 1e-310);
}

TEST(NumberOfText, NegativeZeroBecomesPositiveZero) {
    for (const char* text : {"-0", "-0.0", "-.0e5", "-0e-3"}) {
        const double value = NumberOfText(text);
        EXPECT_EQ(value, 0.0) << text;
        EXPECT_FALSE(std::signbit(value)) << text;
    }
}

// --- floor and to integer ---------------------------------------------------------------------

TEST(Floor, TakesTheIntegerBelow) {
    EXPECT_EQ(Floor(2.9), 2.0);
    EXPECT_EQ(Floor(3.0), 3.0);
    EXPECT_EQ(Floor(-0.5), -1.0);
    EXPECT_EQ(Floor(-2.5), -3.0);
    EXPECT_EQ(Floor(166.67 + 0.5), 167.0);
    EXPECT_EQ(Floor(1e20), 1e20);
    EXPECT_EQ(Floor(kInf), kInf);
    EXPECT_TRUE(std::isnan(Floor(kNaN)));
}

TEST(ToInteger, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(ToInteger(2.5), 2.0);
    EXPECT_EQ(ToInteger(3.5), 4.0);
    EXPECT_EQ(ToInteger(66.5), 66.0);
    EXPECT_EQ(ToInteger(-2.5), -2.0);
    EXPECT_EQ(ToInteger(-3.5), -4.0);
    EXPECT_EQ(ToInteger(0.5), 0.0);
    EXPECT_EQ(ToInteger(1.5), 2.0);
}

TEST(ToInteger, OtherValuesGoToTheNearest) {
    EXPECT_EQ(ToInteger(20.875), 21.0);
    EXPECT_EQ(ToInteger(66.67), 67.0);
    EXPECT_EQ(ToInteger(2.4999999), 2.0);
    EXPECT_EQ(ToInteger(-0.6), -1.0);
    EXPECT_EQ(ToInteger(2000.0), 2000.0);
    // No 32-bit limit: band select and phase values are rounded as doubles.
    EXPECT_EQ(ToInteger(1e12 + 0.7), 1e12 + 1.0);
    EXPECT_EQ(ToInteger(kInf), kInf);
}

// --- plain text -------------------------------------------------------------------------------

TEST(PlainText, ShortDecimalForms) {
    EXPECT_EQ(PlainText(2500), "2500");
    EXPECT_EQ(PlainText(62.5), "62.5");
    EXPECT_EQ(PlainText(0.5), "0.5");
    EXPECT_EQ(PlainText(-62.5), "-62.5");
    EXPECT_EQ(PlainText(1160.25), "1160.25");
    EXPECT_EQ(PlainText(0.0001), "0.0001");
    EXPECT_EQ(PlainText(999999999999999.0), "999999999999999");
}

TEST(PlainText, FifteenSignificantDigits) {
    EXPECT_EQ(PlainText(0.1 + 0.2), "0.3");
    EXPECT_EQ(PlainText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(PlainText(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(PlainText(10.0 / 3.0), "3.33333333333333");
    EXPECT_EQ(PlainText(-998.0039917536487), "-998.003991753649");
}

TEST(PlainText, ExponentFormOutsideTheDecimalRange) {
    EXPECT_EQ(PlainText(1e-5), "1E-05");
    EXPECT_EQ(PlainText(-1e-5), "-1E-05");
    EXPECT_EQ(PlainText(0.00001234), "1.234E-05");
    EXPECT_EQ(PlainText(1e15), "1E+15");
    EXPECT_EQ(PlainText(123456789012345678.0), "1.23456789012346E+17");
    EXPECT_EQ(PlainText(1e100), "1E+100");
    EXPECT_EQ(PlainText(1.5e-300), "1.5E-300");
    EXPECT_EQ(PlainText(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
    // The exponent is that of the rounded value: 999999999999999.875 rounds up to 1E+15.
    EXPECT_EQ(PlainText(999999999999999.875), "1E+15");
}

TEST(PlainText, ZeroAndNonFiniteValues) {
    EXPECT_EQ(PlainText(0.0), "0");
    EXPECT_EQ(PlainText(-0.0), "0");
    EXPECT_EQ(PlainText(kInf), "INF");
    EXPECT_EQ(PlainText(-kInf), "-INF");
    EXPECT_EQ(PlainText(kNaN), "NAN");
    EXPECT_EQ(PlainText(-kNaN), "NAN");
}

// --- blank-led text ---------------------------------------------------------------------------

TEST(BlankLedText, BlankOrMinusFirst) {
    EXPECT_EQ(BlankLedText(2320.5), " 2320.5");
    EXPECT_EQ(BlankLedText(4641), " 4641");
    EXPECT_EQ(BlankLedText(5000000), " 5000000");
    EXPECT_EQ(BlankLedText(-998), "-998");
    EXPECT_EQ(BlankLedText(0.0), " 0");
    EXPECT_EQ(BlankLedText(-0.0), " 0");
}

TEST(BlankLedText, LeadingZeroBeforeThePointIsLeftOut) {
    EXPECT_EQ(BlankLedText(0.5), " .5");
    EXPECT_EQ(BlankLedText(-0.5), "-.5");
    EXPECT_EQ(BlankLedText(0.0001), " .0001");
    EXPECT_EQ(BlankLedText(1.0 / 3.0), " .333333333333333");
    // The exponent form has no "0." to shorten.
    EXPECT_EQ(BlankLedText(1e-5), " 1E-05");
    EXPECT_EQ(BlankLedText(-1e-5), "-1E-05");
    EXPECT_EQ(BlankLedText(10.5), " 10.5");
}

TEST(BlankLedText, NonFiniteValues) {
    EXPECT_EQ(BlankLedText(kNaN), " NAN");
    EXPECT_EQ(BlankLedText(-kNaN), " NAN");
    EXPECT_EQ(BlankLedText(kInf), " INF");
    EXPECT_EQ(BlankLedText(-kInf), "-INF");
}

// --- pattern format ---------------------------------------------------------------------------

TEST(PatternFormat, ComparisonFrequencyPatterns) {
    EXPECT_EQ(PatternFormat(10, "#0.0#####"), "10.0");
    EXPECT_EQ(PatternFormat(10.0 / 3.0, "#0.0#####"), "3.333333");
    EXPECT_EQ(PatternFormat(2.5, "#0.0#####"), "2.5");
    EXPECT_EQ(PatternFormat(0, "#0.0#####"), "0.0");
    EXPECT_EQ(PatternFormat(1e-20, "#0.0#####"), "0.0");
    EXPECT_EQ(PatternFormat(9.9999996, "#0.0#####"), "10.0");
    EXPECT_EQ(PatternFormat(10, "#0.00####MHz"), "10.00MHz");
    EXPECT_EQ(PatternFormat(10.0 / 3.0, "#0.00####MHz"), "3.333333MHz");
    EXPECT_EQ(PatternFormat(2.5, "#0.00####MHz"), "2.50MHz");
    EXPECT_EQ(PatternFormat(100, "#0.00####MHz"), "100.00MHz");
    EXPECT_EQ(PatternFormat(0.0625, "#0.00####MHz"), "0.0625MHz");
}

TEST(PatternFormat, WholeNumberPatterns) {
    EXPECT_EQ(PatternFormat(232, "###0"), "232");
    EXPECT_EQ(PatternFormat(0, "###0"), "0");
    EXPECT_EQ(PatternFormat(1392, "####0"), "1392");
    EXPECT_EQ(PatternFormat(0, "####0"), "0");
    EXPECT_EQ(PatternFormat(65536, "####0"), "65536");
    EXPECT_EQ(PatternFormat(0.4, "###0"), "0");
    EXPECT_EQ(PatternFormat(-7, "###0"), "-7");
    // No thousands separators and no limit of digits.
    EXPECT_EQ(PatternFormat(1234567, "###0"), "1234567");
}

TEST(PatternFormat, HalvesGoAwayFromZero) {
    EXPECT_EQ(PatternFormat(0.5, "###0"), "1");
    EXPECT_EQ(PatternFormat(1.5, "###0"), "2");
    EXPECT_EQ(PatternFormat(2.5, "###0"), "3");
    EXPECT_EQ(PatternFormat(-2.5, "###0"), "-3");
    EXPECT_EQ(PatternFormat(488.28125, "###0.0#Hz"), "488.28Hz");
    EXPECT_EQ(PatternFormat(0.125, "###0.0#Hz"), "0.13Hz");
    EXPECT_EQ(PatternFormat(-0.125, "###0.0#Hz"), "-0.13Hz");
}

TEST(PatternFormat, RoundsTheFifteenDigitDecimalNotTheBinaryValue) {
    // Each of these doubles lies just below the written half; its 15-digit decimal is the half.
    EXPECT_EQ(PatternFormat(2.675, "###0.0#Hz"), "2.68Hz");
    EXPECT_EQ(PatternFormat(1.005, "###0.0#Hz"), "1.01Hz");
    EXPECT_EQ(PatternFormat(0.045, "###0.0#Hz"), "0.05Hz");
    EXPECT_EQ(PatternFormat(0.1234565, "#0.0#####"), "0.123457");
    EXPECT_EQ(PatternFormat(5e-8, "###0.0######"), "0.0000001");
}

TEST(PatternFormat, RoundingCarriesIntoTheWholePart) {
    EXPECT_EQ(PatternFormat(0.999, "###0.0#Hz"), "1.0Hz");
    EXPECT_EQ(PatternFormat(99.996, "###0.0#Hz"), "100.0Hz");
    EXPECT_EQ(PatternFormat(9999.5, "0000"), "10000");
    EXPECT_EQ(PatternFormat(0.5, "##"), "1");
}

TEST(PatternFormat, ErrorPattern) {
    EXPECT_EQ(PatternFormat(-998.0039917536487, "###0.0#Hz"), "-998.0Hz");
    EXPECT_EQ(PatternFormat(-500000, "###0.0#Hz"), "-500000.0Hz");
    EXPECT_EQ(PatternFormat(0, "###0.0#Hz"), "0.0Hz");
    EXPECT_EQ(PatternFormat(1.01, "###0.0#Hz"), "1.01Hz");
    EXPECT_EQ(PatternFormat(1.0, "###0.0#Hz"), "1.0Hz");
}

TEST(PatternFormat, MinusStaysWhenTheValueShowsAsZero) {
    EXPECT_EQ(PatternFormat(-0.001, "###0.0#Hz"), "-0.0Hz");
    EXPECT_EQ(PatternFormat(-4.5e-7, "###0.0#Hz"), "-0.0Hz");
    EXPECT_EQ(PatternFormat(-0.4, "###0"), "-0");
    // Negative zero is not below zero.
    EXPECT_EQ(PatternFormat(-0.0, "###0.0#Hz"), "0.0Hz");
}

TEST(PatternFormat, ZeroPaddedPattern) {
    EXPECT_EQ(PatternFormat(7, "0000"), "0007");
    EXPECT_EQ(PatternFormat(0, "0000"), "0000");
    EXPECT_EQ(PatternFormat(50, "0000"), "0050");
    EXPECT_EQ(PatternFormat(4095, "0000"), "4095");
    EXPECT_EQ(PatternFormat(12345, "0000"), "12345");
    EXPECT_EQ(PatternFormat(0.5, "0000"), "0001");
    EXPECT_EQ(PatternFormat(-3, "0000"), "-0003");
}

TEST(PatternFormat, WholeNumbersBeyondFifteenDigitsKeepFifteen) {
    EXPECT_EQ(PatternFormat(2541666666666667.0, "0000"), "2541666666666670");
    EXPECT_EQ(PatternFormat(123456789012345678.0, "###0"), "123456789012346000");
    EXPECT_EQ(PatternFormat(1e20, "####0"), "100000000000000000000");
}

TEST(PatternFormat, HashOnlyPattern) {
    EXPECT_EQ(PatternFormat(0, "##"), "");
    EXPECT_EQ(PatternFormat(0.4, "##"), "");
    EXPECT_EQ(PatternFormat(1, "##"), "1");
    EXPECT_EQ(PatternFormat(2, "##"), "2");
    EXPECT_EQ(PatternFormat(128, "##"), "128");
}

TEST(PatternFormat, ListingFrequencyPattern) {
    EXPECT_EQ(PatternFormat(2320.5, "###0.0######"), "2320.5");
    EXPECT_EQ(PatternFormat(1000, "###0.0######"), "1000.0");
    EXPECT_EQ(PatternFormat(100.123456789, "###0.0######"), "100.1234568");
    EXPECT_EQ(PatternFormat(1160.25, "###0.0######"), "1160.25");
    EXPECT_EQ(PatternFormat(4e-8, "###0.0######"), "0.0");
    EXPECT_EQ(PatternFormat(0.5, "###0.0######"), "0.5");
}

TEST(PatternFormat, NonFiniteValuesKeepTheSuffix) {
    EXPECT_EQ(PatternFormat(kInf, "###0.0#Hz"), "INFHz");
    EXPECT_EQ(PatternFormat(-kInf, "###0.0#Hz"), "-INFHz");
    EXPECT_EQ(PatternFormat(kNaN, "###0.0#Hz"), "NANHz");
    EXPECT_EQ(PatternFormat(-kNaN, "#0.00####MHz"), "NANMHz");
    EXPECT_EQ(PatternFormat(kInf, "###0"), "INF");
    EXPECT_EQ(PatternFormat(kNaN, "0000"), "NAN");
    EXPECT_EQ(PatternFormat(kInf, "##"), "INF");
}

} // namespace
} // namespace max2870
