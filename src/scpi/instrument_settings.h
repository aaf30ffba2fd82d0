#pragma once

#include "core/plan.h"

#include <vector>

namespace max2870::scpi {

enum class FrequencyMode { Cw, Sweep, List };

// Which chip rules keep a set off the wire, as the sender's --external-vco and
// --allow-rule-breaks say.
struct RuleGate {
    bool externalVco = false;     // the VCO range does not apply
    bool allowRuleBreaks = false; // no rule does
};

// Everything the instrument's commands set: the panel the plan is made from, and the sweep and
// list INITiate runs.
struct InstrumentSettings {
    PlanInputs panel;
    FrequencyMode mode = FrequencyMode::Cw;
    double startHz = 3e9;
    double stopHz = 6e9;
    long long points = 11;
    double sweepDwellSeconds = 0;
    std::vector<double> listHz;
    double listDwellSeconds = 0;
    RuleGate gate;
};

// The limits the commands check before planning.
inline constexpr double kMinimumOutputHz = 23.4375e6;
inline constexpr double kMaximumOutputHz = 6e9;
inline constexpr long long kMaximumPoints = 10000;
inline constexpr double kMaximumDwellSeconds = 3600;

} // namespace max2870::scpi
