#include "core/chip_rules.h"

#include "core/numbers.h"

#include <algorithm>

namespace max2870 {
namespace {

constexpr double kBandClockHz = 50000;
constexpr double kLeastModulus = 2;

double FcompLimit(bool integerN) {
    return integerN ? 105 : 50;
}

struct NRange {
    double lowest;
    double highest;
};

NRange NRangeOf(bool integerN) {
    return integerN ? NRange{16, 65535} : NRange{19, 4091};
}

bool Breaks(ChipRule rule, const Plan& p, bool integerN) {
    switch (rule) {
    case ChipRule::FcompMax:
        return p.Fcomp > FcompLimit(integerN);
    case ChipRule::NRange:
        return p.N < NRangeOf(integerN).lowest || p.N > NRangeOf(integerN).highest;
    case ChipRule::DMin:
        return !integerN && p.Denom < kLeastModulus;
    case ChipRule::BandSelectClock:
        return p.BandSelect < 1 || p.Fcomp * 1000000 / p.BandSelect > kBandClockHz;
    case ChipRule::VcoRange:
        return !VcoInRange(p.VCO);
    }
    return false;
}

} // namespace

const char* ChipRuleCode(ChipRule rule) {
    switch (rule) {
    case ChipRule::FcompMax:
        return "fcomp-max";
    case ChipRule::NRange:
        return "n-range";
    case ChipRule::DMin:
        return "d-min";
    case ChipRule::BandSelectClock:
        return "band-select-clock";
    case ChipRule::VcoRange:
        break;
    }
    return "vco-range";
}

std::vector<ChipRule> BrokenChipRules(const Plan& plan, bool integerN) {
    std::vector<ChipRule> broken;
    if (plan.outcome != RunOutcome::Complete) {
        return broken;
    }
    for (const ChipRule rule : {ChipRule::FcompMax, ChipRule::NRange, ChipRule::DMin,
                                ChipRule::BandSelectClock, ChipRule::VcoRange}) {
        if (Breaks(rule, plan, integerN)) {
            broken.push_back(rule);
        }
    }
    return broken;
}

std::string ChipRuleText(ChipRule rule, const Plan& p, bool integerN) {
    const std::string mode = integerN ? "integer-N" : "fractional";
    switch (rule) {
    case ChipRule::FcompMax:
        return "Comparison frequency " + PatternFormat(p.Fcomp, "0.######") +
               " MHz is above the chip's " + PlainText(FcompLimit(integerN)) + " MHz in " + mode +
               " mode";
    case ChipRule::NRange:
        return "N = " + PlainText(p.N) + " is outside the chip's " +
               PlainText(NRangeOf(integerN).lowest) + " to " +
               PlainText(NRangeOf(integerN).highest) + " in " + mode + " mode";
    case ChipRule::DMin:
        return "D = " + PlainText(p.Denom) + " is below the chip's least modulus " +
               PlainText(kLeastModulus);
    case ChipRule::BandSelectClock:
        if (p.BandSelect < 1) {
            return "Band select divider " + PlainText(p.BandSelect) + " is below 1";
        }
        return "Band select clock " + PatternFormat(p.Fcomp * 1000 / p.BandSelect, "0.###") +
               " kHz (Fcomp / " + PlainText(p.BandSelect) + ") is above the chip's " +
               PlainText(kBandClockHz / 1000) + " kHz";
    case ChipRule::VcoRange:
        break;
    }
    return "VCO " + PatternFormat(p.VCO, "0.######") + " MHz is outside the chip's " +
           PlainText(kVcoLowestMhz) + " to " + PlainText(kVcoHighestMhz) + " MHz";
}

std::optional<double> BoundarySpurHz(const Plan& p, bool integerN) {
    if (p.outcome != RunOutcome::Complete) {
        return std::nullopt;
    }
    if (integerN || p.Fract == 0) {
        return 0.0;
    }
    return p.Fcomp * 1000000 * std::min(p.Fract, p.Denom - p.Fract) / p.Denom / p.OutDiv;
}

} // namespace max2870
