// The link's commands, replies and port choice over the scripted serial layer, with short waits.

#include "link/link_texts.h"
#include "link_rig.h"

using namespace max2870;
using enum ControlId;

namespace {

const std::string kPort = "/dev/ttyUSB0";
// The words of the worked example: 10 MHz reference, 2320.5 MHz out of a 4641 MHz VCO.
const std::string kWire = "R00400005\r\nR609C80FC\r\nR0000000B\r\nR18005E42\r\nR20000FA1\r\n"
                          "R00E80190\r\n";
const std::string kStored = "R00400005\r\nW\r\nR609C80FC\r\nW\r\nR0000000B\r\nW\r\nR18005E42\r\n"
                            "W\r\nR20000FA1\r\nW\r\nR00E80190\r\nW\r\n";
const std::string kSet = "Udata {5A5A0001}\r\nReg5 0x00400005\r\nReg4 0x638FF1B4\r\nReg3 0x0000000B"
                         "\r\nReg2 0xCE005E02\r\nReg1 0x207D1F41\r\nReg0 0x001D0000\r\n";
const std::string kSetLog = "Reg 5 - 00400005\r\nReg 4 - 638FF1B4\r\nReg 3 - 0000000B\r\nReg 2 - "
                            "CE005E02\r\nReg 1 - 207D1F41\r\nReg 0 - 001D0000\r\n";
const std::string kErased = "0x5\r0x4\r0x3\r0x2\r0x1\r0x0\r"; // R is 0
const std::string kLost = "Port /dev/ttyUSB0 went away (adapter unplugged or simulator closed); ";
const std::string kChoose = "choose a port and press Set COM Port";

using Act = std::function<void(LinkRig&)>;
// What an operator types while the read-back is awaited.
void TypeWhileAwaited(LinkRig& r) {
    r.link.onWrite = [&r] { r.panel.SetText(FoutText, "3100"); };
}
Act Typed(ControlId id, const char* text, ControlId button) {
    return [=](LinkRig& r) {
        const std::string before = r.panel.Text(id);
        r.panel.SetText(id, text);
        r.Click(button);
        r.panel.SetText(id, before); // then the port is still open and usable
        r.Run(SendAll);
    };
}

} // namespace

class LinkControllerTest : public QObject {
    Q_OBJECT
private slots:
    void sendCommandsAndReplies();
    void portChoice();
};

// After "Set COM Port" on the first of two ports (the second busy until then), with "earlier" in
// the log, what the operator or the port does, and what the link makes of it.
void LinkControllerTest::sendCommandsAndReplies() {
    struct Row {
        const char* what;
        Act act;
        std::string wire; // every line sent, in order
        std::string log;
        std::vector<bool> finished;
        Rgb colour = colour::Black; // of the log
        bool connected = true;      // link buttons shown, else the port choice
        bool awaiting = false;      // a read-back pending
        std::function<bool(const LinkRig&)> holds = [](const LinkRig&) { return true; };
        std::chrono::milliseconds replyTimeout = 5s;
    };
    const auto click = [](ControlId button) { return [=](LinkRig& r) { r.Click(button); }; };
    const auto fout = [](double mhz) {
        return [=](const LinkRig& r) { return r.state.Fout == mhz; };
    };
    // clang-format off
    const Row table[]{
        {"Set all Registers, clicks in between", [](LinkRig& r) { r.link.answer = "OK\r\n"; r.link.onWrite = [&r] {
             for (ControlId b : {SendAll, WriteAll, Init}) {
                 QTimer::singleShot(0, [&r, b] { r.Click(b); }); // starts nothing
                 r.link.lines.back() += r.panel.Record(b).enabled ? "(button enabled)" : "";
             } }; r.Run(SendAll); }, kWire, "earlier\r\nSend registers\r\nOKOKOKOKOKOK", {true}},
        {"bit 31 set", [](LinkRig& r) { r.panel.SetValue(FractN, 1); r.Run(SendAll); },
         "R00400005\r\nR609C80FC\r\nR0000000B\r\nR18005F42\r\nR00000001\r\nR80E80000\r\n",
         "earlier\r\nSend registers\r\n", {true}},
        {"Write EE, replies kept", [](LinkRig& r) { r.link.answer = "OK\r\n"; r.Run(WriteAll); }, kStored,
         "OKOK\r\nOKOKOKOK\r\nOKOKOKOKOKOK\r\nOKOKOKOKOKOKOKOK\r\nOKOKOKOKOKOKOKOKOKOK\r\n"
         "OKOKOKOKOKOKOKOKOKOKOKOK\r\n", {true}, colour::LogPurple},
        {"INIT from EE", [](LinkRig& r) { r.link.answer = "OK\r\n"; r.Run(Init); }, "INIT\r\n",
         "Set From EE\r\n", {true}, colour::LogGreen, true, true, [](const LinkRig& r) { return r.state.Serin == "OK"; }},
        {"twelve bits", Typed(ResolutionText, "1000", SendAll), kWire, "earlier\r\nNot sent: More "
         "than 12 bits needed for fractional registers\r\nSend registers\r\n", {true}},
        {"zero modulus", Typed(ResolutionText, "1E12", WriteAll), kWire, "Not sent: Fractional "
         "modulus D is zero or undefined: choose a finer resolution\r\nSend registers\r\n", {true}},
        {"no comparison frequency", Typed(FrText, "0", SendAll), kWire,
         "earlier\r\nNot sent: no comparison frequency\r\nSend registers\r\n", {true}},
        {"held by a read-back", [](LinkRig& r) { r.plan.Recalculate(); r.Run(Init); r.panel.SetText(ResolutionText, "1000");
         r.Run(SendAll); }, "INIT\r\n" + kWire, "Set From EE\r\nSend registers\r\n", {true, true}, colour::Black, true, true},
        {"closed: Write EE", [](LinkRig& r) { r.link.Close(); r.Click(WriteAll); }, "",
         PortClosedLog(kPort), {}, colour::LogPurple},
        {"closed: INIT from EE", [](LinkRig& r) { r.link.Close(); r.Click(Init); }, "",
         "Set From EE\r\n" + PortClosedLog(kPort), {}, colour::LogGreen},
        {"closed mid-transfer", [](LinkRig& r) { r.link.onWrite = [&r] { r.link.Close(); }; r.Run(SendAll); },
         kWire.substr(0, 11), "earlier\r\nSend registers\r\n" + PortClosedLog(kPort), {false}},
        {"lost while idle", [](LinkRig& r) { r.link.Lose(); }, "",
         "earlier\r\n" + kLost + kChoose + " [Input/output error]\r\n", {}, colour::Black, false},
        {"lost mid-transfer", [](LinkRig& r) { r.link.onWrite = [&r] { QTimer::singleShot(0, &r.link,
         &TestLink::Lose); }; r.Run(SendAll); QTest::qWait(50); }, kWire.substr(0, 11), "earlier\r\nSend "
         "registers\r\n" + kLost + "transfer stopped; " + kChoose + " [Input/output error]\r\n", {false}, colour::Black, false},
        {"reopen fails", [](LinkRig& r) { r.link.faults[kPort] = PortFault::NotFound; r.Click(SendAll); }, "",
         "earlier\r\nCannot reopen /dev/ttyUSB0: no such port; nothing sent; " + kChoose + "\r\n", {}, colour::Black, false},
        {"lost while awaited: held edit applied", [](LinkRig& r) { TypeWhileAwaited(r); r.Run(Init); r.link.Lose(); },
         "INIT\r\n", "Set From EE\r\n" + kLost + kChoose + " [Input/output error]\r\n", {true}, colour::LogGreen, false, false, fout(3100)},
        {"no reply: held edit applied", [](LinkRig& r) { TypeWhileAwaited(r); r.Run(Init); QTest::qWait(150); },
         "INIT\r\n", "Set From EE\r\nNo reply to INIT from EE within 0.1 s; panel left unchanged\r\n", {true}, colour::LogGreen, true, false, fout(3100), 100ms},
        {"refused set: held edit applied", [](LinkRig& r) { TypeWhileAwaited(r); r.link.answer = kErased; r.Run(Init); },
         "INIT\r\n", "Set From EE\r\nReg 5 - 00000005\r\nReg 4 - 00000004\r\nReg 3 - 00000003\r\nReg 2 - 00000002\r\n"
         "Reg 1 - 00000001\r\nReg 0 - 00000000\r\nStored register set refused: the reference divider R is 0; panel "
         "left unchanged\r\n", {true}, colour::LogGreen, true, false, fout(3100)},
        {"read-back restores the panel, which makes the same words", [](LinkRig& r) { r.panel.SetText(FrText, "50");
         r.panel.SetText(OPPhasetext, "90"); r.Run(Init); r.link.Deliver(kSet); }, "INIT\r\n", "Set From EE\r\n" + kSetLog,
         {true}, colour::LogGreen, true, false, [](const LinkRig& r) { return r.panel.Text(Udata) == "5A5A0001" &&
         std::vector{r.state.Reg0, r.state.Reg1, r.state.Reg2, r.state.Reg3, r.state.Reg4, r.state.Reg5} ==
         std::vector{0x001D0000, 0x207D1F41, static_cast<std::int32_t>(0xCE005E02U), 11, 0x638FF1B4, 0x00400005}; }},
        {"set not asked for: panel left alone", [](LinkRig& r) { r.link.Deliver(kSet); }, "", "earlier\r\n" + kSetLog +
         UnrequestedSetLog(), {}, colour::Black, true, false, [](const LinkRig& r) { return r.panel.Value(RefDbl) == 0; }},
    };
    // clang-format on
    for (const Row& row : table) {
        LinkRig rig({"MAX2870 Control", 10ms, row.replyTimeout});
        rig.link.names = {kPort, "/dev/ttyUSB1"};
        rig.link.faults["/dev/ttyUSB1"] = PortFault::Busy;
        rig.controller.Form_Load();
        const std::string caption = rig.panel.Caption(MAX2870);
        rig.Click(SetCP);
        rig.link.faults.clear();
        rig.panel.SetText(Text1, "earlier\r\n");
        row.act(rig);
        QTest::qWaitFor([&] { return !rig.controller.Busy(); }, 10000);
        const auto says = [&](const char* fault) { return std::string(row.what) + ": " + fault; };
        QVERIFY2(rig.link.Wire() == row.wire,
                 says(("lines on the wire " + rig.link.Wire()).c_str()).c_str());
        for (std::size_t i = 1; i < rig.link.times.size(); ++i) {
            QVERIFY2(rig.link.times[i] - rig.link.times[i - 1] >= 0.02,
                     says("lines 2 waits apart").c_str());
        }
        QVERIFY2(rig.Log() == row.log, says(("log " + rig.Log()).c_str()).c_str());
        QVERIFY2(rig.finished == row.finished,
                 says("sequence reported as completed or stopped").c_str());
        QVERIFY2(rig.panel.Record(Text1).fore == row.colour, says("log colour").c_str());
        QVERIFY2(rig.state.InitFlag == row.awaiting,
                 says("recomputes held for a read-back").c_str());
        QVERIFY2(row.holds(rig), says("panel afterwards").c_str());
        for (ControlId id : {SendAll, WriteAll, Init, CPort, SetCP}) {
            const bool linkButton = id != CPort && id != SetCP;
            QVERIFY2(rig.panel.Visible(id) == (linkButton == row.connected),
                     says("controls shown").c_str());
            QVERIFY2(rig.panel.Record(id).enabled, says("control left disabled").c_str());
        }
        if (!row.connected) { // back to the choice, with the list refreshed and the caption
                              // restored
            QVERIFY2(rig.panel.Record(CPort).list ==
                             std::vector<std::string>({kPort, "/dev/ttyUSB1"}) &&
                         rig.panel.Record(CPort).back == colour::Red,
                     says("port list").c_str());
            QVERIFY2(!rig.link.IsOpen() && rig.state.CP == 0, says("port left open").c_str());
            QVERIFY2(rig.panel.Caption(MAX2870) == caption, says("caption").c_str());
            rig.Connect("/dev/ttyUSB1");
            QVERIFY2(rig.panel.Caption(MAX2870) == caption + "   /dev/ttyUSB1",
                     says("caption").c_str());
        }
    }
}

void LinkControllerTest::portChoice() {
    struct Row {
        PortNaming naming;
        std::vector<std::string> names;
        PortFault fault;   // of the port typed
        const char* typed; // nullptr: the box as the probe left it
        std::string message;
        double cp; // 0: the choice stays on screen
        const char* captionSuffix;
    };
    const std::vector<std::string> com{"COM3", "COM12"};
    const auto failure = [](const std::string& port, PortFault fault, const char* detail = "") {
        return OpenFailureMessage(port, {fault, detail});
    };
    using enum PortFault;
    // clang-format off
    const Row table[]{
        {PortNaming::Numbered, com, None, nullptr, PortOpenMessage("COM3"), 3, "   COM 3"},
        {PortNaming::Numbered, com, None, "COM12", PortOpenMessage("COM12"), 12, "   COM 12"},
        {PortNaming::Numbered, com, None, "COM Port", NoPortChosenMessage(false), 0, ""},
        {PortNaming::Paths, {}, None, nullptr, NoPortChosenMessage(true), 0, ""},
        {PortNaming::Paths, {}, None, " /dev/ttyUSB0", PortOpenMessage(" /dev/ttyUSB0"), 1, "   /dev/ttyUSB0"},
        {PortNaming::Paths, {}, NotFound, "/dev/ttyNOPE", failure("/dev/ttyNOPE", NotFound), 0, ""},
        {PortNaming::Paths, {}, Busy, "/dev/ttyS0", failure("/dev/ttyS0", Busy), 0, ""},
        {PortNaming::Paths, {}, Permission, "/dev/ttyS0", failure("/dev/ttyS0", Permission), 0, ""},
        {PortNaming::Paths, {}, Other, "/dev/ttyS0", failure("/dev/ttyS0", Other, "scripted"), 0, ""},
    };
    // clang-format on
    for (const Row& row : table) {
        LinkRig rig;
        rig.link.naming = row.naming;
        rig.link.names = row.names;
        rig.controller.Form_Load();
        const std::string caption = rig.panel.Caption(MAX2870);
        if (row.typed != nullptr) {
            rig.panel.SetText(CPort, row.typed);
            if (row.fault != None) {
                rig.link.faults[row.typed] = row.fault;
            }
        }
        rig.Click(SetCP);
        const bool connected = row.cp != 0;
        const auto says = [&](const char* fault) {
            return row.message.substr(0, 20) + ": " + fault;
        };
        QVERIFY2(rig.panel.Messages() == std::vector<std::string>{"MAX2870 Control|" + row.message},
                 says("message box").c_str());
        for (ControlId id : {SendAll, WriteAll, Init, CPort, SetCP}) {
            const bool linkButton = id != CPort && id != SetCP;
            QVERIFY2(rig.panel.Visible(id) == (linkButton == connected),
                     says("controls shown").c_str());
        }
        QVERIFY2(rig.link.IsOpen() == connected && rig.state.CP == row.cp, says("port").c_str());
        QVERIFY2(rig.panel.Caption(MAX2870) == caption + row.captionSuffix,
                 says("caption").c_str());
        QVERIFY2(rig.panel.Record(CPort).back == colour::White, says("port box colour").c_str());
    }

    LinkRig rig; // ports 1 to 32 each tried once, in order; 3 and 12 free
    rig.link.naming = PortNaming::Numbered;
    for (int n = 1; n <= 32; ++n) {
        rig.link.names.push_back("COM" + std::to_string(n));
        if (n != 3 && n != 12) {
            rig.link.faults[rig.link.names.back()] = NotFound;
        }
    }
    rig.state.CP = 7;
    rig.state.InitFlag = true;
    rig.controller.Form_Load();
    QCOMPARE(rig.link.opens, rig.link.names);
    QCOMPARE(rig.panel.Record(CPort).list, com);
    QCOMPARE(rig.panel.Text(CPort), std::string("COM3"));
    QVERIFY2(!rig.link.IsOpen() && rig.state.CP == 0 && !rig.state.InitFlag, "start-up state");
    QVERIFY2(rig.panel.Record(CPort).back == colour::Red && !rig.panel.Visible(SendAll), "start");
    rig.Click(CPort);
    QVERIFY2(rig.panel.Record(CPort).back == colour::White, "port box white once touched");
    rig.Click(ClrText);
    QVERIFY2(rig.Log().empty(), "log emptied by its clear button");
}

QTEST_GUILESS_MAIN(LinkControllerTest)
#include "link_controller_test.moc"
