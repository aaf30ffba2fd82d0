// "Find Best F/D", "Find R" and the forced modulus: what each search hands on and the plan the
// chain of write-backs ends in.

#include "model_rig.h"

namespace max2870::test {
namespace {

using enum ControlId;

// Reference 10, R 1, divider exponent 1: Fcomp 10 and OutDiv 2, so the ratio VCO / Fcomp is
// the wanted output / 5.
void FindBestFor(ModelRig& rig, const char* fout) {
    rig.panel.PresetValue(OutDivCont, 1);
    rig.panel.Preset(FoutText, fout);
    rig.Click(NMCalc);
}

TEST(FractionSearch, RatioWithATenthTakesOneTrialAndHandsOnTen) {
    ModelRig rig;
    FindBestFor(rig, "2320.5"); // 464.1: F 1, D = 1 / 0.1 = 10, exact

    EXPECT_EQ(rig.Text(ForceD), " 10");
    // 10 MHz / 1 / 10 / 2 = 500000 Hz, and back: D = 10, F = 1.
    // In turn: the search's own recompute, ForceD's plain text, the chained recompute.
    EXPECT_EQ(rig.probe.TextsOf(ResolutionText),
              (std::vector<std::string>{" 10000", "500000", " 500000"}));
    EXPECT_EQ(rig.state.Denom, 10);
    EXPECT_EQ(rig.state.Fract, 1);
    EXPECT_EQ(rig.state.N, 464);
    EXPECT_EQ(rig.state.ErrorHz, 0);
}

TEST(FractionSearch, HalfGivesTwo) {
    ModelRig rig;
    FindBestFor(rig, "2322.5"); // 464.5: to integer(0.5) = 0, so F 1, D 2

    EXPECT_EQ(rig.Text(ForceD), " 2");
    EXPECT_EQ(rig.Text(ResolutionText), " 2500000");
    EXPECT_EQ(rig.state.Denom, 2);
    EXPECT_EQ(rig.state.Fract, 1);
}

TEST(FractionSearch, WholeRatioCountsAsAFullFractionAndGivesTwo) {
    ModelRig rig;
    FindBestFor(rig, "2320"); // 464: frac 1.0, F 2, D 2

    EXPECT_EQ(rig.Text(ForceD), " 2");
    EXPECT_EQ(rig.state.Denom, 2);
    EXPECT_EQ(rig.state.Fract, 0);
    EXPECT_EQ(rig.state.N, 464);
}

TEST(FractionSearch, TinyFractionFindsNoModulusAndLeavesThePlan) {
    ModelRig plain; // the plan the search's own first recompute makes
    plain.panel.PresetValue(OutDivCont, 1);
    plain.panel.Preset(FoutText, "2320.0005");
    plain.plan.Recalculate();

    ModelRig rig;
    FindBestFor(rig, "2320.0005"); // 464.0001: the first trial, F 1, needs D = 10000

    EXPECT_EQ(rig.Text(ForceD), " 0");
    EXPECT_EQ(rig.probe.Count(ResolutionText, ControlEvent::Change),
              plain.probe.Count(ResolutionText, ControlEvent::Change));
    EXPECT_EQ(rig.Text(ResolutionText), " 10000");
    EXPECT_EQ(rig.state.Denom, 500);
    EXPECT_EQ(rig.Words(), plain.Words());
    EXPECT_EQ(rig.Text(ValuesText), plain.Text(ValuesText));
}

TEST(FractionSearch, FractionJustUnderOneKeepsTheFirstOfEqualErrors) {
    ModelRig rig;
    FindBestFor(rig, "2324.999995"); // 464.999999: F = D = 2, 3, ... all miss by 1e-6

    EXPECT_EQ(rig.Text(ForceD), " 2");
    EXPECT_EQ(rig.state.Denom, 2);
    // floor(0.999999 * 2 + 0.5) = 2 = D, carried into N.
    EXPECT_EQ(rig.state.N, 465);
    EXPECT_EQ(rig.state.Fract, 0);
    EXPECT_NEAR(rig.state.ErrorHz, 5.0, 1e-3); // (2325 - 2324.999995) MHz
}

TEST(FractionSearch, SeventeenHundredthsStopsAtAHundred) {
    ModelRig rig;
    FindBestFor(rig, "2320.85"); // 464.17: F 17, D 100 is the first near-exact trial

    EXPECT_EQ(rig.Text(ForceD), " 100");
    EXPECT_EQ(rig.Text(ResolutionText), " 50000");
    EXPECT_EQ(rig.state.Denom, 100);
    EXPECT_EQ(rig.state.Fract, 17);
    EXPECT_EQ(rig.Fore(ValuesText), colour::Black);
}

TEST(FractionSearch, SecondPressStillHandsTheModulusOn) {
    ModelRig rig;
    FindBestFor(rig, "2320.5");
    ASSERT_EQ(rig.Text(ForceD), " 10");
    rig.probe.seen.clear();

    rig.Click(NMCalc);

    // ForceD is emptied first, so writing " 10" again is a change that runs the chain.
    EXPECT_EQ(rig.probe.TextsOf(ForceD), (std::vector<std::string>{"", " 10"}));
    EXPECT_EQ(rig.probe.FirstTextOf(ResolutionText), "500000");
    EXPECT_EQ(rig.state.Denom, 10);
}

// Reference 10, wanted 2320.5, integer-N mode, an output divider given by the exponent.
void FindRFor(ModelRig& rig, const char* ref, const char* fout, int exponent) {
    rig.panel.PresetValue(FractN, 1);
    rig.panel.Preset(FrText, ref);
    rig.panel.Preset(FoutText, fout);
    rig.panel.PresetValue(OutDivCont, exponent);
    rig.panel.Preset(ForceD, "77");
    rig.Click(NMCalc);
}

TEST(ReferenceDividerSearch, StopsAtTheFirstExactHit) {
    ModelRig rig;
    // N = floor(4641 R / 10) meets 2320.5 only when 464.1 R is whole: R = 10, N = 4641.
    FindRFor(rig, "10", "2320.5", 1);

    EXPECT_EQ(rig.probe.FirstTextOf(Rdivider), " 10");
    EXPECT_EQ(rig.Text(Rdivider), "10");
    EXPECT_EQ(rig.state.R, 10);
    EXPECT_EQ(rig.state.N, 4641);
    EXPECT_EQ(rig.state.Fcomp, 1);
    EXPECT_EQ(rig.state.ErrorHz, 0);
    EXPECT_EQ(rig.Text(ForceD), "");
    EXPECT_EQ(rig.Text(ResolutionText), " 500000");
    EXPECT_EQ(rig.Fore(ValuesText), colour::Black);
}

TEST(ReferenceDividerSearch, WithoutAHitEndsAtR1001) {
    ModelRig rig;
    // 3000.00003 / 100 = 30.0000003: N = 30 R for every R up to 1000 (at most 30000), so
    // every trial gives 3000 MHz, 30 Hz off.
    FindRFor(rig, "100", "3000.00003", 0);

    EXPECT_EQ(rig.probe.FirstTextOf(Rdivider), " 1001");
    EXPECT_EQ(rig.Text(Rdivider), "1001");
    EXPECT_EQ(rig.state.R, 1001);
    EXPECT_EQ(rig.state.N, 30030); // floor(30030.0003 + 0.5) in the final recompute
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

TEST(ReferenceDividerSearch, StopsWhereNPassesItsBound) {
    ModelRig rig;
    // Divider 128: N = floor(29702.4 R), already 59404 at R = 2.
    FindRFor(rig, "10", "2320.5", 7);

    EXPECT_EQ(rig.probe.FirstTextOf(Rdivider), " 2");
    EXPECT_EQ(rig.state.R, 2);
    EXPECT_EQ(rig.state.N, 59405); // floor(2320.5 / 5 * 128 + 0.5)
}

TEST(ReferenceDividerSearch, ButtonCaptionFollowsTheMode) {
    ModelRig rig;
    rig.Set(FractN, 1);
    EXPECT_EQ(rig.Caption(NMCalc), "Find R");
    rig.Set(FractN, 0);
    EXPECT_EQ(rig.Caption(NMCalc), "Find Best F/D");
}

struct ForcedCase {
    const char* typed;
    const char* resolution; // what ForceD writes; empty when it writes nothing
};

class ForcedModulus : public ::testing::TestWithParam<ForcedCase> {};

// Fr 10, R 1, OutDiv 1: the resolution is 10000000 / D, D the typed number to integer.
TEST_P(ForcedModulus, TypedTextBecomesAResolution) {
    ModelRig rig;
    rig.plan.Recalculate();
    rig.probe.seen.clear();

    rig.Type(ForceD, GetParam().typed);

    const auto written = rig.probe.TextsOf(ResolutionText);
    if (*GetParam().resolution == '\0') {
        EXPECT_TRUE(written.empty());
        EXPECT_EQ(rig.Text(ResolutionText), " 10000");
    } else {
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written.front(), GetParam().resolution);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ForcedModulus,
                         ::testing::Values(ForcedCase{"4000", "2500"},
                                           ForcedCase{" 4 000 ", "2500"},
                                           ForcedCase{"4000.4", "2500"},
                                           ForcedCase{"2.5", "5000000"}, // half to even: 2
                                           ForcedCase{"3.5", "2500000"}, // half to even: 4
                                           ForcedCase{"3", "3333333.33333333"}, ForcedCase{"0", ""},
                                           ForcedCase{"0.4", ""}, ForcedCase{"-5", ""},
                                           ForcedCase{"abc", ""}, ForcedCase{"", ""}));

} // namespace
} // namespace max2870::test
