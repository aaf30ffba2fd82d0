#include "chip_analysis.h"
#include "translator.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace max2870sim {
namespace {

bool HasWarning(const ChipAnalysis& analysis, const std::string& part) {
    for (const std::string& warning : analysis.warnings) {
        if (warning.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(SimTranslator, RegisterLinesProgramByAddressBits) {
    Translator translator(DefaultEeprom());
    const LineResult result = translator.Handle("R609C80FC");
    EXPECT_EQ(result.reply, "");
    EXPECT_FALSE(result.chipUpdated);
    EXPECT_EQ(translator.Chip()[4], 0x609C80FCU);
    EXPECT_TRUE(translator.Handle("R00e80190").chipUpdated);
    EXPECT_EQ(translator.Chip()[0], 0x00E80190U);
    EXPECT_EQ(translator.Handle("R1234").note.find("ignored") != std::string::npos, true);
}

TEST(SimTranslator, StoreKeepsTheLastProgrammedWord) {
    Eeprom empty;
    Translator translator(empty);
    EXPECT_FALSE(translator.Handle("W").eepromChanged);
    translator.Handle("R20000FA1");
    translator.Handle("R18005E42");
    EXPECT_TRUE(translator.Handle("W").eepromChanged);
    EXPECT_EQ(translator.Stored().words[2], 0x18005E42U);
    EXPECT_EQ(translator.Stored().words[1], 0U);
}

TEST(SimTranslator, InitReportsUserDataThenReg5ToReg0) {
    Translator translator(DefaultEeprom());
    const LineResult result = translator.Handle("INIT");
    EXPECT_EQ(result.reply, "Udata {00000000}\r\n"
                            "Reg5 0x00400005\r\nReg4 0x609C80FC\r\nReg3 0x0000000B\r\n"
                            "Reg2 0x18005E42\r\nReg1 0x20000FA1\r\nReg0 0x00E80190\r\n");
    EXPECT_TRUE(result.chipUpdated);
    EXPECT_EQ(translator.Chip()[2], 0x18005E42U);
}

TEST(SimTranslator, AcknowledgesWhenAsked) {
    Translator translator(DefaultEeprom(), true);
    EXPECT_EQ(translator.Handle("R00400005").reply, "OK\r\n");
    EXPECT_EQ(translator.Handle("W").reply, "OK\r\n");
}

TEST(SimEeprom, FileRoundTrip) {
    const std::string path = MAX2870_TEST_SCRATCH "/sim-test-eeprom.txt";
    Eeprom eeprom = DefaultEeprom();
    eeprom.words[0] = 0x80E80000U;
    eeprom.userData = "CAFE0001";
    std::string error;
    ASSERT_TRUE(SaveEeprom(path, eeprom, error)) << error;
    const std::optional<Eeprom> loaded = LoadEeprom(path, error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(loaded->words, eeprom.words);
    EXPECT_EQ(loaded->userData, "CAFE0001");
    std::remove(path.c_str());
}

TEST(SimAnalysis, ExampleSetIsWithinEveryRule) {
    const ChipAnalysis a = AnalyseRegisters(DefaultEeprom().words, 10.0);
    EXPECT_FALSE(a.integerN);
    EXPECT_DOUBLE_EQ(a.pfdMHz, 10.0);
    EXPECT_DOUBLE_EQ(a.vcoMHz, 4641.0);
    EXPECT_DOUBLE_EQ(a.outputMHz, 2320.5);
    EXPECT_EQ(a.bandSelect, 200U);
    EXPECT_TRUE(a.warnings.empty());
}

TEST(SimAnalysis, DoublerAndIntegerN) {
    // 50 MHz doubled, N 58, integer-N, divider 1.
    const RegisterSet set{0x801D0000U, 0x00000001U, 0x0E005F02U,
                          0x0000000BU, 0x638FF1B4U, 0x00400005U};
    const ChipAnalysis a = AnalyseRegisters(set, 50.0);
    EXPECT_TRUE(a.integerN);
    EXPECT_DOUBLE_EQ(a.pfdMHz, 100.0);
    EXPECT_DOUBLE_EQ(a.vcoMHz, 5800.0);
    EXPECT_DOUBLE_EQ(a.outputMHz, 5800.0);
    EXPECT_TRUE(HasWarning(a, "band select clock")); // 100 MHz / 1023 is above 50 kHz
    EXPECT_FALSE(HasWarning(a, "comparison frequency"));
}

TEST(SimAnalysis, BrokenRulesEachWarn) {
    RegisterSet set = DefaultEeprom().words;
    set[0] = (10U << 15) | (600U << 3); // N 10, F 600 > M 500
    set[2] = 0x18005E42U & ~(0x3FFU << 14);
    const ChipAnalysis a = AnalyseRegisters(set, 10.0);
    EXPECT_TRUE(HasWarning(a, "fraction F"));
    EXPECT_TRUE(HasWarning(a, "N 10 outside 19..4091"));
    EXPECT_TRUE(HasWarning(a, "reference divider R 0"));
    EXPECT_TRUE(HasWarning(a, "VCO"));
    set = DefaultEeprom().words;
    set[1] = 0x20000001U; // M 0
    EXPECT_TRUE(HasWarning(AnalyseRegisters(set, 10.0), "modulus M 0"));
    EXPECT_TRUE(HasWarning(AnalyseRegisters(DefaultEeprom().words, 60.0), "comparison frequency"));
}

// Integer-N mode has its own limits: N from 16, and a comparison frequency up to 105 MHz.
TEST(SimAnalysis, IntegerNLimits) {
    RegisterSet set = DefaultEeprom().words; // R 1, divider 2
    set[0] = 0x80000000U | (10U << 15);      // integer-N, N 10
    ChipAnalysis a = AnalyseRegisters(set, 10.0);
    EXPECT_TRUE(a.integerN);
    EXPECT_DOUBLE_EQ(a.vcoMHz, 100.0);
    EXPECT_DOUBLE_EQ(a.outputMHz, 50.0);
    EXPECT_TRUE(HasWarning(a, "N 10 outside 16..65535 (integer-N mode)"));
    EXPECT_FALSE(HasWarning(a, "fraction F")); // F and M do not count in integer-N mode
    EXPECT_FALSE(HasWarning(a, "modulus M"));

    set[0] = 0x80000000U | (50U << 15); // N 50 from 104 MHz: VCO 5200 MHz
    a = AnalyseRegisters(set, 104.0);
    EXPECT_FALSE(HasWarning(a, "comparison frequency"));
    EXPECT_FALSE(HasWarning(a, "N 50"));
    EXPECT_FALSE(HasWarning(a, "VCO"));
    set[0] = 0x80000000U | (50U << 15); // the same N from 106 MHz
    a = AnalyseRegisters(set, 106.0);
    EXPECT_TRUE(HasWarning(a, "comparison frequency 106 MHz above 105 MHz"));
    // The same 104 MHz in fractional mode is above its 50 MHz limit.
    set[0] = 50U << 15;
    EXPECT_TRUE(HasWarning(AnalyseRegisters(set, 104.0), "above 50 MHz (fractional mode)"));
}

TEST(SimEeprom, MalformedFileIsRefused) {
    const std::string path = MAX2870_TEST_SCRATCH "/sim-test-bad-eeprom.txt";
    {
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("Reg5 00400005\nReg6 00000006\n", file);
        std::fclose(file);
    }
    std::string error;
    EXPECT_FALSE(LoadEeprom(path, error));
    EXPECT_NE(error.find(":2:"), std::string::npos);
    std::remove(path.c_str());
}

} // namespace
} // namespace max2870sim
