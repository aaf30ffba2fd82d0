// The EEPROM listing: its bytes for a complete plan, the reference suffix, a refused plan.

#include "core/listing.h"

#include <gtest/gtest.h>

namespace max2870 {
namespace {

TEST(Listing, WorkedExampleBytesAndReferenceSuffix) {
    SynthState s;
    s.R = 1;
    s.OutDiv = 2;
    s.Fout = 2320.5;
    s.N = 464;
    s.Fract = 50;
    s.Denom = 500;
    s.words = {0x00E80190, 0x20000FA1, 0x18005E42, 0xB, 0x609C80FC, 0x00400005};
    EXPECT_EQ(
        ListingText(s, {"10", false, false}),
        ";  R = 1    N = 464    D =  0500   F = 0050    Odiv = 2\r\n"
        ";  Fout = 2320.5MHz      Ref = 10MHz\r\n"
        "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5\r\n   de 0x60, 0x9C, 0x80, 0xFC    ;Reg 4\r\n"
        "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3\r\n   de 0x18, 0x00, 0x5E, 0x42    ;Reg 2\r\n"
        "   de 0x20, 0x00, 0x0F, 0xA1    ;Reg 1\r\n   de 0x00, 0xE8, 0x01, 0x90    ;Reg 0\r\n")
        << "listing pasted into PIC source";
    EXPECT_NE(ListingText(s, {" 5.0", true, true}).find("Ref =  5.0MHz /2 X2\r\n"),
              std::string::npos)
        << "reference as typed with both suffixes";
    EXPECT_NE(ListingText(s, {"10", false, true}).find("Ref = 10MHz X2\r\n"), std::string::npos)
        << "doubler suffix";
    EXPECT_NE(ListingText(s, {"1\r0\r\n5\n", false, false}).find("Ref = 1 0 5 MHz\r\n"),
              std::string::npos)
        << "a pasted reference's line ends stay inside its comment line";
    EXPECT_EQ(EEhexData(static_cast<std::int32_t>(0x80E80007)),
              "   de 0x80, 0xE8, 0x00, 0x07    ;Reg 7")
        << "a negative word's bytes and address";
}

TEST(Listing, RefusedPlanGivesTheMessageAsComments) {
    SynthState s;
    s.words[0] = 0x00E80190;
    const ListingReference ref{"10", false, false};
    EXPECT_EQ(ListingAfter(RunOutcome::TwelveBit, s, ref,
                           "More than 12 bits needed for fractional registers\r\n"
                           "Choose alternative values"),
              ";  More than 12 bits needed for fractional registers\r\n"
              ";  Choose alternative values\r\n")
        << "listing after the twelve-bit message holds no directives";
    EXPECT_EQ(ListingAfter(RunOutcome::NoFcomp, s, ref, "old results\r\n"),
              ";  No comparison frequency: the reference and the divider must be above 0\r\n")
        << "listing without a comparison frequency";
    EXPECT_EQ(ListingAfter(RunOutcome::Complete, s, ref, "x"), ListingText(s, ref))
        << "a complete plan lists its words";
}

} // namespace
} // namespace max2870
