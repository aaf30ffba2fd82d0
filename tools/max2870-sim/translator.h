#pragma once

#include "chip_analysis.h"

#include <optional>
#include <string>
#include <string_view>

namespace max2870sim {

// The translator's EEPROM: one stored word per register and the user-data field it reports.
struct Eeprom {
    RegisterSet words{};
    std::string userData = "00000000";
};

// A register set a fresh EEPROM holds, so "INIT from EE" restores a sensible plan at once:
// 10 MHz reference, 2320.5 MHz out of a 4641 MHz VCO.
Eeprom DefaultEeprom();

// What the translator did with one line, for the console and the caller.
struct LineResult {
    std::string reply;          // text to send back, CR LF line ends
    std::string note;           // what happened, for the verbose console
    bool chipUpdated = false;   // Reg0 was written: the chip has tuned to a new frequency
    bool eepromChanged = false; // a register was stored
};

// The PIC firmware's line protocol: "R" and 8 hexadecimal digits programs the register the
// word's address bits name, "W" stores the last programmed word in the EEPROM, "INIT" loads the
// stored set into the chip and reports it, Reg5 first.
class Translator {
public:
    explicit Translator(Eeprom eeprom, bool acknowledge = false)
        : eeprom_(std::move(eeprom)), acknowledge_(acknowledge) {}

    LineResult Handle(std::string_view line);

    const RegisterSet& Chip() const { return chip_; }
    const Eeprom& Stored() const { return eeprom_; }

private:
    LineResult Program(std::string_view digits);
    LineResult Store();
    LineResult Report();
    std::string Acknowledgement() const { return acknowledge_ ? "OK\r\n" : ""; }

    RegisterSet chip_{};
    Eeprom eeprom_;
    std::optional<std::uint32_t> lastProgrammed_;
    bool acknowledge_;
};

// The EEPROM as a text file: lines "Reg5 00400005" ... "Reg0 ...", and "Udata 00000000".
std::optional<Eeprom> LoadEeprom(const std::string& path, std::string& error);
bool SaveEeprom(const std::string& path, const Eeprom& eeprom, std::string& error);

// A word as 8 upper-case hexadecimal digits.
std::string Hex8(std::uint32_t word);
std::optional<std::uint32_t> ParseHex8(std::string_view digits);

} // namespace max2870sim
