#include "link/hex_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace max2870 {
namespace {

TEST(HexValue, EightDigitsGiveTheTwosComplementPattern) {
    EXPECT_EQ(HexValue("1234567B"), 0x1234567B);
    EXPECT_EQ(HexValue("FFFFFFFF"), -1);
    EXPECT_EQ(HexValue("80000000"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(HexValue("7FFFFFFF"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(HexValue("80A00000"), static_cast<std::int32_t>(0x80A00000U));
    EXPECT_EQ(HexValue("00000000"), 0);
}

TEST(HexValue, LowerCaseReadsLikeUpperCase) {
    EXPECT_EQ(HexValue("00e80190"), 0x00E80190);
    EXPECT_EQ(HexValue("abcdef12"), HexValue("ABCDEF12"));
}

TEST(HexValue, ShortTextIsAShorterTwosComplementNumber) {
    EXPECT_EQ(HexValue("5"), 5);
    EXPECT_EQ(HexValue("F"), -1);
    EXPECT_EQ(HexValue("8"), -8);
    EXPECT_EQ(HexValue("7F"), 127);
    EXPECT_EQ(HexValue("80"), -128);
    EXPECT_EQ(HexValue(""), 0);
}

TEST(HexValue, AStrayCharacterCountsAsMinusOne) {
    EXPECT_EQ(HexValue(" "), -1);
    EXPECT_EQ(HexValue("1}"), 1 * 16 - 1);
    EXPECT_EQ(HexValue("0000000G"), -1);
    EXPECT_EQ(HexValue("G"), -1);
    EXPECT_EQ(HexValue("12 4"), ((1 * 16 + 2) * 16 - 1) * 16 + 4);
}

TEST(HexValue, LeavingTheSigned32BitRangeGivesNothing) {
    EXPECT_FALSE(HexValue("8 000000").has_value());
    EXPECT_FALSE(HexValue("8000000 ").has_value());
    EXPECT_FALSE(HexValue("800000000").has_value()); // a ninth digit
    EXPECT_FALSE(HexValue("7FFFFFFF0").has_value());
    EXPECT_TRUE(HexValue("F 000000").has_value()); // stays just inside
}

TEST(HexFormatLong, AlwaysEightUpperCaseDigits) {
    EXPECT_EQ(HexFormatLong(0), "00000000");
    EXPECT_EQ(HexFormatLong(5), "00000005");
    EXPECT_EQ(HexFormatLong(-1), "FFFFFFFF");
    EXPECT_EQ(HexFormatLong(std::numeric_limits<std::int32_t>::min()), "80000000");
    EXPECT_EQ(HexFormatLong(0x1234567D), "1234567D");
    EXPECT_EQ(HexFormatLong(0x00abcdef), "00ABCDEF");
}

} // namespace
} // namespace max2870
