#pragma once

#include "core/plan.h"
#include "core/synth_state.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace max2870 {

// One EEPROM data directive line for a register word, without its line end (38 characters).
std::string EEhexData(std::int32_t word);

struct ListingReference {
    std::string_view frText; // the reference exactly as typed
    bool divideBy2 = false;
    bool doubler = false;
};

// The eight CR LF lines: two comment lines with the plan, then Reg5 down to Reg0.
std::string ListingText(const SynthState& state, const ListingReference& reference);

// The listing after the last recompute that ran. A run that did not complete gives no data
// directives, only the panel's message as assembler comments: each line of the results box
// after ";  ", or one line saying there is no comparison frequency.
std::string ListingAfter(RunOutcome lastOutcome, const SynthState& state,
                         const ListingReference& reference, std::string_view valuesText);

} // namespace max2870
