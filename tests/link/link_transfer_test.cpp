// The three commands over a pseudo-terminal: bytes, order, pacing, log, and the faults mended.

#include "link/link_texts.h"
#include "link_rig.h"
#include "pty_peer.h"

#include <QSignalSpy>
#include <QtTest>

#include <sys/resource.h>

using namespace max2870;
using enum ControlId;

namespace {

const std::vector<QByteArray> kExampleLines{"R00400005\r\n", "R609C80FC\r\n", "R0000000B\r\n",
                                            "R18005E42\r\n", "R20000FA1\r\n", "R00E80190\r\n"};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

std::vector<QByteArray> TextsOf(const std::vector<PtyPeer::Line>& lines) {
    std::vector<QByteArray> texts;
    for (const auto& line : lines) {
        texts.push_back(line.text);
    }
    return texts;
}

double ShortestGap(const std::vector<PtyPeer::Line>& lines) {
    double shortest = 1e9;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        shortest = std::min(shortest, lines[i].seconds - lines[i - 1].seconds);
    }
    return shortest;
}

// One command clicked on a connected rig, timed from the click to the end of its sequence.
struct Timed {
    double wallSeconds;
    double cpuSeconds;
};

Timed RunCommand(LinkRig& rig, ControlId button) {
    QSignalSpy finished(&rig.controller, &LinkController::TransferFinished);
    QElapsedTimer clock;
    const double cpuBefore = CpuSeconds();
    clock.start();
    rig.Click(button);
    [&] { QVERIFY(finished.wait(10000)); }();
    return {static_cast<double>(clock.nsecsElapsed()) * 1e-9, CpuSeconds() - cpuBefore};
}

void Connect(LinkRig& rig, const PtyPeer& peer) {
    rig.panel.SetText(CPort, peer.Path().toStdString());
    rig.Click(SetCP);
}

} // namespace

class LinkTransferTest : public QObject {
    Q_OBJECT
private slots:
    void pacedCommandsAtFullTiming();
    void serinGoesIntoTheLog();
    void writeEeRepeatsSerinAfterEachRegister();
    void wordsWithBit31GoOutAsTwosComplement();
    void unrequestedSetIsLoggedOnly();
    void refusedSetClearsTheGuard();
    void noReplyClearsTheGuard();
    void lostPortStopsTheTransfer();
    void failedReopenSendsNothing();
};

// The one slow test: the real 0.1 s waits, each command once.
void LinkTransferTest::pacedCommandsAtFullTiming() {
    PtyPeer peer;
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkOptions options = FastOptions();
    options.lineWait = std::chrono::milliseconds(100);
    LinkRig rig(link, ports, options);
    rig.controller.Form_Load();
    Connect(rig, peer);
    rig.panel.SetText(Text1, "earlier\r\n");

    // While the sequence runs the three send buttons stay disabled.
    bool disabledThroughout = true;
    connect(&peer, &PtyPeer::LineArrived, this, [&] {
        for (ControlId button : {SendAll, WriteAll, Init}) {
            disabledThroughout = disabledThroughout && !rig.panel.Record(button).enabled;
        }
    });
    const Timed sendAll = RunCommand(rig, SendAll);
    qInfo("Set all Registers: %.4f s, CPU %.4f s", sendAll.wallSeconds, sendAll.cpuSeconds);
    QVERIFY(disabledThroughout);
    QVERIFY(rig.panel.Record(SendAll).enabled);
    QCOMPARE(TextsOf(peer.Lines()), kExampleLines);
    QCOMPARE(peer.Received().size(), 66);
    QVERIFY2(ShortestGap(peer.Lines()) >= 0.2,
             qPrintable(QString::number(ShortestGap(peer.Lines()))));
    QVERIFY(sendAll.wallSeconds >= 1.2);
    QVERIFY(sendAll.wallSeconds <= 1.2 * 1.02);
    QCOMPARE(rig.Log(), std::string("earlier\r\nSend registers\r\n"));
    QVERIFY(rig.panel.Record(Text1).fore == colour::Black);

    peer.Forget();
    const Timed writeAll = RunCommand(rig, WriteAll);
    qInfo("Write EE: %.4f s, CPU %.4f s", writeAll.wallSeconds, writeAll.cpuSeconds);
    std::vector<QByteArray> alternating;
    for (const QByteArray& line : kExampleLines) {
        alternating.push_back(line);
        alternating.push_back("W\r\n");
    }
    QCOMPARE(TextsOf(peer.Lines()), alternating);
    QVERIFY(ShortestGap(peer.Lines()) >= 0.2);
    QVERIFY(writeAll.wallSeconds >= 2.4);
    QVERIFY(writeAll.wallSeconds <= 2.4 * 1.02);
    QVERIFY(writeAll.cpuSeconds < 0.05 * writeAll.wallSeconds);   // idle while the line settles
    QCOMPARE(rig.Log(), std::string("\r\n\r\n\r\n\r\n\r\n\r\n")); // nothing came back
    QVERIFY(rig.panel.Record(Text1).fore == colour::LogPurple);

    peer.Forget();
    RunCommand(rig, Init);
    QCOMPARE(peer.Received(), QByteArray("INIT\r\n"));
    QCOMPARE(rig.Log(), std::string("Set From EE\r\n"));
    QVERIFY(rig.panel.Record(Text1).fore == colour::LogGreen);
    QVERIFY(rig.state.InitFlag);
}

void LinkTransferTest::serinGoesIntoTheLog() {
    PtyPeer peer;
    peer.SetResponder([](const QByteArray&) { return QByteArray("OK\r\n"); });
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    RunCommand(rig, SendAll);
    // Each reply holds no word, so the six of them wait in Serin and join into one line.
    QCOMPARE(rig.Log(), std::string("Send registers\r\nOKOKOKOKOKOK"));
    QCOMPARE(rig.state.Serin, std::string());
}

void LinkTransferTest::writeEeRepeatsSerinAfterEachRegister() {
    PtyPeer peer;
    peer.SetResponder([](const QByteArray&) { return QByteArray("OK\r\n"); });
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    rig.panel.SetText(Text1, "earlier\r\n");
    RunCommand(rig, WriteAll);
    std::string expected;
    std::string serin;
    for (int registers = 0; registers < 6; ++registers) {
        serin += "OKOK";
        expected += serin + "\r\n";
    }
    QCOMPARE(rig.Log(), expected);
    QCOMPARE(rig.state.Serin, std::string());
}

void LinkTransferTest::wordsWithBit31GoOutAsTwosComplement() {
    PtyPeer peer;
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    rig.panel.SetValue(FractN, 1);
    RunCommand(rig, SendAll);
    QCOMPARE(rig.state.Reg0, static_cast<std::int32_t>(0x80E80000U));
    QCOMPARE(peer.Lines().back().text, QByteArray("R80E80000\r\n"));
    QCOMPARE(peer.Lines()[3].text, QByteArray("R18005F42\r\n"));
}

void LinkTransferTest::unrequestedSetIsLoggedOnly() {
    PtyPeer peer;
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    const std::string fout = rig.panel.Text(FoutText);
    peer.Send("Reg5 0x00400005\r\nReg4 0x609C80FC\r\nReg3 0x0000000B\r\n"
              "Reg2 0xCE005E02\r\nReg1 0x207D1F41\r\nReg0 0x001D0000\r\n");
    QTRY_VERIFY(rig.Log().find("Reg 0 - 001D0000") != std::string::npos);
    QCOMPARE(rig.Log(),
             std::string("Reg 5 - 00400005\r\nReg 4 - 609C80FC\r\nReg 3 - 0000000B\r\n"
                         "Reg 2 - CE005E02\r\nReg 1 - 207D1F41\r\nReg 0 - 001D0000\r\n") +
                 UnrequestedSetLog());
    QCOMPARE(rig.panel.Text(FoutText), fout);
    QCOMPARE(rig.panel.Value(RefDbl), 0);
    QCOMPARE(rig.state.RxReg[2], static_cast<std::int32_t>(0xCE005E02U));
    QCOMPARE(rig.controller.RxCount(), 0);
}

void LinkTransferTest::refusedSetClearsTheGuard() {
    PtyPeer peer;
    peer.SetResponder([](const QByteArray& line) {
        // An erased-looking set: R is 0.
        return line == "INIT\r\n" ? QByteArray("Reg5 0x00000005\r\nReg4 0x00000004\r\nReg3 "
                                               "0x00000003\r\nReg2 0x00000002\r\nReg1 "
                                               "0x00000001\r\nReg0 0x00000000\r\n")
                                  : QByteArray();
    });
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    const std::string fout = rig.panel.Text(FoutText);
    rig.Click(Init);
    QTRY_VERIFY(!rig.state.InitFlag);
    QVERIFY(rig.Log().ends_with(RefusedSetLog("the reference divider R is 0")));
    QVERIFY(rig.Log().starts_with("Set From EE\r\nReg 5 - 00000005\r\n"));
    QCOMPARE(rig.panel.Text(FoutText), fout);
}

void LinkTransferTest::noReplyClearsTheGuard() {
    PtyPeer peer;
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    rig.Click(Init);
    QVERIFY(rig.state.InitFlag);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.state.InitFlag, 3000);
    QCOMPARE(rig.Log(), "Set From EE\r\n" + NoReplyLog(0.4));
    rig.plan.Recalculate(); // the panel is live again
    QCOMPARE(rig.state.Reg0, 0x00E80190);
}

void LinkTransferTest::lostPortStopsTheTransfer() {
    auto peer = std::make_unique<PtyPeer>();
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkOptions options = FastOptions();
    options.lineWait = std::chrono::milliseconds(30);
    LinkRig rig(link, ports, options);
    Connect(rig, *peer);
    const std::string path = peer->Path().toStdString();
    QSignalSpy finished(&rig.controller, &LinkController::TransferFinished);
    rig.Click(SendAll);
    QTRY_VERIFY(!peer->Lines().empty());
    peer.reset();
    QVERIFY(finished.wait(3000));
    QCOMPARE(finished.takeFirst().at(0).toBool(), false);
    QVERIFY(rig.Log().find("Port " + path + " lost") != std::string::npos);
    QVERIFY(rig.Log().find("transfer stopped") != std::string::npos);
    QVERIFY(!rig.controller.Busy());
    QVERIFY(rig.panel.Record(SendAll).enabled);
    QVERIFY(!link.IsOpen());
}

void LinkTransferTest::failedReopenSendsNothing() {
    ScriptedLink link;
    link.opensLeft = 1; // "Set COM Port" opens it, then the adapter is gone
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    rig.panel.SetText(CPort, "/dev/ttyUSB0");
    rig.Click(SetCP);
    QVERIFY(link.IsOpen());
    rig.Click(SendAll);
    QVERIFY(!rig.controller.Busy());
    QCOMPARE(link.written, std::string());
    QCOMPARE(rig.Log(), ReopenFailureLog("/dev/ttyUSB0", {PortFault::NotFound, "scripted"}));
    rig.Click(WriteAll); // nothing open: says so and sends nothing
    QCOMPARE(link.written, std::string());
    QCOMPARE(rig.Log(), PortClosedLog("/dev/ttyUSB0"));
}

QTEST_GUILESS_MAIN(LinkTransferTest)
#include "link_transfer_test.moc"
