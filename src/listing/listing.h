#pragma once

#include "model/synth_state.h"

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

} // namespace max2870
