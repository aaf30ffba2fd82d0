#pragma once

#include <optional>
#include <string>

namespace max2870sim {

struct Options {
    std::string eepromPath; // empty: the EEPROM lives only as long as the run
    bool verbose = false;
    bool acknowledge = false;
    double referenceMHz = 10.0;
    bool help = false;
    bool version = false;
};

// Reads the command line; on a bad one says why in `error`.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

extern const char* const kUsage;

} // namespace max2870sim
