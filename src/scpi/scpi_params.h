#pragma once

#include "scpi/scpi_parser.h"

#include <string_view>

namespace max2870::scpi {

// What MINimum, MAXimum and DEFault stand for, and the range a value must lie in.
struct Limits {
    double min;
    double max;
    double def;
};

// -109 without the parameters wanted, -108 with more.
int CountParams(const Command& command, std::size_t wanted);

// A number in its unit within the limits: -222 outside them or when not finite.
int NumberParam(std::string_view text, Unit unit, const Limits& limits, double& value);

// A whole number within the limits; -224 for a fraction.
int WholeParam(std::string_view text, const Limits& limits, long long& value);

} // namespace max2870::scpi
