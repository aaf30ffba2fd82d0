// Read-back sets restored onto the starting panel (reference 10 MHz, phase 0, MUX lock detect,
// low noise), worked by hand from the register layout.

#include "core/read_back.h"
#include "core_rig.h"

#include <gtest/gtest.h>

#include <ostream>

namespace max2870::test {
namespace {

struct ReadBackCase {
    const char* name;
    ReadBackWords words; // Reg0, Reg1, Reg2, Reg4
    // mode | R text | exponent | resolution text | Fout text | MUX | noise | reference boxes |
    // CP | phase detector | outputs | power | outcome | words | VCO and Fcomp captions as
    // restored; or the refusal's reason
    const char* expected;
    friend void PrintTo(const ReadBackCase& c, std::ostream* out) { *out << c.name; }
};

constexpr const char* kSections[] = {"mode",      "R text",
                                     "exponent",  "resolution text",
                                     "Fout text", "MUX",
                                     "noise",     "reference boxes",
                                     "CP",        "phase detector",
                                     "outputs",   "power",
                                     "outcome",   "words"};

std::string Restored(const ReadBackWords& words) {
    const auto result = RestoreSet(words, PlanInputs{}, SynthState{});
    if (const auto* refusal = std::get_if<DecodeRefusal>(&result)) {
        return refusal->reason;
    }
    const RestoredSet& r = std::get<RestoredSet>(result);
    const PlanInputs& in = r.inputs;
    const auto code = [](std::optional<std::int32_t> c) { return c ? std::to_string(*c) : "-"; };
    return std::string(in.integerN ? "int" : "frac") + " | " + in.rdividerText + " | " +
           std::to_string(in.outDivExponent) + " | " + in.resolutionText + " | " + in.foutText +
           " | " + code(in.muxCode) + " | " + code(in.noiseCode) + " | " +
           (in.refDoubler ? "x2" : "") + (in.refDivide2 ? "/2" : "") + " | " +
           std::to_string(in.chargePump) + " | " + (in.pdNegative ? "-" : "+") + " | " +
           (in.outputA ? "A" : "") + (in.outputB ? "B" : "") + " | " + std::to_string(in.power) +
           " | " + OutcomeName(r.plan.outcome) + " | " + Hex(r.plan.words) + " | " +
           r.restored.fvcoCaption + " | " + r.restored.label6Caption;
}

const ReadBackCase kReadBacks[] = {
    // 10 / 2 / R 2 = 2.5 MHz; N 1500 + 25/125 gives 3750.5 MHz, halved 1875.25 MHz.
    {"r_2_divide_by_2_odd_d_mux_n_low_spur_2_a_off",
     {0x02EE00C8, 0x200003E9, 0x71009E42, 0x609320DC},
     "frac | 2 | 1 |  10000 |  1875.25 | 4 | 3 | /2 | 15 | + |  | 3 | complete | 02EE00C8 "
     "200003E9 71009E42 0000000B 609320DC 00400005 | VCO  3750.5MHz | Fcomp 2.5"},
    // 10 x 2 = 20 MHz, N 200: 4000 MHz undivided; band select 400 across both fields.
    {"integer_n_doubler_both_outputs",
     {static_cast<std::int32_t>(0x80640000), 0x00000001, 0x1A004F02, 0x618901B4},
     "int | 1 | 0 |  20000000 |  4000 | 6 | 0 | x2 | 7 | - | AB | 2 | complete | 80640000 "
     "00000001 1A004F02 0000000B 618901B4 00400005 | VCO  4000MHz | Fcomp 20"},
    // MUX code 1 and noise code 1 have no button: the panel's lock detect and low noise stay.
    {"codes_without_a_button_keep_the_panel",
     {0x00E80190, 0x20000FA1, 0x24005E42, 0x609C80FC},
     "frac | 1 | 1 |  10000 |  2320.5 | 6 | 0 |  | 15 | + | A | 3 | complete | 00E80190 "
     "20000FA1 18005E42 0000000B 609C80FC 00400005 | VCO  4641MHz | Fcomp 10"},
    // 10 / 2 / R 3: the restored texts carry 15 significant digits; band select 33 now.
    {"r_3_fifteen_digit_texts",
     {0x02B80190, 0x20000539, 0x2500DE42, 0x609430FC},
     "frac | 3 | 1 |  4990.01996007984 |  1160.249500998 | 6 | 0 | /2 | 15 | + | A | 3 | "
     "complete | 02B80190 20000539 1900DE42 0000000B 609210FC 00400005 | "
     "VCO  2320.49900199601MHz | Fcomp 1.66666666666667"},
    {"r_0_refused",
     {0x00E80190, 0x20000FA1, 0x18000042, 0x609C80FC},
     "the reference divider R is 0"},
    {"d_0_fractional_refused",
     {0x00E80190, 0x20000001, 0x18005E42, 0x609C80FC},
     "the modulus D is 0 in fractional mode"},
};

class ReadBacks : public testing::TestWithParam<ReadBackCase> {};

TEST_P(ReadBacks, RestoredInputsAndPlanOrRefusal) {
    const ReadBackCase& c = GetParam();
    const std::string got = Restored(c.words);
    EXPECT_EQ(got, c.expected) << WhereDiffers(got, c.expected, kSections);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadBacks, testing::ValuesIn(kReadBacks),
                         [](const auto& info) { return std::string(info.param.name); });

// The boxes as the decoder writes them, before its recomputes rewrite them.
TEST(ReadBack, BoxesAsDecodedBeforeTheRecompute) {
    const std::tuple<ReadBackWords, const char*, const char*, const char*> sets[] = {
        {{0x00E80190, 0x20000FA1, 0x18005E42, 0x609C80FC}, " 1", " 10000", " 2320.5"},
        {{static_cast<std::int32_t>(0x80640000), 0x00000001, 0x1A004F02, 0x618901B4},
         " 1",
         " 20000000",
         " 4000"}};
    for (const auto& [words, r, resolution, fout] : sets) {
        const auto result = RestoreSet(words, PlanInputs{}, SynthState{});
        ASSERT_TRUE(std::holds_alternative<RestoredSet>(result)) << fout;
        const RestoredPlan& restored = std::get<RestoredSet>(result).restored;
        EXPECT_EQ(restored.rdividerText, r) << "divider box as decoded";
        EXPECT_EQ(restored.resolutionText, resolution) << "resolution box as decoded";
        EXPECT_EQ(restored.foutText, fout) << "output box as decoded";
    }
}

} // namespace
} // namespace max2870::test
