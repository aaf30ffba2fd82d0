// The link's pieces without a port, each as a table of hand-worked cases.

#include "link/command_lines.h"
#include "link/hex_value.h"
#include "link/link_texts.h"
#include "link/port_choice.h"
#include "link/port_order.h"
#include "link/receive_path.h"

#include <gtest/gtest.h>

#include <limits>

namespace max2870 {
namespace {

TEST(HexValue, ReadsTwosComplementDigitsAndRefusesWhatLeaves32Bits) {
    const std::pair<std::string, std::optional<std::int32_t>> table[]{
        {"1234567B", 0x1234567B},
        {"FFFFFFFF", -1},
        {"80000000", std::numeric_limits<std::int32_t>::min()},
        {"7FFFFFFF", std::numeric_limits<std::int32_t>::max()},
        {"00e80190", 0x00E80190},
        {"0a", 10},
        {"a", -6}, // a leading digit of 8 or more carries the sign
        {"8", -8},
        {"7F", 127},
        {"80", -128},
        {"", 0},
        {" ", -1}, // a character that is not a digit counts as -1
        {"1}", 15},
        {"0000000G", -1},
        {"0g", -1},
        {"12 4", 4596},
        {"F 000000", -285212672},
        {"8 000000", std::nullopt},
        {"8000000 ", std::nullopt},
        {"800000000", std::nullopt},
        {"7FFFFFFF0", std::nullopt},
    };
    for (const auto& [text, value] : table) {
        EXPECT_EQ(HexValue(text), value) << "word read back from \"" << text << "\"";
    }
}

// What each line of a read asks of the window, in order: user data, log entry, dropped word,
// hand-over to the decoder, or nothing.
std::string Trace(ReceivePath& path, const std::vector<std::string>& reads) {
    std::string trace;
    for (const std::string& read : reads) {
        path.Take(read);
        while (const auto line = path.NextLine()) {
            const std::size_t before = trace.size();
            trace += line->userData ? "{" + *line->userData + "}" : "";
            trace += line->logEntry.value_or("") + (line->wordDropped ? "dropped " : "");
            trace += line->handOver ? "HAND-OVER " : (trace.size() == before ? "none " : "");
        }
    }
    return trace;
}

const std::string kReg5 = "Reg5 0x00400005\r\n";
const std::string kReg4To1 = "Reg4 0x609C80FC\r\nReg3 0x0000000B\r\nReg2 0x18005E42\r\n"
                             "Reg1 0x20000FA1\r\n";
const std::string kReg0 = "Reg0 0x00E80190\r\n";
const std::string kLog5 = "Reg 5 - 00400005\r\n";
const std::string kLog4To1 = "Reg 4 - 609C80FC\r\nReg 3 - 0000000B\r\nReg 2 - 18005E42\r\n"
                             "Reg 1 - 20000FA1\r\n";
const std::string kLog0 = "Reg 0 - 00E80190\r\n";

TEST(ReceivePath, SplitsFilesLogsAndHandsOverSetsOfSix) {
    struct Row {
        const char* what;
        std::vector<std::string> reads;
        std::string trace;
        std::string serin;
        int rxCount;
        int index = 0; // an entry of RxReg and the word it must hold
        std::int32_t word = 0;
    };
    const Row table[]{
        {"name before the word",
         {"Reg3 0x1234567B\r\n"},
         "Reg 3 - 1234567B\r\n",
         "",
         1,
         3,
         0x1234567B},
        {"0X, lower-case digits",
         {"Reg3 0X1234567b\r"},
         "Reg 3 - 1234567B\r\n",
         "",
         1,
         3,
         0x1234567B},
        {"address bits",
         {"0x1234567D\r0x0000000F\r"},
         "Reg 5 - 1234567D\r\nReg 7 - 0000000F\r\n",
         "",
         2,
         7,
         15},
        {"bit 31",
         {"Reg0 0x80A00000\r"},
         "Reg 0 - 80A00000\r\n",
         "",
         1,
         0,
         static_cast<std::int32_t>(0x80A00000U)},
        {"short words", {"0x5\r0xF\r"}, "Reg 5 - 00000005\r\nReg 7 - FFFFFFFF\r\n", "", 2, 7, -1},
        {"blank or brace",
         {"0x0000001 \r0x0000000}\r"},
         "Reg 7 - 0000000F\r\nReg 7 - FFFFFFFF\r\n",
         "",
         2},
        {"first marker, 8 characters",
         {"a 0x00000011 0x00000002 x\r"},
         "Reg 1 - 00000011\r\n",
         "",
         1,
         1,
         17},
        {"user data and word",
         {"Udata {ABCD1234} 0x18005E42\r\n"},
         "{ABCD1234}Reg 2 - 18005E42\r\n",
         "",
         1},
        {"short user data", {"Udata {12\r"}, "{12}", "Udata {12", 0},
        {"user data without brace", {"Udata 12345678\r"}, "{Udata 12}", "Udata 12345678", 0},
        {"udata in lower case", {"udata {12345678}\r"}, "none ", "udata {12345678}", 0},
        {"no CR yet", {"Reg5 0x0040"}, "", "Reg5 0x0040", 0},
        {"line over two reads", {"Reg5 0x0040", "0005\r\n"}, kLog5, "", 1, 5, 0x00400005},
        {"word-less lines join", {"OK\r\n", "Ready\r\n"}, "none none ", "OKReady", 0},
        {"LF in a later read", {"OK\r", "\n"}, "none ", "OK\n", 0},
        {"several lines, one read",
         {kReg5 + "OK\r\n" + kReg0},
         kLog5 + "none " + kLog0,
         "",
         2,
         0,
         0x00E80190},
        {"Reg5 first",
         {kReg5 + kReg4To1, kReg0},
         kLog5 + kLog4To1 + kLog0 + "HAND-OVER ",
         "",
         0,
         4,
         0x609C80FC},
        {"five words, then Reg0", {kReg4To1 + kReg0}, kLog4To1 + kLog0, "", 5, 0, 0x00E80190},
        {"Reg0 first, word-less line",
         {kReg0 + kReg5 + kReg4To1, "Done\r"},
         kLog0 + kLog5 + kLog4To1 + "HAND-OVER ",
         "Done",
         0,
         0,
         0x00E80190},
        {"five words, word-less line",
         {kReg5 + kReg4To1 + "Done\r"},
         kLog5 + kLog4To1 + "none ",
         "Done",
         5},
        {"Reg0 first, next Reg0",
         {kReg0 + kReg5 + kReg4To1 + kReg0},
         kLog0 + kLog5 + kLog4To1 + kLog0 + "HAND-OVER ",
         "",
         0,
         0,
         0x00E80190},
        {"count restarts",
         {kReg5 + kReg4To1 + kReg0 + kReg0},
         kLog5 + kLog4To1 + kLog0 + "HAND-OVER " + kLog0,
         "",
         1,
         0,
         0x00E80190},
        {"out of range",
         {kReg5 + kReg4To1 + kReg5 + "0x8 000000\r"},
         kLog5 + kLog4To1 + kLog5 + "dropped ",
         "",
         6},
    };
    for (const Row& row : table) {
        SynthState state;
        ReceivePath path(state);
        EXPECT_EQ(Trace(path, row.reads), row.trace) << row.what << ": log, user data or hand-over";
        EXPECT_EQ(state.Serin, row.serin) << row.what << ": text kept for the log";
        EXPECT_EQ(path.RxCount(), row.rxCount) << row.what << ": words counted towards a set";
        EXPECT_EQ(state.RxReg[static_cast<std::size_t>(row.index)], row.word) << row.what;
    }
}

TEST(ReceivePath, CountStopsAtItsCeilingAndStillHandsOver) {
    SynthState state;
    ReceivePath path(state);
    std::string many;
    for (int i = 0; i < 32777; ++i) {
        many += "0x00000001\r";
    }
    EXPECT_EQ(Trace(path, {many}).size(), 32777 * 18U) << "every word logged, none handed over";
    EXPECT_EQ(path.RxCount(), 32767) << "word count saturates";
    EXPECT_EQ(Trace(path, {"0x00000000\r"}), "Reg 0 - 00000000\r\nHAND-OVER ");
}

TEST(PortChoice, TheBoxTextNamesAPortOrNone) {
    struct Row {
        const char* text;
        PortNaming naming;
        double cp; // 0: no port named
        const char* port;
        const char* captionSuffix;
    };
    const Row table[]{
        {"COM3", PortNaming::Numbered, 3, "COM3", "   COM 3"},
        {"COM 12", PortNaming::Numbered, 12, "COM12", "   COM 12"},
        {"COM05", PortNaming::Numbered, 5, "COM5", "   COM 5"},
        {"COM2.5", PortNaming::Numbered, 2.5, "COM2", "   COM 2.5"},
        {"COM Port", PortNaming::Numbered, 0, "", ""},
        {"COM", PortNaming::Numbered, 0, "", ""},
        {"", PortNaming::Numbered, 0, "", ""},
        {" /dev/pts/7\t", PortNaming::Paths, 1, "/dev/pts/7", "   /dev/pts/7"},
        {"/dev/ttyS0", PortNaming::Paths, 1, "/dev/ttyS0", "   /dev/ttyS0"},
        {" \t", PortNaming::Paths, 0, "", ""},
        {"", PortNaming::Paths, 0, "", ""},
    };
    for (const Row& row : table) {
        const auto choice = ReadPortChoice(row.text, row.naming);
        EXPECT_EQ(choice.has_value(), row.cp != 0) << "port named by \"" << row.text << "\"";
        const PortChoice none;
        EXPECT_EQ(choice.value_or(none).cp, row.cp) << "port number of \"" << row.text << "\"";
        EXPECT_EQ(choice.value_or(none).port, row.port) << "port opened for \"" << row.text << "\"";
        EXPECT_EQ(choice.value_or(none).captionSuffix, row.captionSuffix)
            << "caption for " << row.text;
    }
}

TEST(PortOrder, DigitRunsCompareAsNumbers) {
    const std::tuple<const char*, const char*, bool> table[]{
        {"ttyS2", "ttyS10", true},      {"ttyS10", "ttyS2", false},   {"ttyS9", "ttyS10", true},
        {"ttyACM0", "ttyS0", true},     {"ttyUSB0", "ttyUSB1", true}, {"ttyUSB1", "ttyUSB1", false},
        {"ttyS", "ttyS0", true},        {"ttyS0", "ttyS", false},     {"ttyS007", "ttyS10", true},
        {"ttyS02", "ttyS2", false},     {"ttyS2", "ttyS02", false},   {"ttyS00", "ttyS0", false},
        {"a10b", "a10c", true},         {"a10c", "a10b", false},      {"x012", "x12a", true},
        {"ttyUSB10", "ttyUSB9", false}, {"b0", "a1", false},          {"a1", "b0", true},
    };
    for (const auto& [a, b, less] : table) {
        EXPECT_EQ(NaturalLess(a, b), less) << "port list order of " << a << " and " << b;
    }
}

TEST(LinkTexts, EveryTextByteForByte) {
    const std::string port = "/dev/ttyUSB0";
    const std::string choose = "Choose another port and press Set COM Port again.\r\n";
    const std::pair<std::string, std::string> table[]{
        {RegisterLine(5), "R00000005\r\n"},
        {RegisterLine(static_cast<std::int32_t>(0x80E80000U)), "R80E80000\r\n"},
        {StoreLine(), "W\r\n"},
        {InitLine(), "INIT\r\n"},
        {PortOpenMessage("COM3"), "COM3 Open\r\nRS232 Parameters  9600 Baud, N,8,2\r\nUse with PIC "
                                  "Firmware  'MAX2870' to translate ASCII / Hex to SPI \r\n"},
        {OpenFailureMessage(port, {PortFault::NotFound, "x"}),
         "Cannot open /dev/ttyUSB0: no such port.\r\n" + choose},
        {OpenFailureMessage(port, {PortFault::Busy, "x"}),
         "Cannot open /dev/ttyUSB0: it is in use by another program.\r\n" + choose},
        {OpenFailureMessage(port, {PortFault::Permission, "x"}),
         "Cannot open /dev/ttyUSB0: permission denied.\r\nAdd your user to the dialout group (sudo "
         "usermod -aG dialout $USER), log out and in again, then retry.\r\n"},
        {OpenFailureMessage(port, {PortFault::Other, "Input/output error"}),
         "Cannot open /dev/ttyUSB0: Input/output error.\r\n" + choose},
        {OpenFailureMessage(port, {PortFault::Other, ""}),
         "Cannot open /dev/ttyUSB0: unknown error.\r\n" + choose},
        {OpenFailureMessage(port, {PortFault::None, ""}),
         "Cannot open /dev/ttyUSB0: no error.\r\n" + choose},
        {NoPortChosenMessage(false),
         "No port chosen: type a port number or device path in the port "
         "box, or pick one from its list, then press Set COM Port.\r\n"},
        {NoPortChosenMessage(true),
         NoPortChosenMessage(false) +
             "No serial port could be opened. If the machine has serial ports, your user may need "
             "to join the dialout group (sudo usermod -aG dialout $USER), then log out and in "
             "again.\r\n"},
        {NotSentLog(RunOutcome::TwelveBit, "More than 12 bits needed\r\nChoose other values"),
         "Not sent: More than 12 bits needed\r\n"},
        {NotSentLog(RunOutcome::Rejected, "one line"), "Not sent: one line\r\n"},
        {NotSentLog(RunOutcome::NoFcomp, "old results\r\n"),
         "Not sent: no comparison frequency\r\n"},
        {ReopenFailureLog(port, {PortFault::NotFound, ""}),
         "Cannot reopen /dev/ttyUSB0: no such port; nothing sent; choose a port and press Set COM "
         "Port\r\n"},
        {ReopenFailureLog(port, {PortFault::Permission, ""}),
         "Cannot reopen /dev/ttyUSB0: permission denied; nothing sent (add your user to the "
         "dialout group); choose a port and press Set COM Port\r\n"},
        {PortClosedLog(port), "Port /dev/ttyUSB0 is not open; nothing sent\r\n"},
        {PortLostLog(port, "Input/output error", true),
         "Port /dev/ttyUSB0 went away (adapter unplugged or simulator closed); transfer stopped; "
         "choose a port and press Set COM Port [Input/output error]\r\n"},
        {PortLostLog(port, "", false),
         "Port /dev/ttyUSB0 went away (adapter unplugged or "
         "simulator closed); choose a port and press Set COM Port\r\n"},
        {UnrequestedSetLog(),
         "Register set received without INIT from EE; panel left unchanged\r\n"},
        {RefusedSetLog("R is 0"), "Stored register set refused: R is 0; panel left unchanged\r\n"},
        {NoReplyLog(0.25), "No reply to INIT from EE within 0.25 s; panel left unchanged\r\n"},
    };
    for (const auto& [text, expected] : table) {
        EXPECT_EQ(text, expected) << "text shown to the user or sent on the wire";
    }
}

} // namespace
} // namespace max2870
