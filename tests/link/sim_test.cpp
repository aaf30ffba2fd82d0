// The translator simulator: its line protocol, its EEPROM file and the chip rules it warns about.

#include "chip_analysis.h"
#include "translator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace max2870sim {
namespace {

TEST(SimTranslator, ProgramsStoresAndReportsLineByLine) {
    Translator translator(Eeprom{}, true); // acknowledges every line but INIT
    const std::string init =
        "Udata {00000000}\r\nReg5 0x00000000\r\nReg4 0x00000000\r\nReg3 "
        "0x00000000\r\nReg2 0x18005E42\r\nReg1 0x00000000\r\nReg0 0x00000000\r\n";
    // clang-format off
    const std::tuple<const char*, std::string, bool, bool> script[]{ // reply, tuned, stored
        {"W", "OK\r\n", false, false}, {"R20000FA1", "OK\r\n", false, false},
        {"R18005e42", "OK\r\n", false, false}, {"W", "OK\r\n", false, true},
        {"R00E80190", "OK\r\n", true, false}, {"INIT", init, true, false}, {"R1234", "", false, false}};
    // clang-format on
    for (const auto& [line, reply, tuned, stored] : script) {
        const LineResult result = translator.Handle(line);
        EXPECT_EQ(result.reply, reply) << "reply to " << line;
        EXPECT_EQ(result.chipUpdated, tuned) << "chip tuned by " << line;
        EXPECT_EQ(result.eepromChanged, stored) << "EEPROM changed by " << line;
    }
    EXPECT_EQ(translator.Chip()[1], 0U) << "INIT loads the stored set into the chip";
    EXPECT_EQ(Translator(DefaultEeprom()).Handle("INIT").reply,
              "Udata {00000000}\r\nReg5 0x00400005\r\nReg4 0x609C80FC\r\nReg3 0x0000000B\r\n"
              "Reg2 0x18005E42\r\nReg1 0x20000FA1\r\nReg0 0x00E80190\r\n");

    const std::string path = MAX2870_TEST_SCRATCH "/sim-test-eeprom.txt";
    Eeprom eeprom{{0x80E80000U, 1, 2, 3, 4, 5}, "CAFE0001"};
    std::string error;
    ASSERT_TRUE(SaveEeprom(path, eeprom, error)) << error;
    const std::optional<Eeprom> loaded = LoadEeprom(path, error);
    EXPECT_TRUE(loaded && loaded->words == eeprom.words && loaded->userData == "CAFE0001") << error;
    std::ofstream(path) << "Reg5 00400005\nReg6 00000006\n";
    EXPECT_FALSE(LoadEeprom(path, error)) << "a register 6 in the file";
    EXPECT_NE(error.find(":2:"), std::string::npos) << "the error names the line: " << error;
    std::remove(path.c_str());
}

RegisterSet WithReg0(std::uint32_t reg0, RegisterSet set = DefaultEeprom().words) {
    set[0] = reg0;
    return set;
}

TEST(SimAnalysis, FrequenciesAndEveryBrokenRule) {
    RegisterSet broken = WithReg0((10U << 15) | (600U << 3)); // N 10, F 600 above M 500
    broken[2] &= ~(0x3FFU << 14);                             // R 0
    RegisterSet noModulus = DefaultEeprom().words;
    noModulus[1] = 0x20000001U;
    const RegisterSet doubled{0x801D0000U, 1, 0x0E005F02U, 0xB, 0x638FF1B4U, 0x00400005U};
    const std::uint32_t intN = 0x80000000U;
    // clang-format off
    const std::tuple<RegisterSet, double, double, std::vector<std::string>> table[]{
        {DefaultEeprom().words, 10, 2320.5, {}}, // R 1, divider 2, N 232, F 100, M 200
        {doubled, 50, 5800, {"band select clock"}}, // 100 MHz / 1023 is above 50 kHz
        {broken, 10, 0, {"fraction F", "N 10 outside 19..4091", "reference divider R 0", "VCO"}},
        {noModulus, 10, 0, {"modulus M 0"}}, {DefaultEeprom().words, 60, 0, {"comparison frequency"}},
        {WithReg0(intN | (10U << 15)), 10, 50, {"N 10 outside 16..65535 (integer-N mode)"}},
        {WithReg0(intN | (50U << 15)), 104, 2600, {"band select clock"}}, // N and VCO fine
        {WithReg0(intN | (50U << 15)), 106, 0, {"comparison frequency 106 MHz above 105 MHz"}},
        {WithReg0(50U << 15), 104, 0, {"above 50 MHz (fractional mode)"}}};
    // clang-format on
    for (const auto& [set, reference, outputMHz, warnings] : table) {
        const ChipAnalysis analysis = AnalyseRegisters(set, reference);
        std::string all;
        for (const std::string& warning : analysis.warnings) {
            all += warning + "; ";
        }
        EXPECT_TRUE(outputMHz == 0 || analysis.outputMHz == outputMHz) << analysis.outputMHz;
        EXPECT_EQ(warnings.empty(), all.empty()) << all;
        for (const std::string& warning : warnings) {
            EXPECT_NE(all.find(warning), std::string::npos)
                << "warning " << warning << " in " << all;
        }
    }
}

} // namespace
} // namespace max2870sim
