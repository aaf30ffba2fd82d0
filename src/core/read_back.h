#pragma once

#include "core/decode.h"
#include "core/plan.h"
#include "core/synth_state.h"

#include <variant>

namespace max2870 {

// A read-back set restored onto a panel: what the decoder writes, and its two recomputes.
struct RestoredSet {
    DecodedSettings settings;
    RestoredPlan restored;      // the values and texts written before the recomputes
    PlanInputs inputs;          // the panel afterwards, as the operator sees it (tracking off)
    Plan tracked;               // the first run, tracking the decoded VCO so that it stays
    Plan plan;                  // the second run, from the texts the first one wrote back
    SynthState record;          // the record afterwards
    bool forceDCleared = false; // ticking "Integer N" empties the forced-modulus box
};

// Restores the four words onto a panel with these inputs and record. The reference, the phase,
// "Chip Enable" and an option group whose code no button stands for stay as the panel had them.
// A set with R = 0, or D = 0 in fractional mode, is refused with its reason.
std::variant<RestoredSet, DecodeRefusal>
RestoreSet(const ReadBackWords& words, const PlanInputs& panel, const SynthState& record);

// The panel's inputs once the decoder has written the set: tracking on, the texts restored.
PlanInputs RestoredInputs(const DecodedSettings& settings, const RestoredPlan& restored,
                          const PlanInputs& panel);

} // namespace max2870
