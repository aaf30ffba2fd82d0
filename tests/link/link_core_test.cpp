// The link's pieces without a port, each as a table of hand-worked cases.

#include "link/hex_value.h"
#include "link/link_texts.h"
#include "link/port_choice.h"
#include "link/port_order.h"
#include "link/receive_path.h"
#include "link/transfer_plan.h"

#include <gtest/gtest.h>

namespace max2870 {
namespace {

using Int = std::optional<std::int32_t>;
constexpr std::int32_t kTop = static_cast<std::int32_t>(0x80000000U);

TEST(HexValue, ReadsTwosComplementDigitsAndRefusesWhatLeaves32Bits) {
    // clang-format off
    const std::pair<std::string, Int> table[]{
        {"1234567B", 0x1234567B}, {"FFFFFFFF", -1}, {"80000000", kTop}, {"7FFFFFFF", 0x7FFFFFFF},
        {"00e80190", 0x00E80190}, {"0a", 10}, {"a", -6}, {"8", -8}, {"7F", 127}, {"80", -128},
        {"", 0}, {" ", -1}, {"1}", 15}, {"0000000G", -1}, {"0g", -1}, {"12 4", 4596},
        {"F 000000", -285212672}, {"8 000000", {}}, {"8000000 ", {}}, {"800000000", {}},
        {"7FFFFFFF0", {}}};
    // clang-format on
    for (const auto& [text, value] : table) {
        EXPECT_EQ(HexValue(text), value) << "word read back from \"" << text << "\"";
    }
}

// What the lines of the reads ask of the window, in order (user data, log entry, dropped word,
// hand-over, or none), then [what Serin keeps] and the count of words towards a set.
std::string Trace(const std::vector<std::string>& reads) {
    ReceivePath path;
    std::string trace;
    for (const std::string& read : reads) {
        path.Take(read);
        while (const auto line = path.NextLine()) {
            const std::string entry = line->logEntry.value_or("");
            const auto index = entry.empty() ? 0 : static_cast<std::size_t>(entry[4] - '0');
            const auto& rx = path.RxReg();
            EXPECT_TRUE(entry.empty() || rx[index] == HexValue(entry.substr(8, 8)))
                << entry << " filed under its address bits";
            const ReadBackWords filed{rx[0], rx[1], rx[2], rx[4]};
            EXPECT_TRUE(!line->handOver || *line->handOver == filed)
                << "the set handed over is Reg0, Reg1, Reg2 and Reg4 as filed";
            trace += (line->userData ? "{" + *line->userData + "}" : "") + entry +
                     (line->wordDropped ? "dropped " : "") +
                     (line->handOver                                          ? "HAND-OVER "
                      : line->userData || line->logEntry || line->wordDropped ? ""
                                                                              : "none ");
        }
    }
    return trace + "[" + path.Serin() + "] " + std::to_string(path.RxCount());
}

TEST(ReceivePath, SplitsFilesLogsAndHandsOverSetsOfSix) {
    const std::string r5 = "Reg5 0x00400005\r\n", r0 = "Reg0 0x00E80190\r\n";
    const std::string r4to1 = "Reg4 0x609C80FC\r\nReg3 0xB\r\nReg2 0x18005E42\r\nReg1 0x1\r\n";
    const std::string l5 = "Reg 5 - 00400005\r\n", l0 = "Reg 0 - 00E80190\r\n";
    const std::string l4to1 = "Reg 4 - 609C80FC\r\nReg 3 - FFFFFFFB\r\nReg 2 - 18005E42\r\n"
                              "Reg 1 - 00000001\r\n";
    // clang-format off
    const std::tuple<const char*, std::vector<std::string>, std::string> table[]{
        {"name before the word", {"Reg3 0x1234567B\r\n"}, "Reg 3 - 1234567B\r\n[] 1"},
        {"0X, lower-case digits", {"Reg3 0X1234567b\r"}, "Reg 3 - 1234567B\r\n[] 1"},
        {"address bits", {"0x1234567D\r0x0000000F\r"}, "Reg 5 - 1234567D\r\nReg 7 - 0000000F\r\n[] 2"},
        {"bit 31", {"Reg0 0x80A00000\r"}, "Reg 0 - 80A00000\r\n[] 1"},
        {"short words", {"0x5\r0xF\r"}, "Reg 5 - 00000005\r\nReg 7 - FFFFFFFF\r\n[] 2"},
        {"blank or brace", {"0x0000001 \r0x0000000}\r"}, "Reg 7 - 0000000F\r\nReg 7 - FFFFFFFF\r\n[] 2"},
        {"first marker, 8 characters", {"a 0x00000011 0x2 x\r"}, "Reg 1 - 00000011\r\n[] 1"},
        {"user data and word", {"Udata {ABCD1234} 0x18005E42\r\n"}, "{ABCD1234}Reg 2 - 18005E42\r\n[] 1"},
        {"short user data", {"Udata {12\r"}, "{12}[Udata {12] 0"},
        {"user data without brace", {"Udata 12345678\r"}, "{Udata 12}[Udata 12345678] 0"},
        {"udata in lower case", {"udata {12345678}\r"}, "none [udata {12345678}] 0"},
        {"no CR yet", {"Reg5 0x0040"}, "[Reg5 0x0040] 0"},
        {"line over two reads", {"Reg5 0x0040", "0005\r\n"}, l5 + "[] 1"},
        {"word-less lines join", {"OK\r\n", "Ready\r\n"}, "none none [OKReady] 0"},
        {"a 0 without x last", {"Done 0\r"}, "none [Done 0] 0"},
        {"LF in a later read", {"OK\r", "\n"}, "none [OK\n] 0"},
        {"several lines in a read", {r5 + "OK\r\n" + r0}, l5 + "none " + l0 + "[] 2"},
        {"Reg5 first", {r5 + r4to1, r0}, l5 + l4to1 + l0 + "HAND-OVER [] 0"},
        {"five words, then Reg0", {r4to1 + r0}, l4to1 + l0 + "[] 5"},
        {"Reg0 first, word-less", {r0 + r5 + r4to1, "Done\r"}, l0 + l5 + l4to1 + "HAND-OVER [Done] 0"},
        {"five words, word-less", {r5 + r4to1 + "Done\r"}, l5 + l4to1 + "none [Done] 5"},
        {"Reg0 first, next Reg0", {r0 + r5 + r4to1 + r0}, l0 + l5 + l4to1 + l0 + "HAND-OVER [] 0"},
        {"count restarts", {r5 + r4to1 + r0 + r0}, l5 + l4to1 + l0 + "HAND-OVER " + l0 + "[] 1"},
        {"out of range", {r5 + r4to1 + r5 + "0x8 000000\r"}, l5 + l4to1 + l5 + "dropped [] 6"},
    };
    // clang-format on
    for (const auto& [what, reads, trace] : table) {
        EXPECT_EQ(Trace(reads), trace) << what << ": log, user data, hand-over or kept text";
    }
    std::string many; // the count stops at its ceiling and still hands over
    for (int i = 0; i < 32777; ++i) {
        many += "0x00000001\r";
    }
    EXPECT_TRUE(Trace({many}).ends_with("[] 32767")) << "word count saturates";
    EXPECT_TRUE(Trace({many, r0}).ends_with(l0 + "HAND-OVER [] 0")) << "hand-over after many";
}

TEST(PortChoice, TheBoxTextNamesAPortOrNone) {
    using enum PortNaming;
    // clang-format off
    const std::tuple<const char*, PortNaming, double, const char*, const char*> table[]{
        {"COM3", Numbered, 3, "COM3", "   COM 3"}, {"COM 12", Numbered, 12, "COM12", "   COM 12"},
        {"COM05", Numbered, 5, "COM5", "   COM 5"}, {"COM2.5", Numbered, 2.5, "COM2", "   COM 2.5"},
        {"COM Port", Numbered, 0, "", ""}, {"COM", Numbered, 0, "", ""}, {"", Numbered, 0, "", ""},
        {" /dev/pts/7\t", Paths, 1, "/dev/pts/7", "   /dev/pts/7"}, {"x", Paths, 1, "x", "   x"},
        {"/dev/pts/1\r\n", Paths, 1, "/dev/pts/1", "   /dev/pts/1"}, // pasted with its line end
        {"\xC2\xA0\v/dev/pts/1\f\xE3\x80\x80", Paths, 1, "/dev/pts/1", "   /dev/pts/1"},
        {"COM4\r\n", Numbered, 4, "COM4", "   COM 4"}, {" \t\r\n\xC2\xA0", Paths, 0, "", ""},
        {"", Paths, 0, "", ""}, {"\xEF\xBB\xBF/dev/pts/2", Paths, 1, "/dev/pts/2", "   /dev/pts/2"}};
    // clang-format on
    for (const auto& [text, naming, cp, port, captionSuffix] : table) {
        const PortChoice choice = ReadPortChoice(text, naming).value_or(PortChoice{});
        EXPECT_EQ(ReadPortChoice(text, naming).has_value(), cp != 0) << "port named: " << text;
        EXPECT_EQ(choice.cp, cp) << "port number of \"" << text << "\"";
        EXPECT_EQ(choice.port, port) << "port opened for \"" << text << "\"";
        EXPECT_EQ(choice.captionSuffix, captionSuffix) << "caption for \"" << text << "\"";
    }
}

TEST(PortOrder, DigitRunsCompareAsNumbers) {
    // clang-format off
    const std::tuple<const char*, const char*, bool> table[]{
        {"ttyS2", "ttyS10", true}, {"ttyS10", "ttyS2", false}, {"ttyACM0", "ttyS0", true},
        {"ttyUSB1", "ttyUSB1", false}, {"ttyS", "ttyS0", true}, {"ttyS0", "ttyS", false},
        {"ttyS007", "ttyS10", true}, {"ttyS02", "ttyS2", false}, {"ttyS2", "ttyS02", false},
        {"ttyS00", "ttyS0", false}, {"a10b", "a10c", true}, {"x012", "x12a", true},
        {"b0", "a1", false}, {"a1", "b0", true}, {"01a", "1b", true}, {"a0b", "a0", false}};
    // clang-format on
    for (const auto& [a, b, less] : table) {
        EXPECT_EQ(NaturalLess(a, b), less) << "port list order of " << a << " and " << b;
    }
}

TEST(LinkTexts, EveryTextByteForByte) {
    const std::string port = "/dev/ttyUSB0", choose = "choose a port and press Set COM Port";
    const std::string cannot = "Cannot open /dev/ttyUSB0: ",
                      again = ".\r\nChoose another port and press Set COM Port again.\r\n";
    const std::string lost =
        "Port /dev/ttyUSB0 went away (adapter unplugged or simulator closed); ";
    using enum PortFault;
    // clang-format off
    const std::pair<std::string, std::string> table[]{
        {RegisterLine(5), "R00000005\r\n"}, {RegisterLine(kTop + 0xE80000), "R80E80000\r\n"},
        {StoreLine(), "W\r\n"}, {InitLine(), "INIT\r\n"},
        {PortOpenMessage("COM3"), "COM3 Open\r\nRS232 Parameters  9600 Baud, N,8,2\r\nUse with PIC "
                                  "Firmware  'MAX2870' to translate ASCII / Hex to SPI \r\n"},
        {OpenFailureMessage(port, {NotFound, "x"}), cannot + "no such port" + again},
        {OpenFailureMessage(port, {Busy, "x"}), cannot + "it is in use by another program" + again},
        {OpenFailureMessage(port, {Other, "Input/output error"}), cannot + "Input/output error" + again},
        {OpenFailureMessage(port, {Other, ""}), cannot + "unknown error" + again},
        {OpenFailureMessage(port, {None, ""}), cannot + "no error" + again},
        {OpenFailureMessage(port, {Permission, "x"}), cannot + "permission denied.\r\nAdd your user to "
         "the dialout group (sudo usermod -aG dialout $USER), log out and in again, then retry.\r\n"},
        {NoPortChosenMessage(false), "No port chosen: type a port number or device path in the port "
                                     "box, or pick one from its list, then press Set COM Port.\r\n"},
        {NoPortChosenMessage(true), NoPortChosenMessage(false) + "No serial port could be opened. If "
         "the machine has serial ports, your user may need to join the dialout group (sudo usermod "
         "-aG dialout $USER), then log out and in again.\r\n"},
        {NotSentLog(RunOutcome::TwelveBit, "More than 12 bits\r\nChoose"), "Not sent: More than 12 bits\r\n"},
        {NotSentLog(RunOutcome::NoFcomp, "old\r\n"), "Not sent: no comparison frequency\r\n"},
        {ReopenFailureLog(port, {NotFound, ""}),
         "Cannot reopen /dev/ttyUSB0: no such port; nothing sent; " + choose + "\r\n"},
        {ReopenFailureLog(port, {Permission, ""}), "Cannot reopen /dev/ttyUSB0: permission denied; "
         "nothing sent (add your user to the dialout group); " + choose + "\r\n"},
        {PortClosedLog(port), "Port /dev/ttyUSB0 is not open; nothing sent\r\n"},
        {PortLostLog(port, "EIO", true), lost + "transfer stopped; " + choose + " [EIO]\r\n"},
        {PortLostLog(port, "", false), lost + choose + "\r\n"},
        {UnrequestedSetLog(), "Register set received without INIT from EE; panel left unchanged\r\n"},
        {RefusedSetLog("R is 0"), "Stored register set refused: R is 0; panel left unchanged\r\n"},
        {NoReplyLog(0.25), "No reply to INIT from EE within 0.25 s; panel left unchanged\r\n"}};
    // clang-format on
    for (const auto& [text, expected] : table) {
        EXPECT_EQ(text, expected) << "text shown to the user or sent on the wire";
    }
}

} // namespace
} // namespace max2870
