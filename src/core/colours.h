#pragma once

#include <cstdint>

namespace max2870 {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

namespace colour {
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Green{0, 128, 0};    // resolution text while the plan is integer-N
inline constexpr Rgb Yellow{255, 255, 0}; // divider box while the plan is integer-N
inline constexpr Rgb PanelBack{208, 255, 255};
inline constexpr Rgb ButtonPeach{255, 224, 192};
inline constexpr Rgb DeepBlue{0, 0, 192};
inline constexpr Rgb LogPurple{128, 0, 128}; // link log after "Write EE"
inline constexpr Rgb LogGreen{0, 160, 0};    // link log after "INIT from EE"
} // namespace colour

} // namespace max2870
