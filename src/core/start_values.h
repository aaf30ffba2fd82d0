#pragma once

#include <cstdint>
#include <string_view>

namespace max2870 {

// The panel as it starts: the control table shows these, a fresh recompute reads them and the
// planner assumes them for an option not given.
struct StartValues {
    std::string_view reference = "10"; // MHz
    std::string_view divider = "1";
    std::string_view fout = "2320.5";      // MHz
    std::string_view resolution = "10000"; // Hz
    std::string_view phase = "0";          // degrees
    bool chipEnable = true;
    bool outputA = true;
    int outDivExponent = 0;
    int chargePump = 15;
    int power = 3;
    std::int32_t muxCode = 6;   // lock detect
    std::int32_t noiseCode = 0; // low noise
};
inline constexpr StartValues kStart{};

} // namespace max2870
