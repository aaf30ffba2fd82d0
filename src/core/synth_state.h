#pragma once

#include "core/register_map.h"

#include <cstdint>

namespace max2870 {

// The plan values a recompute works out: frequencies in MHz, Resolution and ErrorHz in Hz.
struct PlanValues {
    double Fr = 0;
    double R = 0;
    double Fcomp = 0;
    double OutDiv = 0;
    double Fout = 0;
    double VCO = 0;
    double Resolution = 0;
    double N = 0;
    double Fract = 0;
    double Denom = 0;
    double ErrorHz = 0;
    std::int16_t MuxVal = 0;
    std::int32_t NoiseMode = 0;
};

// The settings record: the plan of the panel and the words it last packed.
struct SynthState : PlanValues {
    RegisterWords words{};
};

} // namespace max2870
