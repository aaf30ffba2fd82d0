// The recompute on the in-memory panel: the reference plan, the early stops, the displays it
// writes back and their colours, the guard, and what every run that passes the guard does.

#include "model_rig.h"

namespace max2870::test {
namespace {

using enum ControlId;

// The reference panel: the starting state with the given divider and divider exponent 1.
void UseReferencePanel(ModelRig& rig, const char* divider) {
    rig.panel.Preset(Rdivider, divider);
    rig.panel.PresetValue(OutDivCont, 1);
}

TEST(ReferencePlan, DividerTwoPointSixGivesItsResultsInRed) {
    ModelRig rig;
    UseReferencePanel(rig, "2.6");
    rig.plan.Recalculate();

    // Two blanks after each label, five after D, CR LF after every line.
    const std::string expected = std::string("Fcomp  3.333333MHz\r\n") + "R  3\r\n" +
                                 "N  1392\r\n" + "F  50\r\n" + "D  167     \r\n" +
                                 "Error =  -998.0Hz\r\n" + "\r\n" +
                                 ModelRig::WordLines({"02B80190", "20000539", "1800DE42",
                                                      "0000000B", "609430FC", "00400005"});
    EXPECT_EQ(rig.Text(ValuesText), expected);
    EXPECT_EQ(rig.Fore(ValuesText), colour::Red);
    EXPECT_EQ(rig.Text(Rdivider), "3");
    EXPECT_EQ(rig.Caption(Label6), "Fcomp 3.333333MHz");
    EXPECT_EQ(rig.Caption(Fvco), "VCO  4641MHz");
    EXPECT_EQ(rig.Fore(Fvco), colour::Black);
    EXPECT_EQ(rig.Back(FoutText), colour::White);
    EXPECT_EQ(rig.Text(ResolutionText), " 10000");
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

TEST(ReferencePlan, DividerTwoPointSixGivesItsPlanValues) {
    ModelRig rig;
    UseReferencePanel(rig, "2.6");
    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.Fr, 10);
    EXPECT_EQ(rig.state.R, 3);
    EXPECT_EQ(rig.state.Fcomp, 3.3333333333333335);
    EXPECT_EQ(rig.state.OutDiv, 2);
    EXPECT_EQ(rig.state.Fout, 2320.5);
    EXPECT_EQ(rig.state.VCO, 4641);
    EXPECT_EQ(rig.state.Resolution, 10000);
    EXPECT_EQ(rig.state.N, 1392);
    EXPECT_EQ(rig.state.Denom, 167);
    EXPECT_EQ(rig.state.Fract, 50);
    EXPECT_DOUBLE_EQ(rig.state.ErrorHz, -998.0039917536487);
    EXPECT_EQ(rig.plan.LastPhaseValue(), 0);
    EXPECT_EQ(rig.plan.LastBandSelect(), 67); // to integer(66.67)
    EXPECT_EQ(rig.state.MuxVal, 6);
    EXPECT_EQ(rig.state.NoiseMode, 0);
}

TEST(ReferencePlan, DividerOneGivesZeroErrorInBlack) {
    ModelRig rig;
    UseReferencePanel(rig, "1");
    rig.plan.Recalculate();

    const std::string expected = std::string("Fcomp  10.00MHz\r\n") + "R  1\r\n" + "N  464\r\n" +
                                 "F  50\r\n" + "D  500     \r\n" + "Error =  0.0Hz\r\n" + "\r\n" +
                                 ModelRig::WordLines({"00E80190", "20000FA1", "18005E42",
                                                      "0000000B", "609C80FC", "00400005"});
    EXPECT_EQ(rig.Text(ValuesText), expected);
    EXPECT_EQ(rig.Fore(ValuesText), colour::Black);
    EXPECT_EQ(rig.Caption(Label6), "Fcomp 10.0MHz");
    EXPECT_EQ(rig.Text(Rdivider), "1");
}

TEST(ReferencePlan, IntegerNWithDividerOneWritesTheStepBackAndShowsTheErrorInRed) {
    ModelRig rig;
    UseReferencePanel(rig, "1");
    rig.panel.PresetValue(FractN, 1);
    rig.plan.Recalculate();

    // Step = 10 MHz / 2 = 5000000 Hz; error = (10 * 464 / 2 - 2320.5) MHz.
    const std::string expected = std::string("Fcomp  10.00MHz\r\n") + "R  1\r\n" + "N  464\r\n" +
                                 "F  0\r\n" + "D  0     \r\n" + "Error =  -500000.0Hz\r\n" +
                                 "\r\n" +
                                 ModelRig::WordLines({"80E80000", "00000001", "18005F42",
                                                      "0000000B", "609C80FC", "00400005"});
    EXPECT_EQ(rig.Text(ValuesText), expected);
    EXPECT_EQ(rig.Text(ResolutionText), " 5000000");
    EXPECT_EQ(rig.state.Resolution, 5000000);
    EXPECT_EQ(rig.state.ErrorHz, -500000);
    EXPECT_EQ(rig.Fore(ValuesText), colour::Red);
}

TEST(NoComparisonFrequency, ReferenceZeroStopsAfterTheDividerWithNZeroAndTheWordsKept) {
    ModelRig rig;
    UseReferencePanel(rig, "1");
    rig.plan.Recalculate();
    const auto words = rig.Words();
    const std::string results = rig.Text(ValuesText);
    const std::string label6 = rig.Caption(Label6);
    rig.ShowListing();

    rig.Type(FrText, "0");

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::NoFcomp);
    EXPECT_EQ(rig.state.N, 0);
    EXPECT_EQ(rig.state.Fr, 0);
    EXPECT_EQ(rig.state.Fcomp, 0);
    EXPECT_EQ(rig.Words(), words);
    EXPECT_EQ(rig.Text(ValuesText), results);
    EXPECT_EQ(rig.Caption(Label6), label6);
    EXPECT_EQ(rig.Text(Rdivider), "1");
    EXPECT_FALSE(rig.ListingShown()); // step 2 has taken effect
}

TEST(NoComparisonFrequency, FirstRunWithoutAReferenceLeavesTheDisplaysEmpty) {
    ModelRig rig;
    rig.panel.Preset(FrText, "abc");
    rig.plan.Recalculate();

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::NoFcomp);
    EXPECT_EQ(rig.Text(ValuesText), "");
    EXPECT_EQ(rig.Caption(Label6), "");
    EXPECT_EQ(rig.Caption(Fvco), "");
    EXPECT_TRUE(rig.panel.Record(TrackDivider).enabled);
    EXPECT_EQ(rig.Words(), (std::array<std::int32_t, 6>{}));
}

struct DividerCase {
    const char* typed;
    const char* shown;
    double r;
};

class DividerBox : public ::testing::TestWithParam<DividerCase> {};

// R = floor(10 / (10 / r) + 0.5): halves go up, the rest to the nearer whole number.
TEST_P(DividerBox, TypedDividerIsRoundedAndWrittenBack) {
    ModelRig rig;
    UseReferencePanel(rig, GetParam().typed);
    rig.plan.Recalculate();

    EXPECT_EQ(rig.Text(Rdivider), GetParam().shown);
    EXPECT_EQ(rig.state.R, GetParam().r);
    EXPECT_EQ(rig.state.Fcomp, 10 / GetParam().r);
}

INSTANTIATE_TEST_SUITE_P(Rounding, DividerBox,
                         ::testing::Values(DividerCase{"2.6", "3", 3}, DividerCase{"2.5", "3", 3},
                                           DividerCase{"2.4", "2", 2}, DividerCase{"3.5", "4", 4},
                                           DividerCase{" 7 ", "7", 7}));

TEST(ClearedDivider, KeepsThePreviousComparisonFrequency) {
    ModelRig rig;
    UseReferencePanel(rig, "1");
    rig.state.Fcomp = 2.5; // as a previous run left it
    rig.panel.Preset(Rdivider, "");
    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.R, 4);
    EXPECT_EQ(rig.Text(Rdivider), "4");
    EXPECT_EQ(rig.state.Fcomp, 2.5);
}

TEST(ClearedDivider, ANewReferenceIsDividedToKeepTheOldComparisonFrequency) {
    ModelRig rig;
    UseReferencePanel(rig, "1");
    rig.Type(Rdivider, "4"); // Fcomp 2.5
    ASSERT_EQ(rig.state.Fcomp, 2.5);

    for (const char* empty : {"", "0", "-3"}) {
        SCOPED_TRACE(empty);
        rig.panel.Preset(Rdivider, empty);
        rig.panel.Preset(FrText, "10");
        rig.Type(FrText, "20"); // 20 / 2.5 = 8
        EXPECT_EQ(rig.state.R, 8);
        EXPECT_EQ(rig.Text(Rdivider), "8");
        EXPECT_EQ(rig.state.Fcomp, 2.5);
    }
}

TEST(VcoRange, OutOfRangeWarnsInRedAndStillProducesThePlan) {
    ModelRig rig; // exponent 0: VCO = 2320.5
    rig.panel.SetBold(Fvco, true);
    rig.plan.Recalculate();

    EXPECT_EQ(rig.Caption(Fvco), "VCO  2320.5MHz\r\nExternal VCO Only");
    EXPECT_EQ(rig.Fore(Fvco), colour::Red);
    EXPECT_EQ(rig.Back(FoutText), colour::Red);
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    EXPECT_EQ(rig.state.N, 232);
    EXPECT_EQ(rig.state.Fract, 50);
    EXPECT_EQ(rig.state.Denom, 1000);
    // N 232 in bits 30..15, F 50 in 14..3; D 1000 in Reg1; band select 200, exponent 0 in Reg4.
    EXPECT_EQ(rig.HexWords()[0], "00740190");
    EXPECT_EQ(rig.HexWords()[1], "20001F41");
    EXPECT_EQ(rig.HexWords()[4], "608C80FC");

    rig.Set(OutDivCont, 1); // back in range
    EXPECT_EQ(rig.Caption(Fvco), "VCO  4641MHz");
    EXPECT_EQ(rig.Fore(Fvco), colour::Black);
    EXPECT_FALSE(rig.panel.Record(Fvco).bold);
    EXPECT_EQ(rig.Back(FoutText), colour::White);
}

struct VcoCase {
    const char* fout;
    bool inRange;
};

class VcoLimits : public ::testing::TestWithParam<VcoCase> {};

TEST_P(VcoLimits, ThreeThousandAndSixThousandAreInRange) {
    ModelRig rig;
    rig.panel.Preset(FoutText, GetParam().fout);
    rig.plan.Recalculate();

    const std::string plain = "VCO  " + std::string(GetParam().fout) + "MHz";
    if (GetParam().inRange) {
        EXPECT_EQ(rig.Caption(Fvco), plain);
        EXPECT_EQ(rig.Fore(Fvco), colour::Black);
        EXPECT_EQ(rig.Back(FoutText), colour::White);
    } else {
        EXPECT_EQ(rig.Caption(Fvco), plain + "\r\nExternal VCO Only");
        EXPECT_EQ(rig.Fore(Fvco), colour::Red);
        EXPECT_EQ(rig.Back(FoutText), colour::Red);
    }
}

INSTANTIATE_TEST_SUITE_P(Edges, VcoLimits,
                         ::testing::Values(VcoCase{"3000", true}, VcoCase{"6000", true},
                                           VcoCase{"2999.5", false}, VcoCase{"6000.5", false}));

TEST(TwelveBits, FineResolutionShowsTheMessageAndKeepsTheWordsAndColour) {
    ModelRig rig;
    UseReferencePanel(rig, "1");
    rig.plan.Recalculate();
    const auto words = rig.Words();

    rig.Type(ResolutionText, "1000"); // D = 10 MHz / 1000 Hz / 2 = 5000

    EXPECT_EQ(rig.Text(ValuesText), "More than 12 bits needed for fractional registers\r\n"
                                    "Choose alternative values");
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::TwelveBit);
    EXPECT_EQ(rig.Words(), words);
    EXPECT_EQ(rig.Fore(ValuesText), colour::Black);
    // N, F, D, the error and the displays up to step 10 are updated.
    EXPECT_EQ(rig.state.Denom, 5000);
    EXPECT_EQ(rig.state.N, 464);
    EXPECT_EQ(rig.state.Fract, 500);
    EXPECT_EQ(rig.Text(ResolutionText), " 1000");
}

TEST(TwelveBits, ModulusOf4095FitsAnd4096DoesNot) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.Type(ResolutionText, "1221"); // floor(4095.004 + 0.5)
    EXPECT_EQ(rig.state.Denom, 4095);
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);

    rig.Type(ResolutionText, "1220.8"); // floor(4095.67 + 0.5)
    EXPECT_EQ(rig.state.Denom, 4096);
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::TwelveBit);
}

TEST(TwelveBits, ARedResultStaysRedUnderTheMessage) {
    ModelRig rig;
    UseReferencePanel(rig, "2.6");
    rig.plan.Recalculate();
    ASSERT_EQ(rig.Fore(ValuesText), colour::Red);
    const auto words = rig.Words();

    rig.Type(ResolutionText, "100"); // D = 3333333.3 / 100 / 2 -> 16667

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::TwelveBit);
    EXPECT_EQ(rig.Fore(ValuesText), colour::Red);
    EXPECT_EQ(rig.Words(), words);
}

TEST(TwelveBits, TickingIntegerNRemovesTheMessage) {
    ModelRig rig;
    UseReferencePanel(rig, "1");
    rig.Type(ResolutionText, "1000");
    ASSERT_EQ(rig.plan.LastOutcome(), RunOutcome::TwelveBit);

    rig.Set(FractN, 1);

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    EXPECT_EQ(rig.Text(ValuesText).rfind("Fcomp  10.00MHz\r\nR  1\r\nN  464\r\nF  0\r\nD  0 ", 0),
              0U);
    EXPECT_EQ(rig.HexWords()[0], "80E80000");
}

TEST(ComparisonAbove32MHz, SetsReg2Bit31OnlyAbove32) {
    ModelRig at32;
    at32.panel.Preset(FrText, "32");
    at32.panel.PresetValue(OutDivCont, 1);
    at32.plan.Recalculate();
    EXPECT_EQ(at32.plan.LastBandSelect(), 640);
    EXPECT_EQ(at32.HexWords()[2], "18005E42");

    ModelRig above;
    above.panel.Preset(FrText, "32.5");
    above.panel.PresetValue(OutDivCont, 1);
    above.plan.Recalculate();
    EXPECT_EQ(above.plan.LastBandSelect(), 650);
    EXPECT_EQ(above.HexWords()[2], "98005E42");
}

TEST(ComparisonAbove32MHz, DoublerAtFiftyClampsBandSelect) {
    ModelRig rig;
    rig.panel.Preset(FrText, "50");
    rig.panel.PresetValue(RefDbl, 1);
    rig.panel.Preset(FoutText, "5800");
    rig.panel.Preset(ResolutionText, "100000");
    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.Fcomp, 100);
    EXPECT_EQ(rig.plan.LastBandSelect(), 1023);
    // Band select 1023: bits 9..8 = 11 in Reg4 bits 25..24, bits 7..0 = FF in bits 19..12.
    EXPECT_EQ(static_cast<std::uint32_t>(rig.state.Reg4) & 0x030FF000U, 0x030FF000U);
    EXPECT_LT(rig.state.Reg2, 0);
}

TEST(BandSelect, HalvesGoToTheEvenNeighbour) {
    ModelRig low; // 3.325 MHz / 50 kHz = 66.5 -> 66
    low.panel.Preset(FrText, "3.325");
    low.panel.PresetValue(OutDivCont, 1);
    low.plan.Recalculate();
    EXPECT_EQ(low.plan.LastBandSelect(), 66);
    EXPECT_EQ(low.HexWords()[4], "609420FC");

    ModelRig high; // 3.375 MHz / 50 kHz = 67.5 -> 68
    high.panel.Preset(FrText, "3.375");
    high.panel.PresetValue(OutDivCont, 1);
    high.plan.Recalculate();
    EXPECT_EQ(high.plan.LastBandSelect(), 68);
    EXPECT_EQ(high.HexWords()[4], "609440FC");
}

TEST(OutputPhase, DegreesBecomeAFractionOfTheModulus) {
    ModelRig quarter; // 90 / 360 * 1000 = 250
    quarter.panel.Preset(OPPhasetext, "90");
    quarter.plan.Recalculate();
    ASSERT_EQ(quarter.state.Denom, 1000);
    EXPECT_EQ(quarter.plan.LastPhaseValue(), 250);
    EXPECT_EQ(quarter.HexWords()[1], "207D1F41");

    ModelRig eighth; // 45 / 360 * 167 = 20.875 -> 21
    UseReferencePanel(eighth, "2.6");
    eighth.panel.Preset(OPPhasetext, "45");
    eighth.plan.Recalculate();
    EXPECT_EQ(eighth.plan.LastPhaseValue(), 21);
    EXPECT_EQ(eighth.HexWords()[1], "200A8539");

    ModelRig integerN; // D is 0, so P is 0
    integerN.panel.Preset(OPPhasetext, "90");
    integerN.panel.PresetValue(FractN, 1);
    integerN.plan.Recalculate();
    EXPECT_EQ(integerN.plan.LastPhaseValue(), 0);
    EXPECT_EQ(integerN.HexWords()[1], "00000001");
}

TEST(Tracking, ChangedDividerKeepsTheVcoAndRewritesTheWantedOutput) {
    ModelRig rig;
    UseReferencePanel(rig, "1");
    rig.plan.Recalculate();
    ASSERT_EQ(rig.state.VCO, 4641);

    rig.Set(TrackDivider, 1);
    rig.Set(OutDivCont, 2);

    EXPECT_EQ(rig.state.Fout, 1160.25);
    EXPECT_EQ(rig.Text(FoutText), " 1160.25");
    EXPECT_EQ(rig.state.VCO, 4641);
    EXPECT_EQ(rig.state.OutDiv, 4);
    EXPECT_EQ(rig.Caption(OutDivLabel), "O/P Divider  4");
    EXPECT_EQ(rig.state.ErrorHz, 0);
}

TEST(ErrorColour, ExactlyOneHertzIsBlackAndAboveIsRed) {
    // No step reaches a wanted output of 1 Hz or 1.01 Hz: N = F = 0, so the error is
    // -(the wanted output) in Hz, and 1e-6 * 1e6 is 1.0 exactly in double.
    ModelRig exact;
    UseReferencePanel(exact, "1");
    exact.panel.Preset(FoutText, "0.000001");
    exact.plan.Recalculate();
    EXPECT_EQ(exact.state.ErrorHz, -1.0);
    EXPECT_NE(exact.Text(ValuesText).find("Error =  -1.0Hz\r\n"), std::string::npos);
    EXPECT_EQ(exact.Fore(ValuesText), colour::Black);

    ModelRig above;
    UseReferencePanel(above, "1");
    above.panel.Preset(FoutText, "0.00000101");
    above.plan.Recalculate();
    EXPECT_NE(above.Text(ValuesText).find("Error =  -1.01Hz\r\n"), std::string::npos);
    EXPECT_EQ(above.Fore(ValuesText), colour::Red);

    // And back: a complete run with no error turns it black again.
    above.Type(FoutText, "2320.5");
    EXPECT_EQ(above.Fore(ValuesText), colour::Black);
}

TEST(Guard, PendingReadBackWithTheInitButtonShownStopsTheRecompute) {
    ModelRig rig;
    rig.panel.SetVisible(Init, true);
    rig.state.InitFlag = true;
    rig.state.N = 123;
    rig.ShowListing();

    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.N, 123);
    EXPECT_TRUE(rig.ListingShown());
    EXPECT_FALSE(rig.panel.Record(TrackDivider).enabled);
    EXPECT_EQ(rig.Text(ValuesText), "");
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::None);
}

TEST(Guard, PendingReadBackWithTheInitButtonHiddenStillRecomputes) {
    ModelRig rig; // Init is hidden until a port is open
    rig.state.InitFlag = true;
    rig.ShowListing();

    rig.plan.Recalculate();

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    EXPECT_FALSE(rig.ListingShown());
    EXPECT_TRUE(rig.state.InitFlag);
}

TEST(Guard, ShownInitButtonWithoutAPendingReadBackRecomputes) {
    ModelRig rig;
    rig.panel.SetVisible(Init, true);
    rig.plan.Recalculate();
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

struct OutcomeCase {
    const char* what;
    std::function<void(ModelRig&)> preset;
    RunOutcome outcome;
};

class EveryRun : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(EveryRun, HidesTheListingAndEnablesTracking) {
    ModelRig rig;
    GetParam().preset(rig);
    rig.ShowListing();
    ASSERT_FALSE(rig.panel.Record(TrackDivider).enabled);

    rig.plan.Recalculate();

    EXPECT_EQ(rig.plan.LastOutcome(), GetParam().outcome);
    EXPECT_FALSE(rig.ListingShown());
    EXPECT_TRUE(rig.panel.Record(TrackDivider).enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, EveryRun,
    ::testing::Values(OutcomeCase{"complete", [](ModelRig&) {}, RunOutcome::Complete},
                      OutcomeCase{"no_fcomp", [](ModelRig& r) { r.panel.Preset(FrText, "0"); },
                                  RunOutcome::NoFcomp},
                      OutcomeCase{"twelve_bit",
                                  [](ModelRig& r) { r.panel.Preset(ResolutionText, "100"); },
                                  RunOutcome::TwelveBit},
                      OutcomeCase{"rejected",
                                  [](ModelRig& r) { r.panel.Preset(ResolutionText, "0"); },
                                  RunOutcome::Rejected}),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return info.param.what; });

TEST(Outcome, NamesUsedByThePlanner) {
    EXPECT_STREQ(OutcomeName(RunOutcome::Complete), "complete");
    EXPECT_STREQ(OutcomeName(RunOutcome::NoFcomp), "no-fcomp");
    EXPECT_STREQ(OutcomeName(RunOutcome::TwelveBit), "twelve-bit");
    EXPECT_STREQ(OutcomeName(RunOutcome::Rejected), "rejected");
}

TEST(WriteBack, ResolutionTextIsRewrittenInItsBlankLedForm) {
    ModelRig rig;
    rig.panel.Preset(ResolutionText, "1e4");
    rig.plan.Recalculate();
    EXPECT_EQ(rig.Text(ResolutionText), " 10000");

    ModelRig half;
    half.panel.Preset(ResolutionText, "0.5e1");
    half.panel.PresetValue(FractN, 1); // written as the integer-N step instead
    half.panel.PresetValue(OutDivCont, 5);
    half.plan.Recalculate();
    EXPECT_EQ(half.Text(ResolutionText), " 312500"); // 10 MHz / 32
}

} // namespace
} // namespace max2870::test
