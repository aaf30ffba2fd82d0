#pragma once

#include "panel/control_id.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace max2870 {

// An option button of the MUX or noise group and the register code it stands for.
struct OptionCode {
    ControlId option;
    std::int32_t code;
    std::string_view caption;
    std::string_view commandName; // the planner's name for it
};

inline constexpr std::array<OptionCode, 4> kMuxCodes{{
    {ControlId::MuxNone, 0, "None", "none"},
    {ControlId::MuxR, 3, "R div", "rdiv"},
    {ControlId::MuxN, 4, "N/2 div", "ndiv"},
    {ControlId::MuxL, 6, "Lock Det", "lock"},
}};

inline constexpr std::array<OptionCode, 3> kNoiseCodes{{
    {ControlId::NM0, 0, "Low Noise", "low-noise"},
    {ControlId::NM2, 2, "Low Spur 1", "low-spur-1"},
    {ControlId::NM3, 3, "Low Spur 2", "low-spur-2"},
}};

// The entry of a group for a code, or none (a code that no button stands for).
const OptionCode* OptionForCode(std::span<const OptionCode> group, std::int32_t code);
const OptionCode* OptionForName(std::span<const OptionCode> group, std::string_view name);

} // namespace max2870
