#pragma once

#include "core/option_codes.h"
#include "panel/control_id.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace max2870 {

// The option buttons of each group, in the order of the group's codes, one for each.
inline constexpr std::array<ControlId, kMuxCodes.size()> kMuxButtons{
    ControlId::MuxNone, ControlId::MuxR, ControlId::MuxN, ControlId::MuxL};
inline constexpr std::array<ControlId, kNoiseCodes.size()> kNoiseButtons{
    ControlId::NM0, ControlId::NM2, ControlId::NM3};

// The button that stands for a code, or none.
std::optional<ControlId> ButtonForCode(std::span<const OptionCode> codes,
                                       std::span<const ControlId> buttons, std::int32_t code);

} // namespace max2870
