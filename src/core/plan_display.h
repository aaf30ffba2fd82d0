#pragma once

#include "core/colours.h"
#include "core/plan.h"

#include <optional>
#include <string>

namespace max2870 {

// The texts, captions and colours one run writes to the panel, in the order it writes them.
// Empty optionals are not written.
struct PlanDisplay {
    std::optional<std::string> rdivider;   // the whole R, no blank
    std::optional<std::string> label6;     // "Fcomp 3.333333MHz"
    std::optional<std::string> fout;       // while tracking: the blank-led Fout
    std::optional<std::string> fvco;       // "VCO  4641MHz", with "External VCO Only" when out
    bool vcoInRange = true;                // black VCO caption and white output box, else red
    std::optional<std::string> resolution; // the blank-led resolution
    std::optional<std::string> values;     // the results text or the run's message
    std::optional<Rgb> valuesColour;       // red when the error exceeds 1 Hz; complete runs only
};

// What the window shows of a plan; the Fout text only while tracking.
PlanDisplay DisplayOf(const Plan& plan, bool tracking);

// The boxes a run rewrites among its own inputs: the whole R, the tracked Fout, the resolution.
void WriteBack(const PlanDisplay& shown, PlanInputs& inputs);

} // namespace max2870
