#include "translator.h"

#include <fstream>
#include <sstream>

namespace max2870sim {

namespace {

bool ReadLine(const std::string& line, Eeprom& eeprom) {
    std::istringstream fields(line);
    std::string name;
    std::string value;
    fields >> name >> value;
    if (name.empty() || name.front() == '#') {
        return true;
    }
    if (name == "Udata") {
        eeprom.userData = value;
        return true;
    }
    if (name.size() != 4 || name.rfind("Reg", 0) != 0 || name[3] < '0' || name[3] > '5') {
        return false;
    }
    const std::optional<std::uint32_t> word = ParseHex8(value);
    if (!word) {
        return false;
    }
    eeprom.words[static_cast<std::size_t>(name[3] - '0')] = *word;
    return true;
}

} // namespace

std::optional<Eeprom> LoadEeprom(const std::string& path, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    Eeprom eeprom = DefaultEeprom();
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!ReadLine(line, eeprom)) {
            error = path + ":" + std::to_string(number) +
                    ": expected \"RegK XXXXXXXX\" or "
                    "\"Udata VALUE\"";
            return std::nullopt;
        }
    }
    return eeprom;
}

bool SaveEeprom(const std::string& path, const Eeprom& eeprom, std::string& error) {
    std::ofstream file(path, std::ios::trunc);
    file << "# max2870-sim EEPROM: the stored register set, Reg5 first\n";
    for (int address = 5; address >= 0; --address) {
        file << "Reg" << address << ' ' << Hex8(eeprom.words[static_cast<std::size_t>(address)])
             << '\n';
    }
    file << "Udata " << eeprom.userData << '\n';
    file.flush();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace max2870sim
