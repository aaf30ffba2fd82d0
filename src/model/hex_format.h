#pragma once

#include <cstdint>
#include <string>

namespace max2870 {

// A register word as 8 upper-case hexadecimal digits of its 32-bit pattern; the empty text for
// a number above 2^31.
std::string HexFormat(double word);

} // namespace max2870
