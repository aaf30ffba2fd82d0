#include "options.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace max2870sim {

const char* const kUsage =
    "Usage: max2870-sim [--eeprom FILE] [--ref MHZ] [--verbose] [--ack]\n"
    "Simulates the PIC translator and MAX2870 board on a pseudo-terminal and prints its path.\n"
    "  --eeprom FILE  keep the stored register set in FILE across runs\n"
    "  --ref MHZ      reference frequency of the simulated board (default 10)\n"
    "  --verbose      print each line received with its arrival time, and the frequency\n"
    "                 the programmed registers give, with a warning per broken chip rule\n"
    "  --ack          answer OK to every register and store line\n"
    "  --version      print the version and stop\n";

namespace {

std::optional<double> ParseMHz(const char* text) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--ack") {
            options.acknowledge = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--eeprom" && hasValue) {
            options.eepromPath = argv[++i];
        } else if (arg == "--ref" && hasValue) {
            const std::optional<double> mhz = ParseMHz(argv[++i]);
            if (!mhz) {
                error = "--ref needs a positive frequency in MHz";
                return std::nullopt;
            }
            options.referenceMHz = *mhz;
        } else {
            error = "unknown or incomplete option: " + std::string(arg);
            return std::nullopt;
        }
    }
    return options;
}

} // namespace max2870sim
