// Plans the chip cannot take, refused or mended: a zero or undefined modulus, F equal to
// D, fields that would spill into their neighbours, decoder sets that divide by zero, and
// searches without a plan to search.

#include "model_rig.h"

#include <cctype>
#include <cmath>

namespace max2870::test {
namespace {

using enum ControlId;

// True when the word stands on its own in the text ("R" in "R = 0", not in "Reg").
bool NamesWord(const std::string& text, const std::string& word) {
    const auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)); };
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const bool startsWord = at == 0 || !isWordChar(text[at - 1]);
        const auto end = at + word.size();
        const bool endsWord = end == text.size() || !isWordChar(text[end]);
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

// A complete run whose error is shown in red: resolution 30000 Hz gives D 167 and F 17 for a
// ratio of 464.1, about 9 kHz off. A refusal must leave that colour and those words alone.
void RedPriorRun(ModelRig& rig) {
    rig.panel.PresetValue(OutDivCont, 1);
    rig.panel.Preset(ResolutionText, "30000");
    rig.plan.Recalculate();
    ASSERT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    ASSERT_EQ(rig.Fore(ValuesText), colour::Red);
    rig.panel.Preset(ResolutionText, "10000");
}

// The run was refused: a message naming the field and the bound of its range, no words.
void ExpectRefused(const ModelRig& rig, const std::array<std::int32_t, 6>& wordsBefore,
                   const std::string& field, const std::string& bound) {
    const std::string text = rig.Text(ValuesText);
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Rejected);
    EXPECT_NE(text.rfind("Fcomp", 0), 0U) << text;
    EXPECT_TRUE(NamesWord(text, field)) << text;
    EXPECT_TRUE(NamesWord(text, bound)) << text;
    EXPECT_EQ(rig.Words(), wordsBefore);
    EXPECT_EQ(rig.Fore(ValuesText), colour::Red);
}

TEST(ZeroModulus, CoarseResolutionIsRefusedWithAMessage) {
    ModelRig rig;
    RedPriorRun(rig);
    const auto words = rig.Words();
    const double fract = rig.state.Fract;
    const double error = rig.state.ErrorHz;

    rig.Type(ResolutionText, "1E8"); // 10 MHz / 1e8 Hz / 2 = 0.05 -> D 0

    EXPECT_EQ(rig.state.Denom, 0);
    EXPECT_TRUE(NamesWord(rig.Text(ValuesText), "D")) << rig.Text(ValuesText);
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Rejected);
    EXPECT_EQ(rig.Words(), words);
    EXPECT_EQ(rig.Fore(ValuesText), colour::Red);
    // N is floor(x) already; F and the error keep the previous run's values.
    EXPECT_EQ(rig.state.N, 464);
    EXPECT_EQ(rig.state.Fract, fract);
    EXPECT_EQ(rig.state.ErrorHz, error);
}

TEST(ZeroModulus, FirstRunWithoutAResolutionIsRefused) {
    ModelRig rig;
    rig.panel.Preset(ResolutionText, "0"); // D keeps its starting 0
    rig.plan.Recalculate();

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Rejected);
    EXPECT_TRUE(NamesWord(rig.Text(ValuesText), "D")) << rig.Text(ValuesText);
    EXPECT_EQ(rig.Words(), (std::array<std::int32_t, 6>{}));
}

TEST(ZeroModulus, UndefinedModulusIsRefused) {
    for (const auto& [control, text] :
         {std::pair{ResolutionText, "1e-320"}, std::pair{FrText, "1e400"}}) {
        SCOPED_TRACE(text);
        ModelRig rig;
        RedPriorRun(rig);
        const auto words = rig.Words();

        rig.Type(control, text); // D = Fcomp * 1e6 / resolution / 2 is infinite

        EXPECT_FALSE(std::isfinite(rig.state.Denom));
        EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Rejected);
        EXPECT_TRUE(NamesWord(rig.Text(ValuesText), "D")) << rig.Text(ValuesText);
        EXPECT_EQ(rig.Words(), words);
        EXPECT_EQ(rig.Fore(ValuesText), colour::Red);
    }
}

TEST(FEqualToD, IsCarriedIntoN) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    // x = 2324.9975 / 10 * 2 = 464.9995; F = floor(0.9995 * 500 + 0.5) = 500 = D.
    rig.panel.Preset(FoutText, "2324.9975");
    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.N, 465);
    EXPECT_EQ(rig.state.Fract, 0);
    EXPECT_EQ(rig.state.Denom, 500);
    // The error of the uncarried plan, in the recompute's order; N + 1, F 0 is the same.
    const double fout = 2324.9975;
    EXPECT_EQ(rig.state.ErrorHz, (10 * (464 + 500.0 / 500) / 2 - fout) * 1000000);
    EXPECT_EQ(rig.state.ErrorHz, (10 * (465 + 0.0 / 500) / 2 - fout) * 1000000);
    EXPECT_EQ(rig.HexWords()[0], "00E88000"); // 465 << 15
    EXPECT_EQ(rig.HexWords()[1], "20000FA1");
    const std::string text = rig.Text(ValuesText);
    EXPECT_NE(text.find("N  465\r\nF  0\r\nD  500     \r\nError =  2500.0Hz\r\n"),
              std::string::npos)
        << text;
}

TEST(FEqualToD, CarryIsKeptWhenTheRunStopsAtTheTwelveBitTest) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.panel.Preset(ResolutionText, "1000"); // D 5000
    // x = 464.99999; F = floor(0.99999 * 5000 + 0.5) = 5000 = D.
    rig.panel.Preset(FoutText, "2324.99995");
    rig.plan.Recalculate();

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::TwelveBit);
    EXPECT_EQ(rig.state.Denom, 5000);
    EXPECT_EQ(rig.state.N, 465);
    EXPECT_EQ(rig.state.Fract, 0);
}

TEST(SpilledField, ReferenceDividerAbove1023IsRefused) {
    ModelRig rig;
    RedPriorRun(rig);
    const auto words = rig.Words();
    rig.panel.Preset(Rdivider, "1024");
    rig.Type(FrText, "1024"); // Fcomp 1, R 1024

    EXPECT_EQ(rig.state.R, 1024);
    ExpectRefused(rig, words, "R", "1023");
}

TEST(SpilledField, ReferenceDividerOf1023IsPacked) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.panel.Preset(Rdivider, "1023");
    rig.panel.Preset(FrText, "1023");
    rig.plan.Recalculate();

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    EXPECT_EQ(rig.HexWords()[2], "18FFDE42"); // 1023 in bits 23..14
}

TEST(SpilledField, ZeroReferenceDividerIsRefused) {
    ModelRig rig;
    RedPriorRun(rig);
    const auto words = rig.Words();
    // A comparison frequency kept from before and a reference far below it: R = 0.
    rig.panel.Preset(Rdivider, "");
    rig.Type(FrText, "1");

    EXPECT_EQ(rig.state.R, 0);
    ExpectRefused(rig, words, "R", "1023");
}

TEST(SpilledField, IntegerPartAbove65535IsRefused) {
    ModelRig rig;
    RedPriorRun(rig);
    const auto words = rig.Words();
    rig.panel.PresetValue(OutDivCont, 0);
    rig.Type(FoutText, "655360"); // x = 65536

    EXPECT_EQ(rig.state.N, 65536);
    ExpectRefused(rig, words, "N", "65535");
}

TEST(SpilledField, IntegerPartOf65535IsPacked) {
    ModelRig rig;
    rig.panel.Preset(FoutText, "655350");
    rig.plan.Recalculate();

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    EXPECT_EQ(rig.HexWords()[0], "7FFF8000");
}

TEST(SpilledField, NegativeIntegerPartIsRefused) {
    ModelRig rig;
    RedPriorRun(rig);
    const auto words = rig.Words();
    rig.Type(FoutText, "-2320.5"); // x = -464.1, N = -465

    EXPECT_EQ(rig.state.N, -465);
    ExpectRefused(rig, words, "N", "65535");
}

TEST(SpilledField, PhaseValueAbove4095IsRefused) {
    ModelRig rig;
    RedPriorRun(rig);
    const auto words = rig.Words();
    rig.panel.Preset(ResolutionText, "1250"); // D = 10 MHz / 1250 Hz / 2 = 4000
    rig.Type(OPPhasetext, "400");             // P = to integer(4444.4)

    EXPECT_EQ(rig.state.Denom, 4000);
    EXPECT_EQ(rig.plan.LastPhaseValue(), 4444);
    ExpectRefused(rig, words, "P", "4095");
}

TEST(SpilledField, FullTurnWithTheLargestModulusIsPacked) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.panel.Preset(ResolutionText, "1250");
    rig.panel.Preset(OPPhasetext, "360"); // P = D = 4000
    rig.plan.Recalculate();

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    EXPECT_EQ(rig.HexWords()[1], "27D07D01");
}

TEST(SpilledField, PhaseValueOf4095IsPackedAnd4096Refused) {
    // Resolution 1221 Hz: D = floor(10e6 / 1221 / 2 + 0.5) = 4095, the largest modulus.
    ModelRig full;
    full.panel.PresetValue(OutDivCont, 1);
    full.panel.Preset(ResolutionText, "1221");
    full.panel.Preset(OPPhasetext, "360"); // P = 4095
    full.plan.Recalculate();
    EXPECT_EQ(full.state.Denom, 4095);
    EXPECT_EQ(full.plan.LastOutcome(), RunOutcome::Complete);
    EXPECT_EQ(full.HexWords()[1], "27FFFFF9");

    full.Type(OPPhasetext, "360.05"); // 360.05 / 360 * 4095 = 4095.57 -> 4096
    EXPECT_EQ(full.plan.LastPhaseValue(), 4096);
    EXPECT_EQ(full.plan.LastOutcome(), RunOutcome::Rejected);
    EXPECT_EQ(full.HexWords()[1], "27FFFFF9");
}

TEST(SpilledField, NegativePhaseIsRefused) {
    ModelRig rig;
    RedPriorRun(rig);
    const auto words = rig.Words();
    rig.Type(OPPhasetext, "-90"); // P = -125

    EXPECT_EQ(rig.plan.LastPhaseValue(), -125);
    ExpectRefused(rig, words, "P", "4095");
}

TEST(SpilledField, PhaseBeyondEveryNumberIsRefusedInBothModes) {
    ModelRig fractional;
    RedPriorRun(fractional);
    const auto words = fractional.Words();
    fractional.Type(OPPhasetext, "1e400");
    EXPECT_FALSE(std::isfinite(fractional.plan.LastPhaseValue()));
    ExpectRefused(fractional, words, "P", "4095");

    // Integer-N: infinity times a modulus of 0 is not a number either.
    ModelRig integerN;
    RedPriorRun(integerN);
    integerN.panel.PresetValue(FractN, 1);
    integerN.plan.Recalculate();
    ASSERT_EQ(integerN.plan.LastOutcome(), RunOutcome::Complete);
    const auto integerWords = integerN.Words();
    integerN.Type(OPPhasetext, "1e400");
    EXPECT_EQ(integerN.plan.LastOutcome(), RunOutcome::Rejected);
    EXPECT_TRUE(NamesWord(integerN.Text(ValuesText), "P")) << integerN.Text(ValuesText);
    EXPECT_EQ(integerN.Words(), integerWords);
}

// The four words of the fractional example, as a read-back would file them.
constexpr StoredSet kFractionalSet{0x00E80190, 0x20000FA1, 0x18005E42, 0x609C80FC};

TEST(RefusedDecode, ZeroReferenceDividerChangesNothing) {
    ModelRig rig;
    rig.File({kFractionalSet.reg0, kFractionalSet.reg1, 0x18001E42, kFractionalSet.reg4});
    rig.state.InitFlag = true;
    const MemoryPanel panelBefore = rig.panel;
    const SynthState stateBefore = rig.state;

    const DecodeResult result = rig.plan.DecodeRegisters();

    EXPECT_FALSE(result.accepted);
    EXPECT_TRUE(NamesWord(result.reason, "R")) << result.reason;
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Rejected);
    ExpectSamePanel(panelBefore, rig.panel);
    ExpectSameState(stateBefore, rig.state);
    EXPECT_TRUE(rig.probe.seen.empty());
}

TEST(RefusedDecode, ZeroModulusInFractionalModeChangesNothing) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.plan.Recalculate(); // a plan on the panel that must survive
    rig.File({kFractionalSet.reg0, 0x20000001, kFractionalSet.reg2, kFractionalSet.reg4});
    rig.state.InitFlag = true;
    const MemoryPanel panelBefore = rig.panel;
    const SynthState stateBefore = rig.state;

    const DecodeResult result = rig.plan.DecodeRegisters();

    EXPECT_FALSE(result.accepted);
    EXPECT_TRUE(NamesWord(result.reason, "D")) << result.reason;
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Rejected);
    ExpectSamePanel(panelBefore, rig.panel);
    ExpectSameState(stateBefore, rig.state);
}

TEST(RefusedDecode, ZeroModulusInIntegerNModeIsAccepted) {
    ModelRig rig;
    rig.File({0x80E80000, 0x00000001, 0x18005F42, 0x609C80FC});
    rig.state.InitFlag = true;

    const DecodeResult result = rig.plan.DecodeRegisters();

    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

TEST(SearchWithoutAPlan, FractionSearchWithoutAComparisonFrequencyDoesNothing) {
    ModelRig rig;
    rig.panel.Preset(FrText, "0");
    rig.panel.Preset(ForceD, "77");

    rig.Click(NMCalc);

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::NoFcomp);
    EXPECT_EQ(rig.Text(ForceD), "77"); // not even emptied
    EXPECT_EQ(rig.Text(ResolutionText), "10000");
    EXPECT_EQ(rig.probe.Count(ForceD, ControlEvent::Change), 0);
}

TEST(SearchWithoutAPlan, FractionSearchOnAnInfiniteRatioDoesNothing) {
    ModelRig rig;
    rig.panel.Preset(FoutText, "1e400"); // VCO infinite, Fcomp 10
    rig.panel.Preset(ForceD, "77");

    rig.Click(NMCalc);

    EXPECT_EQ(rig.Text(ForceD), "77");
    EXPECT_EQ(rig.probe.Count(ForceD, ControlEvent::Change), 0);
}

TEST(SearchWithoutAPlan, ReferenceDividerSearchWithoutAReferenceDoesNothing) {
    ModelRig rig;
    rig.panel.PresetValue(FractN, 1);
    rig.plan.Recalculate(); // Fcomp 10 is kept below
    rig.panel.Preset(Rdivider, "");
    rig.panel.Preset(FrText, "0");
    rig.panel.Preset(ForceD, "77");

    rig.Click(NMCalc); // its recompute leaves Fr 0 and R 0

    EXPECT_EQ(rig.state.Fr, 0);
    EXPECT_EQ(rig.Text(Rdivider), "0");
    EXPECT_EQ(rig.state.R, 0);
    EXPECT_EQ(rig.Text(ForceD), "77");
}

TEST(SearchWithoutAPlan, ReferenceDividerSearchWithoutAnOutputDividerDoesNothing) {
    ModelRig rig;
    rig.panel.PresetValue(FractN, 1);
    rig.panel.Preset(Rdivider, "-1"); // no comparison frequency: OutDiv is never set
    rig.panel.Preset(ForceD, "77");

    rig.Click(NMCalc);

    EXPECT_EQ(rig.state.Fr, 10);
    EXPECT_EQ(rig.state.OutDiv, 0);
    EXPECT_EQ(rig.Text(Rdivider), "-1");
    EXPECT_EQ(rig.Text(ForceD), "77");
}

TEST(SearchWithoutAPlan, ForcedModulusBeforeAnyPlanDoesNothing) {
    ModelRig rig; // R and OutDiv are 0 until a recompute sets them
    rig.ShowListing();

    rig.Type(ForceD, "4000");

    EXPECT_EQ(rig.Text(ResolutionText), "10000");
    EXPECT_TRUE(rig.ListingShown());
}

TEST(SearchWithoutAPlan, ForcedModulusWithoutAnOutputDividerDoesNothing) {
    ModelRig rig;
    rig.state.Fr = 10;
    rig.state.R = 1;
    rig.state.OutDiv = 0;

    rig.Type(ForceD, "4000");

    EXPECT_EQ(rig.Text(ResolutionText), "10000");
}

TEST(SearchWithoutAPlan, ForcedModulusBeyondThe32BitRangeDoesNothing) {
    ModelRig rig;
    rig.plan.Recalculate(); // Fr 10, R 1, OutDiv 1
    const std::string resolution = rig.Text(ResolutionText);
    rig.probe.seen.clear();

    // 2147483647.5 rounds to the even 2^31, just outside the range.
    for (const char* typed : {"3e9", "-3e9", "2147483647.5", "1e400", "-1e400"}) {
        SCOPED_TRACE(typed);
        rig.Type(ForceD, typed);
        EXPECT_EQ(rig.Text(ResolutionText), resolution);
        EXPECT_EQ(rig.probe.Count(ResolutionText, ControlEvent::Change), 0);
    }

    rig.Type(ForceD, "2147483647"); // the largest that is taken: 10 MHz / 2147483647
    const auto written = rig.probe.TextsOf(ResolutionText);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.front().rfind("0.004656612875245", 0), 0U) << written.front();
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::TwelveBit);
}

} // namespace
} // namespace max2870::test
