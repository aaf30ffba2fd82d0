#pragma once

#include "core/plan.h"

#include <optional>
#include <string>
#include <vector>

namespace max2870 {

// The chip's own limits, which a complete plan can still break (an external VCO or a bench
// experiment may mean it). Codes in the order they are checked.
enum class ChipRule {
    FcompMax,        // "fcomp-max": at most 50 MHz fractional, 105 MHz integer-N
    NRange,          // "n-range": 19..4091 fractional, 16..65535 integer-N
    DMin,            // "d-min": D at least 2, fractional only
    BandSelectClock, // "band-select-clock": BandSelect at least 1, Fcomp / BandSelect <= 50 kHz
    VcoRange,        // "vco-range": 3000..6000 MHz
};

const char* ChipRuleCode(ChipRule rule);

// The rules a complete plan breaks, in the order above; limits are inclusive. Nothing for a
// plan that did not complete.
std::vector<ChipRule> BrokenChipRules(const Plan& plan, bool integerN);

// One line naming the rule and the plan's numbers, for a tooltip or a warning.
std::string ChipRuleText(ChipRule rule, const Plan& plan, bool integerN);

// The distance in Hz at the output from the carrier to the nearest integer-boundary spur:
// Fcomp x 1e6 x min(F, D - F) / D / OutDiv. 0 with F = 0 and in integer-N mode; none when the
// plan did not complete.
std::optional<double> BoundarySpurHz(const Plan& plan, bool integerN);

} // namespace max2870
