#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace max2870 {

// A choice of the MUX or noise group: the register code and the planner's name for it.
struct OptionCode {
    std::int32_t code;
    std::string_view commandName;
};

inline constexpr std::array<OptionCode, 4> kMuxCodes{{
    {0, "none"},
    {3, "rdiv"},
    {4, "ndiv"},
    {6, "lock"},
}};

inline constexpr std::array<OptionCode, 3> kNoiseCodes{{
    {0, "low-noise"},
    {2, "low-spur-1"},
    {3, "low-spur-2"},
}};

// The entry of a group for a code, or none (a code no choice stands for).
constexpr const OptionCode* OptionForCode(std::span<const OptionCode> group, std::int32_t code) {
    for (const OptionCode& entry : group) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

constexpr const OptionCode* OptionForName(std::span<const OptionCode> group,
                                          std::string_view name) {
    for (const OptionCode& entry : group) {
        if (entry.commandName == name) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace max2870
