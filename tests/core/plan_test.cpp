// One plan per row, from an input record and what earlier runs left; expected values are the
// worked examples and edge cases, worked by hand.

#include "core/chip_rules.h"
#include "core/plan_display.h"
#include "core_rig.h"

#include <gtest/gtest.h>

namespace max2870::test {
namespace {

constexpr RegisterWords kEarlier{0x11, 0x22, 0x33, 0x44, 0x55, 0x66};

struct PlanCase {
    const char* name;
    PlanInputs in;
    PlanCarry carry;
    // outcome R N F D P BandSelect | words | broken chip rules | integer-boundary spur in Hz
    const char* expected;
    friend void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.name; }
};

constexpr const char* kPlanSections[] = {"plan", "words", "rules", "spur"};

std::string Summary(const Plan& p, bool integerN) {
    std::string rules;
    for (const ChipRule rule : BrokenChipRules(p, integerN)) {
        rules += std::string(" ") + ChipRuleCode(rule);
    }
    const std::optional<double> spur = BoundarySpurHz(p, integerN);
    return std::string(OutcomeName(p.outcome)) + " R " + Number(p.R) + " N " + Number(p.N) + " F " +
           Number(p.Fract) + " D " + Number(p.Denom) + " P " + Number(p.P) + " BS " +
           Number(p.BandSelect) + " | " + Hex(p.words) + " | rules" + rules + " | spur " +
           (spur ? Number(*spur) : "null");
}

const PlanCase kPlans[] = {
    {"worked_R_2_6",
     {.rdividerText = "2.6", .outDivExponent = 1},
     {},
     "complete R 3 N 1392 F 50 D 167 P 0 BS 67 | 02B80190 20000539 1800DE42 0000000B 609430FC "
     "00400005 | rules | spur 499001.9960079841"},
    {"worked_R_1",
     {.outDivExponent = 1},
     {},
     "complete R 1 N 464 F 50 D 500 P 0 BS 200 | 00E80190 20000FA1 18005E42 0000000B 609C80FC "
     "00400005 | rules | spur 500000"},
    {"integer_n",
     {.integerN = true, .outDivExponent = 1},
     {},
     "complete R 1 N 464 F 0 D 0 P 0 BS 200 | 80E80000 00000001 18005F42 0000000B 609C80FC "
     "00400005 | rules | spur 0"},
    {"doubler_50",
     {.frText = "50",
      .foutText = "5800",
      .resolutionText = "100000",
      .phaseText = "90",
      .refDoubler = true,
      .pdNegative = true,
      .outputB = true,
      .power = 2,
      .muxCode = 3,
      .noiseCode = 2},
     {},
     "complete R 1 N 58 F 0 D 1000 P 250 BS 1023 | 001D0000 207D1F41 CE005E02 0000000B 638FF1B4 "
     "00400005 | rules fcomp-max band-select-clock | spur 0"},
    {"doubler_integer_n_keeps_fcomp_rule",
     {.frText = "50", .foutText = "5800", .refDoubler = true, .integerN = true},
     {},
     "complete R 1 N 58 F 0 D 0 P 0 BS 1023 | 801D0000 00000001 9A005F42 0000000B 638FF0FC "
     "00400005 | rules band-select-clock | spur 0"},
    {"external_vco",
     {},
     {},
     "complete R 1 N 232 F 50 D 1000 P 0 BS 200 | 00740190 20001F41 18005E42 0000000B 608C80FC "
     "00400005 | rules vco-range | spur 500000"},
    {"phase_45_of_167",
     {.rdividerText = "2.6", .phaseText = "45", .outDivExponent = 1},
     {},
     "complete R 3 N 1392 F 50 D 167 P 21 BS 67 | 02B80190 200A8539 1800DE42 0000000B 609430FC "
     "00400005 | rules | spur 499001.9960079841"},
    {"f_equal_d_carries_into_n",
     {.foutText = "4649.9996"},
     {},
     "complete R 1 N 465 F 0 D 1000 P 0 BS 200 | 00E88000 20001F41 18005E42 0000000B 608C80FC "
     "00400005 | rules | spur 0"},
    {"tracking_keeps_vco",
     {.tracking = true, .outDivExponent = 2},
     {.VCO = 4641},
     "complete R 1 N 464 F 25 D 250 P 0 BS 200 | 00E800C8 200007D1 18005E42 0000000B 60AC80FC "
     "00400005 | rules | spur 250000"},
    {"empty_divider_keeps_fcomp",
     {.rdividerText = "", .outDivExponent = 1},
     {.Fcomp = 2.5},
     "complete R 4 N 1856 F 50 D 125 P 0 BS 50 | 03A00190 200003E9 18011E42 0000000B 609320FC "
     "00400005 | rules | spur 500000"},
    {"zero_resolution_keeps_modulus",
     {.resolutionText = "0", .outDivExponent = 1},
     {.Denom = 500},
     "complete R 1 N 464 F 50 D 500 P 0 BS 200 | 00E80190 20000FA1 18005E42 0000000B 609C80FC "
     "00400005 | rules | spur 500000"},
    {"band_select_1024_clamped",
     {.frText = "51.2", .foutText = "5120", .resolutionText = "100000"},
     {},
     "complete R 1 N 100 F 0 D 512 P 0 BS 1023 | 00320000 20001001 98005E42 0000000B 638FF0FC "
     "00400005 | rules fcomp-max band-select-clock | spur 0"},
    {"integer_n_16_keeps_n_rule",
     {.foutText = "160", .integerN = true},
     {},
     "complete R 1 N 16 F 0 D 0 P 0 BS 200 | 80080000 00000001 18005F42 0000000B 608C80FC "
     "00400005 | rules vco-range | spur 0"},
    {"fcomp_10_01_band_clock",
     {.frText = "10.01", .foutText = "4004", .resolutionText = "10010"},
     {},
     "complete R 1 N 400 F 0 D 1000 P 0 BS 200 | 00C80000 20001F41 18005E42 0000000B "
     "608C80FC 00400005 | rules band-select-clock | spur 0"},
    {"d_of_one",
     {.resolutionText = "5000000", .outDivExponent = 1},
     {},
     "complete R 1 N 464 F 0 D 1 P 0 BS 200 | 00E80000 20000009 18005E42 0000000B 609C80FC "
     "00400005 | rules d-min | spur 0"},
    {"twelve_bits_keeps_words",
     {.resolutionText = "1000", .outDivExponent = 1},
     {.words = kEarlier},
     "twelve-bit R 1 N 464 F 500 D 5000 P 0 BS 0 | 00000011 00000022 00000033 00000044 00000055 "
     "00000066 | rules | spur null"},
    {"zero_modulus_refused",
     {.resolutionText = "1e9", .outDivExponent = 1},
     {.words = kEarlier},
     "rejected R 1 N 464 F 0 D 0 P 0 BS 0 | 00000011 00000022 00000033 00000044 00000055 "
     "00000066 | rules | spur null"},
    {"r_spill_refused",
     {.rdividerText = "1024", .integerN = true},
     {.words = kEarlier},
     "rejected R 1024 N 237619 F 0 D 0 P 0 BS 0 | 00000011 00000022 00000033 00000044 00000055 "
     "00000066 | rules | spur null"},
    {"n_spill_refused",
     {.frText = "0.01", .integerN = true, .outDivExponent = 1},
     {},
     "rejected R 1 N 464100 F 0 D 0 P 0 BS 0 | 00000000 00000000 00000000 00000000 00000000 "
     "00000000 | rules | spur null"},
    {"phase_spill_refused",
     {.phaseText = "1e9", .outDivExponent = 1},
     {},
     "rejected R 1 N 464 F 50 D 500 P 1388888889 BS 200 | 00000000 00000000 00000000 00000000 "
     "00000000 00000000 | rules | spur null"},
    {"no_comparison_frequency",
     {.frText = "0", .outDivExponent = 1},
     {.words = kEarlier},
     "no-fcomp R 0 N 0 F 0 D 0 P 0 BS 0 | 00000011 00000022 00000033 00000044 00000055 "
     "00000066 | rules | spur null"},
};

class Plans : public testing::TestWithParam<PlanCase> {};

TEST_P(Plans, WordsFieldsRulesAndSpur) {
    const PlanCase& c = GetParam();
    const std::string got = Summary(MakePlan(c.in, c.carry), c.in.integerN);
    EXPECT_EQ(got, c.expected) << WhereDiffers(got, c.expected, kPlanSections);
}

INSTANTIATE_TEST_SUITE_P(Table, Plans, testing::ValuesIn(kPlans),
                         [](const auto& info) { return std::string(info.param.name); });

// Reg2's top bit marks a comparison frequency above 32 MHz; the band-select divider is Fcomp over
// 50 kHz to the nearest whole number, halves to the even neighbour.
TEST(PlanFields, ComparisonBitAndBandSelectAtTheirEdges) {
    const struct {
        const char* reference;
        std::uint32_t above32;
        double bandSelect;
    } table[] = {{"32", 0, 640}, {"32.5", 1, 650}, {"10.025", 0, 200}, {"10.075", 0, 202}};
    for (const auto& row : table) {
        const Plan p = MakePlan({.frText = row.reference}, {});
        ASSERT_EQ(p.outcome, RunOutcome::Complete) << "reference " << row.reference;
        EXPECT_EQ(UnpackField(p.words, FieldId::Fcomp32), row.above32)
            << "Reg2 bit 31 for Fcomp " << row.reference << " MHz";
        EXPECT_EQ(p.BandSelect, row.bandSelect) << "band select for Fcomp " << row.reference;
    }
}

// D is Fcomp over the resolution and the divider, to the nearest whole number: 5,000,000 / 1657
// is 3017.5015, just past the half.
TEST(PlanFields, ModulusRoundsToTheNearest) {
    const Plan p = MakePlan({.resolutionText = "1657", .outDivExponent = 1}, {});
    EXPECT_EQ(p.Denom, 3018) << "modulus D for 10 MHz, 1657 Hz, divider 2";
}

// A field beyond its width would spill into its neighbour: its largest value still packs.
TEST(PlanFields, FieldsSpillOnlyBeyondTheirWidth) {
    const struct {
        double R, N, P, F;
        const char* spilled;
    } rows[] = {{1, 16, 0, 0, "none"},
                {1023, 65535, 4095, 0, "none"},
                {0, 464, 0, 0, "R"},
                {1024, 464, 0, 0, "R"},
                {1, 65536, 0, 0, "N"},
                {1, 464, 4096, 0, "Phase value P"},
                {1, 464, -1, 0, "Phase value P"},
                {1, 464, 0, -1, "F"}};
    for (const auto& row : rows) {
        Plan p;
        p.R = row.R, p.N = row.N, p.P = row.P, p.Fract = row.F;
        const auto spilled = SpilledField(p);
        EXPECT_EQ(spilled ? FieldOf(spilled->first).name : "none", std::string_view(row.spilled))
            << "R " << row.R << " N " << row.N << " P " << row.P << " F " << row.F;
    }
}

// With no MUX button selected, the recompute packs the code the record holds from the last run.
TEST(PlanFields, MuxCodeCarriedFromTheLastRun) {
    SynthState record;
    ApplyPlan(MakePlan({.muxCode = 4}, {}), record);
    const Plan next = MakePlan({.muxCode = std::nullopt}, CarryOf(record));
    EXPECT_EQ(UnpackField(next.words, FieldId::Mux), 4U) << "MUX field of Reg2 after a run";
}

// The worked example's whole display, character for character (blanks counted).
TEST(PlanDisplay, WorkedExampleTextsAndColours) {
    const Plan p = MakePlan({.rdividerText = "2.6", .outDivExponent = 1}, {});
    const PlanDisplay d = DisplayOf(p, false);
    EXPECT_EQ(*d.rdivider, "3") << "divider box write-back";
    EXPECT_EQ(*d.label6, "Fcomp 3.333333MHz") << "Fcomp caption";
    EXPECT_EQ(*d.fvco, "VCO  4641MHz") << "VCO caption";
    EXPECT_EQ(*d.resolution, " 10000") << "resolution write-back";
    EXPECT_FALSE(d.fout) << "the wanted output is not written back when not tracking";
    EXPECT_EQ(*d.values, "Fcomp  3.333333MHz\r\nR  3\r\nN  1392\r\nF  50\r\nD  167     \r\n"
                         "Error =  -998.0Hz\r\n\r\nReg 0   0x 02B80190\r\n"
                         "Reg 1   0x 20000539\r\nReg 2   0x 1800DE42\r\n"
                         "Reg 3   0x 0000000B\r\nReg 4   0x 609430FC\r\n"
                         "Reg 5   0x 00400005\r\n")
        << "results text";
    EXPECT_EQ(d.valuesColour, colour::Red) << "an error of 998 Hz shows red";
    EXPECT_EQ(p.ErrorHz, -998.0039917536487) << "error in Hz";
}

struct DisplayCase {
    const char* name;
    PlanInputs in;
    PlanCarry carry;
    const char* shown; // fvco | fout write-back | resolution | first results line | colour
    friend void PrintTo(const DisplayCase& c, std::ostream* out) { *out << c.name; }
};

std::string Shown(const Plan& plan, bool tracking) {
    const PlanDisplay d = DisplayOf(plan, tracking);
    const auto text = [](const std::optional<std::string>& t) { return t ? *t : "-"; };
    const std::string values = text(d.values);
    const char* colourName = !d.valuesColour                  ? "unchanged"
                             : *d.valuesColour == colour::Red ? "red"
                                                              : "black";
    return text(d.fvco) + " | " + text(d.fout) + " | " + text(d.resolution) + " | " +
           values.substr(0, values.find('\r')) + " | " + colourName +
           (d.vcoInRange ? "" : " | out of range");
}

const DisplayCase kDisplays[] = {
    {"external_vco",
     {},
     {},
     "VCO  2320.5MHz\r\nExternal VCO Only | - |  10000 | Fcomp  10.00MHz | "
     "black | out of range"},
    {"vco_3000_in_range",
     {.foutText = "3000"},
     {},
     "VCO  3000MHz | - |  10000 | Fcomp  10.00MHz | black"},
    {"vco_6000_in_range",
     {.foutText = "6000"},
     {},
     "VCO  6000MHz | - |  10000 | Fcomp  10.00MHz | black"},
    {"integer_n_resolution",
     {.integerN = true, .outDivExponent = 1},
     {},
     "VCO  4641MHz | - |  5000000 | Fcomp  10.00MHz | red"},
    {"tracking_writes_fout",
     {.tracking = true, .outDivExponent = 2},
     {.VCO = 4641},
     "VCO  4641MHz |  1160.25 |  10000 | Fcomp  10.00MHz | black"},
    {"one_hertz_is_black",
     {.frText = "1", .foutText = "0.000001", .outDivExponent = 1},
     {},
     "VCO  2E-06MHz\r\nExternal VCO Only | - |  10000 | Fcomp  1.00MHz | black | out of range"},
    {"above_one_hertz_is_red",
     {.frText = "1", .foutText = "0.00000101", .outDivExponent = 1},
     {},
     "VCO  2.02E-06MHz\r\nExternal VCO Only | - |  10000 | Fcomp  1.00MHz | red | out of range"},
    {"twelve_bits",
     {.resolutionText = "1000", .outDivExponent = 1},
     {},
     "VCO  4641MHz | - |  1000 | More than 12 bits needed for fractional registers | unchanged"},
    {"zero_modulus",
     {.resolutionText = "1e9", .outDivExponent = 1},
     {},
     "VCO  4641MHz | - |  1000000000 | Fractional modulus D is zero or undefined: choose a finer "
     "resolution | unchanged"},
    {"r_spill",
     {.rdividerText = "1024", .integerN = true},
     {},
     "VCO  2320.5MHz\r\nExternal VCO Only | - |  9765.625 | R = 1024 is outside its range 1 to "
     "1023 "
     "| unchanged | out of range"},
    {"phase_spill",
     {.phaseText = "1e9", .outDivExponent = 1},
     {},
     "VCO  4641MHz | - |  10000 | Phase value P = 1388888889 is outside its range 0 to 4095 | "
     "unchanged"},
    {"d_4095_fits",
     {.resolutionText = "1221", .outDivExponent = 1},
     {},
     "VCO  4641MHz | - |  1221 | Fcomp  10.00MHz | red"},
    {"r_0_refused",
     {.rdividerText = "0.1", .integerN = true},
     {},
     "VCO  2320.5MHz\r\nExternal VCO Only | - |  100000000 | R = 0 is outside its range 1 to "
     "1023 | unchanged | out of range"},
    {"no_comparison", {.frText = "abc"}, {}, "- | - | - | - | unchanged"},
};

constexpr const char* kDisplaySections[] = {"VCO caption",  "Fout write-back", "resolution",
                                            "results line", "colour",          "range"};

class Displays : public testing::TestWithParam<DisplayCase> {};

TEST_P(Displays, CaptionsWriteBacksAndMessages) {
    const DisplayCase& c = GetParam();
    const std::string got = Shown(MakePlan(c.in, c.carry), c.in.tracking);
    EXPECT_EQ(got, c.shown) << WhereDiffers(got, c.shown, kDisplaySections);
}

INSTANTIATE_TEST_SUITE_P(Table, Displays, testing::ValuesIn(kDisplays),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace max2870::test
