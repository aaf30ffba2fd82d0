// The link's commands, replies and port choice over the scripted serial layer, with short waits.

#include "link/link_texts.h"
#include "link_rig.h"

#include <algorithm>
#include <iterator>

using namespace max2870;
using enum ControlId;

namespace {

const std::string kPort = "/dev/ttyUSB0", kIo = "Input/output error", kOK6 = "OKOKOKOKOKOK";
// The words of the worked example: 10 MHz reference, 2320.5 MHz out of a 4641 MHz VCO.
const std::string kWire = "R00400005\r\nR609C80FC\r\nR0000000B\r\nR18005E42\r\nR20000FA1\r\n"
                          "R00E80190\r\n";
const std::string kSet = "Udata {5A5A0001}\r\nReg5 0x00400005\r\nReg4 0x638FF1B4\r\nReg3 0x0000000B"
                         "\r\nReg2 0xCE005E02\r\nReg1 0x207D1F41\r\nReg0 0x001D0000\r\n";
// The line that says what went out, after a complete "Set all Registers" or "Write EE".
std::string Sent(const char* what, const char* words = "00400005 609C80FC 0000000B 18005E42 "
                                                       "20000FA1 00E80190") {
    return std::string(what) + ", Reg5 to Reg0: " + words + "\r\n";
}
const std::string kSetLog = "Reg 5 - 00400005\r\nReg 4 - 638FF1B4\r\nReg 3 - 0000000B\r\nReg 2 - "
                            "CE005E02\r\nReg 1 - 207D1F41\r\nReg 0 - 001D0000\r\n";

using Act = std::function<void(LinkRig&)>;
Act Typed(ControlId id, const char* text, ControlId button) { // then the same port sends again
    return [=](LinkRig& r) {
        const std::string before = r.panel.Text(id);
        r.panel.SetText(id, text);
        r.Click(button);
        r.panel.SetText(id, before);
        r.Run(SendAll);
    };
}
Act Awaited(Act then) { // the wanted frequency is typed while the read-back is awaited
    return [=](LinkRig& r) {
        r.link.onWrite = [&r] {
            r.panel.SetText(FoutText, "3100");
            r.link.wire += r.state.Fout == 3100 ? "(recompute not held)" : "";
        };
        r.Run(Init);
        then(r);
    };
}
void TimedOut(LinkRig& r) {
    QVERIFY(QTest::qWaitFor([&] { return !r.plan.ReadBackAwaited(); }));
}
bool Applied(const LinkRig& r) {
    return r.state.Fout == 3100;
}

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

} // namespace

class LinkControllerTest : public QObject {
    Q_OBJECT
private slots:
    void sendCommandsAndReplies();
    void portChoice();
};

// After start-up with three ports (one missing, one busy) and "Set COM Port" on the one free,
// with "earlier" in the log: what the operator or the port does, and what the link makes of it.
void LinkControllerTest::sendCommandsAndReplies() {
    const std::string sent = "earlier\r\nSend registers\r\n", lost = PortLostLog(kPort, kIo, false);
    const std::string set = Sent("Registers set"), ee = Sent("Stored in EE");
    const std::string eeLog = "OKOK\r\nOKOKOKOK\r\n" + kOK6 + "\r\n" + kOK6 + "OKOK\r\n" + kOK6 +
                              "OKOKOKOK\r\n" + kOK6 + kOK6 + "\r\n" + ee;
    std::string stored;
    for (std::size_t i = 0; i < 66; i += 11) {
        stored += kWire.substr(i, 11) + "W\r\n";
    }
    using enum PortFault;
    const auto green = colour::LogGreen;
    // clang-format off
    const Row table[]{
        {"Set all Registers, clicks in between", [](LinkRig& r) { r.link.answer = "OK\r\n";
            r.link.onWrite = [&r] { for (ControlId b : {SendAll, WriteAll, Init}) {
                QTimer::singleShot(0, [&r, b] { r.Click(b); }); // starts nothing
                r.link.wire += r.panel.Record(b).enabled ? "(button enabled)" : ""; } };
            r.Run(SendAll); }, kWire, sent + kOK6 + "\r\n" + set, {true}},
        {"bit 31", [](LinkRig& r) { r.panel.SetValue(FractN, 1); r.Run(SendAll); }, "R00400005\r\n"
         "R609C80FC\r\nR0000000B\r\nR18005F42\r\nR00000001\r\nR80E80000\r\n", sent +
         Sent("Registers set", "00400005 609C80FC 0000000B 18005F42 00000001 80E80000"), {true}},
        {"Write EE keeps replies", [](LinkRig& r) { r.link.answer = "OK\r\n"; r.Run(WriteAll); },
         stored, eeLog, {true}, colour::LogPurple},
        {"Write EE's replies are not shown again", [](LinkRig& r) { r.link.answer = "OK\r\n";
            r.Run(WriteAll); r.link.answer = ""; r.Run(SendAll); }, stored + kWire,
         eeLog + "Send registers\r\n" + set, {true, true}},
        {"close held while Write EE is on the wire", [](LinkRig& r) {
            QObject::connect(&r.controller, &LinkController::CloseReady, [&r] {
                r.link.wire += "(closes now)"; });
            r.link.onWrite = [&r] { if (r.link.wire == kWire.substr(0, 11)) { // the first line
                r.link.wire += r.controller.RequestClose() ? "(closes at once)" : "";
                r.link.wire += r.controller.RequestClose() ? "" : "(second close held)"; } };
            r.Run(WriteAll); }, stored + "(closes now)", CloseDeferredLog() + "\r\n\r\n\r\n\r\n"
         "\r\n\r\n" + ee, {true}, colour::LogPurple},
        {"INIT from EE", [](LinkRig& r) { r.link.answer = "OK\r\n"; r.Run(Init); }, "INIT\r\n",
         "Set From EE\r\n", {true}, green, true, true, [](auto& r) { return r.controller.Serin() == "OK"; }},
        {"twelve bits", Typed(ResolutionText, "1000", SendAll), kWire, "earlier\r\nNot sent: More "
         "than 12 bits needed for fractional registers\r\nSend registers\r\n" + set, {true}},
        {"zero modulus", Typed(ResolutionText, "1E12", WriteAll), kWire, "Not sent: Fractional "
         "modulus D is zero or undefined: choose a finer resolution\r\nSend registers\r\n" + set,
         {true}},
        {"no comparison frequency", Typed(FrText, "0", SendAll), kWire,
         "earlier\r\nNot sent: no comparison frequency\r\nSend registers\r\n" + set, {true}},
        {"held by a read-back", [](LinkRig& r) { r.plan.Recalculate(); // words, then twelve bits
            r.panel.SetText(ResolutionText, "1000"); r.Run(Init); r.Run(SendAll); }, "INIT\r\n" + kWire,
         "Set From EE\r\nSend registers\r\n" + set, {true, true}, colour::Black, true, true},
        {"closed: Write EE", [](LinkRig& r) { r.link.Close(); r.Click(WriteAll); }, "",
         PortClosedLog(kPort), {}, colour::LogPurple},
        {"closed: INIT", [](LinkRig& r) { r.link.Close(); r.Click(Init); }, "",
         "Set From EE\r\n" + PortClosedLog(kPort), {}, green},
        {"closed mid-transfer", [](LinkRig& r) { r.link.onWrite = [&r] { r.link.Close(); };
            r.Run(SendAll); }, kWire.substr(0, 11), sent + PortClosedLog(kPort), {false}},
        {"lost while idle", [](LinkRig& r) { r.link.Lose(); }, "", "earlier\r\n" + lost, {},
         colour::Black, false},
        {"lost mid-transfer", [](LinkRig& r) { r.link.onWrite = [&r] {
            QTimer::singleShot(0, &r.link, &TestLink::Lose); }; r.Run(SendAll); QTest::qWait(50); },
         kWire.substr(0, 11), sent + PortLostLog(kPort, kIo, true), {false}, colour::Black, false},
        {"reopen fails", [](LinkRig& r) { r.link.faults[kPort] = NotFound; r.Click(SendAll); }, "",
         "earlier\r\n" + ReopenFailureLog(kPort, {NotFound, ""}), {}, colour::Black, false},
        {"lost while awaited", Awaited([](LinkRig& r) { r.link.Lose(); }), "INIT\r\n",
         "Set From EE\r\n" + lost, {true}, green, false, false, Applied},
        {"no reply, said once", Awaited([](LinkRig& r) { TimedOut(r); QTest::qWait(250); }), "INIT\r\n", "Set From EE\r\n" + NoReplyLog(0.1), {true}, green,
         true, false, Applied, 100ms},
        {"refused set", [](LinkRig& r) { r.link.answer = "0x5\r0x4\r0x3\r0x2\r0x1\r0x0\r"; // R 0
            Awaited([](LinkRig&) {})(r); }, "INIT\r\n", "Set From EE\r\nReg 5 - 00000005\r\nReg 4 - "
         "00000004\r\nReg 3 - 00000003\r\nReg 2 - 00000002\r\nReg 1 - 00000001\r\nReg 0 - 00000000"
         "\r\n" + RefusedSetLog("the reference divider R is 0"), {true}, green, true, false, Applied},
        {"read-back restores the panel, which makes the same words", [](LinkRig& r) {
            r.panel.SetText(FrText, "50"); r.panel.SetText(OPPhasetext, "90"); // not in the set
            r.Run(Init); r.link.Deliver(kSet); QTest::qWait(150); }, // and no time-out after it
         "INIT\r\n", "Set From EE\r\n" + kSetLog, {true}, green, true, false, [](auto& r) {
            return r.panel.Text(Udata) == "5A5A0001" && r.state.words ==
            RegisterWords{0x001D0000, 0x207D1F41, -838836734, 11, 0x638FF1B4, 0x00400005}; }, 100ms},
        {"log cleared", [](LinkRig& r) { r.Click(ClrText); }, "", "", {}},
        {"set not asked for", [](LinkRig& r) { r.link.Deliver(kSet); }, "", "earlier\r\n" + kSetLog
         + UnrequestedSetLog(), {}, colour::Black, true, false,
         [](auto& r) { return r.panel.Value(RefDbl) == 0; }},
    };
    // clang-format on
    for (const Row& row : table) {
#define CHECK(ok, fault) QVERIFY2(ok, (row.what + std::string(": ") + (fault)).c_str())
        LinkRig rig({"MAX2870 Control", 10ms, row.replyTimeout});
        rig.link.names = {"/dev/ttyS10", kPort, "/dev/ttyUSB1"};
        rig.link.faults = {{"/dev/ttyS10", NotFound}, {"/dev/ttyUSB1", Busy}};
        rig.plan.AwaitReadBack(true);
        rig.controller.Form_Load(); // each port tried once, in order; the box shows the first
        CHECK(rig.link.opens == rig.link.names && rig.panel.Text(CPort) == kPort, "probe");
        CHECK(!rig.plan.ReadBackAwaited() && !rig.link.IsOpen(), "start-up state");
        CHECK(rig.panel.Record(CPort).back == colour::Red && !rig.panel.Visible(Init), "start");
        rig.Click(CPort);
        CHECK(rig.panel.Record(CPort).back == colour::White, "port box white once touched");
        const std::string caption = rig.panel.Caption(MAX2870);
        rig.Click(SetCP);
        rig.link.faults.clear();
        rig.panel.SetText(Text1, "earlier\r\n");
        row.act(rig);
        QVERIFY(QTest::qWaitFor([&] { return !rig.controller.Busy(); }, 10000));
        CHECK(rig.link.wire == row.wire, "lines on the wire " + rig.link.wire);
        for (std::size_t i = 1; i < rig.link.times.size(); ++i) {
            CHECK(rig.link.times[i] - rig.link.times[i - 1] >= 0.02, "lines 2 waits apart");
        }
        CHECK(rig.Log() == row.log, "log " + rig.Log());
        CHECK(rig.finished == row.finished, "sequence reported as completed or stopped");
        CHECK(rig.panel.Record(Text1).fore == row.colour, "log colour");
        CHECK(rig.plan.ReadBackAwaited() == row.awaiting, "recomputes held for a read-back");
        CHECK(row.holds(rig), "panel afterwards");
        for (ControlId id : {SendAll, WriteAll, Init, CPort, SetCP}) {
            CHECK(rig.panel.Visible(id) == ((id != CPort && id != SetCP) == row.connected) &&
                      rig.panel.Record(id).enabled,
                  "controls shown and enabled");
        }
        if (!row.connected) { // the port choice again: list refreshed, caption restored
            std::vector<std::string> listed; // the ports that open now, in directory order
            std::copy_if(rig.link.names.begin(), rig.link.names.end(), std::back_inserter(listed),
                         [&](const std::string& n) { return !rig.link.faults.contains(n); });
            CHECK(!rig.link.IsOpen(), "port left open");
            CHECK(rig.panel.Record(CPort).list == listed, "ports listed");
            CHECK(rig.panel.Record(CPort).back == colour::Red, "port box colour");
            CHECK(rig.panel.Caption(MAX2870) == caption, "caption");
            rig.Connect("/dev/ttyUSB1");
            CHECK(rig.panel.Caption(MAX2870) == caption + "   /dev/ttyUSB1", "caption");
        }
    }
}

void LinkControllerTest::portChoice() {
    using enum PortFault;
    using enum PortNaming;
    const std::vector<std::string> com{"COM3", "COM12"};
    // clang-format off
    const std::tuple<PortNaming, std::vector<std::string>, PortFault, const char*, std::string,
                     double, const char*> table[]{ // the box as the probe left it, or typed
        {Numbered, com, None, nullptr, PortOpenMessage("COM3"), 3, "   COM 3"},
        {Numbered, com, None, "COM Port", NoPortChosenMessage(false), 0, ""},
        {Paths, {}, None, nullptr, NoPortChosenMessage(true), 0, ""},
        {Paths, {}, None, " /dev/ttyS0\r\n", PortOpenMessage("/dev/ttyS0"), 1, "   /dev/ttyS0"},
        {Numbered, {}, Other, "COM3", OpenFailureMessage("COM3", {Other, "scripted"}), 0, ""}};
    // clang-format on
    for (const auto& [naming, names, fault, typed, message, cp, captionSuffix] : table) {
        LinkRig rig;
        rig.link.naming = naming;
        rig.link.names = names;
        rig.controller.Form_Load();
        const std::string caption = rig.panel.Caption(MAX2870), what = message.substr(0, 24) + ": ";
        if (typed != nullptr) {
            rig.panel.SetText(CPort, typed);
            if (fault != None) {
                rig.link.faults[typed] = fault;
            }
        }
        rig.Click(SetCP);
        const bool connected = cp != 0;
        QVERIFY2(rig.panel.Messages() == std::vector{"MAX2870 Control|" + message}, what.c_str());
        for (ControlId id : {SendAll, WriteAll, Init, CPort, SetCP}) {
            const bool shown = (id != CPort && id != SetCP) == connected;
            QVERIFY2(rig.panel.Visible(id) == shown, (what + "controls shown").c_str());
        }
        QVERIFY2(rig.link.IsOpen() == connected, (what + "port").c_str());
        QVERIFY2(rig.panel.Caption(MAX2870) == caption + captionSuffix, (what + "caption").c_str());
        QVERIFY2(rig.panel.Record(CPort).back == colour::White, (what + "box colour").c_str());
    }
}

QTEST_GUILESS_MAIN(LinkControllerTest)
#include "link_controller_test.moc"
