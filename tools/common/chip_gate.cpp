#include "chip_gate.h"

#include <algorithm>

namespace max2870 {

std::vector<RuleBreak> RuleBreaks(const Plan& plan, bool integerN) {
    std::vector<RuleBreak> breaks;
    for (const ChipRule rule : BrokenChipRules(plan, integerN)) {
        breaks.push_back({rule, ChipRuleText(rule, plan, integerN)});
    }
    return breaks;
}

std::vector<RuleBreak> BlockingBreaks(const std::vector<RuleBreak>& breaks, bool externalVco) {
    std::vector<RuleBreak> blocking;
    std::copy_if(breaks.begin(), breaks.end(), std::back_inserter(blocking),
                 [externalVco](const RuleBreak& b) {
                     return !(externalVco && b.rule == ChipRule::VcoRange);
                 });
    return blocking;
}

std::string RuleBreakList(const std::vector<RuleBreak>& breaks) {
    std::string list;
    for (const RuleBreak& b : breaks) {
        list += (list.empty() ? "" : "; ") + std::string(ChipRuleCode(b.rule)) + ": " + b.text;
    }
    return list;
}

} // namespace max2870
