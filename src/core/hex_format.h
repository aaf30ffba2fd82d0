#pragma once

#include <cstdint>
#include <string>

namespace max2870 {

// A register word as 8 upper-case hexadecimal digits of its 32-bit pattern (two's complement for
// a negative word); the empty text for a number above 2^31. The one formatter of words: results
// display, register lines on the wire, the listing and the read-back log all use it.
std::string HexFormat(double word);

// The 8 digits of a word's pattern written at `out`, or appended to a text.
void WriteHexDigits(char* out, std::uint32_t pattern);
void AppendHexFormat(std::string& text, std::uint32_t pattern);

} // namespace max2870
