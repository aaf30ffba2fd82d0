#include "options.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace max2870sim {

const char* const kUsage =
    "Usage: max2870-sim [--eeprom FILE] [--ref MHZ] [--verbose] [--ack] [-h|--help] [--version]\n"
    "Simulates the PIC translator and MAX2870 board on a pseudo-terminal and prints its path.\n"
    "  --eeprom FILE  keep the stored register set in FILE across runs\n"
    "  --ref MHZ      reference frequency of the simulated board (default 10)\n"
    "  --verbose      print each line received with its arrival time, and the frequency\n"
    "                 the programmed registers give, with a warning per broken chip rule\n"
    "  --ack          answer OK to every register and store line\n"
    "  --version      print the version and stop\n"
    "Values as --name VALUE or --name=VALUE.\n";

namespace {

std::optional<double> ParseMHz(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        // "--name=value" carries its value; "--name value" takes the next argument unless it
        // is another option.
        const auto equals = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
        const std::string_view name = arg.substr(0, equals);
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < argc && !std::string_view(argv[i + 1]).starts_with("--")) {
            value = argv[i + 1];
        }
        const bool valued = name == "--eeprom" || name == "--ref";
        if (arg == "--") {
            if (i + 1 < argc) {
                error = "unexpected argument: " + std::string(argv[i + 1]);
                return std::nullopt;
            }
        } else if (valued && !value) {
            error = std::string(name) + " needs a value";
            return std::nullopt;
        } else if (valued) {
            i += equals == std::string_view::npos ? 1 : 0;
            if (name == "--eeprom") {
                options.eepromPath = *value;
            } else if (const std::optional<double> mhz = ParseMHz(std::string(*value)); mhz) {
                options.referenceMHz = *mhz;
            } else {
                error = "--ref needs a positive frequency in MHz";
                return std::nullopt;
            }
        } else if (equals != std::string_view::npos) {
            error = std::string(name) + " takes no value";
            return std::nullopt;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--ack") {
            options.acknowledge = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else {
            error = "unknown option: " + std::string(arg);
            return std::nullopt;
        }
    }
    return options;
}

} // namespace max2870sim
