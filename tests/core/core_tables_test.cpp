// The register map, the searches, the decoder and the chip rules as tables of numbers.

#include "core/chip_rules.h"
#include "core/hex_format.h"
#include "core/plan.h"
#include "core/search_math.h"
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
    // A comparison frequency below 1 MHz still searches; 100 + 1/4095 would need the widest
    // modulus, which is never tried.
    // clang-format off
    const ModulusCase cases[] = {
        {4641, 10, 10}, {4645, 10, 2}, {4640, 10, 2}, {4640.002, 10, 0}, {4649.99999, 10, 2},
        {4641.7, 10, 100}, {4641, 0, {}}, {4641, -1, {}}, {inf, 10, {}}, {1e300, 1e-300, {}},
        {3000.25, 0.5, 2}, {409.501, 4.095, 0},
    };
    // clang-format on
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
    EXPECT_EQ(ForcedResolution(1, 10, 1, 2), 5e6) << "D 1 is taken";
    for (const double refused : {0.0, -3.0, 2147483648.0, std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(ForcedResolution(refused, 10, 1, 1)) << "D " << refused << " is ignored";
    }
    EXPECT_FALSE(ForcedResolution(100, 10, 0, 1)) << "R of 0";
    EXPECT_FALSE(ForcedResolution(100, 10, 1, 0)) << "OutDiv of 0";
}

// Each limit at its edge: the last value allowed passes, the first beyond breaks the rule with
// its message. Fcomp 10 MHz, BandSelect 200 (50 kHz), N 464, D 500, VCO 4641 unless the row says.
TEST(ChipRules, LimitsAtTheirEdgesAndMessages) {
    const struct {
        bool integerN;
        double N, Denom, Fcomp, BandSelect, VCO;
        const char* expected; // the broken rules' codes and texts
    } rows[] = {
        {false, 19, 2, 10, 200, 3000, ""},
        {false, 4091, 500, 50, 1000, 6000, ""},
        {true, 16, 0, 105, 2100, 4641, ""},
        {true, 65535, 1, 10, 200, 4641, ""},
        {false, 18, 500, 10, 200, 4641,
         "n-range N = 18 is outside the chip's 19 to 4091 in fractional mode"},
        {false, 4092, 500, 10, 200, 4641,
         "n-range N = 4092 is outside the chip's 19 to 4091 in fractional mode"},
        {true, 15, 0, 10, 200, 4641,
         "n-range N = 15 is outside the chip's 16 to 65535 in integer-N mode"},
        {true, 65536, 0, 10, 200, 4641,
         "n-range N = 65536 is outside the chip's 16 to 65535 in integer-N mode"},
        {false, 464, 1, 10, 200, 4641, "d-min D = 1 is below the chip's least modulus 2"},
        {false, 464, 500, 10, 199, 4641,
         "band-select-clock Band select clock 50.251 kHz (Fcomp / 199) is above the chip's 50 kHz"},
        {false, 464, 500, 10, 0, 4641, "band-select-clock Band select divider 0 is below 1"},
        {true, 400, 0, 0.05, 1, 4641, ""}, // 50 kHz over a divider of 1
        {false, 464, 500, 10.1234565, 200, 4641,
         "band-select-clock Band select clock 50.617 kHz (Fcomp / 200) is above the chip's 50 kHz"},
        {false, 464, 500, 50.1234565, 1010, 4641,
         "fcomp-max Comparison frequency 50.123457 MHz is above the chip's 50 MHz in fractional "
         "mode"},
        {false, 464, 500, 10, 200, 2999.1234565,
         "vco-range VCO 2999.123457 MHz is outside the chip's 3000 to 6000 MHz"},
        {false, 464, 500, 10, 200, 2999.999,
         "vco-range VCO 2999.999 MHz is outside the chip's 3000 to 6000 MHz"},
        {false, 464, 500, 10, 200, 6000.5,
         "vco-range VCO 6000.5 MHz is outside the chip's 3000 to 6000 MHz"},
        {false, 464, 500, 50.5, 1010, 4641,
         "fcomp-max Comparison frequency 50.5 MHz is above the chip's 50 MHz in fractional mode"},
        {true, 464, 0, 105.5, 2110, 4641,
         "fcomp-max Comparison frequency 105.5 MHz is above the chip's 105 MHz in integer-N mode"},
    };
    for (const auto& row : rows) {
        Plan p;
        p.outcome = RunOutcome::Complete;
        p.N = row.N, p.Denom = row.Denom, p.Fcomp = row.Fcomp, p.BandSelect = row.BandSelect;
        p.VCO = row.VCO;
        std::string got;
        for (const ChipRule rule : BrokenChipRules(p, row.integerN)) {
            got += ChipRuleCode(rule) + (" " + ChipRuleText(rule, p, row.integerN));
        }
        EXPECT_EQ(got, row.expected)
            << "N " << row.N << " D " << row.Denom << " Fcomp " << row.Fcomp << " BandSelect "
            << row.BandSelect << " VCO " << row.VCO << (row.integerN ? " integer-N" : "");
    }
}

} // namespace
} // namespace max2870::test
