#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace max2870sim {

using RegisterSet = std::array<std::uint32_t, 6>; // indexed by register address

// What a register set makes the chip do, from the chip's own frequency relations, with a
// warning for every operating rule the set breaks.
struct ChipAnalysis {
    bool integerN = false;
    std::uint32_t n = 0;
    std::uint32_t fraction = 0;
    std::uint32_t modulus = 0;
    std::uint32_t referenceDivider = 0;
    std::uint32_t bandSelect = 0;
    unsigned outputDividerExponent = 0;
    double pfdMHz = 0;
    double vcoMHz = 0;
    double outputMHz = 0;
    std::vector<std::string> warnings;
};

ChipAnalysis AnalyseRegisters(const RegisterSet& registers, double referenceMHz);

// One line for the console: comparison, VCO and output frequency.
std::string DescribeAnalysis(const ChipAnalysis& analysis);

} // namespace max2870sim
