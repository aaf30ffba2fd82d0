#pragma once

#include "core/chip_rules.h"
#include "core/plan.h"

#include <string>
#include <vector>

namespace max2870 {

// A chip rule a complete plan breaks, with the line that names the plan's numbers.
struct RuleBreak {
    ChipRule rule;
    std::string text;
};

// Every rule the plan breaks, in the order they are checked; nothing for an incomplete plan.
std::vector<RuleBreak> RuleBreaks(const Plan& plan, bool integerN);

// The breaks that keep a set off the wire: all of them, except that the VCO range does not
// apply when the board's external VCO input is used.
std::vector<RuleBreak> BlockingBreaks(const std::vector<RuleBreak>& breaks, bool externalVco);

// "fcomp-max: Comparison frequency ...; d-min: D = 1 ...", for one message line.
std::string RuleBreakList(const std::vector<RuleBreak>& breaks);

} // namespace max2870
