#include "listing/listing.h"
#include "listing/listing_command.h"
#include "model/memory_panel.h"
#include "model/plan_controller.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace max2870 {
namespace {

using enum ControlId;

std::int32_t Word(std::uint32_t pattern) {
    return static_cast<std::int32_t>(pattern);
}

// --- one register line ------------------------------------------------------------------------

TEST(EEhexData, BytesMostSignificantFirstAndTheRegisterNumber) {
    EXPECT_EQ(EEhexData(4194309), "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5");
    EXPECT_EQ(EEhexData(Word(0x609C80FC)), "   de 0x60, 0x9C, 0x80, 0xFC    ;Reg 4");
    EXPECT_EQ(EEhexData(11), "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3");
    EXPECT_EQ(EEhexData(Word(0x18005E42)), "   de 0x18, 0x00, 0x5E, 0x42    ;Reg 2");
    EXPECT_EQ(EEhexData(Word(0x20000FA1)), "   de 0x20, 0x00, 0x0F, 0xA1    ;Reg 1");
    EXPECT_EQ(EEhexData(0), "   de 0x00, 0x00, 0x00, 0x00    ;Reg 0");
    EXPECT_EQ(EEhexData(Word(0x00ABCDEF)), "   de 0x00, 0xAB, 0xCD, 0xEF    ;Reg 7");
    EXPECT_EQ(EEhexData(0x7FFFFFFE), "   de 0x7F, 0xFF, 0xFF, 0xFE    ;Reg 6");
}

TEST(EEhexData, NegativeWordsGiveTheirTwosComplementBytes) {
    EXPECT_EQ(EEhexData(-2132279296), "   de 0x80, 0xE8, 0x00, 0x00    ;Reg 0");
    EXPECT_EQ(EEhexData(-1), "   de 0xFF, 0xFF, 0xFF, 0xFF    ;Reg 7");
    EXPECT_EQ(EEhexData(INT32_MIN), "   de 0x80, 0x00, 0x00, 0x00    ;Reg 0");
    EXPECT_EQ(EEhexData(Word(0xCE005E02)), "   de 0xCE, 0x00, 0x5E, 0x02    ;Reg 2");
    EXPECT_EQ(EEhexData(Word(0xFFFFFFFD)), "   de 0xFF, 0xFF, 0xFF, 0xFD    ;Reg 5");
}

TEST(EEhexData, EveryLineIsThirtyEightCharacters) {
    for (const std::uint32_t pattern :
         {0x00000000U, 0x00000001U, 0x0000000BU, 0x00400005U, 0x80000000U, 0xFFFFFFFFU, 0x12345678U,
          0x7FFFFFFFU, 0x80E80000U}) {
        const std::string line = EEhexData(Word(pattern));
        EXPECT_EQ(line.size(), 38U) << line;
        EXPECT_EQ(line.back() - '0', static_cast<int>(pattern & 7U)) << line;
    }
}

// --- the eight lines --------------------------------------------------------------------------

SynthState PlanOf(double r, double n, double denom, double fract, double outDiv, double fout,
                  std::array<std::uint32_t, 6> words) {
    SynthState s;
    s.R = r;
    s.N = n;
    s.Denom = denom;
    s.Fract = fract;
    s.OutDiv = outDiv;
    s.Fout = fout;
    s.Reg0 = Word(words[0]);
    s.Reg1 = Word(words[1]);
    s.Reg2 = Word(words[2]);
    s.Reg3 = Word(words[3]);
    s.Reg4 = Word(words[4]);
    s.Reg5 = Word(words[5]);
    return s;
}

// The fractional plan at 10 MHz, R 1, output divider 2 and 2320.5 MHz.
SynthState FractionalPlan() {
    return PlanOf(1, 464, 500, 50, 2, 2320.5,
                  {0x00E80190, 0x20000FA1, 0x18005E42, 0x0000000B, 0x609C80FC, 0x00400005});
}

const std::string kFractionalWords = "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5\r\n"
                                     "   de 0x60, 0x9C, 0x80, 0xFC    ;Reg 4\r\n"
                                     "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3\r\n"
                                     "   de 0x18, 0x00, 0x5E, 0x42    ;Reg 2\r\n"
                                     "   de 0x20, 0x00, 0x0F, 0xA1    ;Reg 1\r\n"
                                     "   de 0x00, 0xE8, 0x01, 0x90    ;Reg 0\r\n";

TEST(ListingText, FractionalPlanExactBytes) {
    const std::string expected = ";  R = 1    N = 464    D =  0500   F = 0050    Odiv = 2\r\n"
                                 ";  Fout = 2320.5MHz      Ref = 10MHz\r\n" +
                                 kFractionalWords;
    EXPECT_EQ(ListingText(FractionalPlan(), {"10"}), expected);
}

TEST(ListingText, WorkedRunWithDividerThree) {
    const SynthState s =
        PlanOf(3, 1392, 167, 50, 2, 2320.5,
               {0x02B80190, 0x20000539, 0x1800DE42, 0x0000000B, 0x609430FC, 0x00400005});
    EXPECT_EQ(ListingText(s, {"10"}), ";  R = 3    N = 1392    D =  0167   F = 0050    Odiv = 2\r\n"
                                      ";  Fout = 2320.5MHz      Ref = 10MHz\r\n"
                                      "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5\r\n"
                                      "   de 0x60, 0x94, 0x30, 0xFC    ;Reg 4\r\n"
                                      "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3\r\n"
                                      "   de 0x18, 0x00, 0xDE, 0x42    ;Reg 2\r\n"
                                      "   de 0x20, 0x00, 0x05, 0x39    ;Reg 1\r\n"
                                      "   de 0x02, 0xB8, 0x01, 0x90    ;Reg 0\r\n");
}

TEST(ListingText, DoubledReferenceWithNegativeWord) {
    const SynthState s =
        PlanOf(1, 58, 1000, 0, 1, 5800,
               {0x001D0000, 0x207D1F41, 0xCE005E02, 0x0000000B, 0x638FF1B4, 0x00400005});
    EXPECT_EQ(ListingText(s, {"50", false, true}),
              ";  R = 1    N = 58    D =  1000   F = 0000    Odiv = 1\r\n"
              ";  Fout = 5800.0MHz      Ref = 50MHz X2\r\n"
              "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5\r\n"
              "   de 0x63, 0x8F, 0xF1, 0xB4    ;Reg 4\r\n"
              "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3\r\n"
              "   de 0xCE, 0x00, 0x5E, 0x02    ;Reg 2\r\n"
              "   de 0x20, 0x7D, 0x1F, 0x41    ;Reg 1\r\n"
              "   de 0x00, 0x1D, 0x00, 0x00    ;Reg 0\r\n");
}

TEST(ListingText, IntegerNPlanListsNegativeReg0) {
    const SynthState s =
        PlanOf(1, 464, 0, 0, 2, 2320.5,
               {0x80E80000, 0x00000001, 0x18005F42, 0x0000000B, 0x609C80FC, 0x00400005});
    const std::string text = ListingText(s, {"10"});
    EXPECT_TRUE(text.starts_with(";  R = 1    N = 464    D =  0000   F = 0000    Odiv = 2\r\n"))
        << text;
    EXPECT_TRUE(text.ends_with("   de 0x80, 0xE8, 0x00, 0x00    ;Reg 0\r\n")) << text;
}

std::string SecondLine(const std::string& text) {
    const std::size_t first = text.find("\r\n") + 2;
    return text.substr(first, text.find("\r\n", first) - first);
}

TEST(ListingText, ReferenceSuffixes) {
    const SynthState s = FractionalPlan();
    EXPECT_EQ(SecondLine(ListingText(s, {"10", false, false})),
              ";  Fout = 2320.5MHz      Ref = 10MHz");
    EXPECT_EQ(SecondLine(ListingText(s, {"10", true, false})),
              ";  Fout = 2320.5MHz      Ref = 10MHz /2");
    EXPECT_EQ(SecondLine(ListingText(s, {"10", false, true})),
              ";  Fout = 2320.5MHz      Ref = 10MHz X2");
    EXPECT_EQ(SecondLine(ListingText(s, {"10", true, true})),
              ";  Fout = 2320.5MHz      Ref = 10MHz /2 X2");
}

TEST(ListingText, ReferenceTextIsCopiedVerbatim) {
    const SynthState s = FractionalPlan();
    EXPECT_EQ(SecondLine(ListingText(s, {" 10.000"})), ";  Fout = 2320.5MHz      Ref =  10.000MHz");
    EXPECT_EQ(SecondLine(ListingText(s, {""})), ";  Fout = 2320.5MHz      Ref = MHz");
    EXPECT_EQ(SecondLine(ListingText(s, {"&H10 abc", true})),
              ";  Fout = 2320.5MHz      Ref = &H10 abcMHz /2");
}

TEST(ListingText, NumberFormatsOfThePlanLines) {
    SynthState s = FractionalPlan();
    s.Denom = 7;
    s.Fract = 0;
    s.Fout = 1000;
    std::string text = ListingText(s, {"10"});
    EXPECT_TRUE(text.starts_with(";  R = 1    N = 464    D =  0007   F = 0000    Odiv = 2\r\n"
                                 ";  Fout = 1000.0MHz      Ref = 10MHz\r\n"))
        << text;

    s.R = 1023;
    s.N = 65535;
    s.Denom = 12345;
    s.Fract = 4095;
    s.OutDiv = 128;
    s.Fout = 100.123456789;
    text = ListingText(s, {"10"});
    EXPECT_TRUE(
        text.starts_with(";  R = 1023    N = 65535    D =  12345   F = 4095    Odiv = 128\r\n"
                         ";  Fout = 100.1234568MHz      Ref = 10MHz\r\n"))
        << text;

    // A twelve-bit plan's modulus beyond 15 digits keeps 15 significant ones.
    s.Denom = 2541666666666667.0;
    text = ListingText(s, {"10"});
    EXPECT_NE(text.find("    D =  2541666666666670   F = "), std::string::npos) << text;

    // An output divider of 0 is the empty text.
    s.OutDiv = 0;
    text = ListingText(s, {"10"});
    EXPECT_NE(text.find("    Odiv = \r\n"), std::string::npos) << text;
}

TEST(ListingText, EightLinesEachEndedByCrLf) {
    const std::string text = ListingText(FractionalPlan(), {"10", true, true});
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_EQ(text[i - 1], '\r');
            ++lines;
        } else if (text[i] == '\r') {
            EXPECT_EQ(text[i + 1], '\n');
        }
    }
    EXPECT_EQ(lines, 8);
    EXPECT_TRUE(text.ends_with("    ;Reg 0\r\n"));
}

// --- the "PIC EE Data" button on the in-memory panel -------------------------------------------

class ListingCommandTest : public ::testing::Test {
protected:
    SynthState state;
    MemoryPanel panel;
    PlanController plan{state, panel};
    ListingCommand listing{plan};

    void SetUp() override {
        panel.SetEventSink(&plan);
        plan.SetNextSink(&listing);
    }

    void Click() { plan.OnControlEvent(PicEEdata, ControlEvent::Click); }
    std::string Listing() const { return panel.Text(EEtext); }
};

// The starting panel: 10 MHz, R 1, output divider 1, 2320.5 MHz, resolution 10000 Hz.
const std::string kStartListing = ";  R = 1    N = 232    D =  1000   F = 0050    Odiv = 1\r\n"
                                  ";  Fout = 2320.5MHz      Ref = 10MHz\r\n"
                                  "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5\r\n"
                                  "   de 0x60, 0x8C, 0x80, 0xFC    ;Reg 4\r\n"
                                  "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3\r\n"
                                  "   de 0x18, 0x00, 0x5E, 0x42    ;Reg 2\r\n"
                                  "   de 0x20, 0x00, 0x1F, 0x41    ;Reg 1\r\n"
                                  "   de 0x00, 0x74, 0x01, 0x90    ;Reg 0\r\n";

TEST_F(ListingCommandTest, ClickRecomputesThenShowsTheListing) {
    ASSERT_FALSE(panel.Visible(EEdata));
    ASSERT_EQ(state.Reg0, 0); // nothing has recomputed yet
    Click();
    EXPECT_TRUE(panel.Visible(EEdata));
    EXPECT_EQ(Listing(), kStartListing);
}

TEST_F(ListingCommandTest, ListingFollowsThePanelAsItStandsAtTheClick) {
    Click();
    // Set without any event: only the click's own recompute can bring it into the listing.
    panel.PresetValue(OutDivCont, 1);
    panel.Preset(FrText, "1e1");
    panel.PresetValue(RefDbl, 1);
    panel.PresetValue(Refdiv2, 1);
    Click();
    EXPECT_EQ(Listing(), ";  R = 1    N = 464    D =  0500   F = 0050    Odiv = 2\r\n"
                         ";  Fout = 2320.5MHz      Ref = 1e1MHz /2 X2\r\n"
                         "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5\r\n"
                         "   de 0x60, 0x9C, 0x80, 0xFC    ;Reg 4\r\n"
                         "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3\r\n"
                         "   de 0x1B, 0x00, 0x5E, 0x42    ;Reg 2\r\n" // doubler and divide-by-2
                         "   de 0x20, 0x00, 0x0F, 0xA1    ;Reg 1\r\n"
                         "   de 0x00, 0xE8, 0x01, 0x90    ;Reg 0\r\n");
}

TEST_F(ListingCommandTest, PlacedAThirdIntoTheMainWindow) {
    Click();
    const WindowRect main = panel.WindowPlace(MAX2870);
    ASSERT_EQ(main.width, 6360);
    ASSERT_EQ(main.height, 7530);
    WindowRect place = panel.WindowPlace(EEdata);
    EXPECT_EQ(place.left, main.left + 2120);
    EXPECT_EQ(place.top, main.top + 2510);

    panel.MoveWindow(MAX2870, 1500, 900);
    Click();
    place = panel.WindowPlace(EEdata);
    EXPECT_EQ(place.left, 3620);
    EXPECT_EQ(place.top, 3410);
}

TEST_F(ListingCommandTest, PlaceIsWorkedOutInSinglePrecision) {
    // 2^24 + 1 has no single-precision form: it becomes 2^24 before the third is added.
    panel.MoveWindow(MAX2870, 16777217, 0);
    Click();
    EXPECT_EQ(panel.WindowPlace(EEdata).left, 16777216 + 2120);
    EXPECT_EQ(panel.WindowPlace(EEdata).top, 2510);
}

TEST_F(ListingCommandTest, LaterRecomputeHidesTheListing) {
    Click();
    ASSERT_TRUE(panel.Visible(EEdata));
    panel.SetText(FoutText, "2400");
    EXPECT_FALSE(panel.Visible(EEdata));
    // The text stays as it was until the next click.
    EXPECT_EQ(Listing(), kStartListing);
    Click();
    EXPECT_TRUE(panel.Visible(EEdata));
    EXPECT_NE(Listing().find(";  Fout = 2400.0MHz"), std::string::npos) << Listing();
}

TEST_F(ListingCommandTest, SecondClickGivesTheSameTextAndPlace) {
    panel.MoveWindow(MAX2870, 300, 600);
    Click();
    const std::string first = Listing();
    const WindowRect firstPlace = panel.WindowPlace(EEdata);
    panel.MoveWindow(EEdata, 0, 0);
    Click();
    EXPECT_EQ(Listing(), first);
    EXPECT_EQ(panel.WindowPlace(EEdata).left, firstPlace.left);
    EXPECT_EQ(panel.WindowPlace(EEdata).top, firstPlace.top);
    EXPECT_TRUE(panel.Visible(EEdata));
}

TEST_F(ListingCommandTest, UnderTheInitGuardTheWordsAreListedAsTheyStand) {
    Click();
    panel.SetVisible(Init, true);
    state.InitFlag = true;
    panel.PresetValue(OutDivCont, 1);
    Click();
    EXPECT_TRUE(panel.Visible(EEdata));
    EXPECT_EQ(Listing(), kStartListing);
}

TEST_F(ListingCommandTest, OtherEventsGoOnToTheNextSink) {
    struct Recorder : PanelEvents {
        int clicks = 0;
        void OnControlEvent(ControlId id, ControlEvent event) override {
            clicks += id == SendAll && event == ControlEvent::Click ? 1 : 0;
        }
    } recorder;
    listing.SetNextSink(&recorder);
    plan.OnControlEvent(SendAll, ControlEvent::Click);
    EXPECT_EQ(recorder.clicks, 1);
    EXPECT_FALSE(panel.Visible(EEdata));
}

} // namespace
} // namespace max2870
