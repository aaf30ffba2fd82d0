#pragma once

#include <cstdint>
#include <string>

namespace max2870 {

// The lines the translator understands; each ends in CR LF and carries no register number,
// since the chip takes the register from the word's own address bits.
std::string RegisterLine(std::int32_t word); // "R" and the 8 digits of the word
std::string StoreLine();                     // "W": store the last register line in EEPROM
std::string InitLine();                      // "INIT": report the stored set

} // namespace max2870
