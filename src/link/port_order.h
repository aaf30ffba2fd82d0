#pragma once

#include <string>

namespace max2870 {

// Compares port names with runs of digits taken as numbers, so ttyS2 comes before ttyS10.
bool NaturalLess(const std::string& a, const std::string& b);

} // namespace max2870
