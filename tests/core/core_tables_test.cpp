// The register map, the searches, the decoder and the chip rules as tables of numbers.

#include "core/decode.h"
#include "core/hex_format.h"
#include "core/search_math.h"
#include "core/plan.h"
#include "core_rig.h"

#include <gtest/gtest.h>

#include <limits>

namespace max2870::test {
namespace {

// Every field within its word, none overlapping another or the word's fixed bits, and the fixed
// bits carrying each word's own address.
TEST(RegisterMap, FieldsTileTheWordsAndUnpackWhatWasPacked) {
    std::array<std::uint32_t, 6> used = kFixedBits;
    FieldValues widest{};
    for (const RegisterField& f : RegisterFieldTable()) {
        const std::uint32_t mask = ((f.width == 32 ? 0U : 1U << f.width) - 1U) << f.lowestBit;
        EXPECT_LE(f.lowestBit + f.width, 32) << f.name << " leaves its word";
        EXPECT_EQ(used[static_cast<std::size_t>(f.reg)] & mask, 0U) << f.name << " overlaps";
        used[static_cast<std::size_t>(f.reg)] |= mask;
        widest[static_cast<std::size_t>(f.id)] = (1U << f.width) - 1U;
    }
    const RegisterWords packed = PackRegisters(widest);
    for (const RegisterField& f : RegisterFieldTable()) {
        EXPECT_EQ(UnpackField(packed, f.id), (1U << f.width) - 1U) << f.name << " read back";
    }
    EXPECT_EQ(Hex(PackRegisters({})), "00000000 00000001 00000002 0000000B 60800004 00400005")
        << "address bits, Reg3, Reg5 and the constant bits of Reg4";
    EXPECT_EQ(Hex(packed), "FFFFFFF8 27FFFFF9 FFFFDF62 0000000B 63FFF1FC 00400005")
        << "every field bit of every word";
}

TEST(RegisterMap, HexFormatOfEveryHeldWord) {
    const std::pair<double, const char*> cases[] = {{0, "00000000"},
                                                    {-1, "FFFFFFFF"},
                                                    {2147483647, "7FFFFFFF"},
                                                    {-2147483648.0, "80000000"},
                                                    {2147483648.0, "80000000"},
                                                    {2147483649.0, ""},
                                                    {4194309, "00400005"},
                                                    {std::numeric_limits<double>::quiet_NaN(), ""}};
    for (const auto& [word, digits] : cases) {
        EXPECT_EQ(HexFormat(word), digits) << "8 digits shown for the word " << word;
    }
}

struct ModulusCase {
    double vco, fcomp;
    std::optional<double> best;
};

TEST(FractionSearch, ChoosesTheFirstClosestModulus) {
    const double inf = std::numeric_limits<double>::infinity();
    const ModulusCase cases[] = {
        {4641, 10, 10},    {4645, 10, 2}, {4640, 10, 2},  {4640.002, 10, 0}, {4649.99999, 10, 2},
        {4641.7, 10, 100}, {4641, 0, {}}, {4641, -1, {}}, {inf, 10, {}},     {1e300, 1e-300, {}},
    };
    for (const ModulusCase& c : cases) {
        EXPECT_EQ(BestModulus(c.vco, c.fcomp), c.best)
            << "ForceD written by Find Best F/D for VCO " << c.vco << ", Fcomp " << c.fcomp;
    }
}

TEST(ReferenceDividerSearch, StopsAtTheFirstHitOrABound) {
    const auto at = [](double fr, double fout, double outDiv, double wanted) {
        const auto found = SearchReferenceDivider(fr, fout, outDiv, wanted);
        return found ? Number(found->R) + " " + Number(found->N) : "none";
    };
    EXPECT_EQ(at(10, 2320.5, 2, 2320.5), "10 4641") << "the first R that meets 2320.5 MHz";
    EXPECT_EQ(at(10, 31.4159265358979, 1, 31.4159265358979), "1001 3144")
        << "no R up to 1000 meets pi x 10 MHz";
    EXPECT_EQ(at(10, 5000, 1, 5000.3), "81 40500") << "N beyond 40000 stops the search";
    EXPECT_EQ(at(0, 2320.5, 2, 2320.5), "none") << "no reference";
    EXPECT_EQ(at(10, 2320.5, 0, 2320.5), "none") << "no output divider";
}

TEST(ForcedModulus, TypedModulusBecomesAResolution) {
    EXPECT_EQ(ForcedResolution(4000, 10, 1, 1), 2500.0) << "resolution written for D 4000";
    EXPECT_EQ(ForcedResolution(3.5, 10, 1, 1), 10e6 / 4) << "D rounds half to even";
    EXPECT_EQ(ForcedResolution(2147483647.0, 10, 1, 1), 10e6 / 2147483647.0) << "largest D";
    for (const double refused : {0.0, -3.0, 2147483648.0, std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(ForcedResolution(refused, 10, 1, 1)) << "D " << refused << " is ignored";
    }
    EXPECT_FALSE(ForcedResolution(100, 10, 0, 1)) << "R of 0";
    EXPECT_FALSE(ForcedResolution(100, 10, 1, 0)) << "OutDiv of 0";
}

struct DecodeCase {
    std::array<std::int32_t, 4> words; // Reg0, Reg1, Reg2, Reg4
    double reference;
    const char* expected;
};

std::string Decoded(const DecodeCase& c) {
    const auto decoded = DecodeWords(c.words);
    if (const auto* refusal = std::get_if<DecodeRefusal>(&decoded)) {
        return "refused: " + refusal->reason;
    }
    const DecodedSettings& s = std::get<DecodedSettings>(decoded);
    const RestoredPlan p = RestorePlan(s, c.reference);
    return std::string(s.integerN ? "int" : "frac") + " N " + Number(s.N) + " F " +
           Number(s.Fract) + " D " + Number(s.Denom) + " R " + Number(s.R) + " k " +
           Number(s.outDivExponent) + " noise " + Number(s.noiseCode) + " mux " +
           Number(s.muxCode) + (s.refDoubler ? " x2" : "") + (s.refDivide2 ? " /2" : "") + " cp " +
           Number(s.chargePump) + (s.pdNegative ? " pd-" : " pd+") + (s.outputA ? " A" : "") +
           (s.outputB ? " B" : "") + " pw " + Number(s.power) + " |" + p.rdividerText + "|" +
           p.fvcoCaption + "|" + p.label6Caption + "|" + p.resolutionText + "|" + p.foutText;
}

TEST(Decoder, StoredSetsGiveBackThePanel) {
    const DecodeCase cases[] = {
        {{0x00E80190, 0x20000FA1, 0x18005E42, 0x609C80FC},
         10,
         "frac N 464 F 50 D 500 R 1 k 1 noise 0 mux 6 cp 15 pd+ A pw 3 | 1|VCO  4641MHz|"
         "Fcomp 10| 10000| 2320.5"},
        {{static_cast<std::int32_t>(0x80E80000), 0x00000001, 0x18005F42, 0x609C80FC},
         10,
         "int N 464 F 0 D 0 R 1 k 1 noise 0 mux 6 cp 15 pd+ A pw 3 | 1|VCO  4640MHz|Fcomp 10|"
         " 5000000| 2320"},
        {{0x001D0000, 0x207D1F41, static_cast<std::int32_t>(0xCE005E02), 0x638FF1B4},
         50,
         "frac N 58 F 0 D 1000 R 1 k 0 noise 2 mux 3 x2 cp 15 pd- A B pw 2 | 1|VCO  5800MHz|"
         "Fcomp 100| 100000| 5800"},
        {{0x02B80190, 0x20000539, 0x2500DE42, 0x609430FC},
         10,
         "frac N 1392 F 50 D 167 R 3 k 1 noise 1 mux 1 /2 cp 15 pd+ A pw 3 | 3|"
         "VCO  2320.49900199601MHz|Fcomp 1.66666666666667| 4990.01996007984| 1160.249500998"},
        {{0x00E80190, 0x20000FA1, 0x18000042, 0x609C80FC},
         10,
         "refused: the reference divider R is 0"},
        {{0x00E80190, 0x20000001, 0x18005E42, 0x609C80FC},
         10,
         "refused: the modulus D is 0 in fractional mode"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(Decoded(c), c.expected) << "panel restored from a stored set";
    }
}

} // namespace
} // namespace max2870::test
