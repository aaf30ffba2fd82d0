// The register words: three reference sets, the field positions one
// control at a time, the address bits, and the hexadecimal form of a word.

#include "model_rig.h"

#include <cstdint>
#include <limits>

namespace max2870::test {
namespace {

using enum ControlId;

// Reference 10, R 1, divider exponent 1, 2320.5 MHz, 10000 Hz, fractional, phase 0, Lock Det,
// Low Noise, enabled, charge pump 15, positive detector, A on, B off, power 3: the panel's
// starting state with only the divider exponent changed.
void UseFractionalExample(ModelRig& rig) {
    rig.panel.PresetValue(OutDivCont, 1);
}

// Reference 50 doubled, exponent 0, 5800 MHz, 100000 Hz, 90 degrees, R div, Low Spur 1,
// negative detector, both outputs on, power 2.
void UseDoublerExample(ModelRig& rig) {
    rig.panel.Preset(FrText, "50");
    rig.panel.PresetValue(RefDbl, 1);
    rig.panel.PresetValue(OutDivCont, 0);
    rig.panel.Preset(FoutText, "5800");
    rig.panel.Preset(ResolutionText, "100000");
    rig.panel.Preset(OPPhasetext, "90");
    rig.panel.PresetValue(MuxR, 1);
    rig.panel.PresetValue(NM2, 1);
    rig.panel.PresetValue(PDpol, 1);
    rig.panel.PresetValue(Bon, 1);
    rig.panel.PresetValue(OPpwr, 2);
}

TEST(RegisterWords, FractionalExamplePacksTheSixWords) {
    ModelRig rig;
    UseFractionalExample(rig);
    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.N, 464);
    EXPECT_EQ(rig.state.Fract, 50);
    EXPECT_EQ(rig.state.Denom, 500);
    EXPECT_EQ(rig.plan.LastPhaseValue(), 0);
    EXPECT_EQ(rig.plan.LastBandSelect(), 200);
    const std::array<std::string, 6> expected{"00E80190", "20000FA1", "18005E42",
                                              "0000000B", "609C80FC", "00400005"};
    EXPECT_EQ(rig.HexWords(), expected);
}

TEST(RegisterWords, IntegerNExampleSetsBit31OfReg0AsANegativeNumber) {
    ModelRig rig;
    UseFractionalExample(rig);
    rig.panel.PresetValue(FractN, 1);
    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.N, 464);
    EXPECT_EQ(rig.state.Fract, 0);
    EXPECT_EQ(rig.state.Denom, 0);
    // 80E80000 hex held in the signed range.
    EXPECT_EQ(rig.state.Reg0, -2132279296);
    const std::array<std::string, 6> expected{"80E80000", "00000001", "18005F42",
                                              "0000000B", "609C80FC", "00400005"};
    EXPECT_EQ(rig.HexWords(), expected);
}

TEST(RegisterWords, DoublerExampleClampsBandSelectAndSetsReg2Bit31) {
    ModelRig rig;
    UseDoublerExample(rig);
    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.Fr, 100);
    EXPECT_EQ(rig.state.Fcomp, 100);
    EXPECT_EQ(rig.state.N, 58);
    EXPECT_EQ(rig.state.Fract, 0);
    EXPECT_EQ(rig.state.Denom, 1000);
    EXPECT_EQ(rig.plan.LastPhaseValue(), 250);
    EXPECT_EQ(rig.plan.LastBandSelect(), 1023); // 100 MHz / 50 kHz = 2000, clamped
    const std::array<std::string, 6> expected{"001D0000", "207D1F41", "CE005E02",
                                              "0000000B", "638FF1B4", "00400005"};
    EXPECT_EQ(rig.HexWords(), expected);
    EXPECT_LT(rig.state.Reg2, 0);
}

TEST(RegisterWords, EveryWordCarriesItsAddressInItsLowestBits) {
    ModelRig fractional;
    UseFractionalExample(fractional);
    fractional.plan.Recalculate();
    ModelRig integerN;
    UseFractionalExample(integerN);
    integerN.panel.PresetValue(FractN, 1);
    integerN.plan.Recalculate();
    ModelRig doubler;
    UseDoublerExample(doubler);
    doubler.plan.Recalculate();

    for (const ModelRig* rig : {&fractional, &integerN, &doubler}) {
        const auto words = rig->Words();
        for (std::size_t k = 0; k < words.size(); ++k) {
            EXPECT_EQ(static_cast<std::uint32_t>(words[k]) & 7U, k) << "Reg" << k;
        }
        // Reg3 and Reg5 do not depend on any setting.
        EXPECT_EQ(rig->state.Reg3, 0x0000000B);
        EXPECT_EQ(rig->state.Reg5, 0x00400005);
    }
}

// One control changed from the fractional example moves exactly its own field; the expected
// words are the example's words with that field rewritten by hand from the bit layout.
struct FieldCase {
    const char* what;
    ControlId control;
    int value;
    const char* reg2;
    const char* reg4;
};

class RegisterFields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(RegisterFields, OneControlMovesOnlyItsField) {
    const FieldCase& c = GetParam();
    ModelRig rig;
    UseFractionalExample(rig);
    rig.panel.PresetValue(c.control, c.value);
    rig.plan.Recalculate();

    const auto hex = rig.HexWords();
    EXPECT_EQ(hex[0], "00E80190");
    EXPECT_EQ(hex[1], "20000FA1");
    EXPECT_EQ(hex[2], c.reg2);
    EXPECT_EQ(hex[4], c.reg4);
}

INSTANTIATE_TEST_SUITE_P(
    Reg2AndReg4, RegisterFields,
    ::testing::Values(
        FieldCase{"chip disabled sets bit 5", Enable, 0, "18005E62", "609C80FC"},
        FieldCase{"negative detector clears bit 6", PDpol, 1, "18005E02", "609C80FC"},
        FieldCase{"charge pump 0 clears bits 12..9", ChrgPump, 0, "18004042", "609C80FC"},
        FieldCase{"charge pump 5 is 101 in bits 12..9", ChrgPump, 5, "18004A42", "609C80FC"},
        FieldCase{"MUX None is 000 in bits 28..26", MuxNone, 1, "00005E42", "609C80FC"},
        FieldCase{"MUX R div is 011", MuxR, 1, "0C005E42", "609C80FC"},
        FieldCase{"MUX N/2 div is 100", MuxN, 1, "10005E42", "609C80FC"},
        FieldCase{"Low Spur 1 is 10 in bits 30..29", NM2, 1, "58005E42", "609C80FC"},
        FieldCase{"Low Spur 2 is 11 in bits 30..29", NM3, 1, "78005E42", "609C80FC"},
        FieldCase{"output B on sets bit 8", Bon, 1, "18005E42", "609C81FC"},
        FieldCase{"output A off clears bit 5", Aon, 0, "18005E42", "609C80DC"},
        FieldCase{"power 0 clears bits 7..6 and 4..3", OPpwr, 0, "18005E42", "609C8024"},
        FieldCase{"power 1 is 01 in both places", OPpwr, 1, "18005E42", "609C806C"}),
    [](const ::testing::TestParamInfo<FieldCase>& info) {
        std::string name;
        for (const char* p = info.param.what; *p != '\0'; ++p) {
            const char ch = *p;
            if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')) {
                name += ch;
            } else {
                name += '_';
            }
        }
        return name;
    });

TEST(RegisterWords, BothReferenceOptionsTickedSetBits25And24AndKeepTheReference) {
    ModelRig rig;
    UseFractionalExample(rig);
    rig.panel.PresetValue(RefDbl, 1);
    rig.panel.PresetValue(Refdiv2, 1);
    rig.plan.Recalculate();

    EXPECT_EQ(rig.state.Fr, 10);
    EXPECT_EQ(rig.HexWords()[0], "00E80190");
    EXPECT_EQ(rig.HexWords()[2], "1B005E42");
}

TEST(HexFormat, SignedRangeGivesEightUpperCaseDigits) {
    EXPECT_EQ(HexFormat(0), "00000000");
    EXPECT_EQ(HexFormat(-1), "FFFFFFFF");
    EXPECT_EQ(HexFormat(std::numeric_limits<std::int32_t>::max()), "7FFFFFFF");
    EXPECT_EQ(HexFormat(std::numeric_limits<std::int32_t>::min()), "80000000");
    EXPECT_EQ(HexFormat(11), "0000000B");
    EXPECT_EQ(HexFormat(0x1800DE42), "1800DE42");
    EXPECT_EQ(HexFormat(-2132279296), "80E80000");
}

TEST(HexFormat, TwoToThe31IsTheLastValueAndAnythingAboveIsEmpty) {
    EXPECT_EQ(HexFormat(2147483648.0), "80000000");
    EXPECT_EQ(HexFormat(2147483649.0), "");
    EXPECT_EQ(HexFormat(2147483648.5), "");
    EXPECT_EQ(HexFormat(4294967295.0), "");
}

} // namespace
} // namespace max2870::test
