#include "link/receive_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace max2870 {
namespace {

class ReceivePathTest : public ::testing::Test {
protected:
    // Delivers one read and collects the outcome of every line it completes.
    std::vector<LineOutcome> Read(std::string_view text) {
        path.Take(text);
        std::vector<LineOutcome> lines;
        while (auto line = path.NextLine()) {
            lines.push_back(*line);
            handOvers += line->handOver ? 1 : 0;
        }
        return lines;
    }

    LineOutcome OneLine(std::string_view text) {
        const auto lines = Read(text);
        EXPECT_EQ(lines.size(), 1U);
        return lines.empty() ? LineOutcome{} : lines.front();
    }

    SynthState state;
    ReceivePath path{state};
    int handOvers = 0;
};

TEST_F(ReceivePathTest, NameBeforeTheWordIsIgnored) {
    const LineOutcome line = OneLine("Reg3 0x1234567B\r\n");
    EXPECT_EQ(line.logEntry, "Reg 3 - 1234567B\r\n");
    EXPECT_EQ(state.RxReg[3], 0x1234567B);
    EXPECT_EQ(state.Serin, "");
    EXPECT_EQ(path.RxCount(), 1);
}

TEST_F(ReceivePathTest, UpperCaseMarkerAndLowerCaseDigitsReadTheSame) {
    EXPECT_EQ(OneLine("Reg3 0X1234567B\r").logEntry, "Reg 3 - 1234567B\r\n");
    EXPECT_EQ(OneLine("Reg3 0x1234567b\r").logEntry, "Reg 3 - 1234567B\r\n");
    EXPECT_EQ(state.RxReg[3], 0x1234567B);
}

TEST_F(ReceivePathTest, AddressBitsChooseTheEntry) {
    EXPECT_EQ(OneLine("0x1234567D\r").logEntry, "Reg 5 - 1234567D\r\n");
    EXPECT_EQ(OneLine("0x0000000F\r").logEntry, "Reg 7 - 0000000F\r\n");
    EXPECT_EQ(state.RxReg[5], 0x1234567D);
    EXPECT_EQ(state.RxReg[7], 15);
}

TEST_F(ReceivePathTest, Bit31IsFiledAsANegativeWord) {
    EXPECT_EQ(OneLine("Reg0 0x80A00000\r").logEntry, "Reg 0 - 80A00000\r\n");
    EXPECT_LT(state.RxReg[0], 0);
    EXPECT_EQ(static_cast<std::uint32_t>(state.RxReg[0]), 0x80A00000U);
}

TEST_F(ReceivePathTest, ShortWordsAreShorterTwosComplementNumbers) {
    EXPECT_EQ(OneLine("0x5\r").logEntry, "Reg 5 - 00000005\r\n");
    EXPECT_EQ(OneLine("0xF\r").logEntry, "Reg 7 - FFFFFFFF\r\n");
    EXPECT_EQ(state.RxReg[7], -1);
}

TEST_F(ReceivePathTest, ABlankOrBraceAmongTheDigitsCountsMinusOne) {
    EXPECT_EQ(OneLine("0x0000001 \r").logEntry, "Reg 7 - 0000000F\r\n");
    EXPECT_EQ(OneLine("0x0000000}\r").logEntry, "Reg 7 - FFFFFFFF\r\n");
}

TEST_F(ReceivePathTest, OnlyTheFirstMarkerAndEightCharactersCount) {
    EXPECT_EQ(OneLine("a 0x00000011 0x00000002 tail\r").logEntry, "Reg 1 - 00000011\r\n");
}

TEST_F(ReceivePathTest, UserDataOnAWordLine) {
    const LineOutcome line = OneLine("Udata {ABCD1234} Reg2 0x18005E42\r\n");
    EXPECT_EQ(line.userData, "ABCD1234");
    EXPECT_EQ(line.logEntry, "Reg 2 - 18005E42\r\n");
}

TEST_F(ReceivePathTest, UserDataShorterThanEightAndWithoutBrace) {
    EXPECT_EQ(OneLine("Udata {12\r").userData, "12");
    state.Serin.clear();
    EXPECT_EQ(OneLine("Udata 12345678\r").userData, "Udata 12");
    state.Serin.clear();
    EXPECT_FALSE(OneLine("udata {12345678}\r").userData.has_value()); // exact case only
}

TEST_F(ReceivePathTest, TextWithoutCrWaits) {
    EXPECT_TRUE(Read("Reg5 0x0040").empty());
    EXPECT_EQ(state.Serin, "Reg5 0x0040");
    EXPECT_EQ(OneLine("0005\r\n").logEntry, "Reg 5 - 00400005\r\n");
}

TEST_F(ReceivePathTest, WordlessLinesStayInSerinAndJoinTheNext) {
    const LineOutcome first = OneLine("OK\r\n");
    EXPECT_FALSE(first.logEntry.has_value());
    EXPECT_EQ(state.Serin, "OK");
    OneLine("Ready\r\n");
    EXPECT_EQ(state.Serin, "OKReady");
    EXPECT_EQ(OneLine("Reg1 0x00000001\r\n").logEntry, "Reg 1 - 00000001\r\n");
    EXPECT_EQ(state.Serin, "");
}

TEST_F(ReceivePathTest, AnLfInALaterReadStartsTheNextLine) {
    OneLine("OK\r");
    Read("\n");
    EXPECT_EQ(state.Serin, "OK\n");
}

TEST_F(ReceivePathTest, SeveralLinesInOneReadAreAllHandledInOrder) {
    const auto lines = Read("Reg5 0x00400005\r\nReg4 0x609C80FC\r\nOK\r\nReg3 0x0000000B\r\n");
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[0].logEntry, "Reg 5 - 00400005\r\n");
    EXPECT_EQ(lines[1].logEntry, "Reg 4 - 609C80FC\r\n");
    EXPECT_FALSE(lines[2].logEntry.has_value());
    EXPECT_EQ(lines[3].logEntry, "Reg 3 - 0000000B\r\n");
    EXPECT_EQ(path.RxCount(), 3);
    EXPECT_EQ(state.Serin, "");
}

TEST_F(ReceivePathTest, Reg5FirstHandsOverOnTheReg0Line) {
    Read("Reg5 0x00400005\r\nReg4 0x609C80FC\r\nReg3 0x0000000B\r\n");
    Read("Reg2 0x18005E42\r\nReg1 0x20000FA1\r\n");
    EXPECT_EQ(handOvers, 0);
    const LineOutcome last = OneLine("Reg0 0x00E80190\r\n");
    EXPECT_TRUE(last.handOver);
    EXPECT_EQ(handOvers, 1);
    EXPECT_EQ(path.RxCount(), 0);
    EXPECT_EQ(state.RxReg[0], 0x00E80190);
    EXPECT_EQ(state.RxReg[4], 0x609C80FC);
}

TEST_F(ReceivePathTest, Reg0FirstWaitsForAWordlessLine) {
    Read("0x00E80190\r0x20000FA1\r0x18005E42\r0x0000000B\r0x609C80FC\r0x00400005\r");
    EXPECT_EQ(handOvers, 0);
    EXPECT_EQ(path.RxCount(), 6);
    EXPECT_TRUE(OneLine("Done\r").handOver);
    EXPECT_EQ(path.RxCount(), 0);
}

TEST_F(ReceivePathTest, Reg0FirstAlsoHandsOverOnTheNextReg0) {
    Read("0x00E80190\r0x20000FA1\r0x18005E42\r0x0000000B\r0x609C80FC\r0x00400005\r");
    EXPECT_TRUE(OneLine("0x00E80190\r").handOver);
}

TEST_F(ReceivePathTest, RepeatedAddressesCountTowardsTheSet) {
    for (int i = 0; i < 6; ++i) {
        Read("0x00000001\r");
    }
    EXPECT_EQ(handOvers, 0);
    EXPECT_TRUE(OneLine("0x00000000\r").handOver);
}

TEST_F(ReceivePathTest, AWordOutOfRangeIsDroppedWithoutTrace) {
    state.RxReg[0] = 42;
    for (int i = 0; i < 6; ++i) {
        Read("0x00400005\r");
    }
    const LineOutcome line = OneLine("Reg0 0x8 000000\r");
    EXPECT_TRUE(line.wordDropped);
    EXPECT_FALSE(line.logEntry.has_value());
    EXPECT_FALSE(line.handOver);
    EXPECT_EQ(state.RxReg[0], 42);
    EXPECT_EQ(state.Serin, "");
    EXPECT_EQ(path.RxCount(), 6);
}

TEST_F(ReceivePathTest, RxCountSaturates) {
    std::string many;
    for (int i = 0; i < ReceivePath::kMaxRxCount + 10; ++i) {
        many += "0x00000001\r";
    }
    Read(many);
    EXPECT_EQ(path.RxCount(), ReceivePath::kMaxRxCount);
    EXPECT_EQ(handOvers, 0);
    EXPECT_TRUE(OneLine("0x00000000\r").handOver);
    EXPECT_EQ(path.RxCount(), 0);
}

} // namespace
} // namespace max2870
