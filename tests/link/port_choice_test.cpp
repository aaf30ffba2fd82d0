#include "link/link_texts.h"
#include "link/port_choice.h"
#include "link/port_order.h"

#include <gtest/gtest.h>

namespace max2870 {
namespace {

TEST(PortChoice, NumberedTextsReadTheNumberAfterTheThirdCharacter) {
    const auto com3 = ReadPortChoice("COM3", PortNaming::Numbered);
    ASSERT_TRUE(com3);
    EXPECT_EQ(com3->cp, 3);
    EXPECT_EQ(com3->port, "COM3");
    EXPECT_EQ(com3->captionSuffix, "   COM 3");
    const auto com12 = ReadPortChoice("COM 12", PortNaming::Numbered);
    ASSERT_TRUE(com12);
    EXPECT_EQ(com12->port, "COM12");
    EXPECT_EQ(com12->captionSuffix, "   COM 12");
}

TEST(PortChoice, NumberedTextWithoutNumberNamesNoPort) {
    EXPECT_FALSE(ReadPortChoice("COM Port", PortNaming::Numbered));
    EXPECT_FALSE(ReadPortChoice("", PortNaming::Numbered));
    EXPECT_FALSE(ReadPortChoice("COM", PortNaming::Numbered));
}

TEST(PortChoice, PathsAreTakenAsTyped) {
    const auto pts = ReadPortChoice(" /dev/pts/7 ", PortNaming::Paths);
    ASSERT_TRUE(pts);
    EXPECT_EQ(pts->port, "/dev/pts/7");
    EXPECT_EQ(pts->captionSuffix, "   /dev/pts/7");
    EXPECT_NE(pts->cp, 0);
    EXPECT_FALSE(ReadPortChoice("  ", PortNaming::Paths));
}

TEST(PortDirectory, NaturalOrder) {
    EXPECT_TRUE(NaturalLess("ttyS2", "ttyS10"));
    EXPECT_FALSE(NaturalLess("ttyS10", "ttyS2"));
    EXPECT_TRUE(NaturalLess("ttyACM0", "ttyS0"));
    EXPECT_TRUE(NaturalLess("ttyUSB0", "ttyUSB1"));
    EXPECT_FALSE(NaturalLess("ttyUSB1", "ttyUSB1"));
    EXPECT_TRUE(NaturalLess("ttyS", "ttyS0"));
}

TEST(LinkTexts, PortMessageText) {
    EXPECT_EQ(PortOpenMessage("COM3"),
              "COM3 Open\r\nRS232 Parameters  9600 Baud, N,8,2\r\nUse with PIC Firmware  "
              "'MAX2870' to translate ASCII / Hex to SPI \r\n");
}

TEST(LinkTexts, PermissionNamesTheDialoutGroup) {
    const std::string text = OpenFailureMessage("/dev/ttyUSB0", {PortFault::Permission, {}});
    EXPECT_NE(text.find("/dev/ttyUSB0"), std::string::npos);
    EXPECT_NE(text.find("dialout"), std::string::npos);
    EXPECT_EQ(OpenFailureMessage("/dev/x", {PortFault::NotFound, {}}).find("dialout"),
              std::string::npos);
    EXPECT_NE(ReopenFailureLog("/dev/x", {PortFault::Busy, {}}).find("nothing sent"),
              std::string::npos);
}

} // namespace
} // namespace max2870
