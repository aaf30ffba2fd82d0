#include "translator.h"

#include <charconv>

namespace max2870sim {

Eeprom DefaultEeprom() {
    Eeprom eeprom;
    eeprom.words = {0x00E80190, 0x20000FA1, 0x18005E42, 0x0000000B, 0x609C80FC, 0x00400005};
    return eeprom;
}

std::string Hex8(std::uint32_t word) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[word & 0xFU];
        word >>= 4;
    }
    return text;
}

std::optional<std::uint32_t> ParseHex8(std::string_view digits) {
    if (digits.size() != 8) {
        return std::nullopt;
    }
    std::uint32_t word = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + 8, word, 16);
    if (error != std::errc() || end != digits.data() + 8) {
        return std::nullopt;
    }
    return word;
}

LineResult Translator::Handle(std::string_view line) {
    if (line.size() == 9 && (line[0] == 'R' || line[0] == 'r')) {
        return Program(line.substr(1));
    }
    if (line == "W" || line == "w") {
        return Store();
    }
    if (line == "INIT") {
        return Report();
    }
    return {{}, "not a command, ignored", false, false};
}

LineResult Translator::Program(std::string_view digits) {
    const std::optional<std::uint32_t> word = ParseHex8(digits);
    if (!word) {
        return {{}, "register line without 8 hexadecimal digits, ignored", false, false};
    }
    const std::uint32_t address = *word & 7U;
    if (address > 5) {
        return {Acknowledgement(), "no register at address " + std::to_string(address), false,
                false};
    }
    chip_[address] = *word;
    lastProgrammed_ = *word;
    return {Acknowledgement(), "programmed Reg" + std::to_string(address), address == 0, false};
}

LineResult Translator::Store() {
    if (!lastProgrammed_) {
        return {Acknowledgement(), "nothing programmed yet, nothing stored", false, false};
    }
    const std::uint32_t address = *lastProgrammed_ & 7U;
    eeprom_.words[address] = *lastProgrammed_;
    return {Acknowledgement(), "stored Reg" + std::to_string(address) + " in EEPROM", false, true};
}

// The user data goes first: its line carries no word and so waits in the reader's buffer until
// the Reg5 line empties it, instead of lingering there after the set.
LineResult Translator::Report() {
    std::string reply = "Udata {" + eeprom_.userData + "}\r\n";
    for (int address = 5; address >= 0; --address) {
        const std::uint32_t word = eeprom_.words[static_cast<std::size_t>(address)];
        chip_[static_cast<std::size_t>(address)] = word;
        reply += "Reg" + std::to_string(address) + " 0x" + Hex8(word) + "\r\n";
    }
    return {reply, "loaded the EEPROM set into the chip and reported it", true, false};
}

} // namespace max2870sim
